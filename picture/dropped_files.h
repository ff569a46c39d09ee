#pragma once
// What a drop from the file manager brings: one project file to open, or the picture files to add.

#include <wx/string.h>

#include <vector>

namespace dropped_files {

struct Contents {
    wxString project;               // a file ending in ".xml" dropped alone; empty otherwise
    std::vector<wxString> pictures;  // in natural order
};

// A folder gives the pictures directly inside it (by their extension, hidden files left out; its
// subfolders are not entered, so a drop never walks a whole tree). Every other path is taken as a
// picture file as it is: the picture intake names those that are not.
Contents Resolve(const std::vector<wxString>& paths);

}  // namespace dropped_files
