// quintrel-gif's targets, run as the real program: both written before either is replaced, a project
// cannot send the GIF out of its folder, and names that are not UTF-8 reach the file system as their bytes.
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "project/project_file.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Home() { return IsolatedHomeListener::CurrentHome(); }

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

struct Outcome {
    int status;
    std::string out, err;
};

// The real program; the arguments are quoted for the shell and reach it as their bytes.
Outcome RunProgram(const std::vector<std::string>& arguments, const std::string& locale = "C.UTF-8") {
    std::string command = "LC_ALL=" + locale + " " QUINTREL_BINARY_DIR "/bin/quintrel-gif";
    for (const std::string& argument : arguments)
        command += " '" + argument + "'";
    const int status = std::system((command + " >'" + Home() + "/.out' 2>'" + Home() + "/.err'").c_str());
    const Outcome outcome{WEXITSTATUS(status), Read(Home() + "/.out"), Read(Home() + "/.err")};
    unlink((Home() + "/.out").c_str());
    unlink((Home() + "/.err").c_str());
    return outcome;
}

}  // namespace

TEST(CliTargets, NeitherTargetIsReplacedWhenEitherCannotBeWritten) {
    const std::string picture = test_files::RampFile("a.png", 12, 8).utf8_string();
    const std::string gif = Home() + "/x.gif", project = Home() + "/p.xml";
    const struct {
        std::string gif, project;
        const char* says;
    } cases[] = {{gif, "/missing/p.xml", "Cannot create a file in \"/missing\""},
                 {"/missing/x.gif", project, "Cannot create a file in \"/missing\""},
                 {gif, Home(), "is a folder"}};
    for (const auto& c : cases) {
        test_files::Write(gif, "earlier gif");
        test_files::Write(project, "earlier project");
        const Outcome outcome = RunProgram({"-o", c.gif, "--save-project", c.project, picture});
        EXPECT_EQ(outcome.status, cli::kFailed) << c.gif << " " << c.project;
        EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.out, "");  // no success line
        EXPECT_EQ(Read(gif) + Read(project), "earlier gifearlier project");
        EXPECT_EQ(test_files::FilesIn(Home()).size(), 3u);  // no temporary left
    }
    const Outcome outcome = RunProgram({"-o", gif, "--save-project", project, picture});
    ASSERT_EQ(outcome.status, cli::kDone) << outcome.err;
    EXPECT_EQ(outcome.out, "x.gif (12 * 8)px, 1 frames\n");
    EXPECT_EQ(Read(gif).substr(0, 6), "GIF89a");
    EXPECT_TRUE(project_file::Read(project).ok);
}

TEST(CliTargets, ReadmeAndHelpGiveTheSameMeaningOfExitStatusOne) {
    for (std::string text : {Read(QUINTREL_SOURCE_DIR "/README.md"), cli::UsageText().utf8_string()}) {
        std::replace(text.begin(), text.end(), '\n', ' ');
        for (const char* promise : {"1 failed: nothing was replaced", "both written in full before either replaces"})
            EXPECT_NE(text.find(promise), std::string::npos) << promise;
    }
}

TEST(CliTargets, AProjectNameWithFolderPartsWritesNothingAnywhere) {
    ASSERT_EQ(mkdir((Home() + "/projects").c_str(), 0700) + mkdir((Home() + "/out").c_str(), 0700), 0);
    const std::string picture = test_files::RampFile("a.png", 12, 8).utf8_string();
    for (const std::string name : {"../out/traversal", "../../../out/traversal", "/tmp/quintrel-traversal"}) {
        test_files::Write(Home() + "/projects/p.xml", "<project><name>" + name + "</name><gif><width>12</width><height>8"
                          "</height><delay_time>5</delay_time></gif><images><path>" + picture + "</path></images></project>");
        const Outcome outcome = RunProgram({"-p", Home() + "/projects/p.xml"});
        EXPECT_EQ(outcome.status, cli::kFailed) << name;
        EXPECT_NE(outcome.err.find("contains a folder"), std::string::npos) << outcome.err;
        EXPECT_FALSE(Exists(Home() + "/out/traversal.gif") || Exists("/tmp/quintrel-traversal.gif"));
        EXPECT_EQ(test_files::FilesIn(Home() + "/projects").size(), 1u);
    }
}

TEST(CliTargets, NamesThatAreNotUtf8ReachTheFileSystemAsTheirBytes) {
    ASSERT_EQ(mkdir((Home() + "/out").c_str(), 0700), 0);
    const std::string picture = Home() + "/\xff\xfe.png", gif = Home() + "/out/\xff.gif";
    const std::string project = Home() + "/out/\xe9t\xe9.xml";
    ASSERT_EQ(rename(test_files::RampFile("a.png", 12, 8).fn_str(), picture.c_str()), 0);
    for (const char* locale : {"C.UTF-8", "C"}) {
        Outcome outcome = RunProgram({"-o", gif, "--save-project", project, picture}, locale);
        ASSERT_EQ(outcome.status, cli::kDone) << locale << ": " << outcome.err;
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(Read(gif).substr(0, 6), "GIF89a");
        EXPECT_TRUE(Exists(project));
        EXPECT_EQ(test_files::FilesIn(Home() + "/out").size(), 2u);  // under those names, no others
        // The project keeps the picture's and the GIF's bytes through its UTF-8 text.
        ASSERT_EQ(unlink(gif.c_str()), 0);
        outcome = RunProgram({"-p", project}, locale);
        EXPECT_EQ(outcome.status, cli::kDone) << locale << ": " << outcome.err;
        EXPECT_TRUE(Exists(gif));
    }
}
