#include "tools/swfmake/SoundEncode.h"

#include <algorithm>
#include <cmath>

#include "tools/swfmake/ByteWriter.h"

namespace swfmake {

namespace {

constexpr int kStepCount = 89;
constexpr int kPacketFrames = 4096;

int Step(int index) {
    // The IMA table: 7 growing by about 10% a step to 32767.
    static const int kSteps[kStepCount] = {
        7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
        31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
        130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
        544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
        2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
        9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    return kSteps[index];
}

int IndexChange(int bits, int magnitude) {
    static const int k2[] = {-1, 2}, k3[] = {-1, -1, 2, 4}, k4[] = {-1, -1, -1, -1, 2, 4, 6, 8},
                     k5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
    static const int* const tables[] = {k2, k3, k4, k5};
    return tables[bits - 2][magnitude];
}

struct Channel {
    int sample = 0, index = 0;

    // The code whose decoded value comes nearest `target` (tries them all).
    uint32_t Encode(int target, int bits) {
        const uint32_t sign = 1u << (bits - 1);
        uint32_t best = 0;
        int bestSample = 0, bestError = INT32_MAX;
        for (uint32_t code = 0; code < (sign << 1); ++code) {
            int step = Step(index), diff = 0;
            for (uint32_t k = sign >> 1; k; k >>= 1) {
                if (code & k) diff += step;
                step >>= 1;
            }
            diff += step;
            const int s = std::clamp(code & sign ? sample - diff : sample + diff, -32768, 32767);
            if (std::abs(s - target) < bestError) {
                bestError = std::abs(s - target);
                best = code;
                bestSample = s;
            }
        }
        sample = bestSample;
        index = std::clamp(index + IndexChange(bits, int(best & (sign - 1))), 0, kStepCount - 1);
        return best;
    }
};

}  // namespace

std::vector<int16_t> Sine(double hz, uint32_t rate, size_t frames, int amplitude, int channels) {
    std::vector<int16_t> out;
    out.reserve(frames * size_t(channels));
    const double kTwoPi = 6.283185307179586;
    for (size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(std::lround(amplitude * std::sin(kTwoPi * hz * double(i) / rate)));
        for (int c = 0; c < channels; ++c) out.push_back(v);
    }
    return out;
}

std::vector<uint8_t> EncodePcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples) {
        out.push_back(uint8_t(uint16_t(s) & 0xFF));
        out.push_back(uint8_t(uint16_t(s) >> 8));
    }
    return out;
}

std::vector<uint8_t> EncodePcm8(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    for (int16_t s : samples) out.push_back(uint8_t((s >> 8) + 128));
    return out;
}

std::vector<uint8_t> EncodeAdpcm(const std::vector<int16_t>& samples, int channels, int bits) {
    ByteWriter w;
    w.Bits(uint32_t(bits - 2), 2);
    const size_t frames = samples.size() / size_t(channels);
    Channel state[2];
    for (size_t f = 0; f < frames; ++f) {
        if (f % kPacketFrames == 0) {
            for (int c = 0; c < channels; ++c) {
                const int16_t first = samples[f * size_t(channels) + size_t(c)];
                state[c].sample = first;
                // The step index carries over from the last packet.
                w.Bits(uint16_t(first), 16);
                w.Bits(uint32_t(state[c].index), 6);
            }
            continue;
        }
        for (int c = 0; c < channels; ++c)
            w.Bits(state[c].Encode(samples[f * size_t(channels) + size_t(c)], bits), bits);
    }
    return w.Take();
}

}  // namespace swfmake
