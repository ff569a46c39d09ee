#include "window/my_gifhandler/palette_image.h"

#include <wx/palette.h>

#include <libimagequant.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// libimagequant's fastest setting: measured on 640x480 photographs and synthetic motion it
// reaches the quality of the usual GIF encoders at a fraction of the slower settings' time.
constexpr int kQuantiserSpeed = 10;
// Dithering spreads the error a little: it costs almost no time and lifts the blurred quality.
constexpr float kDitheringLevel = 1.0f;

constexpr int kMaxColours = 256;

uint32_t PackRgb(const unsigned char* p) {
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

// The distinct colours of a picture in order of first use, as long as there are at most 256.
class SmallColourSet {
public:
    // Returns false as soon as a 257th colour shows up.
    bool Collect(const unsigned char* rgb, size_t pixelCount) {
        m_slots.fill(kEmpty);
        uint32_t last = kEmpty;
        for (size_t i = 0; i < pixelCount; ++i, rgb += 3) {
            const uint32_t colour = PackRgb(rgb);
            if (colour == last)
                continue;
            last = colour;
            if (!Insert(colour))
                return false;
        }
        return true;
    }

    const std::vector<uint32_t>& Colours() const { return m_colours; }

private:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;  // no 24-bit colour has this value
    static constexpr size_t kSlotCount = 1024;       // a power of two, well above 256

    bool Insert(uint32_t colour) {
        size_t slot = (colour * 2654435761u) & (kSlotCount - 1);
        while (m_slots[slot] != kEmpty) {
            if (m_slots[slot] == colour)
                return true;
            slot = (slot + 1) & (kSlotCount - 1);
        }
        if (m_colours.size() == kMaxColours)
            return false;
        m_slots[slot] = colour;
        m_colours.push_back(colour);
        return true;
    }

    std::array<uint32_t, kSlotCount> m_slots;
    std::vector<uint32_t> m_colours;
};

wxImage WithPalette(wxImage image, const unsigned char* red, const unsigned char* green,
                    const unsigned char* blue, int count) {
    image.SetPalette(wxPalette(count, red, green, blue));
    return image;
}

wxImage KeepExactColours(const wxImage& source, const std::vector<uint32_t>& colours) {
    const int count = static_cast<int>(colours.size());
    std::array<unsigned char, kMaxColours> red{}, green{}, blue{};
    for (int i = 0; i < count; ++i) {
        red[i] = static_cast<unsigned char>(colours[i] >> 16);
        green[i] = static_cast<unsigned char>(colours[i] >> 8);
        blue[i] = static_cast<unsigned char>(colours[i]);
    }
    wxImage result(source.GetWidth(), source.GetHeight(), false);
    std::copy_n(source.GetData(), size_t(source.GetWidth()) * source.GetHeight() * 3, result.GetData());
    return WithPalette(result, red.data(), green.data(), blue.data(), count);
}

struct AttrDeleter { void operator()(liq_attr* p) const { liq_attr_destroy(p); } };
struct ImageDeleter { void operator()(liq_image* p) const { liq_image_destroy(p); } };
struct ResultDeleter { void operator()(liq_result* p) const { liq_result_destroy(p); } };

wxImage Quantise(const wxImage& source) {
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    const size_t pixelCount = size_t(width) * height;

    // libimagequant reads RGBA; every pixel is opaque here.
    std::vector<unsigned char> rgba(pixelCount * 4);
    const unsigned char* rgb = source.GetData();
    for (size_t i = 0; i < pixelCount; ++i) {
        rgba[i * 4 + 0] = rgb[i * 3 + 0];
        rgba[i * 4 + 1] = rgb[i * 3 + 1];
        rgba[i * 4 + 2] = rgb[i * 3 + 2];
        rgba[i * 4 + 3] = 255;
    }

    std::unique_ptr<liq_attr, AttrDeleter> attr(liq_attr_create());
    if (!attr || liq_set_speed(attr.get(), kQuantiserSpeed) != LIQ_OK ||
        liq_set_max_colors(attr.get(), kMaxColours) != LIQ_OK)
        return wxImage();
    std::unique_ptr<liq_image, ImageDeleter> input(
        liq_image_create_rgba(attr.get(), rgba.data(), width, height, 0));
    if (!input)
        return wxImage();
    liq_result* rawResult = nullptr;
    if (liq_image_quantize(input.get(), attr.get(), &rawResult) != LIQ_OK)
        return wxImage();
    std::unique_ptr<liq_result, ResultDeleter> result(rawResult);
    liq_set_dithering_level(result.get(), kDitheringLevel);

    std::vector<unsigned char> indices(pixelCount);
    if (liq_write_remapped_image(result.get(), input.get(), indices.data(), indices.size()) != LIQ_OK)
        return wxImage();
    const liq_palette* palette = liq_get_palette(result.get());
    const int count = static_cast<int>(palette->count);

    std::array<unsigned char, kMaxColours> red{}, green{}, blue{};
    for (int i = 0; i < count; ++i) {
        red[i] = palette->entries[i].r;
        green[i] = palette->entries[i].g;
        blue[i] = palette->entries[i].b;
    }
    wxImage image(width, height, false);
    unsigned char* out = image.GetData();
    for (size_t i = 0; i < pixelCount; ++i, out += 3) {
        const unsigned char index = indices[i];
        out[0] = red[index];
        out[1] = green[index];
        out[2] = blue[index];
    }
    return WithPalette(image, red.data(), green.data(), blue.data(), count);
}

}  // namespace

wxImage ConvertToPaletteImage(wxImage image) {
    if (!image.IsOk() || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return wxImage();
    SmallColourSet colours;
    if (colours.Collect(image.GetData(), size_t(image.GetWidth()) * image.GetHeight()))
        return KeepExactColours(image, colours.Colours());
    return Quantise(image);
}
