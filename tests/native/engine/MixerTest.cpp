// The mixer's output as exact sums: copies at 44.1 kHz, interpolation at
// other rates, envelopes, gains, in and out points with loops, clipping,
// and the limit on voices.
#include <gtest/gtest.h>

#include "swf/sound/Mixer.h"

namespace {

using swf::Mixer;
using swf::SoundGains;

std::shared_ptr<const swf::PcmBuffer> Pcm(std::vector<int16_t> samples, int channels = 1, uint32_t rate = 44100) {
    auto p = std::make_shared<swf::PcmBuffer>();
    p->samples = std::move(samples);
    p->channels = channels;
    p->rate = rate;
    return p;
}

swf::VoiceStart Voice(std::shared_ptr<const swf::PcmBuffer> pcm) {
    swf::VoiceStart v;
    v.pcm = std::move(pcm);
    return v;
}

// Stereo frames as (left, right) pairs.
std::vector<std::pair<int, int>> Mix(Mixer& m, size_t frames) {
    std::vector<int16_t> out(frames * 2, 12345);
    m.Mix(out.data(), frames);
    std::vector<std::pair<int, int>> pairs;
    for (size_t i = 0; i < frames; ++i) pairs.emplace_back(out[2 * i], out[2 * i + 1]);
    return pairs;
}

using Pairs = std::vector<std::pair<int, int>>;

TEST(MixerTest, VoicesAddUpExactlyAndClipOnce) {
    Mixer m;
    ASSERT_NE(m.Start(Voice(Pcm({1000, 2000, 3000}))), 0u);
    ASSERT_NE(m.Start(Voice(Pcm({100, -100, 200, -200}, 2))), 0u);
    EXPECT_EQ(Mix(m, 4), (Pairs{{1100, 900}, {2200, 1800}, {3000, 3000}, {0, 0}}));
    EXPECT_EQ(m.VoiceCount(), 0u);
    EXPECT_EQ(m.TakeFinished().size(), 2u);
    EXPECT_EQ(m.FramesMixed(), 4u);

    // Two loud voices clip at the sum, not each on its own.
    m.Start(Voice(Pcm({30000, -30000, 30000})));
    m.Start(Voice(Pcm({30000, -30000, -20000})));
    EXPECT_EQ(Mix(m, 3), (Pairs{{32767, 32767}, {-32768, -32768}, {10000, 10000}}));
}

TEST(MixerTest, OtherRatesInterpolateBetweenSamples) {
    Mixer m;
    m.Start(Voice(Pcm({0, 1000, 2000, 4000}, 1, 22050)));
    EXPECT_EQ(Mix(m, 8), (Pairs{{0, 0}, {500, 500}, {1000, 1000}, {1500, 1500}, {2000, 2000}, {3000, 3000},
                                {4000, 4000}, {4000, 4000}}));
    // 11025 Hz: four output frames per sample.
    m.Start(Voice(Pcm({0, 4000}, 1, 11025)));
    EXPECT_EQ(Mix(m, 5), (Pairs{{0, 0}, {1000, 1000}, {2000, 2000}, {3000, 3000}, {4000, 4000}}));
}

TEST(MixerTest, GainsAndEnvelopesScaleEachSide) {
    Mixer m;
    swf::VoiceStart v = Voice(Pcm({8000, 8000, 8000, 8000, 8000}));
    v.gains = {SoundGains::kUnit / 2, 0, SoundGains::kUnit / 4, 0};  // left half, right a quarter
    m.Start(v);
    swf::VoiceStart s = Voice(Pcm({1000, 3000}, 2));
    s.gains = {0, SoundGains::kUnit, SoundGains::kUnit, 0};  // sides swapped
    m.Start(s);
    EXPECT_EQ(Mix(m, 2), (Pairs{{4000 + 3000, 2000 + 1000}, {4000, 2000}}));
    m.StopAll();

    // Left fades in over 4 frames, right fades out; held after the last point.
    swf::VoiceStart e = Voice(Pcm(std::vector<int16_t>(6, 8000)));
    e.envelope = {{0, 0, 32768}, {4, 32768, 0}};
    m.Start(e);
    EXPECT_EQ(Mix(m, 6), (Pairs{{0, 8000}, {2000, 6000}, {4000, 4000}, {6000, 2000}, {8000, 0}, {8000, 0}}));
}

TEST(MixerTest, InAndOutPointsLoopTheStretchBetweenThem) {
    Mixer m;
    swf::VoiceStart v = Voice(Pcm({10, 20, 30, 40}));
    v.from = 1;
    v.to = 3;
    v.loops = 2;
    const uint32_t id = m.Start(v);
    EXPECT_EQ(Mix(m, 5), (Pairs{{20, 20}, {30, 30}, {20, 20}, {30, 30}, {0, 0}}));
    EXPECT_EQ(m.TakeFinished(), std::vector<uint32_t>{id});
    // An out point past the end plays to the end; an empty stretch plays nothing.
    v.to = 100;
    v.loops = 1;
    m.Start(v);
    EXPECT_EQ(Mix(m, 4), (Pairs{{20, 20}, {30, 30}, {40, 40}, {0, 0}}));
    v.from = 4;
    EXPECT_EQ(m.Start(v), 0u);
}

TEST(MixerTest, StoppingAndTheVoiceLimit) {
    Mixer m;
    const auto pcm = Pcm(std::vector<int16_t>(100, 10));
    swf::VoiceStart tagged = Voice(pcm);
    tagged.tag = 7;
    for (size_t i = 0; i < Mixer::kMaxVoices; ++i) ASSERT_NE(m.Start(i < 3 ? tagged : Voice(pcm)), 0u);
    EXPECT_EQ(m.Start(Voice(pcm)), 0u);
    EXPECT_TRUE(m.TagPlaying(7));
    m.StopTag(7);
    EXPECT_FALSE(m.TagPlaying(7));
    EXPECT_EQ(m.VoiceCount(), Mixer::kMaxVoices - 3);
    EXPECT_EQ(Mix(m, 1), (Pairs{{290, 290}}));
    m.StopAll();
    EXPECT_EQ(Mix(m, 1), (Pairs{{0, 0}}));
    EXPECT_TRUE(m.TakeFinished().empty());  // stopped, not finished
}

}  // namespace
