// Each codec decodes a known tone back to its frequency and level: PCM and
// ADPCM coded by swfmake, MP3 coded by Debian's lame (skipped when it is
// not installed), Speex coded with libspeex's own encoder. Damaged data
// keeps what decoded before the damage.
#include <gtest/gtest.h>

#include <string>

#include "SoundTestUtil.h"
#include "swf/sound/SoundDecode.h"
#include "tools/swfmake/SoundEncode.h"

namespace {

using soundtest::Measure;
using soundtest::Tone;

constexpr int kAmplitude = 12000;

swf::PcmBuffer DecodeAll(const swf::SoundFormat& f, const std::vector<uint8_t>& data, bool* ok = nullptr,
                         std::string* error = nullptr) {
    swf::PcmBuffer out;
    std::string e;
    bool good = swf::MakeSoundDecoder(f, false)->Decode(data.data(), data.size(), SIZE_MAX, out, e);
    if (ok) *ok = good;
    if (error) *error = e;
    return out;
}

swf::SoundFormat Format(swf::SoundCodec codec, uint32_t rate, bool is16, bool stereo) {
    swf::SoundFormat f;
    f.codec = codec;
    f.rate = rate;
    f.is16Bit = is16;
    f.stereo = stereo;
    return f;
}

TEST(SoundDecodeTest, PcmAndAdpcmGiveTheToneBack) {
    struct Case {
        const char* name;
        swf::SoundCodec codec;
        int bits;  // ADPCM code size; 8 or 16 for PCM
        bool stereo;
        double minShare;
        double levelTolerance;
    } cases[] = {
        {"pcm16", swf::SoundCodec::PcmLittle, 16, false, 0.999, 0.001},
        {"pcm16 native", swf::SoundCodec::PcmNative, 16, true, 0.999, 0.001},
        {"pcm8", swf::SoundCodec::PcmLittle, 8, false, 0.99, 0.01},
        {"adpcm2", swf::SoundCodec::Adpcm, 2, false, 0.6, 0.3},
        {"adpcm3", swf::SoundCodec::Adpcm, 3, false, 0.9, 0.1},
        {"adpcm4", swf::SoundCodec::Adpcm, 4, true, 0.98, 0.05},
        {"adpcm5", swf::SoundCodec::Adpcm, 5, false, 0.99, 0.03},
    };
    constexpr uint32_t kRate = 22050;
    constexpr size_t kFrames = 10000;  // more than two ADPCM packets
    constexpr double kHz = 441;
    for (const Case& c : cases) {
        const int channels = c.stereo ? 2 : 1;
        const std::vector<int16_t> sine = swfmake::Sine(kHz, kRate, kFrames, kAmplitude, channels);
        std::vector<uint8_t> data;
        if (c.codec == swf::SoundCodec::Adpcm)
            data = swfmake::EncodeAdpcm(sine, channels, c.bits);
        else
            data = c.bits == 16 ? swfmake::EncodePcm16(sine) : swfmake::EncodePcm8(sine);
        bool ok = false;
        const swf::PcmBuffer pcm = DecodeAll(Format(c.codec, kRate, c.bits != 8, c.stereo), data, &ok);
        ASSERT_TRUE(ok) << c.name;
        EXPECT_EQ(pcm.rate, kRate) << c.name;
        // The last byte's padding may read as a few more codes (DefineSound's
        // sample count trims them when the sound plays).
        ASSERT_GE(pcm.Frames(), kFrames) << c.name;
        EXPECT_LE(pcm.Frames(), kFrames + 3) << c.name;
        for (int ch = 0; ch < channels; ++ch) {
            const Tone t = Measure(pcm, kHz, 0, kFrames, ch);
            EXPECT_GE(t.share, c.minShare) << c.name;
            EXPECT_NEAR(t.amplitude, kAmplitude, kAmplitude * c.levelTolerance) << c.name;
        }
    }
}

TEST(SoundDecodeTest, DamagedOrShortDataKeepsWhatCameBefore) {
    const std::vector<int16_t> sine = swfmake::Sine(441, 22050, 5000, kAmplitude);
    // ADPCM cut mid-packet: whole samples before the cut are kept.
    std::vector<uint8_t> adpcm = swfmake::EncodeAdpcm(sine, 1, 4);
    adpcm.resize(adpcm.size() / 2);
    swf::PcmBuffer half = DecodeAll(Format(swf::SoundCodec::Adpcm, 22050, true, false), adpcm);
    EXPECT_NEAR(double(half.Frames()), 2500, 4);
    // 16-bit PCM with an odd byte: the lone byte is dropped.
    std::vector<uint8_t> pcm = swfmake::EncodePcm16(sine);
    pcm.push_back(7);
    EXPECT_EQ(DecodeAll(Format(swf::SoundCodec::PcmLittle, 22050, true, false), pcm).Frames(), 5000u);
    // Nothing at all decodes to nothing, for every codec.
    for (auto codec : {swf::SoundCodec::PcmLittle, swf::SoundCodec::Adpcm, swf::SoundCodec::Mp3,
                       swf::SoundCodec::Speex}) {
        EXPECT_EQ(DecodeAll(Format(codec, 22050, true, false), {}).Frames(), 0u);
        std::vector<uint8_t> garbage(997);
        for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 37 + 11);
        DecodeAll(Format(codec, 22050, true, false), garbage);  // no crash, no hang
    }
    // The memory bound stops a decoder with a message.
    swf::PcmBuffer out;
    std::string error;
    EXPECT_FALSE(swf::MakeSoundDecoder(Format(swf::SoundCodec::PcmLittle, 22050, true, false), false)
                     ->Decode(pcm.data(), pcm.size(), 100, out, error));
    EXPECT_LE(out.samples.size(), 100u);
    EXPECT_FALSE(error.empty());
}

TEST(SoundDecodeTest, Mp3FromLameGivesTheToneBack) {
    constexpr uint32_t kRate = 22050;
    // lame writes the MP3; the test is skipped on machines without it.
    const std::vector<uint8_t> data = soundtest::LameMp3(swfmake::Sine(441, kRate, kRate, kAmplitude), kRate, 1, 64);
    if (data.empty()) GTEST_SKIP() << "lame is not installed";
    const std::vector<uint8_t> mp3(data.begin() + 2, data.end());
    bool ok = false;
    const swf::PcmBuffer pcm = DecodeAll(Format(swf::SoundCodec::Mp3, kRate, true, false), data, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(pcm.rate, kRate);
    ASSERT_GE(pcm.Frames(), size_t(kRate));
    const Tone t = Measure(pcm, 441, kRate / 4, kRate / 2);
    EXPECT_GE(t.share, 0.95);
    EXPECT_NEAR(t.amplitude, kAmplitude, kAmplitude * 0.1);

    // As a stream: blocks of whole frames, each with its 4-byte prefix, one
    // decoder for them all, give the same samples.
    auto stream = swf::MakeSoundDecoder(Format(swf::SoundCodec::Mp3, kRate, true, false), true);
    swf::PcmBuffer streamed;
    std::string error;
    constexpr size_t kBlock = 300;
    for (size_t at = 0; at < mp3.size(); at += kBlock) {
        std::vector<uint8_t> block{0, 0, 0, 0};
        block.insert(block.end(), mp3.begin() + long(at), mp3.begin() + long(std::min(mp3.size(), at + kBlock)));
        ASSERT_TRUE(stream->Decode(block.data(), block.size(), SIZE_MAX, streamed, error)) << error;
    }
    ASSERT_GE(streamed.Frames(), size_t(kRate) / 2);
    EXPECT_TRUE(std::equal(streamed.samples.begin(), streamed.samples.begin() + kRate / 2, pcm.samples.begin()));
}

TEST(SoundDecodeTest, SpeexGivesTheToneBack) {
    constexpr uint32_t kRate = 16000;
    const std::vector<uint8_t> data = soundtest::EncodeSpeex(swfmake::Sine(400, kRate, kRate, kAmplitude));
    constexpr uint32_t kFrameSize = 320;  // wide band
    bool ok = false;
    std::string error;
    const swf::PcmBuffer pcm = DecodeAll(Format(swf::SoundCodec::Speex, kRate, true, false), data, &ok, &error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(pcm.rate, kRate);
    ASSERT_EQ(pcm.Frames(), size_t(kRate / kFrameSize * kFrameSize));
    const Tone t = Measure(pcm, 400, kRate / 4, kRate / 2);
    EXPECT_GE(t.share, 0.9);
    EXPECT_NEAR(t.amplitude, kAmplitude, kAmplitude * 0.25);
}

}  // namespace

namespace {

// Bits written least significant first, as Nellymoser blocks hold them.
struct LsbWriter {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(64, 0);
    int pos = 0;
    void Put(uint32_t v, int count) {
        for (int i = 0; i < count; ++i, ++pos)
            if ((v >> i) & 1) bytes[size_t(pos >> 3)] |= uint8_t(1 << (pos & 7));
    }
};

// A block whose bands 11 and 12 (coefficients 24 to 31) are loud and the
// rest near silent, every coefficient at its largest code: the sound sits
// around coefficient 28's frequency, (k + 0.5) * rate / 256.
std::vector<uint8_t> LoudBandBlock() {
    constexpr int kFlatStep = 17, kUpStep = 31, kDownStep = 0;
    LsbWriter w;
    w.Put(0, 6);
    for (int band = 1; band < 23; ++band) w.Put(band == 11 || band == 12 ? kUpStep : band == 13 || band == 14 ? kDownStep : kFlatStep, 5);
    for (int i = 116; i < 512; ++i) w.Put(1, 1);
    return w.bytes;
}

}  // namespace

TEST(SoundDecodeTest, NellymoserPutsALoudBandWhereItsCoefficientsSay) {
    for (const auto& [codec, rate] : {std::pair{swf::SoundCodec::Nellymoser8k, 8000u},
                                      std::pair{swf::SoundCodec::Nellymoser16k, 16000u}}) {
        std::vector<uint8_t> data;
        constexpr int kBlocks = 40;
        for (int b = 0; b < kBlocks; ++b) {
            const std::vector<uint8_t> block = LoudBandBlock();
            data.insert(data.end(), block.begin(), block.end());
        }
        data.push_back(1);  // a partial block is left out
        bool ok = false;
        const swf::PcmBuffer pcm = DecodeAll(Format(codec, rate, true, false), data, &ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(pcm.rate, rate);
        ASSERT_EQ(pcm.Frames(), size_t(kBlocks) * 256);
        // Identical halves repeat every 128 samples: lines at multiples of
        // rate / 128; those next to coefficients 24 to 31 hold the sound.
        double near = 0;
        for (int line = 12; line <= 16; ++line)
            near += Measure(pcm, line * double(rate) / 128, 1024, pcm.Frames() - 1024).share;
        EXPECT_GE(near, 0.8) << rate;
    }
}
