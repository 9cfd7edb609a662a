// Script-made bitmaps: their pixels after each operation, their limits and
// their memory budget.
#include <gtest/gtest.h>

#include "swf/render/RenderBackend.h"
#include "swf/classes/BitmapData.h"
#include "swf/classes/Drawing.h"

namespace swf {
namespace {

TEST(BitmapDataTest, SizesOutsideTheLimitsAndPastTheBudgetAreRefused) {
    BitmapMemory memory(size_t(2880) * 2880 * 4 + 100);
    EXPECT_FALSE(BitmapData::Create(0, 10, true, 0, memory));
    EXPECT_FALSE(BitmapData::Create(10, 8192, true, 0, memory));
    EXPECT_FALSE(BitmapData::FitsVersion(2881, 1, 9));
    EXPECT_TRUE(BitmapData::FitsVersion(2881, 1, 10));
    EXPECT_FALSE(BitmapData::FitsVersion(4096, 4096, 10));
    EXPECT_FALSE(BitmapData::Create(-5, -5, true, 0, memory));
    auto big = BitmapData::Create(2880, 2880, true, 0, memory);
    ASSERT_TRUE(big);
    EXPECT_FALSE(BitmapData::Create(10, 10, true, 0, memory));  // budget spent
    big->Dispose();
    EXPECT_EQ(big->Width(), -1);
    EXPECT_EQ(big->GetPixel32(0, 0), 0u);
    EXPECT_TRUE(BitmapData::Create(10, 10, true, 0, memory));
    big.reset();  // disposing twice gives the memory back once
    EXPECT_EQ(memory.Used(), 0u);
}

TEST(BitmapDataTest, PixelsReadBackAsWrittenUpToPremultiplication) {
    BitmapMemory memory;
    auto b = BitmapData::Create(4, 3, true, 0x80FF0000u, memory);
    EXPECT_EQ(b->GetPixel32(3, 2), 0x80FF0000u);
    b->SetPixel32(1, 1, 0x40123456u);
    EXPECT_EQ(b->GetPixel32(1, 1), 0x40143458u);  // lost to premultiplying
    b->SetPixel(1, 1, 0xFFFFFF);                  // colour only, alpha kept
    EXPECT_EQ(b->GetPixel32(1, 1), 0x40FFFFFFu);
    EXPECT_EQ(b->GetPixel(1, 1), 0xFFFFFFu);
    b->SetPixel32(0, 0, 0x00ABCDEFu);  // fully transparent keeps no colour
    EXPECT_EQ(b->GetPixel32(0, 0), 0u);
    b->SetPixel32(9, 9, 0xFFFFFFFFu);  // outside: nothing happens
    EXPECT_EQ(b->GetPixel32(9, 9), 0u);

    auto opaque = BitmapData::Create(2, 2, false, 0x00336699u, memory);
    EXPECT_EQ(opaque->GetPixel32(0, 0), 0xFF336699u);
    opaque->SetPixel32(1, 1, 0x10FF0000u);
    EXPECT_EQ(opaque->GetPixel32(1, 1), 0xFFFF0000u);
}

TEST(BitmapDataTest, FillCopyAndColourTransformStayInsideTheirRectangles) {
    BitmapMemory memory;
    auto dst = BitmapData::Create(6, 6, false, 0xFFFFFFFFu, memory);
    dst->FillRect({-2, 4, 4, 10}, 0xFF0000FFu);  // clipped to x 0..1, y 4..5
    EXPECT_EQ(dst->GetPixel(1, 5), 0x0000FFu);
    EXPECT_EQ(dst->GetPixel(2, 5), 0xFFFFFFu);
    EXPECT_EQ(dst->GetPixel(1, 3), 0xFFFFFFu);

    auto src = BitmapData::Create(3, 3, true, 0x80FF0000u, memory);
    src->SetPixel32(0, 0, 0xFF00FF00u);
    dst->CopyPixels(*src, {-1, -1, 3, 3}, 4, 4, true);  // only src 0..1 lands, at 5,5
    EXPECT_EQ(dst->GetPixel(5, 5), 0x00FF00u);
    EXPECT_EQ(dst->GetPixel(4, 4), 0xFFFFFFu);
    dst->CopyPixels(*src, {1, 1, 2, 2}, 0, 0, true);  // half red over white
    EXPECT_EQ(dst->GetPixel32(0, 0), 0xFFFF7F7Fu);
    // No merge onto an opaque bitmap: the colour as kept (premultiplied), made opaque.
    dst->CopyPixels(*src, {1, 1, 1, 1}, 2, 0, false);
    EXPECT_EQ(dst->GetPixel32(2, 0), 0xFF800000u);

    ColorTransform invert;
    invert.rMul = invert.gMul = invert.bMul = -256;
    invert.rAdd = invert.gAdd = invert.bAdd = 255;
    dst->ApplyColorTransform({2, 0, 1, 1}, invert);
    EXPECT_EQ(dst->GetPixel(2, 0), 0x7FFFFFu);
    EXPECT_EQ(dst->GetPixel(3, 0), 0xFFFFFFu);
}

TEST(BitmapDataTest, CopyOntoItselfMovesTheOriginalPixels) {
    BitmapMemory memory;
    auto b = BitmapData::Create(1, 4, false, 0, memory);
    for (int y = 0; y < 4; ++y) b->SetPixel(0, y, uint32_t(y + 1));
    b->CopyPixels(*b, {0, 0, 1, 3}, 0, 1, false);  // shift down by one
    EXPECT_EQ(b->GetPixel(0, 1), 1u);
    EXPECT_EQ(b->GetPixel(0, 2), 2u);
    EXPECT_EQ(b->GetPixel(0, 3), 3u);
    b->CopyPixels(*b, {0, 1, 1, 3}, 0, 0, false);  // and back up
    EXPECT_EQ(b->GetPixel(0, 0), 1u);
    EXPECT_EQ(b->GetPixel(0, 2), 3u);
}

TEST(BitmapDataTest, DrawRendersShapesOverThePixels) {
    BitmapMemory memory;
    auto b = BitmapData::Create(8, 8, true, 0, memory);
    Drawing d;
    d.BeginFill({0, 0, 255, 255});
    d.MoveTo({40, 40});
    d.LineTo({120, 40});
    d.LineTo({120, 120});
    d.LineTo({40, 120});
    d.EndFill();
    b->Draw([&](RenderBackend& r) { r.DrawShape(d.GetShape(), Matrix::Translate(40, 0), ColorTransform{}); });
    EXPECT_EQ(b->GetPixel32(4, 2), 0xFF0000FFu);
    EXPECT_EQ(b->GetPixel32(7, 5), 0xFF0000FFu);
    EXPECT_EQ(b->GetPixel32(3, 2), 0u);
    EXPECT_EQ(b->GetPixel32(7, 6), 0u);
}

}  // namespace
}  // namespace swf
