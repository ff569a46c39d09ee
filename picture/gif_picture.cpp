#include "picture/gif_picture.h"

#include <gif_lib.h>

#include <memory>
#include <vector>

namespace gif_picture {

namespace {

int ReadFromStream(GifFileType* gif, GifByteType* buffer, int size) {
    auto* stream = static_cast<wxInputStream*>(gif->UserData);
    return static_cast<int>(stream->Read(buffer, static_cast<size_t>(size)).LastRead());
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

// Skips the extension's sub-blocks; keeps the transparent index of a graphic control block.
bool ReadExtension(GifFileType* gif, int& transparentIndex) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    while (block) {
        if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4) {
            GraphicsControlBlock control;
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                transparentIndex = control.TransparentColor;
            code = 0;  // only the first sub-block holds the control data
        }
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

// Rows in file order: straight, or the four interlace passes.
std::vector<int> RowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
        return rows;
    }
    static const int kStart[] = {0, 4, 2, 1};
    static const int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            rows.push_back(y);
    }
    return rows;
}

void Colour(const ColorMapObject* colours, int index, int transparentIndex, unsigned char* out) {
    if (index == transparentIndex) {
        out[0] = 255, out[1] = 0, out[2] = 255;
        return;
    }
    if (!colours) {
        // No colour table at all: a grey ramp rather than nothing.
        out[0] = out[1] = out[2] = static_cast<unsigned char>(index);
    } else if (index < colours->ColorCount) {
        const GifColorType& c = colours->Colors[index];
        out[0] = c.Red, out[1] = c.Green, out[2] = c.Blue;
    } else {
        out[0] = out[1] = out[2] = 0;  // an index outside the table
    }
    if (transparentIndex >= 0 && out[0] == 255 && out[1] == 0 && out[2] == 255)
        out[2] = 254;
}

Result DecodeImage(GifFileType* gif, int transparentIndex, const SizeCheck& sizeAllowed, wxImage& picture) {
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return Result::Damaged;
    const GifImageDesc& desc = gif->Image;
    if (desc.Width <= 0 || desc.Height <= 0)
        return Result::Damaged;
    if (!sizeAllowed(desc.Width, desc.Height))
        return Result::Refused;
    const ColorMapObject* colours = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    wxImage image(desc.Width, desc.Height, false);
    if (!image.IsOk())
        return Result::Damaged;
    std::vector<GifPixelType> line(size_t(desc.Width));
    for (int y : RowOrder(desc.Height, desc.Interlace)) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR)
            return Result::Damaged;
        unsigned char* out = image.GetData() + size_t(y) * desc.Width * 3;
        for (int x = 0; x < desc.Width; ++x, out += 3)
            Colour(colours, line[size_t(x)], transparentIndex, out);
    }
    if (transparentIndex >= 0)
        image.SetMaskColour(255, 0, 255);
    picture = image;
    return Result::Decoded;
}

}  // namespace

Result DecodeFirst(wxInputStream& stream, const SizeCheck& sizeAllowed, wxImage& picture) {
    int error = 0;
    const GifFile gif(DGifOpen(&stream, ReadFromStream, &error));
    if (!gif)
        return Result::Damaged;
    int transparentIndex = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
            return Result::Damaged;
        switch (record) {
            case IMAGE_DESC_RECORD_TYPE:
                return DecodeImage(gif.get(), transparentIndex, sizeAllowed, picture);
            case EXTENSION_RECORD_TYPE:
                if (!ReadExtension(gif.get(), transparentIndex))
                    return Result::Damaged;
                break;
            default:
                return Result::Damaged;  // the end, or anything unknown, before a picture
        }
    }
}

}  // namespace gif_picture
