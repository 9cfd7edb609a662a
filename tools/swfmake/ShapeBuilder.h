// Builds a swf::Shape from pen moves, the way a drawing program would.
//
// Styles are added to the current layer and return their 1-based index.
// The pen's fill0 (left of the edge direction), fill1 (right) and line apply
// to every edge drawn after they are chosen. With y pointing down, the helper
// figures (Rectangle, Ellipse, RoundedRect) run clockwise on screen, so their
// inside is on the right of each edge: choose their fill with SetFill1 and
// leave fill0 at 0 (or use FillRect and friends, which do this for you).
// Build() computes the bounds from the points plus half the widest line.
#pragma once

#include <cstdint>

#include "swf/model/Color.h"
#include "swf/model/Geometry.h"
#include "swf/model/Shape.h"

namespace swfmake {

// Gradient square (-16384..16384 twips) mapped onto `box`: horizontal for
// linear gradients, the inscribed circle/ellipse for radial ones.
swf::Matrix GradientBox(const swf::Rect& box);
// The same, with the gradient's axis running top to bottom.
swf::Matrix GradientBoxVertical(const swf::Rect& box);

swf::FillStyle SolidFill(swf::Rgba color);
// kind: LinearGradient, RadialGradient or FocalRadialGradient.
swf::FillStyle GradientFill(swf::FillKind kind, const swf::Matrix& matrix,
                            std::initializer_list<swf::GradientStop> stops);
swf::LineStyle SolidLine(uint16_t widthTwips, swf::Rgba color);

class ShapeBuilder {
public:
    ShapeBuilder();

    uint16_t AddFill(const swf::FillStyle& fill);
    uint16_t AddLine(const swf::LineStyle& line);
    uint16_t AddSolidFill(swf::Rgba color) { return AddFill(SolidFill(color)); }
    uint16_t AddSolidLine(uint16_t widthTwips, swf::Rgba color) {
        return AddLine(SolidLine(widthTwips, color));
    }
    // Later styles and edges go to a new layer, drawn above the earlier ones.
    void NewLayer();

    ShapeBuilder& SetFill0(uint16_t fill);
    ShapeBuilder& SetFill1(uint16_t fill);
    ShapeBuilder& SetLine(uint16_t line);

    // Coordinates in twips.
    ShapeBuilder& MoveTo(int32_t x, int32_t y);
    ShapeBuilder& LineTo(int32_t x, int32_t y);
    ShapeBuilder& CurveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);
    // Back to the last MoveTo point, if the pen is elsewhere.
    ShapeBuilder& Close();

    // Closed clockwise figures with the current styles.
    ShapeBuilder& Rectangle(const swf::Rect& r);
    ShapeBuilder& Ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry);
    ShapeBuilder& RoundedRect(const swf::Rect& r, int32_t radius);
    // A regular star or polygon: `points` tips at radius `outer`, first tip
    // straight up; inner 0 makes a polygon.
    ShapeBuilder& Star(int32_t cx, int32_t cy, int points, int32_t outer, int32_t inner);

    // The same figures with fill1 = fill, fill0 = 0 and the given line.
    ShapeBuilder& FillRect(const swf::Rect& r, uint16_t fill, uint16_t line = 0);
    ShapeBuilder& FillEllipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, uint16_t fill,
                              uint16_t line = 0);
    ShapeBuilder& FillRoundedRect(const swf::Rect& r, int32_t radius, uint16_t fill,
                                  uint16_t line = 0);

    swf::Shape Build() const;

private:
    void AddEdge(swf::Point to, swf::Point control, bool curved);
    // Quarter-ellipse-per-two-octants arc helper: octants counted clockwise
    // from +x, `count` of them starting at `first`.
    void Arc(int32_t cx, int32_t cy, int32_t rx, int32_t ry, int first, int count);
    swf::ShapeLayer& Layer() { return shape_.layers.back(); }

    swf::Shape shape_;
    swf::Point pen_;
    swf::Point subpathStart_;
    uint16_t fill0_ = 0, fill1_ = 0, line_ = 0;
};

}  // namespace swfmake
