#include "swf/play/Timeline.h"

#include "swf/bind/Bindings.h"
#include "swf/display/DepthOps.h"

#include <algorithm>
#include <cstdlib>

namespace swf {

namespace {

// Blocks one host call may run, so that frames that jump to each other
// cannot hang the player.
// Events count too: one per clip that handles the event.
constexpr size_t kMaxBlocksPerCall = 1 << 16;
constexpr uint16_t kDefaultFrameRate88 = 12 << 8;

}  // namespace

Timeline::Timeline(const Movie& movie, std::shared_ptr<FontProvider> fonts)
    : fonts_(movie), ctx_(movie), bitmaps_(movie), scriptHost_(ctx_, root_, levels_), vm_(scriptHost_, movie.header.version) {
    fonts_.SetProvider(std::move(fonts));
    ctx_.fonts = &fonts_;
    ctx_.assets.fonts = &fonts_;
    ctx_.bitmaps = &bitmaps_;
    ctx_.sounds = &sounds_;
    root_ = std::make_unique<MovieClip>(ctx_, movie.root, 0);
    scriptHost_.SetVm(&vm_);
    ctx_.handlesUnload = [this](DisplayObject& obj) { return scriptHost_.HasUnloadHandler(obj); };
    vm_.SetMaxDepth(movie.scriptRecursion);
    vm_.SetClassInstaller(bind::InstallBindings);
}

Timeline::~Timeline() = default;

std::vector<HostCall> Timeline::Start() {
    ctx_.BeginHostCall();
    ActionQueue queue;
    root_->Start(&queue);
    std::vector<HostCall> calls = RunActions(queue);
    std::vector<HostCall> loads = FinishLoads();
    calls.insert(calls.end(), loads.begin(), loads.end());
    return calls;
}

Rgba Timeline::Background() const {
    const auto& frames = root_->Data().frames;
    return frames[static_cast<size_t>(root_->CurrentFrame())].background;
}

// Host seeks (the seek slider) must show exactly the frame the user picked,
// as playing from the start shows it, whatever happened before:
//  1. From a state playing would have (see asPlayed_), a forward seek
//     merges the frames in between onto the current list (MovieClip.h), which
//     is exact: kept sprites tick once per frame crossed.
//  2. Every other seek (backward, or any seek from a state that actions,
//     a loop, a stopped root or a button changed) rebuilds the
//     root from empty and merges frames 0..frame in one pass; each sprite
//     is advanced frame by frame from the frame that created it. Unlike
//     the goto of actions, no instance survives a backward seek.
//  3. No actions run and nothing is drawn; the root keeps its play state.
//  4. One silent work budget per seek: a movie too heavy for it leaves
//     sprites short of their frame, and the next seek rebuilds.
void Timeline::Seek(int frame) {
    ctx_.BeginHostCall();
    sounds_.StopAll();
    const int current = root_->CurrentFrame();
    frame = std::clamp(frame, 0, root_->TotalFrames() - 1);
    if (asPlayed_ && frame >= current)
        root_->Goto(frame, frame - current, nullptr);
    else
        Rebuild(frame);
    asPlayed_ = ctx_.silentWorkLeft > 0;
}

void Timeline::Rebuild(int frame) {
    const bool playing = root_->IsPlaying();
    root_.reset();  // its clips leave the live count before new ones join
    root_ = std::make_unique<MovieClip>(ctx_, ctx_.movie.root, 0);
    root_->SetPlaying(playing);
    root_->Start(nullptr);
    root_->Goto(frame, frame, nullptr);
}

std::vector<HostCall> Timeline::Tick() {
    ctx_.BeginHostCall();
    DropUnloaded(ctx_);  // kept a frame for their unload handlers
    std::vector<HostCall> calls = std::move(pendingCalls_);
    pendingCalls_.clear();
    std::vector<HostCall> levels = FinishLevelLoads();
    calls.insert(calls.end(), levels.begin(), levels.end());
    std::vector<HostCall> loaded = FinishClipLoads();
    calls.insert(calls.end(), loaded.begin(), loaded.end());
    ActionQueue queue;
    const int before = root_->CurrentFrame();
    TickClips(queue);
    QueueEvent(kClipEnterFrame, queue);
    TrackPointer(queue);
    // A stopped root or a loop ticks sprites past what a seek would show.
    if (root_->CurrentFrame() <= before) asPlayed_ = false;
    ++ticks_;
    const uint16_t rate88 = ctx_.movie.header.frameRate88 ? ctx_.movie.header.frameRate88 : kDefaultFrameRate88;
    scriptHost_.SetNow(double(ticks_) * 1000.0 * 256.0 / rate88);
    BlinkCaret();
    std::vector<HostCall> more = RunActions(queue, true);
    calls.insert(calls.end(), more.begin(), more.end());
    // Files beside the movie arrive by the end of the frame that asked.
    std::vector<HostCall> loads = FinishLoads();
    calls.insert(calls.end(), loads.begin(), loads.end());
    sounds_.EndTick([this](uint32_t serial) {
        std::vector<uint32_t> chain;
        for (const DisplayObject* o = ctx_.FindObject(serial); o && chain.size() <= PlayContext::kMaxNesting; o = o->parent)
            chain.push_back(o->serial);
        return chain;
    });
    return calls;
}

// A playing tick advances every clip once, newest first (the root last),
// each queueing its frame's actions as it goes; clips made during the walk
// wait for the next tick.
void Timeline::TickClips(ActionQueue& queue) {
    std::vector<uint32_t> order;
    order.reserve(ctx_.liveClips.size());
    for (const auto& entry : ctx_.liveClips) order.push_back(entry.first);
    std::sort(order.rbegin(), order.rend());
    ctx_.clipsTickApart = true;
    for (uint32_t serial : order) {
        MovieClip* clip = ctx_.FindClip(serial);
        if (!clip || (!IsLevelRoot(*clip) && !clip->asideState && (!clip->parent || Left(*clip)))) continue;
        clip->Tick(&queue);
    }
    ctx_.clipsTickApart = false;
}

bool Timeline::Left(const DisplayObject& obj) const {
    int hops = 0;
    for (const DisplayObject* o = &obj; o->parent && hops <= PlayContext::kMaxNesting; o = o->parent, ++hops) {
        if (o->unloading) return true;
        const DisplayList* list = nullptr;
        if (const MovieClip* clip = o->parent->AsClip()) list = &clip->List();
        else if (const ButtonObject* button = o->parent->AsButton()) list = &button->Children();
        if (!list) return false;
        auto it = list->find(o->depth);
        if (it == list->end() || it->second.get() != o) return true;
    }
    return false;
}

// Runs queued blocks in order from `next`; actions may append to the queue.
void Timeline::RunQueued(ActionQueue& queue, size_t& next) {
    for (; next < queue.size() && next < kMaxBlocksPerCall; ++next) {
        const QueuedActions q = queue[next];
        if (q.clipSerial && !ctx_.FindObject(q.clipSerial)) continue;  // removed by an earlier action
        // Clips that left run their unload handlers and nothing more.
        if (q.clipSerial && q.event != kClipUnload && (!ctx_.leaving.empty() || !ctx_.unloading.empty()) &&
            Left(*ctx_.FindObject(q.clipSerial)))
            continue;
        if (q.initFor) {
            const MovieClip* from = ctx_.FindClip(q.clipSerial);
            if (!from || !from->Assets().initDone.insert(q.initFor).second) continue;
        }
        if (q.event) {
            if (RunEvent(q)) asPlayed_ = false;
        } else {
            asPlayed_ = false;
            vm_.RunBlock(*q.block, q.clipSerial);
        }
    }
}

std::vector<HostCall> Timeline::RunActions(ActionQueue& queue, bool timers) {
    std::vector<HostCall> calls;
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    scriptHost_.PassWarnings();
    bind::SyncTextVariables(vm_);  // fields placed since give their variables first
    size_t next = 0;
    RunQueued(queue, next);
    if (timers) {
        vm_.RunTimers();
        bind::UpdateSounds(vm_);
        RunQueued(queue, next);
    }
    bind::SyncTextVariables(vm_);
    vm_.EndActionPass();
    scriptHost_.PassWarnings();
    scriptHost_.Begin(nullptr, nullptr);
    queue.clear();
    ctx_.leaving.clear();  // their unload handlers ran
    if (!ctx_.retired.empty()) {  // unloaded movies: their blocks' programs go first
        vm_.ForgetPrograms();
        ctx_.retired.clear();
    }
    vm_.ForgetClips([this](avm1::ClipId id) { return ctx_.FindObject(id) != nullptr; });
    vm_.CollectIfDue();  // garbage made by event handlers
    return calls;
}

std::vector<std::string> Timeline::TakeScriptErrors() {
    const std::vector<std::string>& all = vm_.Errors();
    std::vector<std::string> fresh(all.begin() + long(std::min(errorsTaken_, all.size())), all.end());
    errorsTaken_ = all.size();
    return fresh;
}

std::vector<std::string> Timeline::TakeSoundErrors() {
    std::vector<std::string> fresh;
    fresh.swap(soundErrors_);
    return fresh;
}

void Timeline::Render(RenderBackend& backend, const Matrix& view, const std::function<void()>& above) const {
    backend.BeginFrame(Background());
    RenderLayer(backend, view);
    if (above) above();
    RenderFocusRect(backend, view);
    backend.EndFrame();
}

MovieClip& Timeline::StageLayer() {
    if (!stageLayer_) {
        stageLayer_ = std::make_unique<MovieClip>(ctx_, EmptyTimeline(), 1);
        stageLayer_->Start(nullptr);
    }
    return *stageLayer_;
}

void Timeline::RenderLayer(RenderBackend& backend, const Matrix& view) const {
    backend.SetBitmaps(&bitmaps_);
    RenderContext rc{backend};
    rc.filterScale = {std::abs(view.a), std::abs(view.d)};
    rc.scalingGrids = &ctx_.movie.scalingGrids;
    rc.bitmaps = &bitmaps_;
    rc.objects = &ctx_;
    rc.view = view;
    root_->Render(rc, view, ColorTransform());  // its drawing, then its children
    for (const auto& level : levels_) level.second->Render(rc, view, ColorTransform());
    if (stageLayer_) stageLayer_->Render(rc, view, ColorTransform());
}

}  // namespace swf
