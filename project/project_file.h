#pragma once
// The XML project file: output size, one delay, the name of the GIF last exported and the image paths in
// frame order. Reading hands the values over one at a time in the file's order, so that a file which turns
// out to be damaged half-way still leaves what was read before the damage applied.

#include <wx/string.h>

#include <functional>
#include <vector>

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

// Receivers of the values read; an empty one is simply not called.
struct ReadCallbacks {
    std::function<void(int)> width;
    std::function<void(int)> height;
    std::function<void(const wxString&)> name;
    std::function<void(int)> delay;
    // Only for a file that stores a level; one outside 0..2 is delivered as 0.
    std::function<void(int)> level;
    // The file lists no image at all; the caller shows "Failed to load XML file!".
    std::function<void()> emptyImages;
    std::function<void(const wxString&)> imagePath;
};

enum class ReadResult {
    Stopped,   // unreadable, malformed or misshapen: reading ended at a failed check
    Finished,  // the image list was reached and read to its end (which may be the first non-"path" node)
};

// Delivers width, height, name, delay, then each image path, as far as the file's shape allows.
ReadResult Read(const wxString& path, const ReadCallbacks& callbacks);

// The file-name part of a path: what follows the last separator.
wxString FileNamePart(const wxString& path);

}  // namespace project_file
