// Inputs that once hung or crashed the player (tests/regressions, kept as
// found), each driven through the host calls that showed the fault.
#include <fstream>
#include <iterator>

#include "EngineTestUtil.h"
#include "swf/FrameBuffer.h"
#include "swf/avm1/Vm.h"
#include "swf/play/ScriptHost.h"

namespace {

std::vector<uint8_t> ReadRegression(const std::string& name) {
    std::ifstream in(std::string(PICTARO_REGRESSIONS) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What a host does with a movie: seek to the end, play, point, seek back,
// draw at every quality.
void Exercise(swf::Player& p) {
    swf::FrameBuffer target(64, 48);
    p.GotoFrame(p.TotalFrames() - 1);
    p.Render(target);
    for (int i = 0; i < 4; ++i) {
        p.Tick();
        p.PointerMove(i * 7, i * 5);
        p.PointerDown(i * 7, i * 5);
        p.PointerUp(i * 7, i * 5);
    }
    p.GotoFrame(1);
    for (swf::Quality q : {swf::Quality::Low, swf::Quality::Medium, swf::Quality::High, swf::Quality::Best}) {
        p.SetQuality(q);
        p.Render(target);
    }
}

// Buttons holding themselves several times over, in a movie whose header
// claims 781 frames: every tick walked the whole tree of buttons, so a
// seek to the last frame took tens of seconds.
TEST(RegressionTest, SlowSeek482BytesButtonsInButtonsTickInBoundedWork) {
    const std::vector<uint8_t> bytes = ReadRegression("slow-seek-482-bytes.swf");
    ASSERT_EQ(bytes.size(), 482u);
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(bytes));
    EXPECT_FALSE(p.Errors().empty());
    Exercise(p);
    EXPECT_EQ(p.CurrentFrame(), 1);
}

// A frame script looping on trace(undefined) until its instruction budget
// ran out queued 2.4 million traces (300 MB) at load and again each frame.
TEST(RegressionTest, SlowScript2914BytesTracesAndBudgetBounded) {
    const std::vector<uint8_t> bytes = ReadRegression("slow-script-2914-bytes.swf");
    ASSERT_EQ(bytes.size(), 2914u);
    swf::Player p;
    size_t traced = 0;
    p.SetTraceHandler([&](const std::string&) { ++traced; });
    ASSERT_TRUE(p.LoadBytes(bytes));
    EXPECT_LE(traced, swf::ScriptHost::kMaxQueuedCalls);
    bool dropped = false;
    for (const std::string& e : p.Errors()) dropped |= e.find("calls at once") != std::string::npos;
    EXPECT_TRUE(dropped);
    // Stopped once, the loop runs on a small budget: a few thousand lines.
    for (int i = 0; i < 3; ++i) {
        traced = 0;
        p.Tick();
        EXPECT_LE(traced, swf::avm1::Vm::kRunawayBudget / 4);
    }
    Exercise(p);
}

// Found by the fuzzer: a script that spends its whole instruction budget at
// load, walking clip paths. The budget ends it; the movie plays on.
TEST(RegressionTest, BudgetScript5136BytesLoadsAndPlays) {
    const std::vector<uint8_t> bytes = ReadRegression("budget-script-5136-bytes.swf");
    ASSERT_EQ(bytes.size(), 5136u);
    swf::Player p;
    p.LoadBytes(bytes);
    Exercise(p);
}

}  // namespace
