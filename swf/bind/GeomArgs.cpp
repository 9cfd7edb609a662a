#include "swf/bind/GeomArgs.h"

#include <cmath>

namespace swf::bind {

namespace {

using avm1::Value;

constexpr double kMaxCoord = 1 << 24;  // far past any bitmap, inside int32

double Finite(avm1::Vm& vm, const Value& obj, const char* name, double fallback) {
    const Value v = vm.GetMember(obj, name);
    if (v.IsUndefined()) return fallback;
    const double d = vm.ToNumber(v);
    return std::isfinite(d) ? d : 0;
}

}  // namespace

bool ReadRect(avm1::Vm& vm, const Value& v, GeomRect& out) {
    if (!v.IsObject()) return false;
    out = {Finite(vm, v, "x", 0), Finite(vm, v, "y", 0), Finite(vm, v, "width", 0), Finite(vm, v, "height", 0)};
    return true;
}

bool ReadPoint(avm1::Vm& vm, const Value& v, GeomPoint& out) {
    if (!v.IsObject()) return false;
    out = {Finite(vm, v, "x", 0), Finite(vm, v, "y", 0)};
    return true;
}

GeomMatrix ReadMatrix(avm1::Vm& vm, const Value& v) {
    if (!v.IsObject()) return {};
    return {Finite(vm, v, "a", 0), Finite(vm, v, "b", 0), Finite(vm, v, "c", 0),
            Finite(vm, v, "d", 0), Finite(vm, v, "tx", 0), Finite(vm, v, "ty", 0)};
}

GeomColorTransform ReadColorTransform(avm1::Vm& vm, const Value& v) {
    GeomColorTransform t;
    if (!v.IsObject()) return t;
    const char* names[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                           "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};
    double* fields[] = {&t.redMultiplier, &t.greenMultiplier, &t.blueMultiplier, &t.alphaMultiplier,
                        &t.redOffset,     &t.greenOffset,     &t.blueOffset,     &t.alphaOffset};
    for (size_t i = 0; i < 8; ++i) *fields[i] = Finite(vm, v, names[i], *fields[i]);
    return t;
}

int PixelCoord(double v) { return int(std::floor(std::fmax(-kMaxCoord, std::fmin(kMaxCoord, v)))); }

PixelRect ToPixels(const GeomRect& r) {
    const int x = PixelCoord(r.x), y = PixelCoord(r.y);
    return {x, y, PixelCoord(r.x + r.width) - x, PixelCoord(r.y + r.height) - y};
}

Value NewRectangle(avm1::Vm& vm, const GeomRect& r) {
    const std::vector<Value> args = {Value::Num(r.x), Value::Num(r.y), Value::Num(r.width), Value::Num(r.height)};
    const Value geom = vm.GetMember(vm.GetMember(Value::Obj(vm.global), "flash"), "geom");
    const Value ctor = geom.IsObject() ? vm.GetMember(geom, "Rectangle") : Value();
    if (vm.IsFunction(ctor)) return vm.Construct(ctor, args);
    avm1::Object* o = vm.NewObject(vm.objectProto);
    const char* names[] = {"x", "y", "width", "height"};
    for (size_t i = 0; i < 4; ++i) vm.Put(o, names[i], args[i]);
    return Value::Obj(o);
}

}  // namespace swf::bind
