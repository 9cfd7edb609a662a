// Tab focus: which objects Tab visits and in what order, and the yellow
// rectangle drawn round the focused one.
//
// Order rules:
//  1. An object takes part when it is reachable (on stage, visible, enabled,
//     no ancestor shuts tabbing to its children) and its tabEnabled is not
//     false. Buttons and input text fields take part by default; a clip only
//     with tabEnabled true, a tabIndex, or button handlers (onPress and such).
//  2. If any of them has a tabIndex, only those with one take part, by
//     rising tabIndex (ties in reading order).
//  3. Otherwise reading order: top to bottom by the top edge of the bounds,
//     then left to right.
#pragma once

#include <optional>
#include <vector>

#include "swf/model/Geometry.h"
#include "swf/model/Shape.h"
#include "swf/host/MouseButton.h"

namespace swf {

enum class FocusKind { Button, Clip, InputText };

struct Focusable {
    int id = 0;  // the caller's handle
    FocusKind kind = FocusKind::Button;
    std::optional<int> tabIndex;
    std::optional<bool> tabEnabled;
    bool hasButtonHandlers = false;
    bool reachable = true;
    Rect bounds;  // stage twips
};

// The ids in tab order.
std::vector<int> TabOrder(const std::vector<Focusable>& objects);
// The id after `current` (before it when `backwards`), wrapping round; the
// first (or last) when `current` is not in the order; -1 when it is empty.
int NextInTabOrder(const std::vector<int>& order, int current, bool backwards);

// Whether a pointer event hides the focus rectangle: up to version 8 any
// but the middle button's, later only a left press.
bool PointerHidesFocusRect(int swfVersion, bool press, MouseButton button);

// The focus rectangle for `bounds` (target twips): a frame of whole pixels
// just inside the bounds, drawn unscaled.
Shape FocusRectShape(const Rect& bounds);
constexpr uint32_t kFocusRectRgb = 0xFFFF00;
constexpr int32_t kFocusRectWidth = 3 * kTwipsPerPixel;

}  // namespace swf
