#pragma once
// Status bar texts shared by the commands that write them.

#include <wx/string.h>

namespace status_texts {

// Field 1: "%s Width:%dpx,Height:%d px" with the English catalog.
wxString ClickedFrame(const wxString& fileName, int width, int height);

// Field 0: "Untitled.gif (%d * %d)" or "%s (%d * %d)" followed by the translation of "px".
wxString OutputSize(const wxString& gifName, int width, int height);

}  // namespace status_texts
