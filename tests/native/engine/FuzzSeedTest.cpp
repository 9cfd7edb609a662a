// The fuzzer's scripted seed must run its scripts cleanly, or the fuzzer
// starts from a movie that stops before the paths it is meant to reach.
#include "MovieScriptUtil.h"
#include "tools/moviegen/Movies.h"

namespace {

using namespace enginetest;

TEST(FuzzSeedTest, ScriptSeedReachesBitmapsMasksWheelAndResize) {
    ScriptedMovie m(moviegen::ScriptSeedMovie());
    ASSERT_TRUE(m.loaded);
    m.player.Tick();
    for (const std::string& e : m.player.Errors()) ADD_FAILURE() << e;
    const std::string traced = m.log.Take();
    EXPECT_NE(std::string::npos, traced.find("|-16776961|")) << traced;  // getPixel32 after setPixel32
    m.player.PointerMove(2, 2);
    m.player.Wheel(-2);
    m.player.SetViewSize(123, 45);
    m.player.Tick();
    swf::FrameBuffer fb(40, 30);
    m.player.Render(fb);
    for (const std::string& e : m.player.Errors()) ADD_FAILURE() << e;
    // Under noScale the resize listener moved "b" to the new width.
    EXPECT_EQ("123", m.log.lines.at(0));
}

}  // namespace

namespace {

// The sound seed starts every codec at once: all of them must decode
// without a complaint, else the fuzzer mutates a movie that stops early.
TEST(FuzzSeedTest, SoundSeedPlaysEverySoundItHolds) {
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(moviegen::SoundSeedMovie().Write(false)));
    EXPECT_GE(p.SoundsPlaying(), 5u);  // the event sounds and both streams
    std::vector<int16_t> mix(4000 * 2);
    p.MixAudio(mix.data(), 4000);
    p.Tick();
    p.PointerMove(5, 5);
    p.PointerDown(5, 5);
    p.PointerUp(5, 5);
    p.MixAudio(mix.data(), 4000);
    for (const std::string& e : p.Errors()) ADD_FAILURE() << e;
}

}  // namespace

namespace {

// The ABC seed must load, verify and run to its end: its last line comes
// from the catch block.
TEST(FuzzSeedTest, AbcSeedRunsItsBlockToTheEnd) {
    swf::Player p;
    std::string traced;
    p.SetTraceHandler([&](const std::string& s) { traced += s + "|"; });
    ASSERT_TRUE(p.LoadBytes(moviegen::AbcSeedMovie().Write(false)));
    p.Tick();
    for (const std::string& e : p.Errors()) ADD_FAILURE() << e;
    EXPECT_EQ(traced, "0x|1.5x|3x|4.5x|6x|7|seed|");
}

}  // namespace
