// flash.display.BitmapData objects: the script object holds its bitmap as
// native data, shared with whatever shows it (ScriptBitmaps.h).
#pragma once

#include <algorithm>
#include <memory>

#include "swf/avm1/Vm.h"
#include "swf/classes/BitmapOps.h"
#include "swf/classes/Geom.h"
#include "swf/classes/ScriptBitmaps.h"

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

// The bitmap when it is not disposed; null otherwise.
ScriptBitmap* Live(const std::shared_ptr<ScriptBitmap>& b);
// Rectangle and point arguments in whole pixels (an empty rectangle, the
// origin when missing).
PixelRect PixelRectArg(avm1::CallArgs& a, size_t i);
GeomPoint OffsetArg(avm1::CallArgs& a, size_t i);
// Takes `units` of pixel work for `method`; false, reported once a host
// call, when this call's share would pass the budget.
bool ChargePixels(avm1::CallArgs& a, const char* method, uint64_t units);
// What the pixel methods return when called with fewer arguments than they
// need or on a disposed bitmap, and when an argument is of the wrong kind.
constexpr double kRefused = -1, kBadFirst = -2, kBadSecond = -3, kBadRect = -4;
// At least `needs` arguments and a live `this`.
bool Usable(avm1::CallArgs& a, size_t needs);
// A rectangle argument needs all four fields.
bool HasRectFields(avm1::Vm& vm, const avm1::Value& v);
// The checks of the (source, rect, ...) methods: 0 when they may go on,
// else the code they return (-2 no bitmap, -3 a disposed one, -4 no
// rectangle).
double CheckSourceArgs(avm1::CallArgs& a, size_t needs);

// The methods that draw from other objects (BitmapDataDraw.cpp).
void InstallBitmapDataDraw(avm1::Vm& vm, avm1::Object* proto);
// Per-pixel tests and channel work (BitmapDataPixels.cpp, BitmapDataCompare.cpp).
void InstallBitmapDataPixels(avm1::Vm& vm, avm1::Object* proto);
void InstallBitmapDataCompare(avm1::Vm& vm, avm1::Object* proto);
// noise and perlinNoise (BitmapDataNoise.cpp).
void InstallBitmapDataNoise(avm1::Vm& vm, avm1::Object* proto);

}  // namespace swf::bind
