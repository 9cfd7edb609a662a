// Text fields under the mouse: a press puts the caret where it lands,
// dragging selects, a double press (on the player's clock) selects the word,
// the wheel scrolls and tells onScroller, and the caret blinks on the
// player's clock.
#include "MovieScriptUtil.h"
#include "StubFonts.h"
#include "tools/swfmake/TextTags.h"

namespace {

using namespace enginetest;

// An input field "t" at the stage's corner in the stub font (10 px a
// character after a 2 px gutter, 20 px lines); the root runs `script`.
struct FieldUnderMouse {
    swf::Player player;
    Traced log;
    FieldUnderMouse(const std::string& text, bool multiline, const std::string& script) {
        swfmake::SwfWriter w(8, kStage, 12);
        swf::EditTextData f;
        f.bounds = {0, 3000, 0, multiline ? 800 : 400};
        f.fontClass = "_sans";
        f.height = 400;
        f.multiline = f.wordWrap = multiline;
        f.initialText = text;
        swfmake::DefineEditText(w.Tags(), 1, f);
        swfmake::Placement p = swfmake::NewPlacement(1, 1);
        p.name = "t";
        w.Tags().PlaceObject2(p);
        w.Tags().DoAction(Asm(script));
        w.Tags().ShowFrame();
        log.Attach(player);
        player.SetFontProvider(std::make_shared<StubProvider>());
        loaded = Load(player, w);
        Pixels(player);
    }
    void Click(int x, int y) {
        player.PointerMove(x, y);
        player.PointerDown(x, y);
        player.PointerUp(x, y);
    }
    bool loaded = false;
};

// Traces the selection as "begin,end" whenever the mouse is released.
const std::string kTraceSelection = Lines({
    SetV("o", "push 0; initobject"),
    SetM(Var("o"), "onMouseUp",
         Fn(Trace(CallM(Var("Selection"), "getBeginIndex") + "; push ','; add2; " +
                  CallM(Var("Selection"), "getEndIndex") + "; add2"))),
    Do(CallM(Var("Mouse"), "addListener", {Var("o")})),
});

TEST(TextPointerTest, PressesPlaceTheCaretDragsSelectAndDoublePressesTakeTheWord) {
    FieldUnderMouse m("hello world", false, kTraceSelection);
    ASSERT_TRUE(m.loaded);
    m.Click(35, 10);  // nearer the boundary after "hel" than after "hell"
    m.player.PointerDown(25, 10);  // after "he"
    m.player.PointerMove(78, 10);  // dragged to after "hello w"
    m.player.PointerUp(78, 10);
    m.Click(95, 10);
    m.Click(95, 10);  // twice at once: "world"
    m.Click(190, 140);  // off the field: it loses the focus
    EXPECT_EQ(m.log.Take(), "3,3|2,8|9,9|6,11|-1,-1");
}

TEST(TextPointerTest, TheWheelScrollsTheFieldUnderThePointer) {
    // Six 20 px lines, one of them showing at a time.
    FieldUnderMouse m("a\rb\rc\rd\re\rf", true,
                      SetM(Var("_root"), "onEnterFrame", Fn(Trace(Var("t.scroll") + "; push '/'; add2; " +
                                                                  Var("t.maxscroll") + "; add2"))));
    ASSERT_TRUE(m.loaded);
    m.player.PointerMove(20, 10);
    const int turns[] = {-2, 1, -30, 0};
    for (int lines : turns) {
        m.player.Wheel(lines);
        m.player.Tick();
    }
    m.player.PointerMove(150, 100);  // away from the field: nothing scrolls
    m.player.Wheel(3);
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "3/6|2/6|6/6|6/6|6/6");
}

TEST(TextPointerTest, PressesFurtherApartThanHalfASecondOfMovieTimeAreTwoSinglePresses) {
    FieldUnderMouse m("hello world", false, kTraceSelection);
    ASSERT_TRUE(m.loaded);
    m.Click(95, 10);
    for (int tick = 0; tick < 6; ++tick) m.player.Tick();  // half a second at 12 fps
    m.Click(95, 10);
    m.player.Tick();
    m.Click(95, 10);  // within the next half second: the word
    EXPECT_EQ(m.log.Take(), "9,9|9,9|6,11");
}

// "s" then scroll/maxscroll from the field's handler, "l" and the field's
// name from a listener's.
const std::string kTraceScroller = Lines({
    SetM(Var("t"), "onScroller",
         Fn(Trace(Str("s") + "; " + Var("f.scroll") + "; add2; push '/'; add2; " + Var("f.maxscroll") + "; add2"),
            "f")),
    SetV("o", "push 0; initobject"),
    SetM(Var("o"), "onScroller", Fn(Trace(Str("l") + "; " + Var("f._name") + "; add2"), "f")),
    Do(CallM(Var("t"), "addListener", {Var("o")})),
});

TEST(TextPointerTest, OnScrollerTellsTheFieldAndItsListenersWhateverMovedTheScroll) {
    const std::string kNewLine = CallM(Var("String"), "fromCharCode", {Num(10)});
    FieldUnderMouse m("a\rb\rc", true,
                      kTraceScroller + Lines({
                                           SetM(Var("t"), "scroll", Num(2)),
                                           SetM(Var("t"), "scroll", Num(2)),  // no move, nothing told
                                           SetM(Var("t"), "hscroll", Num(0)),
                                           Do(CallM(Var("t"), "replaceText", {Num(0), Num(0), kNewLine})),
                                       }));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "s2/3|lt|s2/4|lt");
    m.player.PointerMove(20, 10);
    m.player.Wheel(-1);  // down a line
    m.player.Wheel(-5);  // already at the end: nothing
    EXPECT_EQ(m.log.Take(), "s3/4|lt|s4/4|lt");
    m.player.Focus(true);
    m.Click(20, 10);
    m.player.KeyDown(swf::kKeyEnd, 0);
    m.player.KeyDown(swf::kKeyEnter, 13);  // a fifth line, empty: no height yet
    m.player.KeyDown('X', 'x');            // now it has, and is scrolled to
    EXPECT_EQ(m.log.Take(), "s5/5|lt");
}

TEST(TextPointerTest, AFieldWithTheWheelDisabledKeepsItsScroll) {
    FieldUnderMouse m("a\rb\rc", true, kTraceScroller + Lines({
        Trace(Var("t.mouseWheelEnabled")),
        SetM(Var("t"), "mouseWheelEnabled", "push false"),
        Trace(Var("t.mouseWheelEnabled")),
    }));
    ASSERT_TRUE(m.loaded);
    m.player.PointerMove(20, 10);
    m.player.Wheel(-1);
    EXPECT_EQ(m.log.Take(), "true|false");
    EXPECT_EQ(m.player.Errors().size(), 0u);
}

TEST(TextPointerTest, TheFocusedFieldsCaretBlinksWithTheClock) {
    FieldUnderMouse m("hello world", false, "");
    ASSERT_TRUE(m.loaded);
    m.Click(53, 10);  // the caret in the gap before "world", at x 52
    std::vector<uint32_t> seen;
    for (int tick = 0; tick <= 12; ++tick) {
        if (tick % 6 == 0) seen.push_back(Pixels(m.player).At(52, 10));  // every half second at 12 fps
        m.player.Tick();
    }
    EXPECT_EQ(seen, (std::vector<uint32_t>{0xFF000000u, kWhitePixel, 0xFF000000u}));
}

}  // namespace
