#include "window/my_gifhandler/palette_image.h"

#include <wx/palette.h>

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>

namespace {

using Rgb = std::tuple<int, int, int>;

Rgb PixelAt(const wxImage& image, int x, int y) {
    return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
}

std::set<Rgb> PaletteColours(const wxImage& image) {
    std::set<Rgb> colours;
    const wxPalette& palette = image.GetPalette();
    for (int i = 0; i < palette.GetColoursCount(); ++i) {
        unsigned char r, g, b;
        EXPECT_TRUE(palette.GetRGB(i, &r, &g, &b));
        colours.insert({r, g, b});
    }
    return colours;
}

// The writer's contract: a palette of at most 256 entries holding every pixel colour, no mask,
// no alpha, no options.
void ExpectPaletteImage(const wxImage& result, int width, int height) {
    ASSERT_TRUE(result.IsOk());
    EXPECT_EQ(result.GetWidth(), width);
    EXPECT_EQ(result.GetHeight(), height);
    ASSERT_TRUE(result.HasPalette());
    EXPECT_LE(result.GetPalette().GetColoursCount(), 256);
    EXPECT_GE(result.GetPalette().GetColoursCount(), 1);
    EXPECT_FALSE(result.HasMask());
    EXPECT_FALSE(result.HasAlpha());
    EXPECT_FALSE(result.HasOption("GifComment"));
    EXPECT_FALSE(result.HasOption("wxBMP_FORMAT"));
    const std::set<Rgb> palette = PaletteColours(result);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_TRUE(palette.count(PixelAt(result, x, y))) << "pixel " << x << "," << y;
}

// A smooth photograph-like picture with far more than 256 colours.
wxImage Gradient(int width, int height) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetRGB(x, y, x * 255 / width, y * 255 / height, (x + y) * 255 / (width + height));
    return image;
}

double Psnr(const wxImage& a, const wxImage& b) {
    const size_t n = size_t(a.GetWidth()) * a.GetHeight() * 3;
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const double d = double(a.GetData()[i]) - b.GetData()[i];
        sum += d * d;
    }
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / (sum / n));
}

}  // namespace

TEST(PaletteImage, SmallImageKeepsItsExactColoursAndSize) {
    wxImage image(2, 2);
    image.SetRGB(0, 0, 255, 0, 0);
    image.SetRGB(1, 0, 0, 0, 255);
    image.SetRGB(0, 1, 4, 2, 4);
    image.SetRGB(1, 1, 255, 0, 0);
    const wxImage result = ConvertToPaletteImage(image);
    ExpectPaletteImage(result, 2, 2);
    EXPECT_EQ(result.GetPalette().GetColoursCount(), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(PixelAt(result, x, y), PixelAt(image, x, y));
}

TEST(PaletteImage, MaskAlphaAndOptionsAreDroppedAndOnlyRgbCounts) {
    wxImage image(3, 1);
    image.SetRGB(0, 0, 10, 20, 30);
    image.SetRGB(1, 0, 1, 2, 3);
    image.SetRGB(2, 0, 200, 100, 50);
    image.SetMaskColour(1, 2, 3);
    image.InitAlpha();  // turns the mask into alpha 0 on pixel 1
    image.SetAlpha(2, 0, 128);
    image.SetOption("GifComment", "hello");
    image.SetOption("wxBMP_FORMAT", 8);
    const wxImage result = ConvertToPaletteImage(image);
    ExpectPaletteImage(result, 3, 1);
    EXPECT_EQ(PixelAt(result, 0, 0), Rgb(10, 20, 30));
    EXPECT_EQ(PixelAt(result, 1, 0), Rgb(1, 2, 3));
    EXPECT_EQ(PixelAt(result, 2, 0), Rgb(200, 100, 50));

    wxImage masked(2, 1);
    masked.SetRGB(1, 0, 9, 9, 9);
    masked.SetMaskColour(9, 9, 9);
    ExpectPaletteImage(ConvertToPaletteImage(masked), 2, 1);
}

TEST(PaletteImage, ExactlyTwoHundredFiftySixColoursStayExact) {
    wxImage image(16, 16);
    for (int i = 0; i < 256; ++i)
        image.SetRGB(i % 16, i / 16, i, 255 - i, (i * 7) % 256);
    const wxImage result = ConvertToPaletteImage(image);
    ExpectPaletteImage(result, 16, 16);
    EXPECT_EQ(result.GetPalette().GetColoursCount(), 256);
    EXPECT_EQ(memcmp(result.GetData(), image.GetData(), 16 * 16 * 3), 0);
}

TEST(PaletteImage, ManyColoursAreReducedToAtMost256WithGoodQuality) {
    // 257 colours: one more than fits.
    wxImage justOver(257, 1);
    for (int i = 0; i < 257; ++i)
        justOver.SetRGB(i, 0, i % 256, i / 256 * 128, 0);
    ExpectPaletteImage(ConvertToPaletteImage(justOver), 257, 1);

    const wxImage photo = Gradient(640, 480);
    const wxImage result = ConvertToPaletteImage(photo);
    ExpectPaletteImage(result, 640, 480);
    EXPECT_GT(Psnr(photo, result), 30.0);
}

TEST(PaletteImage, PureBlackAndWhiteSurviveInAManyColouredPicture) {
    wxImage image = Gradient(200, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 50; ++x) {
            image.SetRGB(x, y, 0, 0, 0);
            image.SetRGB(199 - x, y, 255, 255, 255);
        }
    const wxImage result = ConvertToPaletteImage(image);
    ExpectPaletteImage(result, 200, 100);
    EXPECT_EQ(PixelAt(result, 10, 50), Rgb(0, 0, 0));
    EXPECT_EQ(PixelAt(result, 190, 50), Rgb(255, 255, 255));
}

TEST(PaletteImage, OddSizesAndSinglePixels) {
    wxImage one(1, 1);
    one.SetRGB(0, 0, 7, 8, 9);
    const wxImage result = ConvertToPaletteImage(one);
    ExpectPaletteImage(result, 1, 1);
    EXPECT_EQ(PixelAt(result, 0, 0), Rgb(7, 8, 9));
    ExpectPaletteImage(ConvertToPaletteImage(Gradient(1, 999)), 1, 999);
    ExpectPaletteImage(ConvertToPaletteImage(Gradient(999, 1)), 999, 1);
}

TEST(PaletteImage, InvalidImageGivesAnImageWithoutPalette) {
    const wxImage result = ConvertToPaletteImage(wxImage());
    EXPECT_FALSE(result.IsOk());
    EXPECT_FALSE(result.HasPalette());
}
