// The drawing API: what a script's pen calls look like once drawn, its
// style arguments, and its budgets.
#include <gtest/gtest.h>

#include <cmath>

#include "swf/render/RasterBackend.h"
#include "swf/classes/Drawing.h"
#include "swf/classes/DrawingStyles.h"

namespace swf {
namespace {

constexpr uint32_t kWhitePx = 0xFFFFFFFFu;
constexpr uint32_t kRedPx = 0xFFFF0000u;
constexpr uint32_t kBluePx = 0xFF0000FFu;

Point Px(int x, int y) { return {x * kTwipsPerPixel, y * kTwipsPerPixel}; }

FrameBuffer Render(Drawing& d, int w, int h) {
    FrameBuffer fb(w, h);
    RasterBackend backend(fb);
    backend.BeginFrame({255, 255, 255, 255});
    backend.DrawShape(d.GetShape(), Matrix{}, ColorTransform{});
    return fb;
}

PenStyle Pen(double px, uint32_t rgb) {
    LineStyleArgs a;
    a.thickness = px;
    a.rgb = rgb;
    return PenFromArgs(a);
}

TEST(DrawingTest, OpenFillIsClosedAndFilledButNotStroked) {
    Drawing d;
    d.MoveTo(Px(1, 1));
    d.BeginFill({255, 0, 0, 255});
    d.LineTo(Px(5, 1));
    d.LineTo(Px(5, 4));
    d.LineTo(Px(1, 4));  // left open: EndFill closes it
    d.EndFill();
    FrameBuffer fb = Render(d, 7, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(fb.At(x, y), (x >= 1 && x < 5 && y >= 1 && y < 4) ? kRedPx : kWhitePx) << x << "," << y;
}

TEST(DrawingTest, EdgeClosingAFillIsStrokedWithTheLineStyle) {
    Drawing d;
    d.LineStyle(Pen(2, 0x0000FF));
    d.BeginFill({255, 0, 0, 255});
    d.MoveTo(Px(2, 2));
    d.LineTo(Px(8, 2));
    d.LineTo(Px(8, 8));
    d.LineTo(Px(2, 8));  // the left side is EndFill's
    d.EndFill();
    FrameBuffer fb = Render(d, 10, 10);
    for (int x : {1, 2}) EXPECT_EQ(fb.At(x, 5), kBluePx) << x;
    EXPECT_EQ(fb.At(5, 5), kRedPx);
    EXPECT_EQ(fb.At(0, 5), kWhitePx);
}

TEST(DrawingTest, MoveToInsideAFillStartsASecondClosedPiece) {
    Drawing d;
    d.BeginFill({0, 0, 255, 255});
    d.MoveTo(Px(0, 0));
    d.LineTo(Px(2, 0));
    d.LineTo(Px(2, 2));
    d.MoveTo(Px(4, 0));  // the first triangle closes back to (0,0)
    d.LineTo(Px(6, 0));
    d.LineTo(Px(6, 2));
    d.LineTo(Px(4, 2));
    d.EndFill();
    FrameBuffer fb = Render(d, 7, 3);
    EXPECT_EQ(fb.At(1, 0), kBluePx);   // above the closing diagonal
    EXPECT_EQ(fb.At(0, 1), kWhitePx);  // below it
    EXPECT_EQ(fb.At(5, 1), kBluePx);
    EXPECT_EQ(fb.At(3, 1), kWhitePx);  // nothing joins the two pieces
}

TEST(DrawingTest, OutlineInsideItsOwnFillCutsAHole) {
    Drawing d;
    d.BeginFill({255, 0, 0, 255});
    for (int inset : {0, 2}) {  // both squares run the same way round
        d.MoveTo(Px(inset, inset));
        d.LineTo(Px(6 - inset, inset));
        d.LineTo(Px(6 - inset, 6 - inset));
        d.LineTo(Px(inset, 6 - inset));
    }
    d.EndFill();
    FrameBuffer fb = Render(d, 6, 6);
    EXPECT_EQ(fb.At(1, 1), kRedPx);
    EXPECT_EQ(fb.At(3, 3), kWhitePx);
}

TEST(DrawingTest, LaterFillCoversEarlierLinesAndLinesCoverTheirFill) {
    Drawing d;
    d.LineStyle(Pen(2, 0x0000FF));
    d.MoveTo(Px(0, 5));
    d.LineTo(Px(10, 5));  // blue line across the middle
    d.NoLineStyle();
    d.MoveTo(Px(4, 0));
    d.BeginFill({255, 0, 0, 255});  // red square over the line's middle
    d.LineTo(Px(8, 0));
    d.LineTo(Px(8, 10));
    d.LineTo(Px(4, 10));
    d.EndFill();
    FrameBuffer fb = Render(d, 10, 10);
    EXPECT_EQ(fb.At(2, 4), kBluePx);
    EXPECT_EQ(fb.At(6, 4), kRedPx);
    EXPECT_EQ(d.GetShape().layers.size(), 2u);

    Drawing own;  // a line drawn with its fill open lies on top of it
    own.BeginFill({255, 0, 0, 255});
    own.LineStyle(Pen(2, 0x0000FF));
    own.MoveTo(Px(0, 5));
    own.LineTo(Px(10, 5));
    own.NoLineStyle();
    own.LineTo(Px(10, 0));
    own.LineTo(Px(0, 0));
    own.EndFill();
    FrameBuffer fb2 = Render(own, 10, 10);
    EXPECT_EQ(fb2.At(5, 4), kBluePx);
    EXPECT_EQ(fb2.At(5, 2), kRedPx);
}

TEST(DrawingTest, PenMovesWithoutDrawingWhenNothingIsSet) {
    Drawing d;
    d.LineTo(Px(5, 5));
    d.CurveTo(Px(6, 6), Px(7, 5));
    EXPECT_TRUE(d.Empty());
    EXPECT_EQ(d.Pen(), Px(7, 5));
    d.LineStyle(Pen(1, 0));
    d.LineTo(Px(9, 9));
    d.Clear();  // drops the line style too
    d.LineTo(Px(1, 1));
    EXPECT_TRUE(d.Empty());
    EXPECT_EQ(d.Pen(), Px(1, 1));
}

TEST(DrawingTest, RedrawAfterClearShowsOnlyTheNewDrawing) {
    // Clear keeps storage for the redraw; nothing of the old drawing may show.
    auto box = [](Drawing& d, int from, bool fill, bool line) {
        if (line) d.LineStyle(Pen(2, 0x0000FF));
        if (fill) d.BeginFill({255, 0, 0, 255});
        d.MoveTo(Px(from, from));
        d.LineTo(Px(from + 6, from));
        d.LineTo(Px(from + 6, from + 6));
        d.LineTo(Px(from, from + 6));
        d.LineTo(Px(from, from));
        if (fill) d.EndFill();
    };
    struct Case {
        const char* name;
        bool fill, line;
    } cases[] = {{"fill", true, false}, {"lines only", false, true}, {"both", true, true}};
    for (const Case& c : cases) {
        Drawing fresh, redrawn;
        box(redrawn, 1, true, true);
        redrawn.Clear();
        box(redrawn, 10, c.fill, c.line);
        box(fresh, 10, c.fill, c.line);
        const FrameBuffer want = Render(fresh, 20, 20), got = Render(redrawn, 20, 20);
        EXPECT_EQ(fresh.GetShape().bounds, redrawn.GetShape().bounds) << c.name;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) ASSERT_EQ(want.At(x, y), got.At(x, y)) << c.name << " " << x << "," << y;
    }
}

TEST(DrawingTest, BoundsIncludeCurveControlAndHalfTheWidestLine) {
    Drawing d;
    d.LineStyle(Pen(10, 0));
    d.MoveTo(Px(10, 10));
    d.CurveTo(Px(20, 40), Px(30, 10));
    const Shape& s = d.GetShape();
    EXPECT_EQ(s.edgeBounds, (Rect{Px(10, 0).x, Px(30, 0).x, Px(0, 10).y, Px(0, 40).y}));
    EXPECT_EQ(s.bounds, (Rect{Px(5, 0).x, Px(35, 0).x, Px(0, 5).y, Px(0, 45).y}));
}

TEST(DrawingTest, MillionsOfSegmentsStopAtTheBudget) {
    Drawing d;
    d.LineStyle(Pen(1, 0));
    for (int i = 0; i < 3000000; ++i) d.LineTo({i % 2000, i % 777});
    EXPECT_TRUE(d.Overflowed());
    size_t edges = 0;
    for (const ShapeLayer& l : d.GetShape().layers) edges += l.edges.size();
    EXPECT_EQ(edges, Drawing::kMaxEdges);
    Drawing fills;  // every fill its own layer: the layer count is bounded
    for (int i = 0; i < 10000; ++i) {
        fills.LineStyle(Pen(1, 0));
        fills.BeginFill({1, 2, 3, 255});
        fills.LineTo(Px(i % 50, 3));
        fills.EndFill();
    }
    EXPECT_TRUE(fills.Overflowed());
    EXPECT_EQ(fills.GetShape().layers.size(), Drawing::kMaxLayers);
}

TEST(DrawingTest, LineStyleArgumentsMapAndClamp) {
    struct Case {
        LineStyleArgs args;
        uint16_t width;
        Rgba color;
        bool noH, noV;
        CapStyle caps;
        JoinStyle join;
        uint16_t miter;
    };
    const Case cases[] = {
        {{0, 0xFF8000, 100, false, "normal", "round", "round", 3}, 0, {255, 128, 0, 255}, false, false,
         CapStyle::Round, JoinStyle::Round, 3 << 8},
        {{2.5, 0x123456, 50, true, "none", "none", "bevel", 1}, 50, {0x12, 0x34, 0x56, 127}, true, true,
         CapStyle::None, JoinStyle::Bevel, 1 << 8},
        {{300, -1, 200, false, "vertical", "square", "miter", 999}, 5100, {255, 255, 255, 255}, true, false,
         CapStyle::Square, JoinStyle::Miter, 255 << 8},
        {{-4, 0x1000000, -5, false, "horizontal", "bogus", "bogus", 0.2}, 0, {0, 0, 0, 0}, false, true,
         CapStyle::Round, JoinStyle::Round, 1 << 8},
    };
    for (const Case& c : cases) {
        PenStyle p = PenFromArgs(c.args);
        EXPECT_EQ(p.width, c.width) << c.args.thickness;
        EXPECT_EQ(p.color, c.color) << c.args.thickness;
        EXPECT_EQ(p.noHScale, c.noH) << c.args.noScale;
        EXPECT_EQ(p.noVScale, c.noV) << c.args.noScale;
        EXPECT_EQ(p.caps, c.caps) << c.args.caps;
        EXPECT_EQ(p.join, c.join) << c.args.joint;
        EXPECT_EQ(p.miterLimit, c.miter) << c.args.miterLimit;
    }
}

// Red to blue across a 100 x 10 box.
GradientArgs RedToBlue() {
    GradientArgs g;
    g.type = "linear";
    g.colors = {0xFF0000, 0x0000FF};
    g.alphas = {100, 100};
    g.ratios = {0, 255};
    g.matrix = GradientBoxMatrix(0, 0, 100, 10, 0);
    return g;
}

TEST(DrawingTest, GradientBoxRunsFromFirstToLastColourAcrossTheBox) {
    GradientArgs g = RedToBlue();
    auto fill = GradientFromArgs(g);
    ASSERT_TRUE(fill);
    Drawing d;
    d.BeginFillStyle(*fill);
    d.LineTo(Px(100, 0));
    d.LineTo(Px(100, 10));
    d.LineTo(Px(0, 10));
    d.EndFill();
    FrameBuffer fb = Render(d, 100, 10);
    auto red = [&](int x) { return (fb.At(x, 5) >> 16) & 0xFF; };
    auto blue = [&](int x) { return fb.At(x, 5) & 0xFF; };
    EXPECT_GE(red(0), 250u);
    EXPECT_GE(blue(99), 250u);
    EXPECT_NEAR(double(red(50)), 128.0, 8.0);
    EXPECT_NEAR(double(blue(50)), 128.0, 8.0);

    g.ratios = {200, 100};  // kept non-decreasing
    EXPECT_EQ(GradientFromArgs(g)->gradient.stops[1].ratio, 200);
    g.type = "conic";
    EXPECT_FALSE(GradientFromArgs(g));
    g.type = "radial";
    g.colors.clear();
    EXPECT_FALSE(GradientFromArgs(g));
    g.colors.assign(40, 0);
    g.alphas.assign(40, 100);
    g.ratios.assign(40, 0);
    EXPECT_EQ(GradientFromArgs(g)->gradient.stops.size(), 15u);
}

TEST(DrawingTest, GradientArgumentsThatDropTheFill) {
    const GradientArgs ok = RedToBlue();
    struct Case { const char* name; void (*spoil)(GradientArgs&); bool drawn; } cases[] = {
        {"as given", [](GradientArgs&) {}, true},
        {"no matrix", [](GradientArgs& g) { g.hasMatrix = false; }, false},
        {"a ratio short", [](GradientArgs& g) { g.ratios = {0}; }, false},
        {"a colour short", [](GradientArgs& g) { g.colors = {0xFF0000}; }, false},
        {"an alpha short", [](GradientArgs& g) { g.alphas = {100}; }, true},
        {"ratio past 255", [](GradientArgs& g) { g.ratios[1] = 256; }, true},
        {"ratio not a number", [](GradientArgs& g) { g.ratios[0] = std::nan(""); }, true},
    };
    for (const Case& c : cases) {
        GradientArgs g = ok;
        c.spoil(g);
        EXPECT_EQ(c.drawn, GradientFromArgs(g).has_value()) << c.name;
    }
}

}  // namespace
}  // namespace swf
