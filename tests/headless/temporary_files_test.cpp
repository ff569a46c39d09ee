// Temporary files of a save: hidden, named as ours, and those of processes that died removed by the next
// save into the same folder.
#include "app/replacing_file.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using test_files::Scratch;

std::vector<wxString> Names() {
    std::vector<wxString> names;
    for (const wxString& file : test_files::FilesIn(Scratch()))
        names.push_back(file.AfterLast('/'));
    return names;
}

}  // namespace

TEST(TemporaryFiles, AreHiddenAndNamedAsOursWhileWriting) {
    const wxString own = wxString::Format(".anim.gif.quintrel-%d", getpid());
    ReplacingFile first, second;
    wxString reason;
    ASSERT_TRUE(first.Open(Scratch("anim.gif"), reason) && second.Open(Scratch("anim.gif"), reason)) << reason;
    EXPECT_EQ(Names(), (std::vector<wxString>{own + "-1.tmp", own + ".tmp"}));
    ASSERT_TRUE(first.Commit(reason)) << reason;
    EXPECT_EQ(Names(), (std::vector<wxString>{own + "-1.tmp", "anim.gif"}));
}

TEST(TemporaryFiles, StaleOnesOfDeadProcessesGoWhenTheNextSaveWritesThere) {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);  // its id is free now
    const wxString dead = wxString::Format("%d", child), live = wxString::Format("%d", getppid());
    // The name, whether it is removed: a live process's, one not hidden, and other endings are not ours.
    const std::pair<wxString, bool> cases[] = {
        {".anim.gif.quintrel-" + dead + ".tmp", true},      {".other.xml.quintrel-" + dead + "-3.tmp", true},
        {".anim.gif.quintrel-" + live + ".tmp", false},     {"anim.gif.quintrel-" + dead + ".tmp", false},
        {".anim.gif.quintrel-" + dead + ".tmp.bak", false}, {".anim.gif.quintrel-" + dead + "x.tmp", false},
        {".anim.gif.quintrel-.tmp", false},                 {".anim.gif.quintrel-0.tmp", false}, {".notes.tmp", false}};
    for (const auto& [name, removed] : cases)
        test_files::Write(Scratch(name), "x");
    ASSERT_TRUE(wxMkdir(Scratch(".dir.quintrel-" + dead + ".tmp")));  // a folder is never removed
    ReplacingFile file;
    wxString reason;
    ASSERT_TRUE(file.Open(Scratch("anim.gif"), reason) && file.Commit(reason)) << reason;
    for (const auto& [name, removed] : cases)
        EXPECT_EQ(wxFileExists(Scratch(name)), !removed) << name;
    EXPECT_TRUE(wxDirExists(Scratch(".dir.quintrel-" + dead + ".tmp")));
}
