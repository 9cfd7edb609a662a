// Nellymoser (Asao): 64-byte blocks of 256 samples, mono, at 8 or 16 kHz or
// the rate the format field gives. A block holds 23 band levels (a 6-bit
// start and 5-bit steps, in 1/2048ths of a doubling), then two halves of
// 198 bits of coefficients. How many bits each of the 124 coefficients
// gets follows from the levels alone (BitsPerCoefficient), so that step is
// integer and must match the encoder's to the bit. Each half is 128
// coefficients through an inverse MDCT, overlapped with the last half
// under a sine window. Bits are read from the least significant end.
#include <algorithm>
#include <array>
#include <cmath>

#include "swf/sound/SoundDecode.h"

namespace swf {

namespace {

constexpr int kBands = 23;
constexpr size_t kBlockBytes = 64;
constexpr int kHeaderBits = 116;
constexpr int kDetailBits = 198;  // per half
constexpr int kHalf = 128;        // samples and coefficients per half
constexpr int kFilled = 124;      // coefficients that carry data
constexpr int kBitCap = 6;
constexpr int kBaseOffset = 4228;
constexpr int kBaseShift = 19;
constexpr int kSearchSteps = 20;
constexpr float kOutputScale = 1.0f / 8;
constexpr float kRootHalf = 0.70710678f;
constexpr int kMaxLevel = 24 * 2048;  // 2^24: louder than any sample can be

const uint8_t kBandSizes[kBands] = {2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 4, 4, 5, 6, 6, 7, 8, 9, 10, 12, 14, 15};

const uint16_t kFirstLevel[64] = {
    3134,  5342,  6870,  7792,  8569,  9185,  9744,  10191, 10631, 11061, 11434, 11770, 12116,
    12513, 12925, 13300, 13674, 14027, 14352, 14716, 15117, 15477, 15824, 16157, 16513, 16804,
    17090, 17401, 17679, 17948, 18238, 18520, 18764, 19078, 19381, 19640, 19921, 20205, 20500,
    20813, 21162, 21465, 21794, 22137, 22453, 22756, 23067, 23350, 23636, 23926, 24227, 24521,
    24819, 25107, 25414, 25730, 26120, 26497, 26895, 27344, 27877, 28463, 29426, 31355};

const int16_t kLevelStep[32] = {-11725, -9420, -7910, -6801, -5948, -5233, -4599, -4039, -3507, -3030, -2596,
                                -2170,  -1774, -1383, -1016, -660,  -329,  -1,    337,   696,   1085,  1512,
                                1962,   2433,  2968,  3569,  4314,  5279,  6622,  8154,  10076, 12975};

// Quantiser levels: for b bits, the 2^b values from index 2^b - 1 on.
const float kDequant[127] = {
    0.0000000000f,
    -0.8472560048f, 0.7224709988f,
    -1.5247479677f, -0.4531480074f, 0.3753609955f, 1.4717899561f,
    -1.9822579622f, -1.1929379702f, -0.5829370022f, -0.0693780035f, 0.3909569979f, 0.9069200158f, 1.4862740040f,
    2.2215409279f,
    -2.3887870312f, -1.8067539930f, -1.4105420113f, -1.0773609877f, -0.7995010018f, -0.5558109879f, -0.3334020078f,
    -0.1324490011f, 0.0568020009f, 0.2548770010f, 0.4773550034f, 0.7386850119f, 1.0443060398f, 1.3954459429f,
    1.8098750114f, 2.3918759823f,
    -2.3893830776f, -1.9884680510f, -1.7514040470f, -1.5643119812f, -1.3922129869f, -1.2164649963f, -1.0469499826f,
    -0.8905100226f, -0.7645580173f, -0.6454579830f, -0.5259280205f, -0.4059549868f, -0.3029719889f, -0.2096900046f,
    -0.1239869967f, -0.0479229987f, 0.0257730000f, 0.1001340002f, 0.1737180054f, 0.2585540116f, 0.3522900045f,
    0.4569880068f, 0.5767750144f, 0.7003160119f, 0.8425520062f, 1.0093879700f, 1.1821349859f, 1.3534560204f,
    1.5320819616f, 1.7332619429f, 1.9722349644f, 2.3978140354f,
    -2.5756309032f, -2.0573320389f, -1.8984919786f, -1.7727810144f, -1.6662600040f, -1.5742180347f, -1.4993319511f,
    -1.4316639900f, -1.3652280569f, -1.3000990152f, -1.2280930281f, -1.1588579416f, -1.0921250582f, -1.0135740042f,
    -0.9202849865f, -0.8287050128f, -0.7374889851f, -0.6447759867f, -0.5590940118f, -0.4857139885f, -0.4110319912f,
    -0.3459700048f, -0.2851159871f, -0.2341620028f, -0.1870580018f, -0.1442500055f, -0.1107169986f, -0.0739680007f,
    -0.0365610011f, -0.0073290002f, 0.0203610007f, 0.0479039997f, 0.0751969963f, 0.0980999991f, 0.1220389977f,
    0.1458999962f, 0.1694349945f, 0.1970459968f, 0.2252430022f, 0.2556869984f, 0.2870100141f, 0.3197099864f,
    0.3525829911f, 0.3889069855f, 0.4334920049f, 0.4769459963f, 0.5204820037f, 0.5644530058f, 0.6122040153f,
    0.6685929894f, 0.7341650128f, 0.8032159805f, 0.8784040213f, 0.9566209912f, 1.0397069454f, 1.1293770075f,
    1.2211159468f, 1.3080279827f, 1.4024800062f, 1.5056819916f, 1.6227730513f, 1.7724959850f, 1.9430880547f,
    2.2903931141f};

class LsbBits {
public:
    LsbBits(const uint8_t* data, int startBit) : data_(data), pos_(startBit) {}
    uint32_t Read(int count) {
        uint32_t v = 0;
        for (int i = 0; i < count; ++i, ++pos_) v |= uint32_t((data_[pos_ >> 3] >> (pos_ & 7)) & 1) << i;
        return v;
    }

private:
    const uint8_t* data_;
    int pos_;
};

int ShiftBy(int v, int shift) { return shift > 0 ? int(unsigned(v) << shift) : v >> -shift; }

// Shifts `v` up until its top bit is bit 30; the shift made (31 for 0).
int Normalise(int& v) {
    if (v == 0) return 31;
    int log2 = 0;
    for (unsigned a = unsigned(std::abs(v)); a > 1; a >>= 1) ++log2;
    const int up = 30 - log2;
    v = int(unsigned(v) << up);
    return up;
}

// Bits every coefficient gets when the levels are lowered by `offset`.
// Offsets are 64-bit: real levels never need it, damaged ones could
// overflow 32 bits.
int BitsAt(const int16_t* scaled, int shift, int64_t offset, int* bits = nullptr) {
    int total = 0;
    for (int i = 0; i < kFilled; ++i) {
        int64_t b = scaled[i] - offset;
        b = ((b >> (shift - 1)) + 1) >> 1;
        const int n = int(std::clamp<int64_t>(b, 0, kBitCap));
        if (bits) bits[i] = n;
        total += n;
    }
    return total;
}

int64_t ShiftBy64(int64_t v, int shift) { return shift > 0 ? int64_t(uint64_t(v) << shift) : v >> -shift; }

// The encoder's allocation: lower every level by one offset, found by a
// stepped then halving search, until the bits come to kDetailBits; if
// they still come to more, the last coefficients give them up.
void BitsPerCoefficient(const int* levels, int* bits) {
    int top = 0;
    for (int i = 0; i < kFilled; ++i) top = std::max(top, levels[i]);
    int shift = Normalise(top) - 16;
    int16_t scaled[kFilled];
    int sum = 0;
    for (int i = 0; i < kFilled; ++i) {
        scaled[i] = int16_t(ShiftBy(levels[i], shift));
        scaled[i] = int16_t((3 * scaled[i]) >> 2);
        sum += scaled[i];
    }
    shift += 11;
    const int baseShift = shift;
    sum = int(unsigned(sum) - (unsigned(kDetailBits) << shift));
    shift += Normalise(sum);
    int64_t low = (kBaseOffset * (sum >> 16)) >> 15;
    low = ShiftBy64(low, baseShift - (kBaseShift + shift - 31));
    int total = BitsAt(scaled, baseShift, low);
    if (total != kDetailBits) {
        int64_t step = total - kDetailBits;
        int doublings = 0;
        for (; std::abs(step) <= 16383; ++doublings) step *= 2;
        step = (step * kBaseOffset) >> 15;
        step = ShiftBy64(step, baseShift - (kBaseShift + doublings - 15));
        int64_t lastOffset = low;
        int lastTotal = total, j = 1;
        for (; j < kSearchSteps; ++j) {
            lastOffset = low;
            low += step;
            lastTotal = total;
            total = BitsAt(scaled, baseShift, low);
            if ((total - kDetailBits) * (lastTotal - kDetailBits) <= 0) break;
        }
        int64_t high;
        int highTotal, lowTotal;
        if (total > kDetailBits) {
            high = low;
            low = lastOffset;
            highTotal = total;
            lowTotal = lastTotal;
        } else {
            high = lastOffset;
            highTotal = lastTotal;
            lowTotal = total;
        }
        for (; total != kDetailBits && j <= kSearchSteps - 1; ++j) {
            const int64_t mid = (high + low) >> 1;
            total = BitsAt(scaled, baseShift, mid);
            if (total > kDetailBits) {
                high = mid;
                highTotal = total;
            } else {
                low = mid;
                lowTotal = total;
            }
        }
        if (std::abs(highTotal - kDetailBits) >= std::abs(lowTotal - kDetailBits)) {
            total = lowTotal;
        } else {
            low = high;
            total = highTotal;
        }
    }
    BitsAt(scaled, baseShift, low, bits);
    if (total > kDetailBits) {
        int used = 0, i = 0;
        while (used < kDetailBits) used += bits[i++];
        bits[i - 1] -= used - kDetailBits;
        for (; i < kFilled; ++i) bits[i] = 0;
    }
}

struct Tables {
    std::array<float, kHalf> window;              // sine, over 2 x 64 samples
    std::array<float, kHalf * kHalf> cosines;     // inverse MDCT, middle half
    Tables() {
        const double kPi = 3.14159265358979323846;
        for (int i = 0; i < kHalf; ++i) window[size_t(i)] = float(std::sin((i + 0.5) * kPi / (2.0 * kHalf)));
        for (int n = 0; n < kHalf; ++n)
            for (int k = 0; k < kHalf; ++k)
                cosines[size_t(n * kHalf + k)] =
                    float(std::cos(kPi / kHalf * (n + kHalf / 2 + 0.5 + kHalf / 2) * (k + 0.5)));
    }
};

const Tables& SharedTables() {
    static const Tables tables;
    return tables;
}

class NellymoserDecoder : public SoundDecoder {
public:
    explicit NellymoserDecoder(uint32_t rate) : rate_(rate) {}

    bool Decode(const uint8_t* data, size_t size, size_t maxSamples, PcmBuffer& out, std::string& error) override {
        out.rate = rate_;
        out.channels = 1;
        for (size_t at = 0; at + kBlockBytes <= size; at += kBlockBytes) {
            if (out.samples.size() + 2 * kHalf > maxSamples) {
                error = "sound longer than the sound memory allows";
                return false;
            }
            Block(data + at, out.samples);
        }
        return true;
    }

private:
    void Block(const uint8_t* block, std::vector<int16_t>& out) {
        const Tables& t = SharedTables();
        LsbBits header(block, 0);
        int levels[kFilled];
        float gains[kFilled];
        int level = kFirstLevel[header.Read(6)];
        for (int band = 0, i = 0; band < kBands; ++band) {
            if (band > 0) level += kLevelStep[header.Read(5)];
            // Past any real level: damaged blocks must not make infinities.
            const float gain = -std::pow(2.0f, float(std::min(level, kMaxLevel)) / 2048) * kOutputScale;
            for (int j = 0; j < kBandSizes[band]; ++j, ++i) {
                levels[i] = level;
                gains[i] = gain;
            }
        }
        int bits[kFilled];
        BitsPerCoefficient(levels, bits);
        for (int half = 0; half < 2; ++half) {
            LsbBits detail(block, kHeaderBits + half * kDetailBits);
            float coeffs[kHalf] = {};
            for (int i = 0; i < kFilled; ++i) {
                if (bits[i] <= 0) {
                    // No bits: noise at the band's level, its sign from a fixed sequence.
                    noise_ = noise_ * 1103515245u + 12345u;
                    coeffs[i] = kRootHalf * gains[i] * ((noise_ >> 16) & 1 ? -1.0f : 1.0f);
                } else {
                    const uint32_t v = detail.Read(bits[i]);
                    coeffs[i] = kDequant[(1 << bits[i]) - 1 + int(v)] * gains[i];
                }
            }
            float current[kHalf];
            for (int n = 0; n < kHalf; ++n) {
                const float* c = &t.cosines[size_t(n * kHalf)];
                float s = 0;
                for (int k = 0; k < kFilled; ++k) s += coeffs[k] * c[k];
                current[n] = s;
            }
            constexpr int kQuarter = kHalf / 2;
            for (int a = 0; a < kQuarter; ++a) {
                const float p = previous_[kQuarter + a], c = current[kQuarter - 1 - a];
                const float wa = t.window[size_t(a)], wb = t.window[size_t(kHalf - 1 - a)];
                Put(out, p * wb - c * wa, a);
                Put(out, p * wa + c * wb, kHalf - 1 - a);
            }
            Flush(out);
            std::copy(current, current + kHalf, previous_);
        }
    }

    void Put(std::vector<int16_t>&, float v, int index) {
        pending_[index] = int16_t(std::clamp(std::lrint(v), -32768L, 32767L));
    }
    void Flush(std::vector<int16_t>& out) { out.insert(out.end(), pending_, pending_ + kHalf); }

    uint32_t rate_;
    float previous_[kHalf] = {};
    int16_t pending_[kHalf] = {};
    uint32_t noise_ = 1;
};

}  // namespace

std::unique_ptr<SoundDecoder> MakeNellymoserDecoder(const SoundFormat& format) {
    return std::make_unique<NellymoserDecoder>(format.rate);
}

}  // namespace swf
