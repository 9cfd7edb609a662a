// flash.geom values as natives take them: any object with the right
// properties will do (x, y, width, height; a, b, c, d, tx, ty;
// redMultiplier ... alphaOffset), whoever made it.
#pragma once

#include "swf/avm1/Vm.h"
#include "swf/classes/BitmapData.h"
#include "swf/classes/Geom.h"

namespace swf::bind {

// False when `v` is no object; missing or odd numbers read as 0.
bool ReadRect(avm1::Vm& vm, const avm1::Value& v, GeomRect& out);
bool ReadPoint(avm1::Vm& vm, const avm1::Value& v, GeomPoint& out);
// Identity when `v` is no object; a missing term reads as 0.
GeomMatrix ReadMatrix(avm1::Vm& vm, const avm1::Value& v);
// Unchanged colours when `v` is no object; a missing field keeps its default.
GeomColorTransform ReadColorTransform(avm1::Vm& vm, const avm1::Value& v);

// Whole pixels, the far edges rounded like the near ones.
PixelRect ToPixels(const GeomRect& r);
int PixelCoord(double v);

// A flash.geom.Rectangle when scripts have the class, else a
// plain object with the same fields.
avm1::Value NewRectangle(avm1::Vm& vm, const GeomRect& r);

}  // namespace swf::bind
