// The ActionScript 3 frame cycle on the host's side: removals, the
// broadcasts, frame scripts, gotos, and the frames, labels and scenes
// scripts read.
#include "swf/play/Scripts3Host.h"

#include <algorithm>

#include "swf/avm2/Machine.h"

namespace swf {

void Scripts3::Host::SendRemovals() {
    // What is taken away hears so before its clips' frames seem to move.
    removing_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{removing_};
    std::vector<DisplayObject*> all;
    WalkStage(all);
    for (auto& [s, o] : orphans_) Walk(*o, all, kMaxWalk);
    std::unordered_set<uint32_t> live;
    for (DisplayObject* o : all) live.insert(o->serial);
    std::vector<uint32_t> gone;
    for (auto& [s, v] : wrappers_)
        if (!live.count(s)) gone.push_back(s);
    // Clips advance one by one, each after what it holds, the topmost
    // first: what a clip took away hears so in that clip's turn. Outer
    // objects first within one clip, as they were in the tree.
    advanceOrder_.clear();
    OrderAdvance(RootClip());
    for (auto& [depth, child] : StageClip().List()) OrderAdvance(*child);
    auto turn = [&](uint32_t s) {
        auto w = where_.find(s);
        auto at = w == where_.end() ? advanceOrder_.end() : advanceOrder_.find(w->second.parent);
        return at == advanceOrder_.end() ? advanceOrder_.size() : at->second;
    };
    std::sort(gone.begin(), gone.end(), [&](uint32_t a, uint32_t b) {
        const size_t ta = turn(a), tb = turn(b);
        return ta != tb ? ta < tb : a < b;
    });
    for (uint32_t s : gone) {
        auto w = where_.find(s);
        if (w != where_.end() && !live.count(w->second.parent) && wrappers_.count(w->second.parent)) continue;
        advancing_ = w != where_.end() ? w->second.parent : 0;
        Send(s, "removed", true);
        ClearParentField(s, live);
    }
    advancing_ = 0;
    for (uint32_t s : gone) Send(s, "removedFromStage", false);
    for (uint32_t s : gone) {
        wrappers_.erase(s);
        where_.erase(s);
    }
    // Wrappers of objects gone from the engine are the scripts' alone now.
    m_.hostRoots.clear();
    m_.hostRoots.push_back(focus);
    if (stage_.IsObject()) m_.hostRoots.push_back(stage_);
    for (auto& [s, v] : wrappers_) m_.hostRoots.push_back(v);
}

// The timeline took a named object away: its parent's variable of that
// name is emptied when it holds anything (read and written through any
// accessors, a throw ignored).
void Scripts3::Host::ClearParentField(uint32_t serial, const std::unordered_set<uint32_t>& live) {
    auto w = where_.find(serial);
    if (w == where_.end() || w->second.name.empty() || !live.count(w->second.parent))
        return;
    auto parent = wrappers_.find(w->second.parent);
    if (parent == wrappers_.end()) return;
    const avm2::Value p = parent->second;
    const avm2::Name n = m_.PublicName(w->second.name);
    Guarded([&] {
        try {
            if (!m_.HasProperty(p, n)) return;
            if (!m_.GetProperty(p, n).IsNullish()) m_.SetProperty(p, n, avm2::Value::Null());
        } catch (const avm2::ScriptThrow&) {
            m_.thrown = avm2::Value::Undefined();
        }
    });
}

void Scripts3::Host::Broadcast(const char* type) {
    avm2::String* t = m_.Intern(type);
    std::vector<avm2::Value> targets;
    for (const auto& b : m_.enterFrameTargets)
        if (b.type == t) targets.push_back(b.target);
    for (const avm2::Value& v : targets) {
        auto* d = static_cast<avm2::DispatcherObject*>(v.o);
        if (!d->Listens(t)) continue;
        Guarded([&] {
            avm2::TempRoot keep(m_, v);
            avm2::EventObject* e = avm2::NewEvent(m_, type);
            avm2::DispatchEvent(m_, d, e, true);
        });
    }
}

void Scripts3::Host::EnterFrame() {
    entering_ = true;
    Broadcast("enterFrame");
    entering_ = false;
}

void Scripts3::Host::RunFrameScripts(uint32_t under) {
    // A script that moves a timeline has the new frame's script run next,
    // a bounded number of times.
    constexpr int kMaxChained = 64;
    for (int pass = 0; pass < kMaxChained; ++pass) {
        bool ran = false;
        std::vector<DisplayObject*> all;
        if (!under) WalkStage(all);
        else if (DisplayObject* top = Find(under)) Walk(*top, all, kMaxWalk);
        auto scripted = [&](uint32_t serial) -> avm2::ClipObject* {
            auto w = wrappers_.find(serial);
            return w == wrappers_.end() ? nullptr : dynamic_cast<avm2::ClipObject*>(w->second.o);
        };
        std::vector<uint32_t> due;
        for (DisplayObject* o : all) {
            MovieClip* clip = o->AsClip();
            avm2::ClipObject* c = clip ? scripted(o->serial) : nullptr;
            if (c && clip->FramesEntered() != c->framesEntered) due.push_back(o->serial);
        }
        for (uint32_t serial : due) {
            MovieClip* clip = FindClip(serial);
            avm2::ClipObject* c = scripted(serial);
            // Gone, or a goto in an earlier script ran it.
            if (!clip || !c || clip->FramesEntered() == c->framesEntered) continue;
            const int frame = clip->CurrentFrame();
            avm2::Value fn = c->FrameScript(frame);
            if (fn.IsUndefined() && unfinished_.count(serial)) continue;
            c->framesEntered = clip->FramesEntered();
            if (fn.IsUndefined()) continue;
            ran = true;
            const uint32_t was = scriptClip_;
            scriptClip_ = c->serial;
            Guarded([&] { m_.Call(fn, avm2::Value::Obj(c), nullptr, 0); });
            scriptClip_ = was;
            RunQueuedGotos();
        }
        if (!ran) return;
        Sync();
    }
}

int Scripts3::Host::CurrentFrame(uint32_t clip) {
    MovieClip* c = FindClip(clip);
    const int now = c ? std::max(c->CurrentFrame(), 0) : 0;
    if (!removing_) return now;
    auto was = framesSeen_.find(clip);
    if (was == framesSeen_.end()) return now;
    // Clips that advance after the one taking objects away are still where
    // they were, those before it have moved; the clip itself takes away
    // before its frame moves on, but after it went back.
    auto at = advanceOrder_.find(clip), current = advanceOrder_.find(advancing_);
    if (at != advanceOrder_.end() && current != advanceOrder_.end() && at->second != current->second)
        return at->second < current->second ? now : was->second;
    return std::min(was->second, now);
}

void Scripts3::Host::OrderAdvance(DisplayObject& obj) {
    MovieClip* clip = obj.AsClip();
    if (!clip || advanceOrder_.size() >= kMaxWalk) return;
    for (auto it = clip->List().rbegin(); it != clip->List().rend(); ++it) OrderAdvance(*it->second);
    advanceOrder_.emplace(obj.serial, advanceOrder_.size());
}

void Scripts3::Host::NoteFrames() {
    framesSeen_.clear();
    for (auto& [s, v] : wrappers_)
        if (MovieClip* c = FindClip(s)) framesSeen_[s] = std::max(c->CurrentFrame(), 0);
}

int Scripts3::Host::TotalFrames(uint32_t clip) {
    MovieClip* c = FindClip(clip);
    return c ? c->TotalFrames() : 1;
}

// The root plays every frame the file holds, but its frame count is the
// header's.
int Scripts3::Host::CountedFrames(uint32_t clip) {
    if (clip == Root() && movie_.header.frameCount > 0) return movie_.header.frameCount;
    return TotalFrames(clip);
}

void Scripts3::Host::SetPlaying(uint32_t clip, bool playing) {
    if (MovieClip* c = FindClip(clip)) c->SetPlaying(playing);
}

bool Scripts3::Host::IsPlaying(uint32_t clip) {
    MovieClip* c = FindClip(clip);
    return c && c->IsPlaying() && CountedFrames(clip) > 1;
}

// From version 10 a goto builds the new frame at once: what left hears
// so, what came is constructed, and the frame's broadcasts and scripts run
// before the script that asked goes on (a clip's own frame script waits
// until it ends). Even a goto to the frame shown does so, running a frame
// script not yet run. Before version 10 the timeline only moves and the
// frame's scripts wait for their turn.
void Scripts3::Host::Goto(uint32_t clip, int frame) {
    constexpr int kImmediateGotoVersion = 10;
    MovieClip* c = FindClip(clip);
    if (!c) return;
    if (movie_.header.version < kImmediateGotoVersion) {
        if (frame != c->CurrentFrame()) c->Goto(frame, 0, nullptr);
        return;
    }
    if (clip == scriptClip_) {
        constexpr size_t kMaxQueued = 256;
        if (queuedGotos_.size() < kMaxQueued) queuedGotos_.push_back({clip, frame});
        return;
    }
    RunGoto(clip, frame);
}

void Scripts3::Host::RunQueuedGotos() {
    while (!queuedGotos_.empty()) {
        auto [next, at] = queuedGotos_.front();
        queuedGotos_.erase(queuedGotos_.begin());
        RunGoto(next, at);
    }
}

void Scripts3::Host::RunGoto(uint32_t clip, int frame) {
    constexpr int kMaxGotoDepth = 16;
    if (gotoDepth_ >= kMaxGotoDepth) return;
    NoteFrames();  // what the goto takes away sees the frames before it
    if (MovieClip* c = FindClip(clip))
        if (frame != c->CurrentFrame()) c->Goto(frame, 0, nullptr);
    ++gotoDepth_;
    SendRemovals();
    Sync();
    Broadcast("frameConstructed");
    RunFrameScripts();
    Broadcast("exitFrame");
    --gotoDepth_;
}

// The root's scene data, when the movie has it, names its scenes and labels.
bool Scripts3::Host::HasSceneData(uint32_t clip) { return movie_.hasSceneData && clip == Root(); }

int Scripts3::Host::LabelFrame(uint32_t clip, const std::string& label) {
    MovieClip* c = FindClip(clip);
    if (!c) return -1;
    if (HasSceneData(clip)) {
        for (auto& [f, name] : movie_.sceneLabels)
            if (name == label) return f;
        return -1;
    }
    auto it = c->Data().labels.find(label);
    return it == c->Data().labels.end() ? -1 : it->second;
}

std::string Scripts3::Host::LabelAt(uint32_t clip, int frame, bool exact) {
    MovieClip* c = FindClip(clip);
    if (!c) return "";
    std::string best;
    int bestFrame = -1;
    auto consider = [&](const std::string& label, int f) {
        if (exact ? f == frame : (f <= frame && f > bestFrame)) {
            best = label;
            bestFrame = f;
        }
    };
    if (HasSceneData(clip)) {
        for (auto& [f, label] : movie_.sceneLabels) consider(label, f);
        return best;
    }
    for (auto& [label, f] : c->Data().labels) consider(label, f);
    return best;
}

std::vector<std::pair<int, std::string>> Scripts3::Host::Labels(uint32_t clip) {
    if (HasSceneData(clip)) return movie_.sceneLabels;
    std::vector<std::pair<int, std::string>> out;
    if (MovieClip* c = FindClip(clip)) {
        const auto& frames = c->Data().frames;
        for (size_t i = 0; i < frames.size(); ++i)
            if (!frames[i].label.empty()) out.emplace_back(int(i), frames[i].label);
    }
    return out;
}

// Each scene runs to the next one's first frame, the last to the clip's end.
std::vector<avm2::DisplayHost::SceneSpan> Scripts3::Host::Scenes(uint32_t clip) {
    std::vector<SceneSpan> out;
    if (!HasSceneData(clip)) return out;
    int total = std::max(TotalFrames(clip), 1);
    const auto& scenes = movie_.scenes;
    for (size_t i = 0; i < scenes.size(); ++i) {
        int first = std::min(scenes[i].first, total);
        int end = i + 1 < scenes.size() ? std::min(scenes[i + 1].first, total) : total;
        out.push_back({scenes[i].second, first, std::max(end - first, 0)});
    }
    return out;
}

}  // namespace swf
