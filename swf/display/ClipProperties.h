// The numeric timeline properties of a display object as scripts read and
// write them (_x, _y, _xscale, _yscale, _rotation, _alpha, _width,
// _height), by their property numbers in GetProperty/SetProperty.
//
// Writes go through the object's ClipTransform, so scale and rotation stay
// as written (ClipTransform.h), and mark the object scripted, so the
// timeline no longer moves it. A matrix changed by anything else since the
// last script access is read afresh.
#pragma once

#include <optional>

#include "swf/display/DisplayObject.h"

namespace swf {

enum ClipProperty : int {
    kPropX = 0, kPropY = 1, kPropXScale = 2, kPropYScale = 3, kPropCurrentFrame = 4,
    kPropTotalFrames = 5, kPropAlpha = 6, kPropVisible = 7, kPropWidth = 8, kPropHeight = 9,
    kPropRotation = 10, kPropTarget = 11, kPropFramesLoaded = 12, kPropName = 13,
    kPropDropTarget = 14, kPropUrl = 15, kPropHighQuality = 16, kPropFocusRect = 17,
    kPropSoundBufTime = 18, kPropQuality = 19, kPropXMouse = 20, kPropYMouse = 21,
};

// Nothing for a property that is not one of the eight above.
std::optional<double> GetTransformProperty(const DisplayObject& obj, int property);
// False for a property that is not one of them; non-finite values change nothing.
bool SetTransformProperty(DisplayObject& obj, int property, double value);

// The object's bounds in its own space (twips); false when it draws nothing.
bool LocalBounds(const DisplayObject& obj, Rect* out);

}  // namespace swf
