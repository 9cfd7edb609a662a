// Inputs that once hung or crashed the player (tests/regressions, kept as
// found), each driven through the host calls that showed the fault.
#include <fstream>
#include <iterator>

#include "EngineTestUtil.h"
#include "swf/model/FrameBuffer.h"
#include "swf/avm1/Vm.h"
#include "swf/bind/ScriptHost.h"
#include "swf/classes/ScriptBitmaps.h"

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

namespace {

// Found by the fuzzer: scripts looping on BitmapData.draw of a clip full of
// strokes into small bitmaps, and on attachBitmap once every bitmap id was
// taken; an instrumented run took minutes. A draw is now charged for the
// edges it rasterised, not the bitmap's size, and a full id table refuses
// at once.
TEST(RegressionTest, DrawLoop4547BytesLoadsAndPlays) {
    const std::vector<uint8_t> bytes = ReadRegression("draw-loop-4547-bytes.swf");
    ASSERT_EQ(bytes.size(), 4547u);
    swf::Player p;
    p.LoadBytes(bytes);
    Exercise(p);
}

TEST(RegressionTest, ScriptBitmapIdsReusedAndExhaustedCheaply) {
    swf::Movie movie;
    swf::ScriptBitmaps bitmaps(movie);
    std::vector<std::shared_ptr<swf::ScriptBitmap>> all;
    for (int i = 0; i < 0xFFFF; ++i) {
        all.push_back(bitmaps.Create(1, 1, true, 0));
        ASSERT_TRUE(all.back());
        ASSERT_NE(all.back()->Id(), 0) << i;
    }
    auto extra = bitmaps.Create(1, 1, true, 0);
    EXPECT_EQ(extra->Id(), 0);  // every id taken
    const uint16_t freed = all[5]->Id();
    all[5]->Dispose();
    auto again = bitmaps.Create(1, 1, true, 0);
    EXPECT_EQ(again->Id(), freed);
}

}  // namespace
