// Morph shapes: both tags read back as swfmake writes them, edges and styles
// interpolated by ratio, and the shape at a ratio drawn with exact pixels.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "RasterTestUtil.h"
#include "swf/model/Movie.h"
#include "swf/read/MovieReader.h"
#include "swf/render/RasterBackend.h"

namespace swf {
namespace {

using namespace rastertest;

// A 10 x 10 pixel square at x 0 that moves to x 10, red to blue, with a
// line 20 twips wide growing to 60, a gradient fill beside it, and one edge
// straight at the start and curved at the end.
MorphShape Sliding() {
    MorphShape m;
    m.startBounds = {0, 10 * kTw, 0, 10 * kTw};
    m.endBounds = {10 * kTw, 20 * kTw, 0, 10 * kTw};
    m.startEdgeBounds = m.startBounds;
    m.endEdgeBounds = m.endBounds;
    m.startFills = {SolidFill({255, 0, 0, 255}), {}};
    m.endFills = {SolidFill({0, 0, 255, 255}), {}};
    m.startFills[1].kind = m.endFills[1].kind = FillKind::LinearGradient;
    m.startFills[1].gradient.stops = {{0, {0, 0, 0, 255}}, {100, {255, 255, 255, 255}}};
    m.endFills[1].gradient.stops = {{50, {255, 255, 255, 255}}, {200, {0, 0, 0, 255}}};
    m.endFills[1].matrix = Matrix::Scale(2 * kFixedOne, kFixedOne);
    LineStyle line;
    line.width = 20;
    line.color = {0, 0, 0, 255};
    m.startLines = {line};
    line.width = 60;
    line.color = {0, 255, 0, 255};
    m.endLines = {line};
    ShapeLayer start, end;
    AddEdges(start, PixelRect(0, 0, 10, 10), 1);
    AddEdges(end, PixelRect(10, 0, 20, 10), 1);
    end.edges[0].curved = true;  // top edge bulges up at the end
    end.edges[0].control = {15 * kTw, -4 * kTw};
    m.startEdges = start.edges;
    m.endEdges = end.edges;
    return m;
}

const MorphShape* ReadBack(const std::vector<uint8_t>& bytes, ReadResult& r) {
    r = ReadMovie(bytes);
    if (!r.movie) return nullptr;
    const Character* c = r.movie->Find(1);
    EXPECT_TRUE(c && c->kind == CharacterKind::MorphShape);
    return c ? &static_cast<const MorphShapeCharacter*>(c)->morph : nullptr;
}

TEST(MorphShapeTest, BothTagsReadBackStylesAndPairedEdges) {
    MorphShape source = Sliding();
    source.startLines[0].join = source.endLines[0].join = JoinStyle::Miter;
    source.startLines[0].miterLimit = source.endLines[0].miterLimit = 5 << 8;
    source.startLines[0].endCap = source.endLines[0].endCap = CapStyle::Square;
    source.startLines[0].noHScale = source.endLines[0].noHScale = true;
    for (int version : {1, 2}) {
        SCOPED_TRACE(version);
        swfmake::SwfWriter w(8, enginetest::kStage, 12);
        w.Tags().DefineMorphShape(1, source, version);
        ReadResult r;
        const MorphShape* m = ReadBack(w.Write(false), r);
        ASSERT_TRUE(m);
        EXPECT_TRUE(r.errors.empty()) << r.errors.front();
        EXPECT_EQ(m->endBounds, source.endBounds);
        ASSERT_EQ(m->startFills.size(), 2u);
        EXPECT_EQ(m->endFills[0].color, (Rgba{0, 0, 255, 255}));
        EXPECT_EQ(m->endFills[1].matrix, source.endFills[1].matrix);
        ASSERT_EQ(m->endFills[1].gradient.stops.size(), 2u);
        EXPECT_EQ(m->endFills[1].gradient.stops[1].ratio, 200);
        EXPECT_EQ(m->startLines[0].width, 20);
        EXPECT_EQ(m->endLines[0].width, 60);
        EXPECT_EQ(m->endLines[0].color, (Rgba{0, 255, 0, 255}));
        EXPECT_EQ(m->startLines[0].join, version == 2 ? JoinStyle::Miter : JoinStyle::Round);
        EXPECT_EQ(m->startLines[0].endCap, version == 2 ? CapStyle::Square : CapStyle::Round);
        EXPECT_EQ(m->endLines[0].noHScale, version == 2);
        ASSERT_EQ(m->startEdges.size(), 4u);
        ASSERT_EQ(m->endEdges.size(), 4u);
        EXPECT_FALSE(m->startEdges[0].curved);
        EXPECT_TRUE(m->endEdges[0].curved);
        EXPECT_EQ(m->endEdges[0].control, (Point{15 * kTw, -4 * kTw}));
        EXPECT_FALSE(m->startEdges[1].curved);
        EXPECT_EQ(m->endEdges[2].from, (Point{20 * kTw, 10 * kTw}));
    }
}

TEST(MorphShapeTest, StylesAndEdgesInterpolateByRatio) {
    const MorphShape m = Sliding();
    Shape s;
    MorphShapeAt(m, 32768, s);  // just past half: halves round up
    ASSERT_EQ(s.layers.size(), 1u);
    const ShapeLayer& l = s.layers[0];
    EXPECT_EQ(s.bounds, (Rect{5 * kTw, 15 * kTw, 0, 10 * kTw}));
    EXPECT_EQ(l.fills[0].color, (Rgba{127, 0, 128, 255}));
    EXPECT_EQ(l.fills[1].gradient.stops[0].ratio, 25);
    EXPECT_EQ(l.fills[1].gradient.stops[1].ratio, 150);
    EXPECT_EQ(l.fills[1].gradient.stops[1].color, (Rgba{127, 127, 127, 255}));
    EXPECT_EQ(l.fills[1].matrix.a, kFixedOne + kFixedOne / 2 + 1);
    EXPECT_EQ(l.lines[0].width, 40);
    // The straight start edge paired with a curve bends from its midpoint.
    EXPECT_TRUE(l.edges[0].curved);
    EXPECT_EQ(l.edges[0].control, (Point{10 * kTw, -2 * kTw}));
    EXPECT_FALSE(l.edges[1].curved);
    MorphShapeAt(m, kMorphRatioEnd, s);
    EXPECT_EQ(s.layers[0].edges[2].from, m.endEdges[2].from);
    EXPECT_EQ(s.layers[0].fills[0].color, m.endFills[0].color);
}

// Only the square's fill, drawn at ratio 0, 0.5 and 1: a 10-pixel run of
// its colour that slides by 5 pixels each time.
TEST(MorphShapeTest, MorphAtStartMiddleAndEndDrawsItsOwnPixels) {
    MorphShape m = Sliding();
    for (ShapeEdge& e : m.startEdges) e.curved = false;
    m.endEdges = m.startEdges;
    for (ShapeEdge& e : m.endEdges) e.from.x += 10 * kTw, e.to.x += 10 * kTw;
    m.startLines.clear();
    m.endLines.clear();
    struct Case {
        uint16_t ratio;
        int left;
        Rgba color;
    };
    const Case cases[] = {{0, 0, {255, 0, 0, 255}}, {32768, 5, {127, 0, 128, 255}}, {kMorphRatioEnd, 10, {0, 0, 255, 255}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ratio);
        Shape s;
        MorphShapeAt(m, c.ratio, s);
        FrameBuffer fb(24, 10);
        RasterBackend backend(fb);
        backend.BeginFrame({255, 255, 255, 255});
        backend.DrawShape(s, {}, {});
        for (int x = 0; x < 24; ++x) {
            const bool inside = x >= c.left && x < c.left + 10;
            EXPECT_EQ(fb.At(x, 5), inside ? FrameBuffer::Premultiply(c.color) : 0xFFFFFFFFu) << x;
        }
    }
}

TEST(MorphShapeTest, EdgeCountsThatDoNotPairAreAnErrorNamingTheTag) {
    MorphShape m = Sliding();
    m.endEdges.pop_back();
    swfmake::SwfWriter w(8, enginetest::kStage, 12);
    w.Tags().DefineMorphShape(1, m, 2);
    const ReadResult r = ReadMovie(w.Write(false));
    ASSERT_TRUE(r.movie);
    EXPECT_FALSE(r.movie->Find(1));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].find("(DefineMorphShape2)"), std::string::npos) << r.errors[0];
    EXPECT_NE(r.errors[0].find("start has 4 edges, end 3"), std::string::npos) << r.errors[0];
}

}  // namespace
}  // namespace swf

namespace swf {
namespace {

// A tween as movies carry it: the morph placed at ratio 0, then moved to
// later ratios frame by frame; a seek back shows the start again.
TEST(MorphShapeTest, PlacedMorphDrawsAtThePlacementsRatio) {
    MorphShape m = Sliding();
    m.startLines.clear();
    m.endLines.clear();
    swfmake::SwfWriter w(8, {0, 24 * kTw, 0, 10 * kTw}, 12);
    w.Tags().DefineMorphShape(1, m, 1);
    swfmake::Placement p = swfmake::NewPlacement(1, 1);
    p.ratio = 0;
    w.Tags().PlaceObject2(p);
    w.Tags().ShowFrame();
    swfmake::Placement move = swfmake::MovePlacement(1, std::nullopt);
    move.ratio = kMorphRatioEnd;
    w.Tags().PlaceObject2(move);
    w.Tags().ShowFrame();
    Player player;
    ASSERT_TRUE(enginetest::Load(player, w));
    FrameBuffer fb(24, 10);
    const uint32_t red = FrameBuffer::Pack(255, 255, 0, 0), blue = FrameBuffer::Pack(255, 0, 0, 255);
    player.Render(fb);
    EXPECT_EQ(fb.At(2, 5), red);
    EXPECT_EQ(fb.At(15, 5), 0xFFFFFFFFu);
    player.GotoFrame(1);
    player.Render(fb);
    EXPECT_EQ(fb.At(2, 5), 0xFFFFFFFFu);
    EXPECT_EQ(fb.At(15, 5), blue);
    player.GotoFrame(0);
    player.Render(fb);
    EXPECT_EQ(fb.At(2, 5), red);
}

}  // namespace
}  // namespace swf
