// Decoded sounds of one playing movie, each decoded the first time it
// plays and kept; streams (a timeline's SoundStreamBlocks) likewise, with
// the sample each frame's block starts at. Everything decoded shares one
// memory bound; a sound past it, or damaged, plays what decoded before
// the fault (maybe nothing) and is reported once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "swf/model/Sound.h"
#include "swf/sound/SoundDecode.h"

namespace swf {

struct SoundCharacter;
struct TimelineData;

struct DecodedStream {
    std::shared_ptr<const PcmBuffer> pcm;
    // Per frame of the timeline: the first sample frame of its block, or
    // of the next block for frames without one.
    std::vector<size_t> frameStart;
    std::vector<bool> hasBlock;
};

class SoundCache {
public:
    // 16-bit samples of every decoded sound together.
    static constexpr size_t kMaxSamples = size_t(48) << 20;

    explicit SoundCache(std::vector<std::string>& errors) : errors_(errors) {}
    std::shared_ptr<const PcmBuffer> Sound(const SoundCharacter& sound);
    const DecodedStream& Stream(const TimelineData& timeline);
    size_t SamplesUsed() const { return used_; }

private:
    void Report(const std::string& what, const std::string& error);

    std::vector<std::string>& errors_;
    size_t used_ = 0;
    std::map<const SoundCharacter*, std::shared_ptr<const PcmBuffer>> sounds_;
    std::map<const TimelineData*, DecodedStream> streams_;
};

}  // namespace swf
