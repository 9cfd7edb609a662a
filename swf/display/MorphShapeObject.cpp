#include "swf/display/MorphShapeObject.h"

namespace swf {

const Shape& MorphShapeObject::ShapeAtRatio() const {
    if (shapeRatio_ != ratio) {
        MorphShapeAt(def_.morph, ratio, shape_);
        shapeRatio_ = ratio;
    }
    return shape_;
}

void MorphShapeObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    rc.backend.DrawShape(ShapeAtRatio(), m, cx);
}

bool MorphShapeObject::HitTest(const Matrix& m, Point point) const {
    return ShapeHitTest(ShapeAtRatio(), m, point);
}

}  // namespace swf
