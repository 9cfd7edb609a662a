// The pointer, the wheel and keys for ActionScript 3: mouse events to the
// interactive object under the pointer (over/out and roll events as it
// moves between objects), keyboard events to the focus, and Tab moving it.
#include <algorithm>

#include "swf/avm2/Machine.h"
#include "swf/classes/FocusOrder.h"
#include "swf/display/ClipGeometry.h"
#include "swf/display/TextObjects.h"
#include "swf/host/KeyCodes.h"
#include "swf/play/Scripts3Host.h"

namespace swf {

namespace {

constexpr int kMaxPickDepth = 64;

avm2::DispatcherObject* ScriptOf(Scripts3::Host& h, const DisplayObject& obj) {
    avm2::Value v = h.Wrap(obj.serial);
    return v.IsObject() && v.o->kind == avm2::ObjKind::Display ? static_cast<avm2::DispatcherObject*>(v.o) : nullptr;
}

// A SimpleButton made by script shows its state as a child, which the
// pointer never reaches on its own.
bool ScriptButton(Scripts3::Host& h, const avm2::DispatcherObject* d) {
    avm2::ClassObject* button = h.Vm().FindClass("flash.display.SimpleButton");
    return d && button && d->cls && d->cls->IsSubclassOf(button);
}

bool ScriptInteractive(Scripts3::Host& h, const avm2::DispatcherObject* d) {
    avm2::ClassObject* interactive = h.Vm().FindClass("flash.display.InteractiveObject");
    return !interactive || !d->cls || d->cls->IsSubclassOf(interactive);
}

// A field authored as static text that cannot be selected hears nothing.
bool Interactive(const DisplayObject& obj) {
    if (const EditTextObject* field = obj.AsEditText()) {
        return !(field->Field().Definition().wasStatic && !field->Field().Settings().selectable);
    }
    return obj.AsClip() || obj.AsButton();
}

// What a pick in a container found: nothing, an object, or something that
// hears nothing itself, which the nearest container that hears takes.
struct Picked {
    bool hit = false;
    DisplayObject* target = nullptr;  // null on a hit: the container's
};

// The object under `p` in `clip` that hears the pointer. In the root, what
// hears nothing lets the pointer through to what lies below it.
Picked Pick(Scripts3::Host& h, MovieClip& clip, const Matrix& toStage, Point p, int depth, bool root = false) {
    if (depth > kMaxPickDepth) return {};
    const DisplayList& list = clip.List();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        DisplayObject& obj = *it->second;
        if (!obj.visible || obj.clipDepth != 0 || ScriptMaskInUse(h.Context(), obj)) continue;
        const Matrix m = toStage.Concat(obj.matrix);
        avm2::DispatcherObject* d = ScriptOf(h, obj);
        Picked found;
        if (MovieClip* c = obj.AsClip()) {
            found = Pick(h, *c, m, p, depth + 1);
            // A sprite's own drawing lies under its children and is the sprite's.
            if (!found.hit && c->DrawingHit(m, p)) found.hit = true;
            if (!found.hit || !InsideMasks(h.Context(), list, it->first, toStage, p)) continue;
            // A script-made Shape is drawn by a clip but hears nothing itself.
            if (d && !ScriptInteractive(h, d)) found.target = nullptr;
            else if (d && (!d->mouseChildren || ScriptButton(h, d))) found.target = c;
            else if (!found.target) found.target = c;
            if (found.target == c && d && !d->mouseEnabled) found.target = nullptr;
        } else {
            if (!obj.HitTest(m, p) || !InsideMasks(h.Context(), list, it->first, toStage, p)) continue;
            if (Interactive(obj) && d && !d->mouseEnabled) continue;
            found.hit = true;
            if (Interactive(obj)) found.target = &obj;
        }
        if (root && !found.target) continue;
        return found;
    }
    return {};
}

// What Tab may visit under `clip`, in tree order.
void Tabbable(Scripts3::Host& h, MovieClip& clip, std::vector<Focusable>& out, std::vector<uint32_t>& serials,
              int depth) {
    if (depth > kMaxPickDepth) return;
    for (auto& [d, child] : clip.List()) {
        DisplayObject& obj = *child;
        if (!obj.visible || obj.clipDepth != 0) continue;
        avm2::DispatcherObject* so = ScriptOf(h, obj);
        EditTextObject* field = obj.AsEditText();
        MovieClip* c = obj.AsClip();
        if (!so || (!c && !obj.AsButton() && !field)) continue;
        // Only fields that take typing are visited, whatever their tabEnabled.
        if (field && !field->Field().Settings().input) continue;
        Focusable f;
        f.id = int(out.size());
        f.kind = obj.AsButton() ? FocusKind::Button : field && field->Field().Settings().input ? FocusKind::InputText
                                                                                                : FocusKind::Clip;
        if (ScriptButton(h, so)) f.kind = FocusKind::Button;
        if (so->tabIndex >= 0) f.tabIndex = so->tabIndex;
        if (so->tabEnabled >= 0) f.tabEnabled = so->tabEnabled != 0;
        else if (c && so->buttonMode) f.tabEnabled = true;
        bool any = false;
        const Matrix toStage = ToStage(obj);
        obj.AddBounds(toStage, f.bounds, any);
        // What shows nothing is placed by its origin.
        if (!any) {
            const Point at = toStage.Apply(Point{0, 0});
            f.bounds = Rect{at.x, at.x, at.y, at.y};
        }
        out.push_back(f);
        serials.push_back(obj.serial);
        if (c && so->tabChildren && !ScriptButton(h, so)) Tabbable(h, *c, out, serials, depth + 1);
    }
}

}  // namespace

// Tab moves the focus on, Shift+Tab back, unless the object losing it
// cancels its keyFocusChange.
void Scripts3::TabFocus(bool backwards) {
    avm2::Machine& m = *machine_;
    Host& h = *host_;
    DisplayObject* root = h.Object(h.Root());
    avm2::DispatcherObject* stage = avm2::AsDisplay(m, h.Stage());
    if (!root || !root->AsClip()) return;
    std::vector<Focusable> objects;
    std::vector<uint32_t> serials;
    avm2::DispatcherObject* rootScript = ScriptOf(h, *root);
    if (!rootScript || rootScript->tabChildren) Tabbable(h, *root->AsClip(), objects, serials, 0);
    Tabbable(h, h.StageClip(), objects, serials, 0);
    const std::vector<int> order = TabOrder(objects);
    avm2::DispatcherObject* current = avm2::AsDisplay(m, h.focus);
    int at = -1;
    for (size_t i = 0; current && i < serials.size(); ++i)
        if (serials[i] == current->serial) at = int(i);
    const int next = NextInTabOrder(order, at, backwards);
    if (next < 0) return;
    avm2::Value to = h.Wrap(serials[size_t(next)]);
    avm2::TempRoot keep(m, to);
    avm2::DispatcherObject* from = current ? current : stage;
    avm2::ClassObject* cls = m.FindClass("flash.events.FocusEvent");
    if (from && cls) {
        avm2::Value args[6] = {avm2::Value::Str(m.Intern("keyFocusChange")), avm2::Value::Bool(true),
                               avm2::Value::Bool(true), to, avm2::Value::Bool(backwards), avm2::Value::Uint(kKeyTab)};
        avm2::Value e = m.Construct(avm2::Value::Obj(cls), args, 6);
        avm2::TempRoot keepEvent(m, e);
        if (!avm2::DispatchEvent(m, from, static_cast<avm2::EventObject*>(e.o))) return;
    }
    // Focus events carry no key, even when Tab moved it.
    avm2::MoveFocus(m, to, 0);
}

void Scripts3::Pointer(int event, Point stage, bool primary) {
    if (!machine_) return;
    avm2::Machine& m = *machine_;
    Host& h = *host_;
    h.pointerX = stage.x / double(kTwipsPerPixel);
    h.pointerY = stage.y / double(kTwipsPerPixel);
    DisplayObject* root = h.Object(h.Root());
    if (!root || !root->AsClip()) return;
    // What scripts put on the stage lies above the root; a shape there
    // that hears nothing stands for the stage.
    Picked under = Pick(h, h.StageClip(), Matrix(), stage, 0);
    if (!under.hit) under = Pick(h, *root->AsClip(), root->matrix, stage, 0, true);
    const uint32_t target = under.target ? under.target->serial : 0;
    m.Entry([&] {
        if (target != overSerial_) RollBetween(overSerial_, target);
        overSerial_ = target;
        if (!primary) return;
        if (event == kPointerMove) Mouse(target, "mouseMove", avm2::Value::Null());
        if (event == kPointerDown) {
            pressed_ = true;
            downSerial_ = target;
            MouseFocus(target);
            Mouse(target, "mouseDown", avm2::Value::Null());
        }
        if (event == kPointerUp && pressed_) {
            pressed_ = false;
            Mouse(target, "mouseUp", avm2::Value::Null());
            if (target == downSerial_) Mouse(target, "click", avm2::Value::Null());
        }
    });
}

// A press offers the focus to what it lands on: the object losing it (else
// the stage) hears mouseFocusChange first and may refuse; what cannot take
// the focus leaves none, and what has it keeps it quietly.
void Scripts3::MouseFocus(uint32_t target) {
    avm2::Machine& m = *machine_;
    Host& h = *host_;
    avm2::Value to = target ? TargetOf(target) : avm2::Value::Null();
    avm2::TempRoot keepTo(m, to);
    avm2::DispatcherObject* d = avm2::AsDisplay(m, to);
    if (d && d->isStage) d = nullptr, to = avm2::Value::Null();
    if (!d && !h.focus.IsObject()) return;
    if (d && h.focus.IsObject() && h.focus.o == d) return;  // it has it already
    avm2::DispatcherObject* from = avm2::AsDisplay(m, h.focus.IsObject() ? h.focus : h.Stage());
    avm2::ClassObject* cls = m.FindClass("flash.events.FocusEvent");
    if (from && cls) {
        avm2::Value args[6] = {avm2::Value::Str(m.Intern("mouseFocusChange")), avm2::Value::Bool(true),
                               avm2::Value::Bool(true), to, avm2::Value::Bool(shiftDown_), avm2::Value::Uint(0)};
        avm2::Value e = m.Construct(avm2::Value::Obj(cls), args, 6);
        avm2::TempRoot keepEvent(m, e);
        if (!avm2::DispatchEvent(m, from, static_cast<avm2::EventObject*>(e.o))) return;
    }
    DisplayObject* obj = target ? h.Object(target) : nullptr;
    EditTextObject* field = obj ? obj->AsEditText() : nullptr;
    const bool takes = d && (avm2::TabEnabled(m, d) || (field && field->Field().Settings().input));
    avm2::MoveFocus(m, takes ? to : avm2::Value::Null(), 0);
}

bool Scripts3::PointerOverButton() const {
    if (!machine_) return false;
    // A cursor the movie chose holds everywhere; "auto" follows what is under it.
    const std::string& chosen = machine_->mouseCursor;
    if (chosen == "hand" || chosen == "button") return true;
    if (chosen != "auto" || !overSerial_) return false;
    int steps = 0;
    for (DisplayObject* o = host_->Object(overSerial_); o && steps < kMaxPickDepth; o = o->parent, ++steps) {
        avm2::DispatcherObject* d = ScriptOf(*host_, *o);
        if (d && (o->AsButton() || d->buttonMode || ScriptButton(*host_, d))) return d->useHandCursor;
    }
    return false;
}

bool Scripts3::CursorHidden() const { return machine_ && machine_->mouseHidden; }

void Scripts3::Wheel(int lines) {
    if (!machine_) return;
    machine_->Entry([&] { Mouse(overSerial_, "mouseWheel", avm2::Value::Null(), lines); });
}

avm2::Value Scripts3::TargetOf(uint32_t serial) {
    return serial ? host_->Wrap(serial) : host_->Stage();
}

void Scripts3::Mouse(uint32_t serial, const char* type, const avm2::Value& related, int delta) {
    avm2::Machine& m = *machine_;
    avm2::Value target = TargetOf(serial);
    avm2::DispatcherObject* d = avm2::AsDisplay(m, target);
    avm2::ClassObject* cls = m.FindClass("flash.events.MouseEvent");
    if (!d || !cls) return;
    double x = host_->pointerX, y = host_->pointerY;
    if (serial) host_->ToLocalPoint(serial, x, y);
    const bool rolls = std::string(type) == "rollOver" || std::string(type) == "rollOut";
    avm2::Value args[11] = {avm2::Value::Str(m.Intern(type)), avm2::Value::Bool(!rolls), avm2::Value::Bool(false),
                            avm2::Value::Number(x), avm2::Value::Number(y), related,
                            avm2::Value::Bool(false), avm2::Value::Bool(false), avm2::Value::Bool(false),
                            avm2::Value::Bool(pressed_), avm2::Value::Int(delta)};
    avm2::Value e = m.Construct(avm2::Value::Obj(cls), args, 11);
    avm2::TempRoot keep(m, e);
    avm2::DispatchEvent(m, d, static_cast<avm2::EventObject*>(e.o));
}

// The objects from `serial` up to the stage, nearest first.
std::vector<uint32_t> Scripts3::Chain(uint32_t serial) {
    std::vector<uint32_t> out;
    const uint32_t stage = host_->StageSerial();
    for (uint32_t s = serial; s && s != stage && out.size() < size_t(kMaxPickDepth); s = host_->Parent(s))
        out.push_back(s);
    return out;
}

void Scripts3::RollBetween(uint32_t from, uint32_t to) {
    avm2::Value fromV = from ? TargetOf(from) : avm2::Value::Null();
    avm2::Value toV = to ? TargetOf(to) : avm2::Value::Null();
    avm2::TempRoot keepFrom(*machine_, fromV), keepTo(*machine_, toV);
    const std::vector<uint32_t> left = Chain(from), entered = Chain(to);
    auto in = [](const std::vector<uint32_t>& v, uint32_t s) { return std::find(v.begin(), v.end(), s) != v.end(); };
    if (from) Mouse(from, "mouseOut", toV);
    for (uint32_t s : left)
        if (!in(entered, s)) Mouse(s, "rollOut", toV);
    // Entering: outer objects first.
    for (auto it = entered.rbegin(); it != entered.rend(); ++it)
        if (!in(left, *it)) Mouse(*it, "rollOver", fromV);
    if (to) Mouse(to, "mouseOver", fromV);
}

void Scripts3::FocusLost() {
    if (!machine_) return;
    avm2::Machine& m = *machine_;
    m.Entry([&] { avm2::MoveFocus(m, avm2::Value::Null(), 0); });
}

void Scripts3::Key(bool down, int keyCode, int charCode) {
    if (!machine_) return;
    avm2::Machine& m = *machine_;
    m.Entry([&] {
        avm2::Value target = host_->focus.IsObject() ? host_->focus : host_->Stage();
        avm2::DispatcherObject* d = avm2::AsDisplay(m, target);
        avm2::ClassObject* cls = m.FindClass("flash.events.KeyboardEvent");
        if (!d || !cls) return;
        avm2::Value args[9] = {avm2::Value::Str(m.Intern(down ? "keyDown" : "keyUp")), avm2::Value::Bool(true),
                               avm2::Value::Bool(false), avm2::Value::Uint(uint32_t(charCode)),
                               avm2::Value::Uint(uint32_t(keyCode)), avm2::Value::Uint(0),
                               avm2::Value::Bool(false), avm2::Value::Bool(false), avm2::Value::Bool(false)};
        avm2::Value e = m.Construct(avm2::Value::Obj(cls), args, 9);
        avm2::TempRoot keep(m, e);
        avm2::DispatchEvent(m, d, static_cast<avm2::EventObject*>(e.o));
        if (keyCode == kKeyShift) shiftDown_ = down;
        if (down && keyCode == kKeyTab) TabFocus(shiftDown_);
    });
}

}  // namespace swf
