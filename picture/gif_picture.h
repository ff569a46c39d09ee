#pragma once
// The first picture of a GIF file, decoded with giflib.

#include <wx/image.h>
#include <wx/stream.h>

#include <functional>

namespace gif_picture {

// Told the first picture's size before its pixels are decoded; false refuses it.
using SizeCheck = std::function<bool(int width, int height)>;

enum class Result { Decoded, Refused, Damaged };

// Reads from the start of the stream. Pixels of the transparent colour, if any, take the mask
// colour (255, 0, 255); other pixels of that colour are nudged to (255, 0, 254).
Result DecodeFirst(wxInputStream& stream, const SizeCheck& sizeAllowed, wxImage& picture);

}  // namespace gif_picture
