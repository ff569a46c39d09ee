#include "app/export_level_setting.h"

#include "app/paths.h"
#include "window/my_gifhandler/frame_optimiser.h"

#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/log.h>

namespace export_level_setting {

namespace {

wxString FilePath() { return paths::DataFolder() + "/export_level.txt"; }

}  // namespace

int Read() {
    wxLogNull quiet;
    if (!wxFileExists(FilePath()))
        return gif_optimise::kExact;
    wxFFile file(FilePath(), "rb");
    char bytes[9] = {};
    const size_t count = file.IsOpened() ? file.Read(bytes, 8) : 0;
    // A few bytes are enough for the digit; a huge or foreign file is not read further.
    const int level = paths::ParseLeadingInt(wxString(bytes, wxConvLibc, count));
    return level >= gif_optimise::kExact && level <= gif_optimise::kSmallest ? level : gif_optimise::kExact;
}

void Write(int level) {
    wxLogNull quiet;
    wxFFile file(FilePath(), "wb");
    if (file.IsOpened())
        file.Write(wxString::Format("%d", level));
}

}  // namespace export_level_setting
