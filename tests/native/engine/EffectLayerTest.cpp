// Layer cropping, whole-pixel snapping and the bitmap cache's reuse rules.
#include <gtest/gtest.h>

#include "swf/render/EffectLayer.h"
#include "swf/render/ScalingGrid.h"

namespace {

using swf::BitmapCache;
using swf::CacheKey;
using swf::Matrix;

TEST(EffectLayerTest, CropKeepsTheDrawnPixelsAndTellsIfTheEdgeCutThem) {
    swf::FrameBuffer layer(10, 8);
    bool edge = true;
    EXPECT_EQ(0, swf::CropToDrawn(layer, &edge).pixels.Width());
    EXPECT_FALSE(edge);
    layer.Row(2)[3] = 0x80800000u;
    layer.Row(5)[6] = 0x01000000u;
    swf::EffectImage img = swf::CropToDrawn(layer, &edge);
    EXPECT_FALSE(edge);
    EXPECT_EQ(3, img.x);
    EXPECT_EQ(2, img.y);
    ASSERT_EQ(4, img.pixels.Width());
    ASSERT_EQ(4, img.pixels.Height());
    EXPECT_EQ(0x80800000u, img.pixels.At(0, 0));
    EXPECT_EQ(0x01000000u, img.pixels.At(3, 3));
    layer.Row(7)[0] = 0xFF000000u;
    swf::CropToDrawn(layer, &edge);
    EXPECT_TRUE(edge);
}

TEST(EffectLayerTest, SnapPutsTheBoundsCornerOnAWholePixel) {
    // Halves round up; a corner before the origin (a stroke's half width)
    // keeps the drawing that fraction off the pixel grid.
    struct Case { int32_t corner, in, out; } cases[] = {
        {0, 0, 0}, {0, 9, 0}, {0, 10, 20}, {0, 29, 20}, {0, -9, 0}, {0, -10, 0}, {0, -11, -20},
        {0, -30, -20}, {0, -31, -40},
        {-10, 1760, 1770}, {-10, 1739, 1730}, {-10, 6120, 6130}, {-100, 500, 500}, {-10, 4090, 4090},
    };
    for (const Case& c : cases) {
        Matrix m = Matrix::Translate(c.in, c.in);
        m.a = 2 * swf::kFixedOne;
        m.d = swf::kFixedOne;
        const swf::Rect bounds = c.corner == 0 ? swf::Rect{} : swf::Rect{c.corner / 2, 600, c.corner, 600};
        Matrix s = swf::SnapToPixels(m, bounds);
        EXPECT_EQ(c.out, s.tx) << c.corner << " " << c.in;
        EXPECT_EQ(c.out, s.ty) << c.corner << " " << c.in;
        EXPECT_EQ(2 * swf::kFixedOne, s.a);
    }
}

swf::EffectImage Picture() {
    swf::EffectImage img;
    img.pixels.Resize(2, 2);
    img.x = 5;
    img.y = 6;
    return img;
}

CacheKey Key(uint64_t version, int32_t tx = 0) {
    CacheKey k;
    k.version = version;
    k.toTarget = Matrix::Translate(tx, 0);
    return k;
}

TEST(EffectLayerTest, CacheIsReusedOnlyWhileNothingChanged) {
    CacheKey scaled = Key(1);
    scaled.toTarget.a = 2 * swf::kFixedOne;
    CacheKey tinted = Key(1);
    tinted.cxform.rAdd = 5;
    CacheKey zoomed = Key(1);
    zoomed.scale.x = 2 * swf::kFixedOne;
    struct Case { const char* name; CacheKey key; bool cut; bool hit; int x; } cases[] = {
        {"same", Key(1), false, true, 5},
        {"child changed", Key(2), false, false, 0},
        {"scaled", scaled, false, false, 0},
        {"tinted", tinted, false, false, 0},
        {"view zoomed", zoomed, false, false, 0},
        {"moved 3 pixels", Key(1, 60), false, true, 8},
        {"moved while cut by the edge", Key(1, 60), true, false, 0},
    };
    for (const auto& c : cases) {
        BitmapCache cache;
        cache.Store(7, Key(1), Picture(), c.cut);
        const swf::EffectImage* got = cache.Find(7, c.key);
        EXPECT_EQ(c.hit, got != nullptr) << c.name;
        if (got) EXPECT_EQ(c.x, got->x) << c.name;
        EXPECT_EQ(nullptr, cache.Find(8, c.key)) << c.name;
    }
}

TEST(EffectLayerTest, CacheDropsPicturesAFrameDidNotUse) {
    BitmapCache cache;
    cache.Store(1, Key(1), Picture(), false);
    cache.Store(2, Key(1), Picture(), false);
    cache.EndFrame();  // both stored this frame
    EXPECT_EQ(2u, cache.Size());
    EXPECT_NE(nullptr, cache.Find(1, Key(1)));
    cache.EndFrame();
    EXPECT_EQ(1u, cache.Size());
    EXPECT_EQ(nullptr, cache.Find(2, Key(1)));
}

// Bounds 0..100 twips on both axes, centre 20..80.
TEST(NineSliceTest, SidesKeepTheirSizeAndTheCentreStretches) {
    const swf::Rect bounds{0, 100, 0, 100}, center{20, 80, 20, 80};
    struct Case { const char* name; Matrix own; int32_t in[5]; int32_t out[5]; } cases[] = {
        {"twice as wide", Matrix::Scale(2 * swf::kFixedOne, swf::kFixedOne), {0, 20, 50, 80, 100}, {0, 10, 50, 90, 100}},
        {"half as wide", Matrix::Scale(swf::kFixedOne / 2, swf::kFixedOne), {0, 20, 35, 80, 100}, {0, 40, 45, 60, 100}},
        {"too small: unwarped", Matrix::Scale(swf::kFixedOne / 10, swf::kFixedOne), {0, 20, 50, 80, 100}, {0, 20, 50, 80, 100}},
        {"unscaled", Matrix(), {0, 10, 50, 90, 100}, {0, 10, 50, 90, 100}},
    };
    for (const auto& c : cases) {
        swf::NineSlice n(bounds, center, c.own);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(c.out[i], n.Map({c.in[i], 0}).x) << c.name << " x=" << c.in[i];
            EXPECT_EQ(c.in[i], n.Map({0, c.in[i]}).y) << c.name << " (y unscaled)";
        }
    }
    Matrix turned;  // a quarter turn at twice the size: the x axis's scale is 2
    turned.a = turned.d = 0;
    turned.b = 2 * swf::kFixedOne;
    turned.c = -2 * swf::kFixedOne;
    EXPECT_EQ(10, swf::NineSlice(bounds, center, turned).Map({20, 20}).x);
}

TEST(NineSliceTest, WarpMovesChildEdgesIntoTheObjectsSpace) {
    swf::Shape s;
    s.bounds = s.edgeBounds = {0, 50, 0, 50};
    s.layers.resize(1);
    swf::ShapeEdge e;
    e.from = {0, 0};
    e.to = {40, 0};
    s.layers[0].edges.push_back(e);
    swf::NineSlice n({0, 100, 0, 100}, {20, 80, 20, 80}, Matrix::Scale(2 * swf::kFixedOne, swf::kFixedOne));
    swf::Shape w = n.Warp(s, Matrix::Translate(50, 0));  // the child sits at x = 50
    EXPECT_EQ((swf::Point{50, 0}), w.layers[0].edges[0].from);
    EXPECT_EQ((swf::Point{95, 0}), w.layers[0].edges[0].to);  // 90 is in the right side
    EXPECT_EQ(50, w.bounds.xMin);
    EXPECT_EQ(100, w.bounds.xMax);
}

}  // namespace
