// The movie format's ADPCM: IMA steps with 2- to 5-bit codes. A stream
// starts with a 2-bit code size; then packets of 4096 samples per channel,
// each channel opening with a 16-bit sample and a 6-bit step index, then
// 4095 codes per channel, channels interleaved. Bits run MSB first. The
// last packet may be short: decoding stops where a whole sample is missing.
#include <algorithm>

#include "swf/sound/SoundDecode.h"

namespace swf {

namespace {

constexpr int kStepCount = 89;
constexpr int16_t kSteps[kStepCount] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// Index changes by code magnitude, for 2, 3, 4 and 5 bits.
const int8_t kIndex2[] = {-1, 2};
const int8_t kIndex3[] = {-1, -1, 2, 4};
const int8_t kIndex4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
const int8_t kIndex5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
const int8_t* const kIndexTables[] = {kIndex2, kIndex3, kIndex4, kIndex5};

constexpr int kPacketSamples = 4096;
constexpr int kHeaderSampleBits = 16, kHeaderIndexBits = 6, kCodeSizeBits = 2, kMinCodeBits = 2;

class BitSource {
public:
    BitSource(const uint8_t* data, size_t size) : data_(data), bitsLeft_(size * 8) {}
    size_t BitsLeft() const { return bitsLeft_; }
    uint32_t Read(int count) {
        uint32_t v = 0;
        for (int i = 0; i < count; ++i) {
            const uint8_t byte = data_[pos_ >> 3];
            v = (v << 1) | ((byte >> (7 - (pos_ & 7))) & 1);
            ++pos_;
        }
        bitsLeft_ -= size_t(count);
        return v;
    }

private:
    const uint8_t* data_;
    size_t pos_ = 0;
    size_t bitsLeft_;
};

struct Channel {
    int sample = 0;
    int index = 0;

    int16_t Next(uint32_t code, int bits) {
        const uint32_t sign = 1u << (bits - 1);
        int step = kSteps[index];
        int diff = 0;
        for (uint32_t k = sign >> 1; k; k >>= 1) {
            if (code & k) diff += step;
            step >>= 1;
        }
        diff += step;
        sample = std::clamp(code & sign ? sample - diff : sample + diff, -32768, 32767);
        index = std::clamp(index + kIndexTables[bits - kMinCodeBits][code & (sign - 1)], 0, kStepCount - 1);
        return static_cast<int16_t>(sample);
    }
};

class AdpcmDecoder : public SoundDecoder {
public:
    explicit AdpcmDecoder(const SoundFormat& f) : format_(f) {}

    bool Decode(const uint8_t* data, size_t size, size_t maxSamples, PcmBuffer& out, std::string& error) override {
        out.rate = format_.rate;
        out.channels = format_.Channels();
        const int channels = out.channels;
        BitSource bits(data, size);
        if (bits.BitsLeft() < kCodeSizeBits) return true;
        const int codeBits = int(bits.Read(kCodeSizeBits)) + kMinCodeBits;
        Channel state[2];
        const size_t headerBits = size_t(channels) * (kHeaderSampleBits + kHeaderIndexBits);
        const size_t codeFrameBits = size_t(channels) * size_t(codeBits);
        while (bits.BitsLeft() >= headerBits) {
            if (out.samples.size() + size_t(channels) * kPacketSamples > maxSamples) {
                error = "sound longer than the sound memory allows";
                return false;
            }
            for (int c = 0; c < channels; ++c) {
                state[c].sample = static_cast<int16_t>(bits.Read(kHeaderSampleBits));
                state[c].index = int(bits.Read(kHeaderIndexBits));
                if (state[c].index >= kStepCount) state[c].index = kStepCount - 1;
            }
            for (int c = 0; c < channels; ++c) out.samples.push_back(static_cast<int16_t>(state[c].sample));
            for (int i = 1; i < kPacketSamples && bits.BitsLeft() >= codeFrameBits; ++i)
                for (int c = 0; c < channels; ++c) out.samples.push_back(state[c].Next(bits.Read(codeBits), codeBits));
        }
        return true;
    }

private:
    SoundFormat format_;
};

}  // namespace

std::unique_ptr<SoundDecoder> MakeAdpcmDecoder(const SoundFormat& format) {
    return std::make_unique<AdpcmDecoder>(format);
}

}  // namespace swf
