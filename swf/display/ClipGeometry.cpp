#include "swf/display/ClipGeometry.h"

#include "swf/classes/ClipTransform.h"
#include "swf/display/MovieClip.h"

namespace swf {

Matrix ToStage(const DisplayObject& obj) {
    Matrix m = obj.matrix;
    for (const DisplayObject* p = obj.parent; p; p = p->parent) m = p->matrix.Concat(m);
    return m;
}

bool StageBounds(const DisplayObject& obj, Rect* box) {
    bool any = false;
    *box = {};
    obj.AddBounds(ToStage(obj), *box, any);
    return any;
}

GeomPoint LocalToGlobal(const DisplayObject& obj, GeomPoint local) {
    return GeomMatrix::FromEngine(ToStage(obj)).TransformPoint(local);
}

GeomPoint GlobalToLocal(const DisplayObject& obj, GeomPoint global) {
    GeomMatrix m = GeomMatrix::FromEngine(ToStage(obj));
    return m.Invert() ? m.TransformPoint(global) : global;
}

// Into another space the box goes by way of the stage, boxed at each step,
// so a rotated path gives the looser box scripts see.
GeomRect GetBounds(const DisplayObject& obj, const DisplayObject* space) {
    Rect box;
    bool any = false;
    obj.AddBounds(Matrix(), box, any);
    if (!any || !space || space == &obj) return BoundsIn({}, box, !any);
    Matrix inverse;
    if (!ToStage(*space).Invert(&inverse)) return BoundsIn({}, {}, true);
    return BoundsIn(inverse, TransformRect(ToStage(obj), box), false);
}

bool HitTestPoint(const DisplayObject& obj, GeomPoint point, bool shapeFlag) {
    // The point is in the space around the movie's root (or level) the
    // object is in, moved, turned and scaled as the root is. Off the
    // stage it is in the space around the object's topmost container.
    const DisplayObject* top = &obj;
    while (top->parent) top = top->parent;
    const MovieClip* root = top->AsClip();
    const bool moved = root && root->Nesting() == 0;
    const GeomPoint stage = moved ? GeomMatrix::FromEngine(top->matrix).TransformPoint(point) : point;
    const Point at{PixelsToTwips(stage.x), PixelsToTwips(stage.y)};
    if (shapeFlag) return obj.HitTest(ToStage(obj), at);
    Rect box;
    if (!StageBounds(obj, &box)) return false;
    return at.x >= box.xMin && at.x <= box.xMax && at.y >= box.yMin && at.y <= box.yMax;
}

bool HitTestObject(const DisplayObject& a, const DisplayObject& b) {
    Rect ra, rb;
    if (!StageBounds(a, &ra) || !StageBounds(b, &rb)) return false;
    return ra.xMin <= rb.xMax && rb.xMin <= ra.xMax && ra.yMin <= rb.yMax && rb.yMin <= ra.yMax;
}

}  // namespace swf
