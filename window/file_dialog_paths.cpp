#include "window/file_dialog_paths.h"

#include <wx/filedlg.h>

namespace file_dialog_paths {

namespace {

wxString Join(const wxString& folder, const wxString& name) {
    if (folder.empty() || folder.EndsWith("/"))
        return folder + name;
    return folder + "/" + name;
}

}  // namespace

wxArrayString ChosenPaths(const wxFileDialog& dialog) {
    wxArrayString paths;
    dialog.GetPaths(paths);
    if (!paths.empty() && !paths[0].empty())
        return paths;
    paths.clear();
    wxArrayString names;
    dialog.GetFilenames(names);
    // A faked GTK dialog leaves its own file names as empty as its paths; the base class still keeps
    // the name it was given.
    if (names.empty())
        dialog.wxFileDialogBase::GetFilenames(names);
    for (const wxString& name : names) {
        if (!name.empty())
            paths.push_back(Join(dialog.GetDirectory(), name));
    }
    return paths;
}

wxString ChosenPath(const wxFileDialog& dialog) {
    const wxString path = dialog.GetPath();
    if (!path.empty())
        return path;
    const wxString name = dialog.GetFilename();
    return name.empty() ? wxString() : Join(dialog.GetDirectory(), name);
}

}  // namespace file_dialog_paths
