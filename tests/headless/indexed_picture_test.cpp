// Thumbnails kept as palette indices give back exactly the pixels they were made from.
#include "picture/indexed_picture.h"

#include <gtest/gtest.h>

namespace {

// `colours` distinct colours over a 40 x 30 picture, repeating across it.
wxImage Picture(int colours) {
    wxImage image(40, 30, false);
    unsigned char* rgb = image.GetData();
    for (int i = 0; i < 40 * 30; ++i, rgb += 3) {
        const int colour = (i * 7) % colours;
        rgb[0] = static_cast<unsigned char>(colour);
        rgb[1] = static_cast<unsigned char>(colour >> 8);
        rgb[2] = static_cast<unsigned char>(255 - colour);
    }
    return image;
}

}  // namespace

TEST(IndexedPicture, KeepsEveryPixelOfUpTo256ColoursAndRefusesMore) {
    for (int colours : {1, 2, 255, 256}) {
        const wxImage image = Picture(colours);
        const wxImage back = IndexedPicture::FromImage(image).ToImage();
        ASSERT_TRUE(back.IsOk()) << colours;
        EXPECT_EQ(back.GetSize(), image.GetSize());
        EXPECT_TRUE(std::equal(image.GetData(), image.GetData() + 40 * 30 * 3, back.GetData())) << colours;
    }
    EXPECT_FALSE(IndexedPicture::FromImage(Picture(257)).IsOk());
    EXPECT_FALSE(IndexedPicture::FromImage(wxImage()).IsOk());
    EXPECT_FALSE(IndexedPicture().ToImage().IsOk());
}
