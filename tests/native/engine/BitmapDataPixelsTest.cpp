// BitmapData's per-pixel methods from script: threshold, hitTest, compare,
// merge, copyChannel, paletteMap, pixelDissolve, getColorBoundsRect, the
// seeded noises, and the pixel work one frame may ask for.
#include "BitmapScriptUtil.h"

namespace {

using namespace enginetest;

swfmake::SwfWriter Frames(const std::vector<std::string>& scripts) {
    swfmake::SwfWriter w(8, kStage, 12);
    for (const std::string& s : scripts) {
        w.Tags().DoAction(Asm(s));
        w.Tags().ShowFrame();
    }
    return w;
}

std::string Px(const std::string& b, int x, int y) { return CallM(Var(b), "getPixel32", {Num(x), Num(y)}); }
std::string Origin() { return Obj({{"x", 0}, {"y", 0}}); }
// getPixel32 reads signed.
std::string Dec(uint32_t v) { return std::to_string(int32_t(v)); }

// [a, b, ...] of numbers.
std::string ArrayExpr(const std::vector<double>& items) {
    std::string out;
    for (auto it = items.rbegin(); it != items.rend(); ++it) out += Num(*it) + "; ";
    return out + "push " + std::to_string(items.size()) + "; initarray";
}

// "x,y,width,height" of a rectangle.
std::string RectText(const std::string& r) {
    std::string out = Member(r, "x");
    for (const char* f : {"y", "width", "height"}) out += "; push ','; add2; " + Member(r, f) + "; add2";
    return out;
}

TEST(BitmapDataPixelsTest, ThresholdPaintsThePixelsThatPassAndCountsThem) {
    struct Case {
        const char* op;
        const char* traced;  // count, then the four pixels' 0xRRGGBB
    } cases[] = {
        {"<", "1|16711680|32|48|64"},           {"<=", "2|16711680|16711680|48|64"},
        {">", "2|16|32|16711680|16711680"},     {">=", "3|16|16711680|16711680|16711680"},
        {"==", "1|16|16711680|48|64"},          {"!=", "3|16711680|32|16711680|16711680"},
        {"=>", "1|16711680|32|48|64"},  // an unknown operation tests "<"
    };
    for (const Case& c : cases) {
        std::vector<std::string> script{SetV("b", NewBitmap({Num(4), Num(1), "push false", Num(0)}))};
        for (int x = 0; x < 4; ++x) script.push_back(Do(CallM(Var("b"), "setPixel", {Num(x), Num(0), Num(16 * (x + 1))})));
        script.push_back(Trace(CallM(Var("b"), "threshold", {Var("b"), Var("b.rectangle"), Origin(), Str(c.op),
                                                             Num(0xFF000020), Num(0xFFFF0000)})));
        for (int x = 0; x < 4; ++x) script.push_back(Trace(CallM(Var("b"), "getPixel", {Num(x), Num(0)})));
        ScriptedMovie m(Frames({Lines(script)}));
        ASSERT_TRUE(m.loaded);
        EXPECT_EQ(m.log.Joined(), c.traced) << c.op;
    }
    // Masked, from another bitmap, clipped at this one's edge: the pixel
    // that fails is copied over.
    ScriptedMovie m(Frames({Lines({
        SetV("d", NewBitmap({Num(4), Num(1), "push false", Num(0xFFFFFF)})),
        SetV("s", NewBitmap({Num(2), Num(1), "push false", Num(0x0000AA)})),
        Trace(CallM(Var("d"), "threshold", {Var("s"), Var("s.rectangle"), Obj({{"x", 3}, {"y", 0}}), Str("=="),
                                            Num(0xFF00), Num(0xFFFF0000), Num(0xFF00), "push true"})),
        Trace(CallM(Var("d"), "getPixel", {Num(2), Num(0)})), Trace(CallM(Var("d"), "getPixel", {Num(3), Num(0)})),
    })}));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "0|16777215|170");
}

TEST(BitmapDataPixelsTest, SourceMethodsReturnCodesForRefusedArguments) {
    const std::string r = RectObj(0, 0, 1, 1);
    struct Case {
        const char* what;
        std::string call;
        const char* traced;
    } cases[] = {
        {"too few", CallM(Var("b"), "copyChannel", {Var("s"), r, Origin(), Num(1)}), "-1"},
        {"no bitmap", CallM(Var("b"), "copyChannel", {"push null", r, Origin(), Num(1), Num(4)}), "-2"},
        {"disposed", CallM(Var("b"), "threshold", {Var("gone"), r, Origin(), Str("=="), Num(0)}), "-3"},
        {"no rectangle", CallM(Var("b"), "threshold", {Var("s"), Obj({{"x", 0}, {"y", 0}}), Origin(), Str("=="), Num(0)}),
         "-4"},
        {"done", CallM(Var("b"), "copyChannel", {Var("s"), r, Origin(), Num(1), Num(4)}), "-1"},
        {"disposed this", CallM(Var("gone"), "threshold", {Var("s"), r, Origin(), Str("=="), Num(0)}), "-1"},
        {"noise without seed", CallM(Var("b"), "noise", {}), "-1"},
        {"noise", CallM(Var("b"), "noise", {Num(1)}), "0"},
    };
    for (const Case& c : cases) {
        ScriptedMovie m(Frames({Lines({
            SetV("b", NewBitmap({Num(1), Num(1), "push true", Num(0)})),
            SetV("s", NewBitmap({Num(1), Num(1), "push true", Num(0)})),
            SetV("gone", NewBitmap({Num(1), Num(1)})),
            Do(CallM(Var("gone"), "dispose", {})),
            Trace(c.call),
        })}));
        ASSERT_TRUE(m.loaded);
        EXPECT_EQ(m.log.Joined(), c.traced) << c.what;
    }
}

TEST(BitmapDataPixelsTest, ThresholdTestsAndCopiesPixelsAsKept) {
    // A translucent red: kept premultiplied its red is 0x10, which passes
    // "< 0x200000" though the colour read back is full red.
    ScriptedMovie m(Frames({Lines({
        SetV("s", NewBitmap({Num(2), Num(1), "push true", Num(0x10FF0000)})),
        SetV("d", NewBitmap({Num(2), Num(1), "push false", Num(0)})),
        Trace(CallM(Var("d"), "threshold", {Var("s"), Var("s.rectangle"), Origin(), Str("<"), Num(0x200000),
                                            Num(0xFF0000FF), Num(0xFF0000)})),
        Trace(Px("d", 0, 0)),
        // A pixel copied over keeps its alpha even in an opaque bitmap.
        Trace(CallM(Var("d"), "threshold", {Var("s"), Var("s.rectangle"), Origin(), Str(">"), Num(0x200000),
                                            Num(0xFF00FF00), Num(0xFF0000), "push true"})),
        Trace(Px("d", 1, 0)),
    })}));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "2|" + Dec(0xFF0000FF) + "|0|" + Dec(0x10100000));
}

TEST(BitmapDataPixelsTest, HitTestAgainstPointsRectanglesAndBitmapsByAlpha) {
    // h placed at (10, 10): solid at (2, 1), a quarter alpha at (0, 0); o
    // a 2 x 2 opaque bitmap.
    struct Case {
        const char* name;
        const char* bitmap;
        double alpha;
        std::vector<std::string> rest;  // second object, [its point, its alpha]
        bool hit;
    } cases[] = {
        {"solid point", "h", 255, {Obj({{"x", 12}, {"y", 11}})}, true},
        {"empty point", "h", 1, {Obj({{"x", 12}, {"y", 12}})}, false},
        {"faint point reaching", "h", 64, {Obj({{"x", 10}, {"y", 10}})}, true},
        {"faint point short", "h", 65, {Obj({{"x", 10}, {"y", 10}})}, false},
        {"rectangle over", "h", 255, {RectObj(11, 10, 2, 2)}, true},
        {"rectangle past the edge", "h", 1, {RectObj(13, 10, 5, 5)}, false},
        {"bitmap over", "h", 255, {Var("o"), Obj({{"x", 11}, {"y", 11}}), Num(255)}, true},
        {"bitmap beside", "h", 255, {Var("o"), Obj({{"x", 13}, {"y", 13}}), Num(255)}, false},
        {"opaque is solid", "o", 255, {Obj({{"x", 11}, {"y", 11}})}, true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{Obj({{"x", 10}, {"y", 10}}), Num(c.alpha)};
        args.insert(args.end(), c.rest.begin(), c.rest.end());
        ScriptedMovie m(Frames({Lines({
            SetV("h", NewBitmap({Num(4), Num(4), "push true", Num(0)})),
            Do(CallM(Var("h"), "setPixel32", {Num(2), Num(1), Num(0xFF00FF00)})),
            Do(CallM(Var("h"), "setPixel32", {Num(0), Num(0), Num(0x40FFFFFF)})),
            SetV("o", NewBitmap({Num(2), Num(2), "push false", Num(0)})),
            Trace(CallM(Var(c.bitmap), "hitTest", args)),
        })}));
        ASSERT_TRUE(m.loaded);
        EXPECT_EQ(m.log.Joined(), c.hit ? "true" : "false") << c.name;
    }
}

TEST(BitmapDataPixelsTest, CompareGivesZeroCodesOrABitmapOfDifferences) {
    ScriptedMovie m(Frames({Lines({
        SetV("a", NewBitmap({Num(2), Num(1), "push false", Num(0x102030)})),
        SetV("b", CallM(Var("a"), "clone")),
        Trace(CallM(Var("a"), "compare", {Var("b")})),
        Do(CallM(Var("b"), "setPixel", {Num(0), Num(0), Num(0x0A1A40)})),
        SetV("d", CallM(Var("a"), "compare", {Var("b")})),
        Trace(Px("d", 0, 0)), Trace(Px("d", 1, 0)),
        // Only the alpha differs: the difference over white.
        SetV("t", NewBitmap({Num(1), Num(1), "push true", Num(0xFFFFFFFF)})),
        SetV("u", NewBitmap({Num(1), Num(1), "push true", Num(0x80FFFFFF)})),
        SetV("e", CallM(Var("t"), "compare", {Var("u")})), Trace(Var("e.width")), Trace(Px("e", 0, 0)),
        Trace(CallM(Var("a"), "compare", {Num(5)})),
        Trace(CallM(Var("a"), "compare", {NewBitmap({Num(3), Num(1)})})),
        Trace(CallM(Var("a"), "compare", {NewBitmap({Num(2), Num(2)})})),
        Do(CallM(Var("b"), "dispose")), Trace(CallM(Var("a"), "compare", {Var("b")})),
    })}));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "0|" + Dec(0xFF0606F0) + "|0|1|" + Dec(0x7FFFFFFF) + "|-1|-3|-4|-2");
}

TEST(BitmapDataPixelsTest, MergeCopyChannelAndPaletteMapMixChannels) {
    std::vector<double> invertRed, blueToGreen;
    for (int i = 0; i < 256; ++i) invertRed.push_back(double((255 - i) << 16)), blueToGreen.push_back(double(i << 8));
    const std::string one = RectObj(0, 0, 1, 1);
    ScriptedMovie m(Frames({Lines({
        SetV("black", NewBitmap({Num(1), Num(1), "push false", Num(0)})),
        SetV("white", NewBitmap({Num(1), Num(1), "push false", Num(0xFFFFFF)})),
        Do(CallM(Var("black"), "merge", {Var("white"), one, Origin(), Num(256), Num(128), Num(0), Num(0)})),
        Trace(CallM(Var("black"), "getPixel", {Num(0), Num(0)})),
        SetV("src", NewBitmap({Num(1), Num(1), "push false", Num(0x123456)})),
        SetV("o", NewBitmap({Num(1), Num(1), "push false", Num(0)})),
        Do(CallM(Var("o"), "copyChannel", {Var("src"), one, Origin(), Num(1), Num(4)})),
        Do(CallM(Var("o"), "copyChannel", {Var("src"), one, Origin(), Num(1), Num(8)})),  // no alpha to take it
        Trace(Px("o", 0, 0)),
        SetV("t", NewBitmap({Num(1), Num(1), "push true", Num(0xFFFFFFFF)})),
        Do(CallM(Var("t"), "copyChannel", {Var("src"), one, Origin(), Num(1), Num(8)})),
        Trace(Px("t", 0, 0)),
        SetV("p", NewBitmap({Num(1), Num(1), "push false", Num(0x102030)})),
        Do(CallM(Var("p"), "paletteMap", {Var("p"), one, Origin(), ArrayExpr(invertRed), "push null",
                                          ArrayExpr(blueToGreen)})),
        Trace(Px("p", 0, 0)),
    })}));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), Dec(0xFF7F00) + "|" + Dec(0xFF000012) + "|" + Dec(0x12FFFFFF) + "|" + Dec(0xFFEF5000));
}

TEST(BitmapDataPixelsTest, PixelDissolveVisitsEveryPixelOnceAcrossCalls) {
    const std::string all = RectObj(0, 0, 4, 4);
    // How many pixels of d are red, counted by a threshold on a scratch bitmap.
    const std::string reds = CallM(Var("n"), "threshold", {Var("d"), all, Origin(), Str("=="), Num(0xFFFF0000)});
    ScriptedMovie m(Frames({Lines({
        SetV("red", NewBitmap({Num(4), Num(4), "push false", Num(0xFF0000)})),
        SetV("d", NewBitmap({Num(4), Num(4), "push false", Num(0xFFFFFF)})),
        SetV("n", NewBitmap({Num(4), Num(4), "push false", Num(0)})),
        SetV("s", CallM(Var("d"), "pixelDissolve", {Var("red"), all, Origin(), Num(0), Num(5)})),
        Trace(Var("s")), Trace(reds),
        SetV("e", NewBitmap({Num(4), Num(4), "push false", Num(0xFFFFFF)})),
        Do(CallM(Var("e"), "pixelDissolve", {Var("red"), all, Origin(), Num(0), Num(5)})),
        Trace(CallM(Var("d"), "compare", {Var("e")})),  // same seed, same pixels
        SetV("s", CallM(Var("d"), "pixelDissolve", {Var("red"), all, Origin(), Var("s"), Num(5)})),
        Trace(Var("s")), Trace(reds),
        SetV("s", CallM(Var("d"), "pixelDissolve", {Var("red"), all, Origin(), Var("s"), Num(6)})),
        Trace(Var("s")), Trace(reds),
        // From itself: painted with the fill colour.
        Do(CallM(Var("d"), "pixelDissolve", {Var("d"), all, Origin(), Num(3), Num(16), Num(0xFF0000FF)})),
        Trace(reds),
    })}));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "5|6|0|10|11|0|16|0");
}

TEST(BitmapDataPixelsTest, ColorBoundsRectFramesTheMatchingPixels) {
    ScriptedMovie m(Frames({Lines({
        SetV("b", NewBitmap({Num(5), Num(5), "push false", Num(0xFFFFFF)})),
        Do(CallM(Var("b"), "setPixel", {Num(1), Num(2), Num(0xFF0000)})),
        Do(CallM(Var("b"), "setPixel", {Num(3), Num(1), Num(0xFF0000)})),
        Trace(RectText(CallM(Var("b"), "getColorBoundsRect", {Num(0xFFFFFFFF), Num(0xFFFF0000)}))),
        Trace(RectText(CallM(Var("b"), "getColorBoundsRect", {Num(0xFFFFFF), Num(0xFFFFFF), "push false"}))),
        Trace(RectText(CallM(Var("b"), "getColorBoundsRect", {Num(0x00FF00), Num(0)}))),
        Trace(RectText(CallM(Var("b"), "getColorBoundsRect", {Num(0xFF), Num(0x12)}))),
    })}));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "1,1,3,2|1,1,3,2|1,1,3,2|0,0,0,0");
}

TEST(BitmapDataPixelsTest, NoisesRepeatForASeedAndDifferForAnother) {
    auto perlin = [](const std::string& b, const std::vector<std::string>& args) {
        return Do(CallM(Var(b), "perlinNoise", args));
    };
    const std::vector<std::string> fractal{Num(16), Num(16), Num(3), Num(42), "push false", "push true"};
    std::vector<std::string> turbulence = fractal;
    turbulence[5] = "push false";
    // Offsets one bitmap's width along: the same picture when stitched.
    const std::string far = Obj({{"x", 64}, {"y", 0}});
    const std::vector<std::string> stitched{Num(16), Num(16), Num(2), Num(5), "push true", "push true", Num(7),
                                            "push false", Origin() + "; " + Origin() + "; push 2; initarray"};
    std::vector<std::string> shifted = stitched;
    shifted[8] = far + "; " + far + "; push 2; initarray";
    std::vector<std::string> unstitched = shifted;
    unstitched[4] = "push false";
    std::vector<std::string> redOnly = fractal;
    redOnly.push_back(Num(1));
    std::vector<std::string> gray = fractal;
    gray.insert(gray.end(), {Num(7), "push true"});
    auto bitmap = [](const char* name) { return SetV(name, NewBitmap({Num(64), Num(64), "push false", Num(0)})); };
    ScriptedMovie m(Frames({Lines({
        bitmap("n1"), bitmap("n2"), bitmap("n3"),
        Do(CallM(Var("n1"), "noise", {Num(7)})), Do(CallM(Var("n2"), "noise", {Num(7)})),
        Do(CallM(Var("n3"), "noise", {Num(8)})),
        Trace(CallM(Var("n1"), "compare", {Var("n2")})), Trace(CallM(Var("n1"), "compare", {Var("n3")}) + "; typeof"),
        bitmap("p1"), bitmap("p2"), bitmap("p3"), perlin("p1", fractal), perlin("p2", fractal), perlin("p3", turbulence),
        Trace(CallM(Var("p1"), "compare", {Var("p2")})),
        // The lattice corner: mid grey for the signed sum, black for turbulence.
        Trace(CallM(Var("p1"), "getPixel", {Num(0), Num(0)})), Trace(CallM(Var("p3"), "getPixel", {Num(0), Num(0)})),
        Trace(CallM(Var("p1"), "getPixel", {Num(21), Num(37)})), Trace(CallM(Var("p3"), "getPixel", {Num(21), Num(37)})),
        Trace(Member(CallM(Var("p1"), "getColorBoundsRect", {Num(0xFFFFFF), Num(0x7F7F7F), "push false"}), "width")),
        bitmap("s1"), bitmap("s2"), bitmap("s3"), perlin("s1", stitched), perlin("s2", shifted),
        perlin("s3", unstitched),
        Trace(CallM(Var("s1"), "compare", {Var("s2")})), Trace(CallM(Var("s1"), "compare", {Var("s3")}) + "; typeof"),
        bitmap("r"), perlin("r", redOnly),
        Trace(Member(CallM(Var("r"), "getColorBoundsRect", {Num(0xFFFF), Num(0), "push false"}), "width")),
        bitmap("g"), perlin("g", gray),
        Trace(RectText(CallM(Var("g"), "getColorBoundsRect", {Num(0xFF), Num(0), "push false"}))),
        Trace(CallM(Var("g"), "getPixel", {Num(21), Num(37)})),
    })}));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Joined(), "0|object|0|" + Dec(0x7F7F7F) + "|0|" + Dec(0x955176) + "|" + Dec(0x2B6837) +
                                  "|64|0|object|0|0,0,64,64|" + Dec(0x959595));
}

TEST(BitmapDataPixelsTest, PixelWorkPastTheFramesBudgetIsSkippedAndTheMoviePlaysOn) {
    // Four passes over the largest bitmap fit in a frame; the fifth call is
    // skipped, and the next frame has a fresh budget.
    std::vector<std::string> first{SetV("b", NewBitmap({Num(2880), Num(2880), "push false", Num(0)}))};
    for (int i = 1; i <= 4; ++i)
        first.push_back(Do(CallM(Var("b"), "fillRect", {Var("b.rectangle"), Num(0xFF000000 + i)})));
    const std::string count =
        CallM(Var("b"), "threshold", {Var("b"), Var("b.rectangle"), Origin(), Str(">="), Num(0), Num(0xFF0000FF)});
    first.push_back(Trace(count));
    first.push_back(Trace(CallM(Var("b"), "getPixel", {Num(5), Num(5)})));
    first.push_back(Trace(count));
    const swfmake::SwfWriter w = Frames(
        {Lines(first), Lines({Trace(count), Trace(CallM(Var("b"), "getPixel", {Num(5), Num(5)})), Do(CallF("stop"))})});
    swf::Player player;
    Traced log;
    log.Attach(player);
    ASSERT_TRUE(player.LoadBytes(w.Write(false)));
    player.Tick();
    EXPECT_EQ(log.Joined(), "0|4|0|8294400|255");
    const std::vector<std::string> errors = player.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("BitmapData.threshold: pixel work budget"), std::string::npos);
}

}  // namespace
