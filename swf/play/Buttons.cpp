// Button tracking: which button is under the pointer, and each button's
// phase (Idle, OverUp, OverDown, OutDown) with the condition that every
// transition raises (DefineButton2's flags; DefineButton's actions are
// stored as OverDownToOverUp, the release). Only the topmost button under
// the pointer counts. A button's hit area is the shapes of its hit-state
// records, cut by the masks around it; sprites in a hit state do not count
// yet.
#include <algorithm>

#include "swf/play/Timeline.h"

namespace swf {

namespace {

// A mask around a button: the button is hit only where every one is.
struct MaskRef {
    const DisplayObject* mask;
    Matrix matrix;
    int32_t clipDepth;
};

template <typename F>
void WalkButtons(DisplayList& list, const Matrix& parent, MovieClip* owner, std::vector<MaskRef>& masks,
                 F&& visit) {
    const size_t outer = masks.size();
    for (auto& entry : list) {
        DisplayObject& obj = *entry.second;
        // Mask ranges may cross, so any open one may end here.
        masks.erase(std::remove_if(masks.begin() + outer, masks.end(),
                                   [&](const MaskRef& r) { return entry.first > r.clipDepth; }),
                    masks.end());
        const Matrix m = parent.Concat(obj.matrix);
        if (obj.clipDepth != 0) {
            masks.push_back({&obj, m, obj.clipDepth});
            continue;
        }
        if (ButtonObject* button = obj.AsButton()) visit(*button, owner, m, masks);
        if (MovieClip* clip = obj.AsClip()) WalkButtons(clip->List(), m, clip, masks, visit);
    }
    masks.resize(outer);
}

template <typename F>
void WalkButtons(MovieClip& root, const Matrix& view, F&& visit) {
    std::vector<MaskRef> masks;
    WalkButtons(root.List(), view, &root, masks, visit);
}

bool InsideMasks(const std::vector<MaskRef>& masks, Point point) {
    for (const MaskRef& m : masks)
        if (!m.mask->HitTest(m.matrix, point)) return false;
    return true;
}

const ButtonCharacter& Def(const ButtonObject* button) { return button->Definition(); }

}  // namespace

Timeline::ButtonRef Timeline::FindButton(uint32_t serial) {
    ButtonRef ref;
    if (serial == 0) return ref;
    WalkButtons(*root_, Matrix(), [&](ButtonObject& obj, MovieClip* owner, const Matrix&, const auto&) {
        if (obj.serial == serial) ref = {&obj, owner};
    });
    return ref;
}

uint32_t Timeline::ButtonAt(Point point, const Matrix& view) {
    uint32_t hit = 0;  // the last hit in drawing order is the topmost
    WalkButtons(*root_, view, [&](ButtonObject& obj, MovieClip*, const Matrix& m, const std::vector<MaskRef>& masks) {
        if (obj.HitTest(m, point) && InsideMasks(masks, point)) hit = obj.serial;
    });
    return hit;
}

void Timeline::SetPhase(ButtonRef ref, ButtonPhase phase, uint16_t condition, ActionQueue& queue) {
    ButtonObject& button = *ref.object;
    button.SetPhase(ctx_, phase);
    asPlayed_ = false;
    for (const ButtonAction& a : button.Definition().actions)
        if (a.conditions & condition) queue.push_back({ref.parent->Serial(), &a.actions});
}

void Timeline::TrackEnterLeave(uint32_t hit, ActionQueue& queue) {
    if (hit == overSerial_) return;
    ButtonRef left = FindButton(overSerial_);
    if (left.object) {
        const bool menu = Def(left.object).trackAsMenu;
        if (left.object->Phase() == ButtonPhase::OverDown)
            SetPhase(left, menu ? ButtonPhase::Idle : ButtonPhase::OutDown,
                     menu ? kCondOverDownToIdle : kCondOverDownToOutDown, queue);
        else if (left.object->Phase() == ButtonPhase::OverUp)
            SetPhase(left, ButtonPhase::Idle, kCondOverUpToIdle, queue);
    }
    ButtonRef entered = FindButton(hit);
    if (entered.object) {
        const bool menu = Def(entered.object).trackAsMenu;
        if (entered.object->Phase() == ButtonPhase::OutDown)
            SetPhase(entered, ButtonPhase::OverDown, kCondOutDownToOverDown, queue);
        else if (entered.object->Phase() == ButtonPhase::Idle && !pointerDown_)
            SetPhase(entered, ButtonPhase::OverUp, kCondIdleToOverUp, queue);
        else if (entered.object->Phase() == ButtonPhase::Idle && menu) {
            SetPhase(entered, ButtonPhase::OverDown, kCondIdleToOverDown, queue);
            pressedSerial_ = hit;
        }
    }
    overSerial_ = hit;
}

std::vector<HostCall> Timeline::Pointer(PointerEvent event, Point point, const Matrix& view) {
    ctx_.BeginHostCall();
    ActionQueue queue;
    TrackEnterLeave(ButtonAt(point, view), queue);
    if (event == PointerEvent::Down && !pointerDown_) {
        pointerDown_ = true;
        ButtonRef over = FindButton(overSerial_);
        if (over.object && over.object->Phase() == ButtonPhase::OverUp) {
            SetPhase(over, ButtonPhase::OverDown, kCondOverUpToOverDown, queue);
            pressedSerial_ = overSerial_;
        }
    } else if (event == PointerEvent::Up && pointerDown_) {
        pointerDown_ = false;
        ButtonRef pressed = FindButton(pressedSerial_);
        if (pressed.object && pressed.object->Phase() == ButtonPhase::OverDown)
            SetPhase(pressed, ButtonPhase::OverUp, kCondOverDownToOverUp, queue);
        else if (pressed.object && pressed.object->Phase() == ButtonPhase::OutDown)
            SetPhase(pressed, ButtonPhase::Idle, kCondOutDownToIdle, queue);
        pressedSerial_ = 0;
        ButtonRef over = FindButton(overSerial_);
        if (over.object && over.object->Phase() == ButtonPhase::Idle)
            SetPhase(over, ButtonPhase::OverUp, kCondIdleToOverUp, queue);
    }
    return RunActions(queue);
}

std::vector<HostCall> Timeline::KeyPress(uint8_t code) {
    ctx_.BeginHostCall();
    ActionQueue queue;
    WalkButtons(*root_, Matrix(), [&](ButtonObject& obj, MovieClip* owner, const Matrix&, const auto&) {
        for (const ButtonAction& a : obj.Definition().actions)
            if ((a.conditions >> kCondKeyShift) == code) queue.push_back({owner->Serial(), &a.actions});
    });
    return RunActions(queue);
}

bool Timeline::PointerOverButton() const {
    return overSerial_ != 0 && const_cast<Timeline*>(this)->FindButton(overSerial_).object != nullptr;
}

}  // namespace swf
