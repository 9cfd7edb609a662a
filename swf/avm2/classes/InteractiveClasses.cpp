// What InteractiveObject, DisplayObjectContainer and Sprite switch for the
// pointer and the keyboard, and the stage's focus with the focus events
// it sends when it moves.
#include <vector>

#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

DispatcherObject* Self(Machine& m, const Value& v) {
    DispatcherObject* d = AsDisplay(m, v);
    if (!d) m.TypeError(1034, "Type Coercion failed: cannot convert to flash.display.InteractiveObject.");
    return d;
}

template <bool DispatcherObject::*Field>
Value GetFlag(Machine& m, Value self, Args, int) {
    return Value::Bool(Self(m, self)->*Field);
}

template <bool DispatcherObject::*Field>
Value SetFlag(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->*Field = m.ToBoolean(Arg(args, argc, 0));
    return Value::Undefined();
}

bool IsA(Machine& m, const DispatcherObject* d, const char* cls) {
    ClassObject* c = m.FindClass(cls);
    return c && d->cls && d->cls->IsSubclassOf(c);
}

}  // namespace

// Buttons take the Tab key of their own accord; sprites when they act as buttons.
bool TabEnabled(Machine& m, const DispatcherObject* d) {
    if (d->tabEnabled >= 0) return d->tabEnabled != 0;
    return IsA(m, d, "flash.display.SimpleButton") || (IsA(m, d, "flash.display.Sprite") && d->buttonMode);
}

namespace {

Value GetTabEnabled(Machine& m, Value self, Args, int) { return Value::Bool(TabEnabled(m, Self(m, self))); }

Value SetTabEnabled(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->tabEnabled = m.ToBoolean(Arg(args, argc, 0)) ? 1 : 0;
    return Value::Undefined();
}

Value GetTabIndex(Machine& m, Value self, Args, int) { return Value::Int(Self(m, self)->tabIndex); }

Value SetTabIndex(Machine& m, Value self, Args args, int argc) {
    const int32_t i = m.ToInt32(Arg(args, argc, 0));
    if (i < -1) m.RangeError(2027, "Parameter tabIndex must be a non-negative number; got " + std::to_string(i) + ".");
    Self(m, self)->tabIndex = i;
    return Value::Undefined();
}

Value GetFocusRect(Machine& m, Value self, Args, int) { return Self(m, self)->focusRect; }

Value SetFocusRect(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    // Only true itself turns the rectangle on; any other value turns it off.
    Self(m, self)->focusRect = v.IsNullish() ? Value::Null() : Value::Bool(v.IsBool() && v.b);
    return Value::Undefined();
}

Value GetFocus(Machine& m, Value, Args, int) { return m.display ? m.display->focus : Value::Null(); }

Value SetFocus(Machine& m, Value, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (!v.IsNullish() && !AsDisplay(m, v))
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.ToStdString(v) + " to flash.display.InteractiveObject.");
    if (m.display) MoveFocus(m, v.IsNullish() ? Value::Null() : v, 0);
    return Value::Undefined();
}

// The stage keeps tabbing to its children; what it is told goes to the root.
Value SetStageTabChildren(Machine& m, Value, Args args, int argc) {
    if (!m.display) return Value::Undefined();
    if (DispatcherObject* root = AsDisplay(m, m.display->Wrap(m.display->Root())))
        root->tabChildren = m.ToBoolean(Arg(args, argc, 0));
    return Value::Undefined();
}

}  // namespace

void MoveFocus(Machine& m, const Value& to, uint32_t keyCode) {
    Value from = m.display->focus;
    if (from.IsObject() == to.IsObject() && (!from.IsObject() || from.o == to.o)) return;
    TempRoot keepFrom(m, from), keepTo(m, to);
    m.display->focus = to;
    ClassObject* focusEvent = m.FindClass("flash.events.FocusEvent");
    auto send = [&](const Value& target, const char* type, const Value& related) {
        DispatcherObject* d = AsDisplay(m, target);
        if (!d || !focusEvent) return;
        Value args[6] = {Value::Str(m.Intern(type)), Value::Bool(true), Value::Bool(false), related,
                         Value::Bool(false), Value::Uint(keyCode)};
        Value e = m.Construct(Value::Obj(focusEvent), args, 6);
        DispatchEvent(m, d, static_cast<EventObject*>(e.o));
    };
    send(from, "focusOut", to);
    send(to, "focusIn", from);
}

void InstallInteractive(Machine& m) {
    // Classes already made copied their bases' traits: each gets its own.
    ClassObject* interactive = m.FindClass("flash.display.InteractiveObject");
    ClassObject* container = m.FindClass("flash.display.DisplayObjectContainer");
    ClassObject* sprite = m.FindClass("flash.display.Sprite");
    ClassObject* stage = m.FindClass("flash.display.Stage");
    for (ClassObject* c : std::vector<ClassObject*>(m.builtinClasses)) {
        if (!c->IsSubclassOf(interactive)) continue;
        m.DefineGetter(c, "mouseEnabled", GetFlag<&DispatcherObject::mouseEnabled>, SetFlag<&DispatcherObject::mouseEnabled>);
        m.DefineGetter(c, "doubleClickEnabled", GetFlag<&DispatcherObject::doubleClickEnabled>,
                       SetFlag<&DispatcherObject::doubleClickEnabled>);
        // The stage keeps its own, which refuse to be set.
        if (c != stage) {
            m.DefineGetter(c, "tabEnabled", GetTabEnabled, SetTabEnabled);
            m.DefineGetter(c, "tabIndex", GetTabIndex, SetTabIndex);
            m.DefineGetter(c, "focusRect", GetFocusRect, SetFocusRect);
        }
        if (c->IsSubclassOf(container)) {
            m.DefineGetter(c, "mouseChildren", GetFlag<&DispatcherObject::mouseChildren>,
                           SetFlag<&DispatcherObject::mouseChildren>);
            m.DefineGetter(c, "tabChildren", GetFlag<&DispatcherObject::tabChildren>,
                           SetFlag<&DispatcherObject::tabChildren>);
        }
        if (c->IsSubclassOf(sprite)) {
            m.DefineGetter(c, "buttonMode", GetFlag<&DispatcherObject::buttonMode>, SetFlag<&DispatcherObject::buttonMode>);
            m.DefineGetter(c, "useHandCursor", GetFlag<&DispatcherObject::useHandCursor>,
                           SetFlag<&DispatcherObject::useHandCursor>);
        }
    }
    m.DefineGetter(stage, "focus", GetFocus, SetFocus);
    m.DefineGetter(stage, "tabChildren", GetFlag<&DispatcherObject::tabChildren>, SetStageTabChildren);
}

}  // namespace swf::avm2
