// Shape edges as SVG path data, curves kept as quadratic Béziers.
//
// Fills: the edges that have the fill on their right (fill1) run forward,
// those with it on their left (fill0) run backward; linked end to start
// they form the closed contours of the fill's region under the nonzero
// rule. Strokes: runs of consecutive edges with the same line style, as
// the raster backend strokes them. Coordinates are target pixels.
#pragma once

#include <functional>
#include <string>

#include "swf/model/Geometry.h"
#include "swf/model/Shape.h"

namespace swf {

// Path data of fill `fill` (1-based) of `layer`; empty when it has no edge.
std::string FillPathData(const ShapeLayer& layer, uint16_t fill, const Matrix& toTarget);
// Calls `visit` with each run of one line style, in edge order.
void ForEachStrokePath(const ShapeLayer& layer, const Matrix& toTarget,
                       const std::function<void(uint16_t line, const std::string& data)>& visit);
// Target twips as pixels with up to two decimals ("12.35", "-3", "0.05").
void AppendPixels(std::string& out, int64_t twips);

}  // namespace swf
