#pragma once
// Where the program finds its own files, where it keeps the user's settings, and the product identity.

#include <wx/string.h>

namespace paths {

// Folders are derived from the executable's own full path with the rule "cut before the last slash";
// exposed separately so the rule can be tested on any path.
wxString ProgramFolderOf(const wxString& executablePath);
wxString ParentFolderOf(const wxString& folder);

wxString ExecutablePath();
wxString ProgramFolder();
wxString InstallationFolder();
wxString DocumentsFolder();
// Creates both of its levels on every call; failures are ignored as the folder may already exist.
wxString DataFolder();

wxString CompanyName();
wxString DisplayName();
wxString Version();

// Leading blanks, optional sign, digits up to the first other character; 0 without digits.
int ParseLeadingInt(const wxString& text);

int ReadLanguage();
void WriteLanguage(int language);

// Shows the folder in the desktop's file browser; the result is not looked at.
void OpenFolderInFileBrowser(const wxString& folder);

}  // namespace paths
