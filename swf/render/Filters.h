// Bitmap filters on a rendered object.
//
// An object with filters is drawn alone into an offscreen picture in target
// pixels (EffectImage); each filter in turn replaces that picture with a
// larger one (its bounds grow by what the filter spreads), which is then
// composited like any layer. Sizes scale with the view (FilterScale), not
// with the object's own matrix, so a rotated object keeps its shadow's
// direction and size.
//
// The blur-based filters share one recipe:
//  1. The object's alpha (inverted for inner kinds) is box blurred.
//  2. It is sampled at the filter's offset (distance along angle; a bevel
//     takes the difference of the two opposite offsets) and scaled by the
//     strength, clamped to 255.
//  3. That amount picks the effect colour: the filter colour scaled by it,
//     or a gradient ramp entry.
//  4. The effect meets the object: outer effects go under it and outside
//     it, inner ones on it and inside it, full (bevel on top) over it.
//     Knockout keeps only the effect where the object is not (outer) or is
//     (inner); hideObject drops the object and keeps the whole effect.
#pragma once

#include "swf/model/Effects.h"
#include "swf/model/FrameBuffer.h"

namespace swf {

// Premultiplied pixels whose top-left pixel sits at (x, y) in the target.
struct EffectImage {
    FrameBuffer pixels;
    int x = 0;
    int y = 0;
};

// How far a filter grows a picture on each side, in pixels.
struct Margins {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Margins& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

Margins FilterMargins(const Filter& f, FilterScale scale);
// What a whole list grows a picture by, filters applied in order.
Margins FilterListMargins(const FilterList& filters, FilterScale scale);

void ApplyFilter(const Filter& f, FilterScale scale, EffectImage& image);
void ApplyFilters(const FilterList& filters, FilterScale scale, EffectImage& image);

// The colour filters, which keep the bounds (ColorFilters.cpp).
void ApplyColorMatrix(const Filter& f, FrameBuffer& pixels);
void ApplyConvolution(const Filter& f, FrameBuffer& pixels);

}  // namespace swf
