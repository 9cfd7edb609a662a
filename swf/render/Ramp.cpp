// Gradient ramps: 256 premultiplied colours per gradient, built once per
// draw, so a gradient pixel costs a position and one look-up.
//
// Stops are taken as given, in order, whatever their ratios, and are
// interpolated per channel with rounding; in linear-RGB mode the
// colour channels are mixed as light (through the sRGB curve, 16-bit) and
// mapped back to the nearest 8-bit value, alpha always plainly. The colour
// transform applies to each interpolated colour, then it is premultiplied.
#include <algorithm>
#include <array>

#include "swf/render/Paint.h"

namespace swf {

namespace {

constexpr int kRampSize = 256;

// The sRGB curve: linear light of each 8-bit value, scaled to 0..65535.
constexpr std::array<uint16_t, 256> kSrgbToLinear = {
    0,     20,    40,    60,    80,    99,    119,   139,   159,   179,   199,   219,   241,   264,
    288,   313,   340,   367,   396,   427,   458,   491,   526,   562,   599,   637,   677,   718,
    761,   805,   851,   898,   947,   997,   1048,  1101,  1156,  1212,  1270,  1330,  1391,  1453,
    1517,  1583,  1651,  1720,  1790,  1863,  1937,  2013,  2090,  2170,  2250,  2333,  2418,  2504,
    2592,  2681,  2773,  2866,  2961,  3058,  3157,  3258,  3360,  3464,  3570,  3678,  3788,  3900,
    4014,  4129,  4247,  4366,  4488,  4611,  4736,  4864,  4993,  5124,  5257,  5392,  5530,  5669,
    5810,  5953,  6099,  6246,  6395,  6547,  6700,  6856,  7014,  7174,  7335,  7500,  7666,  7834,
    8004,  8177,  8352,  8528,  8708,  8889,  9072,  9258,  9445,  9635,  9828,  10022, 10219, 10417,
    10619, 10822, 11028, 11235, 11446, 11658, 11873, 12090, 12309, 12530, 12754, 12980, 13209, 13440,
    13673, 13909, 14146, 14387, 14629, 14874, 15122, 15371, 15623, 15878, 16135, 16394, 16656, 16920,
    17187, 17456, 17727, 18001, 18277, 18556, 18837, 19121, 19407, 19696, 19987, 20281, 20577, 20876,
    21177, 21481, 21787, 22096, 22407, 22721, 23038, 23357, 23678, 24002, 24329, 24658, 24990, 25325,
    25662, 26001, 26344, 26688, 27036, 27386, 27739, 28094, 28452, 28813, 29176, 29542, 29911, 30282,
    30656, 31033, 31412, 31794, 32179, 32567, 32957, 33350, 33745, 34143, 34544, 34948, 35355, 35764,
    36176, 36591, 37008, 37429, 37852, 38278, 38706, 39138, 39572, 40009, 40449, 40891, 41337, 41785,
    42236, 42690, 43147, 43606, 44069, 44534, 45002, 45473, 45947, 46423, 46903, 47385, 47871, 48359,
    48850, 49344, 49841, 50341, 50844, 51349, 51858, 52369, 52884, 53401, 53921, 54445, 54971, 55500,
    56032, 56567, 57105, 57646, 58190, 58737, 59287, 59840, 60396, 60955, 61517, 62082, 62650, 63221,
    63795, 64372, 64952, 65535};

uint8_t Mix(uint8_t a, uint8_t b, int span, int t) {
    return uint8_t((a * (span - t) + b * t + span / 2) / span);
}

// Nearest 8-bit value whose linear light is closest to `light`.
uint8_t LinearToSrgb(uint32_t light) {
    const auto it = std::lower_bound(kSrgbToLinear.begin(), kSrgbToLinear.end(), light);
    if (it == kSrgbToLinear.begin()) return 0;
    if (it == kSrgbToLinear.end()) return 255;
    const auto below = it - 1;
    return uint8_t((light - *below <= *it - light ? below : it) - kSrgbToLinear.begin());
}

uint8_t MixLinear(uint8_t a, uint8_t b, int span, int t) {
    const uint32_t la = kSrgbToLinear[a], lb = kSrgbToLinear[b];
    return LinearToSrgb((la * uint32_t(span - t) + lb * uint32_t(t) + uint32_t(span) / 2) / uint32_t(span));
}

Rgba Interpolate(const GradientStop& s0, const GradientStop& s1, int i, bool linearLight) {
    // Stops need not increase: outside s0..s1 the nearer end shows, and on a
    // stop that does not move forward the one the walk is leaving.
    if (s1.ratio <= s0.ratio) return s0.color;
    if (i >= s1.ratio) return s1.color;
    if (i <= s0.ratio) return s0.color;
    const int span = s1.ratio - s0.ratio, t = i - s0.ratio;
    auto mix = linearLight ? MixLinear : Mix;
    return {mix(s0.color.r, s1.color.r, span, t), mix(s0.color.g, s1.color.g, span, t),
            mix(s0.color.b, s1.color.b, span, t), Mix(s0.color.a, s1.color.a, span, t)};
}

}  // namespace

void BuildRamp(const Gradient& g, const ColorTransform& cxform, uint32_t ramp[256]) {
    const auto& stops = g.stops;
    const bool linearLight = g.interpolation == InterpolationMode::Linear;
    // The walk passes at most one stop per entry, and an entry passing a stop
    // that does not move forward shows the stop left behind: of stops sharing
    // a ratio all but the last show one entry each, the last starting the next
    // segment, and after a stop going back the next segment starts from that
    // stop's own, lower ratio.
    size_t next = 0;
    for (int i = 0; i < kRampSize; ++i) {
        if (next < stops.size() && stops[next].ratio < i) ++next;
        Rgba c;
        if (next == 0) c = stops.front().color;
        else if (next == stops.size()) c = stops.back().color;
        else c = Interpolate(stops[next - 1], stops[next], i, linearLight);
        ramp[i] = FrameBuffer::Premultiply(cxform.Apply(c));
    }
}

}  // namespace swf
