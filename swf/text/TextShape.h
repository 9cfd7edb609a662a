// Text becomes one shape: every glyph's outline scaled from its em units to
// its height in twips and moved to its pen position, all in one layer with
// a solid fill per colour. Nonzero winding keeps overlapping glyphs of one
// colour solid, and the whole text is one rasteriser pass per colour.
//
// Scaling is integer: a glyph point p lands at pen + round(p * height / em).
#pragma once

#include <cstdint>

#include "swf/Color.h"
#include "swf/Font.h"
#include "swf/Shape.h"

namespace swf {

class FontLibrary;
class Movie;

class TextShapeBuilder {
public:
    // Distinct colours per text; further colours reuse the last fill.
    static constexpr size_t kMaxFills = 1024;
    // Edges per text; glyphs past it are dropped.
    static constexpr size_t kMaxEdges = 1 << 20;

    void AddGlyph(const Shape& glyph, int32_t emSquare, int32_t height, int32_t x, int32_t y, Rgba color);
    void AddRect(const Rect& r, Rgba color);
    size_t EdgeCount() const { return layer_.edges.size(); }
    // The shape, with `bounds` as its bounds; the builder is empty after.
    Shape Take(const Rect& bounds);

private:
    uint16_t FillFor(Rgba color);

    ShapeLayer layer_;
};

// The glyphs of a static text in text space (the text's matrix is not
// applied). Glyph indices past their font's table and unknown fonts draw
// nothing; fonts without outlines draw their codes in a system face.
Shape BuildStaticText(const StaticTextData& text, const Movie& movie, FontLibrary& fonts);

}  // namespace swf
