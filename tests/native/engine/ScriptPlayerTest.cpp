// Scripts in playing movies: the interpreter wired to the timeline. Each
// movie is written with the action assembler; trace output is the check.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

// One frame per script, in order.
swfmake::SwfWriter Frames(const std::vector<std::string>& scripts, int version = 7) {
    swfmake::SwfWriter w(static_cast<uint8_t>(version), kStage, 12);
    for (const std::string& s : scripts) {
        if (!s.empty()) w.Tags().DoAction(Asm(s));
        w.Tags().ShowFrame();
    }
    return w;
}

std::string Play(const swfmake::SwfWriter& w, int ticks) {
    swf::Player p;
    Traced t;
    t.Attach(p);
    if (!Load(p, w)) return "not loaded";
    for (int i = 0; i < ticks; ++i) p.Tick();
    return t.Joined();
}

TEST(ScriptPlayerTest, IfElseRunsOneBranchAndLoopsLoop) {
    // Regression: the straight-line runner ran both branches of an if/else
    // and every loop once.
    EXPECT_EQ(Play(Frames({"push 1; if yes; push 'no'; trace; jump end; yes: push 'yes'; trace; end:"}), 0), "yes");
    EXPECT_EQ(Play(Frames({R"(
        push 'i', 0; setvariable
        top: push 'i'; getvariable; push 3; less2; not; if done
        push 'i'; getvariable; trace
        push 'i', 'i'; getvariable; increment; setvariable; jump top
        done:)"}), 0), "0|1|2");
}

TEST(ScriptPlayerTest, FunctionBodyRunsOnlyWhenCalled) {
    // Regression: a handler's body (stop) ran where the function was defined.
    swfmake::SwfWriter w = Frames({"definefunction h() end; stop; end:", "", "push 0, 'h'; callfunction; pop", ""});
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    EXPECT_TRUE(p.IsPlaying());
    p.Tick();
    p.Tick();
    EXPECT_FALSE(p.IsPlaying());
    EXPECT_EQ(p.CurrentFrame(), 2);
}

TEST(ScriptPlayerTest, VariablesLiveAcrossFramesAndSpritesHaveTheirOwn) {
    swfmake::SwfWriter w(7, kStage, 12);
    swfmake::TagList& t = w.Tags();
    swfmake::TagList s;
    s.DoAction(Asm("push 'v', 'inner'; setvariable; stop"));
    s.ShowFrame();
    t.DefineSprite(1, s);
    swfmake::Placement place = swfmake::NewPlacement(1, 1);
    place.name = "kid";
    t.PlaceObject2(place);
    t.DoAction(Asm("push 'v', 'outer'; setvariable"));
    t.ShowFrame();
    t.DoAction(Asm("push 'v'; getvariable; trace; push '_root.kid.v'; getvariable; trace;"
                   "push 'kid'; getvariable; targetpath; trace; push '/kid', 4; getproperty; trace"));
    t.ShowFrame();
    EXPECT_EQ(Play(w, 1), "outer|inner|_level0.kid|1");
}

TEST(ScriptPlayerTest, BlocksOfOneFrameShareTheStackUntilTheFrameEnds) {
    swfmake::SwfWriter w(7, kStage, 12);
    w.Tags().DoAction(Asm("push 'left', 'behind'"));
    w.Tags().DoAction(Asm("trace; definefunction f() fend; trace; fend:; push 0, 'f'; callfunction; pop; trace"));
    w.Tags().ShowFrame();
    w.Tags().DoAction(Asm("trace"));
    w.Tags().ShowFrame();
    // A function's own stack starts empty.
    EXPECT_EQ(Play(w, 1), "behind|undefined|left|undefined");
}

TEST(ScriptPlayerTest, InitActionsRunOnceBeforeFrameActions) {
    swfmake::SwfWriter w(7, kStage, 12);
    swfmake::TagList& t = w.Tags();
    swfmake::TagList s;
    s.ShowFrame();
    t.DefineSprite(1, s);
    t.DoAction(Asm("push 'frame'; trace"));
    t.DoInitAction(1, Asm("push 'init'; trace"));
    t.ShowFrame();
    t.ShowFrame();
    EXPECT_EQ(Play(w, 3), "init|frame|frame");
}

TEST(ScriptPlayerTest, IntervalsRunOnTheFrameClock) {
    // 12 fps: an interval of 250 ms fires every third frame.
    swfmake::SwfWriter w = Frames({R"(
        definefunction - () end
          push 'tick'; trace
        end:
        push 250; stackswap; push 2, 'setInterval'; callfunction; pop
        stop)"});
    EXPECT_EQ(Play(w, 7), "tick|tick");
}

TEST(ScriptPlayerTest, EndlessScriptStopsAndTheMovieGoesOn) {
    swfmake::SwfWriter w = Frames({"", "top: jump top", "push 'next'; trace"});
    swf::Player p;
    Traced t;
    t.Attach(p);
    ASSERT_TRUE(Load(p, w));
    p.Tick();
    p.Tick();
    EXPECT_EQ(t.Joined(), "next");
    bool reported = false;
    for (const std::string& e : p.Errors()) reported |= e.find("budget") != std::string::npos;
    EXPECT_TRUE(reported);
}

}  // namespace
