// Keys that belong to the focus: Tab (and Shift+Tab) move it through the
// tab order, and while an input field has it, characters and editing keys
// change the field, which then tells its onChanged handler.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "swf/host/KeyCodes.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/TextEvents.h"
#include "swf/bind/Focus.h"
#include "swf/display/ClipGeometry.h"
#include "swf/display/TextObjects.h"
#include "swf/classes/FocusOrder.h"
#include "swf/text/FieldEditor.h"

namespace swf::bind {

namespace {

using avm1::Value;


bool Reachable(const DisplayObject* o) {
    for (; o; o = o->parent)
        if (!o->visible) return false;
    return true;
}

// Whether a clip around `o` (the root too) has tabChildren set false.
bool ChildrenSkipped(avm1::Vm& vm, const DisplayObject* o) {
    for (const DisplayObject* p = o->parent; p; p = p->parent) {
        const Value v = vm.GetMember(ValueOf(vm, p), "tabChildren");
        if (!v.IsUndefined() && !vm.ToBool(v)) return true;
    }
    return false;
}

std::vector<Focusable> Candidates(avm1::Vm& vm, std::vector<DisplayObject*>& objects) {
    ScriptHost& host = HostOf(vm);
    std::vector<Focusable> out;
    // In creation order: of objects at the same place, the first made is the one reached.
    std::vector<DisplayObject*> made;
    for (const auto& entry : host.Context().scriptables) made.push_back(entry.second);
    std::sort(made.begin(), made.end(), [](const DisplayObject* a, const DisplayObject* b) { return a->serial < b->serial; });
    for (DisplayObject* o : made) {
        if (o == host.Root() || ChildrenSkipped(vm, o)) continue;
        Focusable f;
        f.id = int(objects.size());
        if (o->AsButton()) {
            f.kind = FocusKind::Button;
        } else if (o->AsEditText()) {
            if (!o->AsEditText()->Field().Settings().input) continue;
            f.kind = FocusKind::InputText;
        } else {
            f.kind = FocusKind::Clip;
        }
        const Value self = ValueOf(vm, o);
        const Value index = vm.GetMember(self, "tabIndex");
        const Value enabled = vm.GetMember(self, "tabEnabled");
        // A field's unsigned index orders by its signed 32 bits; -1 is the
        // player's mark for no index.
        constexpr int32_t kNoTabIndex = -1;
        if (index.IsNumber() && std::isfinite(index.n) && avm1::ToInt32(index.n) != kNoTabIndex)
            f.tabIndex = avm1::ToInt32(index.n);
        if (!enabled.IsUndefined()) f.tabEnabled = vm.ToBool(enabled);
        for (const char* handler : {"onPress", "onRelease", "onRollOver"})
            f.hasButtonHandlers = f.hasButtonHandlers || vm.IsFunction(vm.GetMember(self, handler));
        f.reachable = Reachable(o);
        const GeomRect b = GetBounds(*o, host.Root());
        f.bounds = {int32_t(b.x * 20), int32_t(b.Right() * 20), int32_t(b.y * 20), int32_t(b.Bottom() * 20)};
        objects.push_back(o);
        out.push_back(f);
    }
    return out;
}

// Where Tab (Shift+Tab: `back`) moves the focus; null: nowhere.
DisplayObject* TabTarget(avm1::Vm& vm, bool back) {
    DisplayObject* focused = Focused(vm);
    std::vector<DisplayObject*> objects;
    const std::vector<Focusable> candidates = Candidates(vm, objects);
    int current = -1;
    for (size_t i = 0; i < objects.size(); ++i)
        if (objects[i] == focused) current = int(i);
    const int next = NextInTabOrder(TabOrder(candidates), current, back);
    return next < 0 ? nullptr : objects[size_t(next)];
}

}  // namespace

Value GetTabIndex(avm1::CallArgs& a) {
    const DisplayObject* o = ObjectOf(a);
    return o && o->tabIndex ? Value::Num(*o->tabIndex) : Value();
}

// Nothing clears it. A field wraps the number to 32 bits unsigned (NaN: 0);
// clips and buttons cut it to 32 bits signed, and what does not fit (NaN
// too) reads as the lowest.
Value SetTabIndex(avm1::CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    const Value& v = a.Arg(0);
    if (v.IsNullish()) {
        o->tabIndex.reset();
        return Value();
    }
    const double n = a.vm.ToNumber(v);
    if (a.callee && a.callee->fn && a.callee->fn->magic == kTabIndexUnsigned)
        o->tabIndex = double(uint32_t(avm1::ToInt32(n)));
    else
        o->tabIndex = n > -2147483649.0 && n < 2147483648.0 ? std::trunc(n) : double(INT32_MIN);
    return Value();
}

namespace {

std::optional<EditKey> EditKeyFor(int keyCode) {
    switch (keyCode) {
    case kKeyLeft: return EditKey::Left;
    case kKeyRight: return EditKey::Right;
    case kKeyUp: return EditKey::Up;
    case kKeyDown: return EditKey::Down;
    case kKeyHome: return EditKey::Home;
    case kKeyEnd: return EditKey::End;
    case kKeyBackspace: return EditKey::Backspace;
    case kKeyDelete: return EditKey::Delete;
    case kKeyEnter: return EditKey::Enter;
    default: return std::nullopt;
    }
}

bool Key(avm1::Vm& vm, int keyCode, int charCode, bool shift, bool ctrl,
         const std::function<void(DisplayObject&)>& beforeTab) {
    DisplayObject* focused = Focused(vm);
    if (keyCode == kKeyTab) {
        DisplayObject* next = TabTarget(vm, shift);
        if (!next) return false;
        if (beforeTab) {
            const uint32_t serial = next->serial;
            beforeTab(*next);
            // Its scripts may have taken it away.
            if (HostOf(vm).Context().FindObject(serial) != next) return true;
        }
        SetFocus(vm, next);
        HostOf(vm).Context().focusRectShown = true;
        return true;
    }
    auto* text = focused ? focused->AsEditText() : nullptr;
    if (!text) return false;
    EditTextField& field = text->Field();
    FieldEditor editor(field);
    ScrollWatch watch(vm, text);
    bool changed;
    if (const std::optional<EditKey> key = EditKeyFor(keyCode))
        changed = editor.Press(*key, shift, ctrl);
    else if (ctrl && (charCode == 'a' || charCode == 'A'))
        return editor.SelectAll(), true;
    else if (charCode >= 0x20 && !ctrl)
        changed = editor.Type(std::u32string(1, char32_t(charCode)));
    else
        return false;
    if (changed) TellChanged(vm, *text);
    watch.Tell();
    return true;
}

}  // namespace

bool FocusKey(avm1::Vm& vm, int keyCode, int charCode, bool shift, bool ctrl,
              const std::function<void(DisplayObject&)>& beforeTab) {
    try {
        return Key(vm, keyCode, charCode, shift, ctrl, beforeTab);
    } catch (const avm1::ScriptAbort& a) {
        vm.Report("focus handler stopped: " + a.why);
    } catch (const avm1::ScriptThrow& e) {
        vm.Report("focus handler threw " + vm.ToString(e.value));
    }
    return true;
}

}  // namespace swf::bind
