#pragma once
// The output-size rules of the frame settings, shared by the window and the command-line exporter.

#include <wx/gdicmn.h>

#include <vector>

namespace output_size {

// Walks the picture sizes in frame order; a picture larger than the best so far in either direction
// replaces both numbers (not a component-wise maximum).
wxSize FindBestSize(const std::vector<wxSize>& pictureSizes);

// The height that keeps the reference proportion for a typed width: 32-bit integer arithmetic,
// truncated. Returns false (no answer) when the reference width is 0.
bool HeightForWidth(int width, int baseWidth, int baseHeight, int& height);

// The width for a typed height: the product in 32-bit integers, the division in floating point,
// truncated toward zero. Returns false when the reference height is 0.
bool WidthForHeight(int height, int baseWidth, int baseHeight, int& width);

}  // namespace output_size
