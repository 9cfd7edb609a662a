// String: the constructor, fromCharCode and the methods. Indices count
// characters (UTF-8 from SWF 6 on, bytes before).
#include <algorithm>
#include <cmath>

#include "swf/avm1/Text.h"
#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

bool Utf8(CallArgs& a) { return a.vm.Version() >= 6; }

std::string SelfText(CallArgs& a) {
    if (a.self.IsObject() && a.self.o->cls == ObjClass::String) return a.self.o->primitive.Text();
    return a.vm.ToString(a.self);
}

std::vector<uint32_t> SelfChars(CallArgs& a) { return Chars(SelfText(a), Utf8(a)); }

// Indices wrap as 32-bit integers.
double Integer(CallArgs& a, size_t i, double fallback) {
    if (a.Arg(i).IsUndefined()) return fallback;
    return double(ToInt32(a.vm.ToNumber(a.Arg(i))));
}

// The methods that need an argument give undefined without one.
bool NoArgs(CallArgs& a) { return a.args.empty(); }

size_t ClampIndex(double d, size_t n) { return static_cast<size_t>(std::clamp(d, 0.0, double(n))); }

Value StringCtor(CallArgs& a) {
    Value text = Value::String(a.args.empty() ? EmptyStr() : a.vm.ToStr(a.Arg(0)));
    if (!a.construct || !a.self.IsObject()) return text;
    a.self.o->cls = ObjClass::String;
    a.self.o->primitive = text;
    return Value();
}

Value ValueOf(CallArgs& a) { return Value::String(SelfText(a)); }

Value CharAt(CallArgs& a) {
    std::vector<uint32_t> c = SelfChars(a);
    double i = Integer(a, 0, 0);
    if (i < 0 || i >= double(c.size())) return Value::String(EmptyStr());
    return Value::String(CharString(c[size_t(i)], Utf8(a)));
}

Value CharCodeAt(CallArgs& a) {
    std::vector<uint32_t> c = SelfChars(a);
    double i = Integer(a, 0, 0);
    // SWF 5 strings read 0 past their end, their terminator.
    if (i >= double(c.size()) && !Utf8(a)) return Value::Num(0);
    if (i < 0 || i >= double(c.size())) return Value::Num(std::nan(""));
    return Value::Num(c[size_t(i)]);
}

Value Concat(CallArgs& a) {
    std::string s = SelfText(a);
    for (const Value& v : a.args) s += a.vm.ToString(v);
    return Value::String(std::move(s));
}

Value IndexOf(CallArgs& a, bool last) {
    if (NoArgs(a)) return Value();
    std::vector<uint32_t> c = SelfChars(a);
    std::vector<uint32_t> pat = Chars(a.vm.ToString(a.Arg(0)), Utf8(a));
    if (pat.size() > c.size()) return Value::Num(-1);
    const size_t maxStart = c.size() - pat.size();
    double from = Integer(a, 1, last ? double(maxStart) : 0);
    if (!last) {
        if (from > double(c.size())) return Value::Num(-1);
        for (size_t i = ClampIndex(from, c.size()); i <= maxStart; ++i)
            if (std::equal(pat.begin(), pat.end(), c.begin() + long(i))) return Value::Num(double(i));
    } else {
        if (from < 0) return Value::Num(-1);
        for (size_t i = std::min(maxStart, ClampIndex(from, c.size())) + 1; i-- > 0;)
            if (std::equal(pat.begin(), pat.end(), c.begin() + long(i))) return Value::Num(double(i));
    }
    return Value::Num(-1);
}

Value IndexOfF(CallArgs& a) { return IndexOf(a, false); }
Value LastIndexOfF(CallArgs& a) { return IndexOf(a, true); }

Value Slice(CallArgs& a) {
    if (NoArgs(a)) return Value();
    std::vector<uint32_t> c = SelfChars(a);
    const double n = double(c.size());
    double b = Integer(a, 0, 0), e = Integer(a, 1, n);
    if (b < 0) b += n;
    if (e < 0) e += n;
    size_t bi = ClampIndex(b, c.size()), ei = ClampIndex(e, c.size());
    return Value::String(bi < ei ? FromChars(c, bi, ei, Utf8(a)) : std::string());
}

Value Substring(CallArgs& a) {
    if (NoArgs(a)) return Value();
    std::vector<uint32_t> c = SelfChars(a);
    size_t b = ClampIndex(Integer(a, 0, 0), c.size()), e = ClampIndex(Integer(a, 1, double(c.size())), c.size());
    if (b > e) std::swap(b, e);
    return Value::String(FromChars(c, b, e, Utf8(a)));
}

Value Substr(CallArgs& a) {
    if (NoArgs(a)) return Value();
    std::vector<uint32_t> c = SelfChars(a);
    const double n = double(c.size());
    double b = Integer(a, 0, 0);
    if (b < 0) b = std::max(0.0, b + n);
    double len = Integer(a, 1, n);
    size_t bi = ClampIndex(b, c.size());
    size_t ei = len <= 0 ? bi : ClampIndex(double(bi) + len, c.size());
    return Value::String(FromChars(c, bi, ei, Utf8(a)));
}

Value Split(CallArgs& a) {
    std::string s = SelfText(a);
    std::vector<Value> parts;
    // SWF 5 splits at commas when given no separator, and not at all at an
    // empty one.
    const bool swf5 = !Utf8(a);
    if (a.Arg(0).IsUndefined() && !swf5) {
        parts.push_back(Value::String(s));
    } else {
        std::string sep = a.Arg(0).IsUndefined() ? std::string(",") : a.vm.ToString(a.Arg(0));
        double limit = a.Arg(1).IsUndefined() ? 1e9 : a.vm.ToNumber(a.Arg(1));
        constexpr size_t kMaxParts = 1 << 20;
        if (sep.empty() && swf5) {
            if (limit >= 1) parts.push_back(Value::String(s));
        } else if (sep.empty()) {
            std::vector<uint32_t> c = Chars(s, Utf8(a));
            for (size_t i = 0; i < c.size() && double(parts.size()) < limit && parts.size() < kMaxParts; ++i)
                parts.push_back(Value::String(CharString(c[i], Utf8(a))));
        } else {
            size_t pos = 0;
            while (double(parts.size()) < limit && parts.size() < kMaxParts) {
                size_t next = s.find(sep, pos);
                parts.push_back(Value::String(s.substr(pos, next == std::string::npos ? std::string::npos : next - pos)));
                if (next == std::string::npos) break;
                pos = next + sep.size();
            }
        }
    }
    return Value::Obj(a.vm.NewArray(std::move(parts)));
}

Value ChangeCase(CallArgs& a) {
    return Value::String(avm1::ChangeCase(SelfText(a), a.callee->fn->magic != 0, Utf8(a)));
}

Value FromCharCode(CallArgs& a) {
    std::string s;
    for (const Value& v : a.args) {
        uint32_t c = static_cast<uint32_t>(ToInt32(a.vm.ToNumber(v))) & 0xFFFF;
        if (!c && !Utf8(a)) break;  // a SWF 5 string ends at its first zero
        if (c) s += CharString(c, Utf8(a));
    }
    return Value::String(std::move(s));
}

}  // namespace

void InstallString(Vm& vm) {
    vm.stringProto = vm.NewObject();
    Object* string = vm.DefineClass("String", StringCtor, vm.stringProto);
    vm.stringCtor = string;
    vm.DefineNative(string, "fromCharCode", FromCharCode);
    const std::pair<const char*, NativeFn> methods[] = {
        {"toString", ValueOf}, {"valueOf", ValueOf}, {"charAt", CharAt}, {"charCodeAt", CharCodeAt},
        {"concat", Concat}, {"indexOf", IndexOfF}, {"lastIndexOf", LastIndexOfF}, {"slice", Slice},
        {"substring", Substring}, {"substr", Substr}, {"split", Split},
    };
    for (const auto& [name, fn] : methods) vm.DefineNative(vm.stringProto, name, fn);
    vm.DefineNative(vm.stringProto, "toLowerCase", ChangeCase, 0);
    vm.DefineNative(vm.stringProto, "toUpperCase", ChangeCase, 1);
}

}  // namespace swf::avm1
