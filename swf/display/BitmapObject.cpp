#include "swf/display/BitmapObject.h"

#include "swf/classes/ScriptBitmaps.h"

namespace swf {

Shape BitmapRectShape(uint16_t id, int32_t width, int32_t height, bool smooth) {
    Shape rect;
    const int32_t w = width * kTwipsPerPixel, h = height * kTwipsPerPixel;
    rect.bounds = rect.edgeBounds = {0, w, 0, h};
    ShapeLayer& layer = rect.layers.emplace_back();
    FillStyle fill;
    fill.kind = FillKind::Bitmap;
    fill.bitmapId = id;
    fill.bitmapRepeat = false;
    fill.bitmapSmooth = smooth;
    fill.matrix = Matrix::Scale(kTwipsPerPixel * kFixedOne, kTwipsPerPixel * kFixedOne);
    layer.fills.push_back(fill);
    const Point corners[] = {{0, 0}, {w, 0}, {w, h}, {0, h}};
    for (int i = 0; i < 4; ++i) {
        ShapeEdge e;
        e.from = corners[i];
        e.to = corners[(i + 1) % 4];
        e.fill1 = 1;
        layer.edges.push_back(e);
    }
    return rect;
}

BitmapObject::BitmapObject(uint32_t serial, uint16_t id, const BitmapCharacter& def)
    : DisplayObject(DisplayKind::Bitmap, serial, id, &def),
      rect_(BitmapRectShape(id, def.bitmap.width, def.bitmap.height, false)) {}

void BitmapObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    rc.backend.DrawShape(rect_, m, cx);
}

bool BitmapObject::HitTest(const Matrix& m, Point point) const { return ShapeHitTest(rect_, m, point); }

ScriptBitmapObject::ScriptBitmapObject(uint32_t serial, std::shared_ptr<ScriptBitmap> bitmap, bool smooth)
    : DisplayObject(DisplayKind::Bitmap, serial, 0, nullptr), bitmap_(std::move(bitmap)) {
    const BitmapData& data = bitmap_->Data();
    rect_ = BitmapRectShape(bitmap_->Id(), data.Width(), data.Height(), smooth);
}

const Shape* ScriptBitmapObject::Current() const {
    return bitmap_->Data().Disposed() || rect_.layers[0].fills[0].bitmapId == 0 ? nullptr : &rect_;
}

void ScriptBitmapObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    if (const Shape* s = Current()) rc.backend.DrawShape(*s, m, cx);
}

bool ScriptBitmapObject::HitTest(const Matrix& m, Point point) const {
    const Shape* s = Current();
    return s && ShapeHitTest(*s, m, point);
}

void ScriptBitmapObject::AddBounds(const Matrix& m, Rect& box, bool& any) const {
    if (const Shape* s = Current()) AddRect(m, s->bounds, box, any);
}

}  // namespace swf
