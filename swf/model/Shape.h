// The shape model: what the tag readers produce and the renderer consumes.
//
// A shape keeps the file's two-fill "edge soup": every edge says which fill
// lies on its left (fill0), which on its right (fill1) and which line style
// strokes it. Each StyleChange record that brings new style arrays starts a
// new layer; layers are drawn in order, fills of a layer before its lines.
// Style indices are 1-based into the layer's own arrays; 0 means none.
// Coordinates are twips in the shape's own space.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/model/Color.h"
#include "swf/model/Geometry.h"

namespace swf {

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : uint8_t { Normal = 0, Linear = 1 };  // Linear = linear RGB

struct GradientStop {
    uint8_t ratio = 0;  // 0..255 along the gradient
    Rgba color;
};

struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    int16_t focalPoint = 0;  // 8.8 fixed, -1.0..1.0, focal radial only
    std::vector<GradientStop> stops;  // 1..15 stops, ratios non-decreasing
};

enum class FillKind : uint8_t {
    Solid,
    LinearGradient,
    RadialGradient,
    FocalRadialGradient,
    Bitmap,  // read and kept; drawn by a later renderer
};

struct FillStyle {
    FillKind kind = FillKind::Solid;
    Rgba color;  // Solid
    // Gradients: maps the gradient square (-16384..16384 twips on both axes)
    // into shape space. Bitmaps: maps bitmap pixels (in twips) into shape space.
    Matrix matrix;
    Gradient gradient;
    uint16_t bitmapId = 0;
    bool bitmapRepeat = true;
    bool bitmapSmooth = true;
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    uint16_t width = 0;  // twips; drawn at least one pixel wide (hairline)
    Rgba color;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    uint16_t miterLimit = 3 << 8;  // 8.8 fixed
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    bool hasFill = false;  // DefineShape4: the stroke is painted with `fill`
    FillStyle fill;
};

struct ShapeEdge {
    Point from;
    Point control;  // meaningful only when curved
    Point to;
    bool curved = false;
    uint16_t fill0 = 0;
    uint16_t fill1 = 0;
    uint16_t line = 0;
};

struct ShapeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    // In file order; consecutive edges that join end to start form the
    // polylines that strokes follow (joins between them, caps at the ends).
    std::vector<ShapeEdge> edges;
};

struct Shape {
    Rect bounds;      // ShapeBounds, twips
    Rect edgeBounds;  // DefineShape4 EdgeBounds; equal to bounds otherwise
    // Fills use the even-odd rule (DefineShape4 without its winding flag);
    // otherwise nonzero winding. Strokes are always nonzero.
    bool evenOdd = false;
    std::vector<ShapeLayer> layers;
};

}  // namespace swf
