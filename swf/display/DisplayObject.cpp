#include "swf/display/DisplayObject.h"

#include <vector>

#include "swf/display/EffectRender.h"

namespace swf {

void DisplayObject::Render(RenderContext&, const Matrix&, const ColorTransform&) const {}

bool DisplayObject::HitTest(const Matrix&, Point) const { return false; }

void DisplayObject::Tick(PlayContext&, ActionQueue*) {}

namespace {

void RenderChild(RenderContext& rc, const DisplayObject& obj, const Matrix& parent, const ColorTransform& parentCx) {
    const Matrix m = parent.Concat(obj.matrix);
    const ColorTransform cx = parentCx.Concat(obj.cxform);
    if (rc.definingMask) return obj.Render(rc, m, cx);
    RenderPlaced(rc, obj, m, cx);
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

void RenderChildren(RenderContext& rc, const DisplayList& list, const Matrix& m, const ColorTransform& cx) {
    std::vector<int32_t> masks;  // clip depths of the open masks, innermost last
    for (const auto& entry : list) {
        if (rc.objectsLeft == 0) break;
        --rc.objectsLeft;
        const DisplayObject& obj = *entry.second;
        while (!masks.empty() && entry.first > masks.back()) {
            rc.backend.PopMask();
            masks.pop_back();
        }
        if (obj.clipDepth == 0) {
            if (obj.visible) RenderChild(rc, obj, m, cx);
            continue;
        }
        if (rc.definingMask) continue;
        rc.backend.PushMask();
        rc.definingMask = true;
        obj.Render(rc, m.Concat(obj.matrix), cx);
        rc.definingMask = false;
        rc.backend.ActivateMask();
        masks.push_back(obj.clipDepth);
    }
    for (size_t i = 0; i < masks.size(); ++i) rc.backend.PopMask();
}

void AdvanceObject(PlayContext& ctx, DisplayObject& obj, int ticks, ActionQueue* queue) {
    for (int i = 0; i < ticks; ++i) {
        if (!obj.Animates() || !ctx.ChargeWork(queue != nullptr, 1)) return;
        obj.Tick(ctx, queue);
    }
}

}  // namespace swf
