#pragma once
// Small picture files made in memory for the intake tests: each format from the same ramp, and GIFs
// written with giflib so that transparency, interlacing and the LZW code size are under control.

#include "tests/support/files.h"

#include <gif_lib.h>
#include <wx/mstream.h>

#include <vector>

namespace picture_bytes {

using Bytes = std::vector<unsigned char>;

inline Bytes Encode(const wxImage& image, wxBitmapType type) {
    wxMemoryOutputStream out;
    Bytes bytes(image.SaveFile(out, type) ? out.GetSize() : 0);
    out.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

struct GifRecipe {
    int width = 4, height = 3, transparentIndex = -1;
    bool interlaced = false;
};

// Pixel (x, y) has palette index (x + y) % 4, so rows differ up to four apart; palette: black, red, green, magenta.
inline Bytes Gif(const GifRecipe& recipe) {
    Bytes bytes;
    const auto write = [](GifFileType* gif, const GifByteType* data, int size) {
        static_cast<Bytes*>(gif->UserData)->insert(static_cast<Bytes*>(gif->UserData)->end(), data, data + size);
        return size;
    };
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, write, &error);
    GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, recipe.width, recipe.height, 2, 0, map);
    if (recipe.transparentIndex >= 0) {
        GraphicsControlBlock control{0, false, 0, recipe.transparentIndex};
        GifByteType extension[4];
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(EGifGCBToExtension(&control, extension)), extension);
    }
    EGifPutImageDesc(gif, 0, 0, recipe.width, recipe.height, recipe.interlaced, nullptr);
    // Rows in file order: the four interlace passes, or one pass of every row.
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    std::vector<GifPixelType> line(size_t(recipe.width));
    for (int pass = recipe.interlaced ? 0 : 3; pass < 4; ++pass)
        for (int y = recipe.interlaced ? start[pass] : 0; y < recipe.height; y += recipe.interlaced ? step[pass] : 1) {
            for (int x = 0; x < recipe.width; ++x)
                line[size_t(x)] = GifPixelType((x + y) % 4);
            EGifPutLine(gif, line.data(), recipe.width);
        }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return bytes;
}

// A 1x1 GIF whose image data starts with the given LZW minimum code size.
inline Bytes GifWithCodeSize(unsigned char codeSize) {
    return {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
            0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, codeSize, 2, 0x44, 0x01, 0, 0x3B};
}

// Writes the bytes to a file of that name in the test's scratch folder; returns its path.
inline wxString WriteScratch(const wxString& name, const Bytes& bytes) {
    test_files::Write(test_files::Scratch(name), std::string(bytes.begin(), bytes.end()));
    return test_files::Scratch(name);
}

}  // namespace picture_bytes
