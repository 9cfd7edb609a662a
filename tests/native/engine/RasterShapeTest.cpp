// Whole shapes through RasterBackend: the two-fill edge model, draw order,
// colour transforms, premultiplied compositing and hostile placements.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "RasterTestUtil.h"
#include "swf/render/Paint.h"
#include "swf/render/RasterBackend.h"

namespace swf {
namespace {

using namespace rastertest;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};

FrameBuffer Draw(const Shape& s, int w, int h, const Matrix& m = {}, const ColorTransform& cx = {}) {
    FrameBuffer fb(w, h);
    RasterBackend backend(fb);
    backend.BeginFrame(kWhite);
    backend.DrawShape(s, m, cx);
    backend.EndFrame();
    return fb;
}

Shape OneFill(const std::vector<Point>& pts, FillStyle fill, bool leftFill = false) {
    Shape s;
    s.layers.emplace_back();
    s.layers[0].fills.push_back(fill);
    AddEdges(s.layers[0], pts, 1, 0, leftFill);
    return s;
}

TEST(RasterShapeTest, SolidSquareIsExactOnPixelBoundaries) {
    FrameBuffer fb = Draw(OneFill(PixelRect(1, 1, 4, 3), SolidFill(kRed)), 6, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(fb.At(x, y), inside ? 0xFFFF0000u : 0xFFFFFFFFu) << x << "," << y;
        }
}

TEST(RasterShapeTest, EitherSideAndScatteredEdgesGiveTheSameFill) {
    const auto pts = PixelRect(1, 1, 5, 4);
    FrameBuffer right = Draw(OneFill(pts, SolidFill(kRed)), 7, 6);
    FrameBuffer left = Draw(OneFill(pts, SolidFill(kRed), true), 7, 6);
    EXPECT_EQ(left.At(2, 2), 0xFFFF0000u);
    EXPECT_TRUE(std::equal(right.Data(), right.Data() + 42, left.Data()));
    // Two fills sharing the middle edge; their edges come in scrambled order
    // and the middle one names fill 1 on its left, fill 2 on its right.
    Shape s;
    s.layers.emplace_back();
    ShapeLayer& l = s.layers[0];
    l.fills = {SolidFill(kRed), SolidFill(kBlue)};
    auto edge = [&](int x0, int y0, int x1, int y1, uint16_t f0, uint16_t f1) {
        ShapeEdge e;
        e.from = {x0 * kTw, y0 * kTw};
        e.to = {x1 * kTw, y1 * kTw};
        e.fill0 = f0;
        e.fill1 = f1;
        l.edges.push_back(e);
    };
    edge(3, 4, 3, 0, 1, 2);  // shared, upward: red on its left
    edge(0, 0, 3, 0, 0, 1);
    edge(6, 4, 3, 4, 0, 2);
    edge(0, 0, 0, 4, 1, 0);  // runs against the loop: fill on its left
    edge(3, 0, 6, 0, 0, 2);
    edge(3, 4, 0, 4, 0, 1);
    edge(6, 0, 6, 4, 0, 2);
    std::shuffle(l.edges.begin(), l.edges.end(), std::mt19937(3));
    FrameBuffer two = Draw(s, 7, 5);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(two.At(0, y), 0xFFFF0000u);
        EXPECT_EQ(two.At(2, y), 0xFFFF0000u);
        EXPECT_EQ(two.At(3, y), 0xFF0000FFu);
        EXPECT_EQ(two.At(5, y), 0xFF0000FFu);
        EXPECT_EQ(two.At(6, y), 0xFFFFFFFFu);
    }
}

TEST(RasterShapeTest, HalfCoveredPixelBlendsAtHalf) {
    // Left edge at x = 1.5 pixels (30 twips): 128 of red over white.
    Shape s = OneFill({{30, 0}, {80, 0}, {80, 40}, {30, 40}}, SolidFill(kRed));
    FrameBuffer fb = Draw(s, 5, 2);
    // G and B: 255 * (255 - 128) / 255 = 127.
    EXPECT_EQ(fb.At(1, 0), 0xFFFF7F7Fu);
    EXPECT_EQ(fb.At(2, 0), 0xFFFF0000u);
}

TEST(RasterShapeTest, ColourTransformAndTranslucencyCompositePremultiplied) {
    ColorTransform cx;
    cx.rMul = 128;  // 255 -> 127
    cx.gAdd = 100;
    cx.aMul = 128;  // 255 -> 127
    FrameBuffer fb = Draw(OneFill(PixelRect(0, 0, 2, 2), SolidFill(kRed)), 3, 2, {}, cx);
    // Source (127, 100, 0, a 127) premultiplied: (63, 50, 0); over white:
    // c + 255 * (255 - 127) / 255 = c + 128.
    EXPECT_EQ(fb.At(0, 0), FrameBuffer::Pack(255, 63 + 128, 50 + 128, 128));
    EXPECT_EQ(fb.At(2, 0), 0xFFFFFFFFu);
    // Onto a transparent target the result stays premultiplied.
    FrameBuffer clear(2, 1);
    RasterBackend backend(clear);
    backend.DrawShape(OneFill(PixelRect(0, 0, 2, 1), SolidFill(Rgba{200, 100, 50, 128})), {}, {});
    EXPECT_EQ(clear.At(0, 0), FrameBuffer::Premultiply(Rgba{200, 100, 50, 128}));
}

TEST(RasterShapeTest, LayersAndFillsDrawInOrder) {
    Shape s;
    s.layers.resize(2);
    s.layers[0].fills = {SolidFill(kRed)};
    AddEdges(s.layers[0], PixelRect(0, 0, 4, 4), 1);
    s.layers[1].fills = {SolidFill(kBlue)};
    AddEdges(s.layers[1], PixelRect(2, 0, 6, 4), 1);
    FrameBuffer fb = Draw(s, 6, 4);
    EXPECT_EQ(fb.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(fb.At(3, 1), 0xFF0000FFu);  // the later layer is on top
}

TEST(RasterShapeTest, BitmapFillsAndBadStyleIndicesDrawNothing) {
    FillStyle bitmap;
    bitmap.kind = FillKind::Bitmap;
    FrameBuffer fb = Draw(OneFill(PixelRect(0, 0, 3, 3), bitmap), 3, 3);
    EXPECT_EQ(fb.At(1, 1), 0xFFFFFFFFu);
    Shape s = OneFill(PixelRect(0, 0, 3, 3), SolidFill(kRed));
    for (ShapeEdge& e : s.layers[0].edges) {
        e.fill1 = 9;
        e.line = 4;
    }
    FrameBuffer bad = Draw(s, 3, 3);
    EXPECT_EQ(bad.At(1, 1), 0xFFFFFFFFu);
}

TEST(RasterShapeTest, CurvedCircleHasTheAreaOfACircle) {
    // Eight quadratic arcs around (10, 10) pixels with radius 8.
    Shape s;
    s.layers.emplace_back();
    s.layers[0].fills = {SolidFill(kRed)};
    const double kPi = 3.14159265358979;
    const double r = 8 * kTw, cx = 10 * kTw, cy = 10 * kTw, ctrl = r / std::cos(kPi / 8);
    for (int i = 0; i < 8; ++i) {
        double a0 = i * kPi / 4, a1 = (i + 1) * kPi / 4, am = (a0 + a1) / 2;
        ShapeEdge e;
        e.curved = true;
        e.from = {int32_t(std::lround(cx + r * std::cos(a0))), int32_t(std::lround(cy + r * std::sin(a0)))};
        e.control = {int32_t(std::lround(cx + ctrl * std::cos(am))), int32_t(std::lround(cy + ctrl * std::sin(am)))};
        e.to = {int32_t(std::lround(cx + r * std::cos(a1))), int32_t(std::lround(cy + r * std::sin(a1)))};
        e.fill1 = 1;
        s.layers[0].edges.push_back(e);
    }
    FrameBuffer fb = Draw(s, 20, 20);
    int64_t green = 0;  // white minus red leaves green = uncovered part
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) green += 255 - ((fb.At(x, y) >> 8) & 0xFF);
    // Chords lie at most 1/16 pixel inside a perimeter of 50 pixels.
    EXPECT_NEAR(green / 255.0, kPi * 64, 2.0);
    EXPECT_EQ(fb.At(10, 10), 0xFFFF0000u);
    EXPECT_EQ(fb.At(10, 1), 0xFFFFFFFFu);
    // Row 2 starts at the circle's top: column 10 is covered about 96 %.
    EXPECT_NEAR(255 - int((fb.At(10, 2) >> 8) & 0xFF), 245, 3);
}

TEST(RasterShapeTest, HostilePlacementsStayBoundedAndExact) {
    // 2^31 twips wide, scaled up 32767 times: covers the target.
    Shape wide = OneFill({{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}},
                         SolidFill(kRed));
    const Matrix big = Matrix::Scale(INT32_MAX, INT32_MAX);
    FrameBuffer fb = Draw(wide, 16, 8, big);
    for (int i = 0; i < 16 * 8; ++i) EXPECT_EQ(fb.Data()[i], 0xFFFF0000u);
    Matrix skew{INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN};
    Draw(wide, 16, 8, skew);
    // A huge curve through the target flattens within bounds.
    Shape curve;
    curve.layers.emplace_back();
    curve.layers[0].fills = {SolidFill(kRed)};
    ShapeEdge e;
    e.curved = true;
    e.from = {INT32_MIN, 0};
    e.control = {0, INT32_MAX};
    e.to = {INT32_MAX, 0};
    e.fill1 = 1;
    curve.layers[0].edges = {e};
    ShapeEdge back;
    back.from = e.to;
    back.to = e.from;
    back.fill1 = 1;
    curve.layers[0].edges.push_back(back);
    Draw(curve, 16, 8, Matrix::Scale(1 << 20, 1 << 20));
    // Empty and zero-sized targets.
    Draw(wide, 0, 0);
}

TEST(RasterShapeTest, RandomShapesAndPlacementsStaySound) {
    // Random edge soup with every style kind, extreme coordinates and
    // matrices: nothing may crash, overflow (UBSan) or trip an assertion.
    std::mt19937 rng(17);
    auto any = [&] { return int32_t(rng()); };
    auto small = [&] { return int32_t(rng() % 4000) - 500; };
    for (int round = 0; round < 150; ++round) {
        Shape s;
        s.layers.resize(1 + rng() % 2);
        for (ShapeLayer& l : s.layers) {
            FillStyle g;
            g.kind = FillKind(rng() % 5);
            g.color = Rgba{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
            g.matrix = {any(), any(), any(), any(), any(), any()};
            g.gradient.spread = SpreadMode(rng() % 3);
            g.gradient.focalPoint = int16_t(rng());
            g.gradient.stops = {{uint8_t(rng()), g.color}, {uint8_t(rng()), Rgba{}}};
            l.fills = {SolidFill(g.color), g};
            LineStyle line;
            line.width = uint16_t(rng());
            line.join = JoinStyle(rng() % 3);
            line.startCap = CapStyle(rng() % 3);
            line.miterLimit = uint16_t(rng());
            line.hasFill = rng() % 2;
            line.fill = g;
            l.lines = {line, LineStyle{}};
            Point at{small(), small()};
            for (int e = 0; e < 12; ++e) {
                ShapeEdge edge;
                edge.from = rng() % 4 ? at : Point{any(), any()};
                edge.to = rng() % 3 ? Point{small(), small()} : Point{any(), any()};
                edge.control = rng() % 3 ? Point{small(), small()} : Point{any(), any()};
                edge.curved = rng() % 2;
                edge.fill0 = uint16_t(rng() % 4);
                edge.fill1 = uint16_t(rng() % 4);
                edge.line = uint16_t(rng() % 4);
                l.edges.push_back(edge);
                at = edge.to;
            }
        }
        const bool wild = round % 3 == 0;
        Matrix m = wild ? Matrix{any(), any(), any(), any(), any(), any()}
                        : Matrix{int32_t(rng() % 200000), int32_t(rng() % 20000) - 10000,
                                 int32_t(rng() % 20000) - 10000, int32_t(rng() % 200000), small(), small()};
        ColorTransform cx;
        cx.rMul = int16_t(rng());
        cx.aAdd = int16_t(rng() % 512) - 255;
        Draw(s, 24, 16, m, cx);
        ShapeHitTest(s, m, {small(), small()});
    }
}

}  // namespace
}  // namespace swf
