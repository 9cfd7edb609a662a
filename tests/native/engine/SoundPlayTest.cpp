// Sounds as movies play them: event sounds start on the frame that starts
// them (never on a seek), SOUNDINFO's stop and no-multiple, streams follow
// the frames that carry their blocks and stop with their clip, the sound
// tags read back, and bad sound data is reported and plays silence.
#include <gtest/gtest.h>

#include "EngineTestUtil.h"
#include "MovieScriptUtil.h"
#include "swf/model/Movie.h"
#include "swf/read/MovieReader.h"
#include "tools/swfmake/SoundEncode.h"

namespace {

using namespace enginetest;

constexpr size_t kFrameSamples = 4410;  // at 10 frames a second
constexpr uint16_t kSound = 1;

swf::SoundFormat Pcm44(bool stereo = false) {
    swf::SoundFormat f;
    f.codec = swf::SoundCodec::PcmLittle;
    f.rate = 44100;
    f.stereo = stereo;
    return f;
}

swfmake::SwfWriter TenFps() {
    swfmake::SwfWriter w(8, kStage, 10);
    return w;
}

// A sound of `frames` samples, all `value`.
void DefineFlat(swfmake::TagList& t, uint16_t id, size_t frames, int16_t value) {
    t.DefineSound(id, Pcm44(), uint32_t(frames), swfmake::EncodePcm16(std::vector<int16_t>(frames, value)));
}

// The left channel of the next frame's mix.
std::vector<int16_t> NextFrame(swf::Player& p) {
    std::vector<int16_t> out(kFrameSamples * 2);
    p.MixAudio(out.data(), kFrameSamples);
    std::vector<int16_t> left;
    for (size_t i = 0; i < kFrameSamples; ++i) left.push_back(out[2 * i]);
    return left;
}

bool Silent(const std::vector<int16_t>& s) {
    return std::all_of(s.begin(), s.end(), [](int16_t v) { return v == 0; });
}

TEST(SoundPlayTest, EventSoundsStartOnTheirFrameAndNeverOnASeek) {
    swfmake::SwfWriter w = TenFps();
    auto& t = w.Tags();
    DefineFlat(t, kSound, 100, 1000);
    t.ShowFrame();
    t.ShowFrame();
    t.StartSound(kSound);
    t.ShowFrame();
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    EXPECT_TRUE(Silent(NextFrame(p)));
    p.Tick();
    EXPECT_TRUE(Silent(NextFrame(p)));
    p.Tick();  // frame 3 starts it
    std::vector<int16_t> heard = NextFrame(p);
    EXPECT_EQ(heard[0], 1000);
    EXPECT_EQ(heard[99], 1000);
    EXPECT_EQ(heard[100], 0);

    // A seek to the frame plays nothing, and stops what plays.
    p.GotoFrame(0);
    p.Tick();
    p.Tick();
    EXPECT_EQ(p.SoundsPlaying(), 1u);
    p.GotoFrame(2);
    EXPECT_EQ(p.SoundsPlaying(), 0u);
    p.GotoFrame(1);
    p.GotoFrame(3);
    EXPECT_TRUE(Silent(NextFrame(p)));
}

TEST(SoundPlayTest, SoundInfoStopsLoopsAndRefusesASecondCopy) {
    swfmake::SwfWriter w = TenFps();
    auto& t = w.Tags();
    DefineFlat(t, kSound, 20000, 100);
    swf::SoundInfo once;
    once.noMultiple = true;
    t.StartSound(kSound, once);
    t.StartSound(kSound, once);  // refused: already playing
    t.ShowFrame();
    t.StartSound(kSound);  // a second copy, allowed
    t.ShowFrame();
    swf::SoundInfo stop;
    stop.stop = true;
    t.StartSound(kSound, stop);
    t.ShowFrame();
    swf::SoundInfo looped;
    looped.hasIn = looped.hasOut = true;
    looped.inPoint = 10;
    looped.outPoint = 20;
    looped.loops = 3;
    t.StartSound(kSound, looped);
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(Load(p, w));
    EXPECT_EQ(NextFrame(p)[0], 100);
    p.Tick();
    EXPECT_EQ(NextFrame(p)[0], 200);
    p.Tick();
    EXPECT_TRUE(Silent(NextFrame(p)));
    p.Tick();
    std::vector<int16_t> heard = NextFrame(p);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), 100), 30);  // 10 samples, 3 times
}

// A stream of PCM blocks, one per frame, frame k's samples all 100 * (k + 1);
// frame `stopAt` stops the root.
swfmake::SwfWriter StreamMovie(int frames, int stopAt) {
    swfmake::SwfWriter w = TenFps();
    auto& t = w.Tags();
    t.SoundStreamHead(Pcm44(), kFrameSamples);
    for (int k = 0; k < frames; ++k) {
        t.SoundStreamBlock(swfmake::EncodePcm16(std::vector<int16_t>(kFrameSamples, int16_t(100 * (k + 1)))));
        if (k == stopAt) t.DoAction(Asm("stop"));
        t.ShowFrame();
    }
    return w;
}

TEST(SoundPlayTest, AStreamPlaysEachFramesBlockAndStopsWithItsClip) {
    swf::Player p;
    ASSERT_TRUE(Load(p, StreamMovie(6, 3)));
    for (int k = 0; k < 4; ++k) {
        const std::vector<int16_t> heard = NextFrame(p);
        EXPECT_EQ(heard.front(), 100 * (k + 1)) << k;
        EXPECT_EQ(heard.back(), 100 * (k + 1)) << k;
        p.Tick();
    }
    // Stopped on frame 4: its block played out, then nothing.
    EXPECT_TRUE(Silent(NextFrame(p)));
    EXPECT_EQ(p.SoundsPlaying(), 0u);
}

TEST(SoundPlayTest, SoundTagsReadBackAndDamageIsReported) {
    swfmake::SwfWriter w = TenFps();
    auto& t = w.Tags();
    DefineFlat(t, kSound, 10, 5);
    t.DefineButton2(2, {{swf::kButtonUp, 0, 1, {}, {}}}, {});
    swf::ButtonSounds bs;
    bs.transitions[2].soundId = kSound;
    bs.transitions[2].info.loops = 2;
    t.DefineButtonSound(2, bs);
    swf::SoundInfo info;
    info.envelope = {{0, 1, 2}, {44100, 3, 4}};
    t.StartSound2("Click", info);
    t.SoundStreamHead(Pcm44(true), 441);
    t.SoundStreamBlock({1, 2, 3, 4});
    t.ShowFrame();
    t.Raw(swf::kTagDefineSound, {9, 0, 0xF0});   // format 15 does not exist
    t.Raw(swf::kTagStartSound, {1, 0, 0x08, 1});  // envelope count past the tag
    t.Raw(swf::kTagDefineButtonSound, {9, 0});    // no such button
    t.ShowFrame();
    const swf::ReadResult r = swf::ReadMovie(w.Write(false));
    ASSERT_TRUE(r.movie);
    const auto* sound = static_cast<const swf::SoundCharacter*>(r.movie->Find(kSound));
    ASSERT_TRUE(sound && sound->kind == swf::CharacterKind::Sound);
    EXPECT_EQ(sound->sampleCount, 10u);
    EXPECT_EQ(sound->data.size(), 20u);
    const auto* button = static_cast<const swf::ButtonCharacter*>(r.movie->Find(2));
    EXPECT_EQ(button->sounds.transitions[2].soundId, kSound);
    EXPECT_EQ(button->sounds.transitions[2].info.loops, 2);
    const swf::Frame& f0 = r.movie->root.frames[0];
    ASSERT_EQ(f0.sounds.size(), 1u);
    EXPECT_EQ(f0.sounds[0].className, "Click");
    ASSERT_EQ(f0.sounds[0].info.envelope.size(), 2u);
    EXPECT_EQ(f0.sounds[0].info.envelope[1].pos44, 44100u);
    EXPECT_EQ(f0.sounds[0].info.envelope[1].right, 4);
    EXPECT_TRUE(r.movie->root.stream.present);
    EXPECT_TRUE(r.movie->root.stream.format.stereo);
    ASSERT_TRUE(f0.streamBlock);
    EXPECT_EQ(f0.streamBlock->size(), 4u);
    EXPECT_EQ(r.errors.size(), 3u);
    for (const std::string& e : r.errors) EXPECT_NE(e.find("Sound"), std::string::npos) << e;
}

TEST(SoundPlayTest, UndecodableSoundIsReportedOnceAndPlaysSilence) {
    swfmake::SwfWriter w = TenFps();
    auto& t = w.Tags();
    swf::SoundFormat mp3 = Pcm44();
    mp3.codec = swf::SoundCodec::Mp3;
    std::vector<uint8_t> junk(400);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = uint8_t(i * 7);
    t.DefineSound(kSound, mp3, 1000, junk);
    t.StartSound(kSound);
    t.ShowFrame();
    t.ShowFrame();
    swf::Player p;
    ASSERT_TRUE(p.LoadBytes(w.Write(false)));
    NextFrame(p);  // whatever the junk decodes to, it must not crash
    p.Tick();
    p.Tick();
    EXPECT_LE(p.Errors().size(), 1u);
}

}  // namespace
