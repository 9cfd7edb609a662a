// Shared by the sound tests: measuring a tone in decoded or mixed samples,
// and movies that play sounds.
#pragma once

#include <speex/speex.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "swf/sound/SoundDecode.h"

namespace soundtest {

// Amplitude of the `hz` component of one channel (Goertzel over the
// frames [from, from+count)), and the share of the signal's power it has.
struct Tone {
    double amplitude = 0;
    double share = 0;
};

inline Tone Measure(const std::vector<int16_t>& samples, int channels, int channel, uint32_t rate, double hz,
                    size_t from, size_t count) {
    const double kTwoPi = 6.283185307179586;
    double re = 0, im = 0, power = 0;
    for (size_t i = 0; i < count; ++i) {
        const double v = samples[(from + i) * size_t(channels) + size_t(channel)];
        const double phase = kTwoPi * hz * double(i) / rate;
        re += v * std::cos(phase);
        im += v * std::sin(phase);
        power += v * v;
    }
    Tone t;
    t.amplitude = 2 * std::sqrt(re * re + im * im) / double(count);
    const double tonePower = t.amplitude * t.amplitude / 2 * double(count);
    t.share = power > 0 ? tonePower / power : 0;
    return t;
}

inline Tone Measure(const swf::PcmBuffer& pcm, double hz, size_t from, size_t count, int channel = 0) {
    return Measure(pcm.samples, pcm.channels, channel, pcm.rate, hz, from, count);
}

// Wide-band Speex frames of 16 kHz mono `pcm`, each padded to a byte, back
// to back as a movie holds them; coded by libspeex's own encoder.
inline std::vector<uint8_t> EncodeSpeex(const std::vector<int16_t>& pcm, int quality = 8) {
    void* enc = speex_encoder_init(&speex_wb_mode);
    int frameSize = 0;
    speex_encoder_ctl(enc, SPEEX_SET_QUALITY, &quality);
    speex_encoder_ctl(enc, SPEEX_GET_FRAME_SIZE, &frameSize);
    SpeexBits bits;
    speex_bits_init(&bits);
    std::vector<uint8_t> out;
    std::vector<spx_int16_t> frame(static_cast<size_t>(frameSize));
    for (size_t at = 0; at + frame.size() <= pcm.size(); at += frame.size()) {
        std::copy(pcm.begin() + long(at), pcm.begin() + long(at + frame.size()), frame.begin());
        speex_bits_reset(&bits);
        speex_encode_int(enc, frame.data(), &bits);
        char packet[1024];
        const int n = speex_bits_write(&bits, packet, sizeof packet);
        out.insert(out.end(), packet, packet + n);
    }
    speex_bits_destroy(&bits);
    speex_encoder_destroy(enc);
    return out;
}

// MP3 of `pcm` (interleaved) made by Debian's lame at `kbps`, with the
// 2-byte seek count of a DefineSound in front; empty without lame.
inline std::vector<uint8_t> LameMp3(const std::vector<int16_t>& pcm, uint32_t rate, int channels, int kbps) {
    const std::string wav = "/tmp/pictaro_lame_" + std::to_string(getpid()) + ".wav", mp3 = wav + ".mp3";
    {
        std::ofstream out(wav, std::ios::binary);
        auto put = [&](uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i) out.put(char(v >> (8 * i)));
        };
        const uint32_t dataBytes = uint32_t(pcm.size() * 2), frameBytes = uint32_t(channels * 2);
        out.write("RIFF", 4);
        put(36 + dataBytes, 4);
        out.write("WAVEfmt ", 8);
        put(16, 4), put(1, 2), put(uint32_t(channels), 2), put(rate, 4), put(rate * frameBytes, 4);
        put(frameBytes, 2), put(16, 2);
        out.write("data", 4);
        put(dataBytes, 4);
        for (int16_t s : pcm) put(uint16_t(s), 2);
    }
    std::vector<uint8_t> bytes;
    const std::string cmd = "lame --quiet -b " + std::to_string(kbps) + " " + wav + " " + mp3 + " 2>/dev/null";
    if (std::system(cmd.c_str()) == 0) {
        std::ifstream in(mp3, std::ios::binary);
        bytes = {0, 0};
        bytes.insert(bytes.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::remove(wav.c_str());
    std::remove(mp3.c_str());
    return bytes;
}

}  // namespace soundtest
