// A shape placed on a timeline (DefineShape 1-4).
#pragma once

#include "swf/display/DisplayObject.h"

namespace swf {

class ShapeObject : public DisplayObject {
public:
    ShapeObject(uint32_t serial, uint16_t id, const ShapeCharacter& def)
        : DisplayObject(DisplayKind::Shape, serial, id, &def), def_(def) {}

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    bool HitTest(const Matrix& m, Point point) const override;
    void AddBounds(const Matrix& m, Rect& box, bool& any) const override {
        AddRect(m, def_.shape.bounds, box, any);
    }

private:
    const ShapeCharacter& def_;
};

}  // namespace swf
