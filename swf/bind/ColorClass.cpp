// Color: a clip's colour transform read and written as a solid colour or as
// percentages and offsets. The target is kept as given (a clip or a path)
// and found again on every call, so a Color outlives its clip harmlessly.
#include <optional>

#include "swf/bind/Bindings.h"
#include "swf/classes/Geom.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

DisplayObject* TargetOf(CallArgs& a) {
    if (!a.self.IsObject()) return nullptr;
    Value target = a.vm.GetMember(a.self, "target");
    if (target.IsString()) {
        if (target.Text().empty()) return nullptr;
        const avm1::ClipId id = a.vm.ResolvePath(HostOf(a.vm).Level(0), target.Text());
        return id ? HostOf(a.vm).Object(id) : nullptr;
    }
    return ObjectOf(a.vm, target);
}

Value ColorCtor(CallArgs& a) {
    if (a.self.IsObject()) a.vm.SetHidden(a.self.o, "target", a.Arg(0));
    return Value();
}

Value SetRgb(CallArgs& a) {
    if (DisplayObject* o = TargetOf(a)) {
        o->cxform = ColorSetRgb(o->cxform, static_cast<uint32_t>(avm1::ToInt32(a.vm.ToNumber(a.Arg(0)))));
        o->scripted = true;
    }
    return Value();
}

Value GetRgb(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    return o ? Value::Num(ColorGetRgb(o->cxform)) : Value();
}

// The transform object's fields, in ColorTransformObject's order.
constexpr const char* kFields[] = {"ra", "rb", "ga", "gb", "ba", "bb", "aa", "ab"};

std::optional<double>* Field(ColorTransformObject& t, int i) {
    std::optional<double>* all[] = {&t.ra, &t.rb, &t.ga, &t.gb, &t.ba, &t.bb, &t.aa, &t.ab};
    return all[i];
}

Value SetTransform(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    if (!o || !a.Arg(0).IsObject()) return Value();
    ColorTransformObject t;
    // An own member counts, even when undefined (as 0); inherited ones do not.
    for (int i = 0; i < 8; ++i) {
        if (!a.Arg(0).o->Find(kFields[i], a.vm.Ci())) continue;
        *Field(t, i) = a.vm.ToNumber(a.vm.GetMember(a.Arg(0), kFields[i]));
    }
    o->cxform = ColorSetTransform(o->cxform, t);
    o->scripted = true;
    return Value();
}

Value GetTransform(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    if (!o) return Value();
    ColorTransformObject t = ColorGetTransform(o->cxform);
    avm1::Object* out = a.vm.NewObject();
    for (int i = 0; i < 8; ++i) out->Put(kFields[i], a.vm.Ci()).value = Value::Num(Field(t, i)->value_or(0));
    return Value::Obj(out);
}

}  // namespace

void InstallColor(avm1::Vm& vm) {
    avm1::Object* proto = vm.NewObject();
    vm.DefineClass("Color", ColorCtor, proto);
    vm.DefineNative(proto, "setRGB", SetRgb);
    vm.DefineNative(proto, "getRGB", GetRgb);
    vm.DefineNative(proto, "setTransform", SetTransform);
    vm.DefineNative(proto, "getTransform", GetTransform);
}

}  // namespace swf::bind
