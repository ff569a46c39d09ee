#include "window/preview_fit.h"

#include <gtest/gtest.h>

TEST(PreviewFit, LargePicturesShrinkByTheSmallerRatioAndAreCentred) {
    EXPECT_EQ(preview_fit::Place({400, 400}, {800, 600}), wxRect(0, 50, 400, 300));
    EXPECT_EQ(preview_fit::Place({400, 400}, {600, 800}), wxRect(50, 0, 300, 400));
    // Too large in one direction only still shrinks both sides.
    EXPECT_EQ(preview_fit::Place({400, 300}, {800, 100}), wxRect(0, 125, 400, 50));
    // Sides are truncated, not rounded: 1920 x 1080 into 400 x 300 is 400 x 225.
    EXPECT_EQ(preview_fit::Place({400, 300}, {1920, 1080}), wxRect(0, 37, 400, 225));
    EXPECT_EQ(preview_fit::Place({100, 100}, {300, 200}), wxRect(0, 17, 100, 66));
}

TEST(PreviewFit, PicturesThatFitKeepTheirSizeAndAreNeverEnlarged) {
    EXPECT_EQ(preview_fit::Place({400, 400}, {100, 50}), wxRect(150, 175, 100, 50));
    EXPECT_EQ(preview_fit::Place({400, 400}, {400, 400}), wxRect(0, 0, 400, 400));
    // Odd differences round the position down.
    EXPECT_EQ(preview_fit::Place({101, 101}, {10, 10}), wxRect(45, 45, 10, 10));
}

TEST(PreviewFit, EmptyPicturesAndPanelsGiveNothingToDraw) {
    EXPECT_TRUE(preview_fit::Place({400, 400}, {0, 0}).IsEmpty());
    EXPECT_TRUE(preview_fit::Place({400, 400}, {-5, 10}).IsEmpty());
    EXPECT_TRUE(preview_fit::Place({0, 0}, {800, 600}).IsEmpty());
    // A very flat picture shrinks to no height at all rather than to a made-up one.
    EXPECT_TRUE(preview_fit::Place({400, 300}, {4000, 5}).IsEmpty());
}
