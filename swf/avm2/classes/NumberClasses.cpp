// Number, int, uint and Boolean: conversions when called, toString with a
// radix, toFixed, toPrecision, toExponential and the constants.
#include <cmath>
#include <cstdio>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

Value NumberCall(Machine& m, Value, Args args, int argc) { return Value::Number(argc ? m.ToNumber(args[0]) : 0); }
Value IntCall(Machine& m, Value, Args args, int argc) { return Value::Int(argc ? m.ToInt32(args[0]) : 0); }
Value UintCall(Machine& m, Value, Args args, int argc) { return Value::Uint(argc ? m.ToUint32(args[0]) : 0); }
Value BooleanCall(Machine& m, Value, Args args, int argc) { return Value::Bool(argc && m.ToBoolean(args[0])); }

std::string Radix(double d, int radix) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    bool neg = d < 0;
    double v = std::trunc(std::fabs(d));
    std::string out;
    do {
        int digit = int(std::fmod(v, radix));
        out.insert(out.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[digit]);
        v = std::floor(v / radix);
    } while (v > 0);
    return neg ? "-" + out : out;
}

const char* const kNumberNames[] = {"Number", "int", "uint"};

// A primitive class's prototype stands for the class's default value.
bool IsPrototypeOf(const Value& v, const ClassObject* c) { return v.IsObject() && c && v.o == c->prototype; }
bool IsNumberPrototype(Machine& m, const Value& v) {
    return IsPrototypeOf(v, m.numberClass) || IsPrototypeOf(v, m.intClass) || IsPrototypeOf(v, m.uintClass);
}

// int's methods take only whole numbers of its range; uint's any number.
template <int K>
bool OfKind(Machine& m, const Value& v) {
    return K == 1 ? m.IsType(v, m.intClass) : v.IsNumber();
}

template <int K>
Value NumToString(Machine& m, Value self, Args args, int argc) {
    if (IsNumberPrototype(m, self)) self = Value::Int(0);
    if (!OfKind<K>(m, self))
        m.TypeError(1004, std::string("Method ") + kNumberNames[K] +
                              ".prototype.toString was invoked on an incompatible object.");
    int radix = argc && !args[0].IsUndefined() ? m.ToInt32(args[0]) : 10;
    if (radix < 2 || radix > 36) m.RangeError(1003, "The radix argument must be between 2 and 36; got " + std::to_string(radix) + ".");
    if (radix == 10) return Value::Str(m.ToString(self));
    return Value::Str(m.Str(Radix(self.Num(), radix)));
}
template <int K>
Value NumValueOf(Machine& m, Value self, Args, int) {
    if (IsNumberPrototype(m, self)) return Value::Int(0);
    if (!OfKind<K>(m, self))
        m.TypeError(1004, std::string("Method ") + kNumberNames[K] +
                              ".prototype.valueOf was invoked on an incompatible object.");
    return self;
}
Value NumToFixed(Machine& m, Value self, Args args, int argc) {
    int digits = argc ? m.ToInt32(args[0]) : 0;
    if (digits < 0 || digits > 20) m.RangeError(1002, "Number.prototype.toFixed has a range of 0 to 20. " + std::to_string(digits) + " is out of range.");
    double d = m.ToNumber(self);
    if (std::fabs(d) >= 1e21 || std::isnan(d)) return Value::Str(m.ToString(Value::Number(d)));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits, d);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s = s.substr(1);
    return Value::Str(m.Str(s));
}
Value NumToPrecision(Machine& m, Value self, Args args, int argc) {
    double d = m.ToNumber(self);
    if (!argc || args[0].IsUndefined()) return Value::Str(m.ToString(Value::Number(d)));
    int p = m.ToInt32(args[0]);
    if (p < 1 || p > 21) m.RangeError(1002, "Number.prototype.toPrecision has a range of 1 to 21. " + std::to_string(p) + " is out of range.");
    if (d == 0 || std::isnan(d) || std::isinf(d)) {
        if (d != 0) return Value::Str(m.ToString(Value::Number(d)));
        std::string z = "0";
        if (p > 1) z += "." + std::string(p - 1, '0');
        return Value::Str(m.Str(z));
    }
    int e = int(std::floor(std::log10(std::fabs(d))));
    char buf[64];
    if (e < -6 || e >= p) {
        std::snprintf(buf, sizeof buf, "%.*e", p - 1, d);
        std::string s = buf;
        size_t ep = s.find('e');
        int ex = std::atoi(s.c_str() + ep + 1);
        return Value::Str(m.Str(s.substr(0, ep) + "e" + (ex >= 0 ? "+" : "-") + std::to_string(std::abs(ex))));
    }
    std::snprintf(buf, sizeof buf, "%.*f", std::max(0, p - 1 - e), d);
    return Value::Str(m.Str(buf));
}
Value NumToExponential(Machine& m, Value self, Args args, int argc) {
    double d = m.ToNumber(self);
    int p = argc ? m.ToInt32(args[0]) : 0;
    if (p < 0 || p > 20) m.RangeError(1002, "Number.prototype.toExponential has a range of 0 to 20. " + std::to_string(p) + " is out of range.");
    if (std::isnan(d) || std::isinf(d)) return Value::Str(m.ToString(Value::Number(d)));
    // The player's digit generator never reaches zero: it stops at 1e-15
    // with no digits asked for, and at digits of zero times 1e-16 with some.
    if (d == 0) return Value::Str(m.Str(p == 0 ? "1e-15" : "0." + std::string(size_t(p), '0') + "e-16"));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", p, d);
    std::string s = buf;
    size_t ep = s.find('e');
    int ex = std::atoi(s.c_str() + ep + 1);
    return Value::Str(m.Str(s.substr(0, ep) + "e" + (ex >= 0 ? "+" : "-") + std::to_string(std::abs(ex))));
}
Value BoolToString(Machine& m, Value self, Args, int) {
    if (IsPrototypeOf(self, m.booleanClass)) self = Value::Bool(false);
    if (!self.IsBool()) m.TypeError(1004, "Method Boolean.prototype.toString was invoked on an incompatible object.");
    return Value::Str(m.ToString(self));
}
Value BoolValueOf(Machine& m, Value self, Args, int) {
    if (IsPrototypeOf(self, m.booleanClass)) return Value::Bool(false);
    if (!self.IsBool()) m.TypeError(1004, "Method Boolean.prototype.valueOf was invoked on an incompatible object.");
    return self;
}

template <int K>
void NumberMethods(Machine& m, ClassObject* c) {
    m.DefineMethod(c, "toString", NumToString<K>, 1);
    m.DefineMethod(c, "valueOf", NumValueOf<K>, 0);
    m.DefineMethod(c, "toFixed", NumToFixed, 1);
    m.DefineMethod(c, "toPrecision", NumToPrecision, 1);
    m.DefineMethod(c, "toExponential", NumToExponential, 1);
    m.DefineConstant(c, "length", Value::Int(1));
}

}  // namespace

void InstallNumbers(Machine& m) {
    ClassObject* number = m.DefineClass("", "Number", m.objectClass, nullptr, true);
    m.numberClass = number;
    number->isFinal = true;
    number->call = NumberCall;
    NumberMethods<0>(m, number);
    m.DefineConstant(number, "NaN", Value::Number(NAN));
    m.DefineConstant(number, "POSITIVE_INFINITY", Value::Number(INFINITY));
    m.DefineConstant(number, "NEGATIVE_INFINITY", Value::Number(-INFINITY));
    m.DefineConstant(number, "MAX_VALUE", Value::Number(1.79769313486231e+308));
    m.DefineConstant(number, "MIN_VALUE", Value::Number(4.9e-324));
    ClassObject* i = m.DefineClass("", "int", m.objectClass, nullptr, true);
    m.intClass = i;
    i->isFinal = true;
    i->call = IntCall;
    NumberMethods<1>(m, i);
    m.DefineConstant(i, "MAX_VALUE", Value::Int(INT32_MAX));
    m.DefineConstant(i, "MIN_VALUE", Value::Int(INT32_MIN));
    ClassObject* u = m.DefineClass("", "uint", m.objectClass, nullptr, true);
    m.uintClass = u;
    u->isFinal = true;
    u->call = UintCall;
    NumberMethods<2>(m, u);
    m.DefineConstant(u, "MAX_VALUE", Value::Uint(UINT32_MAX));
    m.DefineConstant(u, "MIN_VALUE", Value::Int(0));
    ClassObject* b = m.DefineClass("", "Boolean", m.objectClass, nullptr, true);
    m.booleanClass = b;
    b->isFinal = true;
    b->call = BooleanCall;
    m.DefineMethod(b, "toString", BoolToString, 0);
    m.DefineMethod(b, "valueOf", BoolValueOf, 0);
    m.DefineConstant(b, "length", Value::Int(1));
}

}  // namespace swf::avm2
