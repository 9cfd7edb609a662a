#include "swf/avm1/Text.h"

#include "swf/model/Utf8.h"

namespace swf::avm1 {

std::vector<uint32_t> Chars(const std::string& s, bool utf8) {
    std::vector<uint32_t> out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const uint8_t c = static_cast<uint8_t>(s[i]);
        if (!utf8 || c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        uint32_t code = c & (0x3F >> extra);
        size_t j = i + 1;
        for (int k = 0; k < extra && j < s.size() && (static_cast<uint8_t>(s[j]) & 0xC0) == 0x80; ++k, ++j)
            code = (code << 6) | (static_cast<uint8_t>(s[j]) & 0x3F);
        if (j == i + 1 && extra) code = c;  // a stray byte stands for itself
        out.push_back(code);
        i = j;
    }
    return out;
}

std::string CharString(uint32_t code, bool utf8) {
    std::string s;
    if (!utf8)
        s.push_back(static_cast<char>(code & 0xFF));
    else
        AppendUtf8(s, code);
    return s;
}

std::string FromChars(const std::vector<uint32_t>& chars, size_t begin, size_t end, bool utf8) {
    std::string s;
    for (size_t i = begin; i < end && i < chars.size(); ++i) s += CharString(chars[i], utf8);
    return s;
}

bool CharsLess(const std::string& a, const std::string& b) {
    // UTF-8 bytes sort as characters; only surrogate halves (lead byte
    // 0xED) need decoding.
    auto halves = [](const std::string& s) { return s.find('\xED') != std::string::npos; };
    if (!halves(a) && !halves(b)) return a < b;
    auto chars = [](const std::string& s) {
        std::vector<uint32_t> c = Chars(s, true), out;
        for (size_t i = 0; i < c.size(); ++i) {
            if (c[i] >= 0xD800 && c[i] < 0xDC00 && i + 1 < c.size() && c[i + 1] >= 0xDC00 && c[i + 1] < 0xE000) {
                out.push_back(0x10000 + ((c[i] - 0xD800) << 10) + (c[i + 1] - 0xDC00));
                ++i;
            } else {
                out.push_back(c[i]);
            }
        }
        return out;
    };
    return chars(a) < chars(b);
}

namespace {

// Latin Extended-A pairs capitals with the next code point, except in the
// stretches that start one later (after the dotted/dotless i and kra).
bool ExtAUpper(uint32_t c) {
    if (c >= 0x139 && c <= 0x148) return c % 2 == 1;
    if (c >= 0x179 && c <= 0x17E) return c % 2 == 1;
    if (c >= 0x100 && c <= 0x177) return c % 2 == 0 && c != 0x130 && c != 0x138;
    return false;
}

}  // namespace

uint32_t LowerChar(uint32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x178) return 0xFF;
    if (ExtAUpper(c)) return c + 1;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

uint32_t UpperChar(uint32_t c) {
    if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 0x20 : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c > 0x100 && ExtAUpper(c - 1)) return c - 1;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 0x20;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

std::string ChangeCase(const std::string& s, bool upper, bool utf8) {
    std::string out;
    out.reserve(s.size());
    for (uint32_t c : Chars(s, utf8)) {
        if (!utf8 && c >= 0x80) {  // SWF 5 bytes are not characters
            out += char(c);
            continue;
        }
        out += CharString(upper ? UpperChar(c) : LowerChar(c), utf8);
    }
    return out;
}

}  // namespace swf::avm1
