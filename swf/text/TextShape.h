// Text becomes one shape: every glyph's outline scaled from its em units to
// its height in twips and moved to its pen position, all in one layer with
// a solid fill per colour. Nonzero winding keeps overlapping glyphs of one
// colour solid, and the whole text is one rasteriser pass per colour.
//
// Scaling is integer: a glyph point p lands at pen + round(p * height / em).
#pragma once

#include <cstdint>

#include "swf/model/Color.h"
#include "swf/model/Font.h"
#include "swf/model/Shape.h"

namespace swf {

class FontLibrary;
class Movie;

class TextShapeBuilder {
public:
    // Distinct colours per text; further colours reuse the last fill.
    static constexpr size_t kMaxFills = 1024;
    // Edges per text; glyphs past it are dropped.
    static constexpr size_t kMaxEdges = 1 << 20;
    // Clip boxes are clamped to this, keeping the cut's products in range.
    static constexpr int32_t kMaxClip = 1 << 30;

    // Ink outside `clip` is cut away (edit fields clip to their bounds).
    // Cutting keeps the nonzero winding of every row inside the box: parts
    // above or below it are dropped, parts beside it become vertical edges
    // on its side, and curves that cross it are flattened first.
    void SetClip(const Rect& clip);
    void AddGlyph(const Shape& glyph, int32_t emSquare, int32_t height, int32_t x, int32_t y, Rgba color);
    void AddRect(const Rect& r, Rgba color);
    size_t EdgeCount() const { return layer_.edges.size(); }
    // The shape, with `bounds` as its bounds; the builder is empty after.
    Shape Take(const Rect& bounds);

private:
    uint16_t FillFor(Rgba color);
    void AddClipped(const ShapeEdge& e);
    void AddClippedLine(Point a, Point b, const ShapeEdge& style);

    ShapeLayer layer_;
    Rect clip_;
    bool clipping_ = false;
};

// The glyphs of a static text in text space (the text's matrix is not
// applied). Glyph indices past their font's table and unknown fonts draw
// nothing; fonts without outlines draw their codes in a system face.
Shape BuildStaticText(const StaticTextData& text, const Movie& movie, FontLibrary& fonts);

}  // namespace swf
