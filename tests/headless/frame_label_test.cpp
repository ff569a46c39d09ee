#include "window/thumbnailctrl/frame_label.h"

#include <gtest/gtest.h>

TEST(FrameLabel, NumberFromOneAndStartTimeOfTheFrame) {
    EXPECT_EQ(FrameLabel(0, 10), "#1  0.00sec");
    EXPECT_EQ(FrameLabel(1, 10), "#2  0.10sec");
    EXPECT_EQ(FrameLabel(3, 10), "#4  0.30sec");
    EXPECT_EQ(FrameLabel(5, 7), "#6  0.35sec");
    EXPECT_EQ(FrameLabel(99, 3), "#100  2.97sec");
    EXPECT_EQ(FrameLabel(1000, 13), "#1001  130.00sec");
    EXPECT_EQ(FrameLabel(9, 0), "#10  0.00sec");
}

TEST(FrameLabel, TimeIsComputedInSinglePrecision) {
    // Double precision would print 65538.33 here.
    EXPECT_EQ(FrameLabel(198601, 33), "#198602  65538.34sec");
    EXPECT_EQ(FrameLabel(182053, 36), "#182054  65539.09sec");
}
