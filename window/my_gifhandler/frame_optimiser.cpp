#include "window/my_gifhandler/frame_optimiser.h"

#include "window/my_gifhandler/lzw_encoder.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace gif_optimise {

namespace {

// A pixel whose every channel lies within this many levels of the colour it was last drawn from
// counts as unchanged and stays transparent: about the size of the dithering noise, chosen by
// measurement on a photograph pan (7 keeps the blurred PSNR within 3 dB of the exact level for a
// sixth fewer bytes; each step further costs about half a dB).
constexpr int kStillThreshold = 7;
// Error diffusion at this fraction (of 16), clamped, as the full-frame conversion dithers.
constexpr int kDitherSixteenths = 8;
constexpr int kMaxDitherError = 48;
// A kept palette may cost this much more squared error than a fresh one (in percent) before the
// fresh one is taken; below the floor per sample, any palette serves.
constexpr int kPaletteSlackPercent = 125;
constexpr long long kPaletteErrorFloor = 12;
// In a large changed rectangle, every this many changed pixels one is tried against the candidate
// palettes; in a small one, every pixel, so that no new colour goes unnoticed.
constexpr size_t kPaletteSampleStep = 7;
constexpr size_t kSmallRectangle = 16384;
// A kept palette is refused when one sampled pixel lands this far (squared) from its colour while the
// fresh palette does better: a colour the kept palette lacks.
constexpr int kWorstPixelError = 24 * 24;

int Distance2(int r1, int g1, int b1, int r2, int g2, int b2) {
    return (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2);
}

int Distance2(const unsigned char* a, const Colour& b) {
    return Distance2(a[0], a[1], a[2], b.red, b.green, b.blue);
}

int BitsFor(int entries) {
    int bits = 1;
    while (bits < 8 && (1 << bits) < entries)
        ++bits;
    return bits;
}

// The nearest palette entry of a colour: entries sorted by green, searched outward from the
// colour's green value until the green difference alone exceeds the best distance.
class NearestColour {
public:
    explicit NearestColour(const Palette& palette) : m_palette(palette) {
        m_order.resize(palette.size());
        for (size_t i = 0; i < palette.size(); ++i)
            m_order[i] = static_cast<uint8_t>(i);
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&](uint8_t a, uint8_t b) { return palette[a].green < palette[b].green; });
        m_tags.fill(0xFFFFFFFFu);
    }

    int Find(int red, int green, int blue) {
        const uint32_t packed = (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
        const size_t slot = (packed * 2654435761u) >> 20;
        if (m_tags[slot] == packed)
            return m_indices[slot];
        const auto start = std::lower_bound(m_order.begin(), m_order.end(), green,
                                            [&](uint8_t i, int g) { return m_palette[i].green < g; });
        int best = 0;
        int bestDistance = 1 << 30;
        for (auto it = start; it != m_order.end(); ++it) {
            const Colour& c = m_palette[*it];
            const int dg = c.green - green;
            if (dg * dg >= bestDistance)
                break;
            const int d = Distance2(red, green, blue, c.red, c.green, c.blue);
            if (d < bestDistance || (d == bestDistance && *it < best)) {
                best = *it;
                bestDistance = d;
            }
        }
        for (auto it = start; it != m_order.begin();) {
            --it;
            const Colour& c = m_palette[*it];
            const int dg = green - c.green;
            if (dg * dg > bestDistance)
                break;
            const int d = Distance2(red, green, blue, c.red, c.green, c.blue);
            if (d < bestDistance || (d == bestDistance && *it < best)) {
                best = *it;
                bestDistance = d;
            }
        }
        m_tags[slot] = packed;
        m_indices[slot] = static_cast<uint8_t>(best);
        return best;
    }

private:
    const Palette& m_palette;
    std::vector<uint8_t> m_order;
    std::array<uint32_t, 4096> m_tags;
    std::array<uint8_t, 4096> m_indices{};
};

// What each index would show at a pixel of the rectangle, against the pixel's true colour.
class ShownCost : public lzw::PixelCost {
public:
    ShownCost(const unsigned char* rgb, const unsigned char* shown, int canvasWidth, int left, int top,
              int width, const Palette& palette, int transparentIndex)
        : m_rgb(rgb), m_shown(shown), m_canvasWidth(canvasWidth), m_left(left), m_top(top), m_width(width),
          m_palette(palette), m_transparentIndex(transparentIndex) {}

    void Truth(size_t position, int rgb[3]) const override {
        const unsigned char* truth = m_rgb + Pixel(position) * 3;
        std::copy_n(truth, 3, rgb);
    }

    void Shown(size_t position, int index, int rgb[3]) const override {
        if (index == m_transparentIndex) {
            std::copy_n(m_shown + Pixel(position) * 3, 3, rgb);
            return;
        }
        const Colour& colour = m_palette[index];
        rgb[0] = colour.red;
        rgb[1] = colour.green;
        rgb[2] = colour.blue;
    }

private:
    size_t Pixel(size_t position) const {
        return (size_t(m_top) + position / m_width) * m_canvasWidth + m_left + position % m_width;
    }

    const unsigned char* m_rgb;
    const unsigned char* m_shown;
    const int m_canvasWidth, m_left, m_top, m_width;
    const Palette& m_palette;
    const int m_transparentIndex;
};

}  // namespace

FrameOptimiser::FrameOptimiser(int width, int height, Level level, int lossy)
    : m_width(width), m_height(height), m_lossy(level == kSmallest ? std::clamp(lossy, 0, kMaxLossy) : 0),
      m_shown(size_t(width) * height * 3), m_reference(size_t(width) * height * 3) {}

bool FrameOptimiser::Changed(size_t pixel, const unsigned char* rgb) const {
    const unsigned char* now = rgb + pixel * 3;
    const unsigned char* before = m_reference.data() + pixel * 3;
    return std::abs(now[0] - before[0]) > kStillThreshold || std::abs(now[1] - before[1]) > kStillThreshold ||
           std::abs(now[2] - before[2]) > kStillThreshold;
}

FrameOptimiser::Rect FrameOptimiser::ChangedRect(const unsigned char* rgb) const {
    int left = m_width, right = -1, top = m_height, bottom = -1;
    for (int y = 0; y < m_height; ++y) {
        const size_t row = size_t(y) * m_width;
        int x = 0;
        while (x < m_width && !Changed(row + x, rgb))
            ++x;
        if (x == m_width)
            continue;
        int last = m_width - 1;
        while (last > x && !Changed(row + last, rgb))
            --last;
        left = std::min(left, x);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    if (right < 0)
        return {0, 0, 0, 0};
    return {left, top, right - left + 1, bottom - top + 1};
}

const Palette& FrameOptimiser::ChoosePalette(const unsigned char* rgb, const Rect& rect,
                                             const Palette& fresh) const {
    const Palette* candidates[3] = {&m_global, &m_previous, &fresh};
    long long errors[3] = {0, 0, 0};
    int worst[3] = {0, 0, 0};
    long long samples = 0;
    size_t counter = 0;
    const size_t step = size_t(rect.width) * rect.height <= kSmallRectangle ? 1 : kPaletteSampleStep;
    NearestColour nearest[3] = {NearestColour(m_global), NearestColour(m_previous), NearestColour(fresh)};
    for (int y = rect.top; y < rect.top + rect.height; ++y) {
        for (int x = rect.left; x < rect.left + rect.width; ++x) {
            const size_t pixel = size_t(y) * m_width + x;
            if (!Changed(pixel, rgb) || counter++ % step != 0)
                continue;
            const unsigned char* c = rgb + pixel * 3;
            ++samples;
            for (int i = 0; i < 3; ++i) {
                const int error = Distance2(c, (*candidates[i])[nearest[i].Find(c[0], c[1], c[2])]);
                errors[i] += error;
                worst[i] = std::max(worst[i], error);
            }
        }
    }
    const long long allowed = std::max(errors[2] * kPaletteSlackPercent / 100, samples * kPaletteErrorFloor);
    for (int i = 0; i < 2; ++i) {
        if (errors[i] <= allowed && (worst[i] <= kWorstPixelError || worst[i] <= worst[2]))
            return *candidates[i];
    }
    return fresh;
}

std::vector<uint8_t> FrameOptimiser::Remap(const unsigned char* rgb, const Rect& rect, const Palette& palette,
                                           bool first) const {
    const int transparent = static_cast<int>(palette.size());
    std::vector<uint8_t> indices(size_t(rect.width) * rect.height);
    // Error in sixteenths, one row ahead, with a spare column on either side.
    std::vector<int> current(size_t(rect.width + 2) * 3), below(size_t(rect.width + 2) * 3);
    NearestColour nearest(palette);
    size_t out = 0;
    for (int y = rect.top; y < rect.top + rect.height; ++y) {
        std::fill(below.begin(), below.end(), 0);
        for (int x = 0; x < rect.width; ++x, ++out) {
            const size_t pixel = size_t(y) * m_width + rect.left + x;
            if (!first && !Changed(pixel, rgb)) {
                indices[out] = static_cast<uint8_t>(transparent);
                continue;
            }
            const unsigned char* source = rgb + pixel * 3;
            int wanted[3];
            for (int c = 0; c < 3; ++c)
                wanted[c] = std::clamp(source[c] + current[size_t(x + 1) * 3 + c] / 16, 0, 255);
            const int index = nearest.Find(wanted[0], wanted[1], wanted[2]);
            const Colour& chosen = palette[index];
            const unsigned char* shown = m_shown.data() + pixel * 3;
            const bool looksTheSame = !first && chosen == Colour{shown[0], shown[1], shown[2]};
            indices[out] = static_cast<uint8_t>(looksTheSame ? transparent : index);
            const int error[3] = {wanted[0] - chosen.red, wanted[1] - chosen.green, wanted[2] - chosen.blue};
            for (int c = 0; c < 3; ++c) {
                const int e = std::clamp(error[c], -kMaxDitherError, kMaxDitherError) * kDitherSixteenths / 16;
                current[size_t(x + 2) * 3 + c] += e * 7;
                below[size_t(x) * 3 + c] += e * 3;
                below[size_t(x + 1) * 3 + c] += e * 5;
                below[size_t(x + 2) * 3 + c] += e;
            }
        }
        std::swap(current, below);
    }
    return indices;
}

void FrameOptimiser::Show(const unsigned char* rgb, const Rect& rect, const std::vector<uint8_t>& indices,
                          const Palette& palette) {
    size_t in = 0;
    for (int y = rect.top; y < rect.top + rect.height; ++y) {
        for (int x = rect.left; x < rect.left + rect.width; ++x, ++in) {
            const size_t pixel = (size_t(y) * m_width + x) * 3;
            if (indices[in] >= palette.size()) {
                // A changed pixel left transparent looks close enough as it is: it counts as drawn,
                // or it would be sent again with every later frame.
                if (Changed(pixel / 3, rgb))
                    std::copy_n(rgb + pixel, 3, m_reference.data() + pixel);
                continue;
            }
            const Colour& colour = palette[indices[in]];
            m_shown[pixel] = colour.red;
            m_shown[pixel + 1] = colour.green;
            m_shown[pixel + 2] = colour.blue;
            std::copy_n(rgb + pixel, 3, m_reference.data() + pixel);
        }
    }
}

Frame FrameOptimiser::Next(const unsigned char* rgb, const Palette& fresh) {
    const bool first = !m_started;
    Frame frame;
    Rect rect{0, 0, m_width, m_height};
    if (first) {
        m_started = true;
        m_global = fresh;
        frame.palette = fresh;
        frame.usesGlobalPalette = true;
    } else {
        rect = ChangedRect(rgb);
        frame.palette = rect.width ? ChoosePalette(rgb, rect, fresh) : m_previous;
        frame.usesGlobalPalette = frame.palette == m_global;
        frame.transparentIndex = static_cast<int>(frame.palette.size());
    }
    std::vector<uint8_t> indices;
    if (rect.width == 0) {
        // Nothing changed: one transparent pixel keeps the frame and its delay.
        rect = {0, 0, 1, 1};
        indices.assign(1, static_cast<uint8_t>(frame.transparentIndex));
    } else {
        indices = Remap(rgb, rect, frame.palette, first);
    }
    frame.left = rect.left;
    frame.top = rect.top;
    frame.width = rect.width;
    frame.height = rect.height;
    frame.minCodeSize = std::max(2, BitsFor(static_cast<int>(frame.palette.size()) + 1));

    lzw::Lossy lossy;
    const ShownCost cost(rgb, m_shown.data(), m_width, rect.left, rect.top, rect.width, frame.palette,
                         frame.transparentIndex);
    if (m_lossy > 0) {
        lossy.cost = &cost;
        lossy.bound = m_lossy * m_lossy;
    }
    frame.lzwData = lzw::Encode(indices, frame.minCodeSize, lossy);
    Show(rgb, rect, indices, frame.palette);
    m_previous = frame.palette;
    return frame;
}

}  // namespace gif_optimise
