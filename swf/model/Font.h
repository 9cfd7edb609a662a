// Fonts and text as read from the movie: embedded fonts (glyph shapes,
// codes, layout metrics, kerning, hints), static text (glyph runs placed by
// the file) and edit text fields (laid out by the player).
//
// Units: glyph shapes and a font's metrics are in the font's own em units
// (`emSquare` per em: 1024, or 20480 for the high-resolution font tag);
// text positions and heights are twips in the text's own space.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "swf/model/Color.h"
#include "swf/model/Geometry.h"
#include "swf/model/Shape.h"

namespace swf {

constexpr int32_t kEmSquare = 1024;
constexpr int32_t kEmSquareHighRes = 20 * kEmSquare;

struct Glyph {
    Shape shape;  // one layer, fill 1 is the glyph's ink; may be empty
    uint16_t code = 0;   // character code (UCS-2, or the file's narrow code)
    int32_t advance = 0;  // em units; from the layout table or the bounds
    Rect bounds;          // em units, as stored (zero without layout)
};

struct KerningPair {
    uint16_t left = 0;  // codes
    uint16_t right = 0;
    int16_t adjust = 0;  // em units
};

// Alignment zones per glyph: the hints are kept, not applied.
struct AlignZone {
    uint16_t x = 0, y = 0, width = 0, height = 0;  // half-floats as stored
    bool hasX = false, hasY = false;
};

// The fields a font character holds; a character kind wraps them.
struct FontData {
    std::string name;
    std::string fullName;   // DefineFontName
    std::string copyright;  // DefineFontName
    bool bold = false;
    bool italic = false;
    bool smallText = false;
    bool shiftJis = false;
    bool ansi = false;
    bool wideCodes = false;
    bool hasLayout = false;
    bool hasCodes = false;  // a code table was read (font or font info)
    uint8_t language = 0;
    int32_t emSquare = kEmSquare;
    int32_t ascent = 0;  // em units
    int32_t descent = 0;
    int32_t leading = 0;
    std::vector<Glyph> glyphs;
    std::vector<KerningPair> kerning;  // sorted by (left, right)
    uint8_t csmTableHint = 0;
    std::vector<AlignZone> zones;  // one per glyph when read

    // (code, glyph index) sorted by code; rebuilt when codes change.
    std::vector<std::pair<uint16_t, uint16_t>> byCode;

    // Glyph index of a code; -1 when the font lacks it. The first of
    // repeated codes wins.
    int32_t IndexOf(uint32_t code) const;
    void BuildCodeIndex();
    int32_t Kerning(uint32_t left, uint32_t right) const;
    // True when no glyph has any outline: text in it uses a system font.
    bool IsDeviceOnly() const;
};

// Anti-aliasing hints of a text (CSMTextSettings): kept, not applied.
struct TextRenderSettings {
    bool present = false;
    uint8_t useFlashType = 0;
    uint8_t gridFit = 0;
    uint32_t thicknessBits = 0;  // the file's 32-bit floats, as bits
    uint32_t sharpnessBits = 0;
};

// One run of static text: every glyph shares font, height and colour.
struct StaticGlyph {
    uint16_t index = 0;   // into the font's glyphs (checked when drawn)
    int32_t x = 0;        // pen position, twips in text space
};

struct TextRun {
    uint16_t fontId = 0;
    uint16_t height = 0;  // twips per em
    Rgba color;
    int32_t y = 0;  // baseline, twips in text space
    std::vector<StaticGlyph> glyphs;
};

struct StaticTextData {
    Rect bounds;
    Matrix matrix;  // text space to character space
    std::vector<TextRun> runs;
    TextRenderSettings settings;
};

enum class TextAlign : uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

struct EditTextData {
    Rect bounds;
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool selectable = true;
    bool border = false;
    bool wasStatic = false;
    bool html = false;
    bool useOutlines = false;
    bool hasFont = false;
    bool hasColor = false;
    bool hasMaxLength = false;
    bool hasLayout = false;
    uint16_t fontId = 0;
    std::string fontClass;
    uint16_t height = 0;  // twips
    Rgba color{0, 0, 0, 255};
    uint16_t maxLength = 0;
    TextAlign align = TextAlign::Left;
    uint16_t leftMargin = 0;  // twips
    uint16_t rightMargin = 0;
    int16_t indent = 0;  // may be negative
    int16_t leading = 0;
    std::string variable;
    std::string initialText;  // as stored; HTML when `html`
    TextRenderSettings settings;
};

}  // namespace swf
