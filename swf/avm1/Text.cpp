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

}  // namespace swf::avm1
