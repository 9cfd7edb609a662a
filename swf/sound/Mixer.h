// The mixer: every playing sound into one 44.1 kHz stereo 16-bit signal.
// Integer throughout, so what it makes is the same on every machine:
//  1. A voice steps through its source at rate/44100 source frames per
//     output frame (an exact fraction), interpolating linearly between
//     neighbouring samples; at 44.1 kHz it copies samples unchanged.
//  2. Its envelope (levels 0..32768 at 44.1 kHz positions counted from
//     the voice's start) scales left and right, then its gains (a 2x2
//     matrix in 1/32768ths: left-to-left, right-to-left, left-to-right,
//     right-to-right) mix them into the output pair; a mono source feeds
//     both of its inputs.
//  3. Voices are summed in 32 bits and clipped once.
// One lock guards it all: the host's audio thread mixes while the player
// starts and stops voices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "swf/model/Sound.h"
#include "swf/sound/SoundDecode.h"

namespace swf {

struct SoundGains {
    static constexpr int32_t kUnit = 32768;
    int32_t ll = kUnit, rl = 0, lr = 0, rr = kUnit;
    bool operator==(const SoundGains& o) const { return ll == o.ll && rl == o.rl && lr == o.lr && rr == o.rr; }
};

struct VoiceStart {
    std::shared_ptr<const PcmBuffer> pcm;
    uint64_t tag = 0;      // which sound: stopped and counted together
    uint32_t owner = 0;    // the clip that started it, for its sound transform
    size_t from = 0;       // source frames
    size_t to = SIZE_MAX;  // end, exclusive
    uint32_t loops = 1;
    std::vector<SoundEnvelopePoint> envelope;
    SoundGains gains;
};

class Mixer {
public:
    static constexpr uint32_t kRate = 44100;
    static constexpr size_t kMaxVoices = 32;  // the reference's limit of sounds at once
    static constexpr size_t kMaxFinished = 256;

    // The new voice's id; 0 when as many voices as allowed are playing or
    // there is nothing to play.
    uint32_t Start(VoiceStart v);
    void Stop(uint32_t id);
    void StopTag(uint64_t tag);
    void StopAll();
    bool Playing(uint32_t id) const;
    bool TagPlaying(uint64_t tag) const;
    size_t VoiceCount() const;
    // Source frame a voice has reached (0 once it is gone).
    size_t Position(uint32_t id) const;
    void Seek(uint32_t id, size_t frame);
    void SetGains(uint32_t id, const SoundGains& gains);
    // The voices' owners, for refreshing their gains.
    std::vector<std::pair<uint32_t, uint32_t>> Owners() const;

    // Overwrites `frames` stereo frames at `out` with the next stretch of
    // the mix.
    void Mix(int16_t* out, size_t frames);
    // Frames mixed since construction: the audio clock.
    uint64_t FramesMixed() const;
    // Voices that ran to their end (not stopped) since the last call.
    std::vector<uint32_t> TakeFinished();

private:
    struct Voice {
        uint32_t id = 0;
        VoiceStart start;
        size_t pos = 0;      // source frame
        uint32_t frac = 0;   // 0..kRate-1: how far towards pos+1
        uint64_t played = 0; // output frames, for the envelope
        uint32_t loopsLeft = 1;
    };
    // Adds one voice's next `frames` into `acc`; false when it ended.
    static bool MixVoice(Voice& v, int32_t* acc, size_t frames);

    mutable std::mutex lock_;
    std::vector<Voice> voices_;
    std::vector<uint32_t> finished_;
    std::vector<int32_t> acc_;
    uint32_t nextId_ = 1;
    uint64_t mixed_ = 0;
};

}  // namespace swf
