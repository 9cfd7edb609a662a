// Sound costs: decoding one second of sound in each codec, and mixing one
// second of 8 sounds at once (at rates that need conversion, with
// envelopes and gains). Each figure is the best of kRounds, in
// milliseconds of processor time per second of sound. MP3 needs Debian's
// lame to make its input and is left out without it. Never fails.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "swf/sound/Mixer.h"
#include "swf/sound/SoundDecode.h"
#include "tests/native/engine/SoundTestUtil.h"
#include "tools/swfmake/SoundEncode.h"

namespace {

constexpr int kRounds = 5;
constexpr int kSeconds = 10;
constexpr int kAmplitude = 10000;

double CpuMs() { return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC; }

swf::SoundFormat Format(swf::SoundCodec codec, uint32_t rate, bool stereo) {
    swf::SoundFormat f;
    f.codec = codec;
    f.rate = rate;
    f.stereo = stereo;
    return f;
}

// Best time for decoding `data` whole, per second of what it holds.
void DecodeFigure(const char* name, const swf::SoundFormat& f, const std::vector<uint8_t>& data) {
    double best = 1e30;
    size_t frames = 0;
    uint32_t rate = f.rate;
    for (int r = 0; r < kRounds; ++r) {
        swf::PcmBuffer out;
        std::string error;
        const double start = CpuMs();
        swf::MakeSoundDecoder(f, false)->Decode(data.data(), data.size(), SIZE_MAX, out, error);
        best = std::min(best, CpuMs() - start);
        frames = out.Frames();
        rate = out.rate;
    }
    const double seconds = rate ? double(frames) / rate : 0;
    std::printf("%-22s %8.3f ms per second of sound (%.1f s decoded)\n", name, seconds > 0 ? best / seconds : 0,
                seconds);
}

void MixFigure() {
    constexpr int kVoices = 8;
    constexpr size_t kChunk = 1024;  // frames per Mix call, as an audio thread asks
    const uint32_t rates[] = {5512, 11025, 22050, 44100};
    double best = 1e30;
    for (int r = 0; r < kRounds; ++r) {
        swf::Mixer mixer;
        for (int v = 0; v < kVoices; ++v) {
            auto pcm = std::make_shared<swf::PcmBuffer>();
            pcm->rate = rates[v % 4];
            pcm->channels = 1 + v % 2;
            pcm->samples = swfmake::Sine(300 + 50 * v, pcm->rate, size_t(pcm->rate) * kSeconds, kAmplitude,
                                         pcm->channels);
            swf::VoiceStart start;
            start.pcm = pcm;
            if (v % 2) start.envelope = {{0, 0, 32768}, {44100 * kSeconds, 32768, 0}};
            start.gains = {20000, 3000, 4000, 25000};
            mixer.Start(start);
        }
        std::vector<int16_t> out(kChunk * 2);
        const double start = CpuMs();
        for (size_t done = 0; done < size_t(swf::Mixer::kRate) * kSeconds; done += kChunk)
            mixer.Mix(out.data(), kChunk);
        best = std::min(best, CpuMs() - start);
    }
    std::printf("%-22s %8.3f ms per second of output\n", "mix 8 sounds", best / kSeconds);
}

}  // namespace

int main() {
    const std::vector<int16_t> mono22 = swfmake::Sine(440, 22050, 22050 * kSeconds, kAmplitude);
    const std::vector<int16_t> stereo44 = swfmake::Sine(440, 44100, 44100 * kSeconds, kAmplitude, 2);
    DecodeFigure("pcm 16-bit 44k stereo", Format(swf::SoundCodec::PcmLittle, 44100, true),
                 swfmake::EncodePcm16(stereo44));
    DecodeFigure("adpcm 4-bit 22k mono", Format(swf::SoundCodec::Adpcm, 22050, false),
                 swfmake::EncodeAdpcm(mono22, 1, 4));
    DecodeFigure("adpcm 4-bit 44k stereo", Format(swf::SoundCodec::Adpcm, 44100, true),
                 swfmake::EncodeAdpcm(stereo44, 2, 4));
    const std::vector<uint8_t> mp3 = soundtest::LameMp3(stereo44, 44100, 2, 128);
    if (mp3.empty())
        std::printf("%-22s left out: lame is not installed\n", "mp3 128k 44k stereo");
    else
        DecodeFigure("mp3 128k 44k stereo", Format(swf::SoundCodec::Mp3, 44100, true), mp3);
    std::vector<uint8_t> nelly(size_t(16000) / 256 * 64 * kSeconds);
    for (size_t i = 0; i < nelly.size(); ++i) nelly[i] = uint8_t(i * 131 + (i >> 7));
    swf::SoundFormat nellyFormat = Format(swf::SoundCodec::Nellymoser16k, 16000, false);
    DecodeFigure("nellymoser 16k", nellyFormat, nelly);
    DecodeFigure("speex wide band", Format(swf::SoundCodec::Speex, 16000, false),
                 soundtest::EncodeSpeex(swfmake::Sine(440, 16000, 16000 * kSeconds, kAmplitude)));
    MixFigure();
    return 0;
}
