// Builds a glyph outline for DeviceGlyph from pen moves in the font's own
// units, y up as font files have it: the builder flips y, and marks the ink
// on the side the font's contour direction puts it. Cubic segments become
// two quadratics through the cubic's midpoint, close enough at text sizes.
// Used by the hosts' font providers.
#pragma once

#include "swf/model/Shape.h"

namespace swf {

class OutlineBuilder {
public:
    // `inkOnRight`: with y up, the ink lies right of each contour's
    // direction (TrueType's clockwise outer contours).
    explicit OutlineBuilder(bool inkOnRight);

    void MoveTo(Point p);
    void LineTo(Point p);
    void QuadTo(Point control, Point p);
    void CubicTo(Point c1, Point c2, Point p);
    // Back to the contour's start when the pen is elsewhere.
    void Close();
    // One layer with fill 1, or no layer when nothing was drawn.
    Shape Take();

private:
    void Add(Point control, Point to, bool curved);

    ShapeLayer layer_;
    bool inkOnLeftAfterFlip_;
    Point pen_;
    Point start_;
};

}  // namespace swf
