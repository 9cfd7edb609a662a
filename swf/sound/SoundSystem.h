// What a playing movie does with sound: frames, buttons and scripts start
// sounds here; it decodes them through its cache and plays them on the
// host's mixer (none: the movie plays silently).
//  1. Event sounds start when playing enters their frame (never when a
//     host seek shows it), with their SOUNDINFO: stop, no-multiple, in and
//     out points, loops and envelope.
//  2. A clip's stream plays while the clip plays frames that have blocks:
//     each such frame points the stream voice at its block's sample,
//     jumping only when the voice has drifted further than kStreamSlack;
//     a tick that gives a playing stream no block stops it.
//  3. Sound transforms (scripts' setVolume, setPan, setTransform on a clip)
//     apply to the sounds the clip and its children started, composed up
//     the parent chain and with the global transform.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <functional>
#include <vector>

#include "swf/model/Sound.h"
#include "swf/sound/Mixer.h"
#include "swf/sound/SoundCache.h"

namespace swf {

class Movie;
struct TimelineData;

// Percent, as scripts see them: a 2x2 matrix and a volume over it.
struct SoundTransform {
    double ll = 100, lr = 0, rr = 100, rl = 0;
    double volume = 100;
};

class SoundSystem {
public:
    explicit SoundSystem(std::vector<std::string>& errors) : cache_(errors) {}
    // The host's mixer; null plays nothing.
    void Attach(Mixer* mixer) { mixer_ = mixer; }
    Mixer* Output() const { return mixer_; }

    // Playing entered `frame` of `timeline`, owned by clip `serial`.
    void EnterFrame(const Movie& movie, const TimelineData& timeline, int frame, uint32_t serial);
    // A button's state change (DefineButtonSound).
    void ButtonSound(const Movie& movie, const SoundStart& start, uint32_t serial);
    // Scripts: an exported sound from `offsetSec` seconds, `loops` times;
    // the voice id (0: none).
    uint32_t StartSound(const Movie& movie, uint16_t id, uint32_t owner, double offsetSec, int loops);
    void StopSound(const Movie& movie, uint16_t id);
    // Sounds scripts loaded from files (MP3): a handle for the decoded sound.
    uint32_t AddLoaded(std::shared_ptr<const PcmBuffer> pcm);
    uint32_t StartLoaded(uint32_t handle, uint32_t owner, double offsetSec, int loops);
    double LoadedDurationMs(uint32_t handle) const;
    // Every voice `owner` started (0: every voice).
    void StopOwnedBy(uint32_t owner);
    // A voice's place in its sound in milliseconds (0 once it is gone).
    double PositionMs(uint32_t voice) const;
    // Voices that played to their end since the last call.
    std::vector<uint32_t> TakeFinished();
    void StopAll();
    // Sounds scripts attach: the decoded length in milliseconds.
    double DurationMs(const Movie& movie, uint16_t id);

    void SetTransform(uint32_t serial, const SoundTransform& t) { transforms_[serial] = t; }
    const SoundTransform* Transform(uint32_t serial) const;
    // A clip's serial and its ancestors', nearest first; empty once it is gone.
    using OwnerChain = std::function<std::vector<uint32_t>(uint32_t serial)>;
    // After a tick: streams that got no block stop, gains follow transforms.
    void EndTick(const OwnerChain& chainOf);
    // The root's stream voice and the frame its position has reached, for
    // a host that paces the timeline by the sound (-1: no stream playing).
    int StreamFrame(uint32_t serial);

private:
    const SoundCharacter* Find(const Movie& movie, uint16_t id) const;
    uint32_t Play(const SoundCharacter& sound, const SoundInfo& info, uint32_t owner);
    uint32_t PlayPcm(std::shared_ptr<const PcmBuffer> pcm, uint64_t tag, const SoundInfo& info, uint32_t owner);
    SoundGains GainsFor(const OwnerChain& chainOf, uint32_t owner) const;

    struct StreamVoice {
        uint32_t voice = 0;
        const TimelineData* timeline = nullptr;
        bool fed = false;
    };
    SoundCache cache_;
    Mixer* mixer_ = nullptr;
    std::map<uint32_t, StreamVoice> streams_;  // by clip serial
    std::map<uint32_t, SoundTransform> transforms_;  // by clip serial; 0: global
    std::vector<std::shared_ptr<const PcmBuffer>> loaded_;  // handle - 1
    std::map<uint32_t, uint32_t> voiceRates_;  // voice -> its sound's rate, for positions
};

}  // namespace swf
