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

#include <algorithm>

namespace {

wxString LanguageFile() { return paths::DataFolder() + "/language.txt"; }

// What reading an options file holding `text` gave: "read" or "failed", then the entries in use.
std::string OptionsRead(const std::string& text) {
    test_files::Write(test_files::Scratch("option.cfg"), text);
    DomainOption option(test_files::Scratch("option.cfg"));
    const bool read = option.Read();  // before the entries are taken
    return (read ? "read " : "failed ") + (option.HelpPage() + " " + option.SupportPage() + " " +
                                           option.UpdateDocument() + " " + option.ProductPage() + " " +
                                           option.SeventhEntry()).utf8_string();
}

std::string Options(int entries, const std::string& after = "</domain></options>") {
    std::string xml = "<?xml version=\"1.0\"?>\n<options><domain>";
    for (int i = 1; i <= entries; ++i)
        xml += "<e>" + std::to_string(i) + "</e>";
    return xml + after;
}

}  // namespace

// The data folder is under the test's own home; where the installation is, the catalogs below show.
TEST(LanguageFile, EnglishWhenMissingOrUnwritableElseReadAsWrittenWhateverItHolds) {
    const wxString inTheWay = paths::DocumentsFolder() + "/Quintrel files";  // a file where the data folder goes
    test_files::Write(inTheWay, "in the way");
    paths::WriteLanguage(89);
    EXPECT_EQ(paths::ReadLanguage(), 58);
    ASSERT_TRUE(wxRemoveFile(inTheWay) && paths::DataFolder().StartsWith(test_files::Scratch() + "/"));
    EXPECT_EQ(paths::ReadLanguage(), 58);
    const std::pair<std::string, int> cases[] = {{"112", 112}, {"80\r\n", 80}, {"", 0}, {"\xff\xfe garbage", 0},
                                                 {"00000001234", 1}};  // only the first eight bytes count
    for (const auto& [bytes, language] : cases) {
        test_files::Write(LanguageFile(), bytes);
        EXPECT_EQ(paths::ReadLanguage(), language) << bytes;
    }
}

TEST(DomainOption, EntriesArePositionalAndShortOrBadFilesReportFailure) {
    const std::pair<std::string, const char*> cases[] = {
        {Options(9), "read 1 3 5-update.xml 6 7"}, {Options(6), "failed 1 3 5-update.xml 6 "},  // what was read stays
        {"<a><!-- c --><b><x>h</x><!-- skip --><y/><z><![CDATA[s&p]]></z><w/><v>u</v><q/><r/></b></a>",
         "read h s&p u-update.xml  "},
        {"", "failed     "}, {"not xml", "failed     "}, {"<a/>", "failed     "},
        // Measured before the toolkit's recursive parser sees it, closed or cut short.
        {Options(7, test_files::Repeat("<a>", 150000) + test_files::Repeat("</a>", 150000) + "</domain></options>"), "failed     "},
        {Options(7, test_files::Repeat("<a>", 150000)), "failed     "}};
    for (const auto& [text, entries] : cases)
        EXPECT_EQ(OptionsRead(text), entries) << text.substr(0, 100);
    EXPECT_FALSE(DomainOption(test_files::Scratch("none/option.cfg")).Read());
    EXPECT_TRUE(DomainOption(wxString(QUINTREL_SOURCE_DIR) + "/resources/option.cfg").Read());
}

TEST(InterfaceLanguages, EachEntryLoadsItsCatalogWithoutSystemLocales) {
    const std::pair<int, const char*> fileMenus[] = {{46, "文件"},    {47, "檔案"}, {89, "Datei"},   {58, "File"},
                                                     {80, "Fichier"}, {110, "File"}, {112, "ファイル"}};
    ASSERT_EQ(interface_languages::Entries().size(), WXSIZEOF(fileMenus));
    for (size_t i = 0; i < WXSIZEOF(fileMenus); ++i) {
        const auto [identifier, file] = fileMenus[i];
        wxLogNull silence;
        wxLocale locale;
        locale.Init(interface_languages::ToolkitLanguage(identifier), wxLOCALE_LOAD_DEFAULT);
        wxLocale::AddCatalogLookupPathPrefix(interface_languages::CatalogFolder());
        EXPECT_TRUE(interface_languages::Entries()[i].identifier == identifier && locale.AddCatalog("language") &&
                    wxGetTranslation("File") == wxString::FromUTF8(file)) << identifier;
    }
    for (int unknown : {int(wxLANGUAGE_UNKNOWN), -5, int(wxLANGUAGE_USER_DEFINED) + 1000, 0})
        EXPECT_EQ(interface_languages::ToolkitLanguage(unknown), wxLANGUAGE_DEFAULT) << unknown;
}

TEST(ProgramStart, WithoutADisplayItSaysSoOnOneLineAndFails) {
    const test_files::Ran ran = test_files::Run("env -u DISPLAY -u WAYLAND_DISPLAY " QUINTREL_BINARY_DIR "/bin/quintrel-tavelle");
    EXPECT_TRUE(ran.status > 0 && ran.output.find("no graphical display") != std::string::npos &&
                std::count(ran.output.begin(), ran.output.end(), '\n') == 1) << ran.status << ": " << ran.output;
}
