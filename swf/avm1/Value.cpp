#include "swf/avm1/Value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace swf::avm1 {

Str MakeStr(std::string s) { return std::make_shared<const std::string>(std::move(s)); }

const Str& EmptyStr() {
    static const Str kEmpty = MakeStr("");
    return kEmpty;
}

std::string NumberToString(double d) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    if (d == 0) return "0";  // also -0
    if (d == std::floor(d) && std::fabs(d) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(d));
        return buf;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    // "1e+021" style exponents lose their leading zeros.
    std::string s = buf;
    size_t e = s.find('e');
    if (e != std::string::npos) {
        size_t digits = e + 2;
        while (digits + 1 < s.size() && s[digits] == '0') s.erase(digits, 1);
    }
    return s;
}

double StringToNumber(const std::string& s, int version) {
    const double kNaN = std::nan("");
    size_t b = 0, e = s.size();
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    if (b == e) return version >= 7 ? kNaN : 0;
    std::string t = s.substr(b, e - b);
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        char* end = nullptr;
        unsigned long long v = std::strtoull(t.c_str() + 2, &end, 16);
        if (*end) return kNaN;
        return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
    }
    for (char c : t)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E'))
            return kNaN;
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || *end) return kNaN;
    return v;
}

int32_t ToInt32(double d) {
    if (!std::isfinite(d)) return 0;
    d = std::trunc(d);
    double m = std::fmod(d, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

}  // namespace swf::avm1
