#include "swf/display/DisplayObject.h"

namespace swf {

void DisplayObject::Render(RenderContext&, const Matrix&, const ColorTransform&) const {}

bool DisplayObject::HitTest(const Matrix&, Point) const { return false; }

void DisplayObject::Tick(PlayContext&, ActionQueue*) {}

void RenderChildren(RenderContext& rc, const DisplayList& list, const Matrix& m, const ColorTransform& cx) {
    for (const auto& entry : list) {
        const DisplayObject& obj = *entry.second;
        if (obj.clipDepth != 0 || !obj.visible) continue;  // masks: drawn as clips by a later step
        obj.Render(rc, m.Concat(obj.matrix), cx.Concat(obj.cxform));
    }
}

void AdvanceObject(PlayContext& ctx, DisplayObject& obj, int ticks, ActionQueue* queue) {
    for (int i = 0; i < ticks; ++i) {
        if (!queue && ctx.silentWorkLeft == 0) return;
        if (!obj.Animates()) return;
        obj.Tick(ctx, queue);
    }
}

}  // namespace swf
