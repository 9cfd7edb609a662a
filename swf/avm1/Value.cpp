#include "swf/avm1/Value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cctype>

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
    // 15 significant digits, rounded once; the layout is chosen from the
    // rounded exponent so 999999999999999.9 becomes 1e+15.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", d);
    const std::string sci = buf;
    const size_t e = sci.find('e');
    const int exponent = std::atoi(sci.c_str() + e + 1);
    std::string digits;
    for (size_t i = 0; i < e; ++i)
        if (std::isdigit(static_cast<unsigned char>(sci[i]))) digits += sci[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = d < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += exponent > 0 ? "e+" : "e-";
        out += std::to_string(exponent < 0 ? -exponent : exponent);
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const size_t whole = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out += digits + std::string(whole - digits.size(), '0');
        } else {
            out += digits.substr(0, whole) + "." + digits.substr(whole);
        }
    }
    return out;
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
