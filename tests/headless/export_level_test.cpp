// The export level kept in the data folder and in project files, against hostile contents.
#include "app/export_level_setting.h"
#include "app/paths.h"
#include "project/project_file.h"
#include "tests/support/isolated_home.h"

#include <wx/ffile.h>
#include <wx/filefn.h>

#include <gtest/gtest.h>

namespace {

void WriteText(const wxString& path, const std::string& text) {
    wxFFile file(path, "wb");
    ASSERT_TRUE(file.IsOpened());
    file.Write(text.data(), text.size());
}

std::string ReadText(const wxString& path) {
    wxFFile file(path, "rb");
    std::string text(file.IsOpened() ? size_t(file.Length()) : 0, '\0');
    if (!text.empty())
        file.Read(&text[0], text.size());
    return text;
}

TEST(ExportLevelSetting, ReadsOnlyALevelAndFallsBackToExact) {
    wxMkdir(paths::DataFolder());
    EXPECT_EQ(export_level_setting::Read(), 0);  // nothing saved yet
    export_level_setting::Write(2);
    EXPECT_EQ(export_level_setting::Read(), 2);
    const wxString file = paths::DataFolder() + "/export_level.txt";
    const struct {
        std::string contents;
        int level;
    } table[] = {{"1", 1}, {" 2\n", 2}, {"3", 0}, {"-1", 0}, {"abc", 0}, {"", 0},
                 {"99999999999999999999", 0}, {std::string(1 << 20, '1'), 0}, {std::string("\0\xff", 2), 0}};
    for (const auto& row : table) {
        WriteText(file, row.contents);
        EXPECT_EQ(export_level_setting::Read(), row.level) << row.contents.substr(0, 20);
    }
}

TEST(ProjectExportLevel, StoredOnlyWhenNotExactAndReadWithinRange) {
    const wxString path = wxString(IsolatedHomeListener::CurrentHome()) + "/work.xml";
    project_file::ProjectContents contents;
    contents.width = 20;
    contents.height = 10;
    contents.delay = 5;
    contents.imagePaths = {"/a.png"};
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    EXPECT_EQ(ReadText(path).find("export_level"), std::string::npos);

    const auto levelRead = [&] {
        const project_file::ReadResult read = project_file::Read(path);
        EXPECT_TRUE(read.ok) << read.reason;
        EXPECT_EQ(read.contents.imagePaths, std::vector<wxString>{"/a.png"});
        return read.contents.level;
    };
    EXPECT_EQ(levelRead(), 0);  // none stored: exact
    contents.level = 2;
    ASSERT_TRUE(project_file::Save(path, contents).ok);
    EXPECT_NE(ReadText(path).find("<export_level>2</export_level>"), std::string::npos);
    EXPECT_EQ(levelRead(), 2);

    std::string text = ReadText(path);
    text.replace(text.find(">2</export_level>"), 2, ">7");
    WriteText(path, text);
    EXPECT_EQ(levelRead(), 0);
}

}  // namespace
