#pragma once
// Decodes a GIF with giflib, independently of the toolkit, and shows each frame over the screen the
// earlier ones left, as a viewer does.

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace gif_decoder {

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    int delay = -1, transparentIndex = -1, disposal = 0;  // from the graphic control extension; delay in hundredths
    std::vector<int> indices;           // the raw index of every pixel of the frame, rows top to bottom
    std::vector<unsigned char> screen;  // RGB of the whole screen once this frame is shown
};

struct Animation {
    bool ok = false;
    std::string error;
    int screenWidth = 0, screenHeight = 0;
    int loopCount = -1;  // from the NETSCAPE2.0 extension; -1 when absent
    std::vector<Frame> frames;
};

inline Animation Decode(const std::vector<unsigned char>& bytes) {
    std::pair<const std::vector<unsigned char>*, size_t> reader{&bytes, 0};
    const auto read = [](GifFileType* gif, GifByteType* out, int n) {
        auto* r = static_cast<decltype(reader)*>(gif->UserData);
        const size_t count = std::min<size_t>(size_t(n), r->first->size() - r->second);
        std::memcpy(out, r->first->data() + r->second, count);
        r->second += count;
        return int(count);
    };
    Animation result;
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, read, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        result.error = GifErrorString(gif ? gif->Error : error);
        DGifCloseFile(gif, &error);
        return result;
    }
    result.screenWidth = gif->SWidth, result.screenHeight = gif->SHeight;
    std::vector<unsigned char> screen(size_t(gif->SWidth) * gif->SHeight * 3, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock &block = image.ExtensionBlocks[e], &next = image.ExtensionBlocks[e + 1];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && next.ByteCount == 3 && next.Bytes[0] == 1)
                result.loopCount = next.Bytes[1] | (next.Bytes[2] << 8);
        }
        const GifImageDesc& d = image.ImageDesc;
        Frame frame;
        frame.left = d.Left, frame.top = d.Top, frame.width = d.Width, frame.height = d.Height;
        GraphicsControlBlock control{};
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK)
            frame.delay = control.DelayTime, frame.transparentIndex = control.TransparentColor, frame.disposal = control.DisposalMode;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        for (int p = 0; p < d.Width * d.Height; ++p) {
            const int index = image.RasterBits[p], x = d.Left + p % d.Width, y = d.Top + p / d.Width;
            const GifColorType colour = index < map->ColorCount ? map->Colors[index] : GifColorType{1, 2, 3};
            frame.indices.push_back(index);
            if (index != frame.transparentIndex && x < gif->SWidth && y < gif->SHeight)
                std::memcpy(&screen[(size_t(y) * gif->SWidth + x) * 3], &colour, 3);
        }
        frame.screen = screen;
        result.frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &error);
    result.ok = true;
    return result;
}

// How close `shown` is to `source` (bytes of the same length), in dB; 100 when equal.
inline double Psnr(const std::vector<unsigned char>& shown, const unsigned char* source) {
    double squares = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        squares += std::pow(double(shown[i]) - source[i], 2);
    return squares == 0 ? 100.0 : 10 * std::log10(255.0 * 255.0 * shown.size() / squares);
}

}  // namespace gif_decoder
