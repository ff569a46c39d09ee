#include "app/paths.h"
#include "tests/support/isolated_home.h"

#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/filename.h>

#include <gtest/gtest.h>

namespace {

wxString ReadWhole(const wxString& path) {
    wxFFile file(path, "rb");
    wxString text;
    file.ReadAll(&text, wxConvLibc);
    return text;
}

void WriteWhole(const wxString& path, const std::string& bytes) {
    wxFFile file(path, "wb");
    file.Write(bytes.data(), bytes.size());
}

}  // namespace

TEST(Folders, CutsBeforeTheLastSlashOnceForTheProgramAndTwiceForTheInstallation) {
    EXPECT_EQ(paths::ProgramFolderOf("/opt/quintrel/bin/quintrel-tavelle"), "/opt/quintrel/bin");
    EXPECT_EQ(paths::ParentFolderOf("/opt/quintrel/bin"), "/opt/quintrel");
    // Backslashes count as slashes.
    EXPECT_EQ(paths::ProgramFolderOf("C:\\Tools\\Quintrel\\app.exe"), "C:/Tools/Quintrel");
    // A single folder level under the root gives the root itself.
    EXPECT_EQ(paths::ParentFolderOf(paths::ProgramFolderOf("C:/Tools/app.exe")), "C:");
    // A bare name has no folder part.
    EXPECT_EQ(paths::ProgramFolderOf("quintrel-tavelle"), "");
    EXPECT_EQ(paths::ParentFolderOf(""), "");
}

TEST(Folders, InstallationFolderComesFromTheRealExecutablePath) {
    // The test binary lives in build/tests, so its installation folder is the build tree.
    EXPECT_EQ(paths::InstallationFolder(), wxString(QUINTREL_BINARY_DIR));
}

TEST(Folders, DataFolderIsCreatedUnderTheDocumentsFolder) {
    const wxString data = paths::DataFolder();
    EXPECT_TRUE(data.EndsWith("/Quintrel files/Quintrel Tavelle")) << data;
    EXPECT_TRUE(data.StartsWith(paths::DocumentsFolder()));
    EXPECT_TRUE(data.StartsWith(wxString(IsolatedHomeListener::CurrentHome())));
    EXPECT_TRUE(wxDirExists(data));
}

TEST(Identity, NamesAndVersion) {
    EXPECT_EQ(paths::CompanyName(), "Quintrel");
    EXPECT_EQ(paths::DisplayName(), "Quintrel Tavelle");
    EXPECT_EQ(paths::Version(), "1.2.6");
}

TEST(ParseLeadingInt, FollowsTheRuntimeConversionRule) {
    EXPECT_EQ(paths::ParseLeadingInt("58"), 58);
    EXPECT_EQ(paths::ParseLeadingInt("  \t12abc"), 12);
    EXPECT_EQ(paths::ParseLeadingInt("-7"), -7);
    EXPECT_EQ(paths::ParseLeadingInt("+9x"), 9);
    EXPECT_EQ(paths::ParseLeadingInt("80\n"), 80);
    EXPECT_EQ(paths::ParseLeadingInt("abc"), 0);
    EXPECT_EQ(paths::ParseLeadingInt(""), 0);
    EXPECT_EQ(paths::ParseLeadingInt("- 5"), 0);
    EXPECT_EQ(paths::ParseLeadingInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(paths::ParseLeadingInt("-99999999999999999999"), INT_MIN);
}

TEST(LanguageFile, FirstReadCreatesTheFileHolding58) {
    const wxString file = paths::DataFolder() + "/language.txt";
    ASSERT_FALSE(wxFileExists(file));
    EXPECT_EQ(paths::ReadLanguage(), 58);
    ASSERT_TRUE(wxFileExists(file));
    EXPECT_EQ(ReadWhole(file), "58");
}

TEST(LanguageFile, WritesDigitsOnlyAndReadsThemBack) {
    paths::WriteLanguage(89);
    EXPECT_EQ(ReadWhole(paths::DataFolder() + "/language.txt"), "89");
    EXPECT_EQ(paths::ReadLanguage(), 89);
    paths::WriteLanguage(112);
    EXPECT_EQ(paths::ReadLanguage(), 112);
}

TEST(LanguageFile, ToleratesLineEndsGarbageAndEmptiness) {
    const wxString file = paths::DataFolder() + "/language.txt";
    WriteWhole(file, "80\r\n");
    EXPECT_EQ(paths::ReadLanguage(), 80);
    WriteWhole(file, "");
    EXPECT_EQ(paths::ReadLanguage(), 0);
    WriteWhole(file, "\xff\xfe garbage \x01");
    EXPECT_EQ(paths::ReadLanguage(), 0);
    // Only the first eight bytes are read.
    WriteWhole(file, "00000001234");
    EXPECT_EQ(paths::ReadLanguage(), 1);
}

TEST(LanguageFile, UnwritableDocumentsFolderFallsBackWithoutCrashing) {
    // A file where the company folder should be: the data folder cannot be made.
    WriteWhole(paths::DocumentsFolder() + "/Quintrel files", "in the way");
    EXPECT_EQ(paths::ReadLanguage(), 58);  // no file there, so English, though it cannot be stored
    paths::WriteLanguage(89);               // must not crash either
    EXPECT_EQ(paths::ReadLanguage(), 58);
    EXPECT_TRUE(wxFileExists(paths::DocumentsFolder() + "/Quintrel files"));
}
