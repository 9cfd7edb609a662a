// Button tracking: which button is under the pointer, and each button's
// phase (Idle, OverUp, OverDown, OutDown) with the condition that every
// transition raises (DefineButton2's flags; DefineButton's actions are
// stored as OverDownToOverUp, the release). Only the topmost button under
// the pointer counts. A button's hit area is the shapes of its hit-state
// records, cut by the masks around it; sprites in a hit state do not count
// yet. A clip's hitArea clip, when set, replaces its drawing as the area.
//
// Movie clips with button handlers (onPress, onRelease, ... as handler
// properties or onClipEvent handlers) act as buttons: their whole drawing
// is the hit area, what they hold is not tracked on its own, and each
// transition raises the clip's event. Buttons raise the same events for
// their handler properties after their own actions.
#include <algorithm>

#include "swf/display/ClipGeometry.h"
#include "swf/play/Timeline.h"
#include "swf/classes/FocusOrder.h"

namespace swf {

namespace {

// A mask around a button: the button is hit only where every one is.
struct MaskRef {
    const DisplayObject* mask;
    Matrix matrix;
    int32_t clipDepth;
};

constexpr uint32_t kButtonEvents = kClipPress | kClipRelease | kClipReleaseOutside | kClipRollOver |
                                   kClipRollOut | kClipDragOver | kClipDragOut;
const char* const kButtonHandlers[] = {"onPress", "onRelease", "onReleaseOutside", "onRollOver",
                                       "onRollOut", "onDragOver", "onDragOut"};

// What the walk needs besides the tree: scripted masks are found by serial
// and placed from the stage.
struct WalkScope {
    const PlayContext& ctx;
    const Matrix& view;
    bool hidden = false;  // walk invisible objects too (they still end a press)
};

template <typename IsButton, typename F>
void WalkButtons(const WalkScope& scope, DisplayList& list, const Matrix& parent, MovieClip* owner,
                 std::vector<MaskRef>& masks, IsButton& isButton, F&& visit) {
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
        if ((!obj.visible && !scope.hidden) || ScriptMaskInUse(scope.ctx, obj)) continue;
        const size_t before = masks.size();
        if (const DisplayObject* mask = ScriptMaskOf(scope.ctx, obj))
            masks.push_back({mask, scope.view.Concat(ToStage(*mask)), INT32_MAX});
        if (obj.AsButton()) visit(obj, owner, m, masks);
        if (MovieClip* clip = obj.AsClip()) {
            if (isButton(*clip)) visit(obj, owner, m, masks);
            else WalkButtons(scope, clip->List(), m, clip, masks, isButton, visit);
        }
        masks.resize(before);
    }
    masks.resize(outer);
}

bool InsideMasks(const std::vector<MaskRef>& masks, Point point) {
    for (const MaskRef& m : masks)
        if (!m.mask->HitTest(m.matrix, point)) return false;
    return true;
}

// The clip event of a button transition.
uint32_t EventOf(uint16_t condition) {
    switch (condition) {
    case kCondIdleToOverUp: return kClipRollOver;
    case kCondOverUpToIdle: return kClipRollOut;
    case kCondOverUpToOverDown: return kClipPress;
    case kCondOverDownToOverUp: return kClipRelease;
    case kCondOutDownToIdle: return kClipReleaseOutside;
    case kCondOutDownToOverDown:
    case kCondIdleToOverDown: return kClipDragOver;
    case kCondOverDownToOutDown:
    case kCondOverDownToIdle: return kClipDragOut;
    default: return 0;
    }
}

}  // namespace

bool Timeline::ActsAsButton(const MovieClip& clip) {
    if (clip.clipActions)
        for (const ClipEventAction& a : *clip.clipActions)
            if (a.events & kButtonEvents) return true;
    if (!vm_.HasClipObject(clip.serial)) return false;
    for (const char* name : kButtonHandlers)
        if (vm_.IsFunction(PlainMember(clip.serial, name))) return vm_.ToBool(PlainMember(clip.serial, "enabled"));
    return false;
}

template <typename F>
void Timeline::ForEachButton(F&& visit, bool hidden) {
    std::vector<MaskRef> masks;
    auto isButton = [this](const MovieClip& clip) { return ActsAsButton(clip); };
    auto each = [&](DisplayObject& obj, MovieClip* owner, const Matrix& m, const std::vector<MaskRef>& around) {
        visit(obj, owner, m, InsideMasks(around, pointer_));
    };
    WalkButtons({ctx_, view_, hidden}, root_->List(), view_, root_.get(), masks, isButton, each);
    // Higher levels lie above: their buttons come later, over those below.
    for (auto& [n, level] : levels_)
        if (level->visible || hidden)
            WalkButtons({ctx_, view_, hidden}, level->List(), view_.Concat(level->matrix), level.get(), masks, isButton,
                        each);
}

Timeline::ButtonRef Timeline::FindButton(uint32_t serial) {
    ButtonRef ref;
    if (serial == 0) return ref;
    ForEachButton([&](DisplayObject& obj, MovieClip* owner, const Matrix&, bool) {
        if (obj.serial == serial) ref = {&obj, owner};
    }, true);
    return ref;
}

const DisplayObject* Timeline::HitAreaOf(const DisplayObject& obj) {
    if (!obj.AsClip() || !vm_.HasClipObject(obj.serial)) return nullptr;
    const avm1::ClipId area = vm_.ClipOf(PlainMember(obj.serial, "hitArea"));
    return area && area != obj.serial ? ctx_.FindObject(area) : nullptr;
}

uint32_t Timeline::ButtonAt() {
    uint32_t hit = 0;  // the last hit in drawing order is the topmost
    ForEachButton([&](DisplayObject& obj, MovieClip*, const Matrix& m, bool insideMasks) {
        if (!insideMasks || !ButtonEnabled(obj)) return;
        // A hit area counts where it is, drawn or not.
        const DisplayObject* area = HitAreaOf(obj);
        if (area ? area->HitTest(view_.Concat(ToStage(*area)), pointer_) : obj.HitTest(m, pointer_))
            hit = obj.serial;
    });
    return hit;
}

ButtonPhase Timeline::PhaseOf(const ButtonRef& ref) const {
    if (ButtonObject* button = ref.object->AsButton()) return button->Phase();
    auto it = clipPhases_.find(ref.object->serial);
    return it == clipPhases_.end() ? ButtonPhase::Idle : it->second;
}

namespace {

// DefineButtonSound's four transitions, in its order; null for others.
const SoundStart* ButtonSoundFor(const ButtonSounds& sounds, uint16_t condition) {
    switch (condition) {
    case kCondOverUpToIdle: return &sounds.transitions[0];
    case kCondIdleToOverUp: return &sounds.transitions[1];
    case kCondOverUpToOverDown: return &sounds.transitions[2];
    case kCondOverDownToOverUp: return &sounds.transitions[3];
    default: return nullptr;
    }
}

}  // namespace

void Timeline::SetPhase(ButtonRef ref, ButtonPhase phase, uint16_t condition, ActionQueue& queue) {
    asPlayed_ = false;
    if (ButtonObject* button = ref.object->AsButton()) {
        button->SetPhase(ctx_, phase, &queue);
        if (const SoundStart* sound = ButtonSoundFor(button->Definition().sounds, condition))
            sounds_.ButtonSound(*button->Assets().movie, *sound, button->serial);
        for (const ButtonAction& a : button->Definition().actions)
            if (a.conditions & condition) queue.push_back({ref.parent->Serial(), &a.actions});
    } else if (phase == ButtonPhase::Idle) {
        clipPhases_.erase(ref.object->serial);
    } else {
        clipPhases_[ref.object->serial] = phase;
    }
    if (uint32_t event = EventOf(condition)) queue.push_back({ref.object->serial, nullptr, 0, event});
}

bool Timeline::TrackAsMenu(const ButtonRef& ref) {
    ButtonObject* button = ref.object->AsButton();
    return button ? button->Definition().trackAsMenu : vm_.ToBool(PlainMember(ref.object->serial, "trackAsMenu"));
}

bool Timeline::ButtonEnabled(const DisplayObject& obj) {
    if (!obj.AsButton() || !vm_.HasClipObject(obj.serial)) return true;
    return vm_.ToBool(PlainMember(obj.serial, "enabled"));
}

void Timeline::TrackEnterLeave(uint32_t hit, ActionQueue& queue) {
    if (hit == overSerial_) return;
    ButtonRef left = FindButton(overSerial_);
    // A disabled button is left quietly and keeps its state: enabled again
    // under the pointer, it does not roll over a second time.
    if (left.object && ButtonEnabled(*left.object)) {
        const bool menu = TrackAsMenu(left);
        if (PhaseOf(left) == ButtonPhase::OverDown)
            SetPhase(left, menu ? ButtonPhase::Idle : ButtonPhase::OutDown,
                     menu ? kCondOverDownToIdle : kCondOverDownToOutDown, queue);
        else if (PhaseOf(left) == ButtonPhase::OverUp)
            SetPhase(left, ButtonPhase::Idle, kCondOverUpToIdle, queue);
    }
    ButtonRef entered = FindButton(hit);
    if (entered.object) {
        const bool menu = TrackAsMenu(entered);
        if (PhaseOf(entered) == ButtonPhase::OutDown)
            SetPhase(entered, ButtonPhase::OverDown, kCondOutDownToOverDown, queue);
        else if (PhaseOf(entered) == ButtonPhase::Idle && !pointerDown_)
            SetPhase(entered, ButtonPhase::OverUp, kCondIdleToOverUp, queue);
        else if (PhaseOf(entered) == ButtonPhase::Idle && menu) {
            SetPhase(entered, ButtonPhase::OverDown, kCondIdleToOverDown, queue);
            pressedSerial_ = hit;
        }
    }
    overSerial_ = hit;
}

std::vector<HostCall> Timeline::Pointer(PointerEvent event, Point point, const Matrix& view, MouseButton button) {
    ctx_.BeginHostCall();
    if (PointerHidesFocusRect(ctx_.movie.header.version, event == PointerEvent::Down, button))
        ctx_.focusRectShown = false;
    if (event != PointerEvent::Move) {
        constexpr int kButtonKeys[] = {1, 2, 4};  // left, right, middle
        vm_.Runtime().keys.MouseButton(kButtonKeys[int(button)], event == PointerEvent::Down);
    }
    if (button != MouseButton::Left) event = PointerEvent::Move;
    ActionQueue queue;
    const Point lastPoint = pointer_;
    const bool seenBefore = pointerSeen_;
    view_ = view;
    pointer_ = point;
    pointerSeen_ = true;
    Matrix toStage;
    if (view.Invert(&toStage)) scriptHost_.SetPointer(toStage.Apply(point));
    scriptHost_.FollowDrag();
    // A move to where the pointer was leaves alone what Tab rolled over.
    const uint32_t found = ButtonAt();
    if (event != PointerEvent::Move || point != lastPoint || found != foundSerial_ || !seenBefore)
        TrackEnterLeave(found, queue);
    foundSerial_ = found;
    // Clips hear a press or release before any button or field does.
    std::vector<HostCall> calls;
    if (event != PointerEvent::Move) {
        QueueEvent(event == PointerEvent::Down ? kClipMouseDown : kClipMouseUp, queue);
        calls = RunActions(queue);
    }
    if (event == PointerEvent::Down && !pointerDown_) {
        pointerDown_ = true;
        ButtonRef over = FindButton(overSerial_);
        if (over.object && PhaseOf(over) == ButtonPhase::OverUp) {
            SetPhase(over, ButtonPhase::OverDown, kCondOverUpToOverDown, queue);
            pressedSerial_ = overSerial_;
        }
    } else if (event == PointerEvent::Up && pointerDown_) {
        pointerDown_ = false;
        ButtonRef pressed = FindButton(pressedSerial_);
        if (pressed.object && !ButtonEnabled(*pressed.object))
            SetPhase(pressed, ButtonPhase::Idle, 0, queue);  // released without an event
        else if (pressed.object && PhaseOf(pressed) == ButtonPhase::OverDown)
            SetPhase(pressed, ButtonPhase::OverUp, kCondOverDownToOverUp, queue);
        else if (pressed.object && PhaseOf(pressed) == ButtonPhase::OutDown)
            SetPhase(pressed, ButtonPhase::Idle, kCondOutDownToIdle, queue);
        pressedSerial_ = 0;
        ButtonRef over = FindButton(overSerial_);
        if (over.object && PhaseOf(over) == ButtonPhase::Idle)
            SetPhase(over, ButtonPhase::OverUp, kCondIdleToOverUp, queue);
    }
    // Fields take presses that no button took.
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    const uint32_t focusBefore = ctx_.focus;
    FieldPointer(event, overSerial_ != 0);
    scriptHost_.Begin(nullptr, nullptr);
    if (ctx_.focus != focusBefore) FocusMoved(ctx_.focus, queue);
    if (event == PointerEvent::Move) QueueEvent(kClipMouseMove, queue);
    std::vector<HostCall> more = RunActions(queue);
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

void Timeline::TrackPointer(ActionQueue& queue) {
    if (!pointerSeen_) return;
    const uint32_t found = ButtonAt();
    if (found != foundSerial_) TrackEnterLeave(found, queue);
    foundSerial_ = found;
}

void Timeline::FocusMoved(uint32_t serial, ActionQueue& queue) {
    ButtonRef left = FindButton(overSerial_);
    if (left.object && ButtonEnabled(*left.object)) {
        // One held down hears it but stays pressed: its release still comes.
        if (PhaseOf(left) == ButtonPhase::OverDown) {
            queue.push_back({overSerial_, nullptr, 0, kClipRollOut});
            return;
        }
        if (PhaseOf(left) == ButtonPhase::OverUp) SetPhase(left, ButtonPhase::Idle, kCondOverUpToIdle, queue);
    }
    overSerial_ = 0;
    if (serial && FindButton(serial).object) TrackEnterLeave(serial, queue);
}

std::vector<HostCall> Timeline::KeyPress(uint8_t code) {
    ctx_.BeginHostCall();
    ActionQueue queue;
    ForEachButton([&](DisplayObject& obj, MovieClip* owner, const Matrix&, bool) {
        if (ButtonObject* button = obj.AsButton())
            for (const ButtonAction& a : button->Definition().actions)
                if ((a.conditions >> kCondKeyShift) == code) queue.push_back({owner->Serial(), &a.actions});
    });
    // on(keyPress) handlers of clips use the same codes.
    QueueEvent(kClipKeyPress, queue, code);
    return RunActions(queue);
}

bool Timeline::PointerOverButton() const {
    Timeline& self = const_cast<Timeline&>(*this);
    ButtonRef over = self.FindButton(overSerial_);
    if (!over.object) return false;
    if (over.object->AsButton() && !self.vm_.HasClipObject(overSerial_)) return true;
    return self.vm_.ToBool(self.PlainMember(overSerial_, "useHandCursor")) &&
           self.vm_.ToBool(self.PlainMember(overSerial_, "enabled"));
}

}  // namespace swf
