// What the player needs from a renderer. The timeline walks its display list
// and issues these calls; it never touches pixels. A null backend (counting
// calls) runs the timeline in tests without drawing anything.
#pragma once

#include "swf/Color.h"
#include "swf/Effects.h"
#include "swf/Geometry.h"
#include "swf/Shape.h"

namespace swf {

class RenderBackend {
public:
    virtual ~RenderBackend() = default;

    // Starts a frame: the whole target becomes `background` (opaque).
    virtual void BeginFrame(Rgba background) = 0;
    // `toTarget` maps the shape's twips into target pixels in 1/20 units,
    // i.e. into "target twips": x_pixel = x_target_twips / 20. The viewport
    // (scale mode, alignment) is already folded into it by the caller.
    virtual void DrawShape(const Shape& shape, const Matrix& toTarget,
                           const ColorTransform& cxform) = 0;
    virtual void EndFrame() = 0;
};

// Does `shape`, placed by `toTarget`, cover the point (target twips)?
// Uses the fills and the strokes, nonzero winding; the button hit test.
bool ShapeHitTest(const Shape& shape, const Matrix& toTarget, Point targetPoint);

}  // namespace swf
