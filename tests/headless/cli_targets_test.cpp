// quintrel-gif's targets: both written before either is replaced, a project cannot send the GIF out of
// its folder, and file names that are not UTF-8 reach the file system as the bytes they were.
#include "app/file_name_bytes.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "project/project_file.h"
#include "tests/support/isolated_home.h"

#include <wx/dir.h>
#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/image.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Folder() { return IsolatedHomeListener::CurrentHome(); }
wxString Text(const std::string& bytes) { return file_name_bytes::FromBytes(bytes.c_str()); }

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome RunCli(const std::vector<wxString>& arguments) {
    std::ostringstream out, err;
    const int status = cli::Main(arguments, {out, err, false});
    return {status, out.str(), err.str()};
}

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool Exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

std::string Picture(const std::string& name) {
    wxImage image(12, 8);
    image.SetRGB(wxRect(0, 0, 6, 8), 200, 40, 40);
    const std::string path = Folder() + "/" + name;
    EXPECT_TRUE(image.SaveFile(Text(path), wxBITMAP_TYPE_PNG));
    return path;
}

size_t EntriesIn(const std::string& folder) {
    wxArrayString files;
    wxDir::GetAllFiles(Text(folder), &files, "", wxDIR_FILES | wxDIR_HIDDEN);
    return files.size();
}

}  // namespace

TEST(CliTargets, NeitherTargetIsReplacedWhenEitherCannotBeWritten) {
    const std::string picture = Picture("a.png");
    const std::string gif = Folder() + "/x.gif";
    const std::string project = Folder() + "/p.xml";
    const struct {
        std::string gif;
        std::string project;
        const char* says;
    } cases[] = {
        {gif, "/missing/p.xml", "Cannot create a file in \"/missing\""},
        {"/missing/x.gif", project, "Cannot create a file in \"/missing\""},
        {gif, Folder(), "is a folder"},
    };
    for (const auto& c : cases) {
        WriteBytes(gif, "earlier gif");
        WriteBytes(project, "earlier project");
        const Outcome outcome = RunCli({"-o", Text(c.gif), "--save-project", Text(c.project), Text(picture)});
        EXPECT_EQ(outcome.status, cli::kFailed) << c.gif << " " << c.project;
        EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
        EXPECT_TRUE(outcome.out.empty()) << outcome.out;  // no success line
        EXPECT_EQ(Contents(gif), "earlier gif");
        EXPECT_EQ(Contents(project), "earlier project");
        EXPECT_EQ(EntriesIn(Folder()), 3u);  // picture, gif, project: no temporary left
    }
    // Both writable: both replaced, and the success line.
    const Outcome outcome = RunCli({"-o", Text(gif), "--save-project", Text(project), Text(picture)});
    ASSERT_EQ(outcome.status, cli::kDone) << outcome.err;
    EXPECT_EQ(outcome.out, "x.gif (12 * 8)px, 1 frames\n");
    EXPECT_EQ(Contents(gif).substr(0, 6), "GIF89a");
    EXPECT_TRUE(project_file::Read(Text(project)).ok);
}

TEST(CliTargets, ReadmeAndHelpGiveTheSameMeaningOfExitStatusOne) {
    const std::string readme = Contents(std::string(QUINTREL_SOURCE_DIR) + "/README.md");
    const std::string help = cli::UsageText().utf8_string();
    for (const char* promise : {"1 failed: nothing was replaced", "both written in full before either replaces"}) {
        std::string flatReadme = readme, flatHelp = help;
        for (std::string* text : {&flatReadme, &flatHelp})
            for (char& c : *text)
                if (c == '\n')
                    c = ' ';
        EXPECT_NE(flatReadme.find(promise), std::string::npos) << promise;
        EXPECT_NE(flatHelp.find(promise), std::string::npos) << promise;
    }
}

TEST(CliTargets, AProjectNameWithFolderPartsWritesNothingAnywhere) {
    ASSERT_EQ(mkdir((Folder() + "/projects").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((Folder() + "/out").c_str(), 0700), 0);
    const std::string picture = Picture("a.png");
    for (const std::string name : {"../out/traversal", "../../../out/traversal", "/tmp/quintrel-traversal"}) {
        const std::string project = Folder() + "/projects/p.xml";
        WriteBytes(project, "<project><name>" + name + "</name><gif><width>12</width><height>8</height>"
                            "<delay_time>5</delay_time></gif><images><path>" + picture + "</path></images></project>");
        const Outcome outcome = RunCli({"-p", Text(project)});
        EXPECT_EQ(outcome.status, cli::kFailed) << name;
        EXPECT_NE(outcome.err.find("contains a folder"), std::string::npos) << outcome.err;
        EXPECT_FALSE(Exists(Folder() + "/out/traversal.gif"));
        EXPECT_FALSE(Exists("/tmp/quintrel-traversal.gif"));
        EXPECT_EQ(EntriesIn(Folder() + "/projects"), 1u);
    }
}

TEST(CliTargets, NamesThatAreNotUtf8ReachTheFileSystemAsTheirBytes) {
    file_name_bytes::Install();
    ASSERT_EQ(mkdir((Folder() + "/out").c_str(), 0700), 0);
    const std::string picture = Picture("\xff\xfe.png");
    const std::string gif = Folder() + "/out/\xff.gif";
    const std::string project = Folder() + "/out/\xe9t\xe9.xml";
    Outcome outcome = RunCli({"-o", Text(gif), "--save-project", Text(project), Text(picture)});
    ASSERT_EQ(outcome.status, cli::kDone) << outcome.err;
    EXPECT_EQ(Contents(gif).substr(0, 6), "GIF89a");
    EXPECT_EQ(EntriesIn(Folder() + "/out"), 2u);  // under those names, no others

    // The project keeps the picture's bytes through its UTF-8 text.
    const project_file::ReadResult read = project_file::Read(Text(project));
    ASSERT_TRUE(read.ok) << read.reason;
    ASSERT_EQ(read.contents.imagePaths.size(), 1u);
    EXPECT_EQ(std::string(read.contents.imagePaths[0].fn_str()), picture);
    EXPECT_EQ(std::string(read.contents.gifPath.fn_str()), "\xff.gif");
    ASSERT_EQ(unlink(gif.c_str()), 0);
    outcome = RunCli({"-p", Text(project)});
    ASSERT_EQ(outcome.status, cli::kDone) << outcome.err;
    EXPECT_TRUE(Exists(gif));
}

TEST(CliTargets, TheProgramTakesNamesThatAreNotUtf8FromItsCommandLine) {
    file_name_bytes::Install();
    ASSERT_EQ(mkdir((Folder() + "/out").c_str(), 0700), 0);
    const std::string picture = Picture("\xff\xfe.png");
    const std::string gif = Folder() + "/out/\xff.gif";
    const std::string program = std::string(QUINTREL_BINARY_DIR) + "/bin/quintrel-gif";
    for (const char* locale : {"C.UTF-8", "C"}) {
        unlink(gif.c_str());
        const pid_t child = fork();
        if (child == 0) {
            setenv("LC_ALL", locale, 1);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            const int errors = open((Folder() + "/errors.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(errors, STDERR_FILENO);
            execl(program.c_str(), program.c_str(), "-o", gif.c_str(), picture.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << locale << " " << status;
        EXPECT_EQ(Contents(gif).substr(0, 6), "GIF89a") << locale;
        EXPECT_EQ(EntriesIn(Folder() + "/out"), 1u) << locale;
        EXPECT_EQ(Contents(Folder() + "/errors.txt"), "") << locale;
    }
}
