// Paints and the compositor: what colour each covered pixel gets and how it
// is blended into the frame buffer.
//
// A paint is built once per fill and draw: solid colours are colour
// transformed and premultiplied; gradients get a 256-entry premultiplied
// ramp and an affine map from pixel centres to gradient space, kept as
// 64-bit fixed point (16 fractional bits of gradient twips) so each pixel
// costs two additions. Blending is premultiplied source-over with integer
// rounding (x / 255 rounded to nearest), identical on every build.
#pragma once

#include <cstdint>

#include "swf/model/Bitmap.h"
#include "swf/model/Color.h"
#include "swf/model/FrameBuffer.h"
#include "swf/model/Geometry.h"
#include "swf/model/Shape.h"
#include "swf/render/Rasterizer.h"

namespace swf {

enum class PaintKind : uint8_t { None, Solid, Linear, Radial, Focal, Bitmap };

struct Paint {
    PaintKind kind = PaintKind::None;
    uint32_t solid = 0;  // premultiplied 0xAARRGGBB
    SpreadMode spread = SpreadMode::Pad;
    int32_t focal = 0;   // focal x, 12 fractional bits of the radius
    // Gradient coordinates of pixel (x, y)'s centre:
    // g = origin + x * perX + y * perY, 16.16 gradient twips (16.16 texels
    // for bitmaps).
    int64_t gx0 = 0, gy0 = 0;
    int64_t gxPerX = 0, gyPerX = 0, gxPerY = 0, gyPerY = 0;
    uint32_t ramp[256] = {};  // premultiplied, by gradient ratio
    bool opaque = false;      // every ramp entry (or texel) has alpha 255
    // Linear gradients mix the two ramp entries nearest the position instead
    // of taking the one it falls in (low quality does, rows of hard stops
    // at higher qualities show they do not).
    bool mixRamp = false;
    // Bitmaps (BitmapPaint.cpp): texels outside repeat or take the nearest
    // edge texel; smooth samples bilinearly, otherwise the nearest texel.
    const Bitmap* bitmap = nullptr;
    bool repeat = false;
    bool smooth = false;
    ColorTransform cxform;  // applied per texel unless identity
};

// Builds the paint of `fill` drawn through `toTarget` (shape twips -> target
// twips). A bitmap fill whose bitmap `bitmaps` cannot give draws nothing
// (PaintKind::None).
Paint MakePaint(const FillStyle& fill, const Matrix& toTarget, const ColorTransform& cxform,
                const BitmapSource* bitmaps = nullptr);
Paint MakeSolidPaint(Rgba color, const ColorTransform& cxform);

// The ramp of a gradient: stops interpolated per channel, then transformed.
void BuildRamp(const Gradient& gradient, const ColorTransform& cxform, uint32_t ramp[256]);

// Gradient ratio position (256 per gradient length, before spreading) of
// gradient point (gx, gy) in 16.16 gradient twips.
int64_t GradientPosition(const Paint& paint, int64_t gx, int64_t gy);
// Applies the spread mode: any position -> ramp index 0..255.
uint8_t SpreadIndex(SpreadMode spread, int64_t position);

// Pixel centres -> the inner space of `m` (gradient twips or texels, which
// `m` maps to target twips), 16.16. False when `m` is singular.
bool SetSampleMap(const Matrix& m, Paint& paint);

// Bitmap paints: `fill`'s bitmap through `toTarget`.
Paint MakeBitmapPaint(const FillStyle& fill, const Matrix& toTarget, const ColorTransform& cxform,
                      const BitmapSource* bitmaps);
// Writes `len` premultiplied colours of a bitmap paint, starting at sample
// point (gx, gy) and stepping by the paint's per-x steps.
void FillBitmapSpan(const Paint& paint, int64_t gx, int64_t gy, int32_t len, uint32_t* out);
// One smoothed sample at (gx, gy), 16.16 texels, computed plainly: the
// reference the smoothed span loop must match byte for byte.
uint32_t SmoothSample(const Bitmap& bitmap, int64_t gx, int64_t gy, bool repeat);
// A premultiplied colour through a colour transform.
uint32_t TransformPremultiplied(uint32_t premul, const ColorTransform& cxform);

// Reference blend of one pixel; the span loops must match it byte for byte.
uint32_t BlendPixel(uint32_t dst, uint32_t srcPremul, uint8_t coverage);

// Fills one span of `len` pixels at `dst` with a constant premultiplied colour.
void BlendSolidSpan(uint32_t* dst, int32_t len, uint32_t srcPremul, uint8_t coverage);

// Composites spans with a paint; the place where masks and blend modes will
// plug in later.
class PaintCompositor : public SpanSink {
public:
    PaintCompositor(FrameBuffer& target, const Paint& paint) : target_(target), paint_(paint) {}
    void Row(int32_t y, const Span* spans, size_t count) override;

private:
    void GradientSpan(uint32_t* dst, int32_t x, int32_t y, int32_t len, uint8_t coverage);

    FrameBuffer& target_;
    const Paint& paint_;
};

}  // namespace swf
