#pragma once
// Toolkit assertion failures fail the running test instead of opening a dialog or asking on stdin.
// A test that expects an assertion holds an ExpectAssertions while it provokes it.

#include <string>
#include <vector>

class ExpectAssertions {
public:
    ExpectAssertions();
    ~ExpectAssertions();
    ExpectAssertions(const ExpectAssertions&) = delete;
    ExpectAssertions& operator=(const ExpectAssertions&) = delete;

    // "condition in function: message" of each assertion that failed meanwhile.
    const std::vector<std::string>& Recorded() const { return m_recorded; }
    void Record(const std::string& assertion) { m_recorded.push_back(assertion); }

private:
    std::vector<std::string> m_recorded;
};

// Installs the handler; call once after the toolkit is up.
void InstallAssertionHandler();
