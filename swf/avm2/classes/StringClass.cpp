// String. Indices count UTF-16 units, as scripts see strings; the text is
// held as UTF-8.
#include <algorithm>
#include <cmath>

#include "swf/avm2/classes/Builtins.h"
#include "swf/model/Utf8.h"

namespace swf::avm2 {

// Bad bytes pass as themselves.
std::vector<uint32_t> Decode(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + len > s.size()) len = 1;
        uint32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; k < len; ++k) cp = cp << 6 | (s[i + k] & 0x3F);
        if (cp >= 0x10000 && cp < 0x110000) {
            out.push_back(0xD800 + ((cp - 0x10000) >> 10));
            out.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out.push_back(cp);
        }
        i += len;
    }
    return out;
}

std::string EncodeUtf8(const std::vector<uint32_t>& cps, size_t from, size_t to) {
    std::string out;
    for (size_t i = from; i < to && i < cps.size(); ++i) {
        uint32_t c = cps[i];
        // A surrogate pair is one character; a lone half stays as it is.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < to && i + 1 < cps.size() && cps[i + 1] >= 0xDC00 &&
            cps[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (cps[++i] - 0xDC00);
        AppendUtf8(out, c);
    }
    return out;
}

namespace {

std::string Self(Machine& m, const Value& v) { return m.ToStdString(v); }
bool Ascii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}
std::vector<uint32_t> Units(const std::string& s) {
    if (Ascii(s)) return std::vector<uint32_t>(s.begin(), s.end());
    return Decode(s);
}
Value MakeStr(Machine& m, const std::vector<uint32_t>& u, int64_t b, int64_t e) {
    if (b >= e) return Value::Str(m.Intern(""));
    return Value::Str(m.Str(EncodeUtf8(u, size_t(b), size_t(e))));
}
// Positions: the default only for an argument not given; undefined given
// is NaN, which is 0.
int64_t Clamp(Machine& m, Args args, int argc, int i, int64_t len, int64_t dflt) {
    if (i >= argc) return dflt;
    const Value& v = args[i];
    double d = m.ToNumber(v);
    if (std::isnan(d)) return 0;
    return int64_t(std::clamp(std::trunc(d), 0.0, double(len)));
}
int64_t Rel(Machine& m, Args args, int argc, int i, int64_t len, int64_t dflt) {
    if (i >= argc) return dflt;
    const Value& v = args[i];
    double d = m.ToNumber(v);
    if (std::isnan(d)) return 0;
    d = std::trunc(d);
    if (d < 0) d += double(len);
    return int64_t(std::clamp(d, 0.0, double(len)));
}

Value StrLength(Machine& m, Value self, Args, int) { return Value::Int(m.ToString(self)->Length16()); }
Value StrCharAt(Machine& m, Value self, Args args, int argc) {
    auto u = Units(Self(m, self));
    double i = argc ? std::trunc(m.ToNumber(args[0])) : 0;
    if (std::isnan(i)) i = 0;
    if (i < 0 || i >= double(u.size())) return Value::Str(m.Intern(""));
    return MakeStr(m, u, int64_t(i), int64_t(i) + 1);
}
Value StrCharCodeAt(Machine& m, Value self, Args args, int argc) {
    auto u = Units(Self(m, self));
    double i = argc ? std::trunc(m.ToNumber(args[0])) : 0;
    if (std::isnan(i)) i = 0;
    if (i < 0 || i >= double(u.size())) return Value::Number(NAN);
    return Value::Int(int32_t(u[size_t(i)]));
}
Value StrIndexOf(Machine& m, Value self, Args args, int argc) {
    auto u = Units(Self(m, self));
    auto n = Units(m.ToStdString(Arg(args, argc, 0)));
    int64_t from = Clamp(m, args, argc, 1, int64_t(u.size()), 0);
    auto it = std::search(u.begin() + from, u.end(), n.begin(), n.end());
    return Value::Int(it == u.end() && !n.empty() ? -1 : int32_t(it - u.begin()));
}
Value StrLastIndexOf(Machine& m, Value self, Args args, int argc) {
    auto u = Units(Self(m, self));
    auto n = Units(m.ToStdString(Arg(args, argc, 0)));
    // NaN or no start: from the end.
    const double d = argc > 1 ? std::trunc(m.ToNumber(args[1])) : NAN;
    int64_t from = std::isnan(d) ? int64_t(u.size()) : int64_t(std::clamp(d, 0.0, double(u.size())));
    for (int64_t i = std::min<int64_t>(from, int64_t(u.size()) - int64_t(n.size())); i >= 0; --i)
        if (std::equal(n.begin(), n.end(), u.begin() + i)) return Value::Int(int32_t(i));
    return Value::Int(-1);
}
Value StrSubstring(Machine& m, Value self, Args args, int argc) {
    auto u = Units(Self(m, self));
    int64_t len = int64_t(u.size());
    int64_t a = Clamp(m, args, argc, 0, len, 0), b = Clamp(m, args, argc, 1, len, len);
    if (a > b) std::swap(a, b);
    return MakeStr(m, u, a, b);
}
Value StrSubstr(Machine& m, Value self, Args args, int argc) {
    auto u = Units(Self(m, self));
    int64_t len = int64_t(u.size());
    int64_t a = Rel(m, args, argc, 0, len, 0);
    double n = argc > 1 ? m.ToNumber(args[1]) : double(len);
    if (std::isnan(n)) n = 0;
    int64_t e = a + int64_t(std::clamp(std::trunc(n), 0.0, double(len)));
    return MakeStr(m, u, a, std::min(e, len));
}
Value StrSlice(Machine& m, Value self, Args args, int argc) {
    auto u = Units(Self(m, self));
    int64_t len = int64_t(u.size());
    return MakeStr(m, u, Rel(m, args, argc, 0, len, 0), Rel(m, args, argc, 1, len, len));
}
Value StrToUpper(Machine& m, Value self, Args, int) {
    std::string s = Self(m, self);
    for (char& c : s) c = char(std::toupper((unsigned char)c));
    return Value::Str(m.Str(s));
}
Value StrToLower(Machine& m, Value self, Args, int) {
    std::string s = Self(m, self);
    for (char& c : s) c = char(std::tolower((unsigned char)c));
    return Value::Str(m.Str(s));
}
Value StrSplit(Machine& m, Value self, Args args, int argc) {
    std::string s = Self(m, self);
    ArrayObject* r = m.NewArray();
    Value sepv = Arg(args, argc, 0);
    uint32_t limit = argc > 1 && !args[1].IsUndefined() ? m.ToUint32(args[1]) : 0xFFFFFFFFu;
    if (sepv.IsUndefined()) {
        r->items.push_back(Value::Str(m.Str(s)));
        return Value::Obj(r);
    }
    std::string sep = m.ToStdString(sepv);
    if (sep.empty()) {
        auto u = Units(s);
        for (size_t i = 0; i < u.size() && r->items.size() < limit; ++i) r->items.push_back(MakeStr(m, u, int64_t(i), int64_t(i) + 1));
        return Value::Obj(r);
    }
    size_t pos = 0;
    while (r->items.size() < limit) {
        size_t at = s.find(sep, pos);
        r->items.push_back(Value::Str(m.Str(s.substr(pos, at == std::string::npos ? std::string::npos : at - pos))));
        if (at == std::string::npos) break;
        pos = at + sep.size();
    }
    return Value::Obj(r);
}
Value StrConcat(Machine& m, Value self, Args args, int argc) {
    std::string s = Self(m, self);
    for (int i = 0; i < argc; ++i) s += m.ToStdString(args[i]);
    return Value::Str(m.Str(s));
}
Value StrToString(Machine& m, Value self, Args, int) {
    // String.prototype stands for the empty string.
    if (self.IsObject() && m.stringClass && self.o == m.stringClass->prototype) return Value::Str(m.Intern(""));
    if (!self.IsString()) m.TypeError(1004, "Method String.prototype.toString was invoked on an incompatible object.");
    return self;
}
Value StrLocaleCompare(Machine& m, Value self, Args args, int argc) {
    // The difference of the first differing units, else of the lengths.
    std::vector<uint32_t> a = Units(Self(m, self)), b = Units(m.ToStdString(Arg(args, argc, 0)));
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    if (i < a.size() && i < b.size()) return Value::Int(int(a[i]) - int(b[i]));
    return Value::Int(int(a.size()) - int(b.size()));
}
Value StrFromCharCode(Machine& m, Value, Args args, int argc) {
    std::vector<uint32_t> u;
    for (int i = 0; i < argc; ++i) u.push_back(m.ToUint32(args[i]) & 0xFFFF);
    return Value::Str(m.Str(EncodeUtf8(u, 0, u.size())));
}
Value StrCall(Machine& m, Value, Args args, int argc) {
    return argc ? Value::Str(m.ToString(args[0])) : Value::Str(m.Intern(""));
}

}  // namespace



void InstallString(Machine& m) {
    ClassObject* c = m.DefineClass("", "String", m.objectClass, nullptr, true);
    m.stringClass = c;
    c->isFinal = true;
    c->call = StrCall;
    m.DefineGetter(c, "length", StrLength);
    m.DefineMethod(c, "charAt", StrCharAt, 1);
    m.DefineMethod(c, "charCodeAt", StrCharCodeAt, 1);
    m.DefineMethod(c, "indexOf", StrIndexOf, 1);
    m.DefineMethod(c, "lastIndexOf", StrLastIndexOf, 1);
    m.DefineMethod(c, "substring", StrSubstring, 2);
    m.DefineMethod(c, "substr", StrSubstr, 2);
    m.DefineMethod(c, "slice", StrSlice, 2);
    m.DefineMethod(c, "toUpperCase", StrToUpper, 0);
    m.DefineMethod(c, "toLowerCase", StrToLower, 0);
    m.DefineMethod(c, "toLocaleUpperCase", StrToUpper, 0);
    m.DefineMethod(c, "toLocaleLowerCase", StrToLower, 0);
    m.DefineMethod(c, "split", StrSplit, 2);
    m.DefineMethod(c, "concat", StrConcat, 1);
    m.DefineMethod(c, "toString", StrToString, 0);
    m.DefineMethod(c, "valueOf", StrToString, 0);
    m.DefineMethod(c, "localeCompare", StrLocaleCompare, 1);
    m.DefineStatic(c, "fromCharCode", StrFromCharCode, 1);
    m.DefineConstant(c, "length", Value::Int(1));
}

}  // namespace swf::avm2
