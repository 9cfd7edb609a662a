// Selection: the focus (setFocus, getFocus) and the focused text field's
// selection and caret, with its listeners.
#include <cmath>

#include "swf/bind/Bindings.h"
#include "swf/bind/Focus.h"
#include "swf/display/TextObjects.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

EditTextField* FocusedField(avm1::Vm& vm) {
    DisplayObject* o = Focused(vm);
    return o && o->AsEditText() ? &o->AsEditText()->Field() : nullptr;
}

void Tell(avm1::Vm& vm, DisplayObject* obj, const char* event, const Value& other) {
    const Value self = ValueOf(vm, obj);
    if (!self.IsObject() && !self.IsClip()) return;
    if (vm.IsFunction(vm.GetMember(self, event))) vm.CallMethod(self, event, {other});
}

// A movie clip takes focus from scripts when it acts as a button or says
// it may (focusEnabled).
bool ClipTakesFocus(avm1::Vm& vm, DisplayObject& obj) {
    if (!obj.AsClip()) return true;
    const Value self = ValueOf(vm, &obj);
    if (vm.ToBool(vm.GetMember(self, "focusEnabled"))) return true;
    for (const char* handler :
         {"onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut", "onDragOver", "onDragOut"})
        if (vm.IsFunction(vm.GetMember(self, handler))) return true;
    return false;
}

Value SetFocusNative(CallArgs& a) {
    const Value& v = a.Arg(0);
    DisplayObject* obj = nullptr;
    if (v.IsString()) {
        ScriptHost& host = HostOf(a.vm);
        obj = host.Object(a.vm.ResolvePath(host.Level(0), a.vm.ToString(v)));
        if (!obj) return Value::Bool(false);
    } else if (!v.IsNullish()) {
        obj = ObjectOf(a.vm, v);
        if (!obj) return Value::Bool(false);
    }
    if (obj && !ClipTakesFocus(a.vm, *obj)) return Value::Bool(false);
    SetFocus(a.vm, obj);
    HostOf(a.vm).Context().focusRectShown = obj != nullptr;
    return Value::Bool(true);
}

Value GetFocusNative(CallArgs& a) {
    DisplayObject* o = Focused(a.vm);
    const avm1::ClipId id = HostOf(a.vm).IdOf(o);
    return o && id ? Value::String(HostOf(a.vm).PathOf(id)) : Value::Null();
}

Value SetSelectionNative(CallArgs& a) {
    if (EditTextField* f = FocusedField(a.vm)) {
        auto index = [&](size_t i) {
            const double n = a.vm.ToNumber(a.Arg(i));
            return std::isfinite(n) && n > 0 ? size_t(std::fmin(n, 1e9)) : size_t(0);
        };
        // What is not given stays: no end keeps the selection's end.
        if (a.args.empty()) return Value();
        const size_t end = a.args.size() >= 2 ? index(1) : std::max(f->Anchor(), f->Caret());
        f->SetSelection(index(0), end);
    }
    return Value();
}

enum { kBegin, kEnd, kCaret };

Value IndexNative(CallArgs& a) {
    EditTextField* f = FocusedField(a.vm);
    if (!f || !f->Focused()) return Value::Num(-1);
    const int magic = a.callee && a.callee->fn ? a.callee->fn->magic : 0;
    const size_t b = std::min(f->Anchor(), f->Caret()), e = std::max(f->Anchor(), f->Caret());
    return Value::Num(double(magic == kBegin ? b : magic == kEnd ? e : f->Caret()));
}

avm1::Object* SelectionObject(avm1::Vm& vm) {
    const Value s = vm.Get(vm.global, "Selection", Value::Obj(vm.global));
    return s.IsObject() ? s.o : nullptr;
}

}  // namespace

DisplayObject* Focused(avm1::Vm& vm) {
    ScriptHost& host = HostOf(vm);
    return host.Object(host.Context().focus);
}

bool SetFocus(avm1::Vm& vm, DisplayObject* obj) {
    ScriptHost& host = HostOf(vm);
    DisplayObject* old = Focused(vm);
    if (old == obj) return false;
    host.Context().focus = obj ? obj->serial : 0;
    if (old && old->AsEditText()) old->AsEditText()->Field().SetFocused(false);
    const Value oldValue = old ? ValueOf(vm, old) : Value::Null();
    const Value newValue = obj ? ValueOf(vm, obj) : Value::Null();
    if (old) Tell(vm, old, "onKillFocus", newValue);
    if (obj) Tell(vm, obj, "onSetFocus", oldValue);
    if (avm1::Object* sel = SelectionObject(vm)) {
        // Broadcast to Selection.addListener's listeners.
        const Value listeners = vm.Get(sel, "_listeners", Value::Obj(sel));
        if (listeners.IsObject()) {
            const double n = vm.ToNumber(vm.Get(listeners.o, "length", listeners));
            for (int i = 0; std::isfinite(n) && i < n && i < 1024; ++i) {
                const Value l = vm.Get(listeners.o, std::to_string(i), listeners);
                if (vm.IsFunction(vm.GetMember(l, "onSetFocus"))) vm.CallMethod(l, "onSetFocus", {oldValue, newValue});
            }
        }
    }
    // A field takes the caret, all its text selected, once everyone has
    // heard (until then it has no selection), unless a handler moved on.
    if (obj && host.Context().focus == obj->serial && host.Context().FindObject(obj->serial) == obj &&
        obj->AsEditText()) {
        EditTextField& f = obj->AsEditText()->Field();
        f.SetFocused(true);
        f.SetSelection(0, f.Content().Size());
    }
    return true;
}

namespace {

Value AddListener(CallArgs& a) {
    avm1::Object* sel = SelectionObject(a.vm);
    if (!sel) return Value();
    Value listeners = a.vm.Get(sel, "_listeners", Value::Obj(sel));
    if (!listeners.IsObject()) {
        listeners = Value::Obj(a.vm.NewArray());
        a.vm.SetHidden(sel, "_listeners", listeners);
    }
    const bool remove = a.callee && a.callee->fn && a.callee->fn->magic == 1;
    if (!remove) {
        a.vm.CallMethod(listeners, "push", {a.Arg(0)});
        return Value::Bool(true);
    }
    // removeListener: the list again without it.
    const double n = a.vm.ToNumber(a.vm.Get(listeners.o, "length", listeners));
    std::vector<Value> kept;
    bool found = false;
    for (int i = 0; std::isfinite(n) && i < n && i < 1024; ++i) {
        const Value l = a.vm.Get(listeners.o, std::to_string(i), listeners);
        if (!found && a.vm.StrictEquals(l, a.Arg(0))) found = true;
        else kept.push_back(l);
    }
    a.vm.SetHidden(sel, "_listeners", Value::Obj(a.vm.NewArray(kept)));
    return Value::Bool(found);
}

}  // namespace

void InstallSelection(avm1::Vm& vm) {
    avm1::Object* sel = vm.NewObject();
    vm.SetHidden(vm.global, "Selection", Value::Obj(sel));
    vm.DefineNative(sel, "setFocus", SetFocusNative);
    vm.DefineNative(sel, "getFocus", GetFocusNative);
    vm.DefineNative(sel, "setSelection", SetSelectionNative);
    vm.DefineNative(sel, "getBeginIndex", IndexNative, kBegin);
    vm.DefineNative(sel, "getEndIndex", IndexNative, kEnd);
    vm.DefineNative(sel, "getCaretIndex", IndexNative, kCaret);
    vm.DefineNative(sel, "addListener", AddListener, 0);
    vm.DefineNative(sel, "removeListener", AddListener, 1);
}

}  // namespace swf::bind
