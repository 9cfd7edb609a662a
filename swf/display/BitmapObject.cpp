#include "swf/display/BitmapObject.h"

namespace swf {

BitmapObject::BitmapObject(uint32_t serial, uint16_t id, const BitmapCharacter& def)
    : DisplayObject(DisplayKind::Bitmap, serial, id, &def) {
    const int32_t w = def.bitmap.width * kTwipsPerPixel, h = def.bitmap.height * kTwipsPerPixel;
    rect_.bounds = rect_.edgeBounds = {0, w, 0, h};
    ShapeLayer& layer = rect_.layers.emplace_back();
    FillStyle fill;
    fill.kind = FillKind::Bitmap;
    fill.bitmapId = id;
    fill.bitmapRepeat = false;
    fill.bitmapSmooth = false;
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
}

void BitmapObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    rc.backend.DrawShape(rect_, m, cx);
}

bool BitmapObject::HitTest(const Matrix& m, Point point) const { return ShapeHitTest(rect_, m, point); }

}  // namespace swf
