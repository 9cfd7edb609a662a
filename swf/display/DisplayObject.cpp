#include "swf/display/DisplayObject.h"

#include <vector>

#include "swf/display/ClipGeometry.h"
#include "swf/display/EffectRender.h"

namespace swf {

void DisplayObject::Render(RenderContext&, const Matrix&, const ColorTransform&) const {}

bool DisplayObject::HitTest(const Matrix&, Point) const { return false; }

void DisplayObject::Tick(PlayContext&, ActionQueue*) {}

const DisplayObject* ScriptMaskOf(const PlayContext& ctx, const DisplayObject& obj) {
    if (!obj.scriptMask) return nullptr;
    const DisplayObject* mask = ctx.FindObject(obj.scriptMask);
    return mask && mask->maskOf == obj.serial ? mask : nullptr;
}

bool ScriptMaskInUse(const PlayContext& ctx, const DisplayObject& obj) {
    if (!obj.maskOf) return false;
    const DisplayObject* masked = ctx.FindObject(obj.maskOf);
    return masked && masked->scriptMask == obj.serial;
}

bool InsideLayerMasks(const DisplayList& list, int32_t depth, const Matrix& m, Point point) {
    for (auto it = list.begin(); it != list.end() && it->first < depth; ++it) {
        const DisplayObject& mask = *it->second;
        if (mask.clipDepth >= depth && !mask.HitTest(m.Concat(mask.matrix), point)) return false;
    }
    return true;
}

bool InsideMasks(const PlayContext& ctx, const DisplayList& list, int32_t depth, const Matrix& m, Point point) {
    if (!InsideLayerMasks(list, depth, m, point)) return false;
    const auto at = list.find(depth);
    const DisplayObject* mask = at != list.end() ? ScriptMaskOf(ctx, *at->second) : nullptr;
    return !mask || mask->HitTest(ToStage(*mask), point);
}

namespace {

// A scrolled object draws its content moved by the rectangle's corner, in a
// mask's shapes as much as on screen.
Matrix Scrolled(const DisplayObject& obj, const Matrix& m) {
    if (!obj.scrollRect) return m;
    return m.Concat(Matrix::Translate(-obj.scrollRect->xMin, -obj.scrollRect->yMin));
}

void RenderChild(RenderContext& rc, const DisplayObject& obj, const Matrix& parent, const ColorTransform& parentCx) {
    const Matrix m = parent.Concat(obj.matrix);
    const ColorTransform cx = parentCx.Concat(obj.cxform);
    if (rc.definingMask) return obj.Render(rc, Scrolled(obj, m), cx);
    if (rc.objects && ScriptMaskInUse(*rc.objects, obj)) return;
    const DisplayObject* mask = rc.objects ? ScriptMaskOf(*rc.objects, obj) : nullptr;
    if (!mask) return RenderPlaced(rc, obj, m, cx);
    const Matrix maskMatrix = Scrolled(*mask, rc.view.Concat(ToStage(*mask)));
    rc.backend.PushMask();
    rc.definingMask = true;
    mask->Render(rc, maskMatrix, ColorTransform());
    rc.definingMask = false;
    rc.backend.ActivateMask();
    const uint64_t outerMasks = rc.masks;
    rc.masks = WithMask(outerMasks, *mask, maskMatrix);
    RenderPlaced(rc, obj, m, cx);
    rc.masks = outerMasks;
    rc.backend.PopMask();
}

}  // namespace

void DisplayObject::AddBounds(const Matrix&, Rect&, bool&) const {}

void AddRect(const Matrix& m, const Rect& r, Rect& box, bool& any) {
    const Rect t = TransformRect(m, r);
    if (!any) {
        box = t;
        any = true;
        return;
    }
    box.xMin = std::min(box.xMin, t.xMin);
    box.xMax = std::max(box.xMax, t.xMax);
    box.yMin = std::min(box.yMin, t.yMin);
    box.yMax = std::max(box.yMax, t.yMax);
}

void AddChildBounds(const DisplayList& list, const Matrix& m, Rect& box, bool& any) {
    for (const auto& entry : list) entry.second->AddBounds(m.Concat(entry.second->matrix), box, any);
}

namespace {

struct OpenMask {
    const DisplayObject* obj;
    int32_t clipDepth;
    uint64_t version;  // WithMask's, for the cache keys of what it cuts
};

// Draws `obj`'s coverage as a new mask, cut by the masks already open.
// Masks inside it (a sprite used as a mask) cut its own shapes.
void DefineMask(RenderContext& rc, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx) {
    rc.backend.PushMask();
    const bool outer = rc.definingMask;
    rc.definingMask = true;
    obj.Render(rc, m.Concat(obj.matrix), cx);
    rc.definingMask = outer;
    rc.backend.ActivateMask();
}

// Closes the masks whose range ends below `depth`. Ranges may cross: a
// mask under one that is still open is closed by popping down to it and
// drawing again the ones above it that stay open.
void CloseMasks(RenderContext& rc, std::vector<OpenMask>& masks, int32_t depth, const Matrix& m,
                const ColorTransform& cx) {
    size_t first = 0;
    while (first < masks.size() && masks[first].clipDepth >= depth) ++first;
    if (first == masks.size()) return;
    for (size_t i = first; i < masks.size(); ++i) rc.backend.PopMask();
    std::vector<OpenMask> reopen;
    for (size_t i = first + 1; i < masks.size(); ++i)
        if (masks[i].clipDepth >= depth) reopen.push_back(masks[i]);
    masks.resize(first);
    for (const OpenMask& mask : reopen) {
        if (rc.objectsLeft == 0) return;
        --rc.objectsLeft;
        DefineMask(rc, *mask.obj, m, cx);
        masks.push_back(mask);
    }
}

}  // namespace

void RenderChildren(RenderContext& rc, const DisplayList& list, const Matrix& m, const ColorTransform& cx) {
    std::vector<OpenMask> masks;  // in the order they were opened
    const uint64_t outerMasks = rc.masks;
    for (const auto& entry : list) {
        if (rc.objectsLeft == 0) break;
        --rc.objectsLeft;
        const DisplayObject& obj = *entry.second;
        CloseMasks(rc, masks, entry.first, m, cx);
        if (obj.clipDepth == 0) {
            if (!obj.visible) continue;
            rc.masks = outerMasks;
            for (const OpenMask& mask : masks) rc.masks = MixVersion(rc.masks, mask.version);
            RenderChild(rc, obj, m, cx);
            continue;
        }
        DefineMask(rc, obj, m, cx);
        masks.push_back({&obj, obj.clipDepth, WithMask(0, obj, m.Concat(obj.matrix))});
    }
    rc.masks = outerMasks;
    for (size_t i = 0; i < masks.size(); ++i) rc.backend.PopMask();
}

void AdvanceObject(PlayContext& ctx, DisplayObject& obj, int ticks, ActionQueue* queue) {
    for (int i = 0; i < ticks; ++i) {
        if (!obj.Animates() || (queue && ctx.clipsTickApart && obj.AsClip())) return;
        if (!ctx.ChargeWork(queue != nullptr, 1)) return;
        obj.Tick(ctx, queue);
    }
}

}  // namespace swf
