#include "swf/classes/FocusOrder.h"

#include <algorithm>
#include <cmath>

#include "swf/classes/Drawing.h"

namespace swf {

namespace {

bool TakesPart(const Focusable& o) {
    if (!o.reachable || o.tabEnabled == false) return false;
    if (o.kind != FocusKind::Clip) return true;
    return o.tabEnabled == true || o.tabIndex.has_value() || o.hasButtonHandlers;
}

bool ReadingOrder(const Focusable* a, const Focusable* b) {
    if (a->bounds.yMin != b->bounds.yMin) return a->bounds.yMin < b->bounds.yMin;
    return a->bounds.xMin < b->bounds.xMin;
}

}  // namespace

std::vector<int> TabOrder(const std::vector<Focusable>& objects) {
    std::vector<const Focusable*> part;
    bool anyIndex = false;
    for (const Focusable& o : objects) {
        if (!TakesPart(o)) continue;
        part.push_back(&o);
        anyIndex = anyIndex || o.tabIndex.has_value();
    }
    if (anyIndex) {
        part.erase(std::remove_if(part.begin(), part.end(), [](const Focusable* o) { return !o->tabIndex; }),
                   part.end());
        std::stable_sort(part.begin(), part.end(), [](const Focusable* a, const Focusable* b) {
            if (*a->tabIndex != *b->tabIndex) return *a->tabIndex < *b->tabIndex;
            return ReadingOrder(a, b);
        });
    } else {
        // Tab goes to the next place strictly after the current one, so of
        // objects at the same place only the first is ever reached.
        std::stable_sort(part.begin(), part.end(), ReadingOrder);
        part.erase(std::unique(part.begin(), part.end(),
                               [](const Focusable* a, const Focusable* b) {
                                   return !ReadingOrder(a, b) && !ReadingOrder(b, a);
                               }),
                   part.end());
    }
    std::vector<int> ids;
    ids.reserve(part.size());
    for (const Focusable* o : part) ids.push_back(o->id);
    return ids;
}

int NextInTabOrder(const std::vector<int>& order, int current, bool backwards) {
    if (order.empty()) return -1;
    const auto it = std::find(order.begin(), order.end(), current);
    if (it == order.end()) return backwards ? order.back() : order.front();
    const size_t i = size_t(it - order.begin()), n = order.size();
    return order[backwards ? (i + n - 1) % n : (i + 1) % n];
}

bool PointerHidesFocusRect(int swfVersion, bool press, MouseButton button) {
    constexpr int kLeftPressOnlyFrom = 9;
    if (swfVersion >= kLeftPressOnlyFrom) return press && button == MouseButton::Left;
    return button != MouseButton::Middle;
}

Shape FocusRectShape(const Rect& b) {
    auto pixel = [](int32_t v) {
        return int32_t(std::lround(v / double(kTwipsPerPixel))) * kTwipsPerPixel;
    };
    const Rect r{pixel(b.xMin), pixel(b.xMax), pixel(b.yMin), pixel(b.yMax)};
    Drawing d;
    d.BeginFill({uint8_t(kFocusRectRgb >> 16), uint8_t(kFocusRectRgb >> 8), uint8_t(kFocusRectRgb), 255});
    auto box = [&d](const Rect& q) {
        d.MoveTo({q.xMin, q.yMin});
        d.LineTo({q.xMax, q.yMin});
        d.LineTo({q.xMax, q.yMax});
        d.LineTo({q.xMin, q.yMax});
        d.LineTo({q.xMin, q.yMin});
    };
    box(r);
    // The hole; a frame thicker than half the box is the whole box.
    const Rect in{r.xMin + kFocusRectWidth, r.xMax - kFocusRectWidth, r.yMin + kFocusRectWidth,
                  r.yMax - kFocusRectWidth};
    if (in.xMin < in.xMax && in.yMin < in.yMax) box(in);
    d.EndFill();
    return d.GetShape();
}

}  // namespace swf
