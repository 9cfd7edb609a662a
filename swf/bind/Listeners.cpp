// AsBroadcaster, and the broadcasters the player sends events to: Mouse,
// Key and Stage keep their listeners in a hidden _listeners array, which
// the player's event dispatch reads (swf/play/ClipEvents.cpp). Whoever
// defines those objects more fully keeps that array.
#include "swf/bind/Bindings.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

avm1::Object* ListenerArray(CallArgs& a) {
    avm1::Object* self = a.self.IsObject() ? a.self.o : nullptr;
    if (!self) return nullptr;
    Value list = a.vm.GetMember(a.self, "_listeners");
    return list.IsObject() && list.o->cls == avm1::ObjClass::Array ? list.o : nullptr;
}

bool RemoveFrom(avm1::Vm& vm, avm1::Object* list, const Value& v) {
    for (auto it = list->elems.begin(); it != list->elems.end(); ++it) {
        if (vm.StrictEquals(*it, v)) {
            list->elems.erase(it);
            return true;
        }
    }
    return false;
}

Value AddListener(CallArgs& a) {
    avm1::Object* list = ListenerArray(a);
    if (!list) return Value::Bool(false);
    RemoveFrom(a.vm, list, a.Arg(0));
    list->elems.push_back(a.Arg(0));
    return Value::Bool(true);
}

Value RemoveListener(CallArgs& a) {
    avm1::Object* list = ListenerArray(a);
    return Value::Bool(list && RemoveFrom(a.vm, list, a.Arg(0)));
}

Value BroadcastMessage(CallArgs& a) {
    avm1::Object* list = ListenerArray(a);
    if (!list || a.args.empty()) return Value();
    const std::string name = a.vm.ToString(a.args[0]);
    const std::vector<Value> args(a.args.begin() + 1, a.args.end());
    avm1::PinGuard pin(a.vm);
    const std::vector<Value> listeners = list->elems;  // listeners may change the list
    for (const Value& l : listeners) a.vm.CallMethod(l, name, args);
    return Value();
}

void Initialize(avm1::Vm& vm, avm1::Object* o) {
    vm.SetHidden(o, "_listeners", Value::Obj(vm.NewArray()));
    vm.DefineNative(o, "addListener", AddListener);
    vm.DefineNative(o, "removeListener", RemoveListener);
    vm.DefineNative(o, "broadcastMessage", BroadcastMessage);
}

Value InitializeNative(CallArgs& a) {
    if (a.Arg(0).IsObject()) Initialize(a.vm, a.Arg(0).o);
    return Value();
}

}  // namespace

void InstallListeners(avm1::Vm& vm) {
    avm1::Object* broadcaster = vm.NewObject(vm.objectProto);
    vm.DefineNative(broadcaster, "initialize", InitializeNative);
    vm.SetHidden(vm.global, "AsBroadcaster", Value::Obj(broadcaster));
    for (const char* name : {"Mouse", "Key", "Stage"}) {
        Value existing = vm.GetMember(Value::Obj(vm.global), name);
        avm1::Object* o = existing.IsObject() ? existing.o : vm.NewObject(vm.objectProto);
        if (!existing.IsObject()) vm.SetHidden(vm.global, name, Value::Obj(o));
        if (!o->Find("_listeners", vm.Ci())) Initialize(vm, o);
    }
}

}  // namespace swf::bind
