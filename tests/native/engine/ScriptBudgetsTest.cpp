// Hostile scripts against the player's budgets: each one is stopped or
// capped, says so in Errors(), and the movie keeps playing its next frame.
#include "MovieScriptUtil.h"
#include "swf/classes/Drawing.h"

namespace {

using namespace enginetest;

constexpr uint16_t kBox = 1, kSprite = 2;

// Frame 1 runs `script` (with an exported sprite "box" whose class is set
// up by `initClip`); frame 2 traces "frame 2" and stops.
swfmake::SwfWriter Movie(const std::string& script, const std::string& initClip = "") {
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.DefineShape(kBox, Square(200));
    swfmake::TagList sprite;
    sprite.PlaceObject(kBox, 1);
    sprite.ShowFrame();
    t.DefineSprite(kSprite, sprite);
    t.ExportAssets({{kSprite, "box"}});
    if (!initClip.empty()) t.DoInitAction(kSprite, Asm(initClip));
    t.DoAction(Asm(script));
    t.ShowFrame();
    t.DoAction(Asm(Trace(Str("frame 2")) + "; stop"));
    t.ShowFrame();
    return w;
}

// Loads through LoadBytes alone: these movies are meant to end up in Errors().
struct HostileMovie {
    swf::Player player;
    Traced log;
    bool loaded = false;
    explicit HostileMovie(const swfmake::SwfWriter& w) {
        log.Attach(player);
        loaded = player.LoadBytes(w.Write(false));
    }
};

bool Mentions(const swf::Player& p, const std::string& what) {
    for (const std::string& e : p.Errors())
        if (e.find(what) != std::string::npos) return true;
    return false;
}

// for (i = 0; i < n; i++) { body }
std::string Loop(int n, const std::string& body) {
    static int k = 0;
    const std::string top = "top" + std::to_string(++k), done = "done" + std::to_string(k);
    return SetV("i", Num(0)) + "\n" + top + ":\n" + Var("i") + "; " + Num(n) + "; less2; not; if " + done + "\n" +
           body + "\n" + SetV("i", Var("i") + "; increment") + "\njump " + top + "\n" + done + ":\n";
}

TEST(ScriptBudgetsTest, TensOfThousandsOfClipsStopAtTheClipBudget) {
    const std::string make = Do(CallM(Var("_root"), "createEmptyMovieClip", {Str("c") + "; " + Var("i") + "; add2",
                                                                             Var("i")}));
    HostileMovie m(Movie(Loop(40000, make) + Trace(CallM(Var("_root"), "getNextHighestDepth"))));
    ASSERT_TRUE(m.loaded);
    const std::string made = m.log.Take();
    EXPECT_LT(std::stod(made), 40000);
    EXPECT_TRUE(Mentions(m.player, "clip budget"));
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "frame 2");
}

TEST(ScriptBudgetsTest, ClipsThatAttachClipsWhenMadeStopAtTheLimits) {
    // Each box attaches another box inside itself from its constructor.
    const std::string initClip = Lines({
        SetV("Box", Fn(Do(CallM("push 'this'; getvariable", "attachMovie", {Str("box"), Str("inner"), Num(1)})))),
        SetM(Var("Box.prototype"), "__proto__", Var("MovieClip.prototype")),
        Do(CallM(Var("Object"), "registerClass", {Str("box"), Var("Box")})),
    });
    HostileMovie m(Movie(Lines({Do(CallM(Var("_root"), "attachMovie", {Str("box"), Str("outer"), Num(1)})),
                                 Trace(Str("still running"))}),
                          initClip));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "still running");
    EXPECT_TRUE(Mentions(m.player, "nested deeper"));
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "frame 2");
}

TEST(ScriptBudgetsTest, DrawingPastItsBudgetIsCappedAndReported) {
    // Every fill after a line starts a layer: the layer budget is met fast.
    const std::string draw = Do(CallM(Var("d"), "lineTo", {Var("i") + "; " + Num(7) + "; modulo", Num(3)})) + "\n" +
                             Do(CallM(Var("d"), "beginFill", {Num(255)}));
    HostileMovie m(Movie(Lines({
        SetV("d", CallM(Var("_root"), "createEmptyMovieClip", {Str("d"), Num(1)})),
        Do(CallM(Var("d"), "lineStyle", {Num(1)})),
        Loop(int(swf::Drawing::kMaxLayers) + 10, draw),
        Trace(Str("drawn")),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "drawn");
    EXPECT_TRUE(Mentions(m.player, "drawing"));
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "frame 2");
}

}  // namespace
