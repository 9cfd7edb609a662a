#include "swf/play/Timeline.h"

#include <algorithm>

namespace swf {

Timeline::Timeline(const Movie& movie, std::shared_ptr<FontProvider> fonts) : fonts_(movie), ctx_(movie) {
    fonts_.SetProvider(std::move(fonts));
    ctx_.fonts = &fonts_;
    root_ = std::make_unique<MovieClip>(ctx_, movie.root, 0);
}

Timeline::~Timeline() = default;

std::vector<HostCall> Timeline::Start() {
    ctx_.BeginHostCall();
    ActionQueue queue;
    root_->Start(&queue);
    return RunActions(queue);
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
    ActionQueue queue;
    const int before = root_->CurrentFrame();
    root_->Tick(&queue);
    // A stopped root or a loop ticks sprites past what a seek would show.
    if (root_->CurrentFrame() <= before) asPlayed_ = false;
    return RunActions(queue);
}

std::vector<HostCall> Timeline::RunActions(ActionQueue& queue) {
    if (!queue.empty()) asPlayed_ = false;
    std::vector<HostCall> calls;
    ActionRunner runner(ctx_, *root_, calls);
    runner.RunQueue(queue);
    return calls;
}

void Timeline::Render(RenderBackend& backend, const Matrix& view) const {
    backend.BeginFrame(Background());
    RenderContext rc{backend};
    RenderChildren(rc, root_->List(), view, ColorTransform());
    backend.EndFrame();
}

}  // namespace swf
