// Characters of script strings. From SWF 6 on strings are UTF-8 and
// lengths and indices count characters; before, they count bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swf::avm1 {

std::vector<uint32_t> Chars(const std::string& s, bool utf8);
std::string FromChars(const std::vector<uint32_t>& chars, size_t begin, size_t end, bool utf8);
std::string CharString(uint32_t code, bool utf8);
// a < b by characters, the order scripts compare strings in: surrogate
// halves written one by one count as the character they pair into.
bool CharsLess(const std::string& a, const std::string& b);
// Case mapping of one character: ASCII, Latin-1, Latin Extended-A, Greek
// and Cyrillic; other characters map to themselves.
uint32_t LowerChar(uint32_t c);
uint32_t UpperChar(uint32_t c);
// The string with every character mapped.
std::string ChangeCase(const std::string& s, bool upper, bool utf8);

}  // namespace swf::avm1
