// The stage as scripts set it: scaleMode and align change how the movie
// shows in the host's window, Stage.width/height and onResize follow the
// window under noScale, and Mouse.hide reaches the host's cursor.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

constexpr uint16_t kBox = 1;
constexpr uint32_t kRed = 0xFFC80000u;

// A 40 px red box at (20, 20) px on the 200 x 150 px stage.
swfmake::SwfWriter Movie(const std::string& script) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    t.DefineShape(kBox, Square(800));
    t.PlaceObject(kBox, 1, swf::Matrix::Translate(400, 400));
    t.DoAction(Asm(script));
    t.ShowFrame();
    return w;
}

std::string SetStage(const std::string& mode, const std::string& align) {
    return Lines({SetM(Var("Stage"), "scaleMode", Str(mode)), SetM(Var("Stage"), "align", Str(align))});
}

TEST(StageViewTest, ScriptsScaleModeAndAlignPlaceTheMovieInTheWindow) {
    // A 300 x 200 window: a red pixel where the box's corner lands.
    const struct {
        const char* mode;
        const char* align;
        int x, y;  // inside the box, just past its top-left corner
        const char* readBack;
    } cases[] = {
        {"noScale", "TL", 21, 21, "noScale LT"},
        {"noScale", "", 71, 46, "noScale "},          // centred
        {"noScale", "BR", 121, 71, "noScale RB"},
        {"NOSCALE", "rb", 121, 71, "noScale RB"},     // any case, any order; read back L T R B
        {"noScale", "rlx", 71, 46, "noScale LR"},     // opposite sides kept, centred
        {"exactFit", "TL", 31, 27, "exactFit LT"},    // 1.5 x 1.333
        {"showAll", "L", 27, 27, "showAll L"},        // 1.333, left
        {"noBorder", "T", 31, 31, "noBorder T"},     // 1.5, its width fits
        {"nonsense", "", 44, 27, "showAll "},
    };
    for (const auto& c : cases) {
        ScriptedMovie m(Movie(Lines({SetStage(c.mode, c.align),
                                     Trace(Var("Stage.scaleMode") + "; push ' '; add2; " + Var("Stage.align") +
                                           "; add2")})));
        ASSERT_TRUE(m.loaded);
        EXPECT_EQ(m.log.Take(), c.readBack) << c.mode;
        swf::FrameBuffer fb(300, 200);
        m.player.Render(fb);
        EXPECT_EQ(fb.At(c.x, c.y), kRed) << c.mode << " " << c.align;
        EXPECT_EQ(fb.At(c.x - 2, c.y - 2), kWhitePixel) << c.mode << " " << c.align;
    }
}

TEST(StageViewTest, UnderNoScaleTheStageIsTheWindowAndResizesAreHeard) {
    const std::string size = Var("Stage.width") + "; push 'x'; add2; " + Var("Stage.height") + "; add2";
    ScriptedMovie m(Movie(Lines({
        SetV("o", "push 0; initobject"),
        SetM(Var("o"), "onResize", Fn(Trace(size))),
        Do(CallM(Var("Stage"), "addListener", {Var("o")})),
        Trace(size),
        SetM(Var("Stage"), "scaleMode", Str("noScale")),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "200x150");
    m.player.SetViewSize(300, 220);
    m.player.SetViewSize(300, 220);  // the same size: nothing to tell
    m.player.SetViewSize(120, 90);
    EXPECT_EQ(m.log.Take(), "300x220|120x90");

    // Scaled, the stage keeps the movie's size and resizes go unheard.
    ScriptedMovie scaled(Movie(Lines({
        SetV("o", "push 0; initobject"),
        SetM(Var("o"), "onResize", Fn(Trace(size))),
        Do(CallM(Var("Stage"), "addListener", {Var("o")})),
    })));
    scaled.player.SetViewSize(300, 220);
    EXPECT_EQ(scaled.log.Take(), "");
}

TEST(StageViewTest, MouseHideAndShowReachTheHostsCursor) {
    ScriptedMovie m(Movie(Lines({
        SetV("o", "push 0; initobject"),
        SetM(Var("o"), "onMouseDown", Fn(Do(CallM(Var("Mouse"), "hide")))),
        SetM(Var("o"), "onMouseUp", Fn(Do(CallM(Var("Mouse"), "show")))),
        Do(CallM(Var("Mouse"), "addListener", {Var("o")})),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_FALSE(m.player.CursorHidden());
    m.player.PointerDown(10, 10);
    EXPECT_TRUE(m.player.CursorHidden());
    m.player.PointerUp(10, 10);
    EXPECT_FALSE(m.player.CursorHidden());
}

}  // namespace
