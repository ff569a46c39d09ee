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
using gif_decoder::Rgb;

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
        colours.push_back({static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i),
                           static_cast<unsigned char>(i * 3)});
        indices.push_back(i * step % n);
    }
    return PaletteImage(width, height, colours, indices);
}

// Keeps the first `limit` bytes and refuses the rest, as a full disc does.
class LimitedStream : public wxOutputStream {
public:
    explicit LimitedStream(size_t limit) : m_limit(limit) {}
    Bytes written;

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override {
        const size_t accepted = std::min(size, m_limit - written.size());
        written.insert(written.end(), static_cast<const unsigned char*>(buffer),
                       static_cast<const unsigned char*>(buffer) + accepted);
        if (accepted < size)
            m_lasterror = wxSTREAM_WRITE_ERROR;
        return accepted;
    }

private:
    size_t m_limit;
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

TEST(GifWriter, TableSizesAndPackedBytesFollowTheColourCount) {
    const struct {
        int count, bits;
        unsigned char header, later;
    } cases[] = {{1, 1, 0x80, 0x80},  {2, 1, 0x80, 0x80},  {3, 2, 0xA1, 0xA1},   {5, 3, 0xC2, 0x82},
                 {9, 4, 0xE3, 0xA3},  {17, 5, 0x84, 0x84}, {33, 6, 0xA5, 0xA5},  {65, 7, 0xC6, 0x86},
                 {128, 7, 0xC6, 0x86}, {129, 8, 0xE7, 0xA7}, {256, 8, 0xE7, 0xA7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        const wxImage frame = ManyColours(16, 16, c.count);
        bool ok = false;
        const Bytes gif = Save({frame, frame}, 0, &ok);
        ASSERT_TRUE(ok);
        const size_t table = size_t(3) << c.bits;
        EXPECT_EQ(gif[10], c.header);
        EXPECT_EQ(gif[13 + table], 0x21);  // the loop extension follows the padded table
        // After the first frame's data come the second frame's control extension and descriptor.
        size_t at = 13 + table + 19 + 8 + 10 + 1;
        while (gif[at] != 0)
            at += gif[at] + 1;
        ASSERT_LT(at + 18, gif.size());
        EXPECT_EQ(gif[at + 1 + 8 + 9], c.later);
        const gif_decoder::Animation decoded = gif_decoder::Decode(gif);
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.frames.at(1).pixels, decoded.frames.at(0).pixels);
    }
}

TEST(GifWriter, DelaysAreWholeHundredthsInLittleEndianOrder) {
    const std::pair<int, Bytes> cases[] = {{45, {4, 0}}, {9, {0, 0}}, {3000, {0x2C, 0x01}}, {655350, {0xFF, 0xFF}}};
    for (const auto& [milliseconds, delay] : cases) {
        const Bytes gif = Save({PaletteImage(1, 1, {kRed}, {0})}, milliseconds);
        // Header 13, a two-entry table 6, loop extension 19, then the control extension.
        EXPECT_EQ(Bytes(gif.begin() + 42, gif.begin() + 44), delay) << milliseconds;
    }
}

TEST(GifWriter, MaskColourBecomesTheTransparentIndex) {
    const struct {
        int colours;
        Rgb mask;
        int count, transparent;  // -1: no room for the mask colour, so no transparency
    } cases[] = {{8, {5, 250, 15}, 8, 5}, {200, {1, 1, 1}, 201, 200}, {256, {1, 1, 1}, 256, -1}};
    for (const auto& c : cases) {
        wxImage image = ManyColours(16, 16, c.colours);
        image.SetMaskColour(c.mask.red, c.mask.green, c.mask.blue);
        MyGifHandler::PaletteBuffer palette;
        int count = 0, transparent = 0;
        ASSERT_TRUE(MyGifHandler::GetFramePalette(image, palette, count, transparent));
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(transparent, c.transparent);
        const gif_decoder::Animation decoded = gif_decoder::Decode(Save({image}, 100));
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.frames[0].transparentIndex, c.transparent);
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
    wxImage tooMany(20, 20);
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
    const gif_decoder::Animation decoded = gif_decoder::Decode(full);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.frames.size(), 2u);
}

TEST(GifWriter, GiflibReadsEveryPixelBackAsItsPaletteColour) {
    // Odd and even widths, single pixels, rows longer than one data sub-block, repeated palette colours.
    for (const wxSize size : {wxSize(1, 1), wxSize(3, 2), wxSize(2, 3), wxSize(257, 3), wxSize(640, 5)}) {
        SCOPED_TRACE(testing::Message() << size.x << "x" << size.y);
        std::vector<wxImage> images;
        for (int colours : {256, 53, 3})
            images.push_back(ManyColours(size.x, size.y, colours, 7));
        images.push_back(PaletteImage(size.x, size.y, {kRed, kBlue, kRed, {9, 9, 9}}, {2, 3}));
        bool ok = false;
        const gif_decoder::Animation decoded = gif_decoder::Decode(Save(images, 250, &ok));
        ASSERT_TRUE(ok && decoded.ok) << decoded.error;
        EXPECT_EQ(wxSize(decoded.screenWidth, decoded.screenHeight), size);
        EXPECT_EQ(decoded.loopCount, 0);
        ASSERT_EQ(decoded.frames.size(), images.size());
        for (size_t f = 0; f < images.size(); ++f) {
            EXPECT_EQ(decoded.frames[f].delay, 25);
            const unsigned char* rgb = images[f].GetData();
            for (size_t p = 0; p < decoded.frames[f].pixels.size(); ++p, rgb += 3)
                ASSERT_EQ(decoded.frames[f].pixels[p], (Rgb{rgb[0], rgb[1], rgb[2]})) << f << " " << p;
        }
        // The lowest index of a repeated colour is the one written.
        for (size_t p = 0; p < decoded.frames.back().indices.size(); ++p)
            ASSERT_EQ(decoded.frames.back().indices[p], p % 2 ? 3 : 0) << p;
    }
}
