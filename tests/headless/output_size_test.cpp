#include "window/output_size.h"

#include <gtest/gtest.h>

TEST(OutputSize, LargerInEitherDirectionReplacesBothNumbers) {
    EXPECT_EQ(output_size::FindBestSize({}), wxSize(0, 0));
    EXPECT_EQ(output_size::FindBestSize({{100, 50}, {50, 100}}), wxSize(50, 100));
    EXPECT_EQ(output_size::FindBestSize({{50, 100}, {100, 50}}), wxSize(100, 50));
    EXPECT_EQ(output_size::FindBestSize({{320, 240}, {0, 0}, {320, 240}}), wxSize(320, 240));
    EXPECT_EQ(output_size::FindBestSize({{320, 240}, {640, 10}}), wxSize(640, 10));
}

TEST(OutputSize, ProportionRulesTruncateAndRefuseAZeroReference) {
    int h = -1, w = -1;
    ASSERT_TRUE(output_size::HeightForWidth(200, 400, 300, h));
    EXPECT_EQ(h, 150);
    ASSERT_TRUE(output_size::WidthForHeight(100, 400, 300, w));
    EXPECT_EQ(w, 133);
    ASSERT_TRUE(output_size::HeightForWidth(1, 3, 2, h));
    EXPECT_EQ(h, 0);
    h = w = 7;
    EXPECT_FALSE(output_size::HeightForWidth(200, 0, 300, h));
    EXPECT_FALSE(output_size::WidthForHeight(100, 400, 0, w));
    EXPECT_EQ(h, 7);
    EXPECT_EQ(w, 7);
    // Huge values wrap as 32-bit arithmetic would, without undefined behaviour.
    ASSERT_TRUE(output_size::HeightForWidth(65535, 65535, 65535, h));
    ASSERT_TRUE(output_size::WidthForHeight(65535, 65535, 65535, w));
}
