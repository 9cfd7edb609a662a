#include "swf/sound/SoundSystem.h"

#include <algorithm>
#include <cmath>

#include "swf/model/Movie.h"

namespace swf {

namespace {

constexpr uint32_t kStreamSlackDivisor = 5;  // a fifth of a second of drift is let be
constexpr double kPercent = 100.0;

uint64_t TagOf(const SoundCharacter& sound) { return uint64_t(reinterpret_cast<uintptr_t>(&sound)); }

// 2x2 gain matrices in percent, volume folded in: {ll, rl, lr, rr}.
struct Gain {
    double ll = 1, rl = 0, lr = 0, rr = 1;
};

Gain FromTransform(const SoundTransform& t) {
    const double v = t.volume / kPercent / kPercent;
    return {t.ll * v, t.rl * v, t.lr * v, t.rr * v};
}

// `outer` after `inner`.
Gain Compose(const Gain& outer, const Gain& inner) {
    return {outer.ll * inner.ll + outer.rl * inner.lr, outer.ll * inner.rl + outer.rl * inner.rr,
            outer.lr * inner.ll + outer.rr * inner.lr, outer.lr * inner.rl + outer.rr * inner.rr};
}

// Scripts' start(offset, loops): the offset in seconds becomes an in point.
SoundInfo ScriptInfo(double offsetSec, int loops) {
    SoundInfo info;
    info.loops = uint16_t(std::clamp(loops, 1, 0xFFFF));
    if (offsetSec > 0 && std::isfinite(offsetSec)) {
        info.hasIn = true;
        info.inPoint = uint32_t(std::min(offsetSec * Mixer::kRate, double(UINT32_MAX)));
    }
    return info;
}

int32_t ToUnit(double g) {
    const double scaled = std::round(g * SoundGains::kUnit);
    return int32_t(std::clamp(scaled, -8.0 * SoundGains::kUnit, 8.0 * SoundGains::kUnit));
}

}  // namespace

const SoundCharacter* SoundSystem::Find(const Movie& movie, uint16_t id) const {
    const Character* c = movie.Find(id);
    return c && c->kind == CharacterKind::Sound ? static_cast<const SoundCharacter*>(c) : nullptr;
}

const SoundTransform* SoundSystem::Transform(uint32_t serial) const {
    auto it = transforms_.find(serial);
    return it == transforms_.end() ? nullptr : &it->second;
}

uint32_t SoundSystem::Play(const SoundCharacter& sound, const SoundInfo& info, uint32_t owner) {
    const uint64_t tag = TagOf(sound);
    if (info.stop) {
        mixer_->StopTag(tag);
        return 0;
    }
    if (info.noMultiple && mixer_->TagPlaying(tag)) return 0;
    return PlayPcm(cache_.Sound(sound), tag, info, owner);
}

uint32_t SoundSystem::PlayPcm(std::shared_ptr<const PcmBuffer> pcm, uint64_t tag, const SoundInfo& info,
                              uint32_t owner) {
    VoiceStart v;
    v.pcm = std::move(pcm);
    v.tag = tag;
    v.owner = owner;
    const uint64_t rate = v.pcm->rate;
    if (info.hasIn) v.from = size_t(uint64_t(info.inPoint) * rate / Mixer::kRate);
    if (info.hasOut) v.to = size_t(uint64_t(info.outPoint) * rate / Mixer::kRate);
    v.loops = std::max<uint32_t>(info.loops, 1);
    v.envelope = info.envelope;
    const uint32_t voice = mixer_->Start(std::move(v));
    if (voice) {
        if (voiceRates_.size() >= Mixer::kMaxFinished) voiceRates_.erase(voiceRates_.begin());
        voiceRates_[voice] = uint32_t(rate);
    }
    return voice;
}

void SoundSystem::EnterFrame(const Movie& movie, const TimelineData& timeline, int frame, uint32_t serial) {
    if (!mixer_ || frame < 0 || size_t(frame) >= timeline.frames.size()) return;
    const Frame& f = timeline.frames[size_t(frame)];
    for (const SoundStart& s : f.sounds) {
        uint16_t id = s.soundId;
        if (!s.className.empty()) {
            auto it = movie.exports.find(s.className);
            id = it == movie.exports.end() ? 0 : it->second;
        }
        if (const SoundCharacter* sound = Find(movie, id)) Play(*sound, s.info, serial);
    }
    if (!timeline.stream.present || !f.streamBlock) return;
    const DecodedStream& stream = cache_.Stream(timeline);
    const size_t at = stream.frameStart[size_t(frame)];
    StreamVoice& sv = streams_[serial];
    if (sv.timeline != &timeline && sv.voice) mixer_->Stop(sv.voice);
    sv.timeline = &timeline;
    sv.fed = true;
    if (sv.voice && mixer_->Playing(sv.voice)) {
        const size_t pos = mixer_->Position(sv.voice);
        const size_t slack = stream.pcm->rate / kStreamSlackDivisor;
        if (pos + slack < at || pos > at + slack) mixer_->Seek(sv.voice, at);
        return;
    }
    VoiceStart v;
    v.pcm = stream.pcm;
    v.tag = uint64_t(reinterpret_cast<uintptr_t>(&timeline));
    v.owner = serial;
    v.from = at;
    sv.voice = mixer_->Start(std::move(v));
}

void SoundSystem::ButtonSound(const Movie& movie, const SoundStart& start, uint32_t serial) {
    if (!mixer_ || start.soundId == 0) return;
    if (const SoundCharacter* sound = Find(movie, start.soundId)) Play(*sound, start.info, serial);
}

uint32_t SoundSystem::StartSound(const Movie& movie, uint16_t id, uint32_t owner, double offsetSec, int loops) {
    const SoundCharacter* sound = Find(movie, id);
    if (!mixer_ || !sound) return 0;
    return Play(*sound, ScriptInfo(offsetSec, loops), owner);
}

void SoundSystem::StopSound(const Movie& movie, uint16_t id) {
    if (const SoundCharacter* sound = Find(movie, id))
        if (mixer_) mixer_->StopTag(TagOf(*sound));
}

uint32_t SoundSystem::AddLoaded(std::shared_ptr<const PcmBuffer> pcm) {
    loaded_.push_back(std::move(pcm));
    return uint32_t(loaded_.size());
}

uint32_t SoundSystem::StartLoaded(uint32_t handle, uint32_t owner, double offsetSec, int loops) {
    if (!mixer_ || handle == 0 || handle > loaded_.size()) return 0;
    const std::shared_ptr<const PcmBuffer>& pcm = loaded_[handle - 1];
    return PlayPcm(pcm, uint64_t(reinterpret_cast<uintptr_t>(pcm.get())), ScriptInfo(offsetSec, loops), owner);
}

double SoundSystem::LoadedDurationMs(uint32_t handle) const {
    if (handle == 0 || handle > loaded_.size()) return 0;
    const PcmBuffer& pcm = *loaded_[handle - 1];
    return pcm.rate ? std::floor(double(pcm.Frames()) * 1000.0 / pcm.rate) : 0;
}

void SoundSystem::StopOwnedBy(uint32_t owner) {
    if (!mixer_) return;
    if (owner == 0) {
        StopAll();
        return;
    }
    for (const auto& [voice, by] : mixer_->Owners())
        if (by == owner) mixer_->Stop(voice);
}

double SoundSystem::PositionMs(uint32_t voice) const {
    auto it = voiceRates_.find(voice);
    if (!mixer_ || it == voiceRates_.end() || !mixer_->Playing(voice)) return 0;
    return std::floor(double(mixer_->Position(voice)) * 1000.0 / it->second);
}

std::vector<uint32_t> SoundSystem::TakeFinished() {
    if (!mixer_) return {};
    std::vector<uint32_t> done = mixer_->TakeFinished();
    for (uint32_t v : done) voiceRates_.erase(v);
    return done;
}

void SoundSystem::StopAll() {
    if (mixer_) mixer_->StopAll();
    streams_.clear();
}

double SoundSystem::DurationMs(const Movie& movie, uint16_t id) {
    const SoundCharacter* sound = Find(movie, id);
    if (!sound) return 0;
    std::shared_ptr<const PcmBuffer> pcm = cache_.Sound(*sound);
    return pcm->rate ? std::floor(double(pcm->Frames()) * 1000.0 / pcm->rate) : 0;
}

SoundGains SoundSystem::GainsFor(const OwnerChain& chainOf, uint32_t owner) const {
    Gain g;
    for (uint32_t serial : chainOf(owner))
        if (const SoundTransform* t = Transform(serial)) g = Compose(FromTransform(*t), g);
    if (const SoundTransform* t = Transform(0)) g = Compose(FromTransform(*t), g);
    return {ToUnit(g.ll), ToUnit(g.rl), ToUnit(g.lr), ToUnit(g.rr)};
}

void SoundSystem::EndTick(const OwnerChain& chainOf) {
    if (!mixer_) return;
    for (auto it = streams_.begin(); it != streams_.end();) {
        if (it->second.fed) {
            it->second.fed = false;
            ++it;
            continue;
        }
        mixer_->Stop(it->second.voice);
        it = streams_.erase(it);
    }
    if (transforms_.empty()) return;
    for (const auto& [voice, owner] : mixer_->Owners()) mixer_->SetGains(voice, GainsFor(chainOf, owner));
}

int SoundSystem::StreamFrame(uint32_t serial) {
    auto it = streams_.find(serial);
    if (it == streams_.end() || !mixer_ || !mixer_->Playing(it->second.voice)) return -1;
    const DecodedStream& stream = cache_.Stream(*it->second.timeline);
    const size_t pos = mixer_->Position(it->second.voice);
    auto up = std::upper_bound(stream.frameStart.begin(), stream.frameStart.end(), pos);
    return int(up - stream.frameStart.begin()) - 1;
}

}  // namespace swf
