// Sound (every method present, no audio: volume, pan and transform are kept
// so scripts read back what they set) and SharedObject.getLocal (objects kept
// in memory by name and path while the movie runs; flush always succeeds).
#include "swf/avm1/Runtime.h"
#include "swf/classes/Capabilities.h"

namespace swf::avm1 {

namespace {

constexpr size_t kMaxSharedObjects = 256;

Value SoundCtor(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    Object* self = a.self.o;
    a.vm.SetHidden(self, "_volume", Value::Num(100));
    a.vm.SetHidden(self, "_pan", Value::Num(0));
    // The clip whose sounds it controls; any other object names it by path
    // (a toString that throws stops the constructor).
    Value target = a.Arg(0);
    if (target.IsObject()) target = Value::String(a.vm.ToString(target));
    a.vm.SetHidden(self, "_target", target);
    return Value();  // duration and position come with a sound
}

Value Silent(CallArgs&) { return Value(); }

// getDuration and getPosition: the properties of the same names.
Value SoundField(CallArgs& a) { return a.vm.GetMember(a.self, a.callee->fn->magic ? "position" : "duration"); }
Value Zero(CallArgs&) { return Value::Num(0); }

// magic: 0 volume, 1 pan, 2 transform.
const char* const kSoundField[] = {"_volume", "_pan", "_transform"};

Value SoundGet(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    return a.vm.GetMember(a.self, kSoundField[a.callee->fn->magic]);
}

Value SoundSet(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    const int which = a.callee->fn->magic;
    Value v = which == 2 ? a.Arg(0) : Value::Num(a.vm.ToNumber(a.Arg(0)));
    a.vm.SetHidden(a.self.o, kSoundField[which], v);
    return Value();
}

Value SharedFlush(CallArgs&) { return Value::Bool(true); }

Value SharedClear(CallArgs& a) {
    if (a.self.IsObject()) a.vm.SetMember(a.self, "data", Value::Obj(a.vm.NewObject()));
    return Value();
}

Value SharedSize(CallArgs& a) {
    Value data = a.vm.GetMember(a.self, "data");
    return Value::Num(data.IsObject() ? double(data.o->Props().size()) : 0);
}

Value GetLocal(CallArgs& a) {
    const std::string name = a.vm.ToString(a.Arg(0));
    if (!ValidSharedObjectName(name)) return Value::Null();
    Value store = a.vm.GetMember(Value::Obj(a.callee), "_store");
    if (!store.IsObject()) return Value::Null();
    // Names are exact; the path only tells same names apart.
    const std::string key = name + "\n" + (a.Arg(1).IsUndefined() ? "" : a.vm.ToString(a.Arg(1)));
    if (const Property* p = store.o->Find(key, false)) return p->value;
    if (store.o->Props().size() >= kMaxSharedObjects) return Value::Null();
    Value proto = a.vm.GetMember(Value::Obj(a.vm.global), "SharedObject");
    proto = proto.IsObject() ? a.vm.GetMember(proto, "prototype") : Value();
    Object* so = a.vm.NewObject(proto.IsObject() ? proto.o : nullptr);
    so->Put("data", a.vm.Ci()).value = Value::Obj(a.vm.NewObject());
    store.o->Put(key, false).value = Value::Obj(so);
    return Value::Obj(so);
}

}  // namespace

void InstallSoundAndSharedObject(Vm& vm) {
    Object* sound = vm.NewObject();
    vm.DefineClass("Sound", SoundCtor, sound);
    for (const char* name : {"attachSound", "start", "stop", "loadSound"})
        vm.DefineNative(sound, name, Silent);
    vm.DefineNative(sound, "setVolume", SoundSet, 0);
    vm.DefineNative(sound, "setPan", SoundSet, 1);
    vm.DefineNative(sound, "setTransform", SoundSet, 2);
    vm.DefineNative(sound, "getVolume", SoundGet, 0);
    vm.DefineNative(sound, "getPan", SoundGet, 1);
    vm.DefineNative(sound, "getTransform", SoundGet, 2);
    vm.DefineNative(sound, "getBytesLoaded", Zero);
    vm.DefineNative(sound, "getBytesTotal", Zero);
    vm.DefineNative(sound, "getDuration", SoundField, 0);
    vm.DefineNative(sound, "getPosition", SoundField, 1);
    vm.DefineNative(sound, "setDuration", Silent);
    vm.DefineNative(sound, "setPosition", Silent);
    // Methods that came with SWF 6.
    for (const char* name : {"getDuration", "setDuration", "getPosition", "setPosition", "loadSound", "getBytesLoaded",
                             "getBytesTotal"})
        sound->Find(name, false)->flags |= kOnlySwf6Up;

    Object* shared = vm.NewObject();
    Object* ctor = vm.DefineClass("SharedObject", Silent, shared);
    Object* getLocal = vm.NewNative(GetLocal);
    vm.SetHidden(getLocal, "_store", Value::Obj(vm.NewObject()));
    vm.SetHidden(ctor, "getLocal", Value::Obj(getLocal));
    vm.DefineNative(shared, "flush", SharedFlush);
    vm.DefineNative(shared, "clear", SharedClear);
    vm.DefineNative(shared, "getSize", SharedSize);
    vm.DefineNative(shared, "close", Silent);
}

}  // namespace swf::avm1
