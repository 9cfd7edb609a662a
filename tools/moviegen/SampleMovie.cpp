// "sample.swf": an animated greeting card, 550 x 400 px, 24 fps, 15 s.
//
// 1. A sunset sky (radial gradient) and two hills (linear gradients).
// 2. A flower sprite with its own 12-frame timeline (its heart pulses),
//    turned a little every frame by the root timeline.
// 3. Ribbons with different caps and joins drifting across the hills.
// 4. Balloons rising, twinkling stars (alpha transforms), and a card panel
//    that fades in at "intro" end and out at "outro".
// Everything is vector; the file is compressed.
#include <cmath>

#include "tools/moviegen/Movies.h"
#include "tools/swfmake/ShapeBuilder.h"

namespace moviegen {

namespace {

constexpr int kWidth = 550;
constexpr int kHeight = 400;
constexpr double kFps = 24;
constexpr int kFrames = 360;
constexpr int kFadeFrames = 48;
constexpr int kOutroStart = kFrames - kFadeFrames;
constexpr int kSpriteFrames = 12;
constexpr int kStars = 7;
constexpr int kBalloons = 3;
constexpr double kPi = 3.14159265358979323846;

enum Depth : uint16_t {
    kSkyDepth = 1,
    kStarDepth = 2,       // .. kStarDepth + kStars - 1
    kHillDepth = 20,
    kRibbonDepth = 21,    // three ribbons
    kFlowerDepth = 30,
    kBalloonDepth = 40,   // .. + kBalloons - 1
    kPanelDepth = 50,
};

int32_t Tw(double px) { return static_cast<int32_t>(std::lround(px * kTwips)); }

// Scale and rotation about the origin, then a move to (x, y) px.
swf::Matrix Place(double x, double y, double degrees = 0, double scale = 1) {
    double r = degrees * kPi / 180;
    swf::Matrix m;
    m.a = static_cast<int32_t>(std::lround(std::cos(r) * scale * swf::kFixedOne));
    m.b = static_cast<int32_t>(std::lround(std::sin(r) * scale * swf::kFixedOne));
    m.c = -m.b;
    m.d = m.a;
    m.tx = Tw(x);
    m.ty = Tw(y);
    return m;
}

swf::ColorTransform Alpha(int alpha256) {
    swf::ColorTransform t;
    t.aMul = static_cast<int16_t>(alpha256);
    return t;
}

swf::Shape Sky() {
    swfmake::ShapeBuilder b;
    swf::Rect stage{0, Tw(kWidth), 0, Tw(kHeight)};
    swf::Rect glow{Tw(-150), Tw(kWidth + 150), Tw(40), Tw(kHeight + 360)};
    b.FillRect(stage, b.AddFill(swfmake::GradientFill(
                          swf::FillKind::RadialGradient, swfmake::GradientBox(glow),
                          {{0, {255, 244, 200, 255}},
                           {60, {255, 190, 110, 255}},
                           {130, {236, 110, 120, 255}},
                           {200, {110, 70, 140, 255}},
                           {255, {28, 30, 80, 255}}})));
    return b.Build();
}

swf::Shape Hills() {
    swfmake::ShapeBuilder b;
    swf::Rect far{0, Tw(kWidth), Tw(250), Tw(kHeight)};
    uint16_t back = b.AddFill(swfmake::GradientFill(
        swf::FillKind::LinearGradient, swfmake::GradientBoxVertical(far),
        {{0, {110, 160, 120, 255}}, {255, {40, 90, 70, 255}}}));
    uint16_t front = b.AddFill(swfmake::GradientFill(
        swf::FillKind::LinearGradient, swfmake::GradientBoxVertical({0, Tw(kWidth), Tw(300), Tw(kHeight)}),
        {{0, {120, 190, 90, 255}}, {255, {50, 120, 50, 255}}}));
    uint16_t rim = b.AddSolidLine(Tw(1.5), {40, 80, 50, 255});
    b.SetFill0(0).SetFill1(back).SetLine(0).MoveTo(0, Tw(290));
    b.CurveTo(Tw(160), Tw(220), Tw(330), Tw(285)).CurveTo(Tw(450), Tw(330), Tw(kWidth), Tw(270));
    b.LineTo(Tw(kWidth), Tw(kHeight)).LineTo(0, Tw(kHeight)).Close();
    b.SetFill1(front).SetLine(rim).MoveTo(0, Tw(345));
    b.CurveTo(Tw(200), Tw(290), Tw(400), Tw(340)).CurveTo(Tw(480), Tw(360), Tw(kWidth), Tw(330));
    b.SetLine(0).LineTo(Tw(kWidth), Tw(kHeight)).LineTo(0, Tw(kHeight)).Close();
    return b.Build();
}

swf::Shape Star() {
    swfmake::ShapeBuilder b;
    b.SetFill1(b.AddSolidFill({255, 250, 220, 255}));
    b.Star(0, 0, 5, Tw(6), Tw(2.5));
    return b.Build();
}

// A petal ring around the origin: each petal is two curves.
swf::Shape Petals() {
    constexpr int kPetals = 8;
    constexpr double kLength = 46, kWidthFactor = 0.42;
    swfmake::ShapeBuilder b;
    uint16_t fill = b.AddFill(swfmake::GradientFill(
        swf::FillKind::RadialGradient, swfmake::GradientBox({Tw(-50), Tw(50), Tw(-50), Tw(50)}),
        {{40, {255, 255, 255, 255}}, {200, {250, 120, 170, 255}}, {255, {200, 60, 120, 255}}}));
    swf::LineStyle edge = swfmake::SolidLine(Tw(1), {150, 40, 90, 255});
    edge.join = swf::JoinStyle::Miter;
    uint16_t line = b.AddLine(edge);
    for (int i = 0; i < kPetals; ++i) {
        double a = 2 * kPi * i / kPetals;
        double ux = std::cos(a), uy = std::sin(a);
        double side = kLength * kWidthFactor;
        b.SetFill0(0).SetFill1(fill).SetLine(line).MoveTo(0, 0);
        b.CurveTo(Tw(ux * kLength / 2 - uy * side), Tw(uy * kLength / 2 + ux * side),
                  Tw(ux * kLength), Tw(uy * kLength));
        b.CurveTo(Tw(ux * kLength / 2 + uy * side), Tw(uy * kLength / 2 - ux * side), 0, 0);
    }
    return b.Build();
}

swf::Shape Heart() {
    swfmake::ShapeBuilder b;
    b.FillEllipse(0, 0, Tw(13), Tw(13),
                  b.AddFill(swfmake::GradientFill(
                      swf::FillKind::FocalRadialGradient,
                      swfmake::GradientBox({Tw(-13), Tw(13), Tw(-13), Tw(13)}),
                      {{0, {255, 250, 180, 255}}, {255, {240, 160, 30, 255}}})),
                  b.AddSolidLine(Tw(1), {170, 100, 10, 255}));
    return b.Build();
}

// The flower's own timeline: the heart swells and settles.
swfmake::TagList FlowerTimeline(uint16_t petals, uint16_t heart) {
    swfmake::TagList s;
    s.PlaceObject2(swfmake::NewPlacement(1, petals));
    s.PlaceObject2(swfmake::NewPlacement(2, heart));
    for (int f = 0; f < kSpriteFrames; ++f) {
        double pulse = 1 + 0.18 * std::sin(2 * kPi * f / kSpriteFrames);
        s.PlaceObject2(swfmake::MovePlacement(2, Place(0, 0, 0, pulse)));
        s.ShowFrame();
    }
    return s;
}

// Three strokes showing round, square and no caps with round, miter and
// bevel joins.
swf::Shape Ribbon(swf::CapStyle cap, swf::JoinStyle join, swf::Rgba color) {
    swfmake::ShapeBuilder b;
    swf::LineStyle style = swfmake::SolidLine(Tw(6), color);
    style.startCap = style.endCap = cap;
    style.join = join;
    style.miterLimit = 4 << 8;
    b.SetLine(b.AddLine(style)).MoveTo(Tw(-60), 0);
    constexpr int kZigs = 6;
    for (int i = 1; i <= kZigs; ++i) b.LineTo(Tw(-60 + 20 * i), Tw(i % 2 ? -14 : 0));
    return b.Build();
}

swf::Shape Balloon(swf::Rgba light, swf::Rgba dark) {
    swfmake::ShapeBuilder b;
    uint16_t fill = b.AddFill(swfmake::GradientFill(
        swf::FillKind::FocalRadialGradient, swfmake::GradientBox({Tw(-22), Tw(22), Tw(-28), Tw(28)}),
        {{0, {255, 255, 255, 255}}, {60, light}, {255, dark}}));
    b.FillEllipse(0, 0, Tw(20), Tw(26), fill, b.AddSolidLine(Tw(1), dark));
    swf::LineStyle string = swfmake::SolidLine(Tw(1), {80, 80, 80, 255});
    b.SetFill1(0).SetLine(b.AddLine(string)).MoveTo(0, Tw(26));
    b.CurveTo(Tw(-8), Tw(45), 0, Tw(60)).CurveTo(Tw(8), Tw(75), 0, Tw(90));
    return b.Build();
}

swf::Shape Panel() {
    swfmake::ShapeBuilder b;
    swf::Rect r{Tw(150), Tw(400), Tw(24), Tw(84)};
    b.FillRoundedRect(r, Tw(14), b.AddSolidFill({255, 255, 255, 190}),
                      b.AddSolidLine(Tw(2), {200, 90, 120, 255}));
    // A small heart in the middle of the panel.
    b.SetFill1(b.AddSolidFill({220, 50, 90, 255})).SetLine(0);
    const double cx = 275, cy = 60;
    b.MoveTo(Tw(cx), Tw(cy + 16));
    b.CurveTo(Tw(cx - 30), Tw(cy - 4), Tw(cx - 12), Tw(cy - 18));
    b.CurveTo(Tw(cx - 2), Tw(cy - 24), Tw(cx), Tw(cy - 10));
    b.CurveTo(Tw(cx + 2), Tw(cy - 24), Tw(cx + 12), Tw(cy - 18));
    b.CurveTo(Tw(cx + 30), Tw(cy - 4), Tw(cx), Tw(cy + 16));
    return b.Build();
}

int PanelAlpha(int frame) {
    constexpr int kFull = 256;
    if (frame < kFadeFrames) return kFull * frame / kFadeFrames;
    if (frame >= kOutroStart) return kFull * (kFrames - 1 - frame) / kFadeFrames;
    return kFull;
}

}  // namespace

swfmake::SwfWriter SampleMovie() {
    swfmake::SwfWriter movie(kSwfVersion, {0, Tw(kWidth), 0, Tw(kHeight)}, kFps);
    swfmake::TagList& t = movie.Tags();
    auto define = [&](const swf::Shape& s, int version = 4) {
        uint16_t id = movie.NextId();
        t.DefineShape(id, s, version);
        return id;
    };
    t.SetBackgroundColor({28, 30, 80, 255});
    uint16_t sky = define(Sky(), 3), hills = define(Hills()), star = define(Star(), 1);
    uint16_t petals = define(Petals()), heart = define(Heart());
    uint16_t flower = movie.NextId();
    t.DefineSprite(flower, FlowerTimeline(petals, heart));
    const uint16_t ribbons[] = {
        define(Ribbon(swf::CapStyle::Round, swf::JoinStyle::Round, {255, 255, 255, 230})),
        define(Ribbon(swf::CapStyle::Square, swf::JoinStyle::Miter, {255, 210, 80, 230})),
        define(Ribbon(swf::CapStyle::None, swf::JoinStyle::Bevel, {120, 200, 255, 230}))};
    const uint16_t balloons[kBalloons] = {
        define(Balloon({250, 90, 90, 255}, {150, 20, 40, 255})),
        define(Balloon({90, 170, 250, 255}, {20, 60, 150, 255})),
        define(Balloon({250, 210, 80, 255}, {170, 110, 10, 255}))};
    uint16_t panel = define(Panel());

    t.PlaceObject2(swfmake::NewPlacement(kSkyDepth, sky));
    for (int i = 0; i < kStars; ++i)
        t.PlaceObject2(swfmake::NewPlacement(kStarDepth + i, star,
                                             Place(40 + 75 * i, 30 + (i * 37) % 90)));
    t.PlaceObject2(swfmake::NewPlacement(kHillDepth, hills));
    for (int i = 0; i < 3; ++i)
        t.PlaceObject2(swfmake::NewPlacement(kRibbonDepth + i, ribbons[i]));
    t.PlaceObject2(swfmake::NewPlacement(kFlowerDepth, flower, Place(275, 230)));
    for (int i = 0; i < kBalloons; ++i)
        t.PlaceObject2(swfmake::NewPlacement(kBalloonDepth + i, balloons[i]));
    swfmake::Placement card = swfmake::NewPlacement(kPanelDepth, panel);
    card.cxform = Alpha(0);
    card.name = "card";
    t.PlaceObject2(card);

    for (int f = 0; f < kFrames; ++f) {
        if (f == 0) t.FrameLabel("intro");
        if (f == kFadeFrames) t.FrameLabel("bloom");
        if (f == kOutroStart) t.FrameLabel("outro");
        double phase = 2 * kPi * f / kFrames;
        for (int i = 0; i < kStars; ++i) {
            int twinkle = 160 + static_cast<int>(96 * std::sin(phase * 6 + i * 1.7));
            t.PlaceObject2(swfmake::MovePlacement(kStarDepth + i, std::nullopt, Alpha(twinkle)));
        }
        for (int i = 0; i < 3; ++i) {
            double x = std::fmod(f * (1.2 + 0.4 * i) + 190 * i, kWidth + 160) - 80;
            double y = 300 + 28 * i + 6 * std::sin(phase * 4 + i);
            t.PlaceObject2(swfmake::MovePlacement(kRibbonDepth + i, Place(x, y, 8 * std::sin(phase * 3 + i))));
        }
        double scale = 0.8 + 0.2 * std::min(1.0, f / double(kFadeFrames));
        t.PlaceObject2(swfmake::MovePlacement(kFlowerDepth, Place(275, 230, f, scale)));
        for (int i = 0; i < kBalloons; ++i) {
            double y = kHeight + 40 - std::fmod(f * (0.9 + 0.25 * i) + 140 * i, kHeight + 160);
            double x = 70 + 180 * i + 14 * std::sin(phase * 5 + i * 2);
            t.PlaceObject2(swfmake::MovePlacement(kBalloonDepth + i, Place(x, y, 6 * std::sin(phase * 7 + i))));
        }
        t.PlaceObject2(swfmake::MovePlacement(kPanelDepth, std::nullopt, Alpha(PanelAlpha(f))));
        t.ShowFrame();
    }
    return movie;
}

}  // namespace moviegen
