// Number, Boolean and Math.
#include <cfloat>
#include <cmath>

#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

double SelfNumber(CallArgs& a) {
    if (a.self.IsObject() && a.self.o->cls == ObjClass::Number) return a.self.o->primitive.n;
    return a.vm.ToNumber(a.self);
}

Value NumberCtor(CallArgs& a) {
    Value n = Value::Num(a.args.empty() ? 0 : a.vm.ToNumber(a.Arg(0)));
    if (!a.construct || !a.self.IsObject()) return n;
    a.self.o->cls = ObjClass::Number;
    a.self.o->primitive = n;
    return Value();
}

Value NumberToStringF(CallArgs& a) {
    double d = SelfNumber(a);
    int radix = a.Arg(0).IsUndefined() ? 10 : ToInt32(a.vm.ToNumber(a.Arg(0)));
    if (radix < 2 || radix > 36 || radix == 10 || !std::isfinite(d)) return Value::String(NumberToString(d));
    // Other radixes print the integer part, as movies use them for hex.
    int64_t v = static_cast<int64_t>(std::trunc(d));
    bool neg = v < 0;
    uint64_t u = neg ? uint64_t(-v) : uint64_t(v);
    std::string s;
    do {
        s.insert(s.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % uint64_t(radix)]);
        u /= uint64_t(radix);
    } while (u);
    return Value::String(neg ? "-" + s : s);
}

Value NumberValueOf(CallArgs& a) { return Value::Num(SelfNumber(a)); }

Value BooleanCtor(CallArgs& a) {
    Value b = Value::Bool(a.vm.ToBool(a.Arg(0)));
    // Called with nothing to convert, it gives nothing.
    if (!a.construct && a.args.empty()) return Value();
    if (!a.construct || !a.self.IsObject()) return b;
    a.self.o->cls = ObjClass::Boolean;
    a.self.o->primitive = b;
    return Value();
}

bool SelfBool(CallArgs& a) {
    if (a.self.IsObject() && a.self.o->cls == ObjClass::Boolean) return a.self.o->primitive.b;
    return a.vm.ToBool(a.self);
}

Value BooleanToString(CallArgs& a) { return Value::String(SelfBool(a) ? "true" : "false"); }
Value BooleanValueOf(CallArgs& a) { return Value::Bool(SelfBool(a)); }

enum MathOne { kAbs, kAcos, kAsin, kAtan, kCeil, kCos, kExp, kFloor, kLog, kRound, kSin, kSqrt, kTan };

// Every Math function converts its first two arguments, in order, whether
// it uses them or not; a missing one is NaN, later ones are never read.
struct TwoNumbers {
    double x, y;
};
TwoNumbers ReadTwo(CallArgs& a) {
    TwoNumbers n{std::nan(""), std::nan("")};
    if (a.args.size() > 0) n.x = a.vm.ToNumber(a.args[0]);
    if (a.args.size() > 1) n.y = a.vm.ToNumber(a.args[1]);
    return n;
}

Value MathUnary(CallArgs& a) {
    const double x = ReadTwo(a).x;
    switch (a.callee->fn->magic) {
    case kAbs: return Value::Num(std::fabs(x));
    case kAcos: return Value::Num(std::acos(x));
    case kAsin: return Value::Num(std::asin(x));
    case kAtan: return Value::Num(std::atan(x));
    case kCeil: return Value::Num(std::ceil(x));
    case kCos: return Value::Num(std::cos(x));
    case kExp: return Value::Num(std::exp(x));
    case kFloor: return Value::Num(std::floor(x));
    case kLog: return Value::Num(std::log(x));
    case kRound: return Value::Num(std::floor(x + 0.5));
    case kSin: return Value::Num(std::sin(x));
    case kSqrt: return Value::Num(std::sqrt(x));
    case kTan: return Value::Num(std::tan(x));
    }
    return Value();
}

Value Atan2(CallArgs& a) {
    const TwoNumbers n = ReadTwo(a);
    return Value::Num(std::atan2(n.x, n.y));
}

Value Pow(CallArgs& a) {
    const TwoNumbers n = ReadTwo(a);
    return Value::Num(std::pow(n.x, n.y));
}

// Two values: min() and max() alone give the infinities.
Value MinMax(CallArgs& a) {
    const bool isMax = a.callee->fn->magic != 0;
    if (a.args.empty()) return Value::Num(isMax ? -INFINITY : INFINITY);
    const TwoNumbers n = ReadTwo(a);
    if (std::isnan(n.x) || std::isnan(n.y)) return Value::Num(std::nan(""));
    return Value::Num(isMax ? std::max(n.x, n.y) : std::min(n.x, n.y));
}

Value MathRandom(CallArgs& a) {
    ReadTwo(a);
    return Value::Num(a.vm.Random());
}

}  // namespace

void InstallNumberBooleanMath(Vm& vm) {
    vm.numberProto = vm.NewObject();
    Object* number = vm.DefineClass("Number", NumberCtor, vm.numberProto);
    vm.numberCtor = number;
    vm.DefineNative(vm.numberProto, "toString", NumberToStringF);
    vm.DefineNative(vm.numberProto, "valueOf", NumberValueOf);
    const std::pair<const char*, double> numbers[] = {{"MAX_VALUE", DBL_MAX}, {"MIN_VALUE", 4.9406564584124654e-324},
                                                       {"NaN", NAN}, {"NEGATIVE_INFINITY", -INFINITY},
                                                       {"POSITIVE_INFINITY", INFINITY}};
    for (const auto& [name, v] : numbers) vm.SetHidden(number, name, Value::Num(v));

    vm.booleanProto = vm.NewObject();
    vm.booleanCtor = vm.DefineClass("Boolean", BooleanCtor, vm.booleanProto);
    vm.DefineNative(vm.booleanProto, "toString", BooleanToString);
    vm.DefineNative(vm.booleanProto, "valueOf", BooleanValueOf);

    Object* math = vm.NewObject();
    vm.SetHidden(vm.global, "Math", Value::Obj(math));
    const std::pair<const char*, int> unary[] = {{"abs", kAbs}, {"acos", kAcos}, {"asin", kAsin}, {"atan", kAtan},
                                                 {"ceil", kCeil}, {"cos", kCos}, {"exp", kExp}, {"floor", kFloor},
                                                 {"log", kLog}, {"round", kRound}, {"sin", kSin},
                                                 {"sqrt", kSqrt}, {"tan", kTan}};
    for (const auto& [name, magic] : unary) vm.DefineNative(math, name, MathUnary, magic);
    vm.DefineNative(math, "atan2", Atan2);
    vm.DefineNative(math, "pow", Pow);
    vm.DefineNative(math, "min", MinMax, 0);
    vm.DefineNative(math, "max", MinMax, 1);
    vm.DefineNative(math, "random", MathRandom);
    const std::pair<const char*, double> constants[] = {
        {"E", 2.718281828459045}, {"LN10", 2.302585092994046}, {"LN2", 0.6931471805599453},
        {"LOG10E", 0.4342944819032518}, {"LOG2E", 1.4426950408889634}, {"PI", 3.141592653589793},
        {"SQRT1_2", 0.7071067811865476}, {"SQRT2", 1.4142135623730951}};
    for (const auto& [name, v] : constants) vm.SetHidden(math, name, Value::Num(v));
}

}  // namespace swf::avm1
