#include "window/my_gifhandler/frame_composition.h"

#include <algorithm>

namespace {

// Copies the picture onto the canvas at (left, top); the picture lies wholly inside the canvas.
void DrawOverBlack(wxImage& canvas, const wxImage& picture, int left, int top) {
    const int width = picture.GetWidth();
    const int height = picture.GetHeight();
    const int canvasWidth = canvas.GetWidth();
    const unsigned char* alpha = picture.HasAlpha() ? picture.GetAlpha() : nullptr;
    const bool masked = picture.HasMask();
    const unsigned char maskRed = picture.GetMaskRed();
    const unsigned char maskGreen = picture.GetMaskGreen();
    const unsigned char maskBlue = picture.GetMaskBlue();
    const unsigned char* in = picture.GetData();
    for (int y = 0; y < height; ++y) {
        unsigned char* out = canvas.GetData() + (size_t(top + y) * canvasWidth + left) * 3;
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            if (masked && in[0] == maskRed && in[1] == maskGreen && in[2] == maskBlue)
                continue;  // the canvas is black already
            if (!alpha) {
                std::copy_n(in, 3, out);
                continue;
            }
            const unsigned a = alpha[size_t(y) * width + x];
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<unsigned char>((in[c] * a + 127) / 255);
        }
    }
}

}  // namespace

wxImage ComposeExportFrame(const wxImage& picture, int width, int height) {
    if (width <= 0 || height <= 0)
        return wxImage();
    wxImage canvas(width, height, true);  // cleared to black
    if (!canvas.IsOk())
        return canvas;  // no memory for it
    if (!picture.IsOk())
        return canvas;  // 0 by 0: infinite ratios, the fitting path with nothing to draw

    const int pictureWidth = picture.GetWidth();
    const int pictureHeight = picture.GetHeight();
    const double widthRatio = double(width) / pictureWidth;
    const double heightRatio = double(height) / pictureHeight;
    wxImage placed = picture;
    if (widthRatio < 1 || heightRatio < 1) {
        const double scale = std::min(widthRatio, heightRatio);
        // A very thin picture would truncate to no pixels at all; the toolkit cannot make an
        // empty image, so it keeps one pixel in that direction.
        const int newWidth = std::max(1, static_cast<int>(pictureWidth * scale));
        const int newHeight = std::max(1, static_cast<int>(pictureHeight * scale));
        placed = picture.Scale(newWidth, newHeight, wxIMAGE_QUALITY_NORMAL);
        if (!placed.IsOk())
            return wxImage();  // no memory for the shrunk copy
    }
    DrawOverBlack(canvas, placed, (width - placed.GetWidth()) / 2, (height - placed.GetHeight()) / 2);
    return canvas;
}
