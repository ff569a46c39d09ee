#include "app/interface_languages.h"

#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/translation.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Expected {
    int identifier;
    const char* canonicalName;
    const char* file;  // the translation of "File"
    const char* help;  // the translation of "Help"
};

// The languages in menu order, with what the built catalogs must say for two menu titles.
const Expected kExpected[] = {
    {46, "zh_CN", "文件", "帮助"}, {47, "zh_TW", "檔案", "說明"},     {89, "de", "Datei", "Hilfe"},
    {58, "en", "File", "Help"},    {80, "fr", "Fichier", "Aide"}, {110, "it", "File", "Guida"},
    {112, "ja", "ファイル", "ヘルプ"},
};

// A locale as the window installs it; the system usually lacks it, which must not matter.
std::unique_ptr<wxLocale> InstallLanguage(int identifier, bool& catalogFound) {
    auto locale = std::make_unique<wxLocale>();
    wxLogNull silence;
    locale->Init(interface_languages::ToolkitLanguage(identifier), wxLOCALE_LOAD_DEFAULT);
    wxLocale::AddCatalogLookupPathPrefix(interface_languages::CatalogFolder());
    catalogFound = locale->AddCatalog("language");
    return locale;
}

}  // namespace

TEST(InterfaceLanguages, SevenEntriesInMenuOrderNamingTheToolkitLanguages) {
    const auto& entries = interface_languages::Entries();
    ASSERT_EQ(entries.size(), WXSIZEOF(kExpected));
    const char* const labels[] = {"中文简体", "中文繁体", "Deutsch", "English", "Français", "Italiano", "日本語"};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_STREQ(entries[i].label, labels[i]);
        EXPECT_EQ(entries[i].identifier, kExpected[i].identifier);
        const int language = interface_languages::ToolkitLanguage(entries[i].identifier);
        const wxLanguageInfo* info = wxLocale::GetLanguageInfo(language);
        ASSERT_NE(info, nullptr) << entries[i].identifier;
        EXPECT_EQ(info->CanonicalName, kExpected[i].canonicalName);
    }
    EXPECT_EQ(interface_languages::kEnglish, 58);
}

TEST(InterfaceLanguages, OtherIdentifiersAreTheToolkitsOwnOrTheSystemLanguage) {
    EXPECT_EQ(interface_languages::ToolkitLanguage(0), wxLANGUAGE_DEFAULT);
    // A number of no entry that the toolkit knows is that language.
    EXPECT_EQ(interface_languages::ToolkitLanguage(60), 60);
    EXPECT_EQ(interface_languages::ToolkitLanguage(wxLANGUAGE_SPANISH), wxLANGUAGE_SPANISH);
    // Numbers the toolkit does not know would fail inside wxLocale (1 even asserts): the system's language.
    EXPECT_EQ(interface_languages::ToolkitLanguage(wxLANGUAGE_UNKNOWN), wxLANGUAGE_DEFAULT);
    EXPECT_EQ(interface_languages::ToolkitLanguage(-5), wxLANGUAGE_DEFAULT);
    EXPECT_EQ(interface_languages::ToolkitLanguage(wxLANGUAGE_USER_DEFINED + 1000), wxLANGUAGE_DEFAULT);
}

TEST(InterfaceLanguages, CatalogFolderIsTheInstallationsLanguageFolder) {
    EXPECT_EQ(interface_languages::CatalogFolder(), wxString(QUINTREL_BINARY_DIR) + "/Language");
}

TEST(LanguageCatalogs, EachLanguageLoadsFromTheBuildWithoutSystemLocales) {
    for (const Expected& expected : kExpected) {
        bool found = false;
        const auto locale = InstallLanguage(expected.identifier, found);
        // The catalog folder is named after the toolkit's canonical name of the language.
        EXPECT_TRUE(found) << expected.canonicalName;
        EXPECT_EQ(wxGetTranslation("File"), wxString::FromUTF8(expected.file)) << expected.canonicalName;
        EXPECT_EQ(wxGetTranslation("Help"), wxString::FromUTF8(expected.help)) << expected.canonicalName;
        // A key of no catalog entry shows as it is.
        EXPECT_EQ(wxGetTranslation("no such key"), "no such key");
    }
}

TEST(LanguageCatalogs, TranslatedFormatsStillFormat) {
    bool found = false;
    const auto locale = InstallLanguage(89, found);
    ASSERT_TRUE(found);
    const wxString crash = wxGetTranslation(
        "Application have crashed due to some unknown reasons,\nPlease email the zip crashing report file that is "
        "generated in \n%s\n to us.");
    ASSERT_TRUE(crash.StartsWith("Die Anwendung")) << crash;
    const wxString message = wxString::Format(crash, "/tmp/report");
    EXPECT_NE(message.Find("\n/tmp/report\n"), wxNOT_FOUND) << message;
}

TEST(LanguageCatalogs, LanguagesWithoutACatalogShowTheKeys) {
    bool found = true;
    const auto locale = InstallLanguage(wxLANGUAGE_SPANISH, found);
    EXPECT_FALSE(found);
    EXPECT_EQ(wxGetTranslation("File"), "File");
}

TEST(StartupCatalog, FoundUnderTheWorkingFoldersLocaleFolder) {
    const wxString previous = wxGetCwd();
    ASSERT_TRUE(wxSetWorkingDirectory(QUINTREL_BINARY_DIR));
    {
        wxLogNull silence;
        wxLocale english(wxLANGUAGE_ENGLISH, wxLOCALE_LOAD_DEFAULT);
        wxLocale::AddCatalogLookupPathPrefix("m_locale_");
        EXPECT_TRUE(english.AddCatalog("ui"));
        // Every text of the main window's layout has its entry.
        for (const char* key : {"Delay :", "sec ", "GIF:", "Width:", "px", "Height:", "Add Image", "Delete",
                                "Run animation"}) {
            const wxString* found = wxTranslations::Get()->GetTranslatedString(key, "ui");
            ASSERT_NE(found, nullptr) << key;
            EXPECT_EQ(*found, key);
        }
    }
    wxSetWorkingDirectory(previous);
}
