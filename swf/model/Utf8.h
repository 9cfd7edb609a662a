// UTF-8 for one code point: the engine's one encoder, for strings that
// scripts, text fields, XML and sound tags hand around.
#pragma once

#include <cstdint>
#include <string>

namespace swf {

// Anything past 21 bits keeps its low 21 (still a four-byte form), so a
// hostile value never writes a lead byte that announces more.
inline void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        c &= 0x1FFFFF;
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

}  // namespace swf
