// Pixel hinting of strokes, so that thin lines come out crisp instead of
// smeared over two half-covered pixel rows.
//
// A stroke at most one pixel wide on the target (a hairline, or a thin line
// scaled down) is always hinted: to the pixel it covers when sampled at
// centres (a line on a pixel's left edge fills the pixel before), or with
// pixel hinting to the pixel the point is in; a wider one only when its style asks for
// pixel hinting, and then its width is rounded to whole pixels too. Hinting
// moves each edge's end points: to pixel centres when the width in pixels is
// odd (the line then covers whole pixels about them), to pixel corners when
// it is even. The points of a curve between its ends move by the blend of
// its ends' moves, so the curve keeps its shape.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/Shape.h"
#include "swf/render/RasterMath.h"

namespace swf {

enum class StrokeHint : uint8_t { None, Centres, CentresBefore, Corners };

// Whether and how `style`, of half width `halfWidth` (subpixels, as
// StrokeHalfWidth gives it), is hinted; rounds `halfWidth` when it is.
StrokeHint HintStroke(const LineStyle& style, Subpixel& halfWidth);

// Moves one flattened edge (its points, ends included) as `hint` says.
void HintEdge(Point64* points, size_t count, StrokeHint hint);

}  // namespace swf
