// Keys for the focus, run as one host call like the other input.
#include <algorithm>
#include <climits>
#include <cmath>

#include "swf/render/RenderBackend.h"
#include "swf/bind/Bindings.h"
#include "swf/display/ClipGeometry.h"
#include "swf/play/Timeline.h"
#include "swf/classes/FocusOrder.h"

namespace swf {

std::vector<HostCall> Timeline::FocusKey(int keyCode, int charCode, bool shift, bool ctrl) {
    ctx_.BeginHostCall();
    ActionQueue queue;
    std::vector<HostCall> calls;
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    // What Tab moves the focus from rolls out, and a button it reaches
    // rolls over, before either hears of the focus.
    bind::FocusKey(vm_, keyCode, charCode, shift, ctrl, [&](DisplayObject& next) {
        if (next.serial == ctx_.focus) return;
        scriptHost_.Begin(nullptr, nullptr);
        FocusMoved(next.serial, queue);
        std::vector<HostCall> rolled = RunActions(queue);
        calls.insert(calls.end(), rolled.begin(), rolled.end());
        queue.clear();
        scriptHost_.Begin(&queue, &calls);
        vm_.BeginHostCall();
    });
    scriptHost_.Begin(nullptr, nullptr);
    // Actions the handlers queued; the run also updates bound variables.
    std::vector<HostCall> more = RunActions(queue);
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

// The rectangle frames a button's hit area (none without one), or what
// a clip draws; the object's own _focusrect wins over the movie's.
void Timeline::RenderFocusRect(RenderBackend& backend, const Matrix& view) const {
    if (!ctx_.focusRectShown) return;
    const DisplayObject* o = ctx_.FindObject(ctx_.focus);
    if (!o || o->Kind() == DisplayKind::EditText || o == root_.get()) return;
    if (!o->focusRect.value_or(scriptHost_.FocusRect())) return;
    const Matrix m = view.Concat(ToStage(*o));
    Rect r;
    bool any = false;
    if (const ButtonObject* b = o->AsButton())
        b->AddHitBounds(m, r, any);
    else
        o->AddBounds(m, r, any);
    if (any && r.xMin < r.xMax && r.yMin < r.yMax) backend.DrawShape(FocusRectShape(r), Matrix(), ColorTransform());
}

}  // namespace swf
