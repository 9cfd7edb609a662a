// AsBroadcaster, Key and Mouse.
#include <algorithm>

#include "swf/avm1/Runtime.h"

namespace swf::avm1 {

namespace {

// Listener lists are bounded so a script adding in a loop cannot grow them
// without end.
constexpr size_t kMaxListeners = 4096;

Object* ListenersOf(Vm& vm, const Value& self) {
    Value l = vm.GetMember(self, "_listeners");
    return l.IsObject() && l.o->cls == ObjClass::Array ? l.o : nullptr;
}

bool SameListener(Vm& vm, const Value& a, const Value& b) { return vm.StrictEquals(a, b); }

Value RemoveListener(CallArgs& a) {
    Object* list = ListenersOf(a.vm, a.self);
    if (!list) return Value::Bool(false);
    for (size_t i = 0; i < list->elems.size(); ++i) {
        if (SameListener(a.vm, list->elems[i], a.Arg(0))) {
            list->elems.erase(list->elems.begin() + long(i));
            return Value::Bool(true);
        }
    }
    return Value::Bool(false);
}

Value AddListener(CallArgs& a) {
    RemoveListener(a);
    Object* list = ListenersOf(a.vm, a.self);
    if (!list || list->elems.size() >= kMaxListeners) return Value::Bool(false);
    list->elems.push_back(a.Arg(0));
    return Value::Bool(true);
}

Value BroadcastMessage(CallArgs& a) {
    Object* list = ListenersOf(a.vm, a.self);
    if (!list || a.args.empty()) return Value();
    const std::string event = a.vm.ToString(a.args[0]);
    const std::vector<Value> args(a.args.begin() + 1, a.args.end());
    const std::vector<Value> listeners = list->elems;
    for (const Value& l : listeners) a.vm.CallMethod(l, event, args);
    return Value::Bool(!listeners.empty());
}

Value Initialize(CallArgs& a) {
    if (a.Arg(0).IsObject()) MakeBroadcaster(a.vm, a.Arg(0).o);
    return Value();
}

enum KeyCall { kIsDown, kIsToggled, kGetCode, kGetAscii };

Value KeyQuery(CallArgs& a) {
    const KeyState& keys = a.vm.Runtime().keys;
    const int code = ToInt32(a.vm.ToNumber(a.Arg(0)));
    switch (a.callee->fn->magic) {
    case kIsDown: return Value::Bool(keys.IsDown(code));
    case kIsToggled: return Value::Bool(keys.IsToggled(code));
    case kGetCode: return Value::Num(keys.Code());
    default: return Value::Num(keys.Ascii());
    }
}

Value MouseShow(CallArgs& a) {
    const bool wasHidden = a.vm.Runtime().mouseHidden;
    a.vm.Runtime().mouseHidden = a.callee->fn->magic != 0;
    return Value::Num(wasHidden ? 0 : 1);
}

}  // namespace

void MakeBroadcaster(Vm& vm, Object* o) {
    vm.DefineNative(o, "addListener", AddListener);
    vm.DefineNative(o, "removeListener", RemoveListener);
    vm.DefineNative(o, "broadcastMessage", BroadcastMessage);
    vm.SetHidden(o, "_listeners", Value::Obj(vm.NewArray()));
}

void Broadcast(Vm& vm, const std::string& source, const std::string& event, const std::vector<Value>& args) {
    Value src = vm.GetMember(Value::Obj(vm.global), source);
    if (!src.IsObject()) return;
    std::vector<Value> all{Value::String(event)};
    all.insert(all.end(), args.begin(), args.end());
    vm.CallMethod(src, "broadcastMessage", all);
}

void InstallBroadcasterKeyMouse(Vm& vm) {
    Object* ab = vm.NewObject();
    vm.DefineNative(ab, "initialize", Initialize);
    vm.SetHidden(vm.global, "AsBroadcaster", Value::Obj(ab));

    Object* key = vm.NewObject();
    MakeBroadcaster(vm, key);
    vm.DefineNative(key, "isDown", KeyQuery, kIsDown);
    vm.DefineNative(key, "isToggled", KeyQuery, kIsToggled);
    vm.DefineNative(key, "getCode", KeyQuery, kGetCode);
    vm.DefineNative(key, "getAscii", KeyQuery, kGetAscii);
    for (const KeyConstant* c = kKeyConstants; c->name; ++c) vm.SetHidden(key, c->name, Value::Num(c->code));
    vm.SetHidden(vm.global, "Key", Value::Obj(key));

    Object* mouse = vm.NewObject();
    MakeBroadcaster(vm, mouse);
    vm.DefineNative(mouse, "hide", MouseShow, 1);
    vm.DefineNative(mouse, "show", MouseShow, 0);
    vm.SetHidden(vm.global, "Mouse", Value::Obj(mouse));
}

}  // namespace swf::avm1
