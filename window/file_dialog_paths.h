#pragma once
// The paths a confirmed file dialog chose. On GTK the dialog's full paths are the reliable answer
// (with a typed path the folder is the one the dialog was showing); when they are empty, as under a
// faked dialog, the folder joined with the file names is.

#include <wx/arrstr.h>
#include <wx/string.h>

class wxFileDialog;

namespace file_dialog_paths {

// For a dialog with wxFD_MULTIPLE, in the dialog's order.
wxArrayString ChosenPaths(const wxFileDialog& dialog);

// For a single-choice dialog; "" when nothing was chosen.
wxString ChosenPath(const wxFileDialog& dialog);

}  // namespace file_dialog_paths
