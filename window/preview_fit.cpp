#include "window/preview_fit.h"

#include <algorithm>

namespace preview_fit {

wxRect Place(const wxSize& panel, const wxSize& picture) {
    if (picture.x <= 0 || picture.y <= 0)
        return wxRect();
    const double sx = static_cast<double>(panel.x) / picture.x;
    const double sy = static_cast<double>(panel.y) / picture.y;
    wxSize size = picture;
    if (sx < 1 || sy < 1) {
        const double s = std::min(sx, sy);
        size = wxSize(static_cast<int>(s * picture.x), static_cast<int>(s * picture.y));
    }
    return wxRect(wxPoint((panel.x - size.x) / 2, (panel.y - size.y) / 2), size);
}

}  // namespace preview_fit
