// Math: the functions and constants. random() is a seeded generator of our
// own so runs repeat.
#include <cmath>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

double N(Machine& m, Args a, int c, int i) { return i < c ? m.ToNumber(a[i]) : NAN; }

#define MATH1(NAME, EXPR) \
    Value NAME(Machine& m, Value, Args a, int c) { double x = N(m, a, c, 0); return Value::Number(EXPR); }
MATH1(MathAbs, std::fabs(x))
MATH1(MathAcos, std::acos(x))
MATH1(MathAsin, std::asin(x))
MATH1(MathAtan, std::atan(x))
MATH1(MathCeil, std::ceil(x))
MATH1(MathCos, std::cos(x))
MATH1(MathExp, std::exp(x))
MATH1(MathFloor, std::floor(x))
MATH1(MathLog, std::log(x))
MATH1(MathSin, std::sin(x))
MATH1(MathSqrt, std::sqrt(x))
MATH1(MathTan, std::tan(x))
MATH1(MathRound, std::floor(x + 0.5))
#undef MATH1

Value MathAtan2(Machine& m, Value, Args a, int c) { return Value::Number(std::atan2(N(m, a, c, 0), N(m, a, c, 1))); }
Value MathPow(Machine& m, Value, Args a, int c) {
    double x = N(m, a, c, 0), y = N(m, a, c, 1);
    if (std::isnan(y)) return Value::Number(NAN);
    if ((x == 1 || x == -1) && std::isinf(y)) return Value::Number(NAN);
    return Value::Number(std::pow(x, y));
}
Value MathMax(Machine& m, Value, Args a, int c) {
    double r = -INFINITY;
    for (int i = 0; i < c; ++i) {
        double x = m.ToNumber(a[i]);
        if (std::isnan(x)) return Value::Number(NAN);
        if (x > r || (x == 0 && r == 0 && !std::signbit(x))) r = x;
    }
    return Value::Number(r);
}
Value MathMin(Machine& m, Value, Args a, int c) {
    double r = INFINITY;
    for (int i = 0; i < c; ++i) {
        double x = m.ToNumber(a[i]);
        if (std::isnan(x)) return Value::Number(NAN);
        if (x < r || (x == 0 && r == 0 && std::signbit(x))) r = x;
    }
    return Value::Number(r);
}
uint64_t g_seed = 0x2545F4914F6CDD1Dull;
Value MathRandom(Machine&, Value, Args, int) {
    g_seed ^= g_seed << 13;
    g_seed ^= g_seed >> 7;
    g_seed ^= g_seed << 17;
    return Value::Number(double(g_seed >> 11) / double(uint64_t(1) << 53));
}

}  // namespace

void InstallMath(Machine& m) {
    ClassObject* c = m.DefineClass("", "Math", m.objectClass, nullptr, true);
    c->isFinal = true;
    struct F {
        const char* name;
        NativeFn fn;
        int len;
    };
    for (const F& f : {F{"abs", MathAbs, 1}, F{"acos", MathAcos, 1}, F{"asin", MathAsin, 1}, F{"atan", MathAtan, 1},
                       F{"ceil", MathCeil, 1}, F{"cos", MathCos, 1}, F{"exp", MathExp, 1}, F{"floor", MathFloor, 1},
                       F{"log", MathLog, 1}, F{"sin", MathSin, 1}, F{"sqrt", MathSqrt, 1}, F{"tan", MathTan, 1},
                       F{"round", MathRound, 1}, F{"atan2", MathAtan2, 2}, F{"pow", MathPow, 2}, F{"max", MathMax, 2},
                       F{"min", MathMin, 2}, F{"random", MathRandom, 0}})
        m.DefineStatic(c, f.name, f.fn, f.len);
    m.DefineConstant(c, "E", Value::Number(2.718281828459045));
    m.DefineConstant(c, "LN10", Value::Number(2.302585092994046));
    m.DefineConstant(c, "LN2", Value::Number(0.6931471805599453));
    m.DefineConstant(c, "LOG10E", Value::Number(0.4342944819032518));
    m.DefineConstant(c, "LOG2E", Value::Number(1.4426950408889634));
    m.DefineConstant(c, "PI", Value::Number(3.141592653589793));
    m.DefineConstant(c, "SQRT1_2", Value::Number(0.7071067811865476));
    m.DefineConstant(c, "SQRT2", Value::Number(1.4142135623730951));
}

}  // namespace swf::avm2
