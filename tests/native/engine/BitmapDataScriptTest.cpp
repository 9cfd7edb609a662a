// BitmapData from script: sizes and limits, pixel values as traced, and what
// the user sees of a bitmap attached to a clip or used as a fill after it
// changed.
#include "BitmapScriptUtil.h"
#include "tools/swfmake/ImageEncode.h"

namespace {

using namespace enginetest;

constexpr uint16_t kBox = 1, kSprite = 2, kImage = 3;

// A sprite "s" holding a 10 px box of (200, 0, 0); a 2 x 1 bitmap exported
// as "img" (red, half-transparent blue).
swfmake::SwfWriter Movie(const std::string& script) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    t.DefineShape(kBox, Square(200));
    swfmake::TagList sprite;
    sprite.PlaceObject(kBox, 1);
    sprite.ShowFrame();
    t.DefineSprite(kSprite, sprite);
    swfmake::Image image(2, 1);
    image.At(0, 0) = {255, 0, 0, 255};
    image.At(1, 0) = {0, 0, 255, 128};
    t.DefineBitsLossless(kImage, swfmake::EncodeLosslessBody(image, swfmake::LosslessFormat::Rgb32, true), true);
    t.ExportAssets({{kImage, "img"}});
    swfmake::Placement p = swfmake::NewPlacement(1, kSprite, swf::Matrix::Translate(800, 400));
    p.name = "s";
    t.PlaceObject2(p);
    t.DoAction(Asm(script));
    t.ShowFrame();
    return w;
}

// A movie whose script is meant to be refused something: its errors are
// kept to look at, not failed on.
struct RefusedMovie {
    swf::Player player;
    Traced log;
    std::vector<std::string> errors;
    explicit RefusedMovie(const swfmake::SwfWriter& w) {
        log.Attach(player);
        loaded = player.LoadBytes(w.Write(false));
        errors = player.Errors();
    }
    bool loaded = false;
};

TEST(BitmapDataScriptTest, SizesOutsideTheLimitsGiveAnObjectWithoutPixels) {
    struct Case {
        const char* name;
        double w, h;
        const char* traced;  // width|height|getPixel32(0, 0), signed
    } cases[] = {
        {"smallest", 1, 1, "1|1|-1"},
        {"largest side", 2880, 1, "2880|1|-1"},
        // Sizes the version refuses make no object at all, quietly.
        {"zero wide", 0, 5, "undefined|undefined|undefined"},
        {"too wide", 2881, 1, "undefined|undefined|undefined"},
        {"negative", -3, 4, "undefined|undefined|undefined"},
    };
    for (const Case& c : cases) {
        RefusedMovie m(Movie(Lines({
            SetV("b", NewBitmap({Num(c.w), Num(c.h)})),
            Trace(Var("b.width")), Trace(Var("b.height")), Trace(CallM(Var("b"), "getPixel32", {Num(0), Num(0)})),
        })));
        ASSERT_TRUE(m.loaded);
        EXPECT_EQ(m.log.Joined(), c.traced) << c.name;
        EXPECT_TRUE(m.errors.empty()) << c.name;
    }
}

TEST(BitmapDataScriptTest, MemoryBudgetRefusesMoreBigBitmapsUntilOneIsDisposed) {
    // 2880 x 2880 takes about 32 MB: eight fit in the movie's 256 MB.
    std::vector<std::string> script;
    for (int i = 0; i < 9; ++i) script.push_back(SetV("b" + std::to_string(i), NewBitmap({Num(2880), Num(2880)})));
    script.push_back(Trace(Var("b7.width")));
    script.push_back(Trace(Var("b8.width")));
    script.push_back(Do(CallM(Var("b0"), "dispose")));
    script.push_back(SetV("b8", NewBitmap({Num(2880), Num(2880)})));
    script.push_back(Trace(Var("b8.width")));
    script.push_back(Trace(Var("b0.width")));
    RefusedMovie m(Movie(Lines(script)));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "2880|-1|2880|-1");
    ASSERT_EQ(m.errors.size(), 1u);
    EXPECT_NE(m.errors[0].find("budget"), std::string::npos);
}

TEST(BitmapDataScriptTest, PixelValuesReadBackAsWritten) {
    ScriptedMovie m(Movie(Lines({
        SetV("o", NewBitmap({Num(4), Num(4), "push false", Num(0x102030)})),
        SetV("t", NewBitmap({Num(4), Num(4), "push true", Num(0)})),
        Trace(Var("o.transparent")), Trace(CallM(Var("o"), "getPixel32", {Num(0), Num(0)})),
        // An opaque bitmap keeps alpha 255 whatever is written.
        Do(CallM(Var("o"), "setPixel32", {Num(1), Num(0), Num(0x80FF0000)})),
        Trace(CallM(Var("o"), "getPixel32", {Num(1), Num(0)})),
        Do(CallM(Var("t"), "setPixel32", {Num(1), Num(0), Num(0x80FF0000)})),
        Trace(CallM(Var("t"), "getPixel32", {Num(1), Num(0)})),
        // setPixel keeps the alpha there.
        Do(CallM(Var("t"), "setPixel", {Num(1), Num(0), Num(0x00FF00)})),
        Trace(CallM(Var("t"), "getPixel32", {Num(1), Num(0)})), Trace(CallM(Var("t"), "getPixel", {Num(1), Num(0)})),
        Trace(CallM(Var("t"), "getPixel", {Num(9), Num(0)})),
        Do(CallM(Var("o"), "fillRect", {RectObj(1, 1, 2, 2), Num(0xFF0000FF)})),
        Trace(CallM(Var("o"), "getPixel", {Num(2), Num(2)})), Trace(CallM(Var("o"), "getPixel", {Num(3), Num(3)})),
        // Pixels equal to the seed's, four-way connected.
        Do(CallM(Var("o"), "floodFill", {Num(0), Num(0), Num(0xFFFFFF00)})),
        Trace(CallM(Var("o"), "getPixel", {Num(3), Num(3)})), Trace(CallM(Var("o"), "getPixel", {Num(1), Num(1)})),
        Trace(CallM(Var("o"), "getPixel", {Num(1), Num(0)})),
        Do(CallM(Var("o"), "scroll", {Num(1), Num(0)})),
        Trace(CallM(Var("o"), "getPixel", {Num(2), Num(0)})),
        SetV("c", CallM(Var("o"), "clone")), Do(CallM(Var("o"), "dispose")),
        Trace(CallM(Var("c"), "getPixel", {Num(2), Num(0)})), Trace(Var("o.width")),
        Trace(Member(Var("c.rectangle"), "width")),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(),
              "false|-15720400|-65536|-2130771968|-2147418368|65280|0|255|1056816|16776960|255|16711680|"
              "16711680|16711680|-1|4");
}

TEST(BitmapDataScriptTest, CopyPixelsMergesAndMasksWithAnAlphaBitmap) {
    ScriptedMovie m(Movie(Lines({
        SetV("dst", NewBitmap({Num(4), Num(1), "push false", Num(0xFFFFFF)})),
        SetV("src", NewBitmap({Num(2), Num(1), "push true", Num(0x800000FF)})),
        SetV("mask", NewBitmap({Num(2), Num(1), "push true", Num(0)})),
        Do(CallM(Var("mask"), "setPixel32", {Num(1), Num(0), Num(0xFF000000)})),
        // Merged: half blue over white.
        Do(CallM(Var("dst"), "copyPixels", {Var("src"), RectObj(0, 0, 2, 1), Obj({{"x", 0}, {"y", 0}}), "push null",
                                             "push null", "push true"})),
        Trace(CallM(Var("dst"), "getPixel", {Num(0), Num(0)})),
        // Through the mask only its second pixel lands.
        Do(CallM(Var("dst"), "copyPixels", {Var("src"), RectObj(0, 0, 2, 1), Obj({{"x", 2}, {"y", 0}}), Var("mask"),
                                             Obj({{"x", 0}, {"y", 0}}), "push true"})),
        Trace(CallM(Var("dst"), "getPixel", {Num(2), Num(0)})), Trace(CallM(Var("dst"), "getPixel", {Num(3), Num(0)})),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "8355839|16777215|8355839");
}

TEST(BitmapDataScriptTest, DrawRendersAClipWithMatrixColourAndClip) {
    const std::string shift = Obj({{"a", 1}, {"b", 0}, {"c", 0}, {"d", 1}, {"tx", 5}, {"ty", 5}});
    ScriptedMovie m(Movie(Lines({
        SetV("b", NewBitmap({Num(20), Num(20), "push false", Num(0xFFFFFF)})),
        Do(CallM(Var("b"), "draw", {Var("s"), shift})),
        Trace(CallM(Var("b"), "getPixel", {Num(4), Num(4)})), Trace(CallM(Var("b"), "getPixel", {Num(5), Num(5)})),
        Trace(CallM(Var("b"), "getPixel", {Num(14), Num(14)})), Trace(CallM(Var("b"), "getPixel", {Num(15), Num(15)})),
        SetV("c", NewBitmap({Num(20), Num(20), "push false", Num(0xFFFFFF)})),
        Do(CallM(Var("c"), "draw", {Var("s"), shift, Obj({{"redMultiplier", 0}, {"blueOffset", 255}}), "push null",
                                     RectObj(0, 0, 10, 10)})),
        Trace(CallM(Var("c"), "getPixel", {Num(9), Num(9)})), Trace(CallM(Var("c"), "getPixel", {Num(10), Num(10)})),
        // Another bitmap, moved.
        SetV("d", NewBitmap({Num(4), Num(4), "push false", Num(0)})),
        Do(CallM(Var("d"), "draw", {Var("b"), Obj({{"a", 1}, {"b", 0}, {"c", 0}, {"d", 1}, {"tx", -3}, {"ty", -3}})})),
        Trace(CallM(Var("d"), "getPixel", {Num(1), Num(1)})), Trace(CallM(Var("d"), "getPixel", {Num(2), Num(2)})),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "16777215|13107200|13107200|16777215|255|16777215|16777215|13107200");
}

TEST(BitmapDataScriptTest, AttachedBitmapShowsLaterChanges) {
    ScriptedMovie m(Movie(Lines({
        Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("g"), Num(5)})),
        SetM(Var("g"), "_x", Num(100)), SetM(Var("g"), "_y", Num(50)),
        SetV("b", NewBitmap({Num(10), Num(10), "push false", Num(0xFF0000)})),
        Do(CallM(Var("g"), "attachBitmap", {Var("b"), Num(1)})),
        Do(CallM(Var("b"), "fillRect", {RectObj(2, 2, 3, 3), Num(0xFF0000FF)})),
        Do(CallM(Var("b"), "setPixel", {Num(9), Num(9), Num(0x00FF00)})),
        Trace(Var("g._width")),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "10");
    swf::FrameBuffer fb = Pixels(m.player);
    using FB = swf::FrameBuffer;
    EXPECT_EQ(fb.At(100, 50), FB::Pack(255, 255, 0, 0));
    EXPECT_EQ(fb.At(103, 53), FB::Pack(255, 0, 0, 255));
    EXPECT_EQ(fb.At(109, 59), FB::Pack(255, 0, 255, 0));
    EXPECT_EQ(fb.At(110, 60), kWhitePixel);
    EXPECT_EQ(fb.At(99, 49), kWhitePixel);
}

TEST(BitmapDataScriptTest, DisposedBitmapDisappearsFromTheClip) {
    ScriptedMovie m(Movie(Lines({
        SetV("b", NewBitmap({Num(10), Num(10), "push false", Num(0xFF0000)})),
        Do(CallM(Var("_root"), "attachBitmap", {Var("b"), Num(1)})),
        Do(CallM(Var("b"), "dispose")),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(Pixels(m.player).At(5, 5), kWhitePixel);
}

TEST(BitmapDataScriptTest, BitmapFillRepeatsTheBitmap) {
    ScriptedMovie m(Movie(Lines({
        SetV("b", NewBitmap({Num(2), Num(2), "push false", Num(0x0000FF)})),
        Do(CallM(Var("b"), "setPixel", {Num(1), Num(0), Num(0x00FF00)})),
        Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("g"), Num(5)})),
        Do(CallM(Var("g"), "beginBitmapFill", {Var("b")})),
        Do(CallM(Var("g"), "moveTo", {Num(0), Num(0)})), Do(CallM(Var("g"), "lineTo", {Num(20), Num(0)})),
        Do(CallM(Var("g"), "lineTo", {Num(20), Num(20)})), Do(CallM(Var("g"), "lineTo", {Num(0), Num(20)})),
        Do(CallM(Var("g"), "endFill")),
        // Changed after the fill was made: the fill shows it.
        Do(CallM(Var("b"), "setPixel", {Num(0), Num(1), Num(0xFF0000)})),
    })));
    ASSERT_TRUE(m.loaded);
    swf::FrameBuffer fb = Pixels(m.player);
    using FB = swf::FrameBuffer;
    EXPECT_EQ(fb.At(2, 2), FB::Pack(255, 0, 0, 255));
    EXPECT_EQ(fb.At(3, 2), FB::Pack(255, 0, 255, 0));
    EXPECT_EQ(fb.At(4, 3), FB::Pack(255, 255, 0, 0));
    EXPECT_EQ(fb.At(11, 11), FB::Pack(255, 0, 0, 255));
}

TEST(BitmapDataScriptTest, RootDrawingIsShown) {
    ScriptedMovie m(Movie(Lines({
        SetV("b", NewBitmap({Num(2), Num(2), "push false", Num(0x00FF00)})),
        Do(CallM(Var("_root"), "beginBitmapFill", {Var("b")})),
        Do(CallM(Var("_root"), "lineTo", {Num(20), Num(0)})), Do(CallM(Var("_root"), "lineTo", {Num(0), Num(20)})),
        Do(CallM(Var("_root"), "endFill")),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(Pixels(m.player).At(2, 2), swf::FrameBuffer::Pack(255, 0, 255, 0));
}

TEST(BitmapDataScriptTest, LoadBitmapCopiesAnExportedBitmap) {
    ScriptedMovie m(Movie(Lines({
        SetV("b", CallM(Var("flash.display.BitmapData"), "loadBitmap", {Str("img")})),
        Trace(Var("b.width")), Trace(Var("b.transparent")), Trace(CallM(Var("b"), "getPixel32", {Num(0), Num(0)})),
        Trace(CallM(Var("b"), "getPixel32", {Num(1), Num(0)})),
        Trace(CallM(Var("flash.display.BitmapData"), "loadBitmap", {Str("none")})),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "2|true|-65536|-2147483393|undefined");
}

TEST(BitmapDataScriptTest, ApplyFilterSpreadsABlur) {
    ScriptedMovie m(Movie(Lines({
        SetV("b", NewBitmap({Num(9), Num(9), "push true", Num(0)})),
        Do(CallM(Var("b"), "setPixel32", {Num(4), Num(4), Num(0xFFFFFFFF)})),
        SetV("f", "push 2, 4, 4, 3; " + Var("flash.filters") + "; push 'BlurFilter'; newmethod"),
        Trace(CallM(Var("b"), "applyFilter", {Var("b"), Var("b.rectangle"), Obj({{"x", 0}, {"y", 0}}), Var("f")})),
        Trace(std::string(CallM(Var("b"), "getPixel32", {Num(5), Num(4)})) + "; push 0; equals2; not"),
        Trace(CallM(Var("b"), "applyFilter", {Var("b"), Var("b.rectangle"), Obj({{"x", 0}, {"y", 0}}), "push 1"})),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "0|true|-1");
}

}  // namespace
