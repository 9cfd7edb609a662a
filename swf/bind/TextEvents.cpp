// TextField's events and its addListener: a field is a broadcaster of its
// own, itself its first listener.
#include "swf/bind/TextEvents.h"

#include "swf/avm1/Runtime.h"
#include "swf/bind/Bindings.h"
#include "swf/display/TextObjects.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

// The object holding the field's members (fields are passed to scripts
// as references that find it).
avm1::Object* MembersOf(avm1::Vm& vm, EditTextObject& field) {
    return ValueOf(vm, &field).IsUndefined() ? nullptr : vm.ClipObject(field.serial);
}

bool HasListeners(avm1::Vm& vm, EditTextObject& field) {
    avm1::Object* o = MembersOf(vm, field);
    if (!o || !o->Find("_listeners", vm.Ci())) return false;
    const Value list = vm.Get(o, "_listeners", Value::Obj(o));
    return list.IsObject() && list.o->cls == avm1::ObjClass::Array && list.o->length > 0;
}

// Whether anything but the field itself listens: measuring scrolls around
// every change costs a layout.
bool OthersListen(avm1::Vm& vm, EditTextObject& field) {
    avm1::Object* o = MembersOf(vm, field);
    if (!o || !o->Find("_listeners", vm.Ci())) return false;
    const Value list = vm.Get(o, "_listeners", Value::Obj(o));
    if (!list.IsObject() || list.o->cls != avm1::ObjClass::Array) return false;
    for (const Value& v : vm.ArrayValues(list.o))
        if (vm.ClipOf(v) != field.serial) return true;
    return false;
}

bool Listening(avm1::Vm& vm, EditTextObject& field) {
    const Value self = ValueOf(vm, &field);
    return !self.IsUndefined() && (vm.IsFunction(vm.GetMember(self, "onScroller")) || OthersListen(vm, field));
}

void Tell(avm1::Vm& vm, EditTextObject& field, const char* event) {
    const Value self = ValueOf(vm, &field);
    if (self.IsUndefined()) return;
    // The field is its own first listener.
    if (HasListeners(vm, field)) vm.CallMethod(self, "broadcastMessage", {Value::String(event), self});
    else if (vm.IsFunction(vm.GetMember(self, event))) vm.CallMethod(self, event, {self});
}

// addListener and removeListener on the prototype make the field its own
// broadcaster, then ask again of the field's own methods.
Value Listen(CallArgs& a) {
    EditTextObject* field = TextOf(a);
    avm1::Object* o = field ? MembersOf(a.vm, *field) : nullptr;
    if (!o) return Value::Bool(false);
    if (!o->Find("_listeners", a.vm.Ci())) avm1::MakeBroadcaster(a.vm, o);
    return a.vm.CallMethod(a.self, a.callee->fn->magic ? "addListener" : "removeListener", a.args);
}

}  // namespace

ScrollWatch::ScrollWatch(avm1::Vm& vm, EditTextObject* field) : vm_(vm), field_(nullptr) {
    if (!field || !Listening(vm, *field)) return;
    field_ = field;
    serial_ = field->serial;
    before_ = Measure(*field);
}

ScrollWatch::Spot ScrollWatch::Measure(EditTextObject& field) {
    EditTextField& f = field.Field();
    return {f.Scroll(), f.HScroll(), f.MaxScroll()};
}

void ScrollWatch::Tell() {
    // The change may have run scripts that removed the field.
    if (!field_ || HostOf(vm_).Context().FindObject(serial_) != field_) return;
    if (Measure(*field_) == before_) return;
    bind::Tell(vm_, *field_, "onScroller");
}

void TellChanged(avm1::Vm& vm, EditTextObject& field) { Tell(vm, field, "onChanged"); }

void InstallTextEvents(avm1::Vm& vm) {
    vm.DefineNative(vm.textFieldProto, "addListener", Listen, 1);
    vm.DefineNative(vm.textFieldProto, "removeListener", Listen, 0);
}

}  // namespace swf::bind
