// Temporary files of a save: hidden, named as ours, and those of processes that died removed by the next
// save into the same folder.
#include "app/replacing_file.h"

#include "tests/support/isolated_home.h"

#include <wx/dir.h>
#include <wx/ffile.h>

#include <gtest/gtest.h>

#include <string>
#include <algorithm>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Folder() { return IsolatedHomeListener::CurrentHome(); }

std::vector<std::string> Names(const std::string& folder) {
    wxArrayString files;
    wxDir::GetAllFiles(wxString::FromUTF8(folder), &files, "", wxDIR_FILES | wxDIR_HIDDEN);
    std::vector<std::string> names;
    for (const wxString& file : files)
        names.push_back(file.AfterLast('/').utf8_string());
    std::sort(names.begin(), names.end());
    return names;
}

void Touch(const std::string& path) { wxFFile(wxString::FromUTF8(path), "wb").Write(wxString("x")); }

// A process id that was in use a moment ago and is free now.
pid_t DeadProcess() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

}  // namespace

TEST(TemporaryFiles, AreHiddenAndNamedAsOursWhileWriting) {
    ReplacingFile file;
    wxString reason;
    ASSERT_TRUE(file.Open(wxString::FromUTF8(Folder() + "/anim.gif"), reason)) << reason;
    const std::string own = ".anim.gif.quintrel-" + std::to_string(getpid()) + ".tmp";
    EXPECT_EQ(Names(Folder()), std::vector<std::string>{own});
    ReplacingFile second;
    ASSERT_TRUE(second.Open(wxString::FromUTF8(Folder() + "/anim.gif"), reason)) << reason;
    EXPECT_EQ(Names(Folder()),
              (std::vector<std::string>{".anim.gif.quintrel-" + std::to_string(getpid()) + "-1.tmp", own}));
    ASSERT_TRUE(file.Commit(reason)) << reason;
    EXPECT_EQ(Names(Folder()), (std::vector<std::string>{".anim.gif.quintrel-" + std::to_string(getpid()) + "-1.tmp",
                                                         "anim.gif"}));
}

TEST(TemporaryFiles, StaleOnesOfDeadProcessesGoWhenTheNextSaveWritesThere) {
    const std::string dead = std::to_string(DeadProcess());
    const std::string live = std::to_string(getppid());
    const struct {
        std::string name;
        bool removed;
    } cases[] = {
        {".anim.gif.quintrel-" + dead + ".tmp", true},
        {".other.xml.quintrel-" + dead + "-3.tmp", true},
        {".anim.gif.quintrel-" + live + ".tmp", false},        // its process still runs
        {"anim.gif.quintrel-" + dead + ".tmp", false},         // not hidden: not ours
        {".anim.gif.quintrel-" + dead + ".tmp.bak", false},    // another ending
        {".anim.gif.quintrel-" + dead + "x.tmp", false},       // no process number
        {".anim.gif.quintrel-.tmp", false},
        {".anim.gif.quintrel-0.tmp", false},
        {".notes.tmp", false},
    };
    for (const auto& c : cases)
        Touch(Folder() + "/" + c.name);
    ASSERT_EQ(mkdir((Folder() + "/.dir.quintrel-" + dead + ".tmp").c_str(), 0700), 0);  // a folder is never removed

    ReplacingFile file;
    wxString reason;
    ASSERT_TRUE(file.Open(wxString::FromUTF8(Folder() + "/anim.gif"), reason)) << reason;
    ASSERT_TRUE(file.Commit(reason)) << reason;

    const std::vector<std::string> left = Names(Folder());
    for (const auto& c : cases)
        EXPECT_EQ(std::find(left.begin(), left.end(), c.name) == left.end(), c.removed) << c.name;
    EXPECT_TRUE(wxDirExists(wxString::FromUTF8(Folder() + "/.dir.quintrel-" + dead + ".tmp")));
}
