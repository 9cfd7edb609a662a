// The sound track of a played movie: one frame's worth of the player's mix
// per frame shown, written as a 44.1 kHz stereo 16-bit WAV file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swf {
class Player;
}

namespace swfshot {

class SoundTrack {
public:
    // An hour of sound at most (kept in memory until written).
    static constexpr uint64_t kMaxFrames = uint64_t(3600) * 44100;

    explicit SoundTrack(uint16_t rate88) : rate88_(rate88 ? rate88 : 1) {}
    // Mixes the sound heard while one more frame is shown; frame k ends at
    // sample k * 44100 / fps, rounded down, so no frame's share drifts.
    void Frame(swf::Player& player);
    uint64_t Frames() const { return samples_.size() / 2; }
    const std::vector<int16_t>& Samples() const { return samples_; }
    std::vector<uint8_t> Wav() const;

private:
    uint16_t rate88_;
    uint64_t shown_ = 0;
    std::vector<int16_t> samples_;
};

// A WAV file of 16-bit interleaved `samples` at `rate`, `channels` wide.
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, uint32_t rate, int channels);

}  // namespace swfshot
