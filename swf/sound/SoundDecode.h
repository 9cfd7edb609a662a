// Decoders from a SoundFormat's coded bytes to 16-bit PCM at the sound's
// own rate. One decoder per sound (an event sound's bytes in one call) or
// per stream (one call per SoundStreamBlock, state kept between blocks).
// Damaged data stops the decoding: what came out before it is kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/model/Sound.h"

namespace swf {

struct PcmBuffer {
    uint32_t rate = 44100;
    int channels = 1;
    std::vector<int16_t> samples;  // interleaved
    size_t Frames() const { return channels > 0 ? samples.size() / size_t(channels) : 0; }
};

class SoundDecoder {
public:
    virtual ~SoundDecoder() = default;
    // Appends what `data` decodes to; at most `maxSamples` in all are kept
    // in `out`. False, with `error` set, on damaged data or past the bound.
    virtual bool Decode(const uint8_t* data, size_t size, size_t maxSamples, PcmBuffer& out,
                        std::string& error) = 0;
};

// `stream`: data comes in SoundStreamBlocks (MP3 blocks start with their
// sample count and seek; ADPCM starts afresh in every block).
std::unique_ptr<SoundDecoder> MakeSoundDecoder(const SoundFormat& format, bool stream);

// The codecs, one per file.
std::unique_ptr<SoundDecoder> MakePcmDecoder(const SoundFormat& format);
std::unique_ptr<SoundDecoder> MakeAdpcmDecoder(const SoundFormat& format);
std::unique_ptr<SoundDecoder> MakeMp3Decoder(const SoundFormat& format, bool stream);
std::unique_ptr<SoundDecoder> MakeNellymoserDecoder(const SoundFormat& format);
std::unique_ptr<SoundDecoder> MakeSpeexDecoder(const SoundFormat& format);

}  // namespace swf
