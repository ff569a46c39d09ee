#pragma once

#include <wx/iconbndl.h>
#include <wx/string.h>

// The name under which the installed program's icon lives in the desktop's icon theme; it is also the
// name of its desktop entry.
wxString ApplicationIconName();

// The window's icons: those of the icon theme when the program is installed for the desktop, otherwise
// every size of the icon file beside it; empty when neither exists.
wxIconBundle ApplicationIcons(const wxString& themeName, const wxString& iconFile);
