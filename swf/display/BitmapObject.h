// A bitmap placed on a timeline by its own id: the image as a rectangle of
// its size (one texel per pixel at scale 1), its top-left corner at the
// origin, not smoothed. ScriptBitmapObject is the same for a script's
// BitmapData (attachBitmap), which may change or be disposed while shown.
#pragma once

#include <memory>

#include "swf/display/DisplayObject.h"

namespace swf {

class ScriptBitmap;

// A width x height pixel rectangle filled with bitmap `id`, one texel a pixel.
Shape BitmapRectShape(uint16_t id, int32_t width, int32_t height, bool smooth);

class BitmapObject : public DisplayObject {
public:
    BitmapObject(uint32_t serial, uint16_t id, const BitmapCharacter& def);

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    bool HitTest(const Matrix& m, Point point) const override;

private:
    Shape rect_;  // filled with the bitmap
};

class ScriptBitmapObject : public DisplayObject {
public:
    ScriptBitmapObject(uint32_t serial, std::shared_ptr<ScriptBitmap> bitmap, bool smooth);

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    bool HitTest(const Matrix& m, Point point) const override;
    void AddBounds(const Matrix& m, Rect& box, bool& any) const override;

private:
    // Null once the bitmap is disposed (or no id was left for it).
    const Shape* Current() const;

    std::shared_ptr<ScriptBitmap> bitmap_;
    Shape rect_;
};

}  // namespace swf
