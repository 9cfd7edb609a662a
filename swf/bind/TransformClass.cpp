// flash.geom.Transform and MovieClip.transform: a view of one clip's
// matrix and colour transform. Every read makes a fresh Matrix or
// ColorTransform (changing it changes nothing until it is assigned back);
// assigning writes the clip and marks it scripted, so the timeline stops
// moving it. The clip is found again on each access, so a Transform
// outlives its clip harmlessly (its reads give undefined then).
#include <cmath>

#include "swf/bind/Bindings.h"
#include "swf/bind/GeomValues.h"
#include "swf/display/ClipGeometry.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr const char* kClipSlot = "__clip";

DisplayObject* TargetOf(CallArgs& a) {
    return a.self.IsObject() ? ObjectOf(a.vm, a.vm.GetMember(a.self, kClipSlot)) : nullptr;
}

Value NewTransform(avm1::Vm& vm, const Value& clip) {
    const Value ctor = vm.GetMember(Value::Obj(vm.FlashPackage("geom")), "Transform");
    const Value proto = ctor.IsObject() ? vm.GetMember(ctor, "prototype") : Value();
    avm1::Object* t = vm.NewObject(proto.IsObject() ? proto.o : nullptr);
    vm.SetHidden(t, kClipSlot, clip);
    return Value::Obj(t);
}

// Without a clip there is nothing to view: `new Transform()` is undefined.
Value TransformCtor(CallArgs& a) {
    if (!ObjectOf(a.vm, a.Arg(0))) {
        a.vm.RefuseConstruction();
        return Value();
    }
    if (a.construct && a.self.IsObject()) a.vm.SetHidden(a.self.o, kClipSlot, a.Arg(0));
    return Value();
}

// Only a real flash.geom.Matrix is taken; any other object is ignored.
bool IsGeomInstance(avm1::Vm& vm, const Value& v, const char* cls) {
    const Value ctor = vm.GetMember(Value::Obj(vm.FlashPackage("geom")), cls);
    return v.IsObject() && ctor.IsObject() && vm.InstanceOf(v, ctor.o);
}

Value GetMatrix(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    return o ? NewMatrix(a.vm, GeomMatrix::FromEngine(o->matrix)) : Value();
}

Value SetMatrix(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    if (o && IsGeomInstance(a.vm, a.Arg(0), "Matrix")) {
        o->matrix = ReadMatrix(a.vm, a.Arg(0)).ToEngine();
        o->scripted = true;
    }
    return Value();
}

Value GetColorTransform(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    return o ? NewColorTransform(a.vm, GeomColorTransform::FromEngine(o->cxform)) : Value();
}

Value SetColorTransform(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    if (o && a.Arg(0).IsObject()) {
        o->cxform = ReadColorTransform(a.vm, a.Arg(0)).ToEngine();
        o->scripted = true;
    }
    return Value();
}

Value GetConcatenatedMatrix(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    return o ? NewMatrix(a.vm, GeomMatrix::FromEngine(ToStage(*o))) : Value();
}

// `outer` after `inner` in the stored 8.8 and 16-bit form; results wrap
// to 16 bits as the stored values do, so a large product comes out small.
ColorTransform ConcatWrapping(const ColorTransform& outer, const ColorTransform& inner) {
    auto mul = [](int o, int i) { return static_cast<int16_t>(static_cast<uint16_t>((o * i) >> 8)); };
    auto add = [](int oMul, int iAdd, int oAdd) {
        return static_cast<int16_t>(static_cast<uint16_t>(((iAdd * oMul) >> 8) + oAdd));
    };
    ColorTransform t;
    t.rMul = mul(outer.rMul, inner.rMul);
    t.gMul = mul(outer.gMul, inner.gMul);
    t.bMul = mul(outer.bMul, inner.bMul);
    t.aMul = mul(outer.aMul, inner.aMul);
    t.rAdd = add(outer.rMul, inner.rAdd, outer.rAdd);
    t.gAdd = add(outer.gMul, inner.gAdd, outer.gAdd);
    t.bAdd = add(outer.bMul, inner.bAdd, outer.bAdd);
    t.aAdd = add(outer.aMul, inner.aAdd, outer.aAdd);
    return t;
}

// Each parent's transform applies after its child's.
Value GetConcatenatedColorTransform(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    if (!o) return Value();
    ColorTransform t = o->cxform;
    for (const DisplayObject* p = o->parent; p; p = p->parent) t = ConcatWrapping(p->cxform, t);
    return NewColorTransform(a.vm, GeomColorTransform::FromEngine(t));
}

// The stage pixels the object's drawing touches, whole pixels outwards;
// all zero when it draws nothing.
Value GetPixelBounds(CallArgs& a) {
    DisplayObject* o = TargetOf(a);
    if (!o) return Value();
    Rect box;
    if (!StageBounds(*o, &box)) return NewRectangle(a.vm, {});
    const double px = kTwipsPerPixel;
    const double l = std::floor(box.xMin / px), t = std::floor(box.yMin / px);
    return NewRectangle(a.vm, {l, t, std::ceil(box.xMax / px) - l, std::ceil(box.yMax / px) - t});
}

Value GetClipTransform(CallArgs& a) { return ObjectOf(a) ? NewTransform(a.vm, a.self) : Value(); }

// Takes both parts of any object that has them (another clip's transform).
Value SetClipTransform(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    const Value from = a.Arg(0);
    if (!o || !from.IsObject()) return Value();
    const Value m = a.vm.GetMember(from, "matrix"), t = a.vm.GetMember(from, "colorTransform");
    if (m.IsObject()) o->matrix = ReadMatrix(a.vm, m).ToEngine();
    if (t.IsObject()) o->cxform = ReadColorTransform(a.vm, t).ToEngine();
    o->scripted = true;
    return Value();
}

}  // namespace

void InstallTransform(avm1::Vm& vm, avm1::Object* package) {
    avm1::Object* proto = vm.NewObject();
    vm.DefineClassIn(package, "Transform", TransformCtor, proto);
    vm.DefineAccessor(proto, "matrix", GetMatrix, SetMatrix);
    vm.DefineAccessor(proto, "colorTransform", GetColorTransform, SetColorTransform);
    vm.DefineAccessor(proto, "concatenatedMatrix", GetConcatenatedMatrix, nullptr);
    vm.DefineAccessor(proto, "concatenatedColorTransform", GetConcatenatedColorTransform, nullptr);
    vm.DefineAccessor(proto, "pixelBounds", GetPixelBounds, nullptr);
    if (vm.clipProto) vm.DefineAccessor(vm.clipProto, "transform", GetClipTransform, SetClipTransform);
}

}  // namespace swf::bind
