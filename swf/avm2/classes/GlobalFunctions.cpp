// Top-level functions: trace, parseInt, parseFloat, isNaN, isFinite,
// escape/unescape, and the constants NaN, Infinity, undefined.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

Value Trace(Machine& m, Value, Args args, int argc) {
    std::string line;
    for (int i = 0; i < argc; ++i) {
        if (i) line += ' ';
        line += m.ToStdString(args[i]);
    }
    line.erase(std::remove(line.begin(), line.end(), '\0'), line.end());  // the output shows no NULs
    // A lone surrogate cannot be written out: it shows as a replacement character.
    for (size_t i = 0; i + 2 < line.size(); ++i)
        if ((unsigned char)line[i] == 0xED && ((unsigned char)line[i + 1] & 0xE0) == 0xA0) line.replace(i, 3, "\xEF\xBF\xBD");
    if (m.trace) m.trace(line);
    return Value::Undefined();
}

Value ParseInt(Machine& m, Value, Args args, int argc) {
    std::string s = m.ToStdString(Arg(args, argc, 0));
    int radix = argc > 1 ? m.ToInt32(args[1]) : 0;
    size_t i = 0;
    while (i < s.size() && std::isspace((unsigned char)s[i])) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
    if ((radix == 0 || radix == 16) && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        i += 2;
        radix = 16;
    }
    if (radix == 0) radix = 10;
    if (radix < 2 || radix > 36) return Value::Number(NAN);
    double v = 0;
    size_t start = i;
    for (; i < s.size(); ++i) {
        int c = std::tolower((unsigned char)s[i]);
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : 99;
        if (d >= radix) break;
        v = v * radix + d;
    }
    if (i == start) return Value::Number(NAN);
    return Value::Number(neg ? -v : v);
}

Value ParseFloat(Machine& m, Value, Args args, int argc) {
    std::string s = m.ToStdString(Arg(args, argc, 0));
    size_t i = 0;
    while (i < s.size() && std::isspace((unsigned char)s[i])) ++i;
    const char* p = s.c_str() + i;
    if (std::strncmp(p, "Infinity", 8) == 0) return Value::Number(INFINITY);
    if (std::strncmp(p, "-Infinity", 9) == 0) return Value::Number(-INFINITY);
    size_t n = 0;
    if (p[n] == '+' || p[n] == '-') ++n;
    while (std::isdigit((unsigned char)p[n])) ++n;
    if (p[n] == '.') {
        ++n;
        while (std::isdigit((unsigned char)p[n])) ++n;
    }
    if ((p[n] == 'e' || p[n] == 'E') && (std::isdigit((unsigned char)p[n + 1]) ||
                                         ((p[n + 1] == '+' || p[n + 1] == '-') && std::isdigit((unsigned char)p[n + 2])))) {
        n += 2;
        while (std::isdigit((unsigned char)p[n])) ++n;
    }
    std::string num(p, n);
    char* end = nullptr;
    double v = std::strtod(num.c_str(), &end);
    if (num.empty() || end == num.c_str()) return Value::Number(NAN);
    return Value::Number(v);
}

Value IsNaN(Machine& m, Value, Args args, int argc) { return Value::Bool(std::isnan(m.ToNumber(Arg(args, argc, 0)))); }
Value IsFinite(Machine& m, Value, Args args, int argc) { return Value::Bool(std::isfinite(m.ToNumber(Arg(args, argc, 0)))); }

Value Escape(Machine& m, Value, Args args, int argc) {
    static const char* kSafe = "@-_.*+/";
    // The parameter is a String: undefined given becomes null.
    if (argc == 0) return Value::Str(m.Intern("undefined"));
    if (args[0].IsNullish()) return Value::Str(m.Intern("null"));
    std::string out;
    for (uint32_t c : Decode(m.ToStdString(args[0]))) {
        char buf[8];
        if (c != 0 && c < 0x80 && (std::isalnum(int(c)) || std::strchr(kSafe, int(c)))) {
            out += char(c);
        } else {
            std::snprintf(buf, sizeof buf, c < 0x100 ? "%%%02X" : "%%u%04X", c);
            out += buf;
        }
    }
    return Value::Str(m.Str(out));
}

Value Unescape(Machine& m, Value, Args args, int argc) {
    std::vector<uint32_t> in = Decode(m.ToStdString(Arg(args, argc, 0))), out;
    auto hex = [&](size_t at, size_t n, uint32_t& v) {
        if (at + n > in.size()) return false;
        v = 0;
        for (size_t k = at; k < at + n; ++k) {
            if (in[k] >= 0x80 || !std::isxdigit(int(in[k]))) return false;
            v = v * 16 + uint32_t(std::isdigit(int(in[k])) ? in[k] - '0' : (in[k] | 0x20) - 'a' + 10);
        }
        return true;
    };
    // %XX and %uXXXX are UTF-16 units; pairs of them join into one character.
    for (size_t i = 0; i < in.size(); ++i) {
        uint32_t v;
        if (in[i] == '%' && i + 1 < in.size() && in[i + 1] == 'u' && hex(i + 2, 4, v)) {
            out.push_back(v);
            i += 5;
        } else if (in[i] == '%' && hex(i + 1, 2, v)) {
            out.push_back(v);
            i += 2;
        } else {
            out.push_back(in[i]);
        }
    }
    return Value::Str(m.Str(EncodeUtf8(out, 0, out.size())));
}

}  // namespace

void InstallGlobals(Machine& m) {
    m.DefineGlobalFunction("", "trace", Trace, 1);
    m.DefineGlobalFunction("", "parseInt", ParseInt, 2);
    m.DefineGlobalFunction("", "parseFloat", ParseFloat, 1);
    m.DefineGlobalFunction("", "isNaN", IsNaN, 1);
    m.DefineGlobalFunction("", "isFinite", IsFinite, 1);
    m.DefineGlobalFunction("", "escape", Escape, 1);
    m.DefineGlobalFunction("", "unescape", Unescape, 1);
    m.DefineGlobalValue("NaN", Value::Number(NAN));
    m.DefineGlobalValue("Infinity", Value::Number(INFINITY));
    m.DefineGlobalValue("undefined", Value::Undefined());
}

}  // namespace swf::avm2
