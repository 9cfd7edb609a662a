// flash.geom.Point: x and y are plain properties; the methods read them
// from `this` each time, so subclasses and edited points behave.
#include <cmath>

#include "swf/bind/Bindings.h"
#include "swf/bind/GeomValues.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

double Length(GeomPoint p) { return std::sqrt(p.x * p.x + p.y * p.y); }

Value PointCtor(CallArgs& a) {
    static const double kZero[] = {0, 0};
    InitFields(a, GeomClass::Point, kZero);
    return Value();
}

Value GetLength(CallArgs& a) { return Value::Num(Length(SelfPoint(a))); }

enum Arith { kAdd, kSubtract };

Value AddOrSubtract(CallArgs& a) {
    const GeomPoint p = SelfPoint(a), q = PointArg(a, 0);
    const double sign = a.callee->fn->magic == kAdd ? 1 : -1;
    return NewPoint(a.vm, {p.x + sign * q.x, p.y + sign * q.y});
}

Value Equals(CallArgs& a) {
    if (!a.Arg(0).IsObject()) return Value::Bool(false);
    const GeomPoint p = SelfPoint(a), q = PointArg(a, 0);
    return Value::Bool(p.x == q.x && p.y == q.y);
}

Value Normalize(CallArgs& a) {
    GeomPoint p = SelfPoint(a);
    const double length = Length(p);
    if (a.self.IsObject() && length > 0) {
        const double k = NumberArg(a, 0) / length;
        StorePoint(a.vm, a.self.o, {p.x * k, p.y * k});
    }
    return Value();
}

Value Offset(CallArgs& a) {
    const GeomPoint p = SelfPoint(a);
    if (a.self.IsObject()) StorePoint(a.vm, a.self.o, {p.x + NumberArg(a, 0), p.y + NumberArg(a, 1)});
    return Value();
}

Value Clone(CallArgs& a) { return NewPoint(a.vm, SelfPoint(a)); }

Value ToString(CallArgs& a) { return Describe(a.vm, a.self, GeomClass::Point); }

Value Distance(CallArgs& a) {
    const GeomPoint p = PointArg(a, 0), q = PointArg(a, 1);
    return Value::Num(Length({p.x - q.x, p.y - q.y}));
}

// f = 1 gives the first point, 0 the second.
Value Interpolate(CallArgs& a) {
    const GeomPoint p = PointArg(a, 0), q = PointArg(a, 1);
    const double f = NumberArg(a, 2);
    return NewPoint(a.vm, {q.x + f * (p.x - q.x), q.y + f * (p.y - q.y)});
}

Value Polar(CallArgs& a) {
    const double length = NumberArg(a, 0), angle = NumberArg(a, 1);
    return NewPoint(a.vm, {length * std::cos(angle), length * std::sin(angle)});
}

}  // namespace

void InstallPoint(avm1::Vm& vm, avm1::Object* package) {
    avm1::Object* proto = vm.NewObject();
    avm1::Object* ctor = vm.DefineClassIn(package, "Point", PointCtor, proto);
    vm.DefineAccessor(proto, "length", GetLength, nullptr);
    vm.DefineNative(proto, "add", AddOrSubtract, kAdd);
    vm.DefineNative(proto, "subtract", AddOrSubtract, kSubtract);
    vm.DefineNative(proto, "equals", Equals);
    vm.DefineNative(proto, "normalize", Normalize);
    vm.DefineNative(proto, "offset", Offset);
    vm.DefineNative(proto, "clone", Clone);
    vm.DefineNative(proto, "toString", ToString);
    vm.DefineNative(ctor, "distance", Distance);
    vm.DefineNative(ctor, "interpolate", Interpolate);
    vm.DefineNative(ctor, "polar", Polar);
}

}  // namespace swf::bind
