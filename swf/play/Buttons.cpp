// Button tracking: which button is under the pointer, and each button's
// phase (Idle, OverUp, OverDown, OutDown) with the condition that every
// transition raises (DefineButton2's flags; DefineButton's actions are
// stored as OverDownToOverUp, the release). Only the topmost button under
// the pointer counts. A button's hit area is the shapes of its hit-state
// records; sprites in a hit state do not count yet.
#include "swf/play/Timeline.h"

namespace swf {

namespace {

template <typename F>
void WalkButtons(DisplayList& list, const Matrix& parent, Clip* owner, F&& visit) {
    for (auto& entry : list) {
        DisplayObject& obj = entry.second;
        const Matrix m = parent.Concat(obj.matrix);
        if (obj.kind == DisplayKind::Button) visit(obj, owner, m);
        if (obj.clip) WalkButtons(obj.clip->List(), m, obj.clip.get(), visit);
    }
}

bool HitsButton(const Movie& movie, const DisplayObject& button, const Matrix& m, Point point) {
    if (!button.character) return false;
    const auto& def = static_cast<const ButtonCharacter&>(*button.character);
    for (const ButtonRecord& rec : def.records) {
        if (!(rec.states & kButtonHit)) continue;
        const Character* c = movie.Find(rec.characterId);
        if (c && c->kind == CharacterKind::Shape &&
            ShapeHitTest(static_cast<const ShapeCharacter&>(*c).shape, m.Concat(rec.matrix), point))
            return true;
    }
    return false;
}

uint8_t DrawnState(ButtonPhase phase) {
    switch (phase) {
    case ButtonPhase::Idle: return kButtonUp;
    case ButtonPhase::OverUp:
    case ButtonPhase::OutDown: return kButtonOver;
    case ButtonPhase::OverDown: return kButtonDown;
    }
    return kButtonUp;
}

}  // namespace

Timeline::ButtonRef Timeline::FindButton(uint32_t serial) {
    ButtonRef ref;
    if (serial == 0) return ref;
    WalkButtons(root_->List(), Matrix(), root_.get(), [&](DisplayObject& obj, Clip* owner, const Matrix&) {
        if (obj.serial == serial) ref = {&obj, owner};
    });
    return ref;
}

uint32_t Timeline::ButtonAt(Point point, const Matrix& view) {
    uint32_t hit = 0;  // the last hit in drawing order is the topmost
    WalkButtons(root_->List(), view, root_.get(), [&](DisplayObject& obj, Clip*, const Matrix& m) {
        if (HitsButton(ctx_.movie, obj, m, point)) hit = obj.serial;
    });
    return hit;
}

void Timeline::SetPhase(ButtonRef ref, ButtonPhase phase, uint16_t condition, ActionQueue& queue) {
    DisplayObject& button = *ref.object;
    const bool redraw = DrawnState(button.phase) != DrawnState(phase);
    button.phase = phase;
    asPlayed_ = false;
    if (redraw) BuildButtonChildren(ctx_, button, ref.parent->Nesting() + 1);
    if (!button.character) return;
    for (const ButtonAction& a : static_cast<const ButtonCharacter&>(*button.character).actions)
        if (a.conditions & condition) queue.push_back({ref.parent->Serial(), &a.actions});
}

void Timeline::TrackEnterLeave(uint32_t hit, ActionQueue& queue) {
    if (hit == overSerial_) return;
    ButtonRef left = FindButton(overSerial_);
    if (left.object) {
        const bool menu = static_cast<const ButtonCharacter&>(*left.object->character).trackAsMenu;
        if (left.object->phase == ButtonPhase::OverDown)
            SetPhase(left, menu ? ButtonPhase::Idle : ButtonPhase::OutDown,
                     menu ? kCondOverDownToIdle : kCondOverDownToOutDown, queue);
        else if (left.object->phase == ButtonPhase::OverUp)
            SetPhase(left, ButtonPhase::Idle, kCondOverUpToIdle, queue);
    }
    ButtonRef entered = FindButton(hit);
    if (entered.object) {
        const bool menu = static_cast<const ButtonCharacter&>(*entered.object->character).trackAsMenu;
        if (entered.object->phase == ButtonPhase::OutDown)
            SetPhase(entered, ButtonPhase::OverDown, kCondOutDownToOverDown, queue);
        else if (entered.object->phase == ButtonPhase::Idle && !pointerDown_)
            SetPhase(entered, ButtonPhase::OverUp, kCondIdleToOverUp, queue);
        else if (entered.object->phase == ButtonPhase::Idle && menu) {
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
        if (over.object && over.object->phase == ButtonPhase::OverUp) {
            SetPhase(over, ButtonPhase::OverDown, kCondOverUpToOverDown, queue);
            pressedSerial_ = overSerial_;
        }
    } else if (event == PointerEvent::Up && pointerDown_) {
        pointerDown_ = false;
        ButtonRef pressed = FindButton(pressedSerial_);
        if (pressed.object && pressed.object->phase == ButtonPhase::OverDown)
            SetPhase(pressed, ButtonPhase::OverUp, kCondOverDownToOverUp, queue);
        else if (pressed.object && pressed.object->phase == ButtonPhase::OutDown)
            SetPhase(pressed, ButtonPhase::Idle, kCondOutDownToIdle, queue);
        pressedSerial_ = 0;
        ButtonRef over = FindButton(overSerial_);
        if (over.object && over.object->phase == ButtonPhase::Idle)
            SetPhase(over, ButtonPhase::OverUp, kCondIdleToOverUp, queue);
    }
    return RunActions(queue);
}

bool Timeline::PointerOverButton() const {
    return overSerial_ != 0 && const_cast<Timeline*>(this)->FindButton(overSerial_).object != nullptr;
}

}  // namespace swf
