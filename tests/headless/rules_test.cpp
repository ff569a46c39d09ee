// Small rules with large consequences: the output size, the frame labels and where the preview draws.
#include "window/output_size.h"
#include "window/preview_fit.h"
#include "window/thumbnailctrl/frame_label.h"

#include <gtest/gtest.h>

TEST(OutputSize, ALargerSideInEitherDirectionReplacesBothNumbers) {
    const std::pair<std::vector<wxSize>, wxSize> cases[] = {
        {{}, {0, 0}}, {{{100, 50}, {50, 100}}, {50, 100}}, {{{320, 240}, {0, 0}, {320, 240}}, {320, 240}},
        {{{320, 240}, {640, 10}}, {640, 10}}};
    for (const auto& [sizes, best] : cases)
        EXPECT_EQ(output_size::FindBestSize(sizes), best);
}

TEST(OutputSize, ProportionsTruncateAndAZeroReferenceGivesNoAnswer) {
    int h = -1, w = -1;
    EXPECT_TRUE(output_size::HeightForWidth(200, 400, 300, h) && output_size::WidthForHeight(100, 400, 300, w));
    EXPECT_EQ(wxSize(w, h), wxSize(133, 150));
    EXPECT_TRUE(output_size::HeightForWidth(100, 300, 400, h) && output_size::WidthForHeight(200, 300, 400, w));
    EXPECT_EQ(wxSize(w, h), wxSize(150, 133));
    EXPECT_FALSE(output_size::HeightForWidth(200, 0, 300, h) || output_size::WidthForHeight(100, 400, 0, w));
    EXPECT_EQ(wxSize(w, h), wxSize(150, 133));  // left as they were
    EXPECT_TRUE(output_size::HeightForWidth(65535, 65535, 65535, h));  // wraps, without undefined behaviour
}

TEST(FrameLabel, NumberFromOneAndStartTimeInSinglePrecision) {
    const struct {
        int index, delay;
        const char* label;
    } cases[] = {{0, 10, "#1  0.00sec"}, {3, 10, "#4  0.30sec"}, {99, 3, "#100  2.97sec"}, {9, 0, "#10  0.00sec"},
                 {198601, 33, "#198602  65538.34sec"}};  // double precision would say 65538.33
    for (const auto& c : cases)
        EXPECT_EQ(FrameLabel(c.index, c.delay), c.label);
}

TEST(PreviewFit, ShrinksByTheSmallerRatioCentresAndNeverEnlarges) {
    const struct {
        wxSize panel, picture;
        wxRect placed;  // empty: nothing drawn
    } cases[] = {{{400, 400}, {800, 600}, {0, 50, 400, 300}},   {{400, 400}, {600, 800}, {50, 0, 300, 400}},
                 {{400, 300}, {1920, 1080}, {0, 37, 400, 225}}, {{101, 101}, {10, 10}, {45, 45, 10, 10}},
                 {{400, 400}, {0, 0}, {}},                      {{0, 0}, {800, 600}, {}},
                 {{400, 300}, {4000, 5}, {}}};
    for (const auto& c : cases) {
        const wxRect placed = preview_fit::Place(c.panel, c.picture);
        EXPECT_TRUE(c.placed.IsEmpty() ? placed.IsEmpty() : placed == c.placed) << c.picture.x << " " << placed.x;
    }
}
