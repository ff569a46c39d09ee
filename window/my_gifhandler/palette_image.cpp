#include "window/my_gifhandler/palette_image.h"

#include "window/my_gifhandler/colour_table.h"
#include "window/my_gifhandler/export_memory.h"

#include <wx/palette.h>

#include <libimagequant.h>
#include <omp.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace {

// Chosen by measurement on 640x480 photographs and synthetic motion (about 100 ms and 35 ms a frame):
// speed 7 is the fastest setting that does not posterize its input, which the flat colours of
// synthetic clips need (speed 8 loses 1 dB plain and 7 dB blurred PSNR there); slower settings
// gain under 1 dB for twice the time. Half-strength dithering keeps the plain PSNR above the usual
// GIF encoders' while keeping most of what full dithering gains after a blur.
constexpr int kQuantiserSpeed = 7;
constexpr float kDitheringLevel = 0.5f;

constexpr int kMaxColours = ColourTable::kCapacity;

constexpr size_t kQuantiserBytesPerPixel = 24;
constexpr size_t kQuantiserFixedBytes = size_t(32) << 20;

// The distinct colours of a picture in order of first use, or false when there are more than 256.
bool CollectColours(const unsigned char* rgb, size_t pixelCount, std::vector<uint32_t>& colours) {
    ColourTable table;
    uint32_t last = 0xFFFFFFFFu;
    for (size_t i = 0; i < pixelCount; ++i, rgb += 3) {
        const uint32_t colour = ColourTable::Pack(rgb[0], rgb[1], rgb[2]);
        if (colour == last)
            continue;
        last = colour;
        const int before = table.Count();
        if (!table.Insert(colour, before))
            return false;
        if (table.Count() != before)
            colours.push_back(colour);
    }
    return true;
}

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
    if (!result.IsOk())
        return result;  // no memory for it
    std::copy_n(source.GetData(), size_t(source.GetWidth()) * source.GetHeight() * 3, result.GetData());
    return WithPalette(result, red.data(), green.data(), blue.data(), count);
}

struct AttrDeleter { void operator()(liq_attr* p) const { liq_attr_destroy(p); } };
struct ImageDeleter { void operator()(liq_image* p) const { liq_image_destroy(p); } };
struct ResultDeleter { void operator()(liq_result* p) const { liq_result_destroy(p); } };

struct RgbRows {
    const unsigned char* data;
    int width;
};

// Hands libimagequant one opaque RGBA row at a time, so no RGBA copy of the picture is made.
void ReadOpaqueRow(liq_color rowOut[], int row, int width, void* userInfo) {
    const auto* rows = static_cast<const RgbRows*>(userInfo);
    const unsigned char* rgb = rows->data + size_t(row) * rows->width * 3;
    for (int x = 0; x < width; ++x, rgb += 3)
        rowOut[x] = {rgb[0], rgb[1], rgb[2], 255};
}

struct Quantised {
    std::unique_ptr<liq_attr, AttrDeleter> attr;
    std::unique_ptr<RgbRows> rows;
    std::unique_ptr<liq_image, ImageDeleter> input;
    std::unique_ptr<liq_result, ResultDeleter> result;
};

// The quantiser's palette choice for the picture; no result on failure.
Quantised QuantiseColours(const wxImage& source, int maxColours) {
    // The library parallelises with OpenMP; the export runs one conversion per core already, and
    // the library's choices (its dither map) depend on the thread count, so keep it to the calling
    // thread: the same picture then gives the same bytes on any thread. This must precede
    // liq_set_speed, which reads the count.
    omp_set_num_threads(1);
    // The quantiser does not check all of its allocations (it crashes in its histogram instead), so
    // it is only started with room for its float copy of the picture, its histogram and remapping.
    if (export_memory::AvailableBytes() <
        size_t(source.GetWidth()) * source.GetHeight() * kQuantiserBytesPerPixel + kQuantiserFixedBytes)
        return {};
    Quantised quantised;
    quantised.attr.reset(liq_attr_create());
    if (!quantised.attr || liq_set_speed(quantised.attr.get(), kQuantiserSpeed) != LIQ_OK ||
        liq_set_max_colors(quantised.attr.get(), maxColours) != LIQ_OK)
        return {};
    quantised.rows = std::make_unique<RgbRows>(RgbRows{source.GetData(), source.GetWidth()});
    quantised.input.reset(liq_image_create_custom(quantised.attr.get(), ReadOpaqueRow, quantised.rows.get(),
                                                  source.GetWidth(), source.GetHeight(), 0));
    if (!quantised.input)
        return {};
    liq_result* rawResult = nullptr;
    if (liq_image_quantize(quantised.input.get(), quantised.attr.get(), &rawResult) != LIQ_OK)
        return {};
    quantised.result.reset(rawResult);
    return quantised;
}

wxImage Quantise(const wxImage& source) {
    const int width = source.GetWidth();
    const int height = source.GetHeight();
    const size_t pixelCount = size_t(width) * height;
    Quantised quantised = QuantiseColours(source, kMaxColours);
    if (!quantised.result)
        return wxImage();
    liq_set_dithering_level(quantised.result.get(), kDitheringLevel);

    std::vector<unsigned char> indices;
    try {
        indices.resize(pixelCount);
    } catch (const std::bad_alloc&) {
        return wxImage();
    }
    if (liq_write_remapped_image(quantised.result.get(), quantised.input.get(), indices.data(), indices.size()) !=
        LIQ_OK)
        return wxImage();
    const liq_palette* palette = liq_get_palette(quantised.result.get());
    const int count = static_cast<int>(palette->count);

    std::array<unsigned char, kMaxColours> red{}, green{}, blue{};
    for (int i = 0; i < count; ++i) {
        red[i] = palette->entries[i].r;
        green[i] = palette->entries[i].g;
        blue[i] = palette->entries[i].b;
    }
    wxImage image(width, height, false);
    if (!image.IsOk())
        return image;  // no memory for it
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
    std::vector<uint32_t> colours;
    if (CollectColours(image.GetData(), size_t(image.GetWidth()) * image.GetHeight(), colours))
        return KeepExactColours(image, colours);
    return Quantise(image);
}

gif_optimise::Palette ChooseImagePalette(const wxImage& image, int maxColours) {
    if (!image.IsOk() || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return {};
    gif_optimise::Palette palette;
    std::vector<uint32_t> colours;
    if (CollectColours(image.GetData(), size_t(image.GetWidth()) * image.GetHeight(), colours) &&
        int(colours.size()) <= maxColours) {
        for (const uint32_t colour : colours)
            palette.push_back({static_cast<unsigned char>(colour >> 16), static_cast<unsigned char>(colour >> 8),
                               static_cast<unsigned char>(colour)});
        return palette;
    }
    const Quantised quantised = QuantiseColours(image, maxColours);
    if (!quantised.result)
        return {};
    const liq_palette* chosen = liq_get_palette(quantised.result.get());
    for (unsigned i = 0; i < chosen->count; ++i)
        palette.push_back({chosen->entries[i].r, chosen->entries[i].g, chosen->entries[i].b});
    return palette;
}
