#include "swf/sound/Mixer.h"

#include <algorithm>

namespace swf {

namespace {

constexpr int kGainShift = 15;
constexpr int32_t kFullLevel = 32768;

// Envelope levels at `at` (44.1 kHz frames since the start): linear
// between points, held before the first and after the last.
void EnvelopeAt(const std::vector<SoundEnvelopePoint>& env, uint64_t at, int32_t& left, int32_t& right) {
    if (env.empty()) {
        left = right = kFullLevel;
        return;
    }
    size_t i = 0;
    while (i < env.size() && env[i].pos44 <= at) ++i;
    if (i == 0 || i == env.size()) {
        const SoundEnvelopePoint& p = env[i == 0 ? 0 : env.size() - 1];
        left = p.left;
        right = p.right;
        return;
    }
    const SoundEnvelopePoint& a = env[i - 1];
    const SoundEnvelopePoint& b = env[i];
    const int64_t span = int64_t(b.pos44) - a.pos44, into = int64_t(at) - a.pos44;
    left = int32_t(a.left + (int64_t(b.left) - a.left) * into / span);
    right = int32_t(a.right + (int64_t(b.right) - a.right) * into / span);
}

}  // namespace

uint32_t Mixer::Start(VoiceStart v) {
    if (!v.pcm || v.pcm->channels < 1 || v.pcm->channels > 2 || v.pcm->rate == 0) return 0;
    v.to = std::min(v.to, v.pcm->Frames());
    if (v.from >= v.to) return 0;
    std::lock_guard<std::mutex> hold(lock_);
    if (voices_.size() >= kMaxVoices) return 0;
    Voice voice;
    voice.id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    voice.pos = v.from;
    voice.loopsLeft = std::max<uint32_t>(v.loops, 1);
    voice.start = std::move(v);
    voices_.push_back(std::move(voice));
    return voices_.back().id;
}

void Mixer::Stop(uint32_t id) {
    std::lock_guard<std::mutex> hold(lock_);
    voices_.erase(std::remove_if(voices_.begin(), voices_.end(), [id](const Voice& v) { return v.id == id; }),
                  voices_.end());
}

void Mixer::StopTag(uint64_t tag) {
    std::lock_guard<std::mutex> hold(lock_);
    voices_.erase(std::remove_if(voices_.begin(), voices_.end(), [tag](const Voice& v) { return v.start.tag == tag; }),
                  voices_.end());
}

void Mixer::StopAll() {
    std::lock_guard<std::mutex> hold(lock_);
    voices_.clear();
}

bool Mixer::Playing(uint32_t id) const {
    std::lock_guard<std::mutex> hold(lock_);
    return std::any_of(voices_.begin(), voices_.end(), [id](const Voice& v) { return v.id == id; });
}

bool Mixer::TagPlaying(uint64_t tag) const {
    std::lock_guard<std::mutex> hold(lock_);
    return std::any_of(voices_.begin(), voices_.end(), [tag](const Voice& v) { return v.start.tag == tag; });
}

size_t Mixer::VoiceCount() const {
    std::lock_guard<std::mutex> hold(lock_);
    return voices_.size();
}

size_t Mixer::Position(uint32_t id) const {
    std::lock_guard<std::mutex> hold(lock_);
    for (const Voice& v : voices_)
        if (v.id == id) return v.pos;
    return 0;
}

void Mixer::Seek(uint32_t id, size_t frame) {
    std::lock_guard<std::mutex> hold(lock_);
    for (Voice& v : voices_)
        if (v.id == id) {
            v.pos = std::clamp(frame, v.start.from, v.start.to - 1);
            v.frac = 0;
        }
}

void Mixer::SetGains(uint32_t id, const SoundGains& gains) {
    std::lock_guard<std::mutex> hold(lock_);
    for (Voice& v : voices_)
        if (v.id == id) v.start.gains = gains;
}

std::vector<std::pair<uint32_t, uint32_t>> Mixer::Owners() const {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<std::pair<uint32_t, uint32_t>> out;
    for (const Voice& v : voices_) out.emplace_back(v.id, v.start.owner);
    return out;
}

uint64_t Mixer::FramesMixed() const {
    std::lock_guard<std::mutex> hold(lock_);
    return mixed_;
}

std::vector<uint32_t> Mixer::TakeFinished() {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<uint32_t> out;
    out.swap(finished_);
    return out;
}

bool Mixer::MixVoice(Voice& v, int32_t* acc, size_t frames) {
    const PcmBuffer& pcm = *v.start.pcm;
    const int16_t* s = pcm.samples.data();
    const size_t ch = size_t(pcm.channels);
    const SoundGains& g = v.start.gains;
    const bool hasEnvelope = !v.start.envelope.empty();
    int32_t envL = kFullLevel, envR = kFullLevel;
    for (size_t i = 0; i < frames; ++i) {
        const size_t next = v.pos + 1 < v.start.to ? v.pos + 1 : v.pos;
        int32_t l = s[v.pos * ch], r = s[v.pos * ch + ch - 1];
        if (v.frac) {
            l += int32_t((int64_t(s[next * ch]) - l) * v.frac / kRate);
            r += int32_t((int64_t(s[next * ch + ch - 1]) - r) * v.frac / kRate);
        }
        if (hasEnvelope) {
            EnvelopeAt(v.start.envelope, v.played, envL, envR);
            l = (l * envL) >> kGainShift;
            r = (r * envR) >> kGainShift;
        }
        acc[2 * i] += int32_t((int64_t(l) * g.ll + int64_t(r) * g.rl) >> kGainShift);
        acc[2 * i + 1] += int32_t((int64_t(l) * g.lr + int64_t(r) * g.rr) >> kGainShift);
        ++v.played;
        v.frac += pcm.rate;
        while (v.frac >= kRate) {
            v.frac -= kRate;
            if (++v.pos >= v.start.to) {
                if (--v.loopsLeft == 0) return false;
                v.pos = v.start.from;
            }
        }
    }
    return true;
}

void Mixer::Mix(int16_t* out, size_t frames) {
    std::lock_guard<std::mutex> hold(lock_);
    acc_.assign(frames * 2, 0);
    for (auto it = voices_.begin(); it != voices_.end();) {
        if (MixVoice(*it, acc_.data(), frames)) {
            ++it;
            continue;
        }
        if (finished_.size() < kMaxFinished) finished_.push_back(it->id);
        it = voices_.erase(it);
    }
    for (size_t i = 0; i < frames * 2; ++i) out[i] = static_cast<int16_t>(std::clamp(acc_[i], -32768, 32767));
    mixed_ += frames;
}

}  // namespace swf

