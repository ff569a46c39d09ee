#include "app/replacing_file.h"
#include "tests/support/isolated_home.h"

#include <wx/dir.h>
#include <wx/ffile.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

wxString Home() { return wxString(IsolatedHomeListener::CurrentHome()); }

std::string ReadBytes(const wxString& path) {
    wxFFile file(path, "rb");
    std::string bytes(static_cast<size_t>(file.Length()), '\0');
    file.Read(bytes.data(), bytes.size());
    return bytes;
}

void WriteBytes(const wxString& path, const std::string& bytes) {
    wxFFile file(path, "wb");
    file.Write(bytes.data(), bytes.size());
}

size_t EntriesIn(const wxString& folder) {
    wxArrayString files;
    return wxDir::GetAllFiles(folder, &files, wxEmptyString, wxDIR_FILES | wxDIR_HIDDEN);
}

bool Save(const wxString& target, const std::string& bytes, wxString& reason) {
    ReplacingFile file;
    return file.Open(target, reason) && file.Stream().WriteAll(bytes.data(), bytes.size()) && file.Commit(reason);
}

}  // namespace

TEST(ReplacingFile, ReplacesOnlyOnCommitAndKeepsPermissions) {
    const wxString target = Home() + "/anim.gif";
    WriteBytes(target, "old");
    ASSERT_EQ(chmod(target.fn_str(), 0640), 0);
    {
        ReplacingFile file;
        wxString reason;
        ASSERT_TRUE(file.Open(target, reason)) << reason;
        ASSERT_TRUE(file.Stream().WriteAll("new bytes", 9));
        EXPECT_EQ(ReadBytes(target), "old");  // nothing replaced before the commit
        ASSERT_TRUE(file.Commit(reason)) << reason;
    }
    EXPECT_EQ(ReadBytes(target), "new bytes");
    struct stat status {};
    ASSERT_EQ(stat(target.fn_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(EntriesIn(Home()), 1u);
}

TEST(ReplacingFile, AbandonedWriteLeavesTheOldFileAndNoTemporary) {
    const wxString target = Home() + "/anim.gif";
    WriteBytes(target, "precious");
    {
        ReplacingFile file;
        wxString reason;
        ASSERT_TRUE(file.Open(target, reason));
        file.Stream().WriteAll("half", 4);
    }
    EXPECT_EQ(ReadBytes(target), "precious");
    EXPECT_EQ(EntriesIn(Home()), 1u);
}

TEST(ReplacingFile, ALinkIsFollowedSoTheLinkedFileIsReplaced) {
    const wxString real = Home() + "/real.xml";
    const wxString link = Home() + "/link.xml";
    WriteBytes(real, "old");
    ASSERT_EQ(symlink(real.fn_str(), link.fn_str()), 0);
    wxString reason;
    ASSERT_TRUE(Save(link, "new", reason)) << reason;
    EXPECT_EQ(ReadBytes(real), "new");
    struct stat status {};
    ASSERT_EQ(lstat(link.fn_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
}

TEST(ReplacingFile, RefusalsNameTheFile) {
    wxString reason;
    EXPECT_FALSE(Save("", "x", reason));
    EXPECT_EQ(reason, "No file name was given.");
    EXPECT_FALSE(Save(Home(), "x", reason));
    EXPECT_EQ(reason, "\"" + Home() + "\" is a folder.");
    const wxString locked = Home() + "/locked.gif";
    WriteBytes(locked, "keep");
    ASSERT_EQ(chmod(locked.fn_str(), 0444), 0);
    EXPECT_FALSE(Save(locked, "x", reason));
    EXPECT_EQ(reason, "\"" + locked + "\" is read-only.");
    EXPECT_EQ(ReadBytes(locked), "keep");
    EXPECT_FALSE(Save(Home() + "/missing/anim.gif", "x", reason));
    EXPECT_TRUE(reason.StartsWith("Cannot create a file in \"" + Home() + "/missing\": ")) << reason;
    EXPECT_EQ(EntriesIn(Home()), 1u);
}
