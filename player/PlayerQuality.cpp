#include "player/PlayerQuality.h"

bool QualityFromNumber(long number, swf::Quality& out) {
    // 0 low, 1 high, 2 auto-low, 3 auto-high; the automatic ones stay put.
    static constexpr swf::Quality kNumbered[] = {swf::Quality::Low, swf::Quality::High, swf::Quality::Low,
                                                 swf::Quality::High};
    if (number < 0 || number >= long(sizeof kNumbered / sizeof kNumbered[0])) return false;
    out = kNumbered[number];
    return true;
}

long QualityNumber(swf::Quality quality) { return quality == swf::Quality::Low ? 0 : 1; }
