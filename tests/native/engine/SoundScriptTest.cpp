// The Sound object playing for real: attachSound of an exported sound,
// start with an offset and loops, stop, duration and position,
// onSoundComplete, volume and pan on the sounds a clip plays, and
// stopAllSounds.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "MovieScriptUtil.h"
#include "tools/swfmake/SoundEncode.h"

namespace {

using namespace enginetest;

constexpr size_t kFrameSamples = 4410;  // at 10 frames a second

// new Sound(args...)
std::string NewSound(const std::vector<std::string>& args = {}) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + ", 'Sound'; newobject";
}

// "beep" is 100 samples of 1000 at 44.1 kHz (2 ms); frame 1 runs `script`.
swfmake::SwfWriter BeepMovie(const std::string& script) {
    swfmake::SwfWriter w(8, kStage, 10);
    auto& t = w.Tags();
    swf::SoundFormat f;
    f.codec = swf::SoundCodec::PcmLittle;
    f.rate = 44100;
    t.DefineSound(1, f, 100, swfmake::EncodePcm16(std::vector<int16_t>(100, 1000)));
    t.ExportAssets({{1, "beep"}});
    t.DoAction(Asm(script));
    t.ShowFrame();
    t.ShowFrame();
    return w;
}

// Left and right of the next frame's mix.
std::vector<std::pair<int, int>> NextFrame(swf::Player& p) {
    std::vector<int16_t> out(kFrameSamples * 2);
    p.MixAudio(out.data(), kFrameSamples);
    std::vector<std::pair<int, int>> pairs;
    for (size_t i = 0; i < kFrameSamples; ++i) pairs.emplace_back(out[2 * i], out[2 * i + 1]);
    return pairs;
}

size_t Count(const std::vector<std::pair<int, int>>& mix, std::pair<int, int> value) {
    return size_t(std::count(mix.begin(), mix.end(), value));
}

TEST(SoundScriptTest, AttachedSoundStartsLoopsAndCompletes) {
    ScriptedMovie m(BeepMovie(Lines({
        SetV("s", NewSound()),
        Do(CallM(Var("s"), "attachSound", {Str("beep")})),
        Trace(Member(Var("s"), "duration")),
        SetM(Var("s"), "onSoundComplete", Fn(Trace(Str("done")))),
        Do(CallM(Var("s"), "start", {Num(0), Num(3)})),
    })));
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.log.Take(), "2");
    EXPECT_EQ(Count(NextFrame(m.player), {1000, 1000}), 300u);  // three times
    m.player.Tick();
    EXPECT_EQ(m.log.Take(), "done");
    // From an offset of a millisecond: 44 samples in, so 56 are left.
    ScriptedMovie late(BeepMovie(Lines({
        SetV("s", NewSound()),
        Do(CallM(Var("s"), "attachSound", {Str("beep")})),
        Do(CallM(Var("s"), "start", {Num(0.001)})),
    })));
    EXPECT_EQ(Count(NextFrame(late.player), {1000, 1000}), 56u);
}

TEST(SoundScriptTest, VolumePanAndStopActOnTheSoundsOfTheirClip) {
    // Half volume, all left, from the tick on (transforms reach the voices
    // at the end of a tick).
    ScriptedMovie held(BeepMovie(Lines({
        SetV("s", NewSound()),
        Do(CallM(Var("s"), "attachSound", {Str("beep")})),
        Do(CallM(Var("s"), "setVolume", {Num(50)})),
        Do(CallM(Var("s"), "setPan", {Num(-100)})),
        Do(CallM(Var("s"), "start", {Num(0), Num(1000)})),
    })));
    ASSERT_TRUE(held.loaded);
    held.player.Tick();
    const auto mix = NextFrame(held.player);
    EXPECT_EQ(mix.front(), std::make_pair(500, 0));
    // A Sound made on _root mutes what _root's Sounds play, not the rest.
    ScriptedMovie clip(BeepMovie(Lines({
        SetV("r", NewSound({Var("_root")})),
        Do(CallM(Var("r"), "setVolume", {Num(0)})),
        SetV("s", NewSound({Var("_root")})),
        Do(CallM(Var("s"), "attachSound", {Str("beep")})),
        Do(CallM(Var("s"), "start", {Num(0), Num(1000)})),
        SetV("g", NewSound()),
        Do(CallM(Var("g"), "attachSound", {Str("beep")})),
        Do(CallM(Var("g"), "start", {Num(0), Num(1000)})),
    })));
    clip.player.Tick();
    EXPECT_EQ(NextFrame(clip.player).front(), std::make_pair(1000, 1000));
    EXPECT_EQ(clip.player.SoundsPlaying(), 2u);
    // stop() on the global Sound stops it; so does stopAllSounds.
    ScriptedMovie stopped(BeepMovie(Lines({
        SetV("s", NewSound()),
        Do(CallM(Var("s"), "attachSound", {Str("beep")})),
        Do(CallM(Var("s"), "start", {Num(0), Num(1000)})),
        Do(CallM(Var("s"), "stop")),
        Do(CallM(Var("s"), "start", {Num(0), Num(1000)})),
        "stopsounds",
    })));
    EXPECT_EQ(stopped.player.SoundsPlaying(), 0u);
}

}  // namespace
