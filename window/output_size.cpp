#include "window/output_size.h"

#include <cstdint>

namespace output_size {

wxSize FindBestSize(const std::vector<wxSize>& pictureSizes) {
    wxSize best(0, 0);
    for (const wxSize& size : pictureSizes) {
        if (best.x < size.x || best.y < size.y)
            best = size;
    }
    return best;
}

namespace {
// The product wraps like the 32-bit arithmetic it mirrors instead of being undefined.
int32_t WrappingProduct(int a, int b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
}  // namespace

bool HeightForWidth(int width, int baseWidth, int baseHeight, int& height) {
    if (baseWidth == 0)
        return false;
    const int32_t product = WrappingProduct(width, baseHeight);
    if (product == INT32_MIN && baseWidth == -1)
        return false;
    height = product / baseWidth;
    return true;
}

bool WidthForHeight(int height, int baseWidth, int baseHeight, int& width) {
    if (baseHeight == 0)
        return false;
    width = static_cast<int>(static_cast<double>(WrappingProduct(height, baseWidth)) / baseHeight);
    return true;
}

}  // namespace output_size
