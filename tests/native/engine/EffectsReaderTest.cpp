// Filter lists, blend modes, bitmap caching and scaling grids written by
// swfmake and read back, and the reader's bounds on their counts and sizes.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "swf/read/MovieReader.h"
#include "swf/read/TagReaders.h"
#include "tools/swfmake/ByteWriter.h"
#include "tools/swfmake/FilterWriter.h"

namespace {

using swf::Filter;
using swf::FilterKind;
constexpr int32_t kPx = swf::kFixedOne;

swf::ReadResult PlaceWith(const swf::FilterList& filters, uint8_t blend = 0, bool cache = false) {
    swfmake::SwfWriter w(8, enginetest::kStage, 12);
    w.Tags().DefineShape(1, enginetest::Square(100));
    swfmake::Placement p = swfmake::NewPlacement(1, 1);
    p.filters = filters;
    if (blend) p.blendMode = blend;
    if (cache) p.cacheAsBitmap = true;
    w.Tags().PlaceObject3(p);
    w.Tags().ShowFrame();
    return swf::ReadMovie(w.Write(false));
}

Filter Bevel() {
    Filter f;
    f.kind = FilterKind::GradientBevel;
    f.stops = {{0, {255, 255, 255, 255}}, {128, {1, 2, 3, 0}}, {255, {0, 0, 0, 200}}};
    f.blurX = 5 * kPx + 1;
    f.blurY = kPx / 2;
    f.angle = -1234;
    f.distance = 3 * kPx;
    f.strength = 300;
    f.onTop = true;
    f.knockout = true;
    f.passes = 15;
    return f;
}

TEST(EffectsReaderTest, FiltersBlendModeAndCacheRoundTrip) {
    Filter shadow = swfmake::DropShadowFilter({10, 20, 30, 40}, 6, 4, 45, 3);
    shadow.inner = true;
    shadow.hideObject = true;
    Filter conv;
    conv.kind = FilterKind::Convolution;
    conv.matrixX = 3;
    conv.matrixY = 2;
    conv.weights = {kPx, -kPx / 2, 0, kPx / 4, 2 * kPx, -3 * kPx};
    conv.bias = 7 * kPx;
    conv.clamp = false;
    conv.preserveAlpha = false;
    conv.defaultColor = {9, 8, 7, 6};
    Filter matrix;
    matrix.kind = FilterKind::ColorMatrix;
    for (int i = 0; i < swf::kColorMatrixSize; ++i) matrix.matrix[size_t(i)] = (i - 10) * kPx / 4;
    swf::ReadResult r = PlaceWith({shadow, Bevel(), conv, matrix, swfmake::BlurFilter(3, 9, 2)}, 5, true);
    ASSERT_TRUE(r.movie);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    const swf::DisplayCommand& c = r.movie->root.frames[0].commands.at(0);
    EXPECT_TRUE(c.hasFilters && c.hasBlendMode && c.hasCacheAsBitmap && c.cacheAsBitmap);
    EXPECT_EQ(5, c.blendMode);
    ASSERT_EQ(5u, c.filters.size());

    const Filter& s = c.filters[0];
    EXPECT_EQ(FilterKind::DropShadow, s.kind);
    EXPECT_EQ((swf::Rgba{10, 20, 30, 40}), s.color);
    EXPECT_EQ(6 * kPx, s.blurX);
    EXPECT_EQ(shadow.angle, s.angle);
    EXPECT_EQ(4 * kPx, s.distance);
    EXPECT_EQ(3, s.passes);
    EXPECT_TRUE(s.inner && s.hideObject && !s.knockout);

    const Filter& b = c.filters[1];
    ASSERT_EQ(3u, b.stops.size());
    EXPECT_EQ(128, b.stops[1].ratio);
    EXPECT_EQ((swf::Rgba{0, 0, 0, 200}), b.stops[2].color);
    EXPECT_EQ(5 * kPx + 1, b.blurX);
    EXPECT_EQ(-1234, b.angle);
    EXPECT_EQ(300, b.strength);
    EXPECT_TRUE(b.onTop && b.knockout && !b.inner && !b.hideObject);
    EXPECT_EQ(15, b.passes);

    const Filter& k = c.filters[2];
    EXPECT_EQ(conv.weights, k.weights);
    EXPECT_EQ(7 * kPx, k.bias);
    EXPECT_FALSE(k.clamp || k.preserveAlpha);
    EXPECT_EQ((swf::Rgba{9, 8, 7, 6}), k.defaultColor);
    EXPECT_EQ(matrix.matrix, c.filters[3].matrix);
    EXPECT_EQ(9 * kPx, c.filters[4].blurY);
    EXPECT_EQ(2, c.filters[4].passes);
}

// A body after PlaceObject3's depth: a filter list and nothing else.
swf::ReadResult PlaceRawFilters(const std::vector<uint8_t>& list) {
    swfmake::SwfWriter w(8, enginetest::kStage, 12);
    w.Tags().DefineShape(1, enginetest::Square(100));
    swfmake::ByteWriter b;
    b.U8(swf::kPlaceHasCharacter);
    b.U8(swf::kPlace3HasFilters);
    b.U16(1);
    b.U16(1);
    b.Raw(list);
    w.Tags().Raw(swf::kTagPlaceObject3, b.Take());
    w.Tags().ShowFrame();
    return swf::ReadMovie(w.Write(false));
}

TEST(EffectsReaderTest, OversizedListsAreErrorsThatKeepThePlacement) {
    struct Case { const char* name; std::vector<uint8_t> list; const char* error; } cases[] = {
        {"17 filters", {17}, "17 filters"},
        {"unknown kind", {1, 9}, "unknown filter type 9"},
        {"16 x 1 convolution", {1, 5, 16, 1}, "convolution matrix of 16 x 1"},
        {"empty convolution", {1, 5, 0, 3}, "convolution matrix of 0 x 3"},
        {"16 gradient colours", {1, 4, 16}, "gradient filter with 16 colours"},
        {"convolution longer than its tag", {1, 5, 15, 15, 0, 0, 128, 63, 0, 0, 0, 0}, "convolution"},
        {"truncated shadow", {1, 0, 1, 2, 3}, "filters and blend mode not read"},
    };
    for (const auto& c : cases) {
        swf::ReadResult r = PlaceRawFilters(c.list);
        ASSERT_TRUE(r.movie) << c.name;
        ASSERT_EQ(1u, r.errors.size()) << c.name;
        EXPECT_NE(std::string::npos, r.errors[0].find("PlaceObject3")) << r.errors[0];
        EXPECT_NE(std::string::npos, r.errors[0].find(c.error)) << c.name << ": " << r.errors[0];
        ASSERT_EQ(1u, r.movie->root.frames[0].commands.size()) << c.name;
        EXPECT_TRUE(r.movie->root.frames[0].commands[0].filters.empty());
    }
}

TEST(EffectsReaderTest, ScalingGridIsKeptPerCharacter) {
    swfmake::SwfWriter w(8, enginetest::kStage, 12);
    w.Tags().DefineShape(1, enginetest::Square(100));
    w.Tags().DefineScalingGrid(1, {100, 900, 200, 800});
    w.Tags().DefineScalingGrid(1, {0, 10, 0, 10});  // the first one counts
    w.Tags().DefineScalingGrid(2, {50, 50, 0, 10});  // empty: an error
    w.Tags().ShowFrame();
    swf::ReadResult r = swf::ReadMovie(w.Write(false));
    ASSERT_TRUE(r.movie);
    ASSERT_EQ(1u, r.movie->scalingGrids.size());
    EXPECT_EQ((swf::Rect{100, 900, 200, 800}), r.movie->scalingGrids.at(1));
    ASSERT_EQ(1u, r.errors.size());
    EXPECT_NE(std::string::npos, r.errors[0].find("DefineScalingGrid")) << r.errors[0];
}

TEST(EffectsReaderTest, ABevelRecordGivesItsHighlightFirst) {
    const uint8_t bytes[] = {
        1, 3,                // one bevel
        255, 255, 255, 255,  // highlight
        0, 0, 0, 255,        // shadow
        0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 4, 0,  // blur 4 x 4, angle 0, distance 4
        0, 1, 0x21,          // strength 1, composite source, one pass
    };
    swf::ByteReader r(bytes, sizeof bytes);
    const swf::FilterList list = swf::ReadFilterList(r);
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ((swf::Rgba{255, 255, 255, 255}), list[0].highlight);
    EXPECT_EQ((swf::Rgba{0, 0, 0, 255}), list[0].color);
}

}  // namespace
