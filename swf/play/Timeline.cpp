#include "swf/play/Timeline.h"

#include <algorithm>

namespace swf {

Timeline::Timeline(const Movie& movie) : ctx_(movie) {
    root_ = std::make_unique<Clip>(ctx_, movie.root, 0);
}

std::vector<HostCall> Timeline::Start() {
    ActionQueue queue;
    root_->Start(&queue);
    return RunActions(queue);
}

Rgba Timeline::Background() const {
    const auto& frames = root_->Data().frames;
    return frames[static_cast<size_t>(root_->CurrentFrame())].background;
}

void Timeline::Seek(int frame) {
    ctx_.silentWorkLeft = PlayContext::kSilentWorkBudget;
    const int current = root_->CurrentFrame();
    frame = std::clamp(frame, 0, root_->TotalFrames() - 1);
    root_->Goto(frame, frame > current ? frame - current : 0, nullptr);
}

std::vector<HostCall> Timeline::Tick() {
    ctx_.silentWorkLeft = PlayContext::kSilentWorkBudget;
    ActionQueue queue;
    root_->Tick(&queue);
    return RunActions(queue);
}

std::vector<HostCall> Timeline::RunActions(ActionQueue& queue) {
    std::vector<HostCall> calls;
    ActionRunner runner(ctx_, *root_, calls);
    runner.RunQueue(queue);
    return calls;
}

namespace {

void DrawList(RenderBackend& backend, const DisplayList& list, const Matrix& parent,
              const ColorTransform& parentCx) {
    for (const auto& entry : list) {
        const DisplayObject& obj = entry.second;
        if (obj.clipDepth != 0) continue;  // a mask: drawn as a clip by a later step
        const Matrix m = parent.Concat(obj.matrix);
        const ColorTransform cx = parentCx.Concat(obj.cxform);
        switch (obj.kind) {
        case DisplayKind::Shape:
            if (obj.character)
                backend.DrawShape(static_cast<const ShapeCharacter&>(*obj.character).shape, m, cx);
            break;
        case DisplayKind::Sprite:
            if (obj.clip) DrawList(backend, obj.clip->List(), m, cx);
            break;
        case DisplayKind::Button: DrawList(backend, obj.buttonChildren, m, cx); break;
        }
    }
}

}  // namespace

void Timeline::Render(RenderBackend& backend, const Matrix& view) const {
    backend.BeginFrame(Background());
    DrawList(backend, root_->List(), view, ColorTransform());
    backend.EndFrame();
}

}  // namespace swf
