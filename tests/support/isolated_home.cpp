#include "tests/support/isolated_home.h"

#include <cstdlib>
#include <filesystem>

static std::string s_home;

void IsolatedHomeListener::OnTestStart(const testing::TestInfo&) {
    std::string pattern = (std::filesystem::temp_directory_path() / "quintrel-test-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    ASSERT_NE(made, nullptr) << "cannot create a temporary HOME";
    s_home = made;
    setenv("HOME", s_home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DOCUMENTS_DIR");
}

void IsolatedHomeListener::OnTestEnd(const testing::TestInfo&) {
    std::error_code ignored;
    if (!s_home.empty())
        std::filesystem::remove_all(s_home, ignored);
    s_home.clear();
}

const std::string& IsolatedHomeListener::CurrentHome() { return s_home; }

void InstallIsolatedHome() {
    testing::UnitTest::GetInstance()->listeners().Append(new IsolatedHomeListener);
}
