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

// The clip a setMask argument names: a path, or failing that a member
// of the clip's parent holding a clip (a number names one too).
DisplayObject* NamedMask(avm1::CallArgs& a, DisplayObject& o) {
    ScriptHost& host = HostOf(a.vm);
    const avm1::ClipId from = host.IdOf(o.parent ? o.parent : &o);
    const std::string name = a.vm.ToString(a.args[0]);
    if (DisplayObject* found = host.Object(a.vm.ResolvePath(from, name))) return found;
    return ObjectOf(a.vm, a.vm.GetMember(a.vm.ClipValue(from), name));
}

// setMask(mask) masks the clip by the mask's shapes wherever each is; a
// mask cuts one clip at a time.
//  1. A clip becomes the mask; null or undefined ends the mask.
//  2. A name or a number is looked up from the clip's parent.
//  3. No argument, a name that finds nothing or any other value leaves
//     the mask as it is.
Value SetMask(avm1::CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value::Bool(false);
    if (a.args.empty()) return Value::Bool(true);
    const Value& arg = a.args[0];
    DisplayObject* mask = ObjectOf(a.vm, arg);
    if (!mask && (arg.IsString() || arg.IsNumber())) mask = NamedMask(a, *o);
    if (!mask && !arg.IsNullish()) return Value::Bool(true);
    ScriptHost& host = HostOf(a.vm);
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
    vm.DefineAccessor(vm.clipProto, "tabIndex", GetTabIndex, SetTabIndex);
    vm.DefineAccessor(vm.buttonProto, "tabIndex", GetTabIndex, SetTabIndex);
    vm.buttonProto->Find("tabIndex", false)->flags &= uint16_t(~avm1::kDontEnum);  // a button lists it
    vm.DefineNative(vm.clipProto, "setMask", SetMask, 0);
}

}  // namespace swf::bind
