#include "window/my_gifhandler/frame_composition.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using Rgb = std::tuple<int, int, int>;

Rgb PixelAt(const wxImage& image, int x, int y) {
    return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
}

// Every pixel has its own colour, so a misplaced or mis-sampled pixel shows.
wxImage Pattern(int width, int height) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetRGB(x, y, 1 + x % 250, 1 + y % 250, 1 + (x * 7 + y * 3) % 250);
    return image;
}

// Checks the canvas: the picture's rectangle at (left, top) of size w by h holds pixels of the
// source sampled by the given maps, and everything else is black.
template <typename SourceX, typename SourceY>
void ExpectPlaced(const wxImage& frame, const wxImage& source, int left, int top, int w, int h,
                  SourceX sourceX, SourceY sourceY) {
    for (int y = 0; y < frame.GetHeight(); ++y)
        for (int x = 0; x < frame.GetWidth(); ++x) {
            const bool inside = x >= left && x < left + w && y >= top && y < top + h;
            const Rgb expected = inside ? PixelAt(source, sourceX(x - left), sourceY(y - top)) : Rgb(0, 0, 0);
            ASSERT_EQ(PixelAt(frame, x, y), expected) << "at " << x << "," << y;
        }
}

int Same(int v) { return v; }

// The toolkit's nearest-neighbour index: 16.16 fixed point.
auto Nearest(int oldSize, int newSize) {
    const long step = (long(oldSize) << 16) / newSize;
    return [step](int i) { return int((i * step) >> 16); };
}

}  // namespace

TEST(FrameComposition, SmallPictureIsCentredUnscaledOnBlack) {
    const wxImage picture = Pattern(100, 50);
    const wxImage frame = ComposeExportFrame(picture, 200, 200);
    ASSERT_EQ(frame.GetSize(), wxSize(200, 200));
    ExpectPlaced(frame, picture, 50, 75, 100, 50, Same, Same);

    // Odd leftovers go to the right and bottom; a picture is never enlarged.
    const wxImage odd = Pattern(101, 99);
    ExpectPlaced(ComposeExportFrame(odd, 200, 200), odd, 49, 50, 101, 99, Same, Same);
    const wxImage tiny = Pattern(3, 2);
    ExpectPlaced(ComposeExportFrame(tiny, 1000, 1000), tiny, 498, 499, 3, 2, Same, Same);
    const wxImage exact = Pattern(64, 48);
    ExpectPlaced(ComposeExportFrame(exact, 64, 48), exact, 0, 0, 64, 48, Same, Same);
    EXPECT_FALSE(ComposeExportFrame(exact, 64, 48).HasAlpha());
}

TEST(FrameComposition, WidePictureIsHalvedAndCentredVertically) {
    // 400 by 100 on 200 by 200: s = 0.5, 200 by 50 at (0, 75). Whole factors make the toolkit's
    // normal quality average each 2 by 2 block, so uniform blocks keep their colour.
    wxImage picture(400, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 400; ++x)
            picture.SetRGB(x, y, 1 + x / 2 % 250, 1 + y / 2, 9);
    const wxImage frame = ComposeExportFrame(picture, 200, 200);
    ASSERT_EQ(frame.GetSize(), wxSize(200, 200));
    ExpectPlaced(frame, picture, 0, 75, 200, 50, [](int x) { return 2 * x; }, [](int y) { return 2 * y; });
}

TEST(FrameComposition, PictureOfTheCanvasProportionFillsItExactly) {
    // 640 by 480 on 320 by 240: shrunk to exactly the canvas; each output pixel is the average of
    // its 2 by 2 block.
    wxImage picture(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            picture.SetRGB(x, y, (x + y) % 2 ? 200 : 0, 50, 100);
    const wxImage frame = ComposeExportFrame(picture, 320, 240);
    ASSERT_EQ(frame.GetSize(), wxSize(320, 240));
    for (int y = 0; y < 240; y += 17)
        for (int x = 0; x < 320; x += 13)
            ASSERT_EQ(PixelAt(frame, x, y), Rgb(100, 50, 100));
}

TEST(FrameComposition, TruncationLeavesABlackColumnAndSamplesNearestPixels) {
    // 161 by 50 on 100 by 100: 161 * (100 / 161) is just below 100 in double precision, so the
    // picture becomes 99 by 31 at (0, 34) with a black column on the right.
    const wxImage picture = Pattern(161, 50);
    const wxImage frame = ComposeExportFrame(picture, 100, 100);
    ASSERT_EQ(frame.GetSize(), wxSize(100, 100));
    ExpectPlaced(frame, picture, 0, 34, 99, 31, Nearest(161, 99), Nearest(50, 31));

    // Tall pictures shrink by the height ratio and centre horizontally: 31 by 300 becomes 10 by 100.
    const wxImage tall = Pattern(31, 300);
    ExpectPlaced(ComposeExportFrame(tall, 100, 100), tall, 45, 0, 10, 100, Nearest(31, 10), Nearest(300, 100));
}

TEST(FrameComposition, TransparentPixelsBecomeBlack) {
    wxImage masked = Pattern(4, 4);
    masked.SetRGB(1, 1, 255, 0, 255);
    masked.SetRGB(2, 3, 255, 0, 255);
    masked.SetMaskColour(255, 0, 255);
    const wxImage frame = ComposeExportFrame(masked, 6, 6);
    EXPECT_EQ(PixelAt(frame, 2, 2), Rgb(0, 0, 0));
    EXPECT_EQ(PixelAt(frame, 3, 4), Rgb(0, 0, 0));
    EXPECT_EQ(PixelAt(frame, 1, 1), PixelAt(masked, 0, 0));
    EXPECT_FALSE(frame.HasMask());

    // A shrunk masked picture keeps its transparency.
    wxImage bigMasked(40, 40);
    bigMasked.SetRGB(wxRect(0, 0, 40, 40), 255, 0, 255);
    bigMasked.SetRGB(wxRect(0, 0, 20, 40), 10, 20, 30);
    bigMasked.SetMaskColour(255, 0, 255);
    const wxImage shrunk = ComposeExportFrame(bigMasked, 30, 10);
    EXPECT_EQ(PixelAt(shrunk, 12, 5), Rgb(10, 20, 30));
    EXPECT_EQ(PixelAt(shrunk, 17, 5), Rgb(0, 0, 0));

    wxImage translucent(2, 1);
    translucent.SetRGB(0, 0, 200, 100, 50);
    translucent.SetRGB(1, 0, 255, 255, 255);
    translucent.SetAlpha();
    translucent.SetAlpha(0, 0, 255);
    translucent.SetAlpha(1, 0, 51);  // a fifth
    const wxImage blended = ComposeExportFrame(translucent, 2, 1);
    EXPECT_EQ(PixelAt(blended, 0, 0), Rgb(200, 100, 50));
    EXPECT_EQ(PixelAt(blended, 1, 0), Rgb(51, 51, 51));
    EXPECT_FALSE(blended.HasAlpha());
}

TEST(FrameComposition, EmptyPictureGivesTheBlackCanvasAndBadSizesNothing) {
    const wxImage frame = ComposeExportFrame(wxImage(), 7, 5);
    ASSERT_EQ(frame.GetSize(), wxSize(7, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(PixelAt(frame, x, y), Rgb(0, 0, 0));
    EXPECT_FALSE(ComposeExportFrame(Pattern(4, 4), 0, 10).IsOk());
    EXPECT_FALSE(ComposeExportFrame(Pattern(4, 4), 10, -1).IsOk());
}

TEST(FrameComposition, HairlinePictureKeepsOnePixelInsteadOfVanishing) {
    // 997 by 1 on 10 by 10: the height 1 * 10 / 997 truncates to nothing; one row stays.
    const wxImage line = Pattern(997, 1);
    const wxImage frame = ComposeExportFrame(line, 10, 10);
    ASSERT_EQ(frame.GetSize(), wxSize(10, 10));
    ExpectPlaced(frame, line, 0, 4, 10, 1, Nearest(997, 10), Same);
}
