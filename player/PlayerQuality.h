// The control's two quality properties and the engine's qualities. Quality
// is a number (0 low, 1 high, 2 auto-low, 3 auto-high); Quality2 and the
// stored initial property are names ("Low", "Medium", "High", "Best",
// "AutoLow", "AutoHigh", any case). The engine never changes quality on its
// own, so the automatic ones stay at their starting quality. Portable.
#pragma once

#include <string>

#include "swf/model/Quality.h"

// False (and `out` untouched) for a number the control does not know; names
// are the engine's (swf::QualityFromName).
bool QualityFromNumber(long number, swf::Quality& out);

// What the control reports: Medium and Best are anti-aliased, so high (1).
long QualityNumber(swf::Quality quality);
