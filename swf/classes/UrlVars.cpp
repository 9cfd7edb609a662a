#include "swf/classes/UrlVars.h"

namespace swf {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::string UrlDecode(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += char(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string UrlEncode(const std::string& s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (IsAlnum(c)) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::vector<UrlVar> DecodeUrlVars(const std::string& text) {
    std::vector<UrlVar> vars;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('&', start);
        if (end == std::string::npos) end = text.size();
        const std::string piece = text.substr(start, end - start);
        if (!piece.empty()) {
            const size_t eq = piece.find('=');
            if (eq == std::string::npos)
                vars.emplace_back(UrlDecode(piece), "");
            else
                vars.emplace_back(UrlDecode(piece.substr(0, eq)), UrlDecode(piece.substr(eq + 1)));
        }
        start = end + 1;
    }
    return vars;
}

std::string EncodeUrlVars(const std::vector<UrlVar>& vars) {
    std::string out;
    for (const UrlVar& v : vars) {
        if (!out.empty()) out += '&';
        out += UrlEncode(v.first) + '=' + UrlEncode(v.second);
    }
    return out;
}

}  // namespace swf
