#include "swf/text/FormatPatch.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

template <typename T>
void Set(const std::optional<T>& from, T& to) {
    if (from) to = *from;
}

// Keeps `have` only while every format agrees with it.
template <typename T>
void Keep(std::optional<T>& have, const T& value) {
    if (have && !(*have == value)) have.reset();
}

}  // namespace

void FormatPatch::ApplyTo(TextFormat& f) const {
    Set(font, f.font);
    Set(size, f.size);
    if (color) f.color = Rgba{color->r, color->g, color->b, f.color.a};
    Set(bold, f.bold);
    Set(italic, f.italic);
    Set(underline, f.underline);
    Set(bullet, f.bullet);
    Set(kerning, f.kerning);
    Set(url, f.url);
    Set(target, f.target);
    Set(align, f.align);
    Set(leftMargin, f.leftMargin);
    Set(rightMargin, f.rightMargin);
    Set(indent, f.indent);
    Set(blockIndent, f.blockIndent);
    Set(leading, f.leading);
    Set(letterSpacing, f.letterSpacing);
    Set(tabStops, f.tabStops);
}

FormatPatch FormatPatch::Of(const TextFormat& f) {
    FormatPatch p;
    p.font = f.font;
    p.size = f.size;
    p.color = f.color;
    p.bold = f.bold;
    p.italic = f.italic;
    p.underline = f.underline;
    p.bullet = f.bullet;
    p.kerning = f.kerning;
    p.url = f.url;
    p.target = f.target;
    p.align = f.align;
    p.leftMargin = f.leftMargin;
    p.rightMargin = f.rightMargin;
    p.indent = f.indent;
    p.blockIndent = f.blockIndent;
    p.leading = f.leading;
    p.letterSpacing = f.letterSpacing;
    p.tabStops = f.tabStops;
    return p;
}

FormatPatch FormatPatch::Common(const FormattedText& text, size_t begin, size_t end, const TextFormat& empty) {
    if (text.Empty()) return Of(empty);
    begin = std::min(begin, text.Size() - 1);
    end = std::clamp(end, begin + 1, text.Size());
    FormatPatch p = Of(text.FormatAt(begin));
    for (size_t i = begin + 1; i < end; ++i) {
        const TextFormat& f = text.FormatAt(i);
        if (&f == &text.FormatAt(i - 1)) continue;
        Keep(p.font, f.font);
        Keep(p.size, f.size);
        Keep(p.color, f.color);
        Keep(p.bold, f.bold);
        Keep(p.italic, f.italic);
        Keep(p.underline, f.underline);
        Keep(p.bullet, f.bullet);
        Keep(p.kerning, f.kerning);
        Keep(p.url, f.url);
        Keep(p.target, f.target);
        Keep(p.align, f.align);
        Keep(p.leftMargin, f.leftMargin);
        Keep(p.rightMargin, f.rightMargin);
        Keep(p.indent, f.indent);
        Keep(p.blockIndent, f.blockIndent);
        Keep(p.leading, f.leading);
        Keep(p.letterSpacing, f.letterSpacing);
        Keep(p.tabStops, f.tabStops);
    }
    return p;
}

int32_t ScriptPixelsToTwips(double px) {
    constexpr double kMaxPixels = 1 << 20;
    return std::isfinite(px) ? int32_t(std::lround(std::fmax(-kMaxPixels, std::fmin(kMaxPixels, px)))) *
                                   TextFormat::kTwipsPerPixelForText
                             : 0;
}

const char* AlignName(TextAlign a) {
    switch (a) {
    case TextAlign::Right: return "right";
    case TextAlign::Center: return "center";
    case TextAlign::Justify: return "justify";
    case TextAlign::Left: break;
    }
    return "left";
}

}  // namespace swf
