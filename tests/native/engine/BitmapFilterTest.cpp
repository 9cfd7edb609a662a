// BitmapData.applyFilter's pixel side: a filter over a rectangle of one
// bitmap written at a point of another, grown by what it spreads and cut
// at the target's edges.
#include <gtest/gtest.h>

#include "swf/classes/BitmapFilter.h"
#include "tools/swfmake/FilterWriter.h"

namespace {

using swf::BitmapData;
using swf::PixelRect;

constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kBlack = 0xFF000000u, kClear = 0;

// A 20 x 20 clear bitmap with a red 4 x 4 square at (8, 8).
std::unique_ptr<BitmapData> Source(swf::BitmapMemory& memory) {
    auto b = BitmapData::Create(20, 20, true, kClear, memory);
    b->FillRect({8, 8, 4, 4}, kRed);
    return b;
}

swf::Filter RedToBlue() {
    swf::Filter f;
    f.kind = swf::FilterKind::ColorMatrix;
    f.matrix = {};
    f.matrix[2 * 5 + 0] = swf::kFixedOne;  // blue takes red
    f.matrix[3 * 5 + 3] = swf::kFixedOne;
    return f;
}

TEST(BitmapFilterTest, FiltersARectangleIntoAnotherBitmapAtAPoint) {
    swf::BitmapMemory memory;
    auto source = Source(memory);
    auto target = BitmapData::Create(20, 20, true, kClear, memory);
    ASSERT_TRUE(swf::ApplyBitmapFilter(*target, *source, {8, 8, 4, 4}, 2, 3, RedToBlue()));
    EXPECT_EQ(target->GetPixel32(2, 3), kBlue);
    EXPECT_EQ(target->GetPixel32(5, 6), kBlue);
    EXPECT_EQ(target->GetPixel32(6, 6), kClear);
    EXPECT_EQ(source->GetPixel32(8, 8), kRed);
}

TEST(BitmapFilterTest, AShadowGrowsPastTheRectangleAndIsCutAtTheEdges) {
    swf::BitmapMemory memory;
    auto source = Source(memory);
    // In place: the 4-pixel shadow of the square lands right of it.
    const swf::Filter shadow = swfmake::DropShadowFilter({0, 0, 0, 255}, 0, 4, 0);
    ASSERT_TRUE(swf::ApplyBitmapFilter(*source, *source, {8, 8, 4, 4}, 8, 8, shadow));
    EXPECT_EQ(source->GetPixel32(9, 9), kRed);
    EXPECT_EQ(source->GetPixel32(14, 9), kBlack);
    EXPECT_EQ(source->GetPixel32(16, 9), kClear);
    // Written past the corner: what falls outside is dropped.
    auto small = BitmapData::Create(4, 4, true, kClear, memory);
    EXPECT_TRUE(swf::ApplyBitmapFilter(*small, *source, {8, 8, 4, 4}, 2, 2, RedToBlue()));
    EXPECT_EQ(small->GetPixel32(3, 3), kBlue);
    EXPECT_FALSE(swf::ApplyBitmapFilter(*small, *source, {30, 30, 4, 4}, 0, 0, RedToBlue()));
    small->Dispose();
    EXPECT_FALSE(swf::ApplyBitmapFilter(*small, *source, {8, 8, 4, 4}, 0, 0, RedToBlue()));
}

}  // namespace
