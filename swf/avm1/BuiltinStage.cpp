// Stage and System: the stage's size from the host, its display settings
// kept as scripts set them, and what the machine reports about itself.
#include "swf/avm1/Runtime.h"
#include "swf/classes/Capabilities.h"

namespace swf::avm1 {

namespace {

constexpr int kNoScale = 3;
const char* const kScaleModes[] = {"showAll", "noBorder", "exactFit", "noScale"};
// Align letters and their flags, in the order the getter writes them.
constexpr struct {
    char letter;
    int flag;
} kAlignLetters[] = {{'L', 1}, {'T', 4}, {'R', 2}, {'B', 8}};  // the order align reads back in

// Under noScale the stage is the view; otherwise the movie's own size.
Value StageSize(CallArgs& a) {
    const StageView& view = a.vm.Runtime().stage;
    const bool height = a.callee->fn->magic != 0;
    if (view.ScaleMode() == kNoScale && view.width > 0 && view.height > 0)
        return Value::Num(height ? view.height : view.width);
    Host& host = a.vm.HostRef();
    return Value::Num(height ? host.StageHeight() : host.StageWidth());
}

Value GetScaleMode(CallArgs& a) { return Value::String(kScaleModes[a.vm.Runtime().stage.ScaleMode() & 3]); }

// Unknown names show all, as the default does.
Value SetScaleMode(CallArgs& a) {
    const std::string name = a.vm.ToString(a.Arg(0));
    int mode = 0;
    for (int i = 0; i < 4; ++i)
        if (EqualNames(name, kScaleModes[i], true)) mode = i;
    a.vm.Runtime().stage.scriptScaleMode = mode;
    return Value();
}

Value GetAlign(CallArgs& a) {
    const int flags = a.vm.Runtime().stage.Align();
    std::string out;
    for (const auto& l : kAlignLetters)
        if (flags & l.flag) out += l.letter;
    return Value::String(out);
}

Value SetAlign(CallArgs& a) {
    int flags = 0;
    for (char c : a.vm.ToString(a.Arg(0)))
        for (const auto& l : kAlignLetters)
            if (c == l.letter || c == l.letter + ('a' - 'A')) flags |= l.flag;
    a.vm.Runtime().stage.scriptAlign = flags;
    return Value();
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
    vm.DefineAccessor(stage, "scaleMode", GetScaleMode, SetScaleMode);
    vm.DefineAccessor(stage, "align", GetAlign, SetAlign);
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
