// From shape edges to polylines in subpixels.
//
// Quadratic curves are cut into uniform parameter steps; a quadratic with
// second difference D = p0 - 2 p1 + p2 strays at most |D| / (4 n^2) from its
// n chords, so n = ceil(sqrt(|D| / (4 * tolerance))) keeps it within
// kFlattenTolerance. Only the part that can be seen is worth the
// steps: a curve whose control hull lies wholly outside the `keep` box
// becomes its chord (exact for the sweep and the winding test there, since
// the point set between chord and curve is outside too), and a huge curve
// is halved until its pieces are small or outside, so hostile coordinates
// cost a bounded number of points.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/Shape.h"
#include "swf/render/RasterMath.h"

namespace swf {

constexpr int32_t kMaxCurveSteps = 2048;

// Appends the points after p0 of the flattened curve p0-p1-p2.
void FlattenQuad(Point64 p0, Point64 p1, Point64 p2, const Box& keep, std::vector<Point64>& out);

// A layer's edges flattened in subpixels: edge i runs through
// points[start[i]] .. points[start[i + 1] - 1].
struct FlatLayer {
    std::vector<Point64> points;
    std::vector<uint32_t> start;
    size_t EdgeCount() const { return start.empty() ? 0 : start.size() - 1; }
};

void FlattenLayer(const ShapeLayer& layer, const Matrix& toTarget, const Box& keep, FlatLayer& out);

// Sends fill `fill`'s directed lines: edges whose fill1 is `fill` forward,
// those whose fill0 is `fill` reversed. `order` lists the layer's
// (fill, edge) pairs sorted by fill (see SortFillEdges).
struct FillEdgeRef {
    uint16_t fill;
    bool reversed;
    uint32_t edge;
};
void SortFillEdges(const ShapeLayer& layer, std::vector<FillEdgeRef>& out);
// Emits the lines of the refs [begin, end), all of one fill.
void EmitFillLines(const FlatLayer& flat, const FillEdgeRef* begin, const FillEdgeRef* end, LineSink& sink);

}  // namespace swf
