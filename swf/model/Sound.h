// Sounds as the movie stores them: a format, and the coded bytes. Decoding
// happens when a sound first plays (swf/sound/SoundCache.h), so a movie full
// of sounds that never play costs only its bytes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace swf {

// The 4-bit SoundFormat field.
enum class SoundCodec : uint8_t {
    PcmNative = 0,  // byte order of the machine that wrote it: little-endian in practice
    Adpcm = 1,
    Mp3 = 2,
    PcmLittle = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    Speex = 11,
};

struct SoundFormat {
    SoundCodec codec = SoundCodec::PcmLittle;
    uint32_t rate = 5512;  // Hz, from the 2-bit rate field (or the codec's own)
    bool is16Bit = true;
    bool stereo = false;
    int Channels() const { return stereo ? 2 : 1; }
};

// The 2-bit rate field: 5.5, 11, 22 and 44 kHz.
uint32_t SoundRateFromCode(unsigned code);

// One point of a SOUNDINFO envelope: at `pos44` samples of 44.1 kHz from
// the sound's start, the left and right levels (0..32768).
struct SoundEnvelopePoint {
    uint32_t pos44 = 0;
    uint16_t left = 0;
    uint16_t right = 0;
};

struct SoundInfo {
    bool stop = false;        // SyncStop: stop every instance instead
    bool noMultiple = false;  // SyncNoMultiple: not if already playing
    bool hasIn = false, hasOut = false;
    uint32_t inPoint = 0, outPoint = 0;  // 44.1 kHz samples
    uint16_t loops = 1;
    std::vector<SoundEnvelopePoint> envelope;
};

// StartSound names the sound by id, StartSound2 by class name.
struct SoundStart {
    uint16_t soundId = 0;
    std::string className;
    SoundInfo info;
};

// SoundStreamHead/2 of a timeline: how its SoundStreamBlocks are coded.
struct StreamHead {
    bool present = false;
    SoundFormat format;
    uint16_t samplesPerBlock = 0;  // average, per frame
    int16_t latencySeek = 0;       // MP3: samples to skip at the start
};

// One frame's SoundStreamBlock, MP3 header (sample count, seek) left in.
using StreamBlock = std::shared_ptr<const std::vector<uint8_t>>;

// DefineButtonSound: one sound per transition, null id for none.
struct ButtonSounds {
    // Over-up to idle, idle to over-up, over-up to over-down, over-down to over-up.
    std::array<SoundStart, 4> transitions;
};

}  // namespace swf
