// Conversions between value kinds, as ECMAScript defines them for AS3:
// ToNumber, ToInt32/ToUint32, ToString (numbers print in the shortest form
// that reads back exactly), ToPrimitive through valueOf/toString, equality
// and relational comparison, and `+`.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "swf/avm2/Machine.h"
#include "swf/avm2/classes/XmlModel.h"

namespace swf::avm2 {

namespace {

// Dates give strings unless a number is asked for.
Value NumberPrimitive(Machine& m, const Value& v) {
    if (v.IsObject() && v.o->kind == ObjKind::Date) {
        Value r = m.CallProperty(v, m.PublicName("valueOf"), nullptr, 0);
        if (!r.IsObject()) return r;
    }
    return m.ToPrimitive(v, false);
}

bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

double StringToNumber(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b])) ++b;
    while (e > b && IsSpace(text[e - 1])) --e;
    if (b == e) return 0;
    std::string s = text.substr(b, e - b);
    const char* p = s.c_str();
    bool neg = false;
    if (*p == '+' || *p == '-') neg = *p++ == '-';
    if ((p[0] == '0') && (p[1] == 'x' || p[1] == 'X')) {
        double v = 0;
        const char* q = p + 2;
        if (!*q) return NAN;
        for (; *q; ++q) {
            int d = std::isdigit((unsigned char)*q) ? *q - '0'
                    : (*q >= 'a' && *q <= 'f') ? *q - 'a' + 10
                    : (*q >= 'A' && *q <= 'F') ? *q - 'A' + 10 : -1;
            if (d < 0) return NAN;
            v = v * 16 + d;
        }
        return neg ? -v : v;
    }
    if (std::strcmp(p, "Infinity") == 0) return neg ? -INFINITY : INFINITY;
    // Only decimal literals: strtod would take "inf", "nan" and hex floats.
    for (const char* q = p; *q; ++q)
        if (!(std::isdigit((unsigned char)*q) || *q == '.' || *q == 'e' || *q == 'E' || *q == '+' || *q == '-'))
            return NAN;
    char* end = nullptr;
    double v = std::strtod(p, &end);
    if (end == p || *end) return NAN;
    return neg ? -v : v;
}

}  // namespace

double Machine::ToNumber(const Value& v) {
    switch (v.tag) {
    case Tag::Undefined: return NAN;
    case Tag::Null: return 0;
    case Tag::Boolean: return v.b ? 1 : 0;
    case Tag::Int: return v.i;
    case Tag::Number: return v.d;
    case Tag::String: return StringToNumber(v.s->text);
    case Tag::Object: return ToNumber(NumberPrimitive(*this, v));
    }
    return NAN;
}

static uint32_t DoubleToUint32(double d) {
    if (!std::isfinite(d)) return 0;
    d = std::trunc(d);
    d = std::fmod(d, 4294967296.0);
    if (d < 0) d += 4294967296.0;
    return uint32_t(d);
}

int32_t Machine::ToInt32(const Value& v) {
    if (v.tag == Tag::Int) return v.i;
    return int32_t(DoubleToUint32(ToNumber(v)));
}

uint32_t Machine::ToUint32(const Value& v) {
    if (v.tag == Tag::Int) return uint32_t(v.i);
    return DoubleToUint32(ToNumber(v));
}

bool Machine::ToBoolean(const Value& v) const {
    switch (v.tag) {
    case Tag::Undefined:
    case Tag::Null: return false;
    case Tag::Boolean: return v.b;
    case Tag::Int: return v.i != 0;
    case Tag::Number: return !(v.d == 0 || std::isnan(v.d));
    case Tag::String: return !v.s->text.empty();
    case Tag::Object: return true;
    }
    return false;
}

String* Machine::NumberToString(double d) {
    if (std::isnan(d)) return Intern("NaN");
    if (d == 0) return Intern("0");
    if (std::isinf(d)) return Intern(d > 0 ? "Infinity" : "-Infinity");
    if (d == std::trunc(d) && std::fabs(d) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", d);
        return Str(buf);
    }
    // Shortest digits that read back, then ECMAScript's layout of them.
    char buf[40];
    int prec = 1;
    for (; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*e", prec - 1, d);
        if (std::strtod(buf, nullptr) == d) break;
    }
    bool neg = buf[0] == '-';
    const char* p = buf + (neg ? 1 : 0);
    std::string digits;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    int exp = std::atoi(p + 1);
    // From 1e21 up the player prints at most 15 significant digits, cut.
    if (exp >= 21 && digits.size() > 15) digits.resize(15);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int k = int(digits.size()), n = exp + 1;
    std::string out = neg ? "-" : "";
    if (k <= n && n <= 21) {
        out += digits + std::string(n - k, '0');
    } else if (0 < n && n <= 21) {
        out += digits.substr(0, n) + "." + digits.substr(n);
    } else if (-6 < n && n <= 0) {
        out += "0." + std::string(-n, '0') + digits;
    } else {
        out += digits.substr(0, 1);
        if (k > 1) out += "." + digits.substr(1);
        out += "e";
        out += (n - 1 >= 0 ? "+" : "-") + std::to_string(std::abs(n - 1));
    }
    return Str(out);
}

String* Machine::ToString(const Value& v) {
    switch (v.tag) {
    case Tag::Undefined: return Intern("undefined");
    case Tag::Null: return Intern("null");
    case Tag::Boolean: return Intern(v.b ? "true" : "false");
    case Tag::Int: {
        if (v.i >= 0 && v.i < 10) return Intern(std::string(1, char('0' + v.i)));
        return Str(std::to_string(v.i));
    }
    case Tag::Number: return NumberToString(v.d);
    case Tag::String: return v.s;
    case Tag::Object: {
        Value p = ToPrimitive(v, true);
        return p.IsObject() ? Intern("[object Object]") : ToString(p);
    }
    }
    return Intern("");
}

Value Machine::ToPrimitive(const Value& v, bool hintString) {
    if (!v.IsObject()) return v;
    if (IsXml(v) || IsXmlList(v)) return Value::Str(TextValue(*this, v));
    // Dates prefer strings, everything else numbers.
    if (v.o->kind == ObjKind::Date) hintString = true;
    const char* first = hintString ? "toString" : "valueOf";
    const char* second = hintString ? "valueOf" : "toString";
    for (const char* name : {first, second}) {
        Value f = GetProperty(v, PublicName(name));
        if (f.IsObject() && (f.o->kind == ObjKind::Function || f.o->kind == ObjKind::Class)) {
            Value r = Call(f, v, nullptr, 0);
            if (!r.IsObject()) return r;
        }
    }
    TypeError(1050, "Cannot convert " + TypeName(v) + " to primitive.");
}

Object* Machine::ToObject(const Value& v) {
    if (v.IsObject()) return v.o;
    NullError(v);
}

String* Machine::TypeOf(const Value& v) {
    switch (v.tag) {
    case Tag::Undefined: return Intern("undefined");
    case Tag::Null: return Intern("object");
    case Tag::Boolean: return Intern("boolean");
    case Tag::Int:
    case Tag::Number: return Intern("number");
    case Tag::String: return Intern("string");
    case Tag::Object:
        if (v.o->kind == ObjKind::Function) return Intern("function");
        if (v.o->kind == ObjKind::Xml || v.o->kind == ObjKind::XmlList) return Intern("xml");
        return Intern("object");
    }
    return Intern("object");
}

bool Machine::StrictEquals(const Value& a, const Value& b) {
    if (a.IsNumber() && b.IsNumber()) return a.Num() == b.Num();
    if (a.tag != b.tag) return false;
    switch (a.tag) {
    case Tag::Undefined:
    case Tag::Null: return true;
    case Tag::Boolean: return a.b == b.b;
    case Tag::String: return a.s == b.s || a.s->text == b.s->text;
    case Tag::Object:  // namespaces and qnames compare by value
        return a.o == b.o || (a.o->kind != ObjKind::Xml && a.o->kind != ObjKind::XmlList && LooseEquals(a, b));
    default: return false;
    }
}

bool Machine::LooseEquals(const Value& a, const Value& b) {
    if (a.IsNumber() && b.IsNumber()) return a.Num() == b.Num();
    if (IsXml(a) || IsXmlList(a) || IsXml(b) || IsXmlList(b)) return XmlEquals(*this, a, b);
    if (a.IsNullish() && b.IsNullish()) return true;
    if (a.tag == b.tag) {
        switch (a.tag) {
        case Tag::Boolean: return a.b == b.b;
        case Tag::String: return a.s == b.s || a.s->text == b.s->text;
        case Tag::Object: {
            if (a.o == b.o) return true;
            if (a.o->kind == ObjKind::Namespace && b.o->kind == ObjKind::Namespace)
                return ToStdString(a) == ToStdString(b);
            // Closures of one method over one object are the same function.
            if (a.o->kind == ObjKind::Function && b.o->kind == ObjKind::Function) {
                auto* fa = dynamic_cast<FunctionObject*>(a.o);
                auto* fb = dynamic_cast<FunctionObject*>(b.o);
                return fa && fb && fa->bound && fb->bound && fa->method == fb->method &&
                       fa->boundThis.tag == fb->boundThis.tag && fa->boundThis.IsObject() &&
                       fa->boundThis.o == fb->boundThis.o;
            }
            if (a.o->kind == ObjKind::QName && b.o->kind == ObjKind::QName)
                return ToStdString(GetPublic(a, "uri")) == ToStdString(GetPublic(b, "uri")) &&
                       ToStdString(GetPublic(a, "localName")) == ToStdString(GetPublic(b, "localName"));
            return false;
        }
        default: return false;
        }
    }
    if (a.IsNullish() || b.IsNullish()) return false;
    if (a.IsNumber() && b.IsString()) return a.Num() == ToNumber(b);
    if (a.IsString() && b.IsNumber()) return ToNumber(a) == b.Num();
    if (a.IsBool()) return LooseEquals(Value::Number(a.b ? 1 : 0), b);
    if (b.IsBool()) return LooseEquals(a, Value::Number(b.b ? 1 : 0));
    if (a.IsObject() && !b.IsObject()) return LooseEquals(ToPrimitive(a, false), b);
    if (b.IsObject() && !a.IsObject()) return LooseEquals(a, ToPrimitive(b, false));
    return false;
}

// UTF-8 compares as UTF-16 would for everything outside the astral planes.
namespace {

// The code point whose UTF-8 sequence holds byte `i`, read from its start.
uint32_t CodePointAt(const std::string& s, size_t i) {
    while (i > 0 && (uint8_t(s[i]) & 0xC0) == 0x80) --i;
    uint8_t c = uint8_t(s[i]);
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    uint32_t cp = more ? c & (0x3F >> more) : c;
    for (int k = 1; k <= more && i + k < s.size(); ++k) cp = (cp << 6) | (uint8_t(s[i + k]) & 0x3F);
    return cp;
}

// Strings order by UTF-16 units: a character past U+FFFF sorts by its
// high surrogate, below U+E000..U+FFFF.
bool Utf16Less(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size()), i = 0;
    while (i < n && a[i] == b[i]) ++i;
    if (i == n) return a.size() < b.size();
    uint32_t x = CodePointAt(a, i), y = CodePointAt(b, i);
    auto unit = [](uint32_t cp) { return cp >= 0x10000 ? 0xD800 + ((cp - 0x10000) >> 10) : cp; };
    if (unit(x) != unit(y)) return unit(x) < unit(y);
    return x < y;
}

}  // namespace

int Machine::LessThan(const Value& a, const Value& b) {
    if (a.tag == Tag::Int && b.tag == Tag::Int) return a.i < b.i;
    Value pa = NumberPrimitive(*this, a), pb = NumberPrimitive(*this, b);
    if (pa.IsString() && pb.IsString()) return Utf16Less(pa.s->text, pb.s->text);
    double x = ToNumber(pa), y = ToNumber(pb);
    if (std::isnan(x) || std::isnan(y)) return -1;
    return x < y;
}

namespace {

// Joins two texts; a lone high surrogate at the end of `a` meeting a lone
// low one at the start of `b` becomes the one character they spell.
std::string Concat(const std::string& a, const std::string& b) {
    size_t n = a.size();
    auto byte = [](const std::string& s, size_t i) { return static_cast<uint8_t>(s[i]); };
    if (n < 3 || b.size() < 3 || byte(a, n - 3) != 0xED || (byte(a, n - 2) & 0xF0) != 0xA0 || byte(b, 0) != 0xED ||
        (byte(b, 1) & 0xF0) != 0xB0)
        return a + b;
    uint32_t hi = ((byte(a, n - 2) & 0x0F) << 6) | (byte(a, n - 1) & 0x3F);
    uint32_t lo = ((byte(b, 1) & 0x0F) << 6) | (byte(b, 2) & 0x3F);
    uint32_t c = 0x10000 + (hi << 10) + lo;
    std::string out = a.substr(0, n - 3);
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
    return out + b.substr(3);
}

}  // namespace

Value Machine::Add(const Value& a, const Value& b) {
    if (a.tag == Tag::Int && b.tag == Tag::Int) {
        int64_t r = int64_t(a.i) + b.i;
        return r >= INT32_MIN && r <= INT32_MAX ? Value::Int(int32_t(r)) : Value::Number(double(r));
    }
    if (a.IsNumber() && b.IsNumber()) return Value::Number(a.Num() + b.Num());
    // XML + XML concatenates into a list.
    if (a.IsObject() && b.IsObject() && (a.o->kind == ObjKind::Xml || a.o->kind == ObjKind::XmlList) &&
        (b.o->kind == ObjKind::Xml || b.o->kind == ObjKind::XmlList)) {
        return XmlConcat(*this, a, b);
    }
    Value pa = ToPrimitive(a, false), pb = ToPrimitive(b, false);
    if (pa.IsString() || pb.IsString()) {
        String* sa = ToString(pa);
        String* sb = ToString(pb);
        if (sa->text.empty()) return Value::Str(sb);
        if (sb->text.empty()) return Value::Str(sa);
        return Value::Str(Str(Concat(sa->text, sb->text)));
    }
    return Value::Number(ToNumber(pa) + ToNumber(pb));
}

}  // namespace swf::avm2
