#pragma once
// The label under a frame's thumbnail: its number and the moment it starts in the animation.

#include <wx/string.h>

// "#%d  %.2fsec" with index + 1 and index × (delay ÷ 100) seconds, computed in single precision.
wxString FrameLabel(int index, int delay);
