// Where the program finds its files and keeps its settings: folders, the language file, the options file,
// the seven catalogs, and the start without a display.
#include "app/domain_option.h"
#include "app/interface_languages.h"
#include "app/paths.h"

#include "tests/support/files.h"

#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/translation.h>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <climits>
#include <cstdio>
#include <memory>

namespace {

std::string Entries(int count) {
    std::string xml = "<?xml version=\"1.0\"?>\n<options><domain>";
    for (int i = 1; i <= count; ++i)
        xml += "<e>http://example.com/" + std::to_string(i) + "</e>";
    return xml + "</domain></options>\n";
}

wxString LanguageFile() { return paths::DataFolder() + "/language.txt"; }

}  // namespace

TEST(Folders, ProgramAndInstallationFoldersAreCutBeforeTheLastSlash) {
    const std::pair<const char*, const char*> cases[] = {{"/opt/q/bin/quintrel-tavelle", "/opt/q/bin"},
                                                         {"C:\\Tools\\Q\\app.exe", "C:/Tools/Q"},
                                                         {"/app", ""},
                                                         {"quintrel-tavelle", ""}};
    for (const auto& [executable, folder] : cases)
        EXPECT_EQ(paths::ProgramFolderOf(executable), folder) << executable;
    EXPECT_EQ(paths::ParentFolderOf("/opt/q/bin"), "/opt/q");
    EXPECT_EQ(paths::InstallationFolder(), wxString(QUINTREL_BINARY_DIR));  // the tests live in build/tests
    const wxString data = paths::DataFolder();
    EXPECT_EQ(data, paths::DocumentsFolder() + "/Quintrel files/Quintrel Tavelle");
    EXPECT_TRUE(data.StartsWith(test_files::Scratch()));
    EXPECT_TRUE(wxDirExists(data));
}

TEST(Folders, LeadingIntegersFollowTheRuntimeConversionRule) {
    const std::pair<const char*, int> cases[] = {
        {"58", 58},  {"  \t12abc", 12}, {"-7", -7}, {"+9x", 9}, {"80\n", 80}, {"abc", 0}, {"", 0}, {"- 5", 0},
        {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}, {"-2147483648", INT_MIN}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(paths::ParseLeadingInt(text), value) << text;
}

TEST(LanguageFile, CreatedWith58ThenReadAsWrittenWhateverItHolds) {
    ASSERT_FALSE(wxFileExists(LanguageFile()));
    EXPECT_EQ(paths::ReadLanguage(), 58);
    EXPECT_EQ(test_files::Read(LanguageFile()), "58");
    paths::WriteLanguage(112);
    EXPECT_EQ(test_files::Read(LanguageFile()), "112");
    EXPECT_EQ(paths::ReadLanguage(), 112);
    const std::pair<std::string, int> cases[] = {{"80\r\n", 80}, {"", 0}, {"\xff\xfe garbage", 0}, {"00000001234", 1}};
    for (const auto& [bytes, language] : cases) {
        test_files::Write(LanguageFile(), bytes);
        EXPECT_EQ(paths::ReadLanguage(), language) << bytes;
    }
}

TEST(LanguageFile, AFileInTheWayOfTheDataFolderFallsBackToEnglish) {
    test_files::Write(paths::DocumentsFolder() + "/Quintrel files", "in the way");
    EXPECT_EQ(paths::ReadLanguage(), 58);
    paths::WriteLanguage(89);
    EXPECT_EQ(paths::ReadLanguage(), 58);
}

TEST(DomainOption, EntriesArePositionalAndShortOrBadFilesReportFailure) {
    const wxString path = test_files::Scratch("option.cfg");
    test_files::Write(path, Entries(9));
    DomainOption full(path);
    ASSERT_TRUE(full.Read());
    EXPECT_EQ(full.HelpPage(), "http://example.com/1");
    EXPECT_EQ(full.SupportPage(), "http://example.com/3");
    EXPECT_EQ(full.UpdateDocument(), "http://example.com/5-update.xml");
    EXPECT_EQ(full.ProductPage(), "http://example.com/6");
    EXPECT_EQ(full.SeventhEntry(), "http://example.com/7");

    test_files::Write(path, Entries(6));
    DomainOption six(path);
    EXPECT_FALSE(six.Read());
    EXPECT_EQ(six.ProductPage(), "http://example.com/6");  // what was read stays
    EXPECT_TRUE(six.SeventhEntry().empty());

    test_files::Write(path, "<a><!-- c --><b><x>h</x><!-- skip --><y/><z><![CDATA[s&p]]></z><w/><v>u</v><q/><r/></b></a>");
    DomainOption odd(path);
    ASSERT_TRUE(odd.Read());
    EXPECT_EQ(odd.HelpPage(), "h");
    EXPECT_EQ(odd.SupportPage(), "s&p");
    EXPECT_EQ(odd.UpdateDocument(), "u-update.xml");

    for (const std::string& text : {std::string(), std::string("not xml"), std::string("<a>"), std::string("<a/>")}) {
        test_files::Write(path, text);
        DomainOption bad(path);
        EXPECT_FALSE(bad.Read()) << text;
        EXPECT_TRUE(bad.HelpPage().empty());
    }
    EXPECT_FALSE(DomainOption(test_files::Scratch("none/option.cfg")).Read());
    DomainOption shipped(wxString(QUINTREL_SOURCE_DIR) + "/resources/option.cfg");
    EXPECT_TRUE(shipped.Read());
}

TEST(InterfaceLanguages, EachEntryLoadsItsCatalogWithoutSystemLocales) {
    const struct {
        int identifier;
        const char* file;  // what the catalog says for "File"
    } expected[] = {{46, "文件"}, {47, "檔案"}, {89, "Datei"}, {58, "File"}, {80, "Fichier"}, {110, "File"}, {112, "ファイル"}};
    const auto& entries = interface_languages::Entries();
    ASSERT_EQ(entries.size(), WXSIZEOF(expected));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].identifier, expected[i].identifier);
        wxLogNull silence;
        wxLocale locale;
        locale.Init(interface_languages::ToolkitLanguage(entries[i].identifier), wxLOCALE_LOAD_DEFAULT);
        wxLocale::AddCatalogLookupPathPrefix(interface_languages::CatalogFolder());
        EXPECT_TRUE(locale.AddCatalog("language")) << entries[i].identifier;
        EXPECT_EQ(wxGetTranslation("File"), wxString::FromUTF8(expected[i].file));
        const wxString formatted =
            wxString::Format(wxGetTranslation("Could not write the file %s:\n%s"), "a.gif", "full");
        EXPECT_TRUE(formatted.Contains("a.gif") && formatted.Contains("full")) << formatted;  // still a format
    }
    for (int unknown : {int(wxLANGUAGE_UNKNOWN), -5, int(wxLANGUAGE_USER_DEFINED) + 1000, 0})
        EXPECT_EQ(interface_languages::ToolkitLanguage(unknown), wxLANGUAGE_DEFAULT) << unknown;
    EXPECT_EQ(interface_languages::ToolkitLanguage(wxLANGUAGE_SPANISH), wxLANGUAGE_SPANISH);
}

TEST(ProgramStart, WithoutADisplayItSaysSoOnOneLineAndFails) {
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(QUINTREL_BINARY_DIR) + "/bin/quintrel-tavelle 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0);
    EXPECT_NE(output.find("no graphical display"), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
}
