// A display object's matrix as scripts read and write it: _x, _y, _xscale,
// _yscale, _rotation, _width, _height and getBounds.
//
// Scale and rotation are read from the matrix once and then kept as
// numbers: each write changes one of them and rebuilds the matrix from all
// of them. So setting _rotation again and again neither drifts nor loses
// scale to the matrix's fixed-point rounding, a flipped clip stays flipped,
// and a skew the timeline gave the clip is kept. A matrix from the timeline
// replaces the numbers (they are read again on next use).
#pragma once

#include "swf/model/Geometry.h"
#include "swf/classes/Geom.h"

namespace swf {

class ClipTransform {
public:
    const Matrix& GetMatrix() const { return matrix_; }
    void SetMatrix(const Matrix& m);

    double X() const;
    double Y() const;
    double XScale() const;    // percent
    double YScale() const;    // percent; negative for a flipped matrix
    double Rotation() const;  // degrees, -180..180

    // Non-finite values are ignored, as the player ignores them.
    void SetX(double px);
    void SetY(double px);
    void SetXScale(double percent);
    void SetYScale(double percent);
    void SetRotation(double degrees);
    // Scale so the bounds of `local` (twips) in the parent are this wide or
    // high; nothing happens when they are empty now.
    void SetWidth(double px, const Rect& local);
    void SetHeight(double px, const Rect& local);

private:
    struct Parts {
        double xScale = 1, yScale = 1;  // factors
        double rotation = 0;            // degrees
        double skew = 0;                // radians between the y axis and its unskewed place
    };
    const Parts& Read() const;
    void Rebuild();

    Matrix matrix_;
    mutable Parts parts_;
    mutable bool partsValid_ = false;
};

// Bounds of a clip's `local` box (twips) in another space, in pixels, as
// getBounds gives them; `toSpace` maps the clip's space into it. An empty
// clip gives the player's "nowhere" value on every side.
GeomRect BoundsIn(const Matrix& toSpace, const Rect& local, bool empty);
constexpr double kNowherePixels = 6710886.35;  // 0x7FFFFFF twips

}  // namespace swf
