// TextField.StyleSheet's CSS: rules of selectors and declarations, read as
// the player reads them. Property names become script names (font-style
// is fontStyle); a value keeps what follows its colon up to the `;` or
// `}`, blanks before it dropped and blanks after it kept ("blue " from
// `color: blue }`). Text that is not a rule fails the whole sheet.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace swf {

struct CssRule {
    std::vector<std::string> selectors;
    std::vector<std::pair<std::string, std::string>> declarations;
};

// False, with `out` untouched, when the text is not a style sheet.
bool ParseCss(const std::string& text, std::vector<CssRule>& out);

// "font-style" to "fontStyle".
std::string CssNameToScript(const std::string& name);

// Values as StyleSheet.transform reads them.
// A whole number at the start: blanks, an optional minus and digits, the
// rest ignored ("12px" is 12); NaN without digits ("- 10", "x").
double CssInteger(const std::string& text);
// "#rrggbb" exactly; false for anything else.
bool CssColor(const std::string& text, uint32_t& rgb);
// A font list: each name without the blanks before it, empty ones dropped.
std::string CssFontList(const std::string& text);

}  // namespace swf
