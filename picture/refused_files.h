#pragma once
// The one account given after a batch of pictures: every file left out and why.

#include <wx/string.h>

#include <vector>

struct RefusedFile {
    wxString path;
    wxString reason;  // translated, e.g. "damaged"
};

// One line per file, "path: reason", in the order the files were given.
wxString RefusedFilesList(const std::vector<RefusedFile>& files);
