// Stage and System: the stage's size from the host, its display settings
// kept as scripts set them, and what the machine reports about itself.
#include "swf/avm1/Runtime.h"
#include "swf/runtime/Capabilities.h"

namespace swf::avm1 {

namespace {

Value StageSize(CallArgs& a) {
    Host& host = a.vm.HostRef();
    return Value::Num(a.callee->fn->magic ? host.StageHeight() : host.StageWidth());
}

// Settings the player has no dialog or clipboard for: accepted, no effect.
Value Nothing(CallArgs&) { return Value(); }

Object* Capabilities(Vm& vm) {
    Object* caps = vm.NewObject();
    for (const Capability* c = kCapabilities; c->name; ++c) {
        Value v = c->kind == Capability::Bool     ? Value::Bool(c->flag)
                  : c->kind == Capability::Number ? Value::Num(c->number)
                                                  : Value::String(c->text ? c->text : "");
        caps->Put(c->name, vm.Ci()).value = v;
    }
    caps->Put("serverString", vm.Ci()).value = Value::String(CapabilitiesServerString());
    return caps;
}

}  // namespace

void InstallStageAndSystem(Vm& vm) {
    Object* stage = vm.NewObject();
    MakeBroadcaster(vm, stage);
    vm.DefineAccessor(stage, "width", StageSize, nullptr, 0);
    vm.DefineAccessor(stage, "height", StageSize, nullptr, 1);
    stage->Put("scaleMode", vm.Ci()).value = Value::String("showAll");
    stage->Put("align", vm.Ci()).value = Value::String("");
    stage->Put("showMenu", vm.Ci()).value = Value::Bool(true);
    vm.SetHidden(vm.global, "Stage", Value::Obj(stage));

    Object* system = vm.NewObject();
    vm.SetHidden(system, "capabilities", Value::Obj(Capabilities(vm)));
    Object* security = vm.NewObject();
    for (const char* name : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"})
        vm.DefineNative(security, name, Nothing);
    vm.SetHidden(system, "security", Value::Obj(security));
    vm.DefineNative(system, "setClipboard", Nothing);
    vm.DefineNative(system, "showSettings", Nothing);
    system->Put("useCodepage", vm.Ci()).value = Value::Bool(false);
    system->Put("exactSettings", vm.Ci()).value = Value::Bool(true);
    vm.SetHidden(vm.global, "System", Value::Obj(system));
}

}  // namespace swf::avm1
