#include "swf/sound/SoundCache.h"

#include <algorithm>

#include "swf/model/Movie.h"

namespace swf {

namespace {

constexpr size_t kMaxErrors = 64;

}  // namespace

void SoundCache::Report(const std::string& what, const std::string& error) {
    if (errors_.size() < kMaxErrors) errors_.push_back(what + ": " + error + "; played as far as it decoded");
}

std::shared_ptr<const PcmBuffer> SoundCache::Sound(const SoundCharacter& sound) {
    auto it = sounds_.find(&sound);
    if (it != sounds_.end()) return it->second;
    auto pcm = std::make_shared<PcmBuffer>();
    pcm->rate = sound.format.rate;
    pcm->channels = sound.format.Channels();
    std::unique_ptr<SoundDecoder> decoder = MakeSoundDecoder(sound.format, false);
    std::string error;
    const size_t room = kMaxSamples - used_;
    if (!decoder)
        error = "unknown sound format";
    else if (!decoder->Decode(sound.data.data(), sound.data.size(), room, *pcm, error) && error.empty())
        error = "damaged sound data";
    if (!error.empty()) Report("sound " + std::to_string(sound.id), error);
    // The declared count ends the sound: ADPCM's last byte is padded and
    // MP3's last frame is whole, and neither padding is heard.
    if (sound.sampleCount > 0 && pcm->Frames() > sound.sampleCount)
        pcm->samples.resize(size_t(sound.sampleCount) * size_t(pcm->channels));
    used_ += pcm->samples.size();
    pcm->samples.shrink_to_fit();
    return sounds_[&sound] = std::move(pcm);
}

const DecodedStream& SoundCache::Stream(const TimelineData& timeline) {
    auto it = streams_.find(&timeline);
    if (it != streams_.end()) return it->second;
    DecodedStream& out = streams_[&timeline];
    auto pcm = std::make_shared<PcmBuffer>();
    const SoundFormat& format = timeline.stream.format;
    pcm->rate = format.rate;
    pcm->channels = format.Channels();
    std::unique_ptr<SoundDecoder> decoder = MakeSoundDecoder(format, true);
    std::string error = decoder ? "" : "unknown sound format";
    const size_t frames = timeline.frames.size();
    out.frameStart.assign(frames, 0);
    out.hasBlock.assign(frames, false);
    // MP3 blocks say how many samples they hold; the decoder's output
    // lags its input by a frame, so the counts place blocks better.
    const bool counted = format.codec == SoundCodec::Mp3;
    size_t countedStart = size_t(std::max<int>(timeline.stream.latencySeek, 0));
    for (size_t f = 0; f < frames; ++f) {
        const StreamBlock& block = timeline.frames[f].streamBlock;
        out.frameStart[f] = counted ? countedStart : pcm->Frames();
        if (counted && block && block->size() >= 2) countedStart += size_t((*block)[0] | ((*block)[1] << 8));
        if (!block || !error.empty()) continue;
        out.hasBlock[f] = true;
        if (!decoder->Decode(block->data(), block->size(), kMaxSamples - used_, *pcm, error) && error.empty())
            error = "damaged sound data";
    }
    if (!error.empty()) Report("sound stream", error);
    used_ += pcm->samples.size();
    pcm->samples.shrink_to_fit();
    out.pcm = std::move(pcm);
    return out;
}

}  // namespace swf
