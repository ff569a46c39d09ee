#pragma once
// Toolkit assertion failures fail the running test instead of opening a dialog or asking on stdin.
// A test that expects an assertion holds an ExpectAssertions while it provokes it.

#include <string>
#include <vector>

struct RecordedAssertion {
    std::string condition;
    std::string function;
    std::string message;
};

void RecordAssertion(const RecordedAssertion& assertion);

class ExpectAssertions {
public:
    ExpectAssertions();
    ~ExpectAssertions();
    ExpectAssertions(const ExpectAssertions&) = delete;
    ExpectAssertions& operator=(const ExpectAssertions&) = delete;

    const std::vector<RecordedAssertion>& Recorded() const { return m_recorded; }

private:
    friend void RecordAssertion(const RecordedAssertion&);
    std::vector<RecordedAssertion> m_recorded;
};

// Installs the handler; call once after the toolkit is up.
void InstallAssertionHandler();
