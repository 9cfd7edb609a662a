// What the files of flash.display.BitmapData share: reading its arguments
// the way the reference checks them, and the live bitmap behind an object.
#pragma once

#include "swf/avm2/classes/Builtins.h"
#include "swf/classes/BitmapOps.h"
#include "swf/classes/Geom.h"
#include "swf/classes/ScriptBitmaps.h"

namespace swf::avm2 {

// The bitmap of a BitmapData object; ArgumentError #2015 when it was
// disposed or never made.
ScriptBitmap& LiveBitmap(Machine& m, const Value& self);
// A BitmapData argument: TypeError #2007 for null, #2015 when disposed.
ScriptBitmap& BitmapArg(Machine& m, const Value& v, const char* param);
// A Rectangle argument in whole pixels (edges rounded, halves to even);
// TypeError #2007 for null.
PixelRect RectArg(Machine& m, const Value& v, const char* param);
void PointArg(Machine& m, const Value& v, const char* param, int& x, int& y);
Value NewRectangle(Machine& m, const PixelRect& r);
// A ColorTransform argument's eight fields; TypeError #2007 for null.
GeomColorTransform ColorTransformArg(Machine& m, const Value& v);
Value NewBitmapDataValue(Machine& m, int width, int height, bool transparent, uint32_t fill);
// Pixel work counts as script steps, so a loop of large calls meets the
// same time limit as a loop of small ones.
void ChargePixels(Machine& m, uint64_t pixels);

// threshold, merge, copyChannel, paletteMap, pixelDissolve, noise,
// perlinNoise, floodFill, scroll, hitTest, compare, getColorBoundsRect.
void InstallBitmapDataOps(Machine& m, ClassObject* c);
// getPixels, setPixels, getVector, setVector, copyPixelsToByteArray,
// histogram.
void InstallBitmapDataBytes(Machine& m, ClassObject* c);
// draw, drawWithQuality, applyFilter, generateFilterRect.
void InstallBitmapDataDraw(Machine& m, ClassObject* c);

}  // namespace swf::avm2
