// The autosave files: written whole, read back, and found only when the run that wrote them has ended.
#include "tests/support/files.h"
#include "window/autosave_file.h"

#include <gtest/gtest.h>

#include <wx/filefn.h>

#include <sys/wait.h>
#include <tuple>
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

AutosavedWork SomeWork(const wxString& projectPath = wxString::FromUTF8("/projekte/mein projekt ä.xml")) {
    return {{"out.gif", 320, 200, 7, 0, {"/pictures/a.png", wxString::FromUTF8("/bilder/größe ü.png"), "/p/c.jpg"}}, projectPath};
}

void ExpectWork(const std::optional<AutosavedWork>& read, const AutosavedWork& written) {
    ASSERT_TRUE(read.has_value());
    const project_file::ProjectContents& got = read->contents;
    EXPECT_EQ(std::make_tuple(got.gifPath, got.width, got.height, got.delay, got.imagePaths, read->projectPath),
              std::make_tuple(wxString("out.gif"), 320, 200, 7, written.contents.imagePaths, written.projectPath));
}

}  // namespace

TEST(AutosaveFile, WorkIsReplacedWholeReadBackAndRemoved) {
    const long ended = EndedProcessId();
    const AutosaveFile file(Scratch(), ended);
    wxString reason;
    AutosavedWork untitled = SomeWork("");
    untitled.contents.imagePaths.resize(1);
    for (const AutosavedWork& work : {SomeWork(), untitled}) {
        ASSERT_TRUE(file.Write(work, reason)) << reason;
        EXPECT_EQ(AutosaveFile::LeftOver(Scratch(), getpid()), std::vector<wxString>{WorkFile(ended)});
        ExpectWork(AutosaveFile::Read(WorkFile(ended)), work);
    }
    // Without its project path file, the work is untitled.
    ASSERT_TRUE(file.Write(SomeWork(), reason) && wxRemoveFile(WorkFile(ended, "project")));
    ExpectWork(AutosaveFile::Read(WorkFile(ended)), SomeWork(""));
    ASSERT_TRUE(file.Write(SomeWork(), reason));
    file.Remove();
    EXPECT_FALSE(file.Exists() || wxFileExists(WorkFile(ended, "project")));
    EXPECT_TRUE(AutosaveFile::LeftOver(Scratch(), getpid()).empty());
}

TEST(AutosaveFile, OnlyWorkOfEndedRunsIsLeftOverNewestFirst) {
    wxString reason;
    const long older = EndedProcessId(), newer = EndedProcessId();
    for (long pid : {long(getpid()), long(getppid()), newer, older})  // the first two still run
        ASSERT_TRUE(AutosaveFile(Scratch(), pid).Write(SomeWork(), reason)) << reason;
    const utimbuf past{1000000, 1000000};
    ASSERT_EQ(utime(WorkFile(older).fn_str(), &past), 0);
    for (const char* name : {"autosave-.xml", "autosave-12ab.xml", "autosave--5.xml", "autosave-0.xml",
                             "autosave-99999999999999999999.xml", "autosave-123.txt", "other-123.xml"})
        test_files::Write(Scratch(name), "<x/>");
    const std::vector<wxString> expected{WorkFile(newer), WorkFile(older)};
    EXPECT_EQ(AutosaveFile::LeftOver(Scratch(), getpid()), expected);
    EXPECT_EQ(AutosaveFile::LeftOver(Scratch(), EndedProcessId()), expected);  // this run's file: it still runs
    EXPECT_TRUE(AutosaveFile::LeftOver(Scratch("missing"), getpid()).empty());
}

TEST(AutosaveFile, UnreadableWorkIsNothingAndAnUnwritableFolderSaysWhy) {
    wxString reason;
    AutosavedWork noFrames = SomeWork();
    noFrames.contents.imagePaths.clear();
    ASSERT_TRUE(AutosaveFile(Scratch(), 1).Write(noFrames, reason)) << reason;
    EXPECT_FALSE(AutosaveFile::Read(WorkFile(1)).has_value());
    EXPECT_FALSE(AutosaveFile::Read(WorkFile(2)).has_value());  // missing
    for (const std::string& bytes : {std::string(), std::string("\x01\x02garbage"), std::string("<project><width>10</width><hei")}) {
        test_files::Write(WorkFile(3), bytes);
        test_files::Write(WorkFile(3, "project"), "/p.xml");
        EXPECT_FALSE(AutosaveFile::Read(WorkFile(3)).has_value()) << bytes;
    }
    const AutosaveFile unwritable(Scratch("no/such/folder"), 5);
    EXPECT_FALSE(unwritable.Write(SomeWork(), reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(unwritable.Exists());
}
