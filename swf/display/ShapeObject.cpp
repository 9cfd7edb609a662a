#include "swf/display/ShapeObject.h"

namespace swf {

void ShapeObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    rc.backend.DrawShape(def_.shape, m, cx);
}

bool ShapeObject::HitTest(const Matrix& m, Point point) const { return ShapeHitTest(def_.shape, m, point); }

}  // namespace swf
