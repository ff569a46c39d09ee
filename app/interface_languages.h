#pragma once
// The seven interface languages and the identifiers that name them in the language file and the menu.
//
// Those identifiers are the toolkit's language numbers of the release the settings format was fixed
// with (58 English, 89 German, ...). The toolkit installed here has renumbered its languages, so an
// identifier is translated before it reaches wxLocale.

#include <wx/intl.h>

#include <array>

namespace interface_languages {

struct Entry {
    const char* label;  // UTF-8, shown untranslated in the Language menu
    int identifier;     // stored in the language file; also the menu command identifier
    wxLanguage toolkitLanguage;
};

constexpr int kEnglish = 58;

// In menu order.
const std::array<Entry, 7>& Entries();

// The toolkit language to install for a stored identifier: one of the seven entries, 0 for the
// system's language, any other number the toolkit knows as itself; numbers the toolkit does not know
// (negative, 1 = "unknown", past its table) give the system's language rather than a failing locale.
int ToolkitLanguage(int identifier);

// Where the "language" catalogs live: installation folder + "/Language".
wxString CatalogFolder();

}  // namespace interface_languages
