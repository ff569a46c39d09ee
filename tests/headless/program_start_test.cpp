// The program binary itself, started as a child process.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct ChildResult {
    int status = -1;
    std::string output;
};

ChildResult RunCommand(const std::string& command) {
    ChildResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe))
        result.output += buffer.data();
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

}  // namespace

TEST(ProgramStart, WithoutADisplayItSaysSoOnOneLineAndFails) {
    const ChildResult result =
        RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(QUINTREL_BINARY_DIR) + "/bin/quintrel-tavelle");
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.output.find("no graphical display"), std::string::npos) << result.output;
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
}
