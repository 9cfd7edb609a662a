// Strokes: widths and their scaling, hairlines and pixel hinting, caps,
// joins, the miter limit, closed outlines, and the order of strokes over
// fills.
#include <gtest/gtest.h>

#include "RasterTestUtil.h"
#include "swf/render/RasterBackend.h"
#include "swf/render/Stroker.h"

namespace swf {
namespace {

using namespace rastertest;

constexpr Rgba kBlack{0, 0, 0, 255};

struct StrokeCase {
    uint16_t width = 2 * kTw;
    CapStyle cap = CapStyle::None;
    JoinStyle join = JoinStyle::Miter;
    uint16_t miterLimit = 3 << 8;
    bool noClose = false;
    bool noScale = false;
    bool pixelHinting = false;
    Rgba color = kBlack;
};

Shape Polyline(const std::vector<Point>& pixels, const StrokeCase& c, int unit = kTw) {
    Shape s;
    s.layers.emplace_back();
    LineStyle l;
    l.width = c.width;
    l.color = c.color;
    l.startCap = l.endCap = c.cap;
    l.join = c.join;
    l.miterLimit = c.miterLimit;
    l.noClose = c.noClose;
    l.noHScale = l.noVScale = c.noScale;
    l.pixelHinting = c.pixelHinting;
    s.layers[0].lines = {l};
    std::vector<Point> pts;
    for (Point p : pixels) pts.push_back({p.x * unit, p.y * unit});
    AddEdges(s.layers[0], pts, 0, 1, false, false);
    for (ShapeEdge& e : s.layers[0].edges) e.fill1 = 0;
    return s;
}

FrameBuffer Draw(const Shape& s, int w, int h, const Matrix& m = {}) {
    FrameBuffer fb(w, h);
    RasterBackend backend(fb);
    backend.BeginFrame(Rgba{255, 255, 255, 255});
    backend.DrawShape(s, m, {});
    return fb;
}

// Coverage of black over white, read back from the blue channel.
int Ink(const FrameBuffer& fb, int x, int y) { return 255 - int(fb.At(x, y) & 0xFF); }

TEST(RasterStrokeTest, WidthAndCaps) {
    StrokeCase c;
    FrameBuffer none = Draw(Polyline({{2, 5}, {10, 5}}, c), 13, 9);
    for (int x = 2; x < 10; ++x) {
        EXPECT_EQ(Ink(none, x, 4), 255);
        EXPECT_EQ(Ink(none, x, 5), 255);
        EXPECT_EQ(Ink(none, x, 3), 0);
        EXPECT_EQ(Ink(none, x, 6), 0);
    }
    EXPECT_EQ(Ink(none, 1, 5), 0);
    EXPECT_EQ(Ink(none, 10, 5), 0);
    c.cap = CapStyle::Square;
    FrameBuffer square = Draw(Polyline({{2, 5}, {10, 5}}, c), 13, 9);
    EXPECT_EQ(Ink(square, 1, 4), 255);
    EXPECT_EQ(Ink(square, 10, 5), 255);
    EXPECT_EQ(Ink(square, 0, 5), 0);
    EXPECT_EQ(Ink(square, 11, 5), 0);
    c.cap = CapStyle::Round;
    FrameBuffer round = Draw(Polyline({{2, 5}, {10, 5}}, c), 13, 9);
    // A quarter of the cap circle: pi / 4 of the pixel = 200, a little less
    // for the 16-gon inside it (195).
    EXPECT_NEAR(Ink(round, 1, 4), 197, 4);
    EXPECT_NEAR(Ink(round, 10, 5), 197, 4);
    EXPECT_EQ(Ink(round, 0, 5), 0);
}

TEST(RasterStrokeTest, HairlinesAreOnePixelWide) {
    StrokeCase c;
    for (uint16_t width : {0, 5}) {
        c.width = width;
        FrameBuffer centred = Draw(Polyline({{4, 11}, {20, 11}}, c, kTw / 2), 12, 8);  // y = 5.5
        EXPECT_EQ(Ink(centred, 5, 5), 255);
        EXPECT_EQ(Ink(centred, 5, 4), 0);
        EXPECT_EQ(Ink(centred, 5, 6), 0);
        // On a pixel edge it would smear over two rows; it takes the one
        // before (as sampling at centres gives), with pixel hinting the one
        // after.
        FrameBuffer onEdge = Draw(Polyline({{2, 5}, {10, 5}}, c), 12, 8);  // y = 5.0
        EXPECT_EQ(Ink(onEdge, 5, 4), 255);
        EXPECT_EQ(Ink(onEdge, 5, 5), 0);
        StrokeCase hinted = c;
        hinted.pixelHinting = true;
        FrameBuffer snapped = Draw(Polyline({{2, 5}, {10, 5}}, hinted), 12, 8);
        EXPECT_EQ(Ink(snapped, 5, 4), 0);
        EXPECT_EQ(Ink(snapped, 5, 5), 255);
    }
}

// Lines at y = 5.3: the rows 3..7 they ink, hinted or not.
TEST(RasterStrokeTest, ThinAndPixelHintedLinesSnapToWholePixels) {
    struct Case {
        uint16_t width;
        bool pixelHinting;
        int scale;  // 16.16 denominator of the matrix's scale
        std::vector<int> ink;
    };
    const Case cases[] = {
        {kTw, false, 1, {0, 0, 255, 0, 0}},          // one pixel: always hinted
        {4 * kTw, false, 4, {0, 0, 255, 0, 0}},      // scaled down to one pixel
        {2 * kTw, true, 1, {0, 255, 255, 0, 0}},     // even: about a pixel corner
        {3 * kTw, true, 1, {0, 255, 255, 255, 0}},   // odd: about a pixel centre
        {kTw * 5 / 2, true, 1, {0, 255, 255, 255, 0}},  // 2.5 rounds to 3
        {3 * kTw, false, 1, {51, 255, 255, 204, 0}},  // 3.8 .. 6.8 unhinted
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.width * 10 + k.pixelHinting);
        StrokeCase c;
        c.width = k.width;
        c.pixelHinting = k.pixelHinting;
        const int unit = 2;  // twips, so that y = 53 units = 5.3 pixels
        const Matrix m = Matrix::Scale(kFixedOne / k.scale, kFixedOne / k.scale);
        FrameBuffer fb = Draw(Polyline({{20 * k.scale, 53 * k.scale}, {100 * k.scale, 53 * k.scale}}, c, unit),
                              12, 10, m);
        std::vector<int> ink;
        for (int y = 3; y <= 7; ++y) ink.push_back(Ink(fb, 6, y));
        EXPECT_EQ(ink, k.ink);
    }
}

TEST(RasterStrokeTest, WidthFollowsTheMatrixUnlessUnscaled) {
    StrokeCase c;  // 2 px wide
    const Matrix twice = Matrix::Scale(2 * kFixedOne, 2 * kFixedOne);
    FrameBuffer scaled = Draw(Polyline({{1, 3}, {5, 3}}, c), 12, 10, twice);  // y = 6, 4 px wide
    EXPECT_EQ(Ink(scaled, 4, 3), 0);
    EXPECT_EQ(Ink(scaled, 4, 4), 255);
    EXPECT_EQ(Ink(scaled, 4, 7), 255);
    EXPECT_EQ(Ink(scaled, 4, 8), 0);
    c.noScale = true;
    FrameBuffer fixed = Draw(Polyline({{1, 3}, {5, 3}}, c), 12, 10, twice);
    EXPECT_EQ(Ink(fixed, 4, 4), 0);
    EXPECT_EQ(Ink(fixed, 4, 5), 255);
    EXPECT_EQ(Ink(fixed, 4, 6), 255);
    EXPECT_EQ(Ink(fixed, 4, 7), 0);
}

TEST(RasterStrokeTest, NoHScaleAndNoVScaleKeepTheOtherAxisScale) {
    // Scaled 4x across and 1x down: the average scale is 2.
    const Matrix wide = Matrix::Scale(4 * kFixedOne, kFixedOne);
    struct Case {
        bool noH, noV;
        Subpixel halfWidth;  // of a 2 px stroke
    };
    const Case cases[] = {
        {false, false, 2 * kPx}, {true, false, kPx}, {false, true, 4 * kPx}, {true, true, kPx}};
    for (const Case& c : cases) {
        LineStyle l;
        l.width = 2 * kTw;
        l.noHScale = c.noH;
        l.noVScale = c.noV;
        EXPECT_EQ(StrokeHalfWidth(l, wide), c.halfWidth) << c.noH << c.noV;
    }
}

TEST(RasterStrokeTest, UnevenScaleWidensEachSideAlongItsOwnAxis) {
    // A 2 px outline of the square (2,2)-(6,6) scaled 4x across: the pen is
    // an ellipse, so the sides are 8 px wide and the top and bottom 2 px.
    StrokeCase c;
    const Matrix wide = Matrix::Scale(4 * kFixedOne, kFixedOne);
    FrameBuffer fb = Draw(Polyline({{2, 2}, {6, 2}, {6, 6}, {2, 6}, {2, 2}}, c), 30, 8, wide);
    const struct {
        int x, y, ink;
    } cases[] = {
        {3, 4, 0}, {4, 4, 255}, {11, 4, 255}, {12, 4, 0},    // left side: x 4..12
        {19, 4, 0}, {20, 4, 255}, {27, 4, 255}, {28, 4, 0},  // right side: x 20..28
        {16, 0, 0}, {16, 1, 255}, {16, 2, 255}, {16, 3, 0},  // top: y 1..3
        {16, 5, 255}, {16, 6, 255}, {16, 7, 0},              // bottom: y 5..7
    };
    for (const auto& k : cases) EXPECT_EQ(Ink(fb, k.x, k.y), k.ink) << k.x << "," << k.y;
}

TEST(RasterStrokeTest, JoinsAtARightAngle) {
    // 4 px wide, turning down at (10, 3): the outer corner is [10, 12] x [1, 3].
    StrokeCase c;
    c.width = 4 * kTw;
    c.join = JoinStyle::Miter;
    FrameBuffer miter = Draw(Polyline({{2, 3}, {10, 3}, {10, 12}}, c), 14, 14);
    EXPECT_EQ(Ink(miter, 11, 1), 255);
    EXPECT_EQ(Ink(miter, 10, 1), 255);
    c.join = JoinStyle::Bevel;
    FrameBuffer bevel = Draw(Polyline({{2, 3}, {10, 3}, {10, 12}}, c), 14, 14);
    EXPECT_EQ(Ink(bevel, 10, 1), 128);  // the bevel cuts these on the diagonal
    EXPECT_EQ(Ink(bevel, 11, 2), 128);
    EXPECT_EQ(Ink(bevel, 11, 1), 0);
    c.join = JoinStyle::Round;
    FrameBuffer round = Draw(Polyline({{2, 3}, {10, 3}, {10, 12}}, c), 14, 14);
    // Circle of radius 2 about (10, 3): it covers 0.913 of [10, 11] x [1, 2]
    // (233) and 0.32 of [11, 12] x [1, 2] (82); the polygon a little less.
    EXPECT_NEAR(Ink(round, 10, 1), 230, 5);
    EXPECT_NEAR(Ink(round, 11, 1), 77, 6);
}

TEST(RasterStrokeTest, MiterLimitFallsBackToBevel) {
    // A hairpin: the miter tip lies far right of the turn at x = 20.
    StrokeCase c;
    c.width = 2 * kTw;
    c.miterLimit = 20 << 8;
    FrameBuffer longTip = Draw(Polyline({{2, 4}, {20, 6}, {2, 8}}, c), 40, 12);
    EXPECT_GT(Ink(longTip, 24, 6), 0);
    c.miterLimit = 3 << 8;
    FrameBuffer limited = Draw(Polyline({{2, 4}, {20, 6}, {2, 8}}, c), 40, 12);
    EXPECT_EQ(Ink(limited, 24, 6), 0);
    EXPECT_EQ(Ink(limited, 22, 6), 0);
}

TEST(RasterStrokeTest, ClosedOutlinesJoinWhereTheyStart) {
    StrokeCase c;  // 2 px, miter, no caps
    const std::vector<Point> square = {{3, 3}, {10, 3}, {10, 10}, {3, 10}, {3, 3}};
    FrameBuffer closed = Draw(Polyline(square, c), 14, 14);
    EXPECT_EQ(Ink(closed, 2, 2), 255);
    EXPECT_EQ(Ink(closed, 10, 10), 255);
    EXPECT_EQ(Ink(closed, 6, 6), 0);
    c.noClose = true;
    FrameBuffer open = Draw(Polyline(square, c), 14, 14);
    EXPECT_EQ(Ink(open, 2, 2), 0);  // the start gets its cap (none) instead
    EXPECT_EQ(Ink(open, 10, 10), 255);
}

TEST(RasterStrokeTest, StrokesDrawOverFillsOncePerStyleRun) {
    Shape s;
    s.layers.emplace_back();
    ShapeLayer& l = s.layers[0];
    l.fills = {SolidFill(Rgba{255, 0, 0, 255})};
    LineStyle half;
    half.width = 2 * kTw;
    half.color = Rgba{0, 0, 0, 128};
    half.startCap = half.endCap = CapStyle::None;
    l.lines = {half};
    AddEdges(l, PixelRect(0, 0, 6, 6), 1);
    // Two separate crossing polylines of the same style, no fill.
    AddEdges(l, {{0, 3 * kTw}, {8 * kTw, 3 * kTw}}, 0, 1, false, false);
    AddEdges(l, {{7 * kTw, 0}, {7 * kTw, 6 * kTw}}, 0, 1, false, false);
    FrameBuffer fb = Draw(s, 9, 6);
    // Black at alpha 128 over red: 255 * 127 / 255 = 127 red left.
    EXPECT_EQ(fb.At(2, 2), 0xFF7F0000u);
    // Where the two polylines cross the ink is blended once, not twice.
    EXPECT_EQ(fb.At(7, 2), fb.At(7, 4));
    EXPECT_EQ(fb.At(7, 2), 0xFF7F7F7Fu);
}

TEST(RasterStrokeTest, DotsAndHugeStrokesStayBounded) {
    StrokeCase c;
    c.cap = CapStyle::Round;
    FrameBuffer dot = Draw(Polyline({{4, 4}, {4, 4}}, c), 8, 8);
    EXPECT_GT(Ink(dot, 3, 3), 0);
    c.cap = CapStyle::Square;
    FrameBuffer sq = Draw(Polyline({{4, 4}, {4, 4}}, c), 8, 8);
    EXPECT_EQ(Ink(sq, 3, 3), 255);
    EXPECT_EQ(Ink(sq, 4, 4), 255);
    EXPECT_EQ(Ink(sq, 5, 5), 0);
    c.width = 65535;
    c.join = JoinStyle::Round;
    Matrix huge = Matrix::Scale(INT32_MAX, INT32_MAX);
    huge.tx = huge.ty = 4 * kTw;
    FrameBuffer big = Draw(Polyline({{-100000, 0}, {0, 0}, {100000, 7}}, c, 1), 8, 8, huge);
    EXPECT_EQ(Ink(big, 4, 4), 255);
}

}  // namespace
}  // namespace swf
