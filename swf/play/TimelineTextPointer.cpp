// Text fields under the pointer: a press focuses a selectable field and
// puts its caret where it landed (a second press there soon after selects
// the word, timed by the player's clock so runs repeat), dragging selects,
// the wheel scrolls the field under the pointer, and the focused field's
// caret blinks on the same clock.
#include "swf/bind/Focus.h"
#include "swf/bind/TextEvents.h"
#include "swf/display/ClipGeometry.h"
#include "swf/display/TextObjects.h"
#include "swf/play/Timeline.h"

namespace swf {

namespace {

constexpr double kDoubleClickMs = 500;
constexpr double kBlinkMs = 500;  // on, then off, as long each

void FieldsUnder(const PlayContext& ctx, DisplayList& list, const Matrix& parent, Point p, EditTextObject*& hit,
                 int nesting) {
    if (nesting > PlayContext::kMaxNesting) return;
    for (auto& entry : list) {
        DisplayObject& obj = *entry.second;
        if (!obj.visible || obj.clipDepth != 0 || ScriptMaskInUse(ctx, obj)) continue;
        const Matrix m = parent.Concat(obj.matrix);
        if (obj.AsEditText() && obj.HitTest(m, p)) hit = obj.AsEditText();
        if (MovieClip* clip = obj.AsClip()) FieldsUnder(ctx, clip->List(), m, p, hit, nesting + 1);
    }
}

}  // namespace

EditTextObject* Timeline::FieldAt() {
    EditTextObject* hit = nullptr;  // the last in drawing order is on top
    FieldsUnder(ctx_, root_->List(), view_, pointer_, hit, 0);
    return hit;
}

size_t Timeline::IndexUnderPointer(EditTextObject& field) {
    Matrix toLocal;
    if (!view_.Concat(ToStage(field)).Invert(&toLocal)) return field.Field().Caret();
    return field.Field().IndexAt(toLocal.Apply(pointer_));
}

void Timeline::FieldPointer(PointerEvent event, bool onButton) {
    if (event == PointerEvent::Up) {
        textDrag_ = 0;
        return;
    }
    if (event == PointerEvent::Move) {
        DisplayObject* o = ctx_.FindObject(textDrag_);
        if (!o || !pointerDown_ || !o->AsEditText()) return;
        auto& field = *o->AsEditText();
        field.Field().SetSelection(field.Field().Anchor(), IndexUnderPointer(field));
        return;
    }
    EditTextObject* field = onButton ? nullptr : FieldAt();
    if (!field || !field->Field().Settings().selectable) {
        // A press anywhere else, buttons included, takes the focus from a field.
        const DisplayObject* focused = bind::Focused(vm_);
        if (focused && focused->AsEditText()) bind::SetFocus(vm_, nullptr);
        return;
    }
    bind::SetFocus(vm_, field);
    if (ctx_.FindObject(field->serial) != field) return;  // a focus handler removed it
    EditTextField& f = field->Field();
    const size_t at = IndexUnderPointer(*field);
    const double now = scriptHost_.Now();
    const bool twice = lastPress_.serial == field->serial && lastPress_.index == at && now - lastPress_.ms < kDoubleClickMs;
    if (twice) {
        const auto word = f.WordAt(at);
        f.SetSelection(word.first, word.second);
        lastPress_ = {};
    } else {
        f.SetSelection(at, at);
        lastPress_ = {field->serial, at, now};
    }
    textDrag_ = twice ? 0 : field->serial;
    blinkFrom_ = scriptHost_.Now();
    f.SetCaretShown(true);
}

std::vector<HostCall> Timeline::Wheel(int lines) {
    EditTextObject* field = FieldAt();
    if (!field || lines == 0 || !field->Field().Settings().mouseWheel) return {};
    ctx_.BeginHostCall();
    ActionQueue queue;
    std::vector<HostCall> calls;
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    try {
        bind::ScrollWatch watch(vm_, field);
        field->Field().SetScroll(field->Field().Scroll() - lines);
        watch.Tell();
    } catch (const avm1::ScriptAbort& a) {
        vm_.Report("onScroller stopped: " + a.why);
    } catch (const avm1::ScriptThrow& e) {
        vm_.Report("onScroller threw " + vm_.ToString(e.value));
    }
    scriptHost_.Begin(nullptr, nullptr);
    std::vector<HostCall> more = RunActions(queue);
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

void Timeline::BlinkCaret() {
    DisplayObject* o = ctx_.FindObject(ctx_.focus);
    if (!o || !o->AsEditText()) return;
    const double since = scriptHost_.Now() - blinkFrom_;
    o->AsEditText()->Field().SetCaretShown(since < 0 || int64_t(since / kBlinkMs) % 2 == 0);
}

}  // namespace swf
