// Strokes a polyline (in subpixels) into polygons for the nonzero rule.
//
// Instead of tracing one outline, every piece is emitted as its own small
// convex polygon, all with the same orientation: a quad per segment, a
// circle (round), triangle (bevel) or kite (miter) on the outer side of each
// join, and the caps at open ends. Their union under the nonzero rule is
// the stroke, with no self-intersection handling. Gentle round joins, whose
// arc differs from the bevel by at most the flattening tolerance, become
// bevels, so finely flattened curves cost no circles.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/Shape.h"
#include "swf/render/RasterMath.h"

namespace swf {

// The pen's linear map (16.16 terms, x' = a x + c y, y' = b x + d y, with
// determinant +-1): the unit pen circle becomes an ellipse when a shape is
// scaled unevenly or skewed, so its sides keep the widths they were drawn
// with, each scaled along its own direction.
struct PenShape {
    int32_t a = kFixedOne, b = 0, c = 0, d = kFixedOne;
    bool IsRound() const { return a == kFixedOne && b == 0 && c == 0 && d == kFixedOne; }
};

struct StrokeStyle {
    Subpixel halfWidth = kOnePixel / 2;
    PenShape pen;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    uint16_t miterLimit = 3 << 8;  // 8.8, tip distance over half width
};

// Largest half width kept (65536 pixels); it bounds the products of the
// join geometry.
constexpr Subpixel kMaxHalfWidth = Subpixel(1) << 24;

// Half width in subpixels of `style` drawn through `toTarget`: scaled by the
// matrix's average scale unless a no-scale flag is set, and never below
// half a pixel (hairlines are one pixel wide).
Subpixel StrokeHalfWidth(const LineStyle& style, const Matrix& toTarget);

// The pen of `style` drawn through `toTarget`: round unless the matrix
// scales unevenly or skews a stroke that scales with it and is wider than
// the thinnest line.
PenShape StrokePen(const LineStyle& style, const Matrix& toTarget);

// How far a pen of half width `hw` reaches along either axis.
Subpixel PenReach(const PenShape& pen, Subpixel hw);

// Strokes `points`. `closed`: the last point meets the first and gets a
// join there instead of caps. Pieces wholly outside `keep` are skipped.
void StrokePolyline(const std::vector<Point64>& points, bool closed, const StrokeStyle& style,
                    const Box& keep, LineSink& sink);

// Adds a closed convex polygon with the orientation shared by all stroke
// pieces.
void EmitConvex(const Point64* points, int count, LineSink& sink);

}  // namespace swf
