// The MovieClip and Button properties that are not in the property index
// table: plain defaults on the prototypes (scripts override them per
// object), and _lockroot.
#include "swf/bind/Bindings.h"

namespace swf::bind {

void InstallClipProperties(avm1::Vm& vm) {
    using avm1::Value;
    for (avm1::Object* proto : {vm.clipProto, vm.buttonProto}) {
        vm.SetHidden(proto, "enabled", Value::Bool(true));
        vm.SetHidden(proto, "useHandCursor", Value::Bool(true));
    }
    vm.SetHidden(vm.clipProto, "_lockroot", Value::Bool(false));
}

}  // namespace swf::bind
