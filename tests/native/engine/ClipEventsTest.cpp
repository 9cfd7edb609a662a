// Events from the user's side: the order of frame actions, onClipEvent
// handlers and handler properties; clips with button handlers acting as
// buttons; mouse listeners; and handlers that misbehave.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

constexpr uint16_t kBox = 1, kSprite = 2;

// A sprite "s" (a 20 px box, its frame traces "sprite frame") at (50, 50)
// px with `handlers`; the root's single frame runs `script`.
swfmake::SwfWriter Movie(const std::string& script, std::vector<swfmake::ClipHandler> handlers = {}) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DefineShape(kBox, Square(400));
    swfmake::TagList sprite;
    sprite.PlaceObject(kBox, 1);
    sprite.DoAction(Asm(Trace(Str("sprite frame"))));
    sprite.ShowFrame();
    t.DefineSprite(kSprite, sprite);
    swfmake::Placement p = swfmake::NewPlacement(1, kSprite, swf::Matrix::Translate(1000, 1000));
    p.name = "s";
    p.clipActions = std::move(handlers);
    t.PlaceObject2(p);
    t.DoAction(Asm(script));
    t.ShowFrame();
    return w;
}

swfmake::ClipHandler On(uint32_t events, const std::string& script) { return {events, Asm(script)}; }

TEST(ClipEventsTest, FrameActionsThenClipEventsThenHandlerProperties) {
    ScriptedMovie m(Movie(Lines({Trace(Str("root frame")),
                                 SetM(Var("s"), "onEnterFrame", Fn(Trace(Str("property")))),
                                 SetM(Var("s"), "onLoad", Fn(Trace(Str("onLoad"))))}),
                          {On(swf::kClipLoad, Trace(Str("load"))),
                           On(swf::kClipEnterFrame, Trace(Member("push 'this'; getvariable", "_name")))}));
    ASSERT_TRUE(m.loaded);
    // The sprite is placed before the root's script: its frame runs first.
    EXPECT_EQ(m.log.Take(), "sprite frame|root frame|load|onLoad");
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "s|property");
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "s|property");
}

TEST(ClipEventsTest, ClipWithButtonHandlersActsAsAButton) {
    ScriptedMovie m(Movie(Lines({
        SetM(Var("s"), "onPress", Fn(Trace(Str("press")))),
        SetM(Var("s"), "onRelease", Fn(Trace(Str("release")))),
        SetM(Var("s"), "onReleaseOutside", Fn(Trace(Str("outside")))),
        SetM(Var("s"), "onRollOver", Fn(Trace(Str("over")))),
        SetM(Var("s"), "onRollOut", Fn(Trace(Str("out")))),
        SetM(Var("s"), "onDragOut", Fn(Trace(Str("drag out")))),
    })));
    ASSERT_TRUE(m.loaded);
    m.log.Take();
    Pixels(m.player);
    m.player.PointerMove(5, 5);
    EXPECT_FALSE(m.player.PointerOverButton());
    m.player.PointerMove(60, 60);
    EXPECT_TRUE(m.player.PointerOverButton());
    m.player.PointerDown(60, 60);
    m.player.PointerUp(60, 60);
    m.player.PointerDown(60, 60);
    m.player.PointerMove(150, 120);
    m.player.PointerUp(150, 120);
    EXPECT_EQ(m.log.Take(), "over|press|release|press|drag out|outside");
    // Disabled, it is a plain clip again: no hand, no events.
    ScriptedMovie off(Movie(Lines({SetM(Var("s"), "onPress", Fn(Trace(Str("press")))),
                                   SetM(Var("s"), "enabled", "push false")})));
    Pixels(off.player);
    off.player.PointerMove(60, 60);
    off.player.PointerDown(60, 60);
    EXPECT_FALSE(off.player.PointerOverButton());
    EXPECT_EQ(off.log.Take(), "sprite frame");
}

TEST(ClipEventsTest, OnPressFromClipActionsAndMouseEventsReachEveryClip) {
    ScriptedMovie m(Movie(Lines({
                              SetV("o", "push 0; initobject"),
                              SetM(Var("o"), "onMouseDown", Fn(Trace(Str("listener down")))),
                              Do(CallM(Var("Mouse"), "addListener", {Var("o")})),
                              SetM(Var("s"), "onMouseUp", Fn(Trace(Str("property up")))),
                          }),
                          {On(swf::kClipPress, Trace(Str("on press"))),
                           On(swf::kClipMouseDown, Trace(Str("clip down")))}));
    ASSERT_TRUE(m.loaded);
    m.log.Take();
    Pixels(m.player);
    m.player.PointerDown(5, 5);  // outside the clip: mouse events still come
    m.player.PointerUp(5, 5);
    EXPECT_EQ(m.log.Take(), "clip down|listener down|property up");
    m.player.PointerMove(60, 60);
    m.player.PointerDown(60, 60);
    EXPECT_EQ(m.log.Take(), "clip down|listener down|on press");  // clips hear the press first
    EXPECT_TRUE(m.player.PointerOverButton());
}

TEST(ClipEventsTest, KeysReachClipHandlersListenersAndKeyPresses) {
    swfmake::ClipHandler left = On(swf::kClipKeyPress, Trace(Str("left pressed")));
    left.keyCode = swf::kButtonKeyLeft;
    ScriptedMovie m(Movie(Lines({
                              SetV("o", "push 0; initobject"),
                              SetM(Var("o"), "onKeyUp", Fn(Trace(Str("listener up")))),
                              Do(CallM(Var("Key"), "addListener", {Var("o")})),
                          }),
                          {On(swf::kClipKeyDown, Trace(Str("clip down"))), left}));
    ASSERT_TRUE(m.loaded);
    m.log.Take();
    m.player.KeyDown(swf::kKeyLeft, 0);
    m.player.KeyUp(swf::kKeyLeft, 0);
    m.player.KeyDown('A', 'a');
    EXPECT_EQ(m.log.Take(), "clip down|left pressed|listener up|clip down");
    m.player.Focus(false);  // a player without the focus hears nothing
    m.player.KeyDown(swf::kKeyLeft, 0);
    EXPECT_EQ(m.log.Take(), "");
}

TEST(ClipEventsTest, RunawayHandlersAreStoppedAndTheMovieKeepsPlaying) {
    // onEnterFrame calling itself without end, and a clip created on every
    // frame from a loop that never ends.
    ScriptedMovie m(Movie(Lines({
        SetM(Var("s"), "onEnterFrame", Fn(Trace(Str("tick")) + "; " + Do(CallM("push 'this'; getvariable", "onEnterFrame")))),
    })));
    ASSERT_TRUE(m.loaded);
    m.log.Take();
    m.player.Tick();
    const size_t first = m.log.Take().size();
    EXPECT_GT(first, 0u);
    m.player.Tick();  // stopped at the depth limit, and again next frame
    EXPECT_EQ(m.log.Take().size(), first);
}

// Frame 1 places "s" (its own child clip "inner" inside) with `handlers`
// and runs `script`; frame 2 removes it and traces "frame 2".
swfmake::SwfWriter LeavingMovie(const std::string& script, std::vector<swfmake::ClipHandler> handlers) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DefineShape(kBox, Square(400));
    swfmake::TagList inner;
    inner.PlaceObject(kBox, 1);
    inner.ShowFrame();
    t.DefineSprite(kSprite, inner);
    swfmake::TagList outer;
    swfmake::Placement in = swfmake::NewPlacement(1, kSprite);
    in.name = "inner";
    in.clipActions = {On(swf::kClipUnload, Trace(Str("inner unload")))};
    outer.PlaceObject2(in);
    outer.ShowFrame();
    t.DefineSprite(kSprite + 1, outer);
    swfmake::Placement p = swfmake::NewPlacement(1, kSprite + 1);
    p.name = "s";
    p.clipActions = std::move(handlers);
    t.PlaceObject2(p);
    t.DoAction(Asm(script));
    t.ShowFrame();
    t.RemoveObject2(1);
    t.DoAction(Asm(Lines({Trace(Str("frame 2")), Trace(Var("s")), "stop"})));
    t.ShowFrame();
    return w;
}

TEST(ClipEventsTest, AGotoRunsTheFirstFrameOfEveryClipItPlacesSkippedFramesIncluded) {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    for (uint16_t id : {3, 4}) {
        swfmake::TagList sprite;
        sprite.DoAction(Asm(Trace(Str("sprite " + std::to_string(id)))));
        sprite.ShowFrame();
        t.DefineSprite(id, sprite);
    }
    t.DoAction(Asm(Trace(Str("root")) + "; gotoframe 3"));
    t.ShowFrame();
    t.PlaceObject2(swfmake::NewPlacement(2, 3));  // a frame the goto skips
    t.ShowFrame();
    t.PlaceObject2(swfmake::NewPlacement(1, 4));
    t.ShowFrame();
    t.DoAction(swfmake::Actions().Stop());
    t.ShowFrame();
    ScriptedMovie m(w);
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "root|sprite 3|sprite 4");  // in the order they were placed
}

TEST(ClipEventsTest, ClipsLeavingTheTimelineUnloadBeforeTheFramesActions) {
    ScriptedMovie m(LeavingMovie(SetM(Var("s"), "onUnload", Fn(Trace(Member("push 'this'; getvariable", "_name")))),
                                 {On(swf::kClipUnload, Trace(Str("unload")))}));
    ASSERT_TRUE(m.loaded);
    m.log.Take();
    m.player.Tick();
    // Its handlers ran, and it stays, below every depth, until the next frame.
    EXPECT_EQ(m.log.Take(), "unload|s|inner unload|frame 2|_level0.s");
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "");
}

TEST(ClipEventsTest, RemovedClipsUnloadAfterTheScriptThatRemovedThem) {
    const std::string bye = Fn(Trace(Str("bye ") + "; " + Member("push 'this'; getvariable", "_name") + "; add2"));
    ScriptedMovie m(Movie(Lines({
        Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("c"), Num(1)})),
        SetM(Var("c"), "onUnload", bye),
        SetM(Var("c"), "onEnterFrame", Fn(Trace(Str("still here")))),
        Do(CallM(Var("c"), "removeMovieClip")),
        Trace(Var("c")),
        Trace(CallM(Var("c"), "getDepth")),
        Trace(Str("after")),
    })));
    ASSERT_TRUE(m.loaded);
    // Kept for its handler at depth -32769 - 1 until the next frame.
    EXPECT_EQ(m.log.Take(), "sprite frame|_level0.c|-32770|after|bye c");
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "");
}

// A button at (50, 50) px whose up state is a sprite holding a clip with
// onClipEvent(unload) tracing "up unload", and whose over and down states
// hold one tracing "over unload"; rolling over traces "over". Frame 2
// removes the button and traces "frame 2".
swfmake::SwfWriter ButtonStatesMovie() {
    constexpr uint16_t kUpState = kSprite + 1, kOverState = kSprite + 2, kButton = kSprite + 3;
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DefineShape(kBox, Square(400));
    t.DefineSprite(kSprite, [] {
        swfmake::TagList inner;
        inner.PlaceObject(kBox, 1);
        inner.ShowFrame();
        return inner;
    }());
    for (auto [state, text] : {std::pair{kUpState, "up unload"}, std::pair{kOverState, "over unload"}}) {
        swfmake::TagList sprite;
        swfmake::Placement in = swfmake::NewPlacement(1, kSprite);
        in.clipActions = {On(swf::kClipUnload, Trace(Str(text)))};
        sprite.PlaceObject2(in);
        sprite.ShowFrame();
        t.DefineSprite(state, sprite);
    }
    swfmake::ButtonCondAction over;
    over.conditions = swf::kCondIdleToOverUp;
    over.actions = Asm(Trace(Str("over")));
    t.DefineButton2(kButton,
                    {{swf::kButtonUp, kUpState, 1, {}, {}},
                     {swf::kButtonOver | swf::kButtonDown, kOverState, 1, {}, {}},
                     {swf::kButtonHit, kBox, 2, {}, {}}},
                    {over});
    t.PlaceObject2(swfmake::NewPlacement(1, kButton, swf::Matrix::Translate(1000, 1000)));
    t.ShowFrame();
    t.RemoveObject2(1);
    t.DoAction(Asm(Lines({Trace(Str("frame 2")), "stop"})));
    t.ShowFrame();
    return w;
}

TEST(ClipEventsTest, ClipsInButtonStatesUnloadWhenTheStateOrTheButtonGoes) {
    ScriptedMovie m(ButtonStatesMovie());
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "");
    m.player.PointerMove(55, 55);  // the up state's sprite is replaced
    EXPECT_EQ(m.log.Take(), "up unload|over");
    m.player.Tick();  // the button leaves with its state's clips
    EXPECT_EQ(m.log.Take(), "over unload|frame 2");
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "");
}

}  // namespace
