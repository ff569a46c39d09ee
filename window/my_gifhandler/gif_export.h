#pragma once
// The export engine shared by the window's Save and by quintrel-gif, so both write the same bytes
// for the same pictures, size and delay: every picture is composed on the output canvas, reduced to
// a palette image and written through MyGifHandler into a temporary file that replaces the target
// only once every byte is written.

#include "window/my_gifhandler/frame_optimiser.h"

#include <wx/image.h>
#include <wx/string.h>

#include <cstddef>
#include <functional>
#include <vector>

class ReplacingFile;

namespace gif_export {

// Returns the full picture of frame `index`. Called on the worker threads, for several frames at
// once and in any order, so that reading the pictures is spread over the workers too; it must not
// touch the toolkit's GUI objects. An invalid image gives a black frame; a source that cannot give
// the picture it should stops the export through the progress callback.
using FrameSource = std::function<wxImage(size_t index)>;

// Told after each frame is written, on the calling thread; returning false cancels the export.
using Progress = std::function<bool(size_t framesDone, size_t frameCount)>;

struct Request {
    wxString path;       // the target, used as given (see EnsureGifExtension)
    size_t frameCount = 0;
    int width = 0;       // output size in pixels
    int height = 0;
    int delay = 0;       // hundredths of a second, one for every frame
    unsigned threads = 0;  // workers composing and reducing frames; 0: one per core
    // kExact: every frame whole with its own palette. kSmaller: later frames only where they
    // changed. kSmallest: also lossy compression of the given strength (1..gif_optimise::kMaxLossy).
    gif_optimise::Level level = gif_optimise::kExact;
    int lossy = gif_optimise::kDefaultLossy;
};

struct Result {
    bool ok = false;
    bool cancelled = false;
    wxString reason;  // why nothing was written, for the user; empty on success
};

// Writes the animation. On any failure or cancel the target is left as it was and no temporary
// file remains. Blocks until done; the toolkit's log is silenced meanwhile (the reason says it all).
// A size the GIF format or the machine's memory cannot hold is refused before the first frame.
Result Export(const Request& request, const FrameSource& source, const Progress& progress = {});

// The same into a file opened by the caller, who commits it (request.path is not used): for
// replacing several files only once all of them are written.
Result Write(const Request& request, ReplacingFile& file, const FrameSource& source, const Progress& progress = {});

struct SizeEstimate {
    bool ok = false;
    bool cancelled = false;
    wxString reason;            // why there is no estimate; empty on success
    unsigned long long bytes = 0;
};

// The size Export would write for the request (its path is not used), found by encoding a few
// evenly spread runs of neighbouring frames in memory and extrapolating from them. With few frames,
// all of them are encoded and the size is exact. The source is called for the sampled frames only,
// on the workers as for Export; `progress` counts sampled frames and may cancel.
SizeEstimate EstimateSize(const Request& request, const FrameSource& source, const Progress& progress = {});

// The path unchanged when it ends with ".gif" (case-sensitive), else with ".gif" appended.
wxString EnsureGifExtension(const wxString& path);

}  // namespace gif_export
