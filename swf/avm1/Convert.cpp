// Conversions between value kinds, as movies of each SWF version expect:
//  1. undefined is "" as a string before SWF 7, "undefined" from 7 on; as
//     a number it is 0 before 7 and NaN from 7 on (null likewise).
//  2. A string is true before SWF 7 only when it reads as a non-zero
//     number; from 7 on every non-empty string is true.
//  3. An object becomes a primitive through one method only, valueOf (or
//     toString for a Date from SWF 6 on, in + and ==): no method gives
//     undefined, and a method giving an object leaves the object as it
//     was. As a number such an object is NaN.
//  4. As a string an object is what its toString gives when that is a
//     string, else "[type Object]" ("[type Function]" for functions).
#include <cmath>

#include "swf/avm1/Frame.h"
#include "swf/avm1/Text.h"
#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {
constexpr int kMaxToPrimitiveDepth = 8;

// Methods called by conversions can convert again; a cycle of them ends
// here with the plain answer.
struct Nesting {
    static int& Depth() {
        static thread_local int depth = 0;
        return depth;
    }
    Nesting() { ++Depth(); }
    ~Nesting() { --Depth(); }
    static bool Full() { return Depth() >= kMaxToPrimitiveDepth; }
};

const char* TypeText(const Object* o) { return o->fn ? "[type Function]" : "[type Object]"; }
}  // namespace

Value Vm::ToPrimitive(const Value& v, bool hintString) {
    if (v.kind != Value::Kind::Object) return v;
    if (Nesting::Full()) return v;
    Nesting nesting;
    // Found or not: a missing method is not asked of __resolve.
    const char* method = hintString ? "toString" : "valueOf";
    if (!HasProperty(v.o, method)) return Value();
    Value m = Get(v.o, method, v);
    if (!IsFunction(m)) return Value();
    Value r = Call(m, v, {});
    return r.kind == Value::Kind::Object ? v : r;
}

Value Vm::ToPrimitiveDefault(const Value& v) {
    return ToPrimitive(v, v.IsObject() && v.o->cls == ObjClass::Date && version_ >= 6);
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

bool Vm::Swf4Code() const {
    // Functions came with SWF 5: their code runs by the later rules even in
    // a SWF 4 movie.
    return version_ < 5 && (frames_.empty() || !frames_.back()->callee);
}

Str Vm::ToStr(const Value& v) {
    static const Str kUndefined = MakeStr("undefined"), kNull = MakeStr("null"), kTrue = MakeStr("true"),
                     kFalse = MakeStr("false");
    switch (v.kind) {
    case Value::Kind::Undefined: return version_ >= 7 ? kUndefined : EmptyStr();
    case Value::Kind::Null: return kNull;
    case Value::Kind::Bool:
        if (Swf4Code()) return MakeStr(v.b ? "1" : "0");
        return v.b ? kTrue : kFalse;
    case Value::Kind::Number: return MakeStr(NumberToString(v.n));
    case Value::Kind::String: return v.s;
    case Value::Kind::Clip: {
        // The clip's path now, renamed or moved; a removed clip reads as "".
        const ClipId clip = ClipOf(v);
        return clip ? ClipValue(clip).s : EmptyStr();
    }
    case Value::Kind::Object: {
        if (Nesting::Full()) return MakeStr(TypeText(v.o));
        Nesting nesting;
        Value m = Get(v.o, "toString", v);
        if (IsFunction(m)) {
            Value r = Call(m, v, {});
            if (r.IsString()) return r.s;
        }
        return MakeStr(TypeText(v.o));
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

Value Vm::WrapPrimitive(const Value& v, bool always) {
    const char* name = nullptr;
    Object* builtin = nullptr;
    switch (v.kind) {
    case Value::Kind::Bool: name = "Boolean", builtin = booleanCtor; break;
    case Value::Kind::Number: name = "Number", builtin = numberCtor; break;
    case Value::Kind::String: name = "String", builtin = stringCtor; break;
    default: return Value();
    }
    Value ctor;
    int hops = 0;
    for (Object* p = global; p && hops < 256; p = p->proto, ++hops) {
        const Property* prop = p->Find(name, Ci());
        if (!prop || HiddenFor(prop->flags, version_)) continue;
        if (!always && !prop->getter && !prop->setter && prop->value.IsObject() && prop->value.o == builtin) return v;
        const Property copy = *prop;  // a getter may change the global object
        ctor = ReadProperty(p, copy, name, Value::Obj(global));
        break;
    }
    // Script classes and the three wrappers make one; other natives cannot.
    if (!IsFunction(ctor)) return Value();
    Object* fn = ctor.o;
    const bool wrapper = fn == booleanCtor || fn == numberCtor || fn == stringCtor;
    if (fn->fn->native && !wrapper) return Value();
    const Value made = Construct(ctor, {v});
    return made.IsObject() ? made : Value();
}

Value Vm::ThisFor(const Value& v) {
    if (v.IsNullish()) return Value::Obj(global);
    if (v.kind != Value::Kind::Bool && v.kind != Value::Kind::Number && v.kind != Value::Kind::String) return v;
    const Value wrapped = WrapPrimitive(v, true);
    return wrapped.IsObject() ? wrapped : Value::Obj(global);
}

std::string Vm::TypeOf(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Undefined: return "undefined";
    case Value::Kind::Null: return "null";
    case Value::Kind::Bool: return "boolean";
    case Value::Kind::Number: return "number";
    case Value::Kind::String: return "string";
    case Value::Kind::Clip: {
        // A reference to a removed clip is still a movie clip's.
        const ObjectKind kind = host_.KindOf(ClipOf(v));
        return kind == ObjectKind::Clip || kind == ObjectKind::None ? "movieclip" : "object";
    }
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
    case Value::Kind::Clip: {
        // By path: two clips of one name are equal.
        const ClipId x = ClipOf(a), y = ClipOf(b);
        return EqualNames(x ? *ClipValue(x).s : *a.s, y ? *ClipValue(y).s : *b.s, true);
    }
    case Value::Kind::Object: return a.o == b.o;
    }
    return false;
}

bool Vm::LooseEquals(const Value& a, const Value& b) {
    using K = Value::Kind;
    if (a.kind == b.kind) return StrictEquals(a, b);
    if (a.IsNullish() && b.IsNullish()) return true;
    if ((a.IsNullish() && b.kind != K::Object) || (b.IsNullish() && a.kind != K::Object)) return false;
    if (a.kind == K::Number && b.kind == K::String) return a.n == ToNumber(b);
    if (a.kind == K::String && b.kind == K::Number) return ToNumber(a) == b.n;
    if (a.kind == K::Bool) return LooseEquals(Value::Num(a.b ? 1 : 0), b);
    if (b.kind == K::Bool) return LooseEquals(a, Value::Num(b.b ? 1 : 0));
    // An object against anything else, null included, compares as its
    // primitive: _global, with no valueOf, equals null.
    if (a.kind == K::Object && b.kind != K::Clip) {
        Value p = ToPrimitiveDefault(a);
        return p.kind != K::Object && LooseEquals(p, b);
    }
    if (b.kind == K::Object && a.kind != K::Clip) {
        Value p = ToPrimitiveDefault(b);
        return p.kind != K::Object && LooseEquals(a, p);
    }
    return false;
}

Value Vm::Compare(const Value& a, const Value& b) {
    // Left first; an object left an object is never less nor more.
    Value pa = ToPrimitive(a);
    if (pa.IsObject()) return Value::Bool(false);
    Value pb = ToPrimitive(b);
    if (pb.IsObject()) return Value::Bool(false);
    if (pa.IsString() && pb.IsString())
        return Value::Bool(version_ >= 6 ? CharsLess(*pa.s, *pb.s) : *pa.s < *pb.s);
    double x = ToNumber(pa), y = ToNumber(pb);
    // NaN on either side: undefined before SWF 7, false from 7 on.
    if (std::isnan(x) || std::isnan(y)) return version_ >= 7 ? Value::Bool(false) : Value();
    return Value::Bool(x < y);
}

}  // namespace swf::avm1
