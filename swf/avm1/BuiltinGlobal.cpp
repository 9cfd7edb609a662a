// The global functions: number parsing, escape/unescape, timers,
// ASSetPropFlags and ASnative for the entries movies commonly reach.
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// parseInt reads "0x" only at the very start (a sign before it is dropped
// along with the zero), and octal only for a zero and octal digits to the
// end with no blanks around them.
Value ParseInt(CallArgs& a) {
    if (a.args.empty()) return Value();
    const std::string s = a.vm.ToString(a.Arg(0));
    int radix = 0;
    if (a.args.size() > 1) {
        radix = ToInt32(a.vm.ToNumber(a.Arg(1)));
        if (radix < 2 || radix > 36) return Value::Num(std::nan(""));
    }
    auto hexAt = [&](size_t i) { return i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X'); };
    size_t i = 0;
    bool neg = false;
    if (hexAt(0)) {
        i = 2;
        if (!radix) radix = 16;
    } else if (!s.empty() && (s[0] == '-' || s[0] == '+') && hexAt(1)) {
        i = 2;
    }
    const size_t blanks = i;
    while (i < s.size() && IsSpace(s[i])) ++i;
    const bool blank = i != blanks;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
    if (!radix) {
        bool octal = !blank && i < s.size() && s[i] == '0';
        for (size_t j = i; octal && j < s.size(); ++j) octal = s[j] >= '0' && s[j] <= '7';
        radix = octal ? 8 : 10;
    }
    double v = 0;
    size_t digits = 0;
    for (; i < s.size(); ++i, ++digits) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : 99;
        if (d >= radix) break;
        v = v * radix + d;
    }
    if (!digits) return Value::Num(std::nan(""));
    return Value::Num(neg ? -v : v);
}

Value ParseFloat(CallArgs& a) {
    std::string s = a.vm.ToString(a.Arg(0));
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    size_t j = i;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
    bool dot = false, exp = false;
    for (; j < s.size(); ++j) {
        const char c = s[j];
        if (std::isdigit(static_cast<unsigned char>(c))) continue;
        if (c == '.' && !dot && !exp) { dot = true; continue; }
        if ((c == 'e' || c == 'E') && !exp && j + 1 < s.size()) {
            exp = true;
            if (s[j + 1] == '-' || s[j + 1] == '+') ++j;
            continue;
        }
        break;
    }
    std::string num = s.substr(i, j - i);
    char* end = nullptr;
    double v = std::strtod(num.c_str(), &end);
    if (end == num.c_str()) return Value::Num(std::nan(""));
    return Value::Num(v);
}

// A missing argument is no number (an undefined one converts per version).
Value IsNaN(CallArgs& a) { return Value::Bool(a.args.empty() || std::isnan(a.vm.ToNumber(a.Arg(0)))); }
Value IsFinite(CallArgs& a) { return Value::Bool(!a.args.empty() && std::isfinite(a.vm.ToNumber(a.Arg(0)))); }

Value Escape(CallArgs& a) {
    std::string s = a.vm.ToString(a.Arg(0)), out;
    const char* hex = "0123456789ABCDEF";
    for (unsigned char c : s) {
        if (std::isalnum(c)) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return Value::String(std::move(out));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Value Unescape(CallArgs& a) {
    std::string s = a.vm.ToString(a.Arg(0)), out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() + 0 && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return Value::String(std::move(out));
}

// setInterval(fn, ms, args...) or setInterval(object, "method", ms, args...);
// setTimeout likewise, once.
Value SetTimer(CallArgs& a) {
    const bool repeat = a.callee->fn->magic != 0;
    if (a.vm.IsFunction(a.Arg(0))) {
        std::vector<Value> rest(a.args.size() > 2 ? a.args.begin() + 2 : a.args.end(), a.args.end());
        return Value::Num(a.vm.AddTimer(a.Arg(0), Value(), "", a.vm.ToNumber(a.Arg(1)), std::move(rest), repeat));
    }
    if (a.Arg(0).IsObject() || a.Arg(0).IsClip()) {
        std::vector<Value> rest(a.args.size() > 3 ? a.args.begin() + 3 : a.args.end(), a.args.end());
        return Value::Num(a.vm.AddTimer(Value(), a.Arg(0), a.vm.ToString(a.Arg(1)), a.vm.ToNumber(a.Arg(2)),
                                        std::move(rest), repeat));
    }
    return Value();
}

Value ClearTimerF(CallArgs& a) {
    a.vm.ClearTimer(ToInt32(a.vm.ToNumber(a.Arg(0))));
    return Value();
}

// ASSetPropFlags(object, names, set, clear): names is a comma list, an
// array of names, or null for every property.
Value AsSetPropFlags(CallArgs& a) {
    const Value& target = a.Arg(0);
    Object* o = target.IsObject() ? target.o : target.IsClip() ? a.vm.ClipObject(a.vm.ClipOf(target)) : nullptr;
    if (!o) return Value();
    constexpr uint16_t kKnown = kDontEnum | kDontDelete | kReadOnly | kVersionFlags;
    const auto set = static_cast<uint16_t>(ToInt32(a.vm.ToNumber(a.Arg(2))) & kKnown);
    const auto clear = static_cast<uint16_t>(ToInt32(a.vm.ToNumber(a.Arg(3))) & kKnown);
    auto apply = [&](Property& p) { p.flags = static_cast<uint16_t>((p.flags & ~clear) | set); };
    const Value& names = a.Arg(1);
    if (names.kind == Value::Kind::Null) {
        for (Property& p : o->Props()) apply(p);
        return Value();
    }
    std::vector<std::string> list;
    if (names.IsObject() && names.o->cls == ObjClass::Array) {
        for (const Value& v : a.vm.ArrayValues(names.o)) list.push_back(a.vm.ToString(v));
    } else {
        std::string s = a.vm.ToString(names);
        size_t pos = 0;
        while (pos <= s.size()) {
            size_t comma = s.find(',', pos);
            if (comma == std::string::npos) comma = s.size();
            list.push_back(s.substr(pos, comma - pos));
            pos = comma + 1;
        }
    }
    for (const std::string& n : list)
        if (Property* p = o->Find(n, a.vm.Ci())) apply(*p);
    return Value();
}

Value Nothing(CallArgs&) { return Value(); }

// ASnative(1, 0) is ASSetPropFlags; the other numbers are in NativeTable.cpp.
Value AsNative(CallArgs& a) {
    const int table = ToInt32(a.vm.ToNumber(a.Arg(0))), index = ToInt32(a.vm.ToNumber(a.Arg(1)));
    if (table == 1 && index == 0) return Value::Obj(a.vm.NewNative(AsSetPropFlags));
    return NativeByNumber(a.vm, table, index);
}

Value GetVersion(CallArgs&) { return Value::String("WIN 7,0,19,0"); }

}  // namespace

void InstallGlobals(Vm& vm) {
    Object* g = vm.global;
    const std::pair<const char*, NativeFn> functions[] = {
        {"parseInt", ParseInt}, {"parseFloat", ParseFloat}, {"isNaN", IsNaN}, {"isFinite", IsFinite},
        {"escape", Escape}, {"unescape", Unescape}, {"clearInterval", ClearTimerF}, {"clearTimeout", ClearTimerF},
        {"ASSetPropFlags", AsSetPropFlags}, {"ASnative", AsNative}, {"getVersion", GetVersion},
        {"updateAfterEvent", Nothing},
    };
    for (const auto& [name, fn] : functions) vm.DefineNative(g, name, fn);
    vm.DefineNative(g, "setInterval", SetTimer, 1);
    vm.DefineNative(g, "setTimeout", SetTimer, 0);
    InstallNativeSetters(vm);
    // The player's own start-up script leaves this variable behind.
    vm.SetHidden(g, "o", Value::Null());
    vm.SetHidden(g, "NaN", Value::Num(std::nan("")));
    vm.SetHidden(g, "Infinity", Value::Num(INFINITY));
}

}  // namespace swf::avm1
