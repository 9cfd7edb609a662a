#include "swf/bind/GeomValues.h"

#include <limits>

namespace swf::bind {

namespace {

using avm1::Object;
using avm1::Value;

constexpr const char* kPointFields[] = {"x", "y"};
constexpr const char* kRectFields[] = {"x", "y", "width", "height"};
constexpr const char* kMatrixFields[] = {"a", "b", "c", "d", "tx", "ty"};
constexpr const char* kCxformFields[] = {"redMultiplier", "greenMultiplier", "blueMultiplier",
                                         "alphaMultiplier", "redOffset",     "greenOffset",
                                         "blueOffset",      "alphaOffset"};

template <size_t N>
void StoreFields(avm1::Vm& vm, Object* on, const char* const (&names)[N], const double (&values)[N]) {
    for (size_t i = 0; i < N; ++i) vm.Put(on, names[i], Value::Num(values[i]));
}

struct Fields {
    const char* const* names;
    size_t count;
};

Fields FieldsOf(GeomClass cls) {
    switch (cls) {
    case GeomClass::Point: return {kPointFields, 2};
    case GeomClass::Rectangle: return {kRectFields, 4};
    case GeomClass::Matrix: return {kMatrixFields, 6};
    case GeomClass::ColorTransform: return {kCxformFields, 8};
    }
    return {kPointFields, 2};
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Object* PrototypeOf(avm1::Vm& vm, const char* cls) {
    const Value geom = vm.GetMember(vm.GetMember(Value::Obj(vm.global), "flash"), "geom");
    const Value ctor = geom.IsObject() ? vm.GetMember(geom, cls) : Value();
    const Value proto = ctor.IsObject() ? vm.GetMember(ctor, "prototype") : Value();
    return proto.IsObject() ? proto.o : vm.objectProto;
}

template <typename T, typename Store>
Value Make(avm1::Vm& vm, const char* cls, const T& value, Store store) {
    Object* o = vm.NewObject(PrototypeOf(vm, cls));
    store(vm, o, value);
    return Value::Obj(o);
}

}  // namespace

GeomPoint PointArg(avm1::CallArgs& a, size_t i) {
    GeomPoint p{kNaN, kNaN};
    ReadPoint(a.vm, a.Arg(i), p);
    return p;
}

GeomRect RectArg(avm1::CallArgs& a, size_t i) {
    GeomRect r{kNaN, kNaN, kNaN, kNaN};
    ReadRect(a.vm, a.Arg(i), r);
    return r;
}

GeomPoint SelfPoint(avm1::CallArgs& a) {
    GeomPoint p{kNaN, kNaN};
    ReadPoint(a.vm, a.self, p);
    return p;
}

GeomRect SelfRect(avm1::CallArgs& a) {
    GeomRect r{kNaN, kNaN, kNaN, kNaN};
    ReadRect(a.vm, a.self, r);
    return r;
}

GeomMatrix SelfMatrix(avm1::CallArgs& a) {
    return a.self.IsObject() ? ReadMatrix(a.vm, a.self) : GeomMatrix{kNaN, kNaN, kNaN, kNaN, kNaN, kNaN};
}

void InitFields(avm1::CallArgs& a, GeomClass cls, const double* defaults) {
    // Called as a function (Matrix.call(o, ...)) it fills in `this` too.
    if (!a.self.IsObject()) return;
    const Fields f = FieldsOf(cls);
    // A colour transform defaults each argument on its own.
    const bool each = cls == GeomClass::ColorTransform;
    for (size_t i = 0; i < f.count; ++i) {
        const bool given = each ? i < a.args.size() && !a.args[i].IsUndefined() : !a.args.empty();
        a.vm.Put(a.self.o, f.names[i], given ? a.Arg(i) : Value::Num(defaults[i]));
    }
}

void StorePoint(avm1::Vm& vm, Object* on, GeomPoint p) { StoreFields(vm, on, kPointFields, {p.x, p.y}); }

void StoreRect(avm1::Vm& vm, Object* on, const GeomRect& r) {
    StoreFields(vm, on, kRectFields, {r.x, r.y, r.width, r.height});
}

void StoreMatrix(avm1::Vm& vm, Object* on, const GeomMatrix& m) {
    StoreFields(vm, on, kMatrixFields, {m.a, m.b, m.c, m.d, m.tx, m.ty});
}

void StoreColorTransform(avm1::Vm& vm, Object* on, const GeomColorTransform& t) {
    StoreFields(vm, on, kCxformFields,
                {t.redMultiplier, t.greenMultiplier, t.blueMultiplier, t.alphaMultiplier, t.redOffset,
                 t.greenOffset, t.blueOffset, t.alphaOffset});
}

Value NewPoint(avm1::Vm& vm, GeomPoint p) { return Make(vm, "Point", p, StorePoint); }
Value NewMatrix(avm1::Vm& vm, const GeomMatrix& m) { return Make(vm, "Matrix", m, StoreMatrix); }
Value NewColorTransform(avm1::Vm& vm, const GeomColorTransform& t) {
    return Make(vm, "ColorTransform", t, StoreColorTransform);
}

Value Describe(avm1::Vm& vm, const Value& self, GeomClass cls) {
    static const char* const kRectLabels[] = {"x", "y", "w", "h"};
    const Fields f = FieldsOf(cls);
    const char* const* names = f.names;
    const char* const* labels = cls == GeomClass::Rectangle ? kRectLabels : names;
    const size_t count = f.count;
    std::string out = "(";
    for (size_t i = 0; i < count; ++i) {
        if (i) out += ", ";
        out += std::string(labels[i]) + "=" + vm.ToString(vm.GetMember(self, names[i]));
    }
    return Value::String(out + ")");
}

void InstallGeom(avm1::Vm& vm) {
    Object* geom = vm.FlashPackage("geom");
    InstallPoint(vm, geom);
    InstallRectangle(vm, geom);
    InstallMatrix(vm, geom);
    InstallColorTransform(vm, geom);
    InstallTransform(vm, geom);
}

}  // namespace swf::bind
