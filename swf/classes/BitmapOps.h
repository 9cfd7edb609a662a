// BitmapData's pixel methods as both script machines share them: each
// takes plain arguments already read from script values, so the two
// bindings differ only in how they read arguments and report refusals.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/classes/BitmapData.h"

namespace swf {

// `r` clipped to a bitmap of the given size; empty when nothing is left.
PixelRect Intersect(PixelRect r, int width, int height);

// Pixels in a rectangle, and in a live bitmap: the unit pixel work is
// charged in.
inline uint64_t Area(PixelRect r) { return uint64_t(r.width > 0 ? r.width : 0) * uint64_t(r.height > 0 ? r.height : 0); }
inline uint64_t Area(const BitmapData& d) { return Area(PixelRect{0, 0, d.Width(), d.Height()}); }

// The pixels a (source, sourceRect, destPoint) method works on: the
// rectangle clipped to the source, its image clipped to the target.
struct PixelSpan {
    BitmapData* target = nullptr;
    const BitmapData* source = nullptr;
    int sx = 0, sy = 0, dx = 0, dy = 0, width = 0, height = 0;
    // Source pixels copied first when source and target are one bitmap, so
    // a pass reads what was there before it.
    std::vector<uint32_t> saved, savedStored;

    uint32_t Source(int x, int y) const {
        return saved.empty() ? source->GetPixel32(sx + x, sy + y) : saved[size_t(y) * size_t(width) + size_t(x)];
    }
    // As kept (premultiplied): what threshold tests.
    uint32_t SourceStored(int x, int y) const {
        return savedStored.empty() ? source->Pixels().At(sx + x, sy + y)
                                   : savedStored[size_t(y) * size_t(width) + size_t(x)];
    }
    uint32_t Target(int x, int y) const { return target->GetPixel32(dx + x, dy + y); }
    void Set(int x, int y, uint32_t argb) { target->SetPixel32(dx + x, dy + y, argb); }
    void SetStored(int x, int y, uint32_t p) { target->SetStored(dx + x, dy + y, p); }
    uint64_t Area() const { return swf::Area(PixelRect{0, 0, width, height}); }
};

// False when the span is empty. `toX`, `toY` place the rectangle's corner.
bool ClipSpan(BitmapData& target, const BitmapData& source, PixelRect from, int64_t toX, int64_t toY,
              PixelSpan& s);

// threshold: the pixels whose masked value (premultiplied, as kept) passes
// the test become `color`; the others keep theirs, or take the source's
// with copySource. An operation it does not know tests "<". Returns how
// many passed.
enum class ThresholdTest { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual, Unknown };
ThresholdTest ThresholdTestOf(const std::string& op);
uint32_t ThresholdPixels(PixelSpan& s, ThresholdTest test, uint32_t limit, uint32_t color, uint32_t mask,
                         bool copySource);

// merge: each channel mixed as (source * m + this * (256 - m)) / 256;
// multipliers red, green, blue, alpha, each 0..256.
void MergePixels(PixelSpan& s, const uint32_t (&mult)[4]);

// The byte position of a channel flag (1 red, 2 green, 4 blue, 8 alpha);
// -1 for anything else.
int ChannelShift(uint32_t flag);
// copyChannel: a source that is not one channel reads as zeros.
void CopyChannelPixels(PixelSpan& s, int fromShift, int toShift);

// paletteMap: each channel's value picks an entry of its table (red,
// green, blue, alpha; 256 entries) and the four entries are added. A
// channel without a table keeps its own value.
void PaletteMapPixels(PixelSpan& s, const std::vector<uint32_t> (&maps)[4]);

// pixelDissolve: copies the pixel at the seed and `count` more of the
// source (or paints them `fillColor`) in an order the seed picks, visiting
// every pixel once before any twice. Returns the seed that continues the
// order, on the last pixel written.
uint64_t DissolvePixels(PixelSpan& s, uint64_t seed, uint64_t count, bool paint, uint32_t fillColor);

// noise: a byte per channel from the minimal standard generator, in
// low..high; `gray` draws one value for red, green and blue.
void FillNoise(BitmapData& d, int32_t seed, int low, int high, uint32_t channels, bool gray);

// Four-way fill of the pixels equal to the seed's. False when the seed is
// outside or already of that colour.
bool FloodFillPixels(BitmapData& d, int x, int y, uint32_t argb);

// Alpha as hit tests see it: an opaque bitmap is solid everywhere inside.
uint32_t HitAlphaAt(const BitmapData& d, int x, int y);
// Any pixel of `r` (in the bitmap's space) at or over the threshold.
bool AnyAlphaAtLeast(const BitmapData& d, PixelRect r, uint32_t threshold);
// `other` placed at (dx, dy) in `d`'s space: a pixel where both reach
// their thresholds.
bool BitmapsOverlap(const BitmapData& d, uint32_t first, const BitmapData& other, int dx, int dy, uint32_t second);

// The difference of two pixels as compare() shows it: the colour channels
// subtracted when the colours differ, else the alpha over white.
uint32_t PixelDifference(uint32_t p, uint32_t q);

// The smallest rectangle around the pixels whose masked value is `color`
// (or, `find` false, is not); empty when there is none.
PixelRect ColorBounds(const BitmapData& d, uint32_t mask, uint32_t color, bool find);

}  // namespace swf
