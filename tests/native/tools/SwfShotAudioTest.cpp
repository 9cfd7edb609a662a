// swfshot --audio: the WAV holds one frame's share of the mix per frame
// shown, exactly (frame k ends at sample k * 44100 / fps), for ticks, --at
// and input scripts alike; a stream's blocks land in their frames' shares
// and an event sound starts at its frame's.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "swf/Player.h"
#include "tests/native/tools/TestFiles.h"
#include "tools/swfmake/ActionAsm.h"
#include "tools/swfmake/SoundEncode.h"
#include "tools/swfmake/SwfWriter.h"
#include "tools/swfshot/Options.h"
#include "tools/swfshot/Renderer.h"
#include "tools/swfshot/WavWriter.h"

namespace {

constexpr size_t kFrameSamples = 4410;  // 44.1 kHz at 10 fps
constexpr size_t kWavHeader = 44;

swf::SoundFormat Pcm44() {
    swf::SoundFormat f;
    f.codec = swf::SoundCodec::PcmLittle;
    f.rate = 44100;
    return f;
}

// Frame k streams samples of value 100 * (k + 1); frame 3 also starts a
// 10-sample event sound of 7.
swfmake::SwfWriter StreamMovie(int frames) {
    swfmake::SwfWriter w(8, {0, 400, 0, 400}, 10);
    auto& t = w.Tags();
    t.DefineSound(1, Pcm44(), 10, swfmake::EncodePcm16(std::vector<int16_t>(10, 7)));
    t.SoundStreamHead(Pcm44(), kFrameSamples);
    for (int k = 0; k < frames; ++k) {
        t.SoundStreamBlock(swfmake::EncodePcm16(std::vector<int16_t>(kFrameSamples, int16_t(100 * (k + 1)))));
        if (k == 2) t.StartSound(1);
        t.ShowFrame();
    }
    return w;
}

struct Wav {
    uint32_t rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
};

Wav ReadWav(const std::string& path) {
    const std::vector<uint8_t> b = toolstest::ReadFile(path);
    Wav w;
    if (b.size() < kWavHeader) return w;
    w.channels = b[22] | (b[23] << 8);
    w.rate = uint32_t(b[24] | (b[25] << 8) | (b[26] << 16) | (b[27] << 24));
    for (size_t i = kWavHeader; i + 1 < b.size(); i += 2) w.samples.push_back(int16_t(b[i] | (b[i + 1] << 8)));
    return w;
}

class SwfShotAudioTest : public ::testing::Test {
protected:
    std::string Temp(const std::string& name) { return ::testing::TempDir() + "swfshot_audio_" + name; }
    int Run(std::vector<std::string> args) {
        swfshot::Options options;
        std::string error;
        err_.str("");
        if (!swfshot::ParseArgs(args, &options, &error)) {
            err_ << error;
            return swfshot::kExitUsage;
        }
        return swfshot::RunSwfshot(options, out_, err_);
    }
    std::ostringstream out_, err_;
};

TEST_F(SwfShotAudioTest, EachFrameShownAddsItsShareOfTheMix) {
    const std::string movie = Temp("stream.swf");
    ASSERT_TRUE(StreamMovie(6).WriteFile(movie, false));
    const std::string wav = Temp("ticks.wav");
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--ticks", "1-5", "--audio", wav, "-q"})) << err_.str();
    const Wav w = ReadWav(wav);
    EXPECT_EQ(w.rate, 44100u);
    EXPECT_EQ(w.channels, 2);
    ASSERT_EQ(w.samples.size(), 5 * kFrameSamples * 2);
    for (size_t k = 0; k < 5; ++k) {
        const size_t first = k * kFrameSamples * 2, last = first + kFrameSamples * 2 - 1;
        const int extra = k == 2 ? 7 : 0;  // the event sound, on the third frame shown
        EXPECT_EQ(w.samples[first], 100 * int(k + 1) + extra) << k;
        EXPECT_EQ(w.samples[first + 1], 100 * int(k + 1) + extra) << k;
        EXPECT_EQ(w.samples[last], 100 * int(k + 1)) << k;
    }
    // --at 0.25 plays to tick 3; an input script of two frames, to tick 3 too.
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--at", "0.25", "--audio", Temp("at.wav"), "-q"})) << err_.str();
    EXPECT_EQ(ReadWav(Temp("at.wav")).samples.size(), 3 * kFrameSamples * 2);
    const std::string script = Temp("frames.txt");
    FILE* f = std::fopen(script.c_str(), "wb");
    std::fputs("frame 2\n", f);
    std::fclose(f);
    ASSERT_EQ(swfshot::kExitOk, Run({movie, "--input", script, "--audio", Temp("in.wav"), "-q"})) << err_.str();
    EXPECT_EQ(ReadWav(Temp("in.wav")).samples, std::vector<int16_t>(w.samples.begin(),
                                                                    w.samples.begin() + 3 * kFrameSamples * 2));
    // Seeking plays nothing, so it has no sound to write.
    EXPECT_EQ(swfshot::kExitUsage, Run({movie, "-f", "2", "--audio", Temp("seek.wav")}));
    EXPECT_NE(std::string::npos, err_.str().find("--audio"));
}

TEST_F(SwfShotAudioTest, FrameSharesFollowTheFrameRateWithoutDrift) {
    // 12 fps: 3675 samples a frame; 7 fps: 6300; 8.8 rates that do not
    // divide 44100 still end frame k at k * 44100 * 256 / rate88, rounded down.
    struct Case {
        uint16_t rate88;
        int frames;
    } cases[] = {{12 * 256, 12}, {7 * 256, 3}, {24 * 256 + 128, 49}};
    for (const Case& c : cases) {
        swfshot::SoundTrack track(c.rate88);
        swf::Player idle;
        for (int k = 0; k < c.frames; ++k) track.Frame(idle);
        EXPECT_EQ(track.Frames(), uint64_t(c.frames) * 44100 * 256 / c.rate88) << c.rate88;
    }
}

}  // namespace
