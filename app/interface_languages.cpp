#include "app/interface_languages.h"

#include "app/paths.h"

namespace interface_languages {

const std::array<Entry, 7>& Entries() {
    static const std::array<Entry, 7> entries = {{
        {"中文简体", 46, wxLANGUAGE_CHINESE_SIMPLIFIED},
        {"中文繁体", 47, wxLANGUAGE_CHINESE_TRADITIONAL},
        {"Deutsch", 89, wxLANGUAGE_GERMAN},
        {"English", kEnglish, wxLANGUAGE_ENGLISH},
        {"Français", 80, wxLANGUAGE_FRENCH},
        {"Italiano", 110, wxLANGUAGE_ITALIAN},
        {"日本語", 112, wxLANGUAGE_JAPANESE},
    }};
    return entries;
}

int ToolkitLanguage(int identifier) {
    for (const Entry& entry : Entries()) {
        if (entry.identifier == identifier)
            return entry.toolkitLanguage;
    }
    if (identifier == wxLANGUAGE_DEFAULT || identifier == wxLANGUAGE_UNKNOWN || !wxLocale::GetLanguageInfo(identifier))
        return wxLANGUAGE_DEFAULT;
    return identifier;
}

wxString CatalogFolder() { return paths::InstallationFolder() + "/Language"; }

}  // namespace interface_languages
