// The control's two quality properties and the engine's qualities. Quality
// is a number (0 low, 1 high, 2 auto-low, 3 auto-high); Quality2 and the
// stored initial property are names ("Low", "Medium", "High", "Best",
// "AutoLow", "AutoHigh", any case). The engine never changes quality on its
// own, so the automatic ones stay at their starting quality. Portable.
#pragma once

#include <string>

#include "swf/Quality.h"

// False (and `out` untouched) for a number or name the control does not know.
bool QualityFromNumber(long number, swf::Quality& out);
bool QualityFromName(const std::string& name, swf::Quality& out);

// What the control reports: Medium and Best are anti-aliased, so high (1).
long QualityNumber(swf::Quality quality);
const char* QualityName(swf::Quality quality);
