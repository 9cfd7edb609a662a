// A bitmap placed on a timeline by its own id: the image as a rectangle of
// its size (one texel per pixel at scale 1), its top-left corner at the
// origin, not smoothed.
#pragma once

#include "swf/display/DisplayObject.h"

namespace swf {

class BitmapObject : public DisplayObject {
public:
    BitmapObject(uint32_t serial, uint16_t id, const BitmapCharacter& def);

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    bool HitTest(const Matrix& m, Point point) const override;

private:
    Shape rect_;  // filled with the bitmap
};

}  // namespace swf
