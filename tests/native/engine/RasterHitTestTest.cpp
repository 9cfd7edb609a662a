// ShapeHitTest: fills by the winding of their own edges, strokes by their
// drawn outline (caps, hairlines), points in target twips.
#include <gtest/gtest.h>

#include "RasterTestUtil.h"
#include "swf/render/RenderBackend.h"
#include "swf/render/RasterBackend.h"

namespace swf {
namespace {

using namespace rastertest;

Shape Square(bool leftFill) {
    Shape s;
    s.layers.emplace_back();
    s.layers[0].fills = {SolidFill(Rgba{})};
    AddEdges(s.layers[0], PixelRect(2, 2, 6, 6), 1, 0, leftFill);
    return s;
}

Shape Line(uint16_t width, CapStyle cap) {
    Shape s;
    s.layers.emplace_back();
    LineStyle l;
    l.width = width;
    l.startCap = l.endCap = cap;
    s.layers[0].lines = {l};
    AddEdges(s.layers[0], {{2 * kTw, 5 * kTw}, {10 * kTw, 5 * kTw}}, 0, 1, false, false);
    s.layers[0].edges[0].fill1 = 0;
    return s;
}

TEST(RasterHitTestTest, FillsByWindingOfTheirOwnEdges) {
    for (bool left : {false, true}) {
        const Shape s = Square(left);
        EXPECT_TRUE(ShapeHitTest(s, {}, {4 * kTw, 4 * kTw}));
        EXPECT_TRUE(ShapeHitTest(s, {}, {2 * kTw, 2 * kTw}));  // the top-left corner is inside
        EXPECT_FALSE(ShapeHitTest(s, {}, {6 * kTw + 1, 4 * kTw}));
        EXPECT_FALSE(ShapeHitTest(s, {}, {1 * kTw, 4 * kTw}));
    }
    // The matrix places the shape; target twips are 1/20 pixel.
    EXPECT_TRUE(ShapeHitTest(Square(false), Matrix::Translate(100 * kTw, 0), {104 * kTw, 4 * kTw}));
    EXPECT_FALSE(ShapeHitTest(Square(false), Matrix::Translate(100 * kTw, 0), {4 * kTw, 4 * kTw}));
    // Two fills whose windings would cancel if summed: each counts alone.
    Shape two = Square(false);
    two.layers[0].fills.push_back(SolidFill(Rgba{}));
    AddEdges(two.layers[0], {{2 * kTw, 2 * kTw}, {2 * kTw, 6 * kTw}, {6 * kTw, 6 * kTw}, {6 * kTw, 2 * kTw}}, 2);
    EXPECT_TRUE(ShapeHitTest(two, {}, {4 * kTw, 4 * kTw}));
    // Undefined fill indices hit nothing.
    Shape bad = Square(false);
    for (ShapeEdge& e : bad.layers[0].edges) e.fill1 = 7;
    EXPECT_FALSE(ShapeHitTest(bad, {}, {4 * kTw, 4 * kTw}));
}

TEST(RasterHitTestTest, StrokesWithinHalfTheirWidth) {
    const Shape s = Line(2 * kTw, CapStyle::None);  // 1 px either side of y = 5
    EXPECT_TRUE(ShapeHitTest(s, {}, {5 * kTw, 5 * kTw + 19}));
    EXPECT_TRUE(ShapeHitTest(s, {}, {5 * kTw, 4 * kTw + 1}));
    EXPECT_FALSE(ShapeHitTest(s, {}, {5 * kTw, 6 * kTw + 1}));
    EXPECT_FALSE(ShapeHitTest(s, {}, {1 * kTw + 10, 5 * kTw}));  // beyond the end, no cap
    EXPECT_TRUE(ShapeHitTest(Line(2 * kTw, CapStyle::Square), {}, {1 * kTw + 10, 5 * kTw}));
    EXPECT_TRUE(ShapeHitTest(Line(2 * kTw, CapStyle::Round), {}, {1 * kTw + 10, 5 * kTw}));
    EXPECT_FALSE(ShapeHitTest(Line(2 * kTw, CapStyle::Round), {}, {1 * kTw + 2, 4 * kTw + 2}));
    // A hairline is hit within half a pixel, as it is drawn one pixel wide.
    const Shape hair = Line(0, CapStyle::None);
    EXPECT_TRUE(ShapeHitTest(hair, {}, {5 * kTw, 5 * kTw + 9}));
    EXPECT_FALSE(ShapeHitTest(hair, {}, {5 * kTw, 5 * kTw + 11}));
}

TEST(RasterHitTestTest, WhatIsDrawnIsWhatIsHit) {
    // A curved fill and a thick stroke with every cap and join, drawn
    // opaque: fully covered pixels must hit at their centre, empty ones not.
    Shape s;
    s.layers.emplace_back();
    ShapeLayer& l = s.layers[0];
    l.fills = {SolidFill(Rgba{255, 255, 255, 255})};
    for (JoinStyle join : {JoinStyle::Round, JoinStyle::Bevel, JoinStyle::Miter}) {
        LineStyle line;
        line.width = 3 * kTw;
        line.color = Rgba{255, 255, 255, 255};
        line.join = join;
        line.startCap = CapStyle::Square;
        line.endCap = CapStyle::Round;
        l.lines.push_back(line);
    }
    ShapeEdge arc;
    arc.from = {2 * kTw, 2 * kTw};
    arc.control = {20 * kTw, 0};
    arc.to = {14 * kTw, 12 * kTw};
    arc.curved = true;
    arc.fill1 = 1;
    l.edges.push_back(arc);
    AddEdges(l, {{14 * kTw, 12 * kTw}, {2 * kTw, 2 * kTw}}, 1, 0, false, false);
    for (uint16_t i = 0; i < 3; ++i)
        AddEdges(l, {{(4 + 9 * i) * kTw, 20 * kTw}, {(8 + 9 * i) * kTw, 14 * kTw}, {(11 + 9 * i) * kTw, 22 * kTw}},
                 0, uint16_t(i + 1), false, false);
    const Matrix m{70000, 9000, -12000, 64000, 5 * kTw, 3 * kTw};
    FrameBuffer fb(40, 30);
    RasterBackend backend(fb);
    backend.DrawShape(s, m, {});
    int checked = 0, inside = 0;
    for (int y = 0; y < fb.Height(); ++y)
        for (int x = 0; x < fb.Width(); ++x) {
            const uint32_t alpha = fb.At(x, y) >> 24;
            if (alpha != 0 && alpha != 255) continue;
            const Point centre{x * kTw + kTw / 2, y * kTw + kTw / 2};
            EXPECT_EQ(ShapeHitTest(s, m, centre), alpha == 255) << x << "," << y;
            ++checked;
            inside += alpha == 255;
        }
    EXPECT_GT(checked, 900);
    EXPECT_GT(inside, 100);
}

TEST(RasterHitTestTest, EmptyAndHostileShapesAnswerQuickly) {
    EXPECT_FALSE(ShapeHitTest(Shape{}, {}, {0, 0}));
    Shape wide;
    wide.layers.emplace_back();
    wide.layers[0].fills = {SolidFill(Rgba{})};
    AddEdges(wide.layers[0], {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}}, 1);
    const Matrix big = Matrix::Scale(INT32_MAX, INT32_MAX);
    EXPECT_TRUE(ShapeHitTest(wide, big, {0, 0}));
    EXPECT_TRUE(ShapeHitTest(wide, big, {INT32_MAX, INT32_MIN}));
    Matrix skew{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN};
    ShapeHitTest(wide, skew, {5, 5});
}

}  // namespace
}  // namespace swf
