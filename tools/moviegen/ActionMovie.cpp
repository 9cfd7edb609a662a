// "action.swf": the toolbar strip the main window shows, 600 x 50 px. The
// window narrows it to 330 px and draws it unscaled from the left edge, so
// the four buttons sit within x < 330; the rest of the strip is backdrop.
// Each button sends FSCommand "action" with "open", "capture", "print" or
// "mute" when released over it. Frame 2 is the same strip with the sound
// off: its speaker is crossed out and sends "unmute"; the window shows the
// frame that matches its setting. Icons are vector shapes: no fonts needed.
#include "tools/moviegen/Movies.h"
#include "tools/swfmake/ShapeBuilder.h"

namespace moviegen {

namespace {

constexpr int kStripWidth = 600;
constexpr int kStripHeight = 50;
constexpr int kButtonWidth = 84;
constexpr int kSoundButtonWidth = 40;
constexpr int kButtonHeight = 40;
constexpr int kButtonTop = 5;
constexpr int kButtonLeft = 8;
constexpr int kButtonGap = 8;  // the speaker ends at 8 + 3 * (84 + 8) + 40 = 324
constexpr int kCornerRadius = 8;
constexpr int kIconPress = 1;  // px the icon sinks while pressed
constexpr uint16_t kFirstButtonDepth = 10;
constexpr int32_t kLampRadius = 30;  // twips

constexpr swf::Rgba kBackdropTop{236, 242, 250, 255};
constexpr swf::Rgba kBackdropBottom{204, 216, 234, 255};
constexpr swf::Rgba kBorder{110, 130, 165, 255};
constexpr swf::Rgba kInk{52, 62, 82, 255};

int32_t Tw(int px) { return px * kTwips; }

swf::Rect ButtonRect(int width) { return {0, Tw(width), 0, Tw(kButtonHeight)}; }

swf::Shape Backdrop() {
    swfmake::ShapeBuilder b;
    swf::Rect strip{0, Tw(kStripWidth), 0, Tw(kStripHeight)};
    b.FillRect(strip, b.AddFill(swfmake::GradientFill(swf::FillKind::LinearGradient,
                                                      swfmake::GradientBoxVertical(strip),
                                                      {{0, kBackdropTop}, {255, kBackdropBottom}})));
    // A thin rule along the bottom separates the strip from the picture.
    b.FillRect({0, Tw(kStripWidth), Tw(kStripHeight - 1), Tw(kStripHeight)},
               b.AddSolidFill(kBorder));
    return b.Build();
}

// The button body in one state: a rounded rectangle with a vertical gradient.
swf::Shape Face(int width, swf::Rgba top, swf::Rgba bottom, swf::Rgba border) {
    swfmake::ShapeBuilder b;
    uint16_t fill = b.AddFill(swfmake::GradientFill(
        swf::FillKind::LinearGradient, swfmake::GradientBoxVertical(ButtonRect(width)),
        {{0, top}, {255, bottom}}));
    b.FillRoundedRect(ButtonRect(width), Tw(kCornerRadius), fill,
                      b.AddSolidLine(Tw(1), border));
    return b.Build();
}

swf::Shape HitArea(int width) {
    swfmake::ShapeBuilder b;
    b.FillRect(ButtonRect(width), b.AddSolidFill({0, 0, 0, 255}));
    return b.Build();
}

// Icons are drawn around the button's centre, in pixels relative to it.
struct IconPen {
    swfmake::ShapeBuilder& b;
    int32_t cx = Tw(kButtonWidth / 2);
    int32_t cy = Tw(kButtonHeight / 2);
    swf::Rect R(int x0, int y0, int x1, int y1) const {
        return {cx + Tw(x0), cx + Tw(x1), cy + Tw(y0), cy + Tw(y1)};
    }
};

swf::Shape FolderIcon() {
    swfmake::ShapeBuilder b;
    IconPen p{b};
    uint16_t back = b.AddSolidFill({214, 160, 46, 255});
    uint16_t front = b.AddFill(swfmake::GradientFill(
        swf::FillKind::LinearGradient, swfmake::GradientBoxVertical(p.R(-14, -6, 14, 11)),
        {{0, {255, 214, 102, 255}}, {255, {240, 176, 54, 255}}}));
    uint16_t edge = b.AddSolidLine(Tw(1), {160, 110, 20, 255});
    b.SetFill0(0).SetFill1(back).SetLine(edge);
    b.MoveTo(p.cx - Tw(14), p.cy - Tw(11));
    b.LineTo(p.cx - Tw(5), p.cy - Tw(11)).LineTo(p.cx - Tw(2), p.cy - Tw(8));
    b.LineTo(p.cx + Tw(14), p.cy - Tw(8)).LineTo(p.cx + Tw(14), p.cy + Tw(11));
    b.LineTo(p.cx - Tw(14), p.cy + Tw(11)).Close();
    b.SetFill1(front).MoveTo(p.cx - Tw(14), p.cy + Tw(11));
    b.LineTo(p.cx - Tw(10), p.cy - Tw(4)).LineTo(p.cx + Tw(18), p.cy - Tw(4));
    b.LineTo(p.cx + Tw(14), p.cy + Tw(11)).Close();
    return b.Build();
}

swf::Shape CameraIcon() {
    swfmake::ShapeBuilder b;
    IconPen p{b};
    uint16_t body = b.AddFill(swfmake::GradientFill(
        swf::FillKind::LinearGradient, swfmake::GradientBoxVertical(p.R(-16, -9, 16, 12)),
        {{0, {96, 104, 120, 255}}, {255, {44, 50, 62, 255}}}));
    uint16_t lens = b.AddFill(swfmake::GradientFill(
        swf::FillKind::RadialGradient, swfmake::GradientBox(p.R(-7, -5, 7, 9)),
        {{0, {170, 210, 255, 255}}, {110, {60, 110, 190, 255}}, {255, {14, 24, 48, 255}}}));
    uint16_t ring = b.AddSolidLine(Tw(2), {210, 216, 226, 255});
    uint16_t flash = b.AddSolidFill({250, 236, 150, 255});
    b.FillRoundedRect(p.R(-7, -12, 5, -8), Tw(2), body);
    b.FillRoundedRect(p.R(-16, -9, 16, 12), Tw(3), body);
    b.FillEllipse(p.cx, p.cy + Tw(2), Tw(7), Tw(7), lens, ring);
    b.FillRect(p.R(10, -6, 14, -3), flash);
    return b.Build();
}

swf::Shape PrinterIcon() {
    swfmake::ShapeBuilder b;
    IconPen p{b};
    uint16_t paper = b.AddSolidFill({255, 255, 255, 255});
    uint16_t body = b.AddFill(swfmake::GradientFill(
        swf::FillKind::LinearGradient, swfmake::GradientBoxVertical(p.R(-16, -4, 16, 8)),
        {{0, {150, 160, 178, 255}}, {255, {78, 88, 108, 255}}}));
    uint16_t outline = b.AddSolidLine(Tw(1), kInk);
    uint16_t light = b.AddSolidFill({90, 220, 120, 255});
    b.FillRect(p.R(-9, -12, 9, -3), paper, outline);
    b.FillRoundedRect(p.R(-16, -4, 16, 8), Tw(3), body, outline);
    b.FillRect(p.R(-10, 4, 10, 13), paper, outline);
    b.FillEllipse(p.cx + Tw(12), p.cy, kLampRadius, kLampRadius, light);
    b.SetFill1(0).SetLine(outline);
    constexpr int kRuleRows[] = {7, 10};
    for (int y : kRuleRows) b.MoveTo(p.cx - Tw(6), p.cy + Tw(y)).LineTo(p.cx + Tw(6), p.cy + Tw(y));
    return b.Build();
}

// A speaker; with the sound on, two waves beside it, muted a red cross.
swf::Shape SpeakerIcon(bool muted) {
    swfmake::ShapeBuilder b;
    IconPen p{b};
    p.cx = Tw(kSoundButtonWidth / 2 - 4);
    uint16_t body = b.AddSolidFill(kInk);
    uint16_t mark = b.AddSolidLine(Tw(2), muted ? swf::Rgba{200, 40, 40, 255} : kInk);
    b.FillRect(p.R(-8, -4, -3, 4), body);
    b.SetFill0(0).SetFill1(body).SetLine(0);
    b.MoveTo(p.cx - Tw(3), p.cy - Tw(4)).LineTo(p.cx + Tw(4), p.cy - Tw(10));
    b.LineTo(p.cx + Tw(4), p.cy + Tw(10)).LineTo(p.cx - Tw(3), p.cy + Tw(4)).Close();
    b.SetFill1(0).SetLine(mark);
    if (muted) {
        b.MoveTo(p.cx + Tw(8), p.cy - Tw(5)).LineTo(p.cx + Tw(16), p.cy + Tw(5));
        b.MoveTo(p.cx + Tw(8), p.cy + Tw(5)).LineTo(p.cx + Tw(16), p.cy - Tw(5));
    } else {
        struct Wave { int x, r; };  // where it starts right of the centre, half its height
        constexpr Wave kWaves[] = {{7, 5}, {11, 9}};
        for (Wave w : kWaves)
            b.MoveTo(p.cx + Tw(w.x), p.cy - Tw(w.r)).CurveTo(p.cx + Tw(w.x + w.r), p.cy, p.cx + Tw(w.x), p.cy + Tw(w.r));
    }
    return b.Build();
}

struct Faces {
    uint16_t up, over, down, hit;
};

// Placed at depth kFirstButtonDepth + index; `x` and `faces` give its place
// and size.
uint16_t DefineToolButton(swfmake::SwfWriter& movie, const Faces& faces, uint16_t icon,
                          const char* command, int index, int x) {
    const uint16_t kFaceDepth = 1, kIconDepth = 2;
    swf::Matrix pressed = swf::Matrix::Translate(Tw(kIconPress), Tw(kIconPress));
    std::vector<swfmake::ButtonRecord> records = {
        {swf::kButtonUp, faces.up, kFaceDepth, {}, {}},
        {swf::kButtonOver, faces.over, kFaceDepth, {}, {}},
        {swf::kButtonDown, faces.down, kFaceDepth, {}, {}},
        {swf::kButtonHit, faces.hit, kFaceDepth, {}, {}},
        {swf::kButtonUp | swf::kButtonOver, icon, kIconDepth, {}, {}},
        {swf::kButtonDown, icon, kIconDepth, pressed, {}},
    };
    swfmake::ButtonCondAction click;
    click.conditions = swf::kCondOverDownToOverUp;
    click.actions.FsCommand("action", command);
    uint16_t id = movie.NextId();
    movie.Tags().DefineButton2(id, records, {click});
    const uint16_t depth = static_cast<uint16_t>(kFirstButtonDepth + index);
    movie.Tags().PlaceObject2(
        swfmake::NewPlacement(depth, id, swf::Matrix::Translate(Tw(x), Tw(kButtonTop))));
    return depth;
}

}  // namespace

swfmake::SwfWriter ActionMovie() {
    constexpr double kFps = 12;
    swfmake::SwfWriter movie(kSwfVersion, {0, Tw(kStripWidth), 0, Tw(kStripHeight)}, kFps);
    swfmake::TagList& t = movie.Tags();
    t.SetBackgroundColor(kBackdropBottom);
    auto define = [&](const swf::Shape& s) {
        uint16_t id = movie.NextId();
        t.DefineShape(id, s, 3);
        return id;
    };
    uint16_t backdrop = define(Backdrop());
    t.PlaceObject2(swfmake::NewPlacement(1, backdrop));
    auto faces = [&](int width) {
        Faces f;
        f.up = define(Face(width, {255, 255, 255, 255}, {214, 226, 244, 255}, kBorder));
        f.over = define(Face(width, {255, 252, 236, 255}, {250, 222, 150, 255}, {196, 146, 40, 255}));
        f.down = define(Face(width, {232, 196, 110, 255}, {250, 226, 160, 255}, {150, 104, 20, 255}));
        f.hit = define(HitArea(width));
        return f;
    };
    const Faces tool = faces(kButtonWidth);
    const char* kTools[] = {"open", "capture", "print"};
    const uint16_t icons[] = {define(FolderIcon()), define(CameraIcon()), define(PrinterIcon())};
    for (int i = 0; i < 3; ++i)
        DefineToolButton(movie, tool, icons[i], kTools[i], i, kButtonLeft + i * (kButtonWidth + kButtonGap));
    const Faces sound = faces(kSoundButtonWidth);
    const int soundX = kButtonLeft + 3 * (kButtonWidth + kButtonGap);
    const uint16_t speaker = DefineToolButton(movie, sound, define(SpeakerIcon(false)), "mute", 3, soundX);
    t.DoAction(swfmake::Actions().Stop());
    t.ShowFrame();
    t.RemoveObject2(speaker);
    DefineToolButton(movie, sound, define(SpeakerIcon(true)), "unmute", 3, soundX);
    t.DoAction(swfmake::Actions().Stop());
    t.ShowFrame();
    return movie;
}

}  // namespace moviegen
