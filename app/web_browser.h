#pragma once
// Opening the product's web pages in the user's default browser.

#include <wx/string.h>

#include <functional>

namespace web_browser {

// Opens the address with the desktop's default browser; an empty address (no options file) opens nothing.
// The browser's result is not looked at.
void Open(const wxString& address);

// What actually starts the browser. Tests put a recorder in its place so that no real browser starts;
// returns the launcher it replaced.
using Launcher = std::function<void(const wxString& address)>;
Launcher ReplaceLauncher(Launcher launcher);

}  // namespace web_browser
