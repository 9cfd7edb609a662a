// The MovieClip and Button properties that are not in the property index
// table: plain defaults on the prototypes (scripts override them per
// object), _lockroot, and setMask.
#include "swf/bind/Bindings.h"

namespace swf::bind {

namespace {

using avm1::Value;

void Unlink(ScriptHost& host, uint32_t serial, uint32_t DisplayObject::*field) {
    if (DisplayObject* o = host.Object(serial)) o->*field = 0;
}

// setMask(mask) masks the clip by the mask's shapes wherever each is; a
// mask cuts one clip at a time, and setMask(null) ends it.
Value SetMask(avm1::CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value::Bool(false);
    ScriptHost& host = HostOf(a.vm);
    DisplayObject* mask = ObjectOf(a.vm, a.Arg(0));
    if (mask == o) mask = nullptr;
    Unlink(host, o->scriptMask, &DisplayObject::maskOf);
    o->scriptMask = 0;
    if (!mask) return Value::Bool(true);
    Unlink(host, mask->maskOf, &DisplayObject::scriptMask);
    o->scriptMask = mask->serial;
    mask->maskOf = o->serial;
    return Value::Bool(true);
}

}  // namespace

void InstallClipProperties(avm1::Vm& vm) {
    for (avm1::Object* proto : {vm.clipProto, vm.buttonProto}) {
        vm.SetHidden(proto, "enabled", Value::Bool(true));
        vm.SetHidden(proto, "useHandCursor", Value::Bool(true));
    }
    vm.SetHidden(vm.clipProto, "_lockroot", Value::Bool(false));
    vm.DefineNative(vm.clipProto, "setMask", SetMask, 0);
}

}  // namespace swf::bind
