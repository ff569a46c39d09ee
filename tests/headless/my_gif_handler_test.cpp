#include "window/my_gifhandler/my_gif_handler.h"

#include "tests/support/assertions.h"
#include "tests/support/gif_decoder.h"

#include <wx/mstream.h>
#include <wx/palette.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using gif_decoder::Rgb;

// A palette image whose pixels take the palette colours at the given indices.
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

// n distinct colours.
std::vector<Rgb> Colours(int n) {
    std::vector<Rgb> colours;
    for (int i = 0; i < n; ++i)
        colours.push_back({static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i), static_cast<unsigned char>(i * 3)});
    return colours;
}

std::vector<int> AllIndices(int n) {
    std::vector<int> indices(n);
    for (int i = 0; i < n; ++i)
        indices[i] = i;
    return indices;
}

Bytes Contents(const wxMemoryOutputStream& stream) {
    Bytes bytes(stream.GetLength());
    if (!bytes.empty())
        stream.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

Bytes Save(const wxImageArray& images, int delay, bool* ok = nullptr) {
    wxMemoryOutputStream stream;
    MyGifHandler handler;
    const bool result = handler.SaveAnimation(images, stream, delay);
    if (ok)
        *ok = result;
    return Contents(stream);
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes Text(const char* text) { return Bytes(text, text + strlen(text)); }

// Accepts only the first `limit` bytes; later writes are refused, as by a full disc.
class RefusingStream : public wxOutputStream {
public:
    explicit RefusingStream(size_t limit) : m_limit(limit) {}
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

// Exposes the base's hash table pointer, to see that every frame releases it.
class ProbeHandler : public MyGifHandler {
public:
    bool HashTableReleased() const { return m_hashTable == nullptr; }
};

size_t Find(const Bytes& haystack, const Bytes& needle, size_t from = 0) {
    const auto at = std::search(haystack.begin() + from, haystack.end(), needle.begin(), needle.end());
    return at == haystack.end() ? std::string::npos : size_t(at - haystack.begin());
}

const Rgb kRed{0xFF, 0, 0};
const Rgb kBlue{0, 0, 0xFF};

}  // namespace

TEST(MyGifHandler, TwoFrameRedBlueExampleMatchesByteForByte) {
    wxImageArray images;
    images.push_back(PaletteImage(2, 1, {kRed, kBlue}, {0, 1}));
    images.push_back(PaletteImage(2, 1, {kRed, kBlue}, {1, 0}));
    bool ok = false;
    const Bytes gif = Save(images, 100, &ok);
    ASSERT_TRUE(ok);

    const Bytes header = Join({{0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,
                                0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x21, 0xFF, 0x0B},
                               Text("NETSCAPE2.0"),
                               {0x03, 0x01, 0x00, 0x00, 0x00}});
    const Bytes frame1 = {0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x2C, 0x00,
                          0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00, 0x08};
    const Bytes frame2 = {0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00,
                          0x02, 0x00, 0x01, 0x00, 0x80, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x08};
    const Bytes start = Join({header, frame1});
    ASSERT_GT(gif.size(), start.size());
    EXPECT_EQ(Bytes(gif.begin(), gif.begin() + start.size()), start);
    const size_t second = Find(gif, frame2, start.size());
    ASSERT_NE(second, std::string::npos);
    // Frame 1's compressed data lies between; it is a sequence of sub-blocks ending with 0.
    size_t at = start.size();
    while (gif[at] != 0)
        at += gif[at] + 1;
    EXPECT_EQ(at + 1, second);
    at = second + frame2.size();
    while (gif[at] != 0)
        at += gif[at] + 1;
    EXPECT_EQ(at + 2, gif.size());
    EXPECT_EQ(gif.back(), 0x3B);

    const gif_decoder::Animation decoded = gif_decoder::Decode(gif);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    ASSERT_EQ(decoded.frames.size(), 2u);
    EXPECT_EQ(decoded.loopCount, 0);
    EXPECT_EQ(decoded.frames[0].pixels, (std::vector<Rgb>{kRed, kBlue}));
    EXPECT_EQ(decoded.frames[1].pixels, (std::vector<Rgb>{kBlue, kRed}));
    EXPECT_EQ(decoded.frames[1].delay, 10);
}

TEST(MyGifHandler, PackedBytesAndTableSizesFollowTheColourCount) {
    const struct {
        int count, bpp;
        unsigned char header, later;
    } cases[] = {{1, 1, 0x80, 0x80}, {2, 1, 0x80, 0x80}, {3, 2, 0xA1, 0xA1}, {4, 2, 0xA1, 0xA1},
                 {5, 3, 0xC2, 0x82}, {9, 4, 0xE3, 0xA3}, {17, 5, 0x84, 0x84}, {33, 6, 0xA5, 0xA5},
                 {65, 7, 0xC6, 0x86}, {128, 7, 0xC6, 0x86}, {129, 8, 0xE7, 0xA7}, {256, 8, 0xE7, 0xA7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(MyGifHandler::BitsPerPixel(c.count), c.bpp);
        const std::vector<Rgb> palette = Colours(c.count);
        wxImageArray images;
        images.push_back(PaletteImage(16, 16, palette, AllIndices(c.count)));
        images.push_back(images[0]);
        bool ok = false;
        const Bytes gif = Save(images, 0, &ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(gif[10], c.header);
        const size_t table = size_t(3) << c.bpp;
        // The global table: the palette, padded with black.
        EXPECT_EQ(gif[13 + 3 * (c.count - 1)], palette.back().red);
        for (size_t i = 13 + 3 * c.count; i < 13 + table; ++i)
            ASSERT_EQ(gif[i], 0) << i;
        EXPECT_EQ(gif[13 + table], 0x21);
        EXPECT_EQ(gif[13 + table + 1], 0xFF);
        // First frame: no local table, minimum code size 8 whatever the table size.
        const size_t firstImage = 13 + table + 19 + 8;
        EXPECT_EQ(gif[firstImage], 0x2C);
        EXPECT_EQ(gif[firstImage + 9], 0x00);
        EXPECT_EQ(gif[firstImage + 10], 0x08);
        // The second frame carries its own table although the palette is the same.
        const Bytes secondDescriptor = {0x2C, 0, 0, 0, 0, 16, 0, 16, 0, c.later};
        const size_t second = Find(gif, secondDescriptor, firstImage + 10);
        ASSERT_NE(second, std::string::npos);
        EXPECT_EQ(gif[second + 10 + table], 0x08);

        const gif_decoder::Animation decoded = gif_decoder::Decode(gif);
        ASSERT_TRUE(decoded.ok) << decoded.error;
        ASSERT_EQ(decoded.frames.size(), 2u);
        EXPECT_FALSE(decoded.frames[0].localTable);
        EXPECT_TRUE(decoded.frames[1].localTable);
    }
    EXPECT_EQ(MyGifHandler::BitsPerPixel(0), 1);
}

TEST(MyGifHandler, DelaysAreHundredthsTruncated) {
    const struct {
        int milliseconds;
        unsigned char low, high;
    } cases[] = {{45, 4, 0}, {1000, 0x64, 0x00}, {3000, 0x2C, 0x01}, {9, 0, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        wxImageArray images;
        images.push_back(PaletteImage(1, 1, {kRed}, {0}));
        const Bytes gif = Save(images, c.milliseconds);
        const size_t control = Find(gif, {0x21, 0xF9, 0x04});
        ASSERT_NE(control, std::string::npos);
        EXPECT_EQ(gif[control + 4], c.low) << c.milliseconds;
        EXPECT_EQ(gif[control + 5], c.high) << c.milliseconds;
    }
}

TEST(MyGifHandler, MaskColourBecomesTheTransparentIndex) {
    // Mask equal to entry 5.
    wxImage inPalette = PaletteImage(4, 2, Colours(8), AllIndices(8));
    inPalette.SetMaskColour(5, 250, 15);
    MyGifHandler::PaletteBuffer palette;
    int count = 0, transparent = 0;
    ASSERT_TRUE(MyGifHandler::GetFramePalette(inPalette, palette, count, transparent));
    EXPECT_EQ(count, 8);
    EXPECT_EQ(transparent, 5);
    wxImageArray images;
    images.push_back(inPalette);
    Bytes gif = Save(images, 100);
    size_t control = Find(gif, {0x21, 0xF9, 0x04});
    EXPECT_EQ(gif[control + 3], 0x01);
    EXPECT_EQ(gif[control + 6], 5);

    // Mask missing from a 200-entry palette: appended as entry 200, the table grows to 256.
    wxImage missing = PaletteImage(20, 10, Colours(200), AllIndices(200));
    missing.SetMaskColour(1, 1, 1);
    ASSERT_TRUE(MyGifHandler::GetFramePalette(missing, palette, count, transparent));
    EXPECT_EQ(count, 201);
    EXPECT_EQ(transparent, 200);
    EXPECT_EQ(palette[200].red, 1);
    images.Clear();
    images.push_back(missing);
    gif = Save(images, 100);
    EXPECT_EQ(gif[10], 0xE7);
    EXPECT_EQ(gif[13 + 600], 1);
    control = Find(gif, {0x21, 0xF9, 0x04}, 13 + 768);
    EXPECT_EQ(gif[control + 3], 0x01);
    EXPECT_EQ(gif[control + 6], 200);
    const gif_decoder::Animation decoded = gif_decoder::Decode(gif);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.frames[0].transparentIndex, 200);

    // A full palette without the mask colour: no transparency.
    wxImage full = PaletteImage(16, 16, Colours(256), AllIndices(256));
    full.SetMaskColour(1, 1, 1);
    ASSERT_TRUE(MyGifHandler::GetFramePalette(full, palette, count, transparent));
    EXPECT_EQ(count, 256);
    EXPECT_EQ(transparent, -1);

    // Without a mask: packed byte 0 and index 0.
    images.Clear();
    images.push_back(PaletteImage(2, 2, Colours(3), {2}));
    gif = Save(images, 100);
    control = Find(gif, {0x21, 0xF9, 0x04});
    EXPECT_EQ(gif[control + 3], 0x00);
    EXPECT_EQ(gif[control + 6], 0x00);
}

TEST(MyGifHandler, CommentsAreCutIntoSubBlocks) {
    wxImage image = PaletteImage(1, 1, {kBlue}, {0});
    image.SetOption("GifComment", wxString('c', 300));
    wxImageArray images;
    images.push_back(image);
    Bytes gif = Save(images, 100);
    const size_t comment = Find(gif, {0x21, 0xFE});
    ASSERT_NE(comment, std::string::npos);
    EXPECT_EQ(gif[comment + 2], 255);
    EXPECT_EQ(gif[comment + 3 + 255], 45);
    EXPECT_EQ(gif[comment + 3 + 255 + 1 + 45], 0);
    EXPECT_EQ(gif[comment + 3 + 255 + 1 + 45 + 1], 0x21);  // the graphic control extension follows
    EXPECT_EQ(std::count(gif.begin() + comment + 3, gif.begin() + comment + 3 + 255, 'c'), 255);

    images[0].SetOption("GifComment", "");
    gif = Save(images, 100);
    EXPECT_EQ(Find(gif, {0x21, 0xFE}), std::string::npos);
}

TEST(MyGifHandler, RefusedAnimationsWriteNothing) {
    bool ok = true;
    EXPECT_EQ(Save(wxImageArray(), 100, &ok), Bytes{0x3B});
    EXPECT_TRUE(ok);

    wxImageArray sizes;
    sizes.push_back(PaletteImage(2, 1, {kRed}, {0}));
    sizes.push_back(PaletteImage(1, 2, {kRed}, {0}));
    EXPECT_TRUE(Save(sizes, 100, &ok).empty());
    EXPECT_FALSE(ok);

    wxImageArray noPalette;
    noPalette.push_back(PaletteImage(2, 1, {kRed}, {0}));
    noPalette.push_back(wxImage(2, 1));
    EXPECT_TRUE(Save(noPalette, 100, &ok).empty());
    EXPECT_FALSE(ok);
}

TEST(MyGifHandler, FrameWithTooManyColoursFailsAfterTheEarlierFrames) {
    wxImageArray images;
    images.push_back(PaletteImage(20, 20, Colours(2), {0, 1}));
    wxImage tooMany(20, 20);
    for (int i = 0; i < 400; ++i)
        tooMany.SetRGB(i % 20, i / 20, i % 256, i / 256, 7);
    const unsigned char grey[1] = {0};
    tooMany.SetPalette(wxPalette(1, grey, grey, grey));
    images.push_back(tooMany);
    images.push_back(images[0]);

    wxImageArray first;
    first.push_back(images[0]);
    const Bytes alone = Save(first, 100);

    bool ok = true;
    const Bytes gif = Save(images, 100, &ok);
    EXPECT_FALSE(ok);
    // Exactly the first frame, without the trailer.
    ASSERT_EQ(gif.size(), alone.size() - 1);
    EXPECT_TRUE(std::equal(gif.begin(), gif.end(), alone.begin()));
}

TEST(MyGifHandler, ShortWritesFailAndKeepWhatWasWritten) {
    wxImageArray images;
    images.push_back(PaletteImage(31, 7, Colours(40), AllIndices(40)));
    images.Last().SetOption("GifComment", "a comment");
    images.push_back(PaletteImage(31, 7, Colours(3), {2, 1, 0, 0}));
    const Bytes full = Save(images, 70);
    for (size_t limit = 0; limit < full.size(); ++limit) {
        RefusingStream stream(limit);
        ProbeHandler handler;
        ASSERT_FALSE(handler.SaveAnimation(images, stream, 70)) << "limit " << limit;
        EXPECT_TRUE(handler.HashTableReleased());
        ASSERT_EQ(stream.Written(), Bytes(full.begin(), full.begin() + limit));
    }
    RefusingStream roomy(full.size());
    MyGifHandler handler;
    EXPECT_TRUE(handler.SaveAnimation(images, roomy, 70));
    EXPECT_EQ(roomy.Written(), full);
}

TEST(MyGifHandler, LowestMatchingIndexIsWrittenForRepeatedPaletteColours) {
    const std::vector<Rgb> palette = {kRed, kBlue, kRed, kBlue, {9, 9, 9}};
    MyGifHandler::PaletteBuffer buffer;
    for (size_t i = 0; i < palette.size(); ++i)
        buffer[i] = {palette[i].red, palette[i].green, palette[i].blue};
    EXPECT_EQ(MyGifHandler::FindPaletteIndex(0, 0, 0xFF, buffer, 5), 1);
    EXPECT_EQ(MyGifHandler::FindPaletteIndex(9, 9, 9, buffer, 5), 4);
    EXPECT_EQ(MyGifHandler::FindPaletteIndex(9, 9, 9, buffer, 4), -1);
    EXPECT_EQ(MyGifHandler::FindPaletteIndex(9, 9, 8, buffer, 5), -1);

    wxImageArray images;
    images.push_back(PaletteImage(3, 1, palette, {2, 3, 4}));
    const gif_decoder::Animation decoded = gif_decoder::Decode(Save(images, 100));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.frames[0].indices, (std::vector<int>{0, 1, 4}));
}

TEST(MyGifHandler, PixelOutsideThePaletteAssertsAndWritesIndex255) {
    wxImage image = PaletteImage(2, 1, {kRed, kBlue}, {0, 1});
    image.SetRGB(1, 0, 1, 2, 3);
    wxImageArray images;
    images.push_back(image);
    ExpectAssertions expect;
    const gif_decoder::Animation decoded = gif_decoder::Decode(Save(images, 100));
    ASSERT_FALSE(expect.Recorded().empty());
    EXPECT_EQ(expect.Recorded()[0].condition, "index != (-1)");
    EXPECT_NE(expect.Recorded()[0].function.find("DoSaveFile"), std::string::npos);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.frames[0].indices, (std::vector<int>{0, 255}));
}

TEST(MyGifHandler, GiflibDecodesEveryPixelAsItsPaletteColour) {
    // Odd and even widths, single pixels and rows longer than one data sub-block.
    const wxSize sizes[] = {{1, 1}, {3, 2}, {2, 3}, {257, 3}, {640, 5}};
    for (const wxSize& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.x << "x" << size.y);
        wxImageArray images;
        for (int f = 0; f < 3; ++f) {
            const int colours = f == 0 ? 256 : 3 + f * 50;
            std::vector<int> indices;
            for (int i = 0; i < size.x * size.y; ++i)
                indices.push_back((i * 7 + f * 13 + i / 5) % colours);
            images.push_back(PaletteImage(size.x, size.y, Colours(colours), indices));
        }
        bool ok = false;
        const Bytes gif = Save(images, 250, &ok);
        ASSERT_TRUE(ok);
        const gif_decoder::Animation decoded = gif_decoder::Decode(gif);
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.screenWidth, size.x);
        EXPECT_EQ(decoded.screenHeight, size.y);
        EXPECT_EQ(decoded.loopCount, 0);
        ASSERT_EQ(decoded.frames.size(), images.size());
        for (size_t f = 0; f < images.size(); ++f) {
            EXPECT_EQ(decoded.frames[f].delay, 25);
            EXPECT_EQ(decoded.frames[f].transparentIndex, -1);
            ASSERT_EQ(decoded.frames[f].pixels.size(), size_t(size.x * size.y));
            const unsigned char* rgb = images[f].GetData();
            for (int p = 0; p < size.x * size.y; ++p, rgb += 3)
                ASSERT_EQ(decoded.frames[f].pixels[p], (Rgb{rgb[0], rgb[1], rgb[2]})) << "frame " << f << " pixel " << p;
        }
    }
}

TEST(MyGifHandler, HashTableIsReleasedAfterEveryFrame) {
    ProbeHandler handler;
    wxMemoryOutputStream stream;
    const wxImage image = PaletteImage(4, 4, Colours(4), AllIndices(4));
    MyGifHandler::PaletteBuffer palette;
    int count = 0, transparent = 0;
    ASSERT_TRUE(MyGifHandler::GetFramePalette(image, palette, count, transparent));
    for (int f = 0; f < 3; ++f) {
        ASSERT_TRUE(handler.DoSaveFile(image, stream, f == 0, 100, palette, count, transparent));
        EXPECT_TRUE(handler.HashTableReleased());
    }
    EXPECT_TRUE(MyGifHandler::WriteTrailer(stream));
    const gif_decoder::Animation decoded = gif_decoder::Decode(Contents(stream));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.frames.size(), 3u);
}
