// Conversions between value kinds, as movies of each SWF version expect:
//  1. undefined is "" as a string before SWF 7, "undefined" from 7 on; as
//     a number it is 0 before 7 and NaN from 7 on (null likewise).
//  2. A string is true before SWF 7 only when it reads as a non-zero
//     number; from 7 on every non-empty string is true.
//  3. Objects convert through valueOf (numbers) or toString (strings);
//     when that gives no primitive, the other one is tried.
#include <cmath>

#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {
constexpr int kMaxToPrimitiveDepth = 8;
}

Value Vm::ToPrimitive(const Value& v, bool hintString) {
    if (v.kind != Value::Kind::Object) return v;
    Object* o = v.o;
    // Dates convert to strings by default.
    if (o->cls == ObjClass::Date) hintString = true;
    static thread_local int nesting = 0;
    if (nesting >= kMaxToPrimitiveDepth) return Value::String(o->fn ? "[type Function]" : "[object Object]");
    ++nesting;
    struct Leave { ~Leave() { --nesting; } } leave;
    const char* order[2] = {hintString ? "toString" : "valueOf", hintString ? "valueOf" : "toString"};
    for (const char* name : order) {
        Value m = Get(o, name, v);
        if (!IsFunction(m)) continue;
        Value r = Call(m, v, {});
        if (r.kind != Value::Kind::Object) return r;
    }
    if (o->fn) return Value::String("[type Function]");
    return Value::String("[object Object]");
}

double Vm::ToNumber(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return version_ >= 7 ? std::nan("") : 0.0;
    case Value::Kind::Bool: return v.b ? 1 : 0;
    case Value::Kind::Number: return v.n;
    case Value::Kind::String: return StringToNumber(*v.s, version_);
    case Value::Kind::Clip: return std::nan("");
    case Value::Kind::Object: {
        Value p = ToPrimitive(v);
        return p.kind == Value::Kind::Object ? std::nan("") : ToNumber(p);
    }
    }
    return 0;
}

Str Vm::ToStr(const Value& v) {
    static const Str kUndefined = MakeStr("undefined"), kNull = MakeStr("null"), kTrue = MakeStr("true"),
                     kFalse = MakeStr("false");
    switch (v.kind) {
    case Value::Kind::Undefined: return version_ >= 7 ? kUndefined : EmptyStr();
    case Value::Kind::Null: return kNull;
    case Value::Kind::Bool: return v.b ? kTrue : kFalse;
    case Value::Kind::Number: return MakeStr(NumberToString(v.n));
    case Value::Kind::String: return v.s;
    case Value::Kind::Clip: return v.s;
    case Value::Kind::Object: {
        Value p = ToPrimitive(v, true);
        return p.kind == Value::Kind::Object ? MakeStr("[object Object]") : ToStr(p);
    }
    }
    return EmptyStr();
}

bool Vm::ToBool(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return false;
    case Value::Kind::Bool: return v.b;
    case Value::Kind::Number: return v.n != 0 && !std::isnan(v.n);
    case Value::Kind::String: {
        if (version_ >= 7) return !v.s->empty();
        double d = StringToNumber(*v.s, version_);
        return d != 0 && !std::isnan(d);
    }
    case Value::Kind::Object:
    case Value::Kind::Clip: return true;
    }
    return false;
}

Object* Vm::ToObject(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Object: return v.o;
    case Value::Kind::String: return stringProto;
    case Value::Kind::Number: return numberProto;
    case Value::Kind::Bool: return booleanProto;
    case Value::Kind::Clip: return ClipObject(ClipOf(v));
    default: return nullptr;
    }
}

std::string Vm::TypeOf(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Undefined: return "undefined";
    case Value::Kind::Null: return "null";
    case Value::Kind::Bool: return "boolean";
    case Value::Kind::Number: return "number";
    case Value::Kind::String: return "string";
    case Value::Kind::Clip: return host_.KindOf(ClipOf(v)) == ObjectKind::Clip ? "movieclip" : "object";
    case Value::Kind::Object:
        if (v.o->fn) return "function";
        return v.o->cls == ObjClass::Clip && host_.KindOf(v.o->clip) == ObjectKind::Clip ? "movieclip" : "object";
    }
    return "undefined";
}

bool Vm::StrictEquals(const Value& a, const Value& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
    case Value::Kind::Undefined:
    case Value::Kind::Null: return true;
    case Value::Kind::Bool: return a.b == b.b;
    case Value::Kind::Number: return a.n == b.n;
    case Value::Kind::String: return *a.s == *b.s;
    case Value::Kind::Clip: return EqualNames(*a.s, *b.s, true);
    case Value::Kind::Object: return a.o == b.o;
    }
    return false;
}

bool Vm::LooseEquals(const Value& a, const Value& b) {
    using K = Value::Kind;
    if (a.kind == b.kind) return StrictEquals(a, b);
    if (a.IsNullish() && b.IsNullish()) return true;
    if (a.IsNullish() || b.IsNullish()) return false;
    if (a.kind == K::Number && b.kind == K::String) return a.n == ToNumber(b);
    if (a.kind == K::String && b.kind == K::Number) return ToNumber(a) == b.n;
    if (a.kind == K::Bool) return LooseEquals(Value::Num(a.b ? 1 : 0), b);
    if (b.kind == K::Bool) return LooseEquals(a, Value::Num(b.b ? 1 : 0));
    if (a.kind == K::Object && b.kind != K::Clip) {
        Value p = ToPrimitive(a);
        return p.kind != K::Object && LooseEquals(p, b);
    }
    if (b.kind == K::Object && a.kind != K::Clip) {
        Value p = ToPrimitive(b);
        return p.kind != K::Object && LooseEquals(a, p);
    }
    return false;
}

Value Vm::Compare(const Value& a, const Value& b) {
    Value pa = ToPrimitive(a), pb = ToPrimitive(b);
    if (pa.IsString() && pb.IsString()) return Value::Bool(*pa.s < *pb.s);
    double x = ToNumber(pa), y = ToNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value::Bool(x < y);
}

}  // namespace swf::avm1
