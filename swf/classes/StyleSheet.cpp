#include "swf/classes/StyleSheet.h"

#include <cmath>

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

double CssInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && Blank(text[i])) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return NAN;
    double n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) n = n * 10 + (text[i] - '0');
    return negative ? -n : n;
}

bool CssColor(const std::string& text, uint32_t& rgb) {
    if (text.size() != 7 || text[0] != '#') return false;
    uint32_t v = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return false;
        v = v << 4 | uint32_t(digit);
    }
    rgb = v;
    return true;
}

std::string CssFontList(const std::string& text) {
    std::string out;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t comma = text.find(',', pos);
        if (comma == std::string::npos) comma = text.size();
        const std::string name = TrimFront(text.substr(pos, comma - pos));
        if (!name.empty()) out += (out.empty() ? "" : ",") + name;
        pos = comma + 1;
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
