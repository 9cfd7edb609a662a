// flash.geom.ColorTransform: the eight multipliers and offsets are plain
// properties; `rgb` reads the offsets as one colour and writing it makes
// the transform a solid colour (multipliers 0), alpha untouched.
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomValues.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

GeomColorTransform Self(CallArgs& a) { return ReadColorTransform(a.vm, a.self); }

Value ColorTransformCtor(CallArgs& a) {
    static const double kUnchanged[] = {1, 1, 1, 1, 0, 0, 0, 0};
    InitFields(a, GeomClass::ColorTransform, kUnchanged);
    return Value();
}

Value GetRgb(CallArgs& a) { return Value::Num(Self(a).Rgb()); }

Value SetRgb(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    GeomColorTransform t = Self(a);
    t.SetRgb(uint32_t(avm1::ToInt32(NumberArg(a, 0))));
    StoreColorTransform(a.vm, a.self.o, t);
    return Value();
}

// `second` is applied first, then this one.
Value Concat(CallArgs& a) {
    if (!a.self.IsObject() || !a.Arg(0).IsObject()) return Value();
    StoreColorTransform(a.vm, a.self.o, Self(a).Concat(ReadColorTransform(a.vm, a.Arg(0))));
    return Value();
}

Value ToString(CallArgs& a) { return Describe(a.vm, a.self, GeomClass::ColorTransform); }

}  // namespace

void InstallColorTransform(avm1::Vm& vm, avm1::Object* package) {
    avm1::Object* proto = vm.NewObject();
    vm.DefineClassIn(package, "ColorTransform", ColorTransformCtor, proto);
    vm.DefineAccessor(proto, "rgb", GetRgb, SetRgb);
    vm.DefineNative(proto, "concat", Concat);
    vm.DefineNative(proto, "toString", ToString);
}

}  // namespace swf::bind
