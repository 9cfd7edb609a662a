// swfmake: filter lists as PlaceObject3 and DefineButton2 store them.
#pragma once

#include "swf/model/Effects.h"
#include "tools/swfmake/ByteWriter.h"

namespace swfmake {

// Writes the count and each filter. Convolution weights and colour-matrix
// entries (16.16) go out as the file's floats, with a divisor of 1.
void WriteFilterList(ByteWriter& w, const swf::FilterList& filters);

// Filters with the defaults of the authoring tools' filter panels; sizes in
// whole pixels, angle in degrees.
swf::Filter DropShadowFilter(swf::Rgba color, int blur, int distance, int angleDegrees,
                             int passes = 1);
swf::Filter GlowFilter(swf::Rgba color, int blur, int passes = 1);
swf::Filter BlurFilter(int blurX, int blurY, int passes = 1);

}  // namespace swfmake
