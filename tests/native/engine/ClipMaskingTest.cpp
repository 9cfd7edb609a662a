// Clips masked and hit as scripts set them: setMask, hitArea and
// _droptarget, as the user sees them in pixels, clicks and the trace log.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

constexpr uint16_t kRedBox = 1, kBlueBox = 2, kRedSprite = 3, kBlueSprite = 4;
constexpr uint32_t kRed = 0xFFC80000u;

// "s": a red 40 px box at (20, 20) px; "m": a blue 20 px box at (50, 30)
// px above it. The root runs `script` once, and `frame2` (if any) in a
// second frame that stops.
swfmake::SwfWriter Movie(const std::string& script, const std::string& frame2 = "") {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    t.DefineShape(kRedBox, Square(800));
    t.DefineShape(kBlueBox, Square(400, {0, 0, 200, 255}));
    for (auto [sprite, shape] : {std::pair{kRedSprite, kRedBox}, std::pair{kBlueSprite, kBlueBox}}) {
        swfmake::TagList inner;
        inner.PlaceObject(shape, 1);
        inner.ShowFrame();
        t.DefineSprite(sprite, inner);
    }
    swfmake::Placement s = swfmake::NewPlacement(1, kRedSprite, swf::Matrix::Translate(400, 400));
    s.name = "s";
    t.PlaceObject2(s);
    swfmake::Placement m = swfmake::NewPlacement(2, kBlueSprite, swf::Matrix::Translate(1000, 600));
    m.name = "m";
    t.PlaceObject2(m);
    t.DoAction(Asm(script));
    t.ShowFrame();
    if (!frame2.empty()) {
        t.DoAction(Asm(Lines({frame2, "stop"})));
        t.ShowFrame();
    }
    return w;
}

TEST(ClipMaskingTest, SetMaskShowsTheClipOnlyUnderTheMaskAndHidesTheMask) {
    ScriptedMovie m(Movie(Do(CallM(Var("s"), "setMask", {Var("m")}))));
    ASSERT_TRUE(m.loaded);
    swf::FrameBuffer fb = Pixels(m.player);
    const struct {
        int x, y;
        uint32_t color;
    } cases[] = {
        {25, 25, kWhitePixel},  // the clip outside the mask
        {55, 35, kRed},         // inside both: the clip, not the mask
        {65, 45, kWhitePixel},  // the mask beyond the clip: not drawn
    };
    for (const auto& c : cases) EXPECT_EQ(fb.At(c.x, c.y), c.color) << c.x << "," << c.y;

    // setMask(null) ends it: the clip whole, the mask drawn again.
    ScriptedMovie off(Movie(Lines({Do(CallM(Var("s"), "setMask", {Var("m")})),
                                   Do(CallM(Var("s"), "setMask", {"push null"}))})));
    fb = Pixels(off.player);
    EXPECT_EQ(fb.At(25, 25), kRed);
    EXPECT_EQ(fb.At(65, 45), 0xFF0000C8u);
}

// A cached clip's picture has its mask baked in: moving or clearing only
// the mask must draw it again.
TEST(ClipMaskingTest, CachedClipRedrawnWhenOnlyItsScriptMaskChanges) {
    const std::string setUp = Lines({SetM(Var("s"), "cacheAsBitmap", "push true"),
                                     Do(CallM(Var("s"), "setMask", {Var("m")}))});
    const struct {
        const char* what;
        std::string frame2;
        uint32_t at35, at25;  // (35, 35) and (25, 25) on frame 2
    } cases[] = {
        {"mask moved left", SetM(Var("m"), "_x", Num(30)), kRed, kWhitePixel},
        {"mask cleared", Do(CallM(Var("s"), "setMask", {"push null"})), kRed, kRed},
    };
    for (const auto& c : cases) {
        ScriptedMovie m(Movie(setUp, c.frame2));
        ASSERT_TRUE(m.loaded);
        swf::FrameBuffer fb = Pixels(m.player);
        EXPECT_EQ(fb.At(35, 35), kWhitePixel) << c.what << ", first frame";
        EXPECT_EQ(fb.At(55, 35), kRed) << c.what << ", first frame";
        m.player.Tick();
        fb = Pixels(m.player);
        EXPECT_EQ(fb.At(35, 35), c.at35) << c.what;
        EXPECT_EQ(fb.At(25, 25), c.at25) << c.what;
    }
}

TEST(ClipMaskingTest, MaskedClipIsHitOnlyUnderItsMask) {
    ScriptedMovie m(Movie(Lines({
        Do(CallM(Var("s"), "setMask", {Var("m")})),
        SetM(Var("s"), "onPress", Fn(Trace(Str("press")))),
        Trace(CallM(Var("s"), "hitTest", {Num(25), Num(25), "push true"})),
        Trace(CallM(Var("s"), "hitTest", {Num(55), Num(35), "push true"})),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "false|true");
    Pixels(m.player);
    m.player.PointerMove(25, 25);
    m.player.PointerDown(25, 25);
    m.player.PointerUp(25, 25);
    EXPECT_FALSE(m.player.PointerOverButton());
    m.player.PointerMove(55, 35);
    m.player.PointerDown(55, 35);
    EXPECT_TRUE(m.player.PointerOverButton());
    EXPECT_EQ(m.log.Take(), "press");
}

TEST(ClipMaskingTest, HitAreaReplacesTheClipsOwnDrawing) {
    ScriptedMovie m(Movie(Lines({
        SetM(Var("s"), "hitArea", Var("m")),
        SetM(Var("m"), "_visible", "push false"),
        SetM(Var("s"), "onPress", Fn(Trace(Str("press")))),
    })));
    ASSERT_TRUE(m.loaded);
    swf::FrameBuffer fb = Pixels(m.player);
    EXPECT_EQ(fb.At(65, 45), kWhitePixel);  // the hit area need not show
    m.player.PointerMove(25, 25);  // the clip's drawing, outside the area
    m.player.PointerDown(25, 25);
    m.player.PointerUp(25, 25);
    EXPECT_FALSE(m.player.PointerOverButton());
    m.player.PointerMove(65, 45);  // the area, beyond the clip's drawing
    EXPECT_TRUE(m.player.PointerOverButton());
    m.player.PointerDown(65, 45);
    EXPECT_EQ(m.log.Take(), "press");
}

TEST(ClipMaskingTest, DropTargetFollowsTheDraggedClip) {
    ScriptedMovie m(Movie(Lines({
        Do(CallM(Var("m"), "startDrag", {"push true"})),
        SetM(Var("m"), "onMouseMove", Fn(Trace(Member("push 'this'; getvariable", "_droptarget")))),
    })));
    ASSERT_TRUE(m.loaded);
    Pixels(m.player);
    m.player.PointerMove(150, 120);  // over nothing
    m.player.PointerMove(30, 30);    // over "s", still dragging
    EXPECT_EQ(m.log.Take(), "|/s");
}

TEST(ClipMaskingTest, LockrootMakesTheClipItsOwnRoot) {
    ScriptedMovie m(Movie(Lines({
        Trace(Var("s._root._name") + "; push '/'; add2; " + Var("m._root._name") + "; add2"),
        SetM(Var("s"), "_lockroot", "push true"),
        Trace(Var("s._root._name") + "; push '/'; add2; " + Var("m._root._name") + "; add2"),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "/|s/");
}

}  // namespace
