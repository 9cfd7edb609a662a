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

Value RemoveListener(CallArgs& a) {
    Object* list = ListenersOf(a.vm, a.self);
    if (!list) return Value::Bool(false);
    // Listeners compare with ==, so null removes undefined. A full list is
    // scanned on every add: objects compare by address without the
    // general equality.
    const Value& x = a.Arg(0);
    const bool object = x.kind == Value::Kind::Object;
    std::vector<Value> elems = a.vm.ArrayValues(list);
    for (size_t i = 0; i < elems.size(); ++i) {
        const Value& e = elems[i];
        if (object && e.kind == Value::Kind::Object ? e.o == x.o : a.vm.LooseEquals(e, x)) {
            elems.erase(elems.begin() + long(i));
            a.vm.SetArrayValues(list, std::move(elems));
            return Value::Bool(true);
        }
    }
    return Value::Bool(false);
}

Value AddListener(CallArgs& a) {
    RemoveListener(a);
    Object* list = ListenersOf(a.vm, a.self);
    if (!list || list->length >= int32_t(kMaxListeners)) return Value::Bool(false);
    a.vm.ArrayPush(list, a.Arg(0));
    return Value::Bool(true);
}

Value BroadcastMessage(CallArgs& a) {
    Object* list = ListenersOf(a.vm, a.self);
    if (!list || a.args.empty()) return Value();
    const std::string event = a.vm.ToString(a.args[0]);
    const std::vector<Value> args(a.args.begin() + 1, a.args.end());
    const std::vector<Value> listeners = a.vm.ArrayValues(list);
    for (const Value& l : listeners) a.vm.CallMethod(l, event, args);
    return Value::Bool(!listeners.empty());
}

// AsBroadcaster.initialize(o) gives o the broadcaster's own methods, as they
// are on AsBroadcaster now, and an empty listener list.
Value Initialize(CallArgs& a) {
    if (!a.Arg(0).IsObject()) return Value();
    Object* o = a.Arg(0).o;
    const Value ab = a.vm.GetMember(Value::Obj(a.vm.global), "AsBroadcaster");
    for (const char* name : {"broadcastMessage", "addListener", "removeListener"})
        a.vm.SetHidden(o, name, a.vm.GetMember(ab, name));
    a.vm.SetHidden(o, "_listeners", Value::Obj(a.vm.NewArray()));
    return Value();
}

Value BroadcasterCtor(CallArgs&) { return Value(); }

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
    std::vector<Value> all{Value::String(event)};
    all.insert(all.end(), args.begin(), args.end());
    for (Object* global : vm.Globals()) {  // each family has its own Key, Mouse and Stage
        const Value src = vm.GetMember(Value::Obj(global), source);
        if (src.IsObject()) vm.CallMethod(src, "broadcastMessage", all);
    }
}

void InstallBroadcasterKeyMouse(Vm& vm) {
    Object* ab = vm.DefineClass("AsBroadcaster", BroadcasterCtor, vm.NewObject());
    vm.DefineNative(ab, "initialize", Initialize);
    vm.DefineNative(ab, "addListener", AddListener);
    vm.DefineNative(ab, "removeListener", RemoveListener);
    vm.DefineNative(ab, "broadcastMessage", BroadcastMessage);

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
