#pragma once
// Writes the frames of the frame optimiser as one GIF89a that loops for ever: the first frame's
// palette is the global table, each later frame a rectangle left in place for the next one to draw
// over (disposal "do not dispose"), with its transparent index set.

#include "window/my_gifhandler/frame_optimiser.h"

#include <wx/stream.h>

namespace gif_optimise {

// The file header, screen descriptor, global table and the loop extension.
bool WriteHeader(wxOutputStream& stream, int width, int height, const Palette& global);

// One frame with its graphic control extension; `delay` in hundredths of a second.
bool WriteFrame(wxOutputStream& stream, const Frame& frame, int delay);

}  // namespace gif_optimise
