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

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

// SWF 4 reads the longest decimal prefix, as C's atof does; no number is 0.
double PrefixNumber(const std::string& s) {
    const char* p = s.c_str();
    while (Blank(*p)) ++p;
    const char* q = p;
    if (*q == '+' || *q == '-') ++q;
    if (!Digit(*q) && !(*q == '.' && Digit(q[1]))) return 0;
    while (Digit(*q)) ++q;
    if (*q == '.')
        for (++q; Digit(*q);) ++q;
    if ((*q == 'e' || *q == 'E') && (Digit(q[1]) || ((q[1] == '+' || q[1] == '-') && Digit(q[2])))) {
        q += 2;
        while (Digit(*q)) ++q;
    }
    return std::strtod(std::string(p, q).c_str(), nullptr);
}

// Digits in `base` from b to e, all of them; the value wraps to 32 bits as
// the player's integer forms do.
bool WholeDigits(const std::string& s, size_t b, size_t e, int base, double& out) {
    if (b >= e) return false;
    uint32_t v = 0;
    for (size_t i = b; i < e; ++i) {
        const char c = s[i];
        int d = Digit(c) ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'z' ? (c | 0x20) - 'a' + 10 : 99;
        if (d >= base) return false;
        v = v * uint32_t(base) + uint32_t(d);
    }
    out = static_cast<int32_t>(v);
    return true;
}

}  // namespace

double StringToNumber(const std::string& s, int version) {
    if (version < 5) return PrefixNumber(s);
    const double kNaN = std::nan("");
    size_t b = 0;
    const size_t e = s.size();
    // Blanks may lead, never trail.
    while (b < e && Blank(s[b])) ++b;
    if (b == e) return kNaN;  // "" and blanks alone are no number
    double v = 0;
    // SWF 5 reads decimal only; hexadecimal comes with 6, and octal too,
    // though in SWF 6 not after blanks.
    if (version >= 6 && e - b > 2 && s[b] == '0' && (s[b + 1] == 'x' || s[b + 1] == 'X'))
        return WholeDigits(s, b + 2, e, 16, v) ? v : kNaN;
    // A leading zero followed by octal digits only is octal ("010" is 8).
    const size_t sign = s[b] == '-' || s[b] == '+' ? 1 : 0;
    const bool octal = version >= 7 || (version == 6 && b == 0);
    if (octal && e - b > sign + 1 && s[b + sign] == '0' && WholeDigits(s, b + sign + 1, e, 8, v))
        return sign && s[b] == '-' ? -v : v;
    size_t i = b + sign;
    bool digits = false;
    while (i < e && Digit(s[i])) ++i, digits = true;
    if (i < e && s[i] == '.') {
        ++i;
        while (i < e && Digit(s[i])) ++i, digits = true;
    }
    if (!digits) return kNaN;
    if (i < e && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < e && (s[i] == '+' || s[i] == '-')) ++i;
        if (i == e || !Digit(s[i])) return kNaN;
        while (i < e && Digit(s[i])) ++i;
    }
    if (i != e) return kNaN;
    return std::strtod(s.c_str() + b, nullptr);
}

int32_t ToInt32(double d) {
    if (!std::isfinite(d)) return 0;
    d = std::trunc(d);
    double m = std::fmod(d, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

}  // namespace swf::avm1
