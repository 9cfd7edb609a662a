// A morph shape placed on a timeline: drawn as the shape at its placement's
// ratio. The shape of the last ratio drawn is kept, so a tween builds one
// shape per frame and a still morph none.
#pragma once

#include "swf/display/DisplayObject.h"

namespace swf {

class MorphShapeObject : public DisplayObject {
public:
    MorphShapeObject(uint32_t serial, uint16_t id, const MorphShapeCharacter& def)
        : DisplayObject(DisplayKind::MorphShape, serial, id, &def), def_(def) {}

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    bool HitTest(const Matrix& m, Point point) const override;
    // Its bounds stay the start shape's whatever the ratio, as the
    // reference measures a morph.
    void AddBounds(const Matrix& m, Rect& box, bool& any) const override {
        AddRect(m, def_.morph.startBounds, box, any);
    }

private:
    const Shape& ShapeAtRatio() const;

    const MorphShapeCharacter& def_;
    mutable Shape shape_;
    mutable int32_t shapeRatio_ = -1;  // the ratio shape_ holds; -1: none yet
};

}  // namespace swf
