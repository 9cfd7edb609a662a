// flash.display.BitmapData objects: the script object holds its bitmap as
// native data, shared with whatever shows it (ScriptBitmaps.h).
#pragma once

#include <memory>

#include "swf/avm1/Vm.h"
#include "swf/runtime/ScriptBitmaps.h"

namespace swf::bind {

struct BitmapHandle : avm1::NativeData {
    std::shared_ptr<ScriptBitmap> bitmap;
};

// The bitmap of a BitmapData object (disposed ones included); null for
// anything else, and for objects whose size was refused.
std::shared_ptr<ScriptBitmap> BitmapOf(const avm1::Value& v);
// A new BitmapData object holding `bitmap`.
avm1::Value NewBitmapValue(avm1::Vm& vm, std::shared_ptr<ScriptBitmap> bitmap);
ScriptBitmaps& BitmapsOf(avm1::Vm& vm);

// The methods that draw from other objects (BitmapDataDraw.cpp).
void InstallBitmapDataDraw(avm1::Vm& vm, avm1::Object* proto);

}  // namespace swf::bind
