// The flash.filters classes: constructors taking the settings in their
// documented order, and clone(). The settings table below is shared with
// the conversions (FilterConvert.cpp) through FilterParams.
#include <algorithm>
#include <cmath>

#include "swf/avm1/FilterClasses.h"
#include "swf/avm1/FilterParams.h"

namespace swf::avm1 {

namespace {

constexpr double kMaxBlur = 255, kMaxQuality = 15, kMaxStrength = 255, kMaxSide = 15;
constexpr uint32_t kRgbMask = 0xFFFFFF;

const char* const kTypes[] = {"inner", "outer", "full"};

Value CopyArray(Vm& vm, const Value& v) {
    if (!v.IsObject() || v.o->cls != ObjClass::Array) return Value::Null();
    return Value::Obj(vm.NewArray(vm.ArrayValues(v.o)));
}

double ClampNumber(Vm& vm, const Value& v, double lo, double hi) {
    const double d = vm.ToNumber(v);
    return std::isnan(d) ? lo : std::clamp(d, lo, hi);
}

// The default of a setting that has none in the table: the identity
// colour matrix.
Value IdentityMatrix(Vm& vm) {
    std::vector<Value> m;
    for (int i = 0; i < kColorMatrixSize; ++i) m.push_back(Value::Num(i % 6 == 0 ? 1 : 0));
    return Value::Obj(vm.NewArray(std::move(m)));
}

Value DefaultOf(Vm& vm, const FilterClass& c, const FilterParam& p) {
    switch (p.type) {
    case ParamType::Bool: return Value::Bool(p.def != 0);
    case ParamType::Type: return Value::String(kTypes[c.typeDefault]);
    case ParamType::Array: return p.def != 0 ? IdentityMatrix(vm) : Value::Null();
    default: return Value::Num(p.def);
    }
}

Value FilterCtor(CallArgs& a) {
    if (!a.construct || !a.self.IsObject()) return Value();
    const FilterClass& c = ClassOf(FilterKind(a.callee->fn->magic));
    for (size_t i = 0; i < c.count; ++i) {
        const FilterParam& p = c.params[i];
        const Value v = i < a.args.size() && !a.args[i].IsUndefined() ? a.args[i] : DefaultOf(a.vm, c, p);
        a.vm.Put(a.self.o, p.name, NormaliseParam(a.vm, p.type, v));
    }
    return Value();
}

Value FilterClone(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    Object* copy = a.vm.NewObject(a.self.o->proto);
    for (const Property& p : a.self.o->Props())
        a.vm.Put(copy, p.name, p.value.IsObject() && p.value.o->cls == ObjClass::Array ? CopyArray(a.vm, p.value)
                                                                                     : p.value);
    return Value::Obj(copy);
}

Value NoFilter(CallArgs&) { return Value(); }

}  // namespace

Value NormaliseParam(Vm& vm, ParamType type, const Value& v) {
    switch (type) {
    case ParamType::Number: return Value::Num(vm.ToNumber(v));
    case ParamType::Blur: return Value::Num(ClampNumber(vm, v, 0, kMaxBlur));
    case ParamType::Quality: return Value::Num(std::trunc(ClampNumber(vm, v, 0, kMaxQuality)));
    case ParamType::Strength: return Value::Num(ClampNumber(vm, v, 0, kMaxStrength));
    case ParamType::Alpha: return Value::Num(ClampNumber(vm, v, 0, 1));
    case ParamType::Color: return Value::Num(double(uint32_t(ToInt32(vm.ToNumber(v))) & kRgbMask));
    case ParamType::Side: return Value::Num(std::trunc(ClampNumber(vm, v, 0, kMaxSide)));
    case ParamType::Bool: return Value::Bool(vm.ToBool(v));
    case ParamType::Type: {
        const std::string s = vm.ToString(v);
        for (const char* t : kTypes)
            if (s == t) return Value::String(s);
        return Value::String(kTypes[2]);
    }
    case ParamType::Array: return CopyArray(vm, v);
    }
    return v;
}

Object* FilterPrototype(Vm& vm, FilterKind kind) {
    const Value flash = vm.Get(vm.global, "flash", Value::Obj(vm.global));
    if (!flash.IsObject()) return nullptr;
    const Value filters = vm.Get(flash.o, "filters", flash);
    if (!filters.IsObject()) return nullptr;
    const Value ctor = vm.Get(filters.o, ClassOf(kind).name, filters);
    if (!ctor.IsObject()) return nullptr;
    const Value proto = vm.Get(ctor.o, "prototype", ctor);
    return proto.IsObject() ? proto.o : nullptr;
}

void InstallFilters(Vm& vm) {
    Object* filters = vm.FlashPackage("filters");
    // The base class: it makes plain objects, and its clone gives nothing.
    Object* base = vm.NewObject(vm.objectProto);
    vm.DefineNative(base, "clone", NoFilter);
    vm.DefineClassIn(filters, "BitmapFilter", NoFilter, base);
    for (uint8_t k = 0; k <= kLastFilterKind; ++k) {
        const FilterClass& c = ClassOf(FilterKind(k));
        Object* proto = vm.NewObject(base);
        vm.DefineNative(proto, "clone", FilterClone);
        vm.DefineClassIn(filters, c.name, FilterCtor, proto, k);
    }
}

}  // namespace swf::avm1
