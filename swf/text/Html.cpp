// A tolerant tag scanner: text runs, tags (`<name attr="v" ...>`,
// `</name>`, `<name/>`) and entities, with a stack of formats. A closing
// tag pops the innermost open tag when it names it and is ignored
// otherwise, so badly nested tags keep formatting what follows.
//
// Line breaks in a multiline field: <br> and every </li> end a line, and
// <li> ends the line it interrupts. Paragraphs do not nest: <p> inside an
// open paragraph changes its format only, and the first </p> ends it with
// a break (later ones end nothing). Each break is kept, even at the end.
// A break is in the format of the innermost open tag, except a paragraph's:
// its characters look like the last FONT that closed.
#include "swf/text/Html.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

namespace swf {

namespace {

constexpr size_t kMaxNameChars = 32;
constexpr size_t kMaxAttrs = 16;
constexpr size_t kMaxEntityChars = 10;
constexpr int32_t kMaxFontPixels = 2000;  // larger sizes are clamped, not refused
constexpr int32_t kMinHtmlFontPixels = 1;
constexpr int32_t kMaxHtmlFontPixels = 127;
constexpr int32_t kMaxSpacing = 20000;    // twips, letter spacing and margins
constexpr size_t kMaxTabStops = 64;

struct Attr {
    std::string name;
    std::string value;
};

struct Tag {
    std::string name;  // lower case
    bool closing = false;
    bool selfClosing = false;
    std::vector<Attr> attrs;

    const std::string* Find(const char* key) const {
        for (const Attr& a : attrs)
            if (a.name == key) return &a.value;
        return nullptr;
    }
};

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int32_t ClampedInt(const std::string& s, int32_t lo, int32_t hi) {
    long v = std::strtol(s.c_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long>(v, lo, hi));
}

bool ParseColor(const std::string& s, Rgba* out) {
    size_t i = s.size() > 0 && s[0] == '#' ? 1 : 0;
    if (s.size() - i != 6) return false;
    uint32_t v = 0;
    for (; i < s.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
        v = v * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(s[i]))
                                               ? s[i] - '0'
                                               : std::tolower(static_cast<unsigned char>(s[i])) - 'a' + 10);
    }
    *out = Rgba{uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v), out->a};
    return true;
}

bool IsHtmlTag(const std::string& n) {
    return n == "p" || n == "li" || n == "b" || n == "i" || n == "u" || n == "a" || n == "font" || n == "textformat";
}

class Parser {
public:
    Parser(const std::string& html, const TextFormat& base, FormattedText& out, const HtmlReadOptions& options)
        : in_(html), out_(out), styler_(options.styler), condense_(options.condenseWhite),
          multiline_(options.multiline) {
        stack_.push_back({"", base});
        lastClosed_ = base;
    }

    void Run() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '<' && ReadTag()) continue;
            if (c == '&') {
                Text(ReadEntity());
                continue;
            }
            Text(DecodeOne());
        }
    }

private:
    struct Level {
        std::string tag;
        TextFormat format;
        bool block = false;  // a style sheet's own tag: ends its line when it closes
    };

    const TextFormat& Current() const { return stack_.back().format; }

    void Text(char32_t c) {
        if (condense_ && (c == U' ' || c == U'\t' || c == U'\r' || c == U'\n')) {
            // A run of white space is one space, and none starts a line.
            if (AtLineStart() || out_.Chars().back() == U' ') return;
            c = U' ';
        }
        if (c == U'\r') c = U'\n';
        out_.Append(c, Current());
    }

    // A break made by markup, in the format of the innermost open tag.
    void Break() {
        if (multiline_) out_.Append(U'\n', Current());
    }

    bool AtLineStart() const { return out_.Empty() || out_.Chars().back() == U'\n'; }

    char32_t DecodeOne() {
        // One UTF-8 sequence (or one Latin-1 byte) from the input.
        size_t len = 1;
        const uint8_t b = static_cast<uint8_t>(in_[pos_]);
        if (b >= 0xC2 && b < 0xE0) len = 2;
        else if (b >= 0xE0 && b < 0xF0) len = 3;
        else if (b >= 0xF0 && b < 0xF5) len = 4;
        len = std::min(len, in_.size() - pos_);
        std::u32string d = DecodeUtf8(in_.substr(pos_, len));
        if (d.size() != 1) len = 1;
        pos_ += len;
        return d.empty() ? U'?' : d[0];
    }

    char32_t ReadEntity() {
        const size_t semi = in_.find(';', pos_);
        if (semi == std::string::npos || semi - pos_ > kMaxEntityChars) {
            ++pos_;
            return U'&';
        }
        const std::string name = in_.substr(pos_ + 1, semi - pos_ - 1);
        char32_t c = 0;
        if (name == "lt") c = U'<';
        else if (name == "gt") c = U'>';
        else if (name == "amp") c = U'&';
        else if (name == "quot") c = U'"';
        else if (name == "apos") c = U'\'';
        else if (name == "nbsp") c = 0xA0;
        else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            char* end = nullptr;
            const unsigned long v = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && end && *end == '\0' && v > 0 && v <= 0x10FFFF) c = static_cast<char32_t>(v);
        }
        if (c == 0) {
            ++pos_;
            return U'&';
        }
        pos_ = semi + 1;
        return c;
    }

    // Reads a tag at pos_; false (nothing consumed) when '<' starts no tag.
    bool ReadTag() {
        size_t p = pos_ + 1;
        Tag tag;
        if (p < in_.size() && in_[p] == '/') {
            tag.closing = true;
            ++p;
        }
        const size_t nameStart = p;
        while (p < in_.size() && (std::isalnum(static_cast<unsigned char>(in_[p])) || in_[p] == '!' || in_[p] == '-'))
            ++p;
        if (p == nameStart) return false;
        tag.name = Lower(in_.substr(nameStart, std::min(p - nameStart, kMaxNameChars)));
        // Attributes up to '>'; quotes may hold '>'.
        for (;;) {
            while (p < in_.size() && std::isspace(static_cast<unsigned char>(in_[p]))) ++p;
            if (p >= in_.size()) break;
            if (in_[p] == '>') {
                ++p;
                break;
            }
            if (in_[p] == '/') {
                tag.selfClosing = true;
                ++p;
                continue;
            }
            const size_t an = p;
            while (p < in_.size() && !std::isspace(static_cast<unsigned char>(in_[p])) && in_[p] != '=' &&
                   in_[p] != '>' && in_[p] != '/')
                ++p;
            Attr attr;
            attr.name = Lower(in_.substr(an, std::min(p - an, kMaxNameChars)));
            if (p == an) ++p;  // a stray character
            while (p < in_.size() && std::isspace(static_cast<unsigned char>(in_[p]))) ++p;
            if (p < in_.size() && in_[p] == '=') {
                ++p;
                while (p < in_.size() && std::isspace(static_cast<unsigned char>(in_[p]))) ++p;
                if (p < in_.size() && (in_[p] == '"' || in_[p] == '\'')) {
                    const char q = in_[p++];
                    const size_t end = in_.find(q, p);
                    const size_t stop = end == std::string::npos ? in_.size() : end;
                    attr.value = in_.substr(p, stop - p);
                    p = end == std::string::npos ? stop : stop + 1;
                } else {
                    const size_t vs = p;
                    while (p < in_.size() && !std::isspace(static_cast<unsigned char>(in_[p])) && in_[p] != '>') ++p;
                    attr.value = in_.substr(vs, p - vs);
                }
            }
            if (tag.attrs.size() < kMaxAttrs) tag.attrs.push_back(std::move(attr));
        }
        pos_ = p;
        if (tag.closing)
            Close(tag.name);
        else
            Open(tag);
        return true;
    }

    void Open(const Tag& tag) {
        const std::string& n = tag.name;
        if (n == "br") return Break();
        if (n == "li") {
            if (!AtLineStart()) Break();
            ++openItems_;
        }
        if (n == "p") inParagraph_ = true;
        TextFormat f = Current();
        // The sheet's styles come first; the tag's own attributes win.
        // Styles by tag name reach paragraphs, list items, links and tags
        // of the sheet's own; the character tags take only their class's.
        bool known = IsHtmlTag(n);
        const bool custom = styler_ && !known && n != "span" && n != "img" &&
                            std::isalpha(static_cast<unsigned char>(n[0]));
        if (styler_) {
            const bool byName = custom || n == "p" || n == "li" || n == "a";
            const std::string* cls = tag.Find("class");
            styler_(byName ? n : std::string(), cls ? *cls : std::string(), f);
            known = known || custom || n == "span";  // a styled span formats what it holds
        }
        if (n == "p") {
            if (const std::string* a = tag.Find("align")) {
                const std::string v = Lower(*a);
                f.align = v == "right" ? TextAlign::Right : v == "center" ? TextAlign::Center
                          : v == "justify" ? TextAlign::Justify : TextAlign::Left;
            }
        } else if (n == "li") {
            f.bullet = true;
        } else if (n == "b") {
            f.bold = true;
        } else if (n == "i") {
            f.italic = true;
        } else if (n == "u") {
            f.underline = true;
        } else if (n == "a") {
            if (const std::string* a = tag.Find("href")) f.url = *a;
            if (const std::string* a = tag.Find("target")) f.target = *a;
        } else if (n == "font") {
            FontAttributes(tag, f);
        } else if (n == "textformat") {
            TextFormatAttributes(tag, f);
        }
        if (!known || tag.selfClosing) return;
        if (stack_.size() > kMaxHtmlDepth) return;  // too deep: read, but no new format
        stack_.push_back({n, std::move(f), custom});
    }

    static void FontAttributes(const Tag& tag, TextFormat& f) {
        constexpr int32_t kPx = TextFormat::kTwipsPerPixelForText;
        if (const std::string* a = tag.Find("face")) f.font = *a;  // a list of families stays whole
        if (const std::string* a = tag.Find("size")) {
            // A signed size is relative; one with no leading digits changes
            // nothing; what is read is kept within the sizes HTML allows.
            const bool relative = !a->empty() && ((*a)[0] == '+' || (*a)[0] == '-');
            if (a->size() > (relative ? 1u : 0u) && std::isdigit(static_cast<unsigned char>((*a)[relative ? 1 : 0]))) {
                int32_t px = ClampedInt(*a, -kMaxFontPixels, kMaxFontPixels);
                if (relative) px += f.size / kPx;
                f.size = std::clamp(px, kMinHtmlFontPixels, kMaxHtmlFontPixels) * kPx;
            }
        }
        if (const std::string* a = tag.Find("color")) ParseColor(*a, &f.color);
        if (const std::string* a = tag.Find("letterspacing"))
            f.letterSpacing = ClampedInt(*a, -kMaxSpacing / kPx, kMaxSpacing / kPx) * kPx;
        if (const std::string* a = tag.Find("kerning")) f.kerning = *a != "0";
    }

    static void TextFormatAttributes(const Tag& tag, TextFormat& f) {
        constexpr int32_t kPx = TextFormat::kTwipsPerPixelForText;
        auto px = [&](const char* key, int32_t& field, int32_t lo) {
            if (const std::string* a = tag.Find(key)) field = ClampedInt(*a, lo, kMaxSpacing / kPx) * kPx;
        };
        px("leftmargin", f.leftMargin, 0);
        px("rightmargin", f.rightMargin, 0);
        px("indent", f.indent, -kMaxSpacing / kPx);
        px("blockindent", f.blockIndent, 0);
        px("leading", f.leading, -kMaxSpacing / kPx);
        if (const std::string* a = tag.Find("tabstops")) {
            f.tabStops.clear();
            size_t p = 0;
            while (p < a->size() && f.tabStops.size() < kMaxTabStops) {
                const size_t comma = std::min(a->find(',', p), a->size());
                f.tabStops.push_back(ClampedInt(a->substr(p, comma - p), 0, kMaxSpacing / kPx) * kPx);
                p = comma + 1;
            }
        }
    }

    void Close(const std::string& name) {
        // Only the innermost open tag closes; a closing tag for any other
        // is ignored.
        const size_t i = stack_.size() > 1 && stack_.back().tag == name ? stack_.size() : 0;
        if (name == "p" && inParagraph_) {
            // A paragraph's break keeps its layout but takes its characters'
            // look from the last FONT that closed before it, not from what
            // is open around it.
            TextFormat f = lastClosed_;
            CopyLayout(Current(), f);
            if (multiline_) out_.Append(U'\n', f);
        }
        if (name == "li" && openItems_ > 0) Break();  // the break still belongs to the item
        if (i > 1 && stack_[i - 1].block && !AtLineStart()) out_.Append(U'\n', stack_[i - 1].format);
        if (name == "p") inParagraph_ = false;
        if (name == "li" && openItems_ > 0) --openItems_;
        if (i > 1) {
            if (name == "font") lastClosed_ = stack_[i - 1].format;
            stack_.resize(i - 1);
        }
    }

    static void CopyLayout(const TextFormat& from, TextFormat& to) {
        to.align = from.align;
        to.leftMargin = from.leftMargin;
        to.rightMargin = from.rightMargin;
        to.indent = from.indent;
        to.blockIndent = from.blockIndent;
        to.leading = from.leading;
        to.tabStops = from.tabStops;
        to.bullet = from.bullet;
    }

    const std::string& in_;
    FormattedText& out_;
    const HtmlStyler& styler_;
    size_t pos_ = 0;
    std::vector<Level> stack_;
    TextFormat lastClosed_;  // the format inside the FONT that closed last
    bool condense_ = false;
    bool multiline_ = true;
    bool inParagraph_ = false;
    size_t openItems_ = 0;  // <li> not yet closed
};

}  // namespace

void ParseHtml(const std::string& html, const TextFormat& base, FormattedText& out, const HtmlReadOptions& options) {
    Parser(html, base, out, options).Run();
}

}  // namespace swf
