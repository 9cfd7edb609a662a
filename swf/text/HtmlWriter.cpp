#include "swf/text/HtmlWriter.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace swf {

namespace {

constexpr int32_t kPx = TextFormat::kTwipsPerPixelForText;

std::string Pixels(int32_t twips) { return std::to_string(twips / kPx); }

void Escape(std::string& out, const std::u32string& s, bool attribute) {
    for (char32_t c : s) {
        if (c == U'<') out += "&lt;";
        else if (c == U'>') out += "&gt;";
        else if (c == U'&') out += "&amp;";
        else if (c == U'"' && attribute) out += "&quot;";
        else out += EncodeUtf8(std::u32string(1, c));
    }
}

std::string Attr(const char* name, const std::string& value) {
    std::string out = std::string(" ") + name + "=\"";
    Escape(out, DecodeUtf8(value), true);
    return out + "\"";
}

std::string Color(Rgba c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.r, c.g, c.b);
    return buf;
}

const char* AlignName(TextAlign a) {
    switch (a) {
    case TextAlign::Right: return "RIGHT";
    case TextAlign::Center: return "CENTER";
    case TextAlign::Justify: return "JUSTIFY";
    case TextAlign::Left: break;
    }
    return "LEFT";
}

// FONT attributes of `f`; with `base`, only those that differ from it.
std::string FontAttrs(const TextFormat& f, const TextFormat* base) {
    std::string a;
    if (!base || f.font != base->font) a += Attr("FACE", f.font);
    if (!base || f.size != base->size) a += Attr("SIZE", Pixels(f.size));
    if (!base || f.color != base->color) a += Attr("COLOR", Color(f.color));
    if (!base || f.letterSpacing != base->letterSpacing) a += Attr("LETTERSPACING", Pixels(f.letterSpacing));
    if (!base || f.kerning != base->kerning) a += Attr("KERNING", f.kerning ? "1" : "0");
    return a;
}

std::string TextFormatAttrs(const TextFormat& f) {
    std::string a;
    if (f.leftMargin) a += Attr("LEFTMARGIN", Pixels(f.leftMargin));
    if (f.rightMargin) a += Attr("RIGHTMARGIN", Pixels(f.rightMargin));
    if (f.indent) a += Attr("INDENT", Pixels(f.indent));
    if (f.leading) a += Attr("LEADING", Pixels(f.leading));
    if (f.blockIndent) a += Attr("BLOCKINDENT", Pixels(f.blockIndent));
    if (!f.tabStops.empty()) {
        std::string stops;
        for (int32_t t : f.tabStops) stops += (stops.empty() ? "" : ",") + Pixels(t);
        a += Attr("TABSTOPS", stops);
    }
    return a;
}

// Whether two formats write the same tags around a run; layout belongs to
// the paragraph.
bool SameLook(const TextFormat& a, const TextFormat& b) {
    return a.font == b.font && a.size == b.size && a.color == b.color && a.letterSpacing == b.letterSpacing &&
           a.kerning == b.kerning && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.url == b.url && a.target == b.target;
}

// One run of characters sharing a format, inside its FONT.
void Run(std::string& out, const std::u32string& chars, const TextFormat& f) {
    if (!f.url.empty()) out += "<A" + Attr("HREF", f.url) + Attr("TARGET", f.target) + ">";
    if (f.bold) out += "<B>";
    if (f.italic) out += "<I>";
    if (f.underline) out += "<U>";
    Escape(out, chars, false);
    if (f.underline) out += "</U>";
    if (f.italic) out += "</I>";
    if (f.bold) out += "</B>";
    if (!f.url.empty()) out += "</A>";
}

void Paragraph(std::string& out, const FormattedText& text, size_t begin, size_t end, const TextFormat& para) {
    const std::string layout = TextFormatAttrs(para);
    if (!layout.empty()) out += "<TEXTFORMAT" + layout + ">";
    out += para.bullet ? "<LI>" : std::string("<P") + Attr("ALIGN", AlignName(para.align)) + ">";
    out += "<FONT" + FontAttrs(para, nullptr) + ">";
    const std::u32string& chars = text.Chars();
    // FONT tags nest: a run whose font matches an open level closes back to
    // it; any other opens a tag inside the innermost with what differs.
    std::vector<const TextFormat*> open = {&para};
    // The break ending the paragraph is written as a run with no text, so
    // its format still shows.
    const size_t stop = std::min(end + 1, text.Size());
    for (size_t i = begin; i < stop;) {
        const TextFormat& f = text.FormatAt(i);
        size_t j = i + 1;
        while (j < stop && SameLook(text.FormatAt(j), f)) ++j;
        size_t level = open.size();
        while (level > 0 && !FontAttrs(f, open[level - 1]).empty()) --level;
        if (level > 0) {
            for (; open.size() > level; open.pop_back()) out += "</FONT>";
        } else {
            out += "<FONT" + FontAttrs(f, open.back()) + ">";
            open.push_back(&f);
        }
        Run(out, chars.substr(i, std::min(j, end) - i), f);
        i = j;
    }
    for (size_t k = 0; k < open.size(); ++k) out += "</FONT>";
    out += para.bullet ? "</LI>" : "</P>";
    if (!layout.empty()) out += "</TEXTFORMAT>";
}

}  // namespace

std::string WriteHtml(const FormattedText& text) {
    std::string out;
    const size_t n = text.Size();
    if (n == 0) return out;
    for (size_t begin = 0;;) {
        size_t end = begin;
        while (end < n && text.Chars()[end] != U'\n') ++end;
        // A paragraph takes its layout from its first character, or from the
        // break before it when it is empty.
        const size_t at = begin < n ? begin : n - 1;
        Paragraph(out, text, begin, end, text.FormatAt(at));
        // A break that ends the text opens no paragraph of its own.
        if (end + 1 >= n) break;
        begin = end + 1;
    }
    return out;
}

}  // namespace swf
