#include "controls/SliderMapping.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The program's skin: a 240-pixel track, a 23-pixel thumb, margins 2 and 2.
SliderGeometry Skin(int rangeMin = 0, int rangeMax = 100) {
    SliderGeometry g;
    g.width = 240;
    g.thumbWidth = 23;
    g.marginLeft = 2;
    g.marginRight = 2;
    g.rangeMin = rangeMin;
    g.rangeMax = rangeMax;
    return g;
}

TEST(SliderMappingTest, SkinPositionsToPixels) {
    SliderGeometry g = Skin();
    EXPECT_EQ(g.Span(), 213);
    EXPECT_EQ(PositionToPixel(g, 0), 13);
    EXPECT_EQ(PositionToPixel(g, 50), 119);
    EXPECT_EQ(PositionToPixel(g, 100), 226);
    // Outside the range (after SetRange alone) the thumb is extrapolated.
    EXPECT_EQ(PositionToPixel(g, 200), 13 + 426);
    EXPECT_EQ(PositionToPixel(g, -100), 13 - 213);
}

TEST(SliderMappingTest, DivisionComesBeforeMultiplication) {
    SliderGeometry g = Skin(0, 49);
    g.width = 49 + 23 + 4;
    ASSERT_EQ(g.Span(), 49);
    EXPECT_EQ(PositionToPixel(g, 1), 2 + 0 + 11);  // 1/49*49 truncates to 0
    EXPECT_EQ(PositionToPixel(g, 49), 2 + 49 + 11);
}

TEST(SliderMappingTest, PixelsToPositionsAtTheEnds) {
    SliderGeometry g = Skin();
    EXPECT_EQ(PixelToPosition(g, 13), 0);   // lowest target pixel
    EXPECT_EQ(PixelToPosition(g, 226), 100);
    EXPECT_EQ(PixelToPosition(g, 227), 100);  // highest target pixel, truncated
    EXPECT_EQ(PixelToPosition(g, 119), 49);   // 106 / 213 * 100 = 49.76
    g.rangeMin = 10;
    g.rangeMax = 20;
    EXPECT_EQ(PixelToPosition(g, 13), 10);
    EXPECT_EQ(PixelToPosition(g, 226), 20);
    // Truncation loses the last fraction: the pixel of position 11 reads back as 10.
    EXPECT_EQ(PixelToPosition(g, PositionToPixel(g, 11)), 10);
}

// A movie of 0 frames gives the range 0..0; a track no wider than thumb and
// margins has no span. Neither may divide by zero.
TEST(SliderMappingTest, EmptyRangeAndSpanKeepTheThumbAtTheLeft) {
    SliderGeometry g = Skin(0, 0);
    EXPECT_EQ(PositionToPixel(g, 0), 13);
    EXPECT_EQ(PositionToPixel(g, 5), 13);
    EXPECT_EQ(PixelToPosition(g, 200), 0);
    SliderGeometry narrow = Skin(0, 100);
    narrow.width = 27;
    ASSERT_EQ(narrow.Span(), 0);
    EXPECT_EQ(PositionToPixel(narrow, 100), 13);
    EXPECT_EQ(PixelToPosition(narrow, 20), 0);
}

TEST(SliderMappingTest, ExtremeValuesSaturate) {
    SliderGeometry g = Skin(INT_MIN, INT_MAX);
    EXPECT_EQ(PositionToPixel(g, INT_MIN), 13);
    EXPECT_EQ(PositionToPixel(g, INT_MAX), 226);
    EXPECT_EQ(PixelToPosition(g, 13), INT_MIN);
    SliderGeometry tiny = Skin(0, 1);
    EXPECT_EQ(PositionToPixel(tiny, INT_MAX), INT_MAX);
    EXPECT_EQ(PixelToPosition(Skin(0, INT_MAX), INT_MAX), INT_MAX);
}

}  // namespace
