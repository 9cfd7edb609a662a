// The rasteriser on its own: exact coverage values, the nonzero rule,
// clipping of any coordinate, and band splitting that changes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "RasterTestUtil.h"
#include "swf/render/Flatten.h"

namespace swf {

struct RasterizerTestAccess {
    static void SetBandRows(Rasterizer& r, int32_t rows) { r.forcedBandRows_ = rows; }
    static void SetReferenceSweep(Rasterizer& r, bool on) { r.referenceSweep_ = on; }
};

namespace {

using namespace rastertest;

CoverageImage RenderPolys(int w, int h, const std::vector<std::vector<Point64>>& polys, int bandRows = 0,
                          bool reference = false) {
    Rasterizer r;
    r.Reset(w, h);
    r.SetExpectClosed(true);
    RasterizerTestAccess::SetBandRows(r, bandRows);
    RasterizerTestAccess::SetReferenceSweep(r, reference);
    for (const auto& p : polys) AddPolygon(r, p);
    CoverageImage img(w, h);
    r.Render(img);
    EXPECT_TRUE(img.ordered);
    return img;
}

std::vector<Point64> Rect64(Subpixel x0, Subpixel y0, Subpixel x1, Subpixel y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

TEST(RasterTest, SquareOnPixelBoundariesIsFullInsideAndEmptyOutside) {
    for (bool reversed : {false, true}) {
        auto sq = Rect64(2 * kPx, 3 * kPx, 6 * kPx, 7 * kPx);
        if (reversed) std::reverse(sq.begin(), sq.end());
        CoverageImage img = RenderPolys(10, 10, {sq});
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
                EXPECT_EQ(img.At(x, y), inside ? 255 : 0) << x << "," << y << " reversed " << reversed;
            }
    }
}

TEST(RasterTest, PartialPixelsRoundHalfUp) {
    // Left edge at x = 2.5: half of column 2 -> 127.5 -> 128.
    CoverageImage half = RenderPolys(8, 4, {Rect64(2 * kPx + kPx / 2, 0, 6 * kPx, 4 * kPx)});
    EXPECT_EQ(half.At(2, 1), 128);
    EXPECT_EQ(half.At(3, 1), 255);
    EXPECT_EQ(half.At(1, 1), 0);
    // A quarter pixel (top edge at 0.75 of row 1, left at 0.5 of column 2).
    CoverageImage quarter = RenderPolys(8, 4, {Rect64(2 * kPx + kPx / 2, kPx + 3 * kPx / 4, 6 * kPx, 4 * kPx)});
    EXPECT_EQ(quarter.At(2, 1), 32);  // 0.125 * 255 = 31.9
    EXPECT_EQ(quarter.At(3, 1), 64);  // 0.25 * 255 = 63.75
    // The diagonal of a pixel cuts it in half.
    CoverageImage tri = RenderPolys(4, 4, {{{kPx, kPx}, {2 * kPx, kPx}, {2 * kPx, 2 * kPx}}});
    EXPECT_EQ(tri.At(1, 1), 128);
    EXPECT_EQ(tri.Sum(), 128);
}

TEST(RasterTest, NonzeroRuleAcrossContoursInAnyOrder) {
    auto a = Rect64(0, 0, 6 * kPx, 6 * kPx);
    auto b = Rect64(3 * kPx, 3 * kPx, 9 * kPx, 9 * kPx);
    CoverageImage same = RenderPolys(10, 10, {a, b});
    EXPECT_EQ(same.At(4, 4), 255);  // winding 2 is still inside
    auto hole = Rect64(2 * kPx, 2 * kPx, 4 * kPx, 4 * kPx);
    std::reverse(hole.begin(), hole.end());
    CoverageImage withHole = RenderPolys(10, 10, {a, hole});
    EXPECT_EQ(withHole.At(3, 3), 0);
    EXPECT_EQ(withHole.At(1, 1), 255);
    // The same lines added one by one in a scrambled order give the same bytes.
    std::vector<std::pair<Point64, Point64>> lines;
    for (const auto& poly : {a, hole})
        for (size_t i = 0; i < poly.size(); ++i) lines.push_back({poly[i], poly[(i + 1) % poly.size()]});
    std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
    Rasterizer r;
    r.Reset(10, 10);
    for (const auto& l : lines) r.AddLine(l.first, l.second);
    CoverageImage scrambled(10, 10);
    r.Render(scrambled);
    EXPECT_EQ(scrambled.alpha, withHole.alpha);
}

TEST(RasterTest, BandSplittingAndTheSparseSweepGiveIdenticalBytes) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-3 * kPx, 43 * kPx);
    std::vector<std::vector<Point64>> polys;
    for (int i = 0; i < 6; ++i) {
        std::vector<Point64> p;
        for (int k = 0; k < 7; ++k) p.push_back({coord(rng), coord(rng)});
        polys.push_back(p);
    }
    CoverageImage whole = RenderPolys(40, 40, polys);
    for (int rows : {1, 3, 16}) EXPECT_EQ(RenderPolys(40, 40, polys, rows).alpha, whole.alpha) << rows;
    EXPECT_EQ(RenderPolys(40, 40, polys, 0, true).alpha, whole.alpha);
    // Reusing one rasteriser leaves no cells behind between renders.
    Rasterizer r;
    for (bool reference : {false, true, false}) {
        r.Reset(40, 40);
        RasterizerTestAccess::SetReferenceSweep(r, reference);
        for (const auto& p : polys) AddPolygon(r, p);
        CoverageImage again(40, 40);
        r.Render(again);
        EXPECT_EQ(again.alpha, whole.alpha) << reference;
    }
}

TEST(RasterTest, CoverageSumMatchesPolygonArea) {
    // A triangle with area 8.5 * 6 = 51 pixels, edges at odd slopes.
    std::vector<Point64> tri = {{kPx + 37, kPx + 11}, {18 * kPx + 37, kPx + 11}, {5 * kPx + 200, 7 * kPx + 11}};
    CoverageImage img = RenderPolys(20, 10, {tri});
    const int64_t twiceArea = (17 * kPx) * (6 * kPx);
    const double expected = twiceArea / 2.0 / (kPx * kPx) * 255;
    EXPECT_NEAR(double(img.Sum()), expected, 0.5 * 40);  // at most half a unit per edge pixel
}

TEST(RasterTest, ClipsAnyCoordinateWithoutChangingWhatIsVisible) {
    // A square far larger than the target covers all of it.
    const Subpixel huge = Subpixel(1) << 45;
    CoverageImage all = RenderPolys(8, 6, {Rect64(-huge, -huge, huge, huge)});
    for (uint8_t a : all.alpha) EXPECT_EQ(a, 255);
    // A half plane x >= 3 built from a triangle with far-away corners.
    CoverageImage half = RenderPolys(8, 6, {{{3 * kPx, -huge}, {huge, -huge}, {huge, huge}, {3 * kPx, huge}}});
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(half.At(2, y), 0);
        EXPECT_EQ(half.At(3, y), 255);
        EXPECT_EQ(half.At(7, y), 255);
    }
    // A thin sliver from far left to far right crossing row 2 exactly.
    CoverageImage sliver = RenderPolys(8, 6, {Rect64(-huge, 2 * kPx, huge, 3 * kPx)});
    for (int x = 0; x < 8; ++x) EXPECT_EQ(sliver.At(x, 2), 255);
    EXPECT_EQ(sliver.Sum(), 8 * 255);
    // Extremes of the 64-bit range do not overflow (UBSan checks).
    const Subpixel edge = INT64_MAX / 4;
    RenderPolys(8, 6, {{{-edge, -edge}, {edge, 3}, {5, edge}}});
}

TEST(RasterTest, HugeCurvesCostPointsByTargetSizeOnly) {
    // A curve 2^40 subpixels across whose hull overlaps a 16-pixel box.
    const Box keep{0, 0, 16 * kPx, 16 * kPx};
    const Subpixel far = Subpixel(1) << 40;
    std::vector<Point64> out;
    FlattenQuad({-far, 8 * kPx}, {0, -far}, {far, 8 * kPx}, keep, out);
    EXPECT_LT(out.size(), 200u);
    EXPECT_EQ(out.back(), (Point64{far, 8 * kPx}));
    // Inside the box the flattening still follows the curve closely.
    out.clear();
    FlattenQuad({0, 0}, {16 * kPx, 0}, {16 * kPx, 16 * kPx}, keep, out);
    EXPECT_GE(out.size(), 8u);
    const Point64 mid = out[out.size() / 2 - 1];
    // Every point lies on x = 16 (2t - t^2), y = 16 t^2 for some t.
    EXPECT_NEAR(double(mid.x) / kPx, 16 * (1 - std::pow(1 - std::sqrt(double(mid.y) / kPx / 16), 2)), 0.02);
}

TEST(RasterTest, OpenInputFillsToTheRightEdge) {
    Rasterizer r;
    r.Reset(6, 2);
    r.AddLine({2 * kPx, 0}, {2 * kPx, 2 * kPx});  // one edge alone
    CoverageImage img(6, 2);
    r.Render(img);
    EXPECT_EQ(img.At(1, 0), 0);
    EXPECT_EQ(img.At(2, 0), 255);
    EXPECT_EQ(img.At(5, 1), 255);
}

}  // namespace
}  // namespace swf
