// "photos.swf": a photo card, 550 x 400 px, 24 fps, 10 s; the bitmap
// counterpart of sample.swf, for the render bench.
//
// 1. A landscape photo over the whole stage (DefineBits with JPEGTables),
//    slowly zoomed: smoothed and scaled, the costly case.
// 2. A portrait (DefineBitsJPEG2) seen through a round mask that grows.
// 3. A flower photo with a soft oval alpha (DefineBitsJPEG3) behind a
//    star-shaped mask that turns.
// 4. A lossless badge (DefineBitsLossless2) tiled as a repeating border.
// 5. A shape tween (DefineMorphShape2): a gradient blob that becomes a star
//    and back.
// The photos are made here from gradients, discs and noise so that they
// compress and decode like real ones.
#include <cmath>

#include "tools/moviegen/Movies.h"
#include "tools/swfmake/ImageEncode.h"
#include "tools/swfmake/ShapeBuilder.h"

namespace moviegen {

namespace {

constexpr int kWidth = 550;
constexpr int kHeight = 400;
constexpr double kFps = 24;
constexpr int kFrames = 240;
constexpr int kTweenFrames = 48;
constexpr int kJpegQuality = 85;
constexpr double kPi = 3.14159265358979323846;

enum Id : uint16_t { kLandscape = 1, kPortrait, kFlowers, kBadge, kLandscapeShape, kPortraitShape,
                     kFlowersShape, kBorder, kRoundMask, kStarMask, kTween };
enum Depth : uint16_t { kLandscapeDepth = 1, kRoundMaskDepth = 10, kPortraitDepth = 11,
                        kStarMaskDepth = 20, kFlowersDepth = 21, kBorderDepth = 30, kTweenDepth = 40 };

int32_t Tw(double px) { return static_cast<int32_t>(std::lround(px * kTwips)); }

// Deterministic grain, -amp..amp.
class Noise {
public:
    int Next(int amp) {
        state_ = state_ * 1103515245u + 12345u;
        return int((state_ >> 16) % uint32_t(2 * amp + 1)) - amp;
    }

private:
    uint32_t state_ = 7;
};

uint8_t Channel(double v) { return uint8_t(std::lround(std::fmin(255.0, std::fmax(0.0, v)))); }

swf::Rgba Mix(swf::Rgba a, swf::Rgba b, double t) {
    return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t), Channel(a.b + (b.b - a.b) * t), 255};
}

swf::Rgba Grain(swf::Rgba c, Noise& n, int amp) {
    const int d = n.Next(amp);
    return {Channel(c.r + d), Channel(c.g + d), Channel(c.b + d), c.a};
}

swfmake::Image Landscape() {
    swfmake::Image img(kWidth, kHeight);
    Noise n;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            swf::Rgba c = Mix({70, 120, 200, 255}, {250, 210, 170, 255}, y / 260.0);
            const double sun = std::hypot(x - 400.0, y - 120.0);
            if (sun < 40) c = Mix({255, 250, 220, 255}, c, sun / 40);
            const double ridge = 250 + 40 * std::sin(x / 60.0) + 15 * std::sin(x / 13.0);
            if (y > ridge) c = Mix({60, 90, 70, 255}, {30, 50, 40, 255}, (y - ridge) / 150.0);
            if (y > 330) c = Mix({60, 100, 150, 255}, {20, 40, 80, 255}, (y - 330) / 70.0);
            img.At(x, y) = Grain(c, n, y > ridge ? 18 : 4);
        }
    }
    return img;
}

swfmake::Image Portrait() {
    constexpr int w = 200, h = 260;
    swfmake::Image img(w, h);
    Noise n;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            swf::Rgba c = Mix({120, 60, 50, 255}, {230, 170, 120, 255}, x / double(w));
            const double face = std::hypot((x - 100) / 55.0, (y - 110) / 72.0);
            if (face < 1) c = Mix({240, 200, 170, 255}, {200, 150, 120, 255}, face);
            const double hair = std::hypot((x - 100) / 75.0, (y - 70) / 60.0);
            if (hair < 1 && y < 80) c = Mix({60, 40, 30, 255}, {90, 60, 40, 255}, hair);
            if (y > 200) c = Mix({40, 60, 110, 255}, {20, 30, 70, 255}, (y - 200) / 60.0);
            img.At(x, y) = Grain(c, n, 6);
        }
    }
    return img;
}

swfmake::Image Flowers() {
    constexpr int w = 240, h = 180;
    swfmake::Image img(w, h);
    Noise n;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            swf::Rgba c = Mix({40, 110, 40, 255}, {90, 160, 60, 255}, y / double(h));
            for (int k = 0; k < 6; ++k) {
                const double d = std::hypot(x - (30 + 37 * k), y - (50 + 60 * (k % 2)));
                if (d < 22) c = Mix(k % 2 ? swf::Rgba{240, 80, 120, 255} : swf::Rgba{250, 220, 60, 255}, c, d / 30);
            }
            c = Grain(c, n, 10);
            const double edge = std::hypot((x - w / 2.0) / (w / 2.0), (y - h / 2.0) / (h / 2.0));
            c.a = Channel(255 * std::fmin(1.0, std::fmax(0.0, (1 - edge) * 4)));
            img.At(x, y) = c;
        }
    }
    return img;
}

swfmake::Image Badge() {
    constexpr int side = 20;
    swfmake::Image img(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const bool dot = std::hypot(x - 9.5, y - 9.5) < 7;
            img.At(x, y) = dot ? swf::Rgba{255, 220, 80, 230} : swf::Rgba{120, 30, 60, 160};
        }
    return img;
}

swf::FillStyle BitmapFill(uint16_t id, bool repeat, bool smooth) {
    swf::FillStyle f;
    f.kind = swf::FillKind::Bitmap;
    f.bitmapId = id;
    f.bitmapRepeat = repeat;
    f.bitmapSmooth = smooth;
    f.matrix = swf::Matrix::Scale(kTwips * swf::kFixedOne, kTwips * swf::kFixedOne);
    return f;
}

swf::Shape PhotoRect(uint16_t bitmap, int w, int h, bool smooth) {
    swfmake::ShapeBuilder b;
    b.FillRect({0, Tw(w), 0, Tw(h)}, b.AddFill(BitmapFill(bitmap, false, smooth)));
    return b.Build();
}

// A frame 14 px wide around the stage, tiled with the badge.
swf::Shape Border() {
    swfmake::ShapeBuilder b;
    const uint16_t fill = b.AddFill(BitmapFill(kBadge, true, false));
    constexpr int kSide = 14;
    b.FillRect({0, Tw(kWidth), 0, Tw(kSide)}, fill);
    b.FillRect({0, Tw(kWidth), Tw(kHeight - kSide), Tw(kHeight)}, fill);
    b.FillRect({0, Tw(kSide), Tw(kSide), Tw(kHeight - kSide)}, fill);
    b.FillRect({Tw(kWidth - kSide), Tw(kWidth), Tw(kSide), Tw(kHeight - kSide)}, fill);
    return b.Build();
}

swf::Shape Disc(int radius) {
    swfmake::ShapeBuilder b;
    b.FillEllipse(0, 0, Tw(radius), Tw(radius), b.AddSolidFill({0, 0, 0, 255}));
    return b.Build();
}

swf::Shape StarMask() {
    swfmake::ShapeBuilder b;
    b.SetFill1(b.AddSolidFill({0, 0, 0, 255}));
    b.Star(0, 0, 6, Tw(110), Tw(60));
    return b.Build();
}

// The tween's two ends share their edge list: 10 curves around the centre,
// round at the start, pointed at the end.
swf::MorphShape Tween() {
    constexpr int kPoints = 10;
    swf::MorphShape m;
    m.startFills = {swfmake::GradientFill(swf::FillKind::RadialGradient, swfmake::GradientBox({Tw(-50), Tw(50), Tw(-50), Tw(50)}),
                                          {{0, {255, 255, 200, 255}}, {255, {250, 120, 40, 255}}})};
    m.endFills = {swfmake::GradientFill(swf::FillKind::RadialGradient, swfmake::GradientBox({Tw(-60), Tw(60), Tw(-60), Tw(60)}),
                                        {{0, {220, 240, 255, 255}}, {200, {80, 60, 220, 255}}})};
    m.startLines = {swfmake::SolidLine(Tw(2), {120, 60, 20, 255})};
    m.endLines = {swfmake::SolidLine(Tw(4), {30, 20, 110, 255})};
    auto ring = [](double radius, double spike) {
        std::vector<swf::ShapeEdge> edges;
        auto at = [&](double a, double r) { return swf::Point{Tw(std::cos(a) * r), Tw(std::sin(a) * r)}; };
        for (int i = 0; i < kPoints; ++i) {
            const double a0 = 2 * kPi * i / kPoints, a1 = 2 * kPi * (i + 1) / kPoints;
            swf::ShapeEdge e;
            e.from = at(a0, radius);
            e.to = at(a1, radius);
            e.control = at((a0 + a1) / 2, spike);
            e.curved = true;
            e.fill1 = 1;
            e.line = 1;
            edges.push_back(e);
        }
        return edges;
    };
    m.startEdges = ring(50, 52);
    m.endEdges = ring(65, 20);
    m.startBounds = m.startEdgeBounds = {Tw(-52), Tw(52), Tw(-52), Tw(52)};
    m.endBounds = m.endEdgeBounds = {Tw(-66), Tw(66), Tw(-66), Tw(66)};
    return m;
}

swf::Matrix Place(double x, double y, double degrees = 0, double scale = 1) {
    const double r = degrees * kPi / 180;
    swf::Matrix m;
    m.a = static_cast<int32_t>(std::lround(std::cos(r) * scale * swf::kFixedOne));
    m.b = static_cast<int32_t>(std::lround(std::sin(r) * scale * swf::kFixedOne));
    m.c = -m.b;
    m.d = m.a;
    m.tx = Tw(x);
    m.ty = Tw(y);
    return m;
}

void DefineImages(swfmake::TagList& t) {
    const swfmake::SplitJpeg landscape = swfmake::EncodeJpegSplit(Landscape(), kJpegQuality);
    t.JpegTables(landscape.tables);
    t.DefineBits(kLandscape, landscape.image);
    t.DefineBitsJpeg2(kPortrait, swfmake::EncodeJpeg(Portrait(), kJpegQuality));
    const swfmake::Image flowers = Flowers();
    t.DefineBitsJpeg3(kFlowers, swfmake::EncodeJpeg(flowers, kJpegQuality), swfmake::AlphaPlane(flowers));
    t.DefineBitsLossless(kBadge, swfmake::EncodeLosslessBody(Badge(), swfmake::LosslessFormat::ColorMapped, true), true);
}

}  // namespace

swfmake::SwfWriter BitmapSeedMovie() {
    constexpr int kSide = 4;
    swfmake::Image img(kSide, kSide);
    for (int i = 0; i < kSide * kSide; ++i) img.pixels[size_t(i)] = {uint8_t(i * 16), 80, uint8_t(255 - i * 16), uint8_t(i * 17)};
    swfmake::SwfWriter w(kSwfVersion, {0, Tw(32), 0, Tw(24)}, kFps);
    swfmake::TagList& t = w.Tags();
    const swfmake::SplitJpeg split = swfmake::EncodeJpegSplit(img, kJpegQuality);
    t.JpegTables(split.tables);
    t.DefineBits(1, split.image);
    t.DefineBitsJpeg2(2, swfmake::EncodePng(img));
    t.DefineBitsJpeg3(3, swfmake::EncodeJpeg(img, kJpegQuality), swfmake::AlphaPlane(img));
    t.DefineBitsJpeg4(4, swfmake::EncodeGif(img), {}, 0);
    t.DefineBitsLossless(5, swfmake::EncodeLosslessBody(img, swfmake::LosslessFormat::ColorMapped, true), true);
    t.DefineBitsLossless(6, swfmake::EncodeLosslessBody(img, swfmake::LosslessFormat::Rgb15, false), false);
    swf::MorphShape m = Tween();
    m.endFills[0] = m.startFills[0] = BitmapFill(3, true, true);
    t.DefineMorphShape(7, m, 2);
    t.DefineMorphShape(8, Tween(), 1);
    for (uint16_t id = 1; id <= 8; ++id) {
        swfmake::Placement p = swfmake::NewPlacement(id, id, Place(id * 3, id * 2, id * 20, 0.2));
        p.ratio = uint16_t(id * 8000);
        t.PlaceObject2(p);
    }
    t.ShowFrame();
    return w;
}

swfmake::SwfWriter PhotoMovie() {
    swfmake::SwfWriter w(kSwfVersion, {0, Tw(kWidth), 0, Tw(kHeight)}, kFps);
    swfmake::TagList& t = w.Tags();
    t.SetBackgroundColor({20, 20, 30, 255});
    DefineImages(t);
    t.DefineShape(kLandscapeShape, PhotoRect(kLandscape, kWidth, kHeight, true), 3);
    t.DefineShape(kPortraitShape, PhotoRect(kPortrait, 200, 260, true), 3);
    t.DefineShape(kFlowersShape, PhotoRect(kFlowers, 240, 180, false), 3);
    t.DefineShape(kBorder, Border(), 3);
    t.DefineShape(kRoundMask, Disc(100), 3);
    t.DefineShape(kStarMask, StarMask(), 3);
    t.DefineMorphShape(kTween, Tween(), 2);
    for (int f = 0; f < kFrames; ++f) {
        const double s = double(f) / kFrames;
        const bool first = f == 0;
        auto put = [&](uint16_t depth, uint16_t id, const swf::Matrix& m, std::optional<uint16_t> clip = {},
                       std::optional<uint16_t> ratio = {}) {
            swfmake::Placement p = first ? swfmake::NewPlacement(depth, id, m) : swfmake::MovePlacement(depth, m);
            if (first) p.clipDepth = clip;
            p.ratio = ratio;
            t.PlaceObject2(p);
        };
        // A slow zoom about the stage centre, 100% to 110%.
        const double zoom = 1 + 0.1 * s;
        put(kLandscapeDepth, kLandscapeShape, Place(kWidth / 2.0 * (1 - zoom), kHeight / 2.0 * (1 - zoom), 0, zoom));
        put(kRoundMaskDepth, kRoundMask, Place(140, 160, 0, 0.5 + 0.5 * s), kPortraitDepth);
        if (first) t.PlaceObject2(swfmake::NewPlacement(kPortraitDepth, kPortraitShape, Place(40, 30)));
        put(kStarMaskDepth, kStarMask, Place(400, 250, 360 * s), kFlowersDepth);
        if (first) t.PlaceObject2(swfmake::NewPlacement(kFlowersDepth, kFlowersShape, Place(280, 160)));
        if (first) t.PlaceObject2(swfmake::NewPlacement(kBorderDepth, kBorder));
        const int phase = f % (2 * kTweenFrames);
        const int towardEnd = phase < kTweenFrames ? phase : 2 * kTweenFrames - phase;
        put(kTweenDepth, kTween, Place(110, 320), {}, uint16_t(towardEnd * swf::kMorphRatioEnd / kTweenFrames));
        t.ShowFrame();
    }
    return w;
}

}  // namespace moviegen
