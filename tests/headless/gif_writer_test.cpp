// The animated GIF writer: exact bytes of a small animation, the fields that follow the colour count,
// transparency, refusals and short writes, and giflib's reading of what was written.
#include "window/my_gifhandler/my_gif_handler.h"

#include "tests/support/gif_decoder.h"

#include <wx/palette.h>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
struct Rgb {
    unsigned char red, green, blue;
};
const Rgb kRed{0xFF, 0, 0}, kBlue{0, 0, 0xFF};

// A palette image whose pixel i takes palette entry indices[i % indices.size()].
wxImage PaletteImage(int width, int height, const std::vector<Rgb>& palette, const std::vector<int>& indices) {
    std::vector<unsigned char> r, g, b;
    for (const Rgb& c : palette)
        r.push_back(c.red), g.push_back(c.green), b.push_back(c.blue);
    wxImage image(width, height);
    for (int i = 0; i < width * height; ++i) {
        const Rgb& c = palette[size_t(indices[size_t(i) % indices.size()])];
        image.SetRGB(i % width, i / width, c.red, c.green, c.blue);
    }
    image.SetPalette(wxPalette(int(palette.size()), r.data(), g.data(), b.data()));
    return image;
}

// n distinct colours, used in the order 0, step, 2 step... (mod n).
wxImage ManyColours(int width, int height, int n, int step = 1) {
    std::vector<Rgb> colours;
    std::vector<int> indices;
    for (int i = 0; i < n; ++i) {
        colours.push_back({static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i), static_cast<unsigned char>(i * 3)});
        indices.push_back(i * step % n);
    }
    return PaletteImage(width, height, colours, indices);
}

// Keeps the first `limit` bytes and refuses the rest, as a full disc does.
struct LimitedStream : wxOutputStream {
    explicit LimitedStream(size_t limit) : limit(limit) {}
    size_t OnSysWrite(const void* buffer, size_t size) override {
        const size_t accepted = std::min(size, limit - written.size());
        written.insert(written.end(), static_cast<const unsigned char*>(buffer), static_cast<const unsigned char*>(buffer) + accepted);
        m_lasterror = accepted < size ? wxSTREAM_WRITE_ERROR : wxSTREAM_NO_ERROR;
        return accepted;
    }
    size_t limit;
    Bytes written;
};

Bytes Save(const std::vector<wxImage>& images, int delayMilliseconds, bool* ok = nullptr, size_t limit = SIZE_MAX) {
    wxImageArray array;
    for (const wxImage& image : images)
        array.push_back(image);
    LimitedStream stream(limit);
    const bool saved = MyGifHandler().SaveAnimation(array, stream, delayMilliseconds);
    if (ok)
        *ok = saved;
    return stream.written;
}

}  // namespace

TEST(GifWriter, TwoFrameRedBlueAnimationByteForByte) {
    const Bytes gif = Save({PaletteImage(2, 1, {kRed, kBlue}, {0, 1}), PaletteImage(2, 1, {kRed, kBlue}, {1, 0})}, 100);
    // LZW with 8-bit codes: clear, the two indices, end, packed nine bits at a time from the low bit.
    const Bytes expected = {
        'G', 'I', 'F', '8', '9', 'a', 0x02, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,  // screen, 2-entry global table
        0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,                                       // red, blue
        0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01, 0x00, 0x00, 0x00,
        0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,                           // 10 hundredths, opaque
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00,               // no local table
        0x08, 0x05, 0x00, 0x01, 0x04, 0x08, 0x08, 0x00,
        0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00,
        0x2C, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x80,               // its own table
        0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,
        0x08, 0x05, 0x00, 0x03, 0x00, 0x08, 0x08, 0x00,
        0x3B};
    EXPECT_EQ(gif, expected);
}

// Each colour count at sizes with odd widths, single pixels and rows longer than one data sub-block, with
// delays that round down or need the high byte: the screen's packed byte and padded table follow the
// count, and giflib reads back every pixel, the delay and the endless loop.
TEST(GifWriter, ColourCountsSizesAndDelaysAsGiflibReadsThem) {
    const struct {
        int count, width, height, milliseconds, hundredths;
        unsigned char packed;
    } cases[] = {{1, 1, 1, 45, 4, 0x80},      {2, 3, 2, 9, 0, 0x80},     {3, 2, 3, 3000, 300, 0xA1},
                 {5, 257, 3, 655350, 65535, 0xC2}, {9, 640, 5, 250, 25, 0xE3}, {17, 16, 16, 0, 0, 0x84},
                 {33, 3, 2, 100, 10, 0xA5},   {65, 257, 3, 70, 7, 0xC6}, {128, 16, 16, 70, 7, 0xC6},
                 {129, 640, 5, 70, 7, 0xE7},  {256, 16, 16, 70, 7, 0xE7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        const wxImage frame = ManyColours(c.width, c.height, c.count, 7);
        const std::vector<wxImage> images = {frame, frame, PaletteImage(c.width, c.height, {kRed, kBlue, kRed, {9, 9, 9}}, {2, 3})};
        bool ok = false;
        const Bytes gif = Save(images, c.milliseconds, &ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(gif[10], c.packed);
        EXPECT_EQ(gif[13 + (size_t(3) << ((gif[10] & 7) + 1))], 0x21);  // the loop extension follows the table
        const gif_decoder::Animation decoded = gif_decoder::Decode(gif);
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(wxSize(decoded.screenWidth, decoded.screenHeight), wxSize(c.width, c.height));
        EXPECT_EQ(decoded.loopCount, 0);
        ASSERT_EQ(decoded.frames.size(), images.size());
        for (size_t f = 0; f < images.size(); ++f) {
            EXPECT_EQ(decoded.frames[f].delay, c.hundredths);
            EXPECT_TRUE(decoded.frames[f].screen == Bytes(images[f].GetData(), images[f].GetData() + c.width * c.height * 3)) << f;
        }
        // The lowest index of a repeated colour is the one written.
        for (size_t p = 0; p < decoded.frames.back().indices.size(); ++p)
            ASSERT_EQ(decoded.frames.back().indices[p], p % 2 ? 3 : 0) << p;
    }
}

// The mask colour's palette index, appended when missing and there is room; none when there is not.
TEST(GifWriter, MaskColourBecomesTheTransparentIndex) {
    const struct {
        int colours;
        Rgb mask;
        int transparent;
    } cases[] = {{8, {5, 250, 15}, 5}, {200, {1, 1, 1}, 200}, {256, {1, 1, 1}, -1}};
    for (const auto& c : cases) {
        wxImage image = ManyColours(16, 16, c.colours);
        image.SetMaskColour(c.mask.red, c.mask.green, c.mask.blue);
        const gif_decoder::Animation decoded = gif_decoder::Decode(Save({image}, 100));
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.frames[0].transparentIndex, c.transparent) << c.colours;
    }
}

TEST(GifWriter, RefusedAnimationsWriteNothingAndAFailedFrameKeepsTheEarlierOnes) {
    bool ok = false;
    EXPECT_EQ(Save({}, 100, &ok), Bytes{0x3B});
    EXPECT_TRUE(ok);
    const wxImage good = PaletteImage(20, 20, {kRed, kBlue}, {0, 1});
    for (const wxImage& other : {PaletteImage(20, 19, {kRed}, {0}), wxImage(20, 20)}) {
        EXPECT_TRUE(Save({good, other}, 100, &ok).empty());  // another size, or no palette
        EXPECT_FALSE(ok);
    }
    wxImage tooMany(20, 20);  // 400 colours behind a one-entry palette
    for (int i = 0; i < 400; ++i)
        tooMany.SetRGB(i % 20, i / 20, i % 256, i / 256, 7);
    const unsigned char grey[1] = {0};
    tooMany.SetPalette(wxPalette(1, grey, grey, grey));
    const Bytes alone = Save({good}, 100);
    EXPECT_EQ(Save({good, tooMany, good}, 100, &ok), Bytes(alone.begin(), alone.end() - 1));  // no trailer
    EXPECT_FALSE(ok);
}

TEST(GifWriter, ShortWritesFailAndKeepExactlyWhatWasWritten) {
    wxImage first = ManyColours(31, 7, 40);
    first.SetOption("GifComment", wxString('c', 300));  // longer than one sub-block
    const std::vector<wxImage> images = {first, PaletteImage(31, 7, {kRed, kBlue, {9, 9, 9}}, {2, 1, 0, 0})};
    const Bytes full = Save(images, 70);
    for (size_t limit = 0; limit < full.size(); ++limit) {
        bool ok = true;
        ASSERT_EQ(Save(images, 70, &ok, limit), Bytes(full.begin(), full.begin() + limit)) << limit;
        ASSERT_FALSE(ok) << limit;
    }
    EXPECT_EQ(gif_decoder::Decode(full).frames.size(), 2u);
}
