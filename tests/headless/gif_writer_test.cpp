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

const Rgb kRed{0xFF, 0, 0};
const Rgb kBlue{0, 0, 0xFF};

// A palette image whose pixel i takes palette entry indices[i % indices.size()].
wxImage PaletteImage(int width, int height, const std::vector<Rgb>& palette, const std::vector<int>& indices) {
    std::vector<unsigned char> r, g, b;
    for (const Rgb& c : palette) {
        r.push_back(c.red);
        g.push_back(c.green);
        b.push_back(c.blue);
    }
    wxImage image(width, height);
    for (int i = 0; i < width * height; ++i) {
        const Rgb& c = palette[indices[i % indices.size()]];
        image.SetRGB(i % width, i / width, c.red, c.green, c.blue);
    }
    image.SetPalette(wxPalette(int(palette.size()), r.data(), g.data(), b.data()));
    return image;
}

std::vector<Rgb> Colours(int n) {
    std::vector<Rgb> colours;
    for (int i = 0; i < n; ++i)
        colours.push_back({static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i),
                           static_cast<unsigned char>(i * 3)});
    return colours;
}

std::vector<int> Sequence(int n, int step = 1) {
    std::vector<int> indices;
    for (int i = 0; i < n; ++i)
        indices.push_back(i * step % n);
    return indices;
}

// Keeps the first `limit` bytes and refuses the rest, as a full disc does.
class LimitedStream : public wxOutputStream {
public:
    explicit LimitedStream(size_t limit) : m_limit(limit) {}
    const Bytes& Written() const { return m_written; }

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override {
        const size_t accepted = std::min(size, m_limit - m_written.size());
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        m_written.insert(m_written.end(), bytes, bytes + accepted);
        if (accepted < size)
            m_lasterror = wxSTREAM_WRITE_ERROR;
        return accepted;
    }

private:
    size_t m_limit;
    Bytes m_written;
};

Bytes Save(const wxImageArray& images, int delayMilliseconds, bool* ok = nullptr, size_t limit = SIZE_MAX) {
    LimitedStream stream(limit);
    MyGifHandler handler;
    const bool saved = handler.SaveAnimation(images, stream, delayMilliseconds);
    if (ok)
        *ok = saved;
    return stream.Written();
}

wxImageArray Frames(std::initializer_list<wxImage> images) {
    wxImageArray array;
    for (const wxImage& image : images)
        array.push_back(image);
    return array;
}

}  // namespace

TEST(GifWriter, TwoFrameRedBlueAnimationByteForByte) {
    const Bytes gif = Save(Frames({PaletteImage(2, 1, {kRed, kBlue}, {0, 1}), PaletteImage(2, 1, {kRed, kBlue}, {1, 0})}), 100);
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
        EXPECT_EQ(MyGifHandler::BitsPerPixel(c.count), c.bits);
        const wxImage frame = PaletteImage(16, 16, Colours(c.count), Sequence(c.count));
        bool ok = false;
        const Bytes gif = Save(Frames({frame, frame}), 0, &ok);
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
    const struct {
        int milliseconds;
        unsigned char low, high;
    } cases[] = {{45, 4, 0}, {9, 0, 0}, {3000, 0x2C, 0x01}, {655350, 0xFF, 0xFF}};
    for (const auto& c : cases) {
        const Bytes gif = Save(Frames({PaletteImage(1, 1, {kRed}, {0})}), c.milliseconds);
        // Header 13, a two-entry table 6, loop extension 19, then the control extension.
        EXPECT_EQ(gif[38 + 4], c.low) << c.milliseconds;
        EXPECT_EQ(gif[38 + 5], c.high) << c.milliseconds;
    }
}

TEST(GifWriter, MaskColourBecomesTheTransparentIndex) {
    const struct {
        int colours;
        Rgb mask;
        int count, transparent;  // -1: no room for the mask colour, so no transparency
    } cases[] = {{8, {5, 250, 15}, 8, 5}, {200, {1, 1, 1}, 201, 200}, {256, {1, 1, 1}, 256, -1}};
    for (const auto& c : cases) {
        wxImage image = PaletteImage(16, 16, Colours(c.colours), Sequence(c.colours));
        image.SetMaskColour(c.mask.red, c.mask.green, c.mask.blue);
        MyGifHandler::PaletteBuffer palette;
        int count = 0, transparent = 0;
        ASSERT_TRUE(MyGifHandler::GetFramePalette(image, palette, count, transparent));
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(transparent, c.transparent);
        const gif_decoder::Animation decoded = gif_decoder::Decode(Save(Frames({image}), 100));
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.frames[0].transparentIndex, c.transparent);
    }
}

TEST(GifWriter, RefusedAnimationsWriteNothingAndAFailedFrameKeepsTheEarlierOnes) {
    bool ok = false;
    EXPECT_EQ(Save(Frames({}), 100, &ok), Bytes{0x3B});
    EXPECT_TRUE(ok);
    const wxImage good = PaletteImage(20, 20, {kRed, kBlue}, {0, 1});
    EXPECT_TRUE(Save(Frames({good, PaletteImage(20, 19, {kRed}, {0})}), 100, &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Save(Frames({good, wxImage(20, 20)}), 100, &ok).empty());
    EXPECT_FALSE(ok);

    wxImage tooMany(20, 20);
    for (int i = 0; i < 400; ++i)
        tooMany.SetRGB(i % 20, i / 20, i % 256, i / 256, 7);
    const unsigned char grey[1] = {0};
    tooMany.SetPalette(wxPalette(1, grey, grey, grey));
    const Bytes alone = Save(Frames({good}), 100);
    const Bytes gif = Save(Frames({good, tooMany, good}), 100, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(gif, Bytes(alone.begin(), alone.end() - 1));  // the first frame, no trailer
}

TEST(GifWriter, ShortWritesFailAndKeepExactlyWhatWasWritten) {
    wxImage first = PaletteImage(31, 7, Colours(40), Sequence(40));
    first.SetOption("GifComment", wxString('c', 300));  // longer than one sub-block
    const wxImageArray images = Frames({first, PaletteImage(31, 7, Colours(3), {2, 1, 0, 0})});
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
    const wxSize sizes[] = {{1, 1}, {3, 2}, {2, 3}, {257, 3}, {640, 5}};
    for (const wxSize& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.x << "x" << size.y);
        wxImageArray images;
        for (int colours : {256, 53, 3})
            images.push_back(PaletteImage(size.x, size.y, Colours(colours), Sequence(colours, 7)));
        images.push_back(PaletteImage(size.x, size.y, {kRed, kBlue, kRed, {9, 9, 9}}, {2, 3}));
        bool ok = false;
        const gif_decoder::Animation decoded = gif_decoder::Decode(Save(images, 250, &ok));
        ASSERT_TRUE(ok);
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.screenWidth, size.x);
        EXPECT_EQ(decoded.screenHeight, size.y);
        EXPECT_EQ(decoded.loopCount, 0);
        ASSERT_EQ(decoded.frames.size(), images.size());
        for (size_t f = 0; f < images.size(); ++f) {
            EXPECT_EQ(decoded.frames[f].delay, 25);
            const unsigned char* rgb = images[f].GetData();
            for (size_t p = 0; p < decoded.frames[f].pixels.size(); ++p, rgb += 3)
                ASSERT_EQ(decoded.frames[f].pixels[p], (Rgb{rgb[0], rgb[1], rgb[2]})) << f << " " << p;
        }
        // The lowest index of a repeated colour is the one written.
        EXPECT_EQ(decoded.frames.back().indices[0], 0);
        if (size.x * size.y > 1) {
            EXPECT_EQ(decoded.frames.back().indices[1], 3);
        }
    }
}

