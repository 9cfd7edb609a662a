#include "tools/swfshot/WavWriter.h"

#include <algorithm>

#include "swf/Player.h"

namespace swfshot {

namespace {

constexpr uint32_t kRate = 44100;
constexpr int kRateOne = 256;  // 8.8 frame rate

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

void SoundTrack::Frame(swf::Player& player) {
    ++shown_;
    const uint64_t end = std::min<uint64_t>(shown_ * kRate * kRateOne / rate88_, kMaxFrames);
    const uint64_t have = Frames();
    if (end <= have) return;
    samples_.resize(size_t(end) * 2);
    player.MixAudio(samples_.data() + have * 2, size_t(end - have));
}

std::vector<uint8_t> SoundTrack::Wav() const { return EncodeWav(samples_, kRate, 2); }

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, uint32_t rate, int channels) {
    constexpr uint32_t kFmtBytes = 16, kHeaderRest = 36;
    constexpr uint16_t kPcm = 1, kBits = 16;
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(dataBytes + kHeaderRest + 8);
    PutTag(out, "RIFF");
    Put32(out, kHeaderRest + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, kFmtBytes);
    Put16(out, kPcm);
    Put16(out, uint16_t(channels));
    Put32(out, rate);
    Put32(out, rate * uint32_t(channels) * (kBits / 8));
    Put16(out, uint16_t(channels * (kBits / 8)));
    Put16(out, kBits);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (int16_t s : samples) Put16(out, uint16_t(s));
    return out;
}

}  // namespace swfshot
