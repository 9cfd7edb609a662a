// A partial text format, as scripts' TextFormat objects hold it: each
// property set or left alone. Applied to a range it changes only what it
// sets; read from a range it holds what all of the range shares.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "swf/text/FormattedText.h"

namespace swf {

// A script's pixels as twips, clamped to a million pixels; not a number: 0.
int32_t ScriptPixelsToTwips(double px);
// "left", "right", "center" or "justify".
const char* AlignName(TextAlign a);

struct FormatPatch {
    std::optional<std::string> font;
    std::optional<int32_t> size;  // twips per em
    std::optional<Rgba> color;
    std::optional<bool> bold, italic, underline, bullet, kerning;
    std::optional<std::string> url, target;
    std::optional<TextAlign> align;
    std::optional<int32_t> leftMargin, rightMargin, indent, blockIndent, leading, letterSpacing;  // twips
    std::optional<std::vector<int32_t>> tabStops;

    void ApplyTo(TextFormat& f) const;
    // Every property of `f` set.
    static FormatPatch Of(const TextFormat& f);
    // What the characters [begin, end) share (one character when the range
    // is empty; the text's formats when the text is).
    static FormatPatch Common(const FormattedText& text, size_t begin, size_t end, const TextFormat& empty);
};

}  // namespace swf
