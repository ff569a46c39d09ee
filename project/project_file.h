#pragma once
// The XML project file: output size, one delay, the name of the GIF last exported and the image paths in
// frame order. Reading checks the whole file before handing anything over, so a damaged file changes
// nothing and says why.

#include <wx/string.h>

#include <vector>

class ReplacingFile;

namespace project_file {

struct ProjectContents {
    wxString gifPath;  // only its file-name part is stored
    int width = 0;
    int height = 0;
    int delay = 0;
    // The export level; written only when not 0, as an element after "delay_time" that readers
    // which do not know it skip, so projects at level 0 keep their bytes.
    int level = 0;
    std::vector<wxString> imagePaths;
};

struct SaveResult {
    bool ok = false;
    wxString reason;  // why the save failed, for the user; empty on success
};

// Writes the document to a temporary file beside the target and renames it over the target only when every
// byte is on disk, so a failed save leaves an existing project as it was. A read-only target is refused.
SaveResult Save(const wxString& path, const ProjectContents& contents);

// The document into a file opened by the caller, who commits it: for replacing several files only
// once all of them are written.
SaveResult Write(ReplacingFile& file, const ProjectContents& contents);

struct ReadResult {
    bool ok = false;
    wxString reason;           // why the file was refused, for the user; empty when ok
    ProjectContents contents;  // complete when ok; gifPath holds the stored name, a file name alone
    bool listsNoImage = false;  // "images" is empty: the caller shows "Failed to load XML file!"
};

// Reads and checks the whole file: well-formed, shaped as the format says, no entities, width and
// height 1..65535, delay 0..65535, a GIF name without folder parts. Linear in the file's size.
ReadResult Read(const wxString& path);

// The same for a file's bytes already in memory; `fileName` names it in reasons.
ReadResult ReadBytes(const char* bytes, size_t size, const wxString& fileName);

// The file-name part of a path: what follows the last separator.
wxString FileNamePart(const wxString& path);

}  // namespace project_file
