// Shapes drawn again through the backend's kept spans: every pixel as a
// fresh draw gives it, whatever the colour transform, mask or change of
// shape and matrix between draws.
#include <gtest/gtest.h>

#include "RasterTestUtil.h"
#include "swf/model/FrameBuffer.h"
#include "swf/render/RasterBackend.h"
#include "swf/render/SpanRecording.h"

namespace {

using namespace swf;
using namespace swf::rastertest;

// A red triangle with a blue hairline round it, and a green box above.
Shape TwoLayers(int shift) {
    Shape s;
    ShapeLayer a;
    a.fills.push_back(FillStyle{});
    a.fills[0].color = {200, 0, 0, 255};
    LineStyle line;
    line.width = 40;
    line.color = {0, 0, 220, 160};
    a.lines.push_back(line);
    const std::vector<Point> tri{{(4 + shift) * kTw, 3 * kTw}, {40 * kTw, 9 * kTw}, {11 * kTw, 37 * kTw}};
    AddEdges(a, tri, 1, 1);
    ShapeLayer b;
    b.fills.push_back(FillStyle{});
    b.fills[0].color = {0, 180, 0, 128};
    AddEdges(b, PixelRect(20, 20, 45, 30), 1);
    s.layers = {a, b};
    s.bounds = s.edgeBounds = {0, 50 * kTw, 0, 50 * kTw};
    return s;
}

struct Draw {
    Shape shape;
    uint64_t key;
    Matrix m;
    ColorTransform cx;
    bool masked;
};

FrameBuffer Frame(RasterBackend& backend, FrameBuffer& fb, const Draw& d, bool cached) {
    backend.BeginFrame({255, 255, 255, 255});
    if (d.masked) {
        backend.PushMask();
        backend.DrawShape(TwoLayers(0), Matrix::Translate(300, 0), {});
        backend.ActivateMask();
    }
    if (cached)
        backend.DrawCachedShape(d.shape, d.key, d.m, d.cx);
    else
        backend.DrawShape(d.shape, d.m, d.cx);
    if (d.masked) backend.PopMask();
    backend.EndFrame();
    return fb;
}

TEST(SpanCacheTest, KeptSpansPaintWhatAFreshDrawPaints) {
    ColorTransform tint;
    tint.gAdd = 90;
    tint.aMul = 128;
    const uint64_t key = NewShapeCacheKey(), changed = NewShapeCacheKey();
    const Matrix rotated{40000, 20000, -20000, 40000, 100, 60};
    // One backend through the whole sequence, so later draws hit what
    // earlier ones kept (or must notice that they cannot).
    const std::vector<Draw> draws{
        {TwoLayers(0), key, Matrix::Translate(7, 13), {}, false},
        {TwoLayers(0), key, Matrix::Translate(7, 13), {}, false},     // replayed
        {TwoLayers(0), key, Matrix::Translate(7, 13), tint, false},   // other paint
        {TwoLayers(0), key, Matrix::Translate(7, 13), {}, true},      // through a mask
        {TwoLayers(0), key, rotated, {}, false},                      // moved
        {TwoLayers(9), changed, rotated, {}, false},                  // new content
        {TwoLayers(9), changed, rotated, tint, true},
    };
    FrameBuffer cachedFb(64, 48), freshFb(64, 48);
    RasterBackend cached(cachedFb), fresh(freshFb);
    for (size_t i = 0; i < draws.size(); ++i) {
        Frame(cached, cachedFb, draws[i], true);
        Frame(fresh, freshFb, draws[i], false);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(cachedFb.At(x, y), freshFb.At(x, y)) << "draw " << i << " at " << x << "," << y;
    }
}

TEST(SpanCacheTest, EntriesUnusedForAFrameAreDropped) {
    SpanCache cache;
    bool fresh = false;
    ASSERT_NE(cache.Find(1, {}, 10, 10, &fresh), nullptr);
    EXPECT_TRUE(fresh);
    cache.NextFrame();
    ASSERT_NE(cache.Find(1, {}, 10, 10, &fresh), nullptr);
    EXPECT_FALSE(fresh);
    cache.Find(2, {}, 10, 10, &fresh);
    cache.NextFrame();
    cache.Find(2, {}, 10, 10, &fresh);  // only 2 drawn this frame
    cache.NextFrame();
    EXPECT_EQ(cache.Entries(), 1u);
    for (uint64_t k = 10; k < 10 + SpanCache::kMaxEntries; ++k) cache.Find(k, {}, 10, 10, &fresh);
    EXPECT_EQ(cache.Entries(), SpanCache::kMaxEntries);
}

}  // namespace
