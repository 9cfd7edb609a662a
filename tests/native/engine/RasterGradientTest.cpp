// Gradient ramps, their placement by matrix, spread modes, focal radial
// gradients, and the blending loops against the plain reference.
#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "RasterTestUtil.h"
#include "swf/render/Paint.h"
#include "swf/render/RasterBackend.h"

namespace swf {
namespace {

using namespace rastertest;

constexpr int kSide = 64;  // pixels the gradient square spans in these tests
// 32768 gradient twips onto 64 pixels = 1280 twips: scale 1280 / 32768 in 16.16.
constexpr int32_t kGradientScale = 2560;

Gradient BlackToWhite(SpreadMode spread = SpreadMode::Pad) {
    Gradient g;
    g.spread = spread;
    g.stops = {{0, Rgba{0, 0, 0, 255}}, {255, Rgba{255, 255, 255, 255}}};
    return g;
}

FillStyle GradientFill(FillKind kind, Gradient g, int centreX = kSide / 2, int centreY = kSide / 2) {
    FillStyle f;
    f.kind = kind;
    f.gradient = g;
    f.matrix = Matrix::Scale(kGradientScale, kGradientScale);
    f.matrix.tx = centreX * kTw;
    f.matrix.ty = centreY * kTw;
    return f;
}

FrameBuffer DrawFill(const FillStyle& fill, int w, int h, const ColorTransform& cx = {}) {
    Shape s;
    s.layers.emplace_back();
    s.layers[0].fills = {fill};
    AddEdges(s.layers[0], PixelRect(0, 0, w, h), 1);
    FrameBuffer fb(w, h);
    RasterBackend backend(fb);
    backend.BeginFrame(Rgba{255, 255, 255, 255});
    backend.DrawShape(s, {}, cx);
    return fb;
}

int Grey(const FrameBuffer& fb, int x, int y) { return fb.At(x, y) & 0xFF; }

TEST(RasterGradientTest, RampInterpolatesStopsAndAppliesTheTransform) {
    Gradient g;
    g.stops = {{64, Rgba{0, 0, 0, 255}}, {192, Rgba{255, 100, 0, 0}}};
    uint32_t ramp[256];
    BuildRamp(g, {}, ramp);
    EXPECT_EQ(ramp[0], 0xFF000000u);   // padded with the first stop
    EXPECT_EQ(ramp[64], 0xFF000000u);
    EXPECT_EQ(ramp[255], 0u);          // alpha 0 premultiplies to nothing
    // Halfway: (128, 50, 0, a 128) premultiplied -> (64, 25, 0).
    EXPECT_EQ(ramp[128], FrameBuffer::Pack(128, 64, 25, 0));
    ColorTransform invert;
    invert.rMul = invert.gMul = invert.bMul = -256;
    invert.rAdd = invert.gAdd = invert.bAdd = 255;
    BuildRamp(BlackToWhite(), invert, ramp);
    EXPECT_EQ(ramp[0], 0xFFFFFFFFu);
    EXPECT_EQ(ramp[255], 0xFF000000u);
}

TEST(RasterGradientTest, RampPassesOneStopPerEntry) {
    const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, white{255, 255, 255, 255};
    uint32_t ramp[256];
    // Stops sharing a ratio each show for one entry after their ratio, but
    // the last of them only starts the next segment.
    Gradient shared;
    shared.stops = {{6, red}, {6, green}, {6, blue}, {106, white}};
    BuildRamp(shared, {}, ramp);
    EXPECT_EQ(ramp[6], FrameBuffer::Premultiply(red));
    EXPECT_EQ(ramp[7], FrameBuffer::Premultiply(red));
    EXPECT_EQ(ramp[8], FrameBuffer::Premultiply(green));
    EXPECT_EQ(ramp[9], FrameBuffer::Pack(255, 8, 8, 255));  // already 3/100 of blue to white
    EXPECT_EQ(ramp[56], FrameBuffer::Pack(255, 128, 128, 255));
    // A stop going back: past 80 the segment runs from blue at 50 to white
    // at 100, not from where the walk stands.
    Gradient back;
    back.stops = {{0, red}, {80, green}, {50, blue}, {100, white}};
    BuildRamp(back, {}, ramp);
    EXPECT_EQ(ramp[80], FrameBuffer::Premultiply(green));
    EXPECT_EQ(ramp[81], FrameBuffer::Premultiply(green));  // passing blue shows green
    EXPECT_EQ(ramp[90], FrameBuffer::Pack(255, 204, 204, 255));
    EXPECT_EQ(ramp[255], FrameBuffer::Premultiply(white));
}

TEST(RasterGradientTest, LinearLightInterpolationMixesLight) {
    Gradient g = BlackToWhite();
    g.interpolation = InterpolationMode::Linear;
    uint32_t ramp[256];
    BuildRamp(g, {}, ramp);
    // Half the light of white is sRGB 188 (0.5 ^ (1 / 2.4) on the curve).
    EXPECT_EQ(ramp[128] & 0xFF, 188u);
    EXPECT_EQ(ramp[0], 0xFF000000u);
    EXPECT_EQ(ramp[255], 0xFFFFFFFFu);
    for (int i = 1; i < 256; ++i) EXPECT_GE(ramp[i] & 0xFF, ramp[i - 1] & 0xFF);
}

TEST(RasterGradientTest, LinearGradientSamplesRowTopsAtPixelCentres) {
    FrameBuffer fb = DrawFill(GradientFill(FillKind::LinearGradient, BlackToWhite()), kSide, 2);
    // Pixel x spans ratios 4x .. 4x + 4; its centre is at ratio 4x + 2.
    EXPECT_EQ(Grey(fb, 0, 0), 2);
    EXPECT_EQ(Grey(fb, 10, 1), 42);
    EXPECT_EQ(Grey(fb, 32, 0), 130);
    EXPECT_EQ(Grey(fb, 63, 0), 254);
    // Rotated a quarter turn the ramp runs down the rows instead, sampled on
    // each row's top edge: row y starts at ratio 4y.
    FillStyle turned = GradientFill(FillKind::LinearGradient, BlackToWhite());
    turned.matrix.a = turned.matrix.d = 0;
    turned.matrix.b = kGradientScale;
    turned.matrix.c = -kGradientScale;
    FrameBuffer col = DrawFill(turned, 2, kSide);
    EXPECT_EQ(Grey(col, 1, 10), 40);
    EXPECT_EQ(Grey(col, 0, 63), 252);
    // Turned the other way the ramp runs up the rows: the top edge is the
    // row's higher ratio.
    std::swap(turned.matrix.b, turned.matrix.c);
    FrameBuffer up = DrawFill(turned, 2, kSide);
    EXPECT_EQ(Grey(up, 0, 0), 255);
    EXPECT_EQ(Grey(up, 1, 10), 216);
}

TEST(RasterGradientTest, SpreadModesBeyondTheSquare) {
    // Pixel 70: ratio position 282 -> pad 255, repeat 26, reflect 229.
    const int kWide = 80;
    EXPECT_EQ(Grey(DrawFill(GradientFill(FillKind::LinearGradient, BlackToWhite(SpreadMode::Pad)), kWide, 1), 70, 0), 255);
    EXPECT_EQ(Grey(DrawFill(GradientFill(FillKind::LinearGradient, BlackToWhite(SpreadMode::Repeat)), kWide, 1), 70, 0), 26);
    EXPECT_EQ(Grey(DrawFill(GradientFill(FillKind::LinearGradient, BlackToWhite(SpreadMode::Reflect)), kWide, 1), 70, 0), 229);
    EXPECT_EQ(SpreadIndex(SpreadMode::Reflect, -1), 0);
    EXPECT_EQ(SpreadIndex(SpreadMode::Repeat, -1), 255);
    EXPECT_EQ(SpreadIndex(SpreadMode::Pad, -1000), 0);
}

TEST(RasterGradientTest, RadialGradientsByDistance) {
    // Radius 32 pixels, centred at (32, 32): ratio = floor(distance * 8).
    FrameBuffer fb = DrawFill(GradientFill(FillKind::RadialGradient, BlackToWhite()), kSide, kSide);
    EXPECT_EQ(Grey(fb, 32, 32), 5);    // centre (32.5, 32.5): 0.707 px -> 5
    EXPECT_EQ(Grey(fb, 42, 32), 84);   // (10.5, 0.5) -> 10.51 px -> 84
    EXPECT_EQ(Grey(fb, 32, 12), 156);  // (0.5, -19.5) -> 19.51 px -> 156
    EXPECT_EQ(Grey(fb, 0, 0), 255);    // outside: padded
    // A focal gradient with its focus at the centre is the plain radial one.
    FrameBuffer focal0 = DrawFill(GradientFill(FillKind::FocalRadialGradient, BlackToWhite()), kSide, kSide);
    EXPECT_TRUE(std::equal(fb.Data(), fb.Data() + kSide * kSide, focal0.Data()));
}

TEST(RasterGradientTest, FocalGradientStartsAtTheFocus) {
    Gradient g = BlackToWhite();
    g.focalPoint = 128;  // half way to the right edge: focus at (48, 32)
    FrameBuffer fb = DrawFill(GradientFill(FillKind::FocalRadialGradient, g), kSide, kSide);
    EXPECT_EQ(Grey(fb, 48, 32), 9);  // centre 0.7 px from the focus: t = 0.038
    // Towards the near edge the ramp is compressed, towards the far one stretched:
    // at 8 px right of the focus t = 8 / 16, at 8 px left t = 8 / 48.
    EXPECT_NEAR(Grey(fb, 56, 32), 136, 6);
    EXPECT_NEAR(Grey(fb, 40, 32), 45, 6);
    EXPECT_EQ(Grey(fb, 63, 32), 248);  // 15.5 of the 16 px to the near edge
    EXPECT_EQ(Grey(fb, 0, 0), 255);
}

TEST(RasterGradientTest, DegenerateMatrixDrawsTheOuterColour) {
    FillStyle f = GradientFill(FillKind::LinearGradient, BlackToWhite());
    f.matrix.a = f.matrix.d = 0;
    FrameBuffer fb = DrawFill(f, 4, 4);
    EXPECT_EQ(fb.At(1, 1), 0xFFFFFFFFu);
}

TEST(RasterGradientTest, BlendLoopsMatchTheReferenceByteForByte) {
    std::mt19937 rng(5);
    auto randomPremul = [&] {
        uint32_t a = rng() & 0xFF;
        auto ch = [&] { return a == 0 ? 0u : uint32_t(rng() % (a + 1)); };
        return FrameBuffer::Pack(uint8_t(a), uint8_t(ch()), uint8_t(ch()), uint8_t(ch()));
    };
    for (int round = 0; round < 2000; ++round) {
        const uint32_t src = round % 7 == 0 ? (0xFF000000u | (rng() & 0xFFFFFF)) : randomPremul();
        const uint8_t cov = round % 5 == 0 ? 255 : uint8_t(rng());
        uint32_t fast[9], plain[9];
        for (int i = 0; i < 9; ++i) fast[i] = plain[i] = randomPremul();
        BlendSolidSpan(fast, 9, src, cov);
        for (uint32_t& p : plain) p = BlendPixel(p, src, cov);
        ASSERT_TRUE(std::equal(fast, fast + 9, plain)) << std::hex << src << " " << int(cov);
    }
    // Gradient spans against per-pixel evaluation and the reference blend.
    Gradient g = BlackToWhite(SpreadMode::Reflect);
    g.stops[1].color.a = 90;
    g.focalPoint = -200;
    for (FillKind kind : {FillKind::LinearGradient, FillKind::RadialGradient, FillKind::FocalRadialGradient}) {
        FillStyle f = GradientFill(kind, g, 20, 9);
        f.matrix.b = 700;
        const Paint paint = MakePaint(f, {}, {});
        FrameBuffer fb(150, 3);
        for (int i = 0; i < 150 * 3; ++i) fb.Data()[i] = randomPremul();
        FrameBuffer ref = fb;
        PaintCompositor comp(fb, paint);
        const Span spans[] = {{0, 70, 200}, {70, 80, 255}};
        comp.Row(2, spans, 2);
        for (const Span& s : spans)
            for (int x = s.x; x < s.x + s.len; ++x) {
                int64_t gx = paint.gx0 + x * paint.gxPerX + 2 * paint.gxPerY;
                int64_t gy = paint.gy0 + x * paint.gyPerX + 2 * paint.gyPerY;
                uint32_t c = paint.ramp[SpreadIndex(paint.spread, GradientPosition(paint, gx, gy))];
                ref.Row(2)[x] = BlendPixel(ref.Row(2)[x], c, s.alpha);
            }
        EXPECT_TRUE(std::equal(fb.Data(), fb.Data() + 450, ref.Data())) << int(kind);
    }
}

}  // namespace
}  // namespace swf
