// Bitmap fills. The fill's matrix maps texels to shape twips (a bitmap shown
// at its size has a scale of 20); composed with the draw's matrix and
// inverted it gives each pixel centre's texel position in 16.16, stepped per
// pixel like a gradient's.
//
//  - Nearest (not smoothed): the texel under the sample point, so texel
//    edges stay hard at any scale.
//  - Bilinear (smoothed): the four texels around the point shifted by half a
//    texel, 8-bit weights, on premultiplied channels (a blend never exceeds
//    its alpha). Where every pixel centre meets a texel centre exactly the
//    weights are (1, 0) and bilinear equals nearest; that case takes the
//    nearest loop, with identical bytes.
//  - Outside the bitmap, repeating fills wrap; clipped fills take the
//    nearest edge texel.
#include <algorithm>

#include "swf/render/Paint.h"

namespace swf {

namespace {

constexpr int kTexelFracBits = 16;
constexpr int64_t kHalfTexel = int64_t(1) << (kTexelFracBits - 1);
constexpr int64_t kOneTexel = int64_t(1) << kTexelFracBits;
constexpr int kWeightBits = 8;
constexpr uint32_t kWeightOne = 1u << kWeightBits;

inline int32_t Wrap(int64_t t, int32_t n) {
    int64_t m = t % n;
    return int32_t(m < 0 ? m + n : m);
}

inline int32_t Clamp(int64_t t, int32_t n) { return int32_t(std::clamp<int64_t>(t, 0, n - 1)); }

template <bool repeat>
inline int32_t Texel(int64_t t, int32_t n) {
    return repeat ? Wrap(t, n) : Clamp(t, n);
}

// a * (256 - f) + b * f, per channel, / 256; two channels per multiply.
inline uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f) {
    const uint32_t mask = 0x00FF00FFu, g = kWeightOne - f;
    const uint32_t rb = (((a & mask) * g + (b & mask) * f) >> kWeightBits) & mask;
    const uint32_t ag = ((((a >> 8) & mask) * g + ((b >> 8) & mask) * f) >> kWeightBits) & mask;
    return rb | (ag << 8);
}

template <bool repeat>
void Nearest(const Paint& p, int64_t gx, int64_t gy, int32_t len, uint32_t* out) {
    const Bitmap& b = *p.bitmap;
    for (int32_t i = 0; i < len; ++i) {
        out[i] = b.At(Texel<repeat>(gx >> kTexelFracBits, b.width), Texel<repeat>(gy >> kTexelFracBits, b.height));
        gx += p.gxPerX;
        gy += p.gyPerX;
    }
}

// The plain sample: the four texels around the point, each wrapped or
// clamped on its own. The reference for the loop below.
template <bool repeat>
uint32_t BilinearSample(const Bitmap& b, int64_t gx, int64_t gy) {
    const int64_t sx = gx - kHalfTexel, sy = gy - kHalfTexel;
    const int64_t tx = sx >> kTexelFracBits, ty = sy >> kTexelFracBits;
    const uint32_t fx = uint32_t(sx >> (kTexelFracBits - kWeightBits)) & (kWeightOne - 1);
    const uint32_t fy = uint32_t(sy >> (kTexelFracBits - kWeightBits)) & (kWeightOne - 1);
    const int32_t x0 = Texel<repeat>(tx, b.width), x1 = Texel<repeat>(tx + 1, b.width);
    const int32_t y0 = Texel<repeat>(ty, b.height), y1 = Texel<repeat>(ty + 1, b.height);
    return Lerp(Lerp(b.At(x0, y0), b.At(x1, y0), fx), Lerp(b.At(x0, y1), b.At(x1, y1), fx), fy);
}

// Samples whose four texels lie inside the bitmap (most of them) read them
// straight; the others take the plain sample.
template <bool repeat>
void Bilinear(const Paint& p, int64_t gx, int64_t gy, int32_t len, uint32_t* out) {
    const Bitmap& b = *p.bitmap;
    const size_t stride = size_t(b.width);
    const uint64_t innerX = uint64_t(b.width - 1), innerY = uint64_t(b.height - 1);
    for (int32_t i = 0; i < len; ++i) {
        const int64_t sx = gx - kHalfTexel, sy = gy - kHalfTexel;
        const int64_t tx = sx >> kTexelFracBits, ty = sy >> kTexelFracBits;
        if (uint64_t(tx) < innerX && uint64_t(ty) < innerY) {
            const uint32_t fx = uint32_t(sx >> (kTexelFracBits - kWeightBits)) & (kWeightOne - 1);
            const uint32_t fy = uint32_t(sy >> (kTexelFracBits - kWeightBits)) & (kWeightOne - 1);
            const uint32_t* t = b.pixels.data() + size_t(ty) * stride + size_t(tx);
            out[i] = Lerp(Lerp(t[0], t[1], fx), Lerp(t[stride], t[stride + 1], fx), fy);
        } else {
            out[i] = BilinearSample<repeat>(b, gx, gy);
        }
        gx += p.gxPerX;
        gy += p.gyPerX;
    }
}

// Pixel centres that all fall on texel centres: an unscaled, unrotated
// bitmap at a whole-pixel offset.
bool OnTexelCentres(const Paint& p) {
    return p.gxPerX == kOneTexel && p.gyPerY == kOneTexel && p.gyPerX == 0 && p.gxPerY == 0 &&
           (p.gx0 & (kOneTexel - 1)) == kHalfTexel && (p.gy0 & (kOneTexel - 1)) == kHalfTexel;
}

}  // namespace

uint32_t SmoothSample(const Bitmap& b, int64_t gx, int64_t gy, bool repeat) {
    return repeat ? BilinearSample<true>(b, gx, gy) : BilinearSample<false>(b, gx, gy);
}

uint32_t TransformPremultiplied(uint32_t premul, const ColorTransform& cxform) {
    return FrameBuffer::Premultiply(cxform.Apply(FrameBuffer::Unpremultiply(premul)));
}

void FillBitmapSpan(const Paint& p, int64_t gx, int64_t gy, int32_t len, uint32_t* out) {
    if (p.smooth)
        (p.repeat ? Bilinear<true> : Bilinear<false>)(p, gx, gy, len, out);
    else
        (p.repeat ? Nearest<true> : Nearest<false>)(p, gx, gy, len, out);
    if (p.cxform.IsIdentity()) return;
    for (int32_t i = 0; i < len; ++i) out[i] = TransformPremultiplied(out[i], p.cxform);
}

Paint MakeBitmapPaint(const FillStyle& fill, const Matrix& toTarget, const ColorTransform& cxform,
                      const BitmapSource* bitmaps) {
    Paint p;
    const Bitmap* bitmap = bitmaps ? bitmaps->FindBitmap(fill.bitmapId) : nullptr;
    if (!bitmap || bitmap->Empty() || !SetSampleMap(toTarget.Concat(fill.matrix), p)) return Paint{};
    p.kind = PaintKind::Bitmap;
    p.bitmap = bitmap;
    p.repeat = fill.bitmapRepeat;
    p.smooth = fill.bitmapSmooth && !OnTexelCentres(p);
    p.cxform = cxform;
    p.opaque = bitmap->opaque && cxform.Apply(Rgba{0, 0, 0, 255}).a == 255;
    return p;
}

}  // namespace swf
