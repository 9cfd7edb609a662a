// encodeURI, decodeURI and their Component forms, escapeMultiByte and
// unescapeMultiByte (UTF-8 percent escapes), and isXMLName.
#include <cstdio>
#include <cstring>

#include "swf/avm2/classes/ByteArray.h"

namespace swf::avm2 {

namespace {

// A String parameter: missing is "undefined", null and undefined are "null".
std::string TextArg(Machine& m, Args args, int argc) {
    if (argc < 1) return "undefined";
    if (args[0].IsNullish()) return "null";
    return m.ToStdString(args[0]);
}

const char* const kUnreserved = "-_.!~*'()";
const char* const kReserved = ";/?:@&=+$,#";

bool Alnum(uint32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

void PercentByte(std::string& out, uint8_t b) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%%%02X", b);
    out += buf;
}

[[noreturn]] void UriError(Machine& m, const char* fn) {
    m.Throw(m.uriErrorClass, 1052, std::string("Invalid URI passed to ") + fn + " function.");
}

Value Encode(Machine& m, Args args, int argc, bool component, const char* fn) {
    std::vector<uint32_t> u = Decode(TextArg(m, args, argc));
    std::string out;
    for (size_t i = 0; i < u.size(); ++i) {
        uint32_t c = u[i];
        if (c < 0x80 && (Alnum(c) || std::strchr(kUnreserved, int(c)) || (!component && std::strchr(kReserved, int(c))))) {
            if (c) {
                out += char(c);
                continue;
            }
        }
        if (c >= 0xDC00 && c < 0xE000) UriError(m, fn);
        if (c >= 0xD800 && c < 0xDC00) {
            if (i + 1 >= u.size() || u[i + 1] < 0xDC00 || u[i + 1] >= 0xE000) UriError(m, fn);
            c = 0x10000 + ((c - 0xD800) << 10) + (u[++i] - 0xDC00);
        }
        std::string bytes = EncodeUtf8({c}, 0, 1);
        if (c == 0) bytes.assign(1, '\0');
        for (unsigned char b : bytes) PercentByte(out, b);
    }
    return Value::Str(m.Str(out));
}

int Hex(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

Value DecodeUri(Machine& m, Args args, int argc, bool component, const char* fn) {
    std::string s = TextArg(m, args, argc);
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        if (s[i] != '%') {
            // Copy one whole character.
            size_t j = i + 1;
            while (j < s.size() && (static_cast<unsigned char>(s[j]) & 0xC0) == 0x80) ++j;
            std::vector<uint32_t> cs = Decode(s.substr(i, j - i));
            out.insert(out.end(), cs.begin(), cs.end());
            i = j;
            continue;
        }
        auto byteAt = [&](size_t at) {
            if (at + 2 >= s.size() || s[at] != '%' || Hex(s[at + 1]) < 0 || Hex(s[at + 2]) < 0) UriError(m, fn);
            return uint32_t(Hex(s[at + 1]) << 4 | Hex(s[at + 2]));
        };
        uint32_t b = byteAt(i);
        if (b < 0x80) {
            if (!component && std::strchr(kReserved, int(b)) && b) {
                for (size_t k = 0; k < 3; ++k) out.push_back(uint8_t(s[i + k]));
            } else {
                out.push_back(b);
            }
            i += 3;
            continue;
        }
        int n = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (!n) UriError(m, fn);
        uint32_t cp = b & (0xFF >> (n + 1));
        for (int k = 1; k < n; ++k) {
            uint32_t c = byteAt(i + size_t(k) * 3);
            if ((c & 0xC0) != 0x80) UriError(m, fn);
            cp = cp << 6 | (c & 0x3F);
        }
        static const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) UriError(m, fn);
        if (cp >= 0x10000) {
            out.push_back(0xD800 + ((cp - 0x10000) >> 10));
            out.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out.push_back(cp);
        }
        i += size_t(n) * 3;
    }
    return Value::Str(m.Str(EncodeUtf8(out, 0, out.size())));
}

Value EncodeURI(Machine& m, Value, Args args, int argc) { return Encode(m, args, argc, false, "encodeURI"); }
Value EncodeURIComponent(Machine& m, Value, Args args, int argc) {
    return Encode(m, args, argc, true, "encodeURIComponent");
}
Value DecodeURI(Machine& m, Value, Args args, int argc) { return DecodeUri(m, args, argc, false, "decodeURI"); }
Value DecodeURIComponent(Machine& m, Value, Args args, int argc) {
    return DecodeUri(m, args, argc, true, "decodeURIComponent");
}

// escapeMultiByte: characters but letters and digits become the %XX of
// their UTF-8 bytes; the text ends at a NUL. A lone surrogate is U+FFFD.
Value EscapeMultiByte(Machine& m, Value, Args args, int argc) {
    std::string s = TextArg(m, args, argc);
    std::vector<uint32_t> u = Decode(s);
    std::string out;
    for (size_t i = 0; i < u.size(); ++i) {
        uint32_t c = u[i];
        if (c == 0) break;
        if (c < 0x80 && Alnum(c)) {
            out += char(c);
            continue;
        }
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (u[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        for (unsigned char b : EncodeUtf8({c}, 0, 1)) PercentByte(out, b);
    }
    return Value::Str(m.Str(out));
}

// unescapeMultiByte: %XX runs read as UTF-8 (bad ones one character each);
// a bad escape is dropped with the character that spoiled it.
Value UnescapeMultiByte(Machine& m, Value, Args args, int argc) {
    // Lone surrogates given as characters are U+FFFD; escaped ones stay.
    std::vector<uint32_t> u = Decode(TextArg(m, args, argc));
    for (size_t i = 0; i < u.size(); ++i) {
        bool high = u[i] >= 0xD800 && u[i] < 0xDC00, low = u[i] >= 0xDC00 && u[i] < 0xE000;
        if (high && i + 1 < u.size() && u[i + 1] >= 0xDC00 && u[i + 1] < 0xE000) ++i;
        else if (high || low) u[i] = 0xFFFD;
    }
    std::string s = EncodeUtf8(u, 0, u.size());
    std::string bytes;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\0') break;
        if (s[i] != '%') {
            bytes += s[i];
            continue;
        }
        size_t j = i + 1;
        int digits = 0;
        while (digits < 2 && j < s.size() && Hex(s[j]) >= 0) ++j, ++digits;
        if (digits == 2) {
            char b = char(Hex(s[i + 1]) << 4 | Hex(s[i + 2]));
            if (b != '\0') bytes += b;
        } else if (j < s.size()) {
            ++j;  // the character that spoiled the escape goes too
        }
        i = j - 1;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    return Value::Str(m.Str(BytesToText(p, bytes.size(), true)));
}

bool NameStart(uint32_t c) { return c == '_' || (c < 0x80 ? ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') : c >= 0xC0); }
bool NameChar(uint32_t c) { return NameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7; }

Value IsXMLName(Machine& m, Value, Args args, int argc) {
    if (argc < 1 || args[0].IsNullish()) return Value::Bool(false);
    std::vector<uint32_t> u = Decode(m.ToStdString(args[0]));
    if (u.empty() || !NameStart(u[0])) return Value::Bool(false);
    for (uint32_t c : u)
        if (!NameChar(c)) return Value::Bool(false);
    return Value::Bool(true);
}

}  // namespace

void InstallUriFunctions(Machine& m) {
    m.DefineGlobalFunction("", "encodeURI", EncodeURI, 1);
    m.DefineGlobalFunction("", "encodeURIComponent", EncodeURIComponent, 1);
    m.DefineGlobalFunction("", "decodeURI", DecodeURI, 1);
    m.DefineGlobalFunction("", "decodeURIComponent", DecodeURIComponent, 1);
    m.DefineGlobalFunction("", "isXMLName", IsXMLName, 1);
    m.DefineGlobalFunction("flash.utils", "escapeMultiByte", EscapeMultiByte, 1);
    m.DefineGlobalFunction("flash.utils", "unescapeMultiByte", UnescapeMultiByte, 1);
}

}  // namespace swf::avm2
