// Buttons: drawn state from the pointer, the transitions' actions, and the
// hit area seen through the view and parent sprites.
#include <optional>

#include "EngineTestUtil.h"
#include "tools/swfmake/ActionAsm.h"

namespace {

using namespace enginetest;
using swf::Matrix;

constexpr uint16_t kUp = 1, kOver = 2, kDown = 3, kHit = 4, kButton = 10;
// Stage 200 x 150 px; the button's hit square covers pixels 100..149 x 50..99.
const Matrix kButtonAt = Matrix::Translate(2000, 1000);
constexpr int kInX = 110, kInY = 60, kOutX = 10, kOutY = 10;

void DefineStateShapes(swfmake::TagList& t) {
    t.DefineShape(kUp, Square(1000));
    t.DefineShape(kOver, Square(1002));
    t.DefineShape(kDown, Square(1004));
    t.DefineShape(kHit, Square(1000));
}

std::vector<swfmake::ButtonRecord> StateRecords() {
    return {{swf::kButtonUp, kUp, 1, {}, {}},
            {swf::kButtonOver, kOver, 1, {}, {}},
            {swf::kButtonDown, kDown, 1, {}, {}},
            {swf::kButtonHit, kHit, 2, {}, {}}};
}

swfmake::ButtonCondAction On(uint16_t conditions, const std::string& name) {
    swfmake::ButtonCondAction a;
    a.conditions = conditions;
    a.actions.FsCommand(name, "");
    return a;
}

swfmake::SwfWriter Button2Movie(const std::optional<std::string>& name = std::nullopt) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    DefineStateShapes(t);
    t.DefineButton2(kButton, StateRecords(),
                    {On(swf::kCondIdleToOverUp, "enter"), On(swf::kCondOverUpToIdle, "leave"),
                     On(swf::kCondOverUpToOverDown, "press"), On(swf::kCondOverDownToOverUp, "release"),
                     On(swf::kCondOverDownToOutDown, "dragout"), On(swf::kCondOutDownToIdle, "cancel")});
    swfmake::Placement at = swfmake::NewPlacement(1, kButton, kButtonAt);
    at.name = name;
    t.PlaceObject2(at);
    t.ShowFrame();
    return w;
}

swf::Rect Drawn(swf::Player& p) {
    std::vector<DrawCall> calls = Draw(p);
    return calls.size() == 1 ? calls[0].shape : swf::Rect{};
}

std::vector<std::string>* Record(swf::Player& p, std::vector<std::string>& log) {
    p.SetFsCommandHandler([&log](const std::string& c, const std::string&) { log.push_back(c); });
    return &log;
}

TEST(ButtonTest, DrawnStateFollowsThePointer) {
    swf::Player p;
    ASSERT_TRUE(Load(p, Button2Movie()));
    EXPECT_EQ(Drawn(p), SquareBounds(1000));
    EXPECT_FALSE(p.PointerOverButton());
    p.PointerMove(kInX, kInY);
    EXPECT_TRUE(p.PointerOverButton());
    EXPECT_EQ(Drawn(p), SquareBounds(1002));
    p.PointerDown(kInX, kInY);
    EXPECT_EQ(Drawn(p), SquareBounds(1004));
    p.PointerUp(kInX, kInY);
    EXPECT_EQ(Drawn(p), SquareBounds(1002));
    p.PointerMove(kOutX, kOutY);
    EXPECT_FALSE(p.PointerOverButton());
    EXPECT_EQ(Drawn(p), SquareBounds(1000));
}

TEST(ButtonTest, Button2ConditionsFireOnTheirTransitions) {
    std::vector<std::string> log;
    swf::Player p;
    Record(p, log);
    ASSERT_TRUE(Load(p, Button2Movie()));
    p.PointerMove(kInX, kInY);
    p.PointerDown(kInX, kInY);
    p.PointerUp(kInX, kInY);
    p.PointerMove(kOutX, kOutY);
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "press", "release", "leave"}));
}

// Frames after the first run one script each on the button named b.
swfmake::SwfWriter ScriptedButtonMovie(const std::vector<std::string>& frames) {
    swfmake::SwfWriter w = Button2Movie("b");
    swfmake::TagList& t = w.Tags();
    for (const std::string& script : frames) {
        swfmake::Actions a;
        a.Raw(swfmake::Assemble(script));
        t.DoAction(a);
        t.ShowFrame();
    }
    return w;
}

TEST(ButtonTest, ButtonsShownHiddenOrDisabledUnderAStillPointer) {
    const std::string hide = "push 'b'; getvariable; push '_visible', false; setmember";
    const std::string show = "push 'b'; getvariable; push '_visible', true; setmember";
    const std::string disable = "push 'b'; getvariable; push 'enabled', false; setmember";
    const std::string enable = "push 'b'; getvariable; push 'enabled', true; setmember";
    std::vector<std::string> log;
    swf::Player p;
    Record(p, log);
    swfmake::SwfWriter w = ScriptedButtonMovie({hide, show, disable, enable, disable + "; stop"});
    ASSERT_TRUE(Load(p, w));
    p.PointerMove(kInX, kInY);
    // Hidden, the button is left; shown, entered again, without a move.
    // Disabled it is left quietly and keeps its state, so enabling it again
    // raises nothing; disabled, a press and its release raise nothing.
    for (int i = 0; i < 6; ++i) p.Tick();
    p.PointerDown(kInX, kInY);
    p.PointerUp(kInX, kInY);
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "leave", "enter"}));
}

TEST(ButtonTest, ReleaseOutsideCancelsInsteadOfClicking) {
    std::vector<std::string> log;
    swf::Player p;
    Record(p, log);
    ASSERT_TRUE(Load(p, Button2Movie()));
    p.PointerMove(kInX, kInY);
    p.PointerDown(kInX, kInY);
    p.PointerMove(kOutX, kOutY);
    EXPECT_EQ(Drawn(p), SquareBounds(1002));  // pressed and dragged out: Over
    p.PointerUp(kOutX, kOutY);
    EXPECT_EQ(Drawn(p), SquareBounds(1000));
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "press", "dragout", "cancel"}));
}

TEST(ButtonTest, DefineButtonActionsRunOnReleaseOverTheButton) {
    swfmake::SwfWriter w(6, kStage, 12);
    swfmake::TagList& t = w.Tags();
    DefineStateShapes(t);
    swfmake::Actions click;
    click.FsCommand("action", "capture").GotoFrame(2);
    t.DefineButton(kButton, StateRecords(), click);
    t.PlaceObject2(swfmake::NewPlacement(1, kButton, kButtonAt));
    t.DoAction(swfmake::Actions().Stop());
    t.ShowFrame();
    t.ShowFrame();
    t.ShowFrame();
    std::vector<std::pair<std::string, std::string>> fs;
    swf::Player p;
    p.SetFsCommandHandler([&fs](const std::string& c, const std::string& a) { fs.emplace_back(c, a); });
    ASSERT_TRUE(Load(p, w));
    p.PointerDown(kInX, kInY);  // moves there first, then presses
    EXPECT_TRUE(fs.empty());
    p.PointerUp(kInX, kInY);
    ASSERT_EQ(fs.size(), 1u);
    EXPECT_EQ(fs[0], (std::pair<std::string, std::string>("action", "capture")));
    EXPECT_EQ(p.CurrentFrame(), 2);  // the button's own timeline moved
    // Released outside: nothing.
    p.GotoFrame(0);
    p.PointerDown(kInX, kInY);
    p.PointerMove(kOutX, kOutY);
    p.PointerUp(kOutX, kOutY);
    EXPECT_EQ(fs.size(), 1u);
}

TEST(ButtonTest, HitAreaFollowsTheViewAndParentSprites) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    DefineStateShapes(t);
    t.DefineButton2(kButton, StateRecords(), {On(swf::kCondOverDownToOverUp, "click")});
    swfmake::TagList holder;
    holder.PlaceObject2(swfmake::NewPlacement(1, kButton, kButtonAt));
    holder.ShowFrame();
    t.DefineSprite(20, holder);
    t.PlaceObject2(swfmake::NewPlacement(1, 20, Matrix::Translate(-1000, 0)));  // 50 px left
    t.ShowFrame();
    std::vector<std::string> log;
    swf::Player p;
    Record(p, log);
    ASSERT_TRUE(Load(p, w));
    RecordingBackend b;
    p.SetScaleMode(swf::kShowAll);
    p.SetAlignMode(0);
    p.RenderTo(b, 400, 300);  // twice the stage: the button now covers 100..199 x 100..199
    p.PointerMove(kInX - 50, kInY);  // inside at 1:1, outside at 2:1
    EXPECT_FALSE(p.PointerOverButton());
    p.PointerDown(150, 150);
    p.PointerUp(150, 150);
    EXPECT_EQ(log, (std::vector<std::string>{"click"}));
}

// Key-press conditions: printable keys by character, others by their own
// code; nothing while the movie has no focus, nothing on key up.
TEST(ButtonTest, KeyPressConditionsRunTheirActions) {
    auto key = [](int code) { return static_cast<uint16_t>(code << swf::kCondKeyShift); };
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    DefineStateShapes(t);
    t.DefineButton2(kButton, StateRecords(),
                    {On(key('a'), "a"), On(key(swf::kButtonKeyLeft), "left"),
                     On(key(swf::kButtonKeyEnter), "enter"),
                     On(swf::kCondOverDownToOverUp, "release")});
    t.PlaceObject2(swfmake::NewPlacement(1, kButton, kButtonAt));
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    std::vector<std::string> log;
    Record(p, log);
    const struct {
        int keyCode, charCode;
        const char* heard;
    } cases[] = {{'A', 'a', "a"},         {'A', 'A', ""},
                 {swf::kKeyLeft, 0, "left"}, {swf::kKeyEnter, '\r', "enter"},
                 {swf::kKeyShift, 0, ""},     {swf::kKeyDelete, 0, ""}};
    for (const auto& c : cases) {
        log.clear();
        p.KeyDown(c.keyCode, c.charCode);
        p.KeyUp(c.keyCode, c.charCode);
        EXPECT_EQ(log, c.heard[0] ? std::vector<std::string>{c.heard} : std::vector<std::string>{})
            << c.keyCode << "/" << c.charCode;
    }
    log.clear();
    p.Focus(false);
    p.KeyDown('A', 'a');
    EXPECT_TRUE(log.empty());
    p.Focus(true);
    p.KeyDown('A', 'a');
    EXPECT_EQ(log, std::vector<std::string>{"a"});
}

}  // namespace

// Found by the fuzzer: a button whose up state holds itself twice doubled its
// objects at every level until the nesting limit, 2^32 objects for one tick.
TEST(ButtonTest, ButtonContainingItselfStaysWithinTheBuildBudget) {
    swfmake::SwfWriter w(8, kStage, 12);
    swfmake::TagList& t = w.Tags();
    t.DefineShape(kUp, Square(1000));
    t.DefineButton2(kButton,
                    {{swf::kButtonUp, kUp, 1, {}, {}},
                     {swf::kButtonUp, kButton, 2, {}, {}},
                     {swf::kButtonUp, kButton, 3, {}, {}}},
                    {});
    t.PlaceObject2(swfmake::NewPlacement(1, kButton, kButtonAt));
    t.ShowFrame();
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    p.Tick();
    p.GotoFrame(0);
    size_t drawn = Draw(p).size();
    EXPECT_GT(drawn, 0u);
    EXPECT_LE(drawn, size_t{1} << 18);
}
