// The broadcasters the player sends events to: Mouse, Key and Stage keep
// their listeners in a hidden _listeners array (made by the interpreter's
// AsBroadcaster), which the player's event dispatch reads
// (swf/play/ClipEvents.cpp).
#include "swf/avm1/Runtime.h"
#include "swf/bind/Bindings.h"

namespace swf::bind {

using avm1::Value;

void InstallListeners(avm1::Vm& vm) {
    for (const char* name : {"Mouse", "Key", "Stage"}) {
        Value existing = vm.GetMember(Value::Obj(vm.global), name);
        avm1::Object* o = existing.IsObject() ? existing.o : vm.NewObject(vm.objectProto);
        if (!existing.IsObject()) vm.SetHidden(vm.global, name, Value::Obj(o));
        if (!o->Find("_listeners", vm.Ci())) avm1::MakeBroadcaster(vm, o);
    }
}

}  // namespace swf::bind
