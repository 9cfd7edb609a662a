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

namespace {

constexpr int kMaxUnderDepth = 64;

// What `list` (placed by `m`) holds under `p` that draws there, bottom
// first: shapes, and containers whose own drawing is hit before what they hold.
void AddObjectsUnder(const PlayContext& ctx, const DisplayList& list, const Matrix& m, Point p,
                     std::vector<uint32_t>& out, int depth) {
    if (depth > kMaxUnderDepth) return;
    for (const auto& [at, child] : list) {
        const DisplayObject& obj = *child;
        if (!obj.visible || obj.clipDepth != 0 || ScriptMaskInUse(ctx, obj)) continue;
        if (!InsideMasks(ctx, list, at, m, p)) continue;
        const Matrix placed = m.Concat(obj.matrix);
        if (const MovieClip* clip = obj.AsClip()) {
            if (clip->DrawingHit(placed, p)) out.push_back(obj.serial);
            AddObjectsUnder(ctx, clip->List(), placed, p, out, depth + 1);
        } else if (obj.HitTest(placed, p)) {
            out.push_back(obj.serial);
        }
    }
}

}  // namespace

std::vector<uint32_t> Scripts3::Host::ObjectsUnder(uint32_t container, double x, double y) {
    const Point p{PixelsToTwips(x), PixelsToTwips(y)};
    std::vector<uint32_t> out;
    if (container == StageSerial()) {
        MovieClip& root = RootClip();
        if (root.visible) {
            if (root.DrawingHit(root.matrix, p)) out.push_back(root.serial);
            AddObjectsUnder(ctx_, root.List(), root.matrix, p, out, 1);
        }
        AddObjectsUnder(ctx_, StageClip().List(), Matrix(), p, out, 0);
        return out;
    }
    const MovieClip* clip = FindClip(container);
    if (clip) AddObjectsUnder(ctx_, clip->List(), ToStage(*clip), p, out, 0);
    return out;
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
