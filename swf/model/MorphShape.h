// Morph shapes: a start and an end shape with the same styles and edges in
// pairs, drawn at a placement's ratio (0 = start, 65535 = end).
//
// Every term is interpolated linearly in integers, rounded to nearest: edge
// points, bounds, colours, gradient stop ratios and colours, fill matrices,
// line widths. A straight edge paired with a curve is read as a curve whose
// control point is its midpoint, so both sides of every pair have the same
// kind. The shape at a ratio is an ordinary Shape for the shape renderer.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/Shape.h"

namespace swf {

constexpr uint16_t kMorphRatioEnd = 65535;

struct MorphShape {
    Rect startBounds, endBounds;
    Rect startEdgeBounds, endEdgeBounds;
    // Start and end styles, index for index (same kinds, same stop counts).
    std::vector<FillStyle> startFills, endFills;
    std::vector<LineStyle> startLines, endLines;
    // Pairs, index for index; styles are the start edge's. Unstyled edges
    // only move the pen and are not drawn. A pair may mix a straight edge
    // and a curve.
    std::vector<ShapeEdge> startEdges, endEdges;
};

// The shape at `ratio`, into `out` (its buffers are reused).
void MorphShapeAt(const MorphShape& morph, uint16_t ratio, Shape& out);

}  // namespace swf
