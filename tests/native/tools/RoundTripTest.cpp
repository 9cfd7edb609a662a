// Movies written with swfmake and read back by the engine's reader: what
// goes in must come out.
#include <gtest/gtest.h>

#include "swf/model/Movie.h"
#include "swf/read/MovieReader.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

constexpr swf::Rect kStage{0, 550 * 20, 0, 400 * 20};

std::unique_ptr<swf::Movie> ReadBack(const swfmake::SwfWriter& writer, bool compressed = false) {
    swf::ReadResult result = swf::ReadMovie(writer.Write(compressed));
    for (const std::string& e : result.errors) ADD_FAILURE() << "reader: " << e;
    return std::move(result.movie);
}

template <typename T>
const T* As(const swf::Movie& movie, uint16_t id) {
    return static_cast<const T*>(movie.Find(id));
}

void ExpectSameGradient(const swf::Gradient& a, const swf::Gradient& b) {
    EXPECT_EQ(a.spread, b.spread);
    EXPECT_EQ(a.interpolation, b.interpolation);
    EXPECT_EQ(a.focalPoint, b.focalPoint);
    ASSERT_EQ(a.stops.size(), b.stops.size());
    for (size_t i = 0; i < a.stops.size(); ++i) {
        EXPECT_EQ(a.stops[i].ratio, b.stops[i].ratio);
        EXPECT_EQ(a.stops[i].color, b.stops[i].color);
    }
}

void ExpectSameFill(const swf::FillStyle& a, const swf::FillStyle& b) {
    EXPECT_EQ(a.kind, b.kind);
    if (a.kind == swf::FillKind::Solid) {
        EXPECT_EQ(a.color, b.color);
        return;
    }
    EXPECT_EQ(a.matrix, b.matrix);
    ExpectSameGradient(a.gradient, b.gradient);
}

void ExpectSameLine(const swf::LineStyle& a, const swf::LineStyle& b, bool style2) {
    EXPECT_EQ(a.width, b.width);
    if (!a.hasFill) EXPECT_EQ(a.color, b.color);
    if (!style2) return;
    EXPECT_EQ(a.startCap, b.startCap);
    EXPECT_EQ(a.endCap, b.endCap);
    EXPECT_EQ(a.join, b.join);
    if (a.join == swf::JoinStyle::Miter) EXPECT_EQ(a.miterLimit, b.miterLimit);
    EXPECT_EQ(a.noHScale, b.noHScale);
    EXPECT_EQ(a.noVScale, b.noVScale);
    EXPECT_EQ(a.pixelHinting, b.pixelHinting);
    EXPECT_EQ(a.noClose, b.noClose);
    EXPECT_EQ(a.hasFill, b.hasFill);
    if (a.hasFill) ExpectSameFill(a.fill, b.fill);
}

void ExpectSameShape(const swf::Shape& a, const swf::Shape& b, bool style2) {
    EXPECT_EQ(a.bounds, b.bounds);
    ASSERT_EQ(a.layers.size(), b.layers.size());
    for (size_t l = 0; l < a.layers.size(); ++l) {
        const swf::ShapeLayer& x = a.layers[l];
        const swf::ShapeLayer& y = b.layers[l];
        ASSERT_EQ(x.fills.size(), y.fills.size());
        for (size_t i = 0; i < x.fills.size(); ++i) ExpectSameFill(x.fills[i], y.fills[i]);
        ASSERT_EQ(x.lines.size(), y.lines.size());
        for (size_t i = 0; i < x.lines.size(); ++i) ExpectSameLine(x.lines[i], y.lines[i], style2);
        ASSERT_EQ(x.edges.size(), y.edges.size()) << "layer " << l;
        for (size_t i = 0; i < x.edges.size(); ++i) {
            const swf::ShapeEdge& e = x.edges[i];
            const swf::ShapeEdge& f = y.edges[i];
            EXPECT_EQ(e.from, f.from) << "edge " << i;
            EXPECT_EQ(e.to, f.to) << "edge " << i;
            EXPECT_EQ(e.curved, f.curved) << "edge " << i;
            if (e.curved) EXPECT_EQ(e.control, f.control) << "edge " << i;
            EXPECT_EQ(e.fill0, f.fill0) << "edge " << i;
            EXPECT_EQ(e.fill1, f.fill1) << "edge " << i;
            EXPECT_EQ(e.line, f.line) << "edge " << i;
        }
    }
}

swf::Shape RichShape(bool style2) {
    swfmake::ShapeBuilder b;
    swf::Rect box{-2000, 3000, -1000, 1500};
    swf::FillStyle linear = swfmake::GradientFill(
        swf::FillKind::LinearGradient, swfmake::GradientBox(box),
        {{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 128}}, {255, {0, 0, 255, 255}}});
    linear.gradient.spread = swf::SpreadMode::Reflect;
    linear.gradient.interpolation = swf::InterpolationMode::Linear;
    swf::FillStyle radial = swfmake::GradientFill(
        style2 ? swf::FillKind::FocalRadialGradient : swf::FillKind::RadialGradient,
        swfmake::GradientBoxVertical(box), {{0, {1, 2, 3, 255}}, {255, {4, 5, 6, 7}}});
    if (style2) radial.gradient.focalPoint = -128;
    radial.gradient.spread = swf::SpreadMode::Repeat;
    uint16_t f1 = b.AddFill(linear);
    uint16_t f2 = b.AddFill(radial);
    swf::LineStyle thick = swfmake::SolidLine(200, {10, 20, 30, 200});
    if (style2) {
        thick.startCap = swf::CapStyle::None;
        thick.endCap = swf::CapStyle::Square;
        thick.join = swf::JoinStyle::Miter;
        thick.miterLimit = 0x280;
        thick.noClose = true;
        thick.noHScale = true;
        thick.pixelHinting = true;
    }
    uint16_t l1 = b.AddLine(thick);
    b.FillRect(box, f1, l1);
    b.FillEllipse(500, 200, 900, 600, f2);
    b.SetFill0(f1).SetFill1(0).SetLine(0).MoveTo(-5, 7).CurveTo(400, -900, 800, 7).LineTo(-5, 7);
    b.NewLayer();
    swf::LineStyle stroke = swfmake::SolidLine(40, {9, 9, 9, 255});
    if (style2) {
        stroke.hasFill = true;
        stroke.fill = linear;
        stroke.join = swf::JoinStyle::Bevel;
    }
    uint16_t l2 = b.AddLine(stroke);
    b.AddSolidFill({50, 60, 70, 255});
    b.SetLine(l2).MoveTo(0, 0).LineTo(0, 3000).LineTo(-3000, 3000);
    b.SetLine(0).FillRoundedRect({100, 2100, 100, 1100}, 300, 1);
    return b.Build();
}

TEST(RoundTripTest, DefineShape3KeepsStylesEdgesAndLayers) {
    swfmake::SwfWriter w(8, kStage, 12);
    swf::Shape shape = RichShape(false);
    w.Tags().DefineShape(1, shape, 3);
    w.Tags().ShowFrame();
    auto movie = ReadBack(w);
    ASSERT_TRUE(movie);
    auto* read = As<swf::ShapeCharacter>(*movie, 1);
    ASSERT_TRUE(read && read->kind == swf::CharacterKind::Shape);
    ExpectSameShape(shape, read->shape, false);
}

TEST(RoundTripTest, DefineShape4KeepsLineStyle2AndFocalGradients) {
    swfmake::SwfWriter w(8, kStage, 12);
    swf::Shape shape = RichShape(true);
    w.Tags().DefineShape(7, shape, 4);
    w.Tags().ShowFrame();
    auto movie = ReadBack(w, true);
    ASSERT_TRUE(movie);
    auto* read = As<swf::ShapeCharacter>(*movie, 7);
    ASSERT_TRUE(read);
    ExpectSameShape(shape, read->shape, true);
    EXPECT_EQ(shape.edgeBounds, read->shape.edgeBounds);
}

TEST(RoundTripTest, RgbShapesDropAlphaAndLargeStyleArraysUseTheExtendedCount) {
    constexpr int kFills = 300;
    swfmake::ShapeBuilder b;
    for (int i = 0; i < kFills; ++i) b.AddSolidFill({uint8_t(i), uint8_t(i / 2), 7, 99});
    b.FillRect({0, 100, 0, 100}, kFills);
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().DefineShape(2, b.Build(), 2);
    auto movie = ReadBack(w);
    ASSERT_TRUE(movie);
    auto* read = As<swf::ShapeCharacter>(*movie, 2);
    ASSERT_TRUE(read);
    ASSERT_EQ(kFills, static_cast<int>(read->shape.layers.at(0).fills.size()));
    EXPECT_EQ((swf::Rgba{44, 22, 7, 255}), read->shape.layers[0].fills[300 - 256].color);
    EXPECT_EQ(kFills, read->shape.layers[0].edges.at(0).fill1);
}

TEST(RoundTripTest, EdgesTooLongForOneRecordAreSplitButKeepTheirPath) {
    swfmake::ShapeBuilder b;
    b.SetLine(b.AddSolidLine(20, {0, 0, 0, 255}));
    b.MoveTo(-100000, 5).LineTo(150000, 5).CurveTo(200000, 180000, -100000, 5);
    swfmake::SwfWriter w(8, kStage, 12);
    w.Tags().DefineShape(3, b.Build(), 3);
    auto movie = ReadBack(w);
    ASSERT_TRUE(movie);
    const auto& edges = As<swf::ShapeCharacter>(*movie, 3)->shape.layers.at(0).edges;
    ASSERT_GT(edges.size(), 2u);
    EXPECT_EQ((swf::Point{-100000, 5}), edges.front().from);
    EXPECT_EQ((swf::Point{-100000, 5}), edges.back().to);
    for (size_t i = 1; i < edges.size(); ++i) EXPECT_EQ(edges[i - 1].to, edges[i].from);
    EXPECT_TRUE(std::any_of(edges.begin(), edges.end(),
                            [](const swf::ShapeEdge& e) { return e.to == swf::Point{150000, 5}; }));
}

}  // namespace
