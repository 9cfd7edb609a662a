// flash.geom.Matrix: a, b, c, d, tx and ty are plain properties, in
// pixels; every change to `this` is one product with another matrix
// (Geom.h), so rotate, scale and translate compose in the order called.
#include <limits>

#include "swf/bind/Bindings.h"
#include "swf/bind/GeomValues.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

Value MatrixCtor(CallArgs& a) {
    static const double kIdentity[] = {1, 0, 0, 1, 0, 0};
    InitFields(a, GeomClass::Matrix, kIdentity);
    return Value();
}

void Store(CallArgs& a, const GeomMatrix& m) {
    if (a.self.IsObject()) StoreMatrix(a.vm, a.self.o, m);
}

void Then(CallArgs& a, const GeomMatrix& after) { Store(a, SelfMatrix(a).Then(after)); }

Value Identity(CallArgs& a) {
    Store(a, {});
    return Value();
}

Value Clone(CallArgs& a) { return NewMatrix(a.vm, SelfMatrix(a)); }

Value Concat(CallArgs& a) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    Then(a, a.Arg(0).IsObject() ? ReadMatrix(a.vm, a.Arg(0)) : GeomMatrix{nan, nan, nan, nan, nan, nan});
    return Value();
}

enum BoxKind { kBox, kGradientBox };

Value CreateBox(CallArgs& a) {
    const double sx = NumberArg(a, 0), sy = NumberArg(a, 1), rotation = NumberArg(a, 2, 0);
    const double tx = NumberArg(a, 3, 0), ty = NumberArg(a, 4, 0);
    Store(a, a.callee->fn->magic == kBox ? GeomMatrix::CreateBox(sx, sy, rotation, tx, ty)
                                         : GeomMatrix::CreateGradientBox(sx, sy, rotation, tx, ty));
    return Value();
}

enum PointKind { kTransform, kDelta };

Value MapPoint(CallArgs& a) {
    const GeomMatrix m = SelfMatrix(a);
    const GeomPoint p = PointArg(a, 0);
    return NewPoint(a.vm, a.callee->fn->magic == kTransform ? m.TransformPoint(p) : m.DeltaTransformPoint(p));
}

// A singular matrix is left as it was.
Value Invert(CallArgs& a) {
    GeomMatrix m = SelfMatrix(a);
    if (m.Invert()) Store(a, m);
    return Value();
}

Value Rotate(CallArgs& a) {
    Then(a, GeomMatrix::CreateBox(1, 1, NumberArg(a, 0), 0, 0));
    return Value();
}

Value Scale(CallArgs& a) {
    Then(a, {NumberArg(a, 0), 0, 0, NumberArg(a, 1), 0, 0});
    return Value();
}

Value Translate(CallArgs& a) {
    GeomMatrix m = SelfMatrix(a);
    m.tx += NumberArg(a, 0);
    m.ty += NumberArg(a, 1);
    Store(a, m);
    return Value();
}

Value ToString(CallArgs& a) { return Describe(a.vm, a.self, GeomClass::Matrix); }

}  // namespace

void InstallMatrix(avm1::Vm& vm, avm1::Object* package) {
    avm1::Object* proto = vm.NewObject();
    vm.DefineClassIn(package, "Matrix", MatrixCtor, proto);
    vm.DefineNative(proto, "identity", Identity);
    vm.DefineNative(proto, "clone", Clone);
    vm.DefineNative(proto, "concat", Concat);
    vm.DefineNative(proto, "createBox", CreateBox, kBox);
    vm.DefineNative(proto, "createGradientBox", CreateBox, kGradientBox);
    vm.DefineNative(proto, "transformPoint", MapPoint, kTransform);
    vm.DefineNative(proto, "deltaTransformPoint", MapPoint, kDelta);
    vm.DefineNative(proto, "invert", Invert);
    vm.DefineNative(proto, "rotate", Rotate);
    vm.DefineNative(proto, "scale", Scale);
    vm.DefineNative(proto, "translate", Translate);
    vm.DefineNative(proto, "toString", ToString);
}

}  // namespace swf::bind
