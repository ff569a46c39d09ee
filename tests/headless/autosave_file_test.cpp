// The autosave files: written whole, read back, and found only when the run that wrote them has ended.
#include "tests/support/isolated_home.h"
#include "window/autosave_file.h"

#include <gtest/gtest.h>

#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

namespace {

// The id of a process that has ended and been reaped.
long EndedProcessId() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

wxString Folder() { return wxString::FromUTF8(IsolatedHomeListener::CurrentHome()); }

void WriteText(const wxString& path, const std::string& bytes) {
    wxFFile file(path, "wb");
    file.Write(bytes.data(), bytes.size());
}

AutosavedWork SomeWork() {
    AutosavedWork work;
    work.contents.gifPath = "out.gif";
    work.contents.width = 320;
    work.contents.height = 200;
    work.contents.delay = 7;
    work.contents.imagePaths = {"/pictures/a.png", wxString::FromUTF8("/bilder/größe ü.png"), "/p/c.jpg"};
    work.projectPath = wxString::FromUTF8("/projekte/mein projekt ä.xml");
    return work;
}

TEST(AutosaveFile, WrittenWorkOfAnEndedRunIsFoundAndReadBack) {
    const long ended = EndedProcessId();
    const AutosaveFile file(Folder(), ended);
    wxString reason;
    ASSERT_TRUE(file.Write(SomeWork(), reason)) << reason;
    EXPECT_TRUE(file.Exists());

    const std::vector<wxString> found = AutosaveFile::LeftOver(Folder(), getpid());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], wxString::Format("%s/autosave-%ld.xml", Folder(), ended));
    const std::optional<AutosavedWork> read = AutosaveFile::Read(found[0]);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->contents.imagePaths, SomeWork().contents.imagePaths);
    EXPECT_EQ(read->contents.width, 320);
    EXPECT_EQ(read->contents.height, 200);
    EXPECT_EQ(read->contents.delay, 7);
    EXPECT_EQ(read->contents.gifPath, "out.gif");
    EXPECT_EQ(read->projectPath, SomeWork().projectPath);

    // Replaced whole by the next write; removed with its project path.
    AutosavedWork untitled = SomeWork();
    untitled.projectPath.clear();
    untitled.contents.imagePaths.resize(1);
    ASSERT_TRUE(file.Write(untitled, reason)) << reason;
    EXPECT_EQ(AutosaveFile::Read(found[0])->contents.imagePaths.size(), 1u);
    EXPECT_TRUE(AutosaveFile::Read(found[0])->projectPath.empty());
    file.Remove();
    EXPECT_FALSE(file.Exists());
    EXPECT_FALSE(wxFileExists(wxString::Format("%s/autosave-%ld.project", Folder(), ended)));
    EXPECT_TRUE(AutosaveFile::LeftOver(Folder(), getpid()).empty());
}

TEST(AutosaveFile, WorkOfRunningProcessesAndOtherFilesAreNotLeftOver) {
    wxString reason;
    // This process, the one asking, and its parent, another running one.
    ASSERT_TRUE(AutosaveFile(Folder(), getpid()).Write(SomeWork(), reason)) << reason;
    ASSERT_TRUE(AutosaveFile(Folder(), getppid()).Write(SomeWork(), reason)) << reason;
    for (const char* name : {"autosave-.xml", "autosave-12ab.xml", "autosave--5.xml", "autosave-0.xml",
                             "autosave-99999999999999999999.xml", "autosave-123.txt", "other-123.xml"})
        WriteText(Folder() + "/" + name, "<x/>");
    EXPECT_TRUE(AutosaveFile::LeftOver(Folder(), getpid()).empty());
    // Seen from another process, this one's file is still not left over: it runs.
    EXPECT_TRUE(AutosaveFile::LeftOver(Folder(), EndedProcessId()).empty());
    EXPECT_TRUE(AutosaveFile::LeftOver(Folder() + "/missing", getpid()).empty());
}

TEST(AutosaveFile, NewestLeftOverComesFirst) {
    const long older = EndedProcessId();
    const long newer = EndedProcessId();
    wxString reason;
    ASSERT_TRUE(AutosaveFile(Folder(), newer).Write(SomeWork(), reason));
    ASSERT_TRUE(AutosaveFile(Folder(), older).Write(SomeWork(), reason));
    const wxString olderFile = wxString::Format("%s/autosave-%ld.xml", Folder(), older);
    utimbuf past{1000000, 1000000};
    ASSERT_EQ(utime(olderFile.fn_str(), &past), 0);
    const std::vector<wxString> found = AutosaveFile::LeftOver(Folder(), getpid());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], wxString::Format("%s/autosave-%ld.xml", Folder(), newer));
    EXPECT_EQ(found[1], olderFile);
}

struct DamagedWork {
    const char* name;
    std::string work;     // the work file's bytes
    bool hasProjectPath;  // whether a project path file is there
};

class AutosaveFileDamage : public testing::TestWithParam<DamagedWork> {};

TEST_P(AutosaveFileDamage, UnreadableWorkIsNothing) {
    const wxString file = Folder() + "/autosave-4242.xml";
    if (GetParam().work != "missing")
        WriteText(file, GetParam().work);
    if (GetParam().hasProjectPath)
        WriteText(Folder() + "/autosave-4242.project", "/p.xml");
    EXPECT_FALSE(AutosaveFile::Read(file).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Files, AutosaveFileDamage,
    testing::Values(DamagedWork{"Missing", "missing", true}, DamagedWork{"Empty", "", true},
                    DamagedWork{"NotXml", "\x01\x02garbage", true},
                    DamagedWork{"Truncated", "<project><width>10</width><hei", false}),
    [](const testing::TestParamInfo<DamagedWork>& info) { return std::string(info.param.name); });

TEST(AutosaveFile, WorkWithoutFramesIsNothing) {
    AutosavedWork work = SomeWork();
    work.contents.imagePaths.clear();
    wxString reason;
    const long ended = EndedProcessId();
    ASSERT_TRUE(AutosaveFile(Folder(), ended).Write(work, reason)) << reason;
    EXPECT_FALSE(AutosaveFile::Read(wxString::Format("%s/autosave-%ld.xml", Folder(), ended)).has_value());
}

TEST(AutosaveFile, MissingProjectPathFileGivesUntitledWork) {
    const long ended = EndedProcessId();
    wxString reason;
    ASSERT_TRUE(AutosaveFile(Folder(), ended).Write(SomeWork(), reason));
    ASSERT_TRUE(wxRemoveFile(wxString::Format("%s/autosave-%ld.project", Folder(), ended)));
    const std::optional<AutosavedWork> read =
        AutosaveFile::Read(wxString::Format("%s/autosave-%ld.xml", Folder(), ended));
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->projectPath.empty());
    EXPECT_EQ(read->contents.imagePaths.size(), 3u);
}

}  // namespace
