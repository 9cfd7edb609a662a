// Where the display objects of ActionScript 3 are, as scripts ask: bounds
// in another object's space, the hit tests, and the matrices and colour
// transforms of Transform, over the engine's geometry.
#include "swf/display/ClipGeometry.h"
#include "swf/play/Scripts3Host.h"

namespace swf {

bool Scripts3::Host::Bounds(uint32_t serial, uint32_t space, double out[4]) {
    DisplayObject* o = Find(serial);
    if (!o) return false;
    // The stage's space is the root's parent's: no matrix of its own.
    DisplayObject* in = space && space != StageSerial() ? Find(space) : nullptr;
    GeomRect r;
    if (space && space == StageSerial()) {
        Rect box;
        if (StageBounds(*o, &box))
            r = {box.xMin / double(kTwipsPerPixel), box.yMin / double(kTwipsPerPixel),
                 (int64_t(box.xMax) - box.xMin) / double(kTwipsPerPixel),
                 (int64_t(box.yMax) - box.yMin) / double(kTwipsPerPixel)};
    } else {
        r = GetBounds(*o, in ? in : o);
    }
    out[0] = r.x;
    out[1] = r.y;
    out[2] = r.width;
    out[3] = r.height;
    return true;
}

bool Scripts3::Host::HitPoint(uint32_t serial, double x, double y, bool shape) {
    DisplayObject* o = Find(serial);
    return o && HitTestPoint(*o, GeomPoint{x, y}, shape);
}

bool Scripts3::Host::HitObject(uint32_t a, uint32_t b) {
    DisplayObject* oa = Find(a);
    DisplayObject* ob = Find(b);
    return oa && ob && HitTestObject(*oa, *ob);
}

bool Scripts3::Host::GetMatrix(uint32_t serial, bool concatenated, GeomMatrix& out) {
    DisplayObject* o = Find(serial);
    if (!o) return false;
    out = GeomMatrix::FromEngine(concatenated ? ToStage(*o) : o->matrix);
    return true;
}

void Scripts3::Host::SetMatrix(uint32_t serial, const GeomMatrix& matrix) {
    if (DisplayObject* o = Find(serial)) {
        o->matrix = matrix.ToEngine();
        o->scripted = true;
    }
}

bool Scripts3::Host::GetColor(uint32_t serial, bool concatenated, GeomColorTransform& out) {
    DisplayObject* o = Find(serial);
    if (!o) return false;
    out = GeomColorTransform::FromEngine(o->cxform);
    if (!concatenated) return true;
    for (const DisplayObject* p = o->parent; p; p = p->parent) {
        const GeomColorTransform outer = GeomColorTransform::FromEngine(p->cxform);
        out.redOffset = out.redOffset * outer.redMultiplier + outer.redOffset;
        out.greenOffset = out.greenOffset * outer.greenMultiplier + outer.greenOffset;
        out.blueOffset = out.blueOffset * outer.blueMultiplier + outer.blueOffset;
        out.alphaOffset = out.alphaOffset * outer.alphaMultiplier + outer.alphaOffset;
        out.redMultiplier *= outer.redMultiplier;
        out.greenMultiplier *= outer.greenMultiplier;
        out.blueMultiplier *= outer.blueMultiplier;
        out.alphaMultiplier *= outer.alphaMultiplier;
    }
    return true;
}

void Scripts3::Host::SetColor(uint32_t serial, const GeomColorTransform& color) {
    if (DisplayObject* o = Find(serial)) {
        o->cxform = color.ToEngine();
        o->scripted = true;
    }
}

}  // namespace swf
