#pragma once
// Turns a sequence of composed canvases into GIF frames that store only what changed: the first
// frame whole, every later one as the rectangle around its changed pixels, with the pixels that
// still look as shown made transparent. Palettes are kept from frame to frame while they serve, so
// still areas stay still; level 2 adds lossy LZW compression.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gif_optimise {

struct Colour {
    unsigned char red, green, blue;
    bool operator==(const Colour& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

// At most 255 colours: one index is kept free for transparency.
using Palette = std::vector<Colour>;
constexpr int kMaxPaletteColours = 255;

enum Level { kExact = 0, kSmaller = 1, kSmallest = 2 };
// The strength of level 2 unless one is chosen: the largest RGB distance of a substituted pixel
// from its colour. 9 measured about 0.6 of the exact level's bytes on a photograph pan.
constexpr int kDefaultLossy = 9;
constexpr int kMaxLossy = 100;

// One frame ready to write.
struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    Palette palette;
    bool usesGlobalPalette = false;  // the palette is the file's global one: no local table
    int transparentIndex = -1;       // -1 on the first frame, else palette.size()
    int minCodeSize = 2;
    std::vector<uint8_t> lzwData;    // the code stream, without sub-block framing
};

class FrameOptimiser {
public:
    // `lossy` (0..kMaxLossy) matters only at kSmallest.
    FrameOptimiser(int width, int height, Level level, int lossy);

    // `rgb` is a canvas of the size given above; `fresh` a palette chosen for it (1..255 colours).
    Frame Next(const unsigned char* rgb, const Palette& fresh);

    // The palette of the first frame, which the file header carries. Valid after the first Next.
    const Palette& GlobalPalette() const { return m_global; }

private:
    struct Rect {
        int left, top, width, height;
    };

    Rect ChangedRect(const unsigned char* rgb) const;
    const Palette& ChoosePalette(const unsigned char* rgb, const Rect& rect, const Palette& fresh) const;
    std::vector<uint8_t> Remap(const unsigned char* rgb, const Rect& rect, const Palette& palette,
                               bool first) const;
    void Show(const unsigned char* rgb, const Rect& rect, const std::vector<uint8_t>& indices,
              const Palette& palette);

    bool Changed(size_t pixel, const unsigned char* rgb) const;

    const int m_width;
    const int m_height;
    const int m_lossy;
    bool m_started = false;
    Palette m_global;
    Palette m_previous;
    std::vector<unsigned char> m_shown;      // what a decoder shows now
    std::vector<unsigned char> m_reference;  // the true colour each shown pixel was made from
};

}  // namespace gif_optimise
