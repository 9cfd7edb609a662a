// Where a display object is, as scripts ask: its matrix to the stage,
// points between its space and the stage's, its bounds in another object's
// space, and the two kinds of hitTest. Script units: pixels.
#pragma once

#include "swf/display/DisplayObject.h"
#include "swf/classes/Geom.h"

namespace swf {

// The object's space to the stage's (the root's), both in twips.
Matrix ToStage(const DisplayObject& obj);
// What the object draws, in stage twips; false when nothing.
bool StageBounds(const DisplayObject& obj, Rect* box);
GeomPoint LocalToGlobal(const DisplayObject& obj, GeomPoint local);
// The point unchanged when the object is squashed flat (no inverse).
GeomPoint GlobalToLocal(const DisplayObject& obj, GeomPoint global);

// The object's bounds (drawing and children) in `space`'s coordinates, as
// getBounds(space) gives them; null space: the object's own.
GeomRect GetBounds(const DisplayObject& obj, const DisplayObject* space);

// hitTest(x, y, shapeFlag): the point, in the space the object's root (or
// level) is placed in and moved by the root's matrix, against the stage
// bounds, or against what is drawn.
bool HitTestPoint(const DisplayObject& obj, GeomPoint stage, bool shapeFlag);
// hitTest(other): their stage bounds overlap.
bool HitTestObject(const DisplayObject& a, const DisplayObject& b);

}  // namespace swf
