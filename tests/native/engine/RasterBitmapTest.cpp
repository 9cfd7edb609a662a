// Bitmap fills: nearest texels, clipped against repeating edges, bilinear
// weights, colour transforms, and a JPEG shown through a whole movie.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "RasterTestUtil.h"
#include "swf/render/Paint.h"
#include "swf/render/RasterBackend.h"
#include "tools/swfmake/ImageEncode.h"

namespace swf {
namespace {

using namespace rastertest;

class Bitmaps : public BitmapSource {
public:
    const Bitmap* FindBitmap(uint16_t id) const override { return id == 1 ? &bitmap : nullptr; }
    Bitmap bitmap;
};

// w x h texels, texel (x, y) = grey level x * 40 + y * 10, opaque.
Bitmaps Ramp(int w, int h) {
    Bitmaps b;
    b.bitmap.width = w;
    b.bitmap.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t v = uint8_t(x * 40 + y * 10);
            b.bitmap.pixels.push_back(FrameBuffer::Pack(255, v, v, v));
        }
    return b;
}

// A rectangle of w x h pixels filled with bitmap 1 at `scale` pixels per texel.
FrameBuffer Draw(const Bitmaps& bitmaps, int w, int h, int scale, bool repeat, bool smooth,
                 const ColorTransform& cx = {}, Quality quality = Quality::High) {
    FillStyle f;
    f.kind = FillKind::Bitmap;
    f.bitmapId = 1;
    f.bitmapRepeat = repeat;
    f.bitmapSmooth = smooth;
    f.matrix = Matrix::Scale(scale * kTw * kFixedOne, scale * kTw * kFixedOne);
    Shape s;
    s.layers.emplace_back();
    s.layers[0].fills = {f};
    AddEdges(s.layers[0], PixelRect(0, 0, w, h), 1);
    FrameBuffer fb(w, h);
    RasterBackend backend(fb);
    backend.SetBitmaps(&bitmaps);
    backend.SetQuality(quality);
    backend.BeginFrame(Rgba{255, 0, 0, 255});
    backend.DrawShape(s, {}, cx);
    return fb;
}

int Grey(const FrameBuffer& fb, int x, int y) { return fb.At(x, y) & 0xFF; }

TEST(RasterBitmapTest, UnsmoothedFillShowsEveryTexelAsAHardEdgedBlock) {
    const Bitmaps b = Ramp(4, 3);
    for (int scale : {1, 3}) {
        const FrameBuffer fb = Draw(b, 4 * scale, 3 * scale, scale, false, false);
        for (int y = 0; y < fb.Height(); ++y)
            for (int x = 0; x < fb.Width(); ++x)
                ASSERT_EQ(fb.At(x, y), b.bitmap.At(x / scale, y / scale)) << scale << ": " << x << "," << y;
    }
}

TEST(RasterBitmapTest, PastItsEdgeARepeatingFillWrapsAndAClippedOneKeepsTheEdgeTexel) {
    const Bitmaps b = Ramp(3, 2);
    struct Case {
        bool repeat;
        int x, y;
        int texelX, texelY;
    };
    const Case cases[] = {
        {true, 3, 0, 0, 0}, {true, 4, 3, 1, 1}, {true, 7, 2, 1, 0},
        {false, 3, 0, 2, 0}, {false, 4, 3, 2, 1}, {false, 7, 2, 2, 1},
    };
    for (const Case& c : cases) {
        const FrameBuffer fb = Draw(b, 8, 4, 1, c.repeat, false);
        EXPECT_EQ(fb.At(c.x, c.y), b.bitmap.At(c.texelX, c.texelY)) << c.repeat << " " << c.x << "," << c.y;
    }
}

TEST(RasterBitmapTest, SmoothedFillWeighsTheFourTexelsAroundEachPixelCentre) {
    Bitmaps b;
    b.bitmap.width = 2;
    b.bitmap.height = 1;
    b.bitmap.pixels = {FrameBuffer::Pack(255, 0, 0, 0), FrameBuffer::Pack(255, 200, 200, 200)};
    // At twice the size, pixel centres sit at texel x 0.25, 0.75, 1.25, 1.75.
    const FrameBuffer clipped = Draw(b, 4, 2, 2, false, true);
    EXPECT_EQ(Grey(clipped, 0, 0), 0);    // before the first centre: the edge texel
    EXPECT_EQ(Grey(clipped, 1, 0), 50);   // a quarter of the way
    EXPECT_EQ(Grey(clipped, 2, 0), 150);  // three quarters
    EXPECT_EQ(Grey(clipped, 3, 0), 200);
    // Repeating, the last pixel blends back toward texel 0.
    const FrameBuffer repeated = Draw(b, 4, 2, 2, true, true);
    EXPECT_EQ(Grey(repeated, 0, 0), 50);
    EXPECT_EQ(Grey(repeated, 3, 0), 150);
    // Low quality never smooths: hard texel edges at any scale.
    const FrameBuffer low = Draw(b, 4, 2, 2, false, true, {}, Quality::Low);
    EXPECT_EQ(Grey(low, 1, 0), 0);
    EXPECT_EQ(Grey(low, 2, 0), 200);
    // At its own size a smoothed fill is its texels exactly.
    const Bitmaps r = Ramp(4, 3);
    const FrameBuffer unscaled = Draw(r, 4, 3, 1, false, true);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(unscaled.At(x, y), r.bitmap.At(x, y));
}

// The smoothed span loop reads inner samples straight and the rest through
// the plain sample; both ways must give the same bytes, rotated and scaled,
// inside the bitmap, across its edges and past them.
TEST(RasterBitmapTest, SmoothedSpansMatchThePlainSampleByteForByte) {
    Bitmaps b = Ramp(5, 4);
    b.bitmap.pixels[7] = FrameBuffer::Pack(128, 100, 20, 60);  // translucent
    struct Case {
        int64_t gx, gy, stepX, stepY;  // 16.16 texels
    };
    constexpr int64_t kTexel = 1 << 16;
    const Case cases[] = {{-3 * kTexel, kTexel / 2, 21845, 0}, {kTexel / 4, -kTexel, 13107, 9000},
                          {6 * kTexel, 5 * kTexel, -30000, -17000}, {-20 * kTexel, 2 * kTexel, 2 * kTexel, 0}};
    for (bool repeat : {false, true})
        for (const Case& c : cases) {
            Paint p;
            p.kind = PaintKind::Bitmap;
            p.bitmap = &b.bitmap;
            p.smooth = true;
            p.repeat = repeat;
            p.gxPerX = c.stepX;
            p.gyPerX = c.stepY;
            constexpr int kLen = 40;
            uint32_t out[kLen];
            FillBitmapSpan(p, c.gx, c.gy, kLen, out);
            for (int i = 0; i < kLen; ++i)
                ASSERT_EQ(out[i], SmoothSample(b.bitmap, c.gx + i * c.stepX, c.gy + i * c.stepY, repeat))
                    << repeat << " " << c.gx << " " << i;
        }
}

TEST(RasterBitmapTest, ColourTransformAndTranslucentTexelsBlendOverTheBackground) {
    Bitmaps b;
    b.bitmap.width = 1;
    b.bitmap.height = 1;
    b.bitmap.pixels = {FrameBuffer::Premultiply(Rgba{0, 0, 255, 128})};
    b.bitmap.opaque = false;
    // Half-transparent blue over red: 127 red left, 128 blue.
    EXPECT_EQ(Draw(b, 2, 2, 1, true, false).At(1, 1), FrameBuffer::Pack(255, 127, 0, 128));
    ColorTransform add;
    add.gAdd = 255;
    add.aMul = 512;  // fully opaque cyan
    EXPECT_EQ(Draw(b, 2, 2, 1, true, false, add).At(0, 0), FrameBuffer::Pack(255, 0, 255, 255));
}

TEST(RasterBitmapTest, MissingBitmapDrawsNothing) {
    Bitmaps none;
    none.bitmap = Bitmap();
    const FrameBuffer fb = Draw(none, 2, 2, 1, false, false);
    EXPECT_EQ(fb.At(0, 0), FrameBuffer::Pack(255, 255, 0, 0));
}

// A JPEG of four flat quadrants, through DefineBitsJPEG2, a shape and the
// player: each quadrant's middle within a small tolerance of its colour.
TEST(RasterBitmapTest, JpegInAMovieShowsItsColoursWithinTolerance) {
    const Rgba quadrants[] = {{230, 30, 30, 255}, {30, 200, 40, 255}, {20, 40, 220, 255}, {250, 250, 250, 255}};
    swfmake::Image image(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) image.At(x, y) = quadrants[(y / 16) * 2 + x / 16];
    swfmake::SwfWriter w(8, {0, 32 * kTw, 0, 32 * kTw}, 12);
    w.Tags().DefineBitsJpeg2(1, swfmake::EncodeJpeg(image, 90));
    FillStyle f;
    f.kind = FillKind::Bitmap;
    f.bitmapId = 1;
    f.bitmapSmooth = false;
    f.matrix = Matrix::Scale(kTw * kFixedOne, kTw * kFixedOne);
    swfmake::ShapeBuilder sb;
    sb.FillRect({0, 32 * kTw, 0, 32 * kTw}, sb.AddFill(f));
    w.Tags().DefineShape(2, sb.Build(), 3);
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 2));
    w.Tags().ShowFrame();
    Player player;
    ASSERT_TRUE(enginetest::Load(player, w));
    FrameBuffer fb(32, 32);
    player.Render(fb);
    constexpr int kTolerance = 6;
    for (int q = 0; q < 4; ++q) {
        const uint32_t p = fb.At((q % 2) * 16 + 8, (q / 2) * 16 + 8);
        EXPECT_NEAR(int((p >> 16) & 0xFF), quadrants[q].r, kTolerance) << q;
        EXPECT_NEAR(int((p >> 8) & 0xFF), quadrants[q].g, kTolerance) << q;
        EXPECT_NEAR(int(p & 0xFF), quadrants[q].b, kTolerance) << q;
    }
}

}  // namespace
}  // namespace swf

namespace swf {
namespace {

// A bitmap placed by its own id shows its texels at their size from the
// placement's origin, and nothing beyond them.
TEST(RasterBitmapTest, BitmapPlacedByItsIdDrawsItsPixelsAsARectangle) {
    swfmake::Image image(3, 2);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = Rgba{uint8_t(40 * i), 7, 9, 255};
    swfmake::SwfWriter w(8, {0, 8 * kTw, 0, 6 * kTw}, 12);
    w.Tags().DefineBitsLossless(1, swfmake::EncodeLosslessBody(image, swfmake::LosslessFormat::Rgb32, false), false);
    w.Tags().PlaceObject2(swfmake::NewPlacement(1, 1, Matrix::Translate(2 * kTw, 3 * kTw)));
    w.Tags().ShowFrame();
    Player player;
    ASSERT_TRUE(enginetest::Load(player, w));
    FrameBuffer fb(8, 6);
    player.Render(fb);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 3 && y < 5;
            EXPECT_EQ(fb.At(x, y), inside ? FrameBuffer::Premultiply(image.At(x - 2, y - 3)) : 0xFFFFFFFFu) << x << "," << y;
        }
}

}  // namespace
}  // namespace swf
