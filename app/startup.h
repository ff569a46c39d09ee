#pragma once
// The parts of start-up that the program and the window tests share.

#include <wx/string.h>

class MyFrame;

namespace startup {

// Registers the image and XRC handlers and loads every XRC file under installationFolder + "/Themes".
void LoadResources(const wxString& installationFolder);

// Builds the main window from the layout "MyFrame1" and runs InitFrame. On failure returns null and
// says in `error` what is missing.
MyFrame* CreateMainWindow(wxString& error);

}  // namespace startup
