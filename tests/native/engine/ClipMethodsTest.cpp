// MovieClip methods from script: gotos by number and label, depths, clips
// made, copied and removed, bounds and points between spaces, hit tests,
// drags, and the drawing API as the user sees it in pixels.
#include <fstream>

#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

constexpr uint16_t kBox = 1, kSprite = 2;

// A sprite "s" at (40, 20) px holding a 10 px box, with three frames that
// trace their number; frame 2 is labelled "two". The root runs `script`.
swfmake::SwfWriter Movie(const std::string& script, int version = 8, const std::string& initClip = "") {
    swfmake::SwfWriter w(static_cast<uint8_t>(version), kStage, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    t.DefineShape(kBox, Square(200));
    swfmake::TagList sprite;
    sprite.PlaceObject(kBox, 1);
    sprite.DoAction(Asm("stop"));
    sprite.ShowFrame();
    sprite.FrameLabel("two");
    sprite.DoAction(Asm(Trace(Str("at 2"))));
    sprite.ShowFrame();
    sprite.DoAction(Asm(Trace(Str("at 3"))));
    sprite.ShowFrame();
    t.DefineSprite(kSprite, sprite);
    if (!initClip.empty()) {
        t.ExportAssets({{kSprite, "box"}});
        t.DoInitAction(kSprite, Asm(initClip));
    }
    swfmake::Placement p = swfmake::NewPlacement(1, kSprite, swf::Matrix::Translate(800, 400));
    p.name = "s";
    t.PlaceObject2(p);
    t.DoAction(Asm(script));
    t.ShowFrame();
    return w;
}

std::string Traces(const std::string& script) {
    ScriptedMovie m(Movie(script));
    return m.loaded ? m.log.Joined() : "not loaded";
}

TEST(ClipMethodsTest, GotosTakeNumbersLabelsAndClipPaths) {
    // The frame changes at once; the frames' actions run after the script.
    EXPECT_EQ(Traces(Lines({Do(CallM(Var("s"), "gotoAndStop", {Str("two")})), Trace(Var("s._currentframe"))})),
              "2|at 2");
    EXPECT_EQ(Traces(Lines({Do(CallM(Var("s"), "gotoAndStop", {Num(3)})), Do(CallM(Var("s"), "prevFrame")),
                            Trace(Var("s._currentframe"))})),
              "2|at 3|at 2");
    // "clip:frame" names the clip from the one the method runs on.
    EXPECT_EQ(Traces(Lines({Do(CallM(Var("_root"), "gotoAndStop", {Str("s:3")})), Trace(Var("s._currentframe"))})),
              "3|at 3");
    EXPECT_EQ(Traces(Lines({Do(CallM(Var("s"), "gotoAndStop", {Str("nowhere")})), Trace(Var("s._currentframe"))})),
              "1");
}

TEST(ClipMethodsTest, DepthsCreateDuplicateAndRemove) {
    EXPECT_EQ(Traces(Lines({
                  Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("c"), Num(5)})),
                  Trace(CallM(Var("c"), "getDepth")), Trace(CallM(Var("_root"), "getNextHighestDepth")),
                  Trace(CallM(Var("s"), "getDepth")),
                  Do(CallM(Var("s"), "duplicateMovieClip", {Str("d"), Num(9), "push 'q', 7, 1; initobject"})),
                  Trace(Var("d.q")), Trace(Var("d._x")),
                  Trace(Member(CallM(Var("_root"), "getInstanceAtDepth", {Num(9)}), "_name")),
                  Do(CallM(Var("c"), "swapDepths", {Var("d")})), Trace(CallM(Var("c"), "getDepth")),
                  Do(CallM(Var("d"), "removeMovieClip")), Trace(Var("d") + "; typeof"),
                  // Timeline objects stay: only script depths are removable.
                  Do(CallM(Var("s"), "removeMovieClip")), Trace(Var("s") + "; typeof"),
              })),
              "5|6|-16383|7|40|d|9|undefined|movieclip");
}

TEST(ClipMethodsTest, SwappingTwoNamedClipsOftenEnoughToReindexTheirNamesKeepsBoth) {
    std::vector<std::string> script = {Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("a"), Num(1)})),
                                       Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("b"), Num(2)})),
                                       Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("c"), Num(3)}))};
    for (int i = 0; i < 201; ++i) script.push_back(Do(CallM(Var("a"), "swapDepths", {Var("b")})));
    script.push_back(Trace(CallM(Var("a"), "getDepth")));
    script.push_back(Trace(CallM(Var("b"), "getDepth")));
    EXPECT_EQ(Traces(Lines(script)), "2|1");
}

// A held reference reaches its clip while it lives, through renames, depth
// swaps and a clip of the same name below it; once the clip is removed, it
// reaches whatever carries the name first in depth order.
TEST(ClipMethodsTest, HeldReferencesKeepTheirClipThenFollowTheirPath) {
    EXPECT_EQ(Traces(Lines({
                  SetV("r", CallM(Var("_root"), "createEmptyMovieClip", {Str("a"), Num(1)})), SetM(Var("r"), "v", Str("one")),
                  SetV("n", CallM(Var("_root"), "createEmptyMovieClip", {Str("a"), Num(0)})), SetM(Var("n"), "v", Str("two")),
                  Trace(Var("r.v")),
                  SetM(Var("n"), "_name", Str("b")), Trace(Var("r.v")), Trace(Var("b.v")),
                  SetM(Var("b"), "_name", Str("a")), Trace(Var("r.v")),
                  Do(CallM(Var("n"), "swapDepths", {Num(2)})), Trace(Var("r.v")),
                  Do(CallM(Var("r"), "removeMovieClip")), Trace(Var("r.v")),
              })),
              "one|one|two|one|one|two");
    // Names match in any case before version 7 only.
    for (int version : {6, 7}) {
        ScriptedMovie m(Movie(Lines({SetM(CallM(Var("_root"), "createEmptyMovieClip", {Str("Mixed"), Num(1)}), "v",
                                          Str("found")),
                                     Trace(Var("mixed.v"))}),
                              version));
        EXPECT_EQ(m.log.Joined(), version == 6 ? "found" : "undefined") << version;
    }
}

// Code whose clip leaves the stage while it runs stops at its next call.
TEST(ClipMethodsTest, CodeOfARemovedClipStopsAtItsNextCall) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    swfmake::TagList s;
    s.DoAction(Asm(Lines({Trace(Str("a")), Do(CallM(Var("_parent"), "gotoAndStop", {Num(2)})), Trace(Str("b"))})));
    s.ShowFrame();
    t.DefineSprite(3, s);
    swfmake::Placement p = swfmake::NewPlacement(1, 3);
    p.name = "c";
    t.PlaceObject2(p);
    t.ShowFrame();
    t.RemoveObject2(1);
    t.ShowFrame();
    ScriptedMovie m(w);
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "a");
}

TEST(ClipMethodsTest, BoundsPointsAndHitTests) {
    EXPECT_EQ(Traces(Lines({
                  SetV("b", CallM(Var("s"), "getBounds", {Var("_root")})),
                  Trace(Var("b.xMin")), Trace(Var("b.xMax")), Trace(Var("b.yMax")),
                  SetV("p", "push 'x', 1, 'y', 2, 2; initobject"), Do(CallM(Var("s"), "localToGlobal", {Var("p")})),
                  Trace(Var("p.x")), Trace(Var("p.y")),
                  Do(CallM(Var("s"), "globalToLocal", {Var("p")})), Trace(Var("p.x")),
                  Trace(CallM(Var("s"), "hitTest", {Num(45), Num(25), "push true"})),
                  Trace(CallM(Var("s"), "hitTest", {Num(5), Num(5), "push true"})),
                  Trace(CallM(Var("s"), "hitTest", {Var("s")})),
              })),
              "40|50|30|41|22|1|true|false|true");
    // A text field counts with its box, empty or not.
    EXPECT_EQ(Traces(Lines({
                  Do(CallM(Var("s"), "createTextField", {Str("t"), Num(5), Num(0), Num(5), Num(100), Num(40)})),
                  Trace(Var("s._width")), Trace(Var("s._height")),
              })),
              "100|45");
    // Into a rotated space the box is boxed on the stage first: turned 45
    // degrees and back, the 10 pixel square reads 20 wide.
    EXPECT_EQ(Traces(Lines({
                  Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("r"), Num(7)})),
                  SetM(Var("r"), "_rotation", Num(45)), SetM(Var("s"), "_rotation", Num(45)),
                  SetV("b", CallM(Var("s"), "getBounds", {Var("r")})),
                  Trace(CallM(Var("Math"), "round", {Var("b.xMax") + "; " + Var("b.xMin") + "; subtract"})),
                  SetV("b", CallM(Var("s"), "getBounds", {Var("s")})),
                  Trace(Var("b.xMax") + "; " + Var("b.xMin") + "; subtract"),
              })),
              "20|10");
    // Anything but a clip names the space by its text, a path from the clip.
    EXPECT_EQ(Traces(Lines({
                  SetV("o", Str("toString") + "; " + Fn(Str("_root") + "; return") + "; push 1; initobject"),
                  SetV("b", CallM(Var("s"), "getBounds", {Var("o")})),
                  Trace(Var("b.xMin")),
                  Trace(CallM(Var("s"), "getBounds", {"push undefined"})),
                  Do(CallM(Var("s"), "createEmptyMovieClip", {Str("undefined"), Num(1)})),
                  SetV("b", CallM(Var("s"), "getBounds", {"push undefined"})),
                  Trace(Var("b.xMin")),
              })),
              "40|undefined|0");
}

TEST(ClipMethodsTest, AttachMovieByLinkageNameWithItsRegisteredClass) {
    const std::string thisName = "push 'this'; getvariable; push '_name'; getmember";
    const std::string initClip = Lines({
        SetV("Box", Fn(Trace(Str("ctor ") + "; " + thisName + "; add2"))),
        SetM(Var("Box.prototype"), "__proto__", Var("MovieClip.prototype")),
        SetM(Var("Box.prototype"), "hello", Fn(Str("hi ") + "; " + thisName + "; add2; return")),
        Do(CallM(Var("Object"), "registerClass", {Str("box"), Var("Box")})),
    });
    ScriptedMovie m(Movie(Lines({
                              SetV("b", CallM(Var("_root"), "attachMovie",
                                              {Str("box"), Str("b1"), Num(3), "push '_x', 30, 1; initobject"})),
                              Trace(CallM(Var("b"), "hello")), Trace(Var("b._x")), Trace(CallM(Var("b"), "getDepth")),
                              Trace(CallM(Var("_root"), "attachMovie", {Str("nothing"), Str("n"), Num(4)})),
                          }),
                          8, initClip));
    ASSERT_TRUE(m.loaded);
    // The placed instance of the same symbol gets the class too (placed
    // before the root's script, it is constructed first).
    EXPECT_EQ(m.log.Joined(), "ctor s|ctor b1|hi b1|30|3|undefined");
}

TEST(ClipMethodsTest, DrawingApiPaintsTheClip) {
    // A 20 px blue square at (10, 10) in a new clip at (100, 50).
    ScriptedMovie m(Movie(Lines({
        Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("g"), Num(1)})),
        SetM(Var("g"), "_x", Num(100)), SetM(Var("g"), "_y", Num(50)),
        Do(CallM(Var("g"), "beginFill", {Num(0x0000FF)})), Do(CallM(Var("g"), "moveTo", {Num(10), Num(10)})),
        Do(CallM(Var("g"), "lineTo", {Num(30), Num(10)})), Do(CallM(Var("g"), "lineTo", {Num(30), Num(30)})),
        Do(CallM(Var("g"), "lineTo", {Num(10), Num(30)})), Do(CallM(Var("g"), "endFill")),
        Trace(Var("g._width")),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "20");
    swf::FrameBuffer fb = Pixels(m.player);
    EXPECT_EQ(fb.At(120, 70), swf::FrameBuffer::Pack(255, 0, 0, 255));
    EXPECT_EQ(fb.At(105, 70), kWhitePixel);
    EXPECT_EQ(fb.At(135, 70), kWhitePixel);
    // clear() takes it away on the next frame drawn.
    ScriptedMovie cleared(Movie(Lines({
        Do(CallM(Var("_root"), "beginFill", {Num(0x0000FF)})), Do(CallM(Var("_root"), "lineTo", {Num(50), Num(0)})),
        Do(CallM(Var("_root"), "lineTo", {Num(50), Num(50)})), Do(CallM(Var("_root"), "clear")),
    })));
    EXPECT_EQ(Pixels(cleared.player).At(40, 5), kWhitePixel);
}

TEST(ClipMethodsTest, GradientFillRefusedWholeKeepsTheFillBefore) {
    // A green fill, then beginGradientFill over a 100 px square at (0, 0).
    auto arr = [](std::vector<std::string> v) {
        std::string out;
        for (auto it = v.rbegin(); it != v.rend(); ++it) out += *it + "; ";
        return out + "push " + std::to_string(v.size()) + "; initarray";
    };
    const std::string box = "push 'matrixType', 'box', 'x', 0, 'y', 0, 'w', 100, 'h', 100, 'r', 0, 6; initobject";
    auto args = [&](std::vector<std::string> ratios) {
        return std::vector<std::string>{Str("linear"), arr({Num(0xFF0000), Num(0x0000FF)}),
                                        arr({Num(100), Num(100)}), arr(ratios), box};
    };
    const std::vector<std::string> ok = args({Num(0), Num(255)});
    auto with = [&](std::vector<std::string> a, size_t i, const std::string& v) {
        a[i] = v;
        return a;
    };
    std::vector<std::string> nine = ok;
    nine.insert(nine.end(), {Str("pad"), Str("RGB"), Num(0), Str("extra")});
    enum Shows { kGradient, kGreen, kNothing };
    const struct {
        const char* name;
        std::vector<std::string> args;
        Shows shows;
    } cases[] = {
        {"as given", ok, kGradient},
        {"ratios whose whole part is in range", args({Num(-0.99), Num(255.9)}), kGradient},
        {"a ratio below 0", args({Num(-1), Num(255)}), kGreen},
        {"a ratio past 255", args({Num(0), Num(256)}), kGreen},
        {"more than eight arguments", nine, kGreen},
        {"an unknown type", with(ok, 0, Str("LINEAR")), kGreen},
        {"a null type", with(ok, 0, "push null"), kGreen},
        {"no type", with(ok, 0, "push undefined"), kNothing},
    };
    for (const auto& c : cases) {
        ScriptedMovie m(Movie(Lines({
            Do(CallM(Var("_root"), "beginFill", {Num(0x00FF00)})),
            Do(CallM(Var("_root"), "beginGradientFill", c.args)),
            Do(CallM(Var("_root"), "lineTo", {Num(100), Num(0)})), Do(CallM(Var("_root"), "lineTo", {Num(100), Num(100)})),
            Do(CallM(Var("_root"), "lineTo", {Num(0), Num(100)})), Do(CallM(Var("_root"), "endFill")),
        })));
        ASSERT_TRUE(m.loaded) << c.name;
        const uint32_t px = Pixels(m.player).At(50, 50);
        const uint32_t green = swf::FrameBuffer::Pack(255, 0, 255, 0);
        if (c.shows == kGreen) EXPECT_EQ(px, green) << c.name;
        if (c.shows == kNothing) EXPECT_EQ(px, kWhitePixel) << c.name;
        if (c.shows == kGradient) EXPECT_TRUE(px != green && px != kWhitePixel) << c.name;
    }
}

TEST(ClipMethodsTest, DragFollowsThePointerWithinItsLimits) {
    ScriptedMovie m(Movie(Do(CallM(Var("s"), "startDrag", {"push true", Num(0), Num(0), Num(100), Num(60)}))));
    ASSERT_TRUE(m.loaded);
    Pixels(m.player);  // sets the view the pointer goes through
    m.player.PointerMove(70, 30);
    m.player.PointerMove(150, 100);
    std::vector<DrawCall> calls = Draw(m.player);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].matrix.tx, 100 * 20);
    EXPECT_EQ(calls[0].matrix.ty, 60 * 20);
}

}  // namespace

namespace {

TEST(ClipMethodsTest, LoadVariablesReadsAFileBesideTheMovie) {
    const std::string dir = testing::TempDir();
    {
        std::ofstream vars(dir + "/clipvars.txt", std::ios::binary);
        vars << "a=1&b=two+words";
    }
    swfmake::SwfWriter w = Movie(Lines({
        SetM(Var("s"), "onData", Fn(Trace(Member("push 'this'; getvariable", "a") + "; " +
                                          Member("push 'this'; getvariable", "b") + "; add2"))),
        Do(CallM(Var("s"), "loadVariables", {Str("clipvars.txt")})),
        Do(CallM(Var("s"), "loadVariables", {Str("http://example.invalid/v")})),
    }));
    ASSERT_TRUE(w.WriteFile(dir + "/clipvars.swf", false));
    swf::Player p;
    Traced log;
    log.Attach(p);
    std::vector<std::string> urls;
    p.SetGetUrlHandler([&](const std::string& url, const std::string& target) { urls.push_back(url + " " + target); });
    ASSERT_TRUE(p.LoadFile(dir + "/clipvars.swf"));
    p.Tick();
    EXPECT_EQ(log.Joined(), "1two words");
    EXPECT_EQ(urls, std::vector<std::string>{"http://example.invalid/v _level0.s"});
}

}  // namespace
