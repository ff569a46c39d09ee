#pragma once
// Decodes a GIF with giflib, independently of the toolkit, for the writer's and the export's tests.

#include <gif_lib.h>

#include <cstring>
#include <string>
#include <vector>

namespace gif_decoder {

struct Rgb {
    unsigned char red, green, blue;
    bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

struct Frame {
    int width = 0;
    int height = 0;
    int delay = -1;             // hundredths of a second, from the graphic control extension
    int transparentIndex = -1;  // -1: none
    bool localTable = false;
    std::vector<Rgb> pixels;    // the palette colour of every pixel, rows top to bottom
    std::vector<int> indices;   // the raw index of every pixel
};

struct Animation {
    bool ok = false;
    std::string error;
    int screenWidth = 0;
    int screenHeight = 0;
    int loopCount = -1;  // from the NETSCAPE2.0 extension; -1 when absent
    std::vector<Frame> frames;
};

inline Animation Decode(const std::vector<unsigned char>& bytes) {
    struct Reader {
        const std::vector<unsigned char>* bytes;
        size_t position;
    } reader{&bytes, 0};
    auto read = [](GifFileType* gif, GifByteType* out, int n) -> int {
        auto* r = static_cast<Reader*>(gif->UserData);
        const size_t count = std::min<size_t>(n, r->bytes->size() - r->position);
        std::memcpy(out, r->bytes->data() + r->position, count);
        r->position += count;
        return static_cast<int>(count);
    };
    Animation result;
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, read, &error);
    if (!gif) {
        result.error = GifErrorString(error);
        return result;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        result.error = GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        return result;
    }
    result.screenWidth = gif->SWidth;
    result.screenHeight = gif->SHeight;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            const ExtensionBlock& next = image.ExtensionBlocks[e + 1];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && next.ByteCount == 3 && next.Bytes[0] == 1)
                result.loopCount = next.Bytes[1] | (next.Bytes[2] << 8);
        }
        Frame frame;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.delay = control.DelayTime;
            frame.transparentIndex = control.TransparentColor;
        }
        frame.localTable = image.ImageDesc.ColorMap != nullptr;
        const ColorMapObject* map = frame.localTable ? image.ImageDesc.ColorMap : gif->SColorMap;
        for (int p = 0; p < frame.width * frame.height; ++p) {
            const int index = image.RasterBits[p];
            frame.indices.push_back(index);
            const GifColorType colour = index < map->ColorCount ? map->Colors[index] : GifColorType{1, 2, 3};
            frame.pixels.push_back({colour.Red, colour.Green, colour.Blue});
        }
        result.frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &error);
    result.ok = true;
    return result;
}

}  // namespace gif_decoder
