#include "swf/classes/StyleSheet.h"

namespace swf {

namespace {

constexpr size_t kMaxRules = 4096;

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && Blank(s[b])) ++b;
    while (e > b && Blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string TrimFront(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && Blank(s[b])) ++b;
    return s.substr(b);
}

// Declarations between the braces: `name: value` separated by `;`.
void ReadDeclarations(const std::string& body, CssRule& rule) {
    size_t pos = 0;
    while (pos < body.size()) {
        size_t end = body.find(';', pos);
        if (end == std::string::npos) end = body.size();
        const std::string decl = body.substr(pos, end - pos);
        pos = end + 1;
        const size_t colon = decl.find(':');
        if (colon == std::string::npos) continue;
        const std::string name = Trim(decl.substr(0, colon));
        if (name.empty()) continue;
        rule.declarations.emplace_back(CssNameToScript(name), TrimFront(decl.substr(colon + 1)));
    }
}

}  // namespace

std::string CssNameToScript(const std::string& name) {
    std::string out;
    bool upper = false;
    for (char c : name) {
        if (c == '-') {
            upper = true;
            continue;
        }
        out += upper && c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        upper = false;
    }
    return out;
}

bool ParseCss(const std::string& text, std::vector<CssRule>& out) {
    std::vector<CssRule> rules;
    size_t pos = 0;
    while (true) {
        while (pos < text.size() && Blank(text[pos])) ++pos;
        if (pos >= text.size()) break;
        const size_t open = text.find('{', pos);
        if (open == std::string::npos) return false;
        const size_t close = text.find('}', open);
        if (close == std::string::npos || rules.size() >= kMaxRules) return false;
        CssRule rule;
        const std::string selectors = text.substr(pos, open - pos);
        size_t s = 0;
        while (s <= selectors.size()) {
            size_t comma = selectors.find(',', s);
            if (comma == std::string::npos) comma = selectors.size();
            const std::string name = Trim(selectors.substr(s, comma - s));
            if (!name.empty()) rule.selectors.push_back(name);
            s = comma + 1;
        }
        if (rule.selectors.empty()) return false;
        ReadDeclarations(text.substr(open + 1, close - open - 1), rule);
        rules.push_back(std::move(rule));
        pos = close + 1;
    }
    out = std::move(rules);
    return true;
}

}  // namespace swf
