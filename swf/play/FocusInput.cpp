// Keys for the focus, run as one host call like the other input.
#include <algorithm>
#include <climits>
#include <cmath>

#include "swf/RenderBackend.h"
#include "swf/bind/Bindings.h"
#include "swf/display/ClipGeometry.h"
#include "swf/play/Timeline.h"
#include "swf/runtime/FocusOrder.h"

namespace swf {

std::vector<HostCall> Timeline::FocusKey(int keyCode, int charCode, bool shift, bool ctrl) {
    ctx_.BeginHostCall();
    ActionQueue queue;
    std::vector<HostCall> calls;
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    bind::FocusKey(vm_, keyCode, charCode, shift, ctrl);
    scriptHost_.Begin(nullptr, nullptr);
    // Actions the handlers queued; the run also updates bound variables.
    std::vector<HostCall> more = RunActions(queue);
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

void Timeline::RenderFocusRect(RenderBackend& backend, const Matrix& view) const {
    if (!ctx_.focusByTab || !scriptHost_.FocusRect()) return;
    const DisplayObject* o = ctx_.FindObject(ctx_.focus);
    if (!o || o->Kind() == DisplayKind::EditText || o == root_.get()) return;
    const GeomRect b = GetBounds(*o, root_.get());
    if (b.IsEmpty()) return;
    Rect r{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    for (double x : {b.x, b.Right()})
        for (double y : {b.y, b.Bottom()}) {
            const Point p = view.Apply({int32_t(std::lround(x * 20)), int32_t(std::lround(y * 20))});
            r = {std::min(r.xMin, p.x), std::max(r.xMax, p.x), std::min(r.yMin, p.y), std::max(r.yMax, p.y)};
        }
    backend.DrawShape(FocusRectShape(r), Matrix(), ColorTransform());
}

}  // namespace swf
