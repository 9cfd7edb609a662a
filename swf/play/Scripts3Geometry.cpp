// Where the display objects of ActionScript 3 are, as scripts ask: bounds
// in another object's space and the hit tests, over the engine's geometry.
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

}  // namespace swf
