// Lays out a field's formatted text inside its bounds.
//
//  1. Paragraphs end at '\n'. Each starts at the left edge plus the
//     gutter, its left margin and block indent; its first line also moves
//     by the indent. Bullets indent the text and draw a bullet before it.
//  2. Characters advance by their glyph's advance at the format's size,
//     plus letter spacing, plus the font's kerning when the format asks.
//     Tabs move to the next tab stop (or the next multiple of 36 pixels).
//  3. With word wrap (single-line fields too), a line breaks after its last
//     space that fits; a word wider than the line breaks between letters.
//  4. A line is as tall as its tallest ascent plus descent plus the
//     paragraph's leading. Lines align left, right, centre, or justified
//     (spaces widened on every line of a paragraph but its last).
//  5. Autosize grows the field to its text: the height always, the width
//     when not wrapping, keeping the left, centre or right edge fixed as
//     its mode says. A line's width counts its trailing spaces when the
//     paragraph is left-aligned (any paragraph before version 8).
//  6. Glyphs wholly outside the field are dropped.
//
// Units: twips in the field's space. Every quantity is clamped, so sizes
// of thousands of points or fields millions of twips wide stay in range.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "swf/model/Shape.h"
#include "swf/text/FontLibrary.h"
#include "swf/text/FormattedText.h"

namespace swf {

constexpr int32_t kFieldGutter = 2 * 20;  // twips between the bounds and the text

struct PlacedGlyph {
    const Shape* shape = nullptr;
    int32_t emSquare = kEmSquare;
    int32_t x = 0;  // pen, twips
    int32_t y = 0;  // baseline
    int32_t height = 0;  // twips per em
    Rgba color;
    char32_t code = 0;
    size_t index = 0;  // of the character in the text
};

struct LaidOutLine {
    int32_t top = 0;
    int32_t baseline = 0;
    int32_t bottom = 0;  // of its glyphs: the baseline plus descent, leading apart
    int32_t leading = 0;  // below the bottom
    int32_t left = 0;   // x of the first glyph
    int32_t width = 0;  // to the last glyph's advance
    int32_t penEnd = 0;  // x after its last character, trailing spaces too
    size_t firstChar = 0;
    size_t endChar = 0;  // one past the last character of the line
};

struct TextLayout {
    std::vector<PlacedGlyph> glyphs;
    std::vector<std::pair<Rect, Rgba>> underlines;
    std::vector<LaidOutLine> lines;
    std::vector<int32_t> charX;  // pen x before each character, and after the last
    Rect bounds;  // the field's bounds after autosize
    int32_t textWidth = 0;   // widest line, twips
    int32_t extent = 0;      // from the gutter to the furthest line end, margins too
    int32_t textHeight = 0;  // all lines
};

// The face a format draws with; never null.
using FaceResolver = std::function<FontFace*(const TextFormat&)>;
// Another face with a character the format's face lacks, or null.
using FallbackResolver = std::function<FontFace*(const TextFormat&, char32_t)>;

struct LayoutOptions {
    Rect bounds;
    FallbackResolver fallback;  // none: missing characters draw nothing
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool autoSize = false;
    TextAlign autoSizeAnchor = TextAlign::Left;  // the edge autosize keeps (centre: the middle)
    bool trailingSpacesAlwaysCount = false;  // old movies: whatever the alignment
    bool keepOutside = false;  // keep glyphs outside the bounds (scrolled fields)
    // An empty text still has one line, measured in this format; without
    // it, none.
    const TextFormat* emptyFormat = nullptr;
};

TextLayout LayOut(const FormattedText& text, const LayoutOptions& options, const FaceResolver& faces);

}  // namespace swf
