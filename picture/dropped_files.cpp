#include "picture/dropped_files.h"

#include "picture/natural_order.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>

namespace dropped_files {

namespace {

bool HasPictureExtension(const wxString& path) {
    const wxString extension = wxFileName(path).GetExt().Lower();
    return extension == "png" || extension == "jpg" || extension == "jpeg" || extension == "bmp" ||
           extension == "gif";
}

void AddPicturesInFolder(const wxString& folder, std::vector<wxString>& pictures) {
    // A folder that cannot be listed simply gives nothing; the toolkit would show its own error box.
    wxLogNull quiet;
    wxArrayString files;
    wxDir::GetAllFiles(folder, &files, wxString(), wxDIR_FILES);
    for (const wxString& file : files) {
        if (HasPictureExtension(file))
            pictures.push_back(file);
    }
}

}  // namespace

Contents Resolve(const std::vector<wxString>& paths) {
    Contents contents;
    if (paths.size() == 1 && !wxDirExists(paths[0]) && paths[0].Lower().EndsWith(".xml")) {
        contents.project = paths[0];
        return contents;
    }
    for (const wxString& path : paths) {
        if (wxDirExists(path))
            AddPicturesInFolder(path, contents.pictures);
        else
            contents.pictures.push_back(path);
    }
    natural_order::Sort(contents.pictures);
    return contents;
}

}  // namespace dropped_files
