// Reading: shapes of every version, header facts, frame counts, skipped
// and damaged tags, as written by swfmake.
#include <cstdio>

#include "EngineTestUtil.h"
#include "swf/model/Movie.h"
#include "swf/read/MovieReader.h"
#include "tools/swfmake/ByteWriter.h"

namespace {

using namespace enginetest;

swf::ReadResult Read(const swfmake::SwfWriter& w, bool compressed = false) {
    return swf::ReadMovie(w.Write(compressed));
}

const swf::Shape& ShapeOf(const swf::Movie& m, uint16_t id) {
    const swf::Character* c = m.Find(id);
    EXPECT_TRUE(c && c->kind == swf::CharacterKind::Shape);
    static const swf::Shape kNone;
    return c ? static_cast<const swf::ShapeCharacter&>(*c).shape : kNone;
}

swf::Shape StyledShape() {
    swfmake::ShapeBuilder b;
    uint16_t solid = b.AddSolidFill({10, 20, 30, 255});
    uint16_t linear = b.AddFill(swfmake::GradientFill(swf::FillKind::LinearGradient, swfmake::GradientBox({0, 800, 0, 800}),
                                                      {{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 255}}, {255, {0, 0, 255, 255}}}));
    uint16_t radial = b.AddFill(swfmake::GradientFill(swf::FillKind::RadialGradient, swfmake::GradientBox({0, 400, 0, 400}),
                                                      {{0, {1, 2, 3, 255}}, {255, {4, 5, 6, 255}}}));
    uint16_t line = b.AddSolidLine(60, {7, 8, 9, 255});
    b.FillRect({0, 400, 0, 400}, solid, line);
    b.FillEllipse(600, 600, 200, 100, linear);
    b.NewLayer();
    uint16_t radial2 = b.AddFill(swfmake::GradientFill(swf::FillKind::RadialGradient, swfmake::GradientBox({0, 400, 0, 400}),
                                                       {{0, {1, 2, 3, 255}}, {255, {4, 5, 6, 255}}}));
    b.SetFill1(radial2).MoveTo(0, 0).CurveTo(100, -50, 200, 0).LineTo(0, 0);
    (void)radial;
    return b.Build();
}

TEST(ReaderTest, ShapesOfEveryVersionReadBackTheirEdgesAndStyles) {
    const swf::Shape source = StyledShape();
    swfmake::SwfWriter w(8, kStage, 12);
    for (int version = 2; version <= 4; ++version)
        w.Tags().DefineShape(static_cast<uint16_t>(version), source, version);
    w.Tags().ShowFrame();
    swf::ReadResult r = Read(w);
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(r.errors.empty());
    for (int version = 2; version <= 4; ++version) {
        const swf::Shape& s = ShapeOf(*r.movie, static_cast<uint16_t>(version));
        SCOPED_TRACE(version);
        ASSERT_EQ(s.layers.size(), 2u);
        ASSERT_EQ(s.layers[0].fills.size(), 3u);
        EXPECT_EQ(s.layers[0].fills[0].color, (swf::Rgba{10, 20, 30, 255}));
        EXPECT_EQ(s.layers[0].fills[1].kind, swf::FillKind::LinearGradient);
        EXPECT_EQ(s.layers[0].fills[1].gradient.stops.size(), 3u);
        EXPECT_EQ(s.layers[0].fills[1].matrix, source.layers[0].fills[1].matrix);
        EXPECT_EQ(s.layers[0].fills[2].kind, swf::FillKind::RadialGradient);
        ASSERT_EQ(s.layers[0].lines.size(), 1u);
        EXPECT_EQ(s.layers[0].lines[0].width, 60);
        // The reader's edges join up to the same outline as the source.
        for (size_t l = 0; l < 2; ++l) {
            ASSERT_FALSE(s.layers[l].edges.empty());
            EXPECT_EQ(s.layers[l].edges.front().from, source.layers[l].edges.front().from);
            EXPECT_EQ(s.layers[l].edges.back().to, source.layers[l].edges.back().to);
        }
        EXPECT_TRUE(s.layers[1].edges.front().curved);
        EXPECT_EQ(s.layers[1].edges.front().control, (swf::Point{100, -50}));
    }
}

TEST(ReaderTest, DefineShape4ReadsCapsJoinsFocalGradientsAndEdgeBounds) {
    swfmake::ShapeBuilder b;
    swf::LineStyle ls = swfmake::SolidLine(100, {1, 2, 3, 128});
    ls.startCap = swf::CapStyle::Square;
    ls.endCap = swf::CapStyle::None;
    ls.join = swf::JoinStyle::Miter;
    ls.miterLimit = 5 << 8;
    swf::FillStyle focal = swfmake::GradientFill(swf::FillKind::FocalRadialGradient, swfmake::GradientBox({0, 400, 0, 400}),
                                                 {{0, {1, 1, 1, 10}}, {255, {2, 2, 2, 20}}});
    focal.gradient.focalPoint = -128;
    focal.gradient.spread = swf::SpreadMode::Reflect;
    b.FillRect({0, 400, 0, 400}, b.AddFill(focal), b.AddLine(ls));
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().DefineShape(1, b.Build(), 4);
    swf::ReadResult r = Read(w);
    ASSERT_TRUE(r.movie);
    const swf::Shape& s = ShapeOf(*r.movie, 1);
    ASSERT_EQ(s.layers.size(), 1u);
    const swf::LineStyle& l = s.layers[0].lines.at(0);
    EXPECT_EQ(l.startCap, swf::CapStyle::Square);
    EXPECT_EQ(l.endCap, swf::CapStyle::None);
    EXPECT_EQ(l.join, swf::JoinStyle::Miter);
    EXPECT_EQ(l.miterLimit, 5 << 8);
    EXPECT_EQ(l.color, (swf::Rgba{1, 2, 3, 128}));
    const swf::Gradient& g = s.layers[0].fills.at(0).gradient;
    EXPECT_EQ(s.layers[0].fills[0].kind, swf::FillKind::FocalRadialGradient);
    EXPECT_EQ(g.focalPoint, -128);
    EXPECT_EQ(g.spread, swf::SpreadMode::Reflect);
    EXPECT_EQ(g.stops.at(1).color, (swf::Rgba{2, 2, 2, 20}));
    EXPECT_FALSE(s.edgeBounds.Empty());
}

TEST(ReaderTest, GradientStopsKeepTheirRatiosInAnyOrder) {
    // Shared and falling ratios are the ramp's to place.
    const std::vector<uint8_t> given = {6, 6, 6, 150, 80, 200, 255, 255};
    const std::vector<uint8_t> read = given;
    swf::FillStyle fill = swfmake::GradientFill(swf::FillKind::LinearGradient, swfmake::GradientBox({0, 400, 0, 400}), {});
    for (uint8_t ratio : given) fill.gradient.stops.push_back({ratio, {ratio, 0, 0, 255}});
    swfmake::ShapeBuilder b;
    b.FillRect({0, 400, 0, 400}, b.AddFill(fill));
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().DefineShape(1, b.Build(), 4);
    swf::ReadResult r = Read(w);
    ASSERT_TRUE(r.movie);
    std::vector<uint8_t> got;
    for (const swf::GradientStop& s : ShapeOf(*r.movie, 1).layers.at(0).fills.at(0).gradient.stops) got.push_back(s.ratio);
    EXPECT_EQ(got, read);
}

TEST(ReaderTest, DefineShape1ColoursAreOpaqueRgb) {
    swfmake::SwfWriter w(1, kStage, 12);
    w.Tags().DefineShape(1, Square(100, {9, 8, 7, 255}), 1);
    swf::ReadResult r = Read(w);
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(ShapeOf(*r.movie, 1).layers.at(0).fills.at(0).color, (swf::Rgba{9, 8, 7, 255}));
}

TEST(ReaderTest, LoadFileReadsAMovieFromDisk) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().ShowFrame();
    w.Tags().ShowFrame();
    const std::string path = ::testing::TempDir() + "engine_reader_test.swf";
    ASSERT_TRUE(w.WriteFile(path, true));
    swf::Player p;
    EXPECT_TRUE(p.LoadFile(path));
    EXPECT_EQ(p.TotalFrames(), 2);
    std::remove(path.c_str());
}

TEST(ReaderTest, CompressedAndPlainMoviesReadAlike) {
    swfmake::SwfWriter w(8, kStage, 24.5);
    w.Tags().DefineShape(1, Square(100));
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    w.Tags().ShowFrame();
    w.Tags().ShowFrame();
    for (bool compressed : {false, true}) {
        swf::Player p;
        ASSERT_TRUE(Load(p, w, compressed));
        EXPECT_EQ(p.StageRect(), kStage);
        EXPECT_EQ(p.FrameRate(), 24.5);
        EXPECT_EQ(p.TotalFrames(), 2);
        EXPECT_EQ(Draw(p).size(), 1u);
    }
}

TEST(ReaderTest, LzmaMoviesReadAsPlainOnesAndShortOnesSayWhy) {
    swfmake::SwfWriter w(13, kStage, 30);
    w.Tags().DefineShape(1, Square(100));
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    w.Tags().ShowFrame();
    std::vector<uint8_t> zws = w.WriteLzma();
    ASSERT_EQ(zws[0], 'Z');
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(zws));
    EXPECT_TRUE(p.Errors().empty());
    EXPECT_EQ(p.StageRect(), kStage);
    EXPECT_EQ(Draw(p).size(), 1u);

    std::vector<uint8_t> cut(zws.begin(), zws.begin() + zws.size() - 6);
    swf::ReadResult r = swf::ReadMovie(cut);
    ASSERT_TRUE(r.movie);
    ASSERT_FALSE(r.errors.empty());
    EXPECT_EQ(r.errors[0], "compressed data ends early");
    std::vector<uint8_t> bad = zws;
    bad[12] = 0xFF;  // properties past the allowed lc/lp/pb
    EXPECT_FALSE(swf::ReadMovie(bad).errors.empty());
}

TEST(ReaderTest, UnknownTagsAreSkippedByTheirLengthShortOrLong) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().Raw(777, {1, 2, 3, 4, 5});
    w.Tags().Raw(888, std::vector<uint8_t>(100, 0xFF), true);
    w.Tags().DefineShape(1, Square(100));
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    w.Tags().ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    EXPECT_EQ(Draw(p).size(), 1u);
}

TEST(ReaderTest, FrameCountComesFromTheHeader) {
    swfmake::SwfWriter w(8, kStage, 12);
    for (int i = 0; i < 3; ++i) w.Tags().ShowFrame();
    w.SetFrameCount(5);
    swf::Player padded;
    ASSERT_TRUE(Load(padded, w));
    EXPECT_EQ(padded.TotalFrames(), 5);
    w.SetFrameCount(2);
    swf::Player trimmed;
    ASSERT_TRUE(trimmed.LoadBytes(w.Write(false)));
    EXPECT_EQ(trimmed.TotalFrames(), 2);
    ASSERT_EQ(trimmed.Errors().size(), 1u);
}

TEST(ReaderTest, StyleIndexPastItsArrayReadsAsNoStyle) {
    // DefineShape: id 1, empty RECT, 1 solid fill, 0 lines, 4 fill bits and
    // 0 line bits; StyleChange fill1 = 9; one straight edge; end.
    swfmake::ByteWriter b;
    b.U16(1);
    b.Rect({0, 0, 0, 0});
    b.U8(1);
    b.U8(0);
    b.Rgb({1, 2, 3, 255});
    b.U8(0);
    b.Bits(4, 4);
    b.Bits(0, 4);
    b.Bits(0, 1);
    b.Bits(0x04, 5);  // fill1 follows
    b.Bits(9, 4);
    b.Bits(1, 1);
    b.Bits(1, 1);
    b.Bits(0, 4);   // 2-bit deltas
    b.Bits(1, 1);   // general line
    b.SignedBits(1, 2);
    b.SignedBits(1, 2);
    b.Bits(0, 6);
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().Raw(swf::kTagDefineShape, b.Take());
    swf::ReadResult r = Read(w);
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(r.errors.empty());
    // The edge has no style left, so nothing is kept for it.
    EXPECT_TRUE(ShapeOf(*r.movie, 1).layers.at(0).edges.empty());
}

TEST(ReaderTest, DuplicateCharacterIdKeepsTheFirstDefinition) {
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().DefineShape(1, Square(100));
    w.Tags().DefineShape(1, Square(200));
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    w.Tags().ShowFrame();
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(w.Write(false)));
    EXPECT_EQ(p.Errors().size(), 1u);
    ASSERT_EQ(Draw(p).size(), 1u);
    EXPECT_EQ(Draw(p)[0].shape, SquareBounds(100));
}

TEST(ReaderTest, ButtonCxformAppliesToEveryRecord) {
    swfmake::SwfWriter w(6, kStage, 12);
    w.Tags().DefineShape(1, Square(100));
    w.Tags().DefineButton(2, {{swf::kButtonUp, 1, 1, {}, {}}}, swfmake::Actions());
    swfmake::ByteWriter b;
    b.U16(2);
    swf::ColorTransform half;
    half.rMul = 128;
    b.ColorTransform(half, false);
    w.Tags().Raw(23, b.Take());
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 2));
    w.Tags().ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    ASSERT_EQ(Draw(p).size(), 1u);
    EXPECT_EQ(Draw(p)[0].cxform.rMul, 128);
}

}  // namespace

namespace {

// PlaceObject3's tail: blend mode, bitmap caching, visibility (from version
// 11 on) and class name, read and carried onto the placed object.
TEST(ReaderTest, PlaceObject3KeepsBlendCachingClassNameAndVisibilityFromVersion11) {
    for (uint8_t version : {uint8_t(10), uint8_t(11)}) {
        swfmake::SwfWriter w(version, kStage, 12);
        swfmake::TagList& t = w.Tags();
        t.DefineShape(1, Square(100));
        swfmake::Placement p = swfmake::NewPlacement(1, 1);
        p.blendMode = uint8_t(swf::BlendMode::Multiply);
        p.cacheAsBitmap = true;
        p.className = "Card";
        p.visible = false;
        t.PlaceObject3(p);
        t.ShowFrame();
        swf::ReadResult r = Read(w);
        ASSERT_TRUE(r.movie);
        EXPECT_TRUE(r.errors.empty());
        const swf::DisplayCommand& c = r.movie->root.frames.at(0).commands.at(0);
        EXPECT_EQ(c.blendMode, uint8_t(swf::BlendMode::Multiply));
        EXPECT_TRUE(c.hasCacheAsBitmap && c.cacheAsBitmap);
        EXPECT_EQ(c.className, "Card");
        EXPECT_EQ(c.hasVisible, version >= 11) << int(version);
        // Drawn only where the flag counts as read.
        swf::Player player;
        ASSERT_TRUE(Load(player, w));
        EXPECT_EQ(Draw(player).size(), version >= 11 ? 0u : 1u) << int(version);
    }
}

TEST(ReaderTest, DefineShape4WindingFlagChoosesTheFillRule) {
    swfmake::SwfWriter w(10, kStage, 12);
    swfmake::ShapeOptions nonZero;
    nonZero.fillWindingNonZero = true;
    w.Tags().DefineShape(1, Square(100), 4);
    w.Tags().DefineShape(2, Square(200), 4, nonZero);
    w.Tags().DefineShape(3, Square(300), 3);
    swf::ReadResult r = Read(w);
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(ShapeOf(*r.movie, 1).evenOdd);
    EXPECT_FALSE(ShapeOf(*r.movie, 2).evenOdd);
    EXPECT_FALSE(ShapeOf(*r.movie, 3).evenOdd);
}

}  // namespace
