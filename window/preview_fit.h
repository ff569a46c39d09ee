#pragma once
// Where a frame goes in the preview panel: centred, shrunk to fit with its proportions, never enlarged.

#include <wx/gdicmn.h>

namespace preview_fit {

// The rectangle the picture occupies in a panel of `panel` size. A picture that fits keeps its size;
// otherwise it is scaled by the smaller of the two ratios, each side truncated. Positions are
// (panel - picture) / 2 on integers. An empty picture gives an empty rectangle.
wxRect Place(const wxSize& panel, const wxSize& picture);

}  // namespace preview_fit
