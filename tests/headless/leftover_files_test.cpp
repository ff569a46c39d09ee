// Files a run leaves behind: its autosaved work, written whole, read back and found only once the run has
// ended; and the temporary files of its saves, hidden, named as ours and removed once their process died.
#include "app/replacing_file.h"
#include "tests/support/files.h"
#include "window/autosave_file.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

namespace {

using test_files::Scratch;

// The id of a process that has ended and been reaped.
long EndedProcessId() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

wxString WorkFile(long pid, const char* extension = "xml") {
    return wxString::Format("%s/autosave-%ld.%s", Scratch(), pid, extension);
}

AutosavedWork SomeWork(const wxString& projectPath, const std::vector<wxString>& pictures = {"/a.png", "/b c.png"}) {
    return {{"out.gif", 320, 200, 7, 0, pictures}, projectPath};
}

// A read as "project path: gif width height delay paths", or "nothing".
std::string ReadBack(const wxString& workFile) {
    const std::optional<AutosavedWork> work = AutosaveFile::Read(workFile);
    if (!work)
        return "nothing";
    const project_file::ProjectContents& c = work->contents;
    wxString read = wxString::Format("%s: %s %d %d %d", work->projectPath, c.gifPath, c.width, c.height, c.delay);
    for (const wxString& path : c.imagePaths)
        read += " " + path;
    return read.utf8_string();
}

}  // namespace

TEST(AutosaveFile, WorkIsReplacedWholeReadBackAndRemovedAndWhatCannotBeReadIsNothing) {
    const AutosaveFile file(Scratch(), 7);
    wxString reason;
    ASSERT_TRUE(file.Write(SomeWork(wxString::FromUTF8("/projekte/ä.xml")), reason)) << reason;
    EXPECT_EQ(ReadBack(WorkFile(7)), "/projekte/ä.xml: out.gif 320 200 7 /a.png /b c.png");
    ASSERT_TRUE(file.Write(SomeWork("", {wxString::FromUTF8("/größe.png")}), reason)) << reason;
    EXPECT_EQ(ReadBack(WorkFile(7)), ": out.gif 320 200 7 /größe.png");
    // Without its project path file, the work is untitled.
    ASSERT_TRUE(file.Write(SomeWork("/p.xml"), reason) && wxRemoveFile(WorkFile(7, "project")));
    EXPECT_EQ(ReadBack(WorkFile(7)), ": out.gif 320 200 7 /a.png /b c.png");
    // What the reader refuses is the project reader's tests'; here a refusal is no work, project path or not:
    // no frames; cut short; missing.
    ASSERT_TRUE(file.Write(SomeWork("/p.xml", {}), reason)) << reason;
    const std::string noFrames = ReadBack(WorkFile(7));
    test_files::Write(WorkFile(7), "<project><hei");
    EXPECT_EQ(noFrames + ReadBack(WorkFile(7)) + ReadBack(WorkFile(2)), "nothingnothingnothing");
    file.Remove();
    EXPECT_EQ(test_files::FilesIn(Scratch()), std::vector<wxString>{});
    const AutosaveFile unwritable(Scratch("no/such/folder"), 5);
    EXPECT_FALSE(unwritable.Write(SomeWork(""), reason) || reason.empty() || unwritable.Exists()) << reason;
}

TEST(AutosaveFile, OnlyWorkOfEndedRunsIsLeftOverNewestFirst) {
    wxString reason;
    const long older = EndedProcessId(), newer = EndedProcessId();
    for (long pid : {long(getpid()), long(getppid()), newer, older})  // the first two still run
        ASSERT_TRUE(AutosaveFile(Scratch(), pid).Write(SomeWork(""), reason)) << reason;
    const utimbuf past{1000000, 1000000};
    ASSERT_EQ(utime(WorkFile(older).fn_str(), &past), 0);
    for (const char* name : {"autosave-.xml", "autosave-12ab.xml", "autosave--5.xml", "autosave-0.xml",
                             "autosave-99999999999999999999.xml", "autosave-123.txt", "other-123.xml"})
        test_files::Write(Scratch(name), "<x/>");
    EXPECT_EQ(AutosaveFile::LeftOver(Scratch(), getpid()), (std::vector<wxString>{WorkFile(newer), WorkFile(older)}));
    EXPECT_TRUE(AutosaveFile::LeftOver(Scratch("missing"), getpid()).empty());
}

// A second save of one file gets a temporary of its own; the names of other processes' are left alone
// while they run, and so are names that are not ours.
TEST(TemporaryFiles, AreHiddenNamedAsOursAndThoseOfDeadProcessesGoWhenTheNextSaveWritesThere) {
    const wxString dead = wxString::Format("%ld", EndedProcessId()), live = wxString::Format("%d", getppid());
    const std::pair<wxString, bool> cases[] = {  // the name, whether it is removed
        {".anim.gif.quintrel-" + dead + ".tmp", true},      {".other.xml.quintrel-" + dead + "-3.tmp", true},
        {".anim.gif.quintrel-" + live + ".tmp", false},     {"anim.gif.quintrel-" + dead + ".tmp", false},
        {".anim.gif.quintrel-" + dead + ".tmp.bak", false}, {".anim.gif.quintrel-" + dead + "x.tmp", false},
        {".anim.gif.quintrel-.tmp", false},                 {".anim.gif.quintrel-0.tmp", false}, {".notes.tmp", false}};
    for (const auto& [name, removed] : cases)
        test_files::Write(Scratch(name), "x");
    const wxString own = Scratch(wxString::Format(".anim.gif.quintrel-%d", getpid()));
    ReplacingFile first, second;
    wxString reason;
    ASSERT_TRUE(first.Open(Scratch("anim.gif"), reason) && second.Open(Scratch("anim.gif"), reason)) << reason;
    ASSERT_TRUE(first.Commit(reason)) << reason;
    EXPECT_TRUE(wxFileExists(Scratch("anim.gif")) && !wxFileExists(own + ".tmp") && wxFileExists(own + "-1.tmp"));
    for (const auto& [name, removed] : cases)
        EXPECT_EQ(wxFileExists(Scratch(name)), !removed) << name;
}
