// Filters, blur and blend modes on small pictures of known colours; the
// expected values are worked out by hand from the rounding rules
// (x / 255 rounded to nearest, window sums rounded down).
#include <gtest/gtest.h>

#include <random>

#include "swf/render/BlendModes.h"
#include "swf/render/Blur.h"
#include "swf/render/Filters.h"
#include "tools/swfmake/FilterWriter.h"

namespace {

using swf::BlendMode;
using swf::Filter;
using swf::FilterKind;
using swf::FrameBuffer;

constexpr int32_t kPx = swf::kFixedOne;
constexpr uint32_t kRed = 0xFFFF0000u, kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

// A picture of `w` x `h` opaque `color` pixels at the origin.
swf::EffectImage Solid(int w, int h, uint32_t color) {
    swf::EffectImage img;
    img.pixels.Resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.pixels.Row(y)[x] = color;
    return img;
}

// The plain weighted window, the reference the running sums must equal.
std::vector<uint8_t> NaiveBlurLine(const std::vector<uint8_t>& in, const swf::BoxWindow& w) {
    const int64_t weight = (2 * w.radius + 1) * 256 + 2 * w.frac;
    std::vector<uint8_t> out(in.size());
    auto at = [&](int i) { return i < 0 || i >= int(in.size()) ? 0 : in[size_t(i)]; };
    for (int x = 0; x < int(in.size()); ++x) {
        int64_t num = 0;
        for (int i = -w.radius; i <= w.radius; ++i) num += 256 * at(x + i);
        num += int64_t(w.frac) * (at(x - w.radius - 1) + at(x + w.radius + 1));
        out[size_t(x)] = uint8_t(num / weight);
    }
    return out;
}

TEST(BlurTest, WindowOfEachWidth) {
    struct Case { int32_t width16; int32_t radius, frac, reach; } cases[] = {
        {0, 0, 0, 0},           {kPx, 0, 0, 0},         {2 * kPx, 0, 128, 1},
        {3 * kPx, 1, 0, 1},     {4 * kPx, 1, 128, 2},   {kPx * 5 / 2, 0, 192, 1},
        {-kPx, 0, 0, 0},        {1000 * kPx, 127, 0, 127},
    };
    for (const Case& c : cases) {
        swf::BoxWindow w = swf::BoxWindowFor(c.width16);
        EXPECT_EQ(c.radius, w.radius) << c.width16;
        EXPECT_EQ(c.frac, w.frac) << c.width16;
        EXPECT_EQ(c.reach, w.Reach()) << c.width16;
    }
    EXPECT_EQ(6, swf::BlurReach(4 * kPx, 3));
}

TEST(BlurTest, ImpulseSpreadsByTheWindowWeights) {
    swf::Plane p(5, 5, 1);
    p.Row(2)[2] = 255;
    swf::BoxBlur(p, 2 * kPx, 2 * kPx, 1);  // weights 1/4 1/2 1/4
    // Rows: 63 127 63 (255/4 = 63.75, 255/2 = 127.5 down), then columns of those.
    const uint8_t expect[3][3] = {{15, 31, 15}, {31, 63, 31}, {15, 31, 15}};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 3;
            EXPECT_EQ(inside ? expect[y - 1][x - 1] : 0, p.Row(y)[x]) << x << "," << y;
        }
}

TEST(BlurTest, RunningSumsEqualThePlainWindowOnNoise) {
    std::mt19937 rng(7);
    for (int32_t width16 : {2 * kPx, 3 * kPx, kPx * 7 / 3, 9 * kPx, 40 * kPx + 123}) {
        swf::Plane p(61, 1, 1);
        for (uint8_t& v : p.data) v = uint8_t(rng());
        std::vector<uint8_t> want = p.data;
        for (int pass = 0; pass < 3; ++pass) want = NaiveBlurLine(want, swf::BoxWindowFor(width16));
        swf::BoxBlur(p, width16, 0, 3);
        EXPECT_EQ(want, p.data) << width16;
    }
}

TEST(BlurTest, FlatAreaStaysFlatAndChannelsStayApart) {
    FrameBuffer fb(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) fb.Row(y)[x] = 0x80402010u;
    swf::BoxBlur(fb, 5 * kPx, 5 * kPx, 2);
    EXPECT_EQ(0x80402010u, fb.At(10, 10));
    EXPECT_EQ(fb.At(0, 10), fb.At(10, 0));  // same fall-off in x and y
}

swf::Filter Shadow(int distance, bool inner = false, bool knockout = false, bool hide = false) {
    Filter f = swfmake::DropShadowFilter({0, 0, 0, 255}, 0, distance, 0);
    f.inner = inner;
    f.knockout = knockout;
    f.hideObject = hide;
    return f;
}

TEST(FilterTest, DropShadowWithoutBlurPlacements) {
    // A 4 x 1 red bar, its shadow 2 pixels to the right.
    struct Case { const char* name; Filter f; std::vector<uint32_t> row; int x; } cases[] = {
        {"outer", Shadow(2), {kRed, kRed, kRed, kRed, kBlack, kBlack}, 0},
        {"knockout", Shadow(2, false, true), {0, 0, 0, 0, kBlack, kBlack}, 0},
        {"hide", Shadow(2, false, false, true), {0, 0, kBlack, kBlack, kBlack, kBlack}, 0},
        {"knockout hidden", Shadow(2, false, true, true), {0, 0, 0, 0, kBlack, kBlack}, 0},
        {"inner", Shadow(2, true), {kBlack, kBlack, kRed, kRed}, 0},
        {"inner knockout", Shadow(2, true, true), {kBlack, kBlack, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        swf::EffectImage img = Solid(4, 1, kRed);
        swf::ApplyFilter(c.f, {}, img);
        ASSERT_EQ(int(c.row.size()), img.pixels.Width()) << c.name;
        std::vector<uint32_t> got(img.pixels.Row(0), img.pixels.Row(0) + img.pixels.Width());
        EXPECT_EQ(c.row, got) << c.name;
        EXPECT_EQ(c.x, img.x) << c.name;
    }
}

TEST(FilterTest, GlowOfOnePixelFollowsTheBlurAndStrength) {
    for (int16_t strength : {int16_t(256), int16_t(512)}) {
        Filter f = swfmake::GlowFilter({255, 0, 0, 255}, 2);
        f.strength = strength;
        swf::EffectImage img = Solid(1, 1, kWhite);
        img.x = img.y = 10;
        swf::ApplyFilter(f, {}, img);
        ASSERT_EQ(3, img.pixels.Width());
        EXPECT_EQ(9, img.x);
        EXPECT_EQ(kWhite, img.pixels.At(1, 1));  // the object over its glow
        // Weights 1/4 1/2 1/4 each way, rounded down: 255 -> 127 -> 31 beside, 63 -> 15 across.
        uint32_t edge = strength == 256 ? 0x1F1F0000u : 0x3E3E0000u;
        uint32_t corner = strength == 256 ? 0x0F0F0000u : 0x1E1E0000u;
        EXPECT_EQ(edge, img.pixels.At(1, 0));
        EXPECT_EQ(edge, img.pixels.At(0, 1));
        EXPECT_EQ(corner, img.pixels.At(2, 2));
    }
}

TEST(FilterTest, BevelLightsTheSideFacingTheLight) {
    Filter f;
    f.kind = FilterKind::Bevel;
    f.inner = true;
    f.distance = 2 * kPx;  // at 45 degrees: one pixel across and down
    f.angle = 51472;       // pi / 4 in 16.16
    f.color = {0, 0, 0, 255};
    f.highlight = {255, 255, 255, 255};
    // The gradient bevel's ramp: highlight at ratio 0, shadow at 255.
    f.stops = {{0, {255, 255, 255, 255}}, {128, {0, 0, 0, 0}}, {255, {0, 0, 0, 255}}};
    for (FilterKind kind : {FilterKind::Bevel, FilterKind::GradientBevel}) {
        f.kind = kind;
        swf::EffectImage img = Solid(4, 4, kRed);
        swf::ApplyFilter(f, {}, img);
        ASSERT_EQ(4, img.pixels.Width());
        EXPECT_EQ(kWhite, img.pixels.At(0, 0)) << int(kind);
        EXPECT_EQ(kBlack, img.pixels.At(3, 3)) << int(kind);
        EXPECT_EQ(kRed, img.pixels.At(1, 1)) << int(kind);
        EXPECT_EQ(kRed, img.pixels.At(0, 3)) << int(kind);
    }
}

TEST(FilterTest, GradientGlowKnockoutLeavesOnlyTheRing) {
    Filter f;
    f.kind = FilterKind::GradientGlow;
    f.blurX = f.blurY = 3 * kPx;
    f.knockout = true;
    f.stops = {{0, {0, 0, 255, 255}}, {255, {0, 0, 255, 255}}};
    swf::EffectImage img = Solid(2, 2, kRed);
    swf::ApplyFilter(f, {}, img);
    ASSERT_EQ(4, img.pixels.Width());
    EXPECT_EQ(0xFF0000FFu, img.pixels.At(0, 0));
    EXPECT_EQ(0u, img.pixels.At(1, 1));
    EXPECT_EQ(0u, img.pixels.At(2, 2));
}

TEST(FilterTest, MarginsGrowWithBlurPassesOffsetAndView) {
    Filter bevel = Shadow(2);
    bevel.kind = FilterKind::Bevel;
    bevel.angle = 51472;
    bevel.blurX = bevel.blurY = 4 * kPx;
    struct Case { const char* name; Filter f; swf::FilterScale scale; swf::Margins m; } cases[] = {
        {"blur", swfmake::BlurFilter(4, 2), {}, {2, 1, 2, 1}},
        {"blur 3 passes", swfmake::BlurFilter(4, 2, 3), {}, {6, 3, 6, 3}},
        {"blur view x2", swfmake::BlurFilter(4, 2), {2 * kPx, 2 * kPx}, {3, 1, 3, 1}},
        {"blur 1 view x2", swfmake::BlurFilter(1, 1), {2 * kPx, 2 * kPx}, {0, 0, 0, 0}},
        {"shadow right", Shadow(3), {}, {0, 0, 3, 0}},
        {"shadow view x2", Shadow(3), {2 * kPx, kPx}, {0, 0, 6, 0}},
        {"inner shadow", Shadow(3, true), {}, {0, 0, 0, 0}},
        {"shadow at 135 degrees", swfmake::DropShadowFilter({}, 2, 4, 135), {}, {4, 1, 1, 4}},
        {"bevel both ways", bevel, {}, {3, 3, 3, 3}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.m, swf::FilterMargins(c.f, c.scale)) << c.name;
    swf::Margins sum = swf::FilterListMargins({Shadow(3), swfmake::BlurFilter(4, 2)}, {});
    EXPECT_EQ((swf::Margins{2, 1, 5, 1}), sum);
}

TEST(FilterTest, ColorMatrixOnStraightColour) {
    Filter f;
    f.kind = FilterKind::ColorMatrix;
    // Red and blue swapped, green plus 100, alpha kept.
    f.matrix = {0, 0, kPx, 0, 0, 0, kPx, 0, 0, 100 * kPx, kPx, 0, 0, 0, 0, 0, 0, 0, kPx, 0};
    FrameBuffer fb(2, 1);
    fb.Row(0)[0] = FrameBuffer::Pack(255, 200, 100, 50);
    fb.Row(0)[1] = FrameBuffer::Pack(0, 0, 0, 0);
    swf::ApplyColorMatrix(f, fb);
    EXPECT_EQ(FrameBuffer::Pack(255, 50, 200, 200), fb.At(0, 0));
    EXPECT_EQ(0u, fb.At(1, 0));
}

TEST(FilterTest, ConvolutionEdgesClampOrTakeTheDefault) {
    Filter f;
    f.kind = FilterKind::Convolution;
    f.matrixX = 3;
    f.matrixY = 1;
    f.weights = {kPx / 2, 0, kPx / 2};  // the average of the two neighbours
    f.preserveAlpha = true;
    f.defaultColor = {0, 0, 0, 255};
    for (bool clamp : {true, false}) {
        f.clamp = clamp;
        FrameBuffer fb(3, 1);
        fb.Row(0)[0] = FrameBuffer::Pack(255, 40, 40, 40);
        fb.Row(0)[1] = FrameBuffer::Pack(255, 200, 200, 200);
        fb.Row(0)[2] = FrameBuffer::Pack(255, 100, 100, 100);
        swf::ApplyConvolution(f, fb);
        EXPECT_EQ(FrameBuffer::Pack(255, 70, 70, 70), fb.At(1, 0)) << clamp;
        EXPECT_EQ(clamp ? FrameBuffer::Pack(255, 120, 120, 120) : FrameBuffer::Pack(255, 100, 100, 100),
                  fb.At(0, 0))
            << clamp;
        EXPECT_EQ(clamp ? FrameBuffer::Pack(255, 150, 150, 150) : FrameBuffer::Pack(255, 100, 100, 100),
                  fb.At(2, 0))
            << clamp;
    }
}

// Source (200, 100, 50) onto destination (100, 150, 250), both opaque.
TEST(BlendModeTest, OpaqueColoursPerMode) {
    const uint32_t src = FrameBuffer::Pack(255, 200, 100, 50), dst = FrameBuffer::Pack(255, 100, 150, 250);
    struct Case { BlendMode mode; uint32_t want; } cases[] = {
        {BlendMode::Normal, src},
        {BlendMode::Layer, src},
        {BlendMode::Multiply, FrameBuffer::Pack(255, 78, 59, 49)},
        {BlendMode::Screen, FrameBuffer::Pack(255, 222, 191, 251)},
        {BlendMode::Lighten, FrameBuffer::Pack(255, 200, 150, 250)},
        {BlendMode::Darken, FrameBuffer::Pack(255, 100, 100, 50)},
        {BlendMode::Difference, FrameBuffer::Pack(255, 100, 50, 200)},
        {BlendMode::Add, FrameBuffer::Pack(255, 255, 250, 255)},
        {BlendMode::Subtract, FrameBuffer::Pack(255, 0, 50, 200)},
        {BlendMode::Invert, FrameBuffer::Pack(255, 155, 105, 5)},
        {BlendMode::Alpha, dst},
        {BlendMode::Erase, 0u},
        {BlendMode::Overlay, FrameBuffer::Pack(255, 156, 127, 247)},
        {BlendMode::HardLight, FrameBuffer::Pack(255, 189, 118, 98)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, swf::BlendModePixel(c.mode, dst, src)) << int(c.mode);
}

TEST(BlendModeTest, TransparentSourceKeepsTheDestinationSaveForAlpha) {
    const uint32_t dst = FrameBuffer::Pack(255, 100, 150, 250), half = FrameBuffer::Pack(128, 0, 0, 0);
    for (uint8_t m = 1; m <= swf::kLastBlendMode; ++m) {
        BlendMode mode = swf::BlendModeFromCode(m);
        EXPECT_EQ(mode == BlendMode::Alpha ? 0u : dst, swf::BlendModePixel(mode, dst, 0)) << int(m);
    }
    // Half-transparent source: alpha keeps half, erase the other half.
    EXPECT_EQ(FrameBuffer::Pack(128, 50, 75, 125), swf::BlendModePixel(BlendMode::Alpha, dst, half));
    EXPECT_EQ(FrameBuffer::Pack(127, 50, 75, 125), swf::BlendModePixel(BlendMode::Erase, dst, half));
    EXPECT_EQ(BlendMode::Normal, swf::BlendModeFromCode(0));
    EXPECT_EQ(BlendMode::Normal, swf::BlendModeFromCode(200));
}

TEST(BlendModeTest, CompositeClipsToTheTargetAndScalesByAlpha) {
    FrameBuffer dst(3, 2), src(2, 2);
    dst.Fill({100, 150, 250, 255});
    src.Fill({200, 100, 50, 255});
    swf::CompositeBlend(dst, src, 2, 1, BlendMode::Multiply);
    EXPECT_EQ(FrameBuffer::Pack(255, 78, 59, 49), dst.At(2, 1));
    EXPECT_EQ(FrameBuffer::Pack(255, 100, 150, 250), dst.At(1, 1));
    swf::CompositeBlend(dst, src, -1, -1, BlendMode::Normal, 0);
    EXPECT_EQ(FrameBuffer::Pack(255, 100, 150, 250), dst.At(0, 0));
}

}  // namespace
