#include "swf/render/Filters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "swf/render/Blur.h"
#include "swf/render/Paint.h"
#include "swf/render/PixelOps.h"

namespace swf {

namespace {

constexpr int kMaxPasses = 15;

enum class Placement : uint8_t { Outer, Inner, Full };

// A filter's sizes in target pixels.
struct Scaled {
    int32_t blurX = 0, blurY = 0;  // 16.16
    int passes = 0;
    int reachX = 0, reachY = 0;
    int dx = 0, dy = 0;  // whole-pixel offset along the angle
};

bool HasOffset(FilterKind k) {
    return k == FilterKind::DropShadow || k == FilterKind::Bevel || k == FilterKind::GradientGlow ||
           k == FilterKind::GradientBevel;
}

bool IsBevel(FilterKind k) { return k == FilterKind::Bevel || k == FilterKind::GradientBevel; }

Placement PlacementOf(const Filter& f) {
    if (f.onTop && f.kind != FilterKind::DropShadow && f.kind != FilterKind::Glow) return Placement::Full;
    return f.inner ? Placement::Inner : Placement::Outer;
}

int32_t ScaleFixed(int32_t v, int32_t scale) {
    int64_t r = (int64_t(std::max(v, 0)) * scale) >> 16;
    return int32_t(std::min<int64_t>(r, int64_t(kMaxBlurPixels) << 16));
}

// A blur of b pixels covers the centre pixel and b - 1 around it; only that
// spread grows with the view, so blur 1 stays sharp at any size.
int32_t ScaleBlur(int32_t v, int32_t scale) {
    if (v <= kFixedOne) return v;
    return ScaleFixed(v - kFixedOne, scale) + kFixedOne;
}

Scaled ScaleOf(const Filter& f, FilterScale s) {
    Scaled r;
    r.blurX = ScaleBlur(f.blurX, s.x);
    r.blurY = ScaleBlur(f.blurY, s.y);
    r.passes = std::clamp<int>(f.passes, 0, kMaxPasses);
    r.reachX = BlurReach(r.blurX, r.passes);
    r.reachY = BlurReach(r.blurY, r.passes);
    if (HasOffset(f.kind)) {
        // Offsets are whole pixels; the cosine is rounded away at once, so
        // builds that differ in the last bit of a double still agree.
        constexpr double kFixed = 65536.0;
        constexpr double kMaxOffset = 4096.0;
        double dist = std::clamp(f.distance / kFixed, -kMaxOffset, kMaxOffset), angle = f.angle / kFixed;
        r.dx = int(std::lround(dist * std::cos(angle) * (s.x / kFixed)));
        r.dy = int(std::lround(dist * std::sin(angle) * (s.y / kFixed)));
    }
    return r;
}

// The blurred alpha of `src`, `pad` pixels larger on every side; beyond the
// picture the alpha is 0 (255 when inverted).
struct AlphaField {
    Plane plane;
    int pad = 0;
    uint8_t outside = 0;
    uint8_t At(int x, int y) const {
        x += pad;
        y += pad;
        if (x < 0 || y < 0 || x >= plane.width || y >= plane.height) return outside;
        return plane.data[size_t(y) * plane.width + x];
    }
};

AlphaField BlurredAlpha(const FrameBuffer& src, bool invert, int pad, const Scaled& s) {
    AlphaField f;
    f.pad = pad;
    f.outside = invert ? 255 : 0;
    f.plane = Plane(src.Width() + 2 * pad, src.Height() + 2 * pad, 1, f.outside);
    for (int y = 0; y < src.Height(); ++y) {
        const uint32_t* in = src.Row(y);
        uint8_t* out = f.plane.Row(y + pad) + pad;
        for (int x = 0; x < src.Width(); ++x) {
            uint8_t a = uint8_t(in[x] >> 24);
            out[x] = invert ? uint8_t(255 - a) : a;
        }
    }
    BoxBlur(f.plane, s.blurX, s.blurY, s.passes);
    return f;
}

int Strengthen(int amount, int16_t strength) {
    return std::clamp((amount * std::max<int>(strength, 0) + 128) >> 8, 0, 255);
}

// Step 4 of the recipe for one pixel.
uint32_t Meet(uint32_t effect, uint32_t object, Placement where, const Filter& f) {
    const uint32_t oa = object >> 24;
    switch (where) {
    case Placement::Inner: {
        uint32_t inside = ScalePacked(effect, oa);
        if (f.knockout || f.hideObject) return inside;
        return inside + ScalePacked(object, 255 - (effect >> 24));
    }
    case Placement::Outer:
        // Knocked out, the object's own area stays empty whether or not it
        // is drawn.
        if (f.knockout) return ScalePacked(effect, 255 - oa);
        if (f.hideObject) return effect;
        return BlendPacked(effect, object);
    case Placement::Full:
        if (f.knockout || f.hideObject) return effect;
        return BlendPacked(object, effect);
    }
    return object;
}

Margins MarginsOf(const Filter& f, const Scaled& s) {
    Margins m;
    if (f.kind == FilterKind::Convolution || f.kind == FilterKind::ColorMatrix) return m;
    if (f.kind != FilterKind::Blur && PlacementOf(f) == Placement::Inner) return m;
    int dx = s.dx, dy = s.dy;
    if (IsBevel(f.kind)) {
        dx = std::abs(dx);
        dy = std::abs(dy);
        m = {s.reachX + dx, s.reachY + dy, s.reachX + dx, s.reachY + dy};
        return m;
    }
    m.left = s.reachX + std::max(0, -dx);
    m.right = s.reachX + std::max(0, dx);
    m.top = s.reachY + std::max(0, -dy);
    m.bottom = s.reachY + std::max(0, dy);
    return m;
}

void Grow(EffectImage& image, const Margins& m) {
    if (m == Margins()) return;
    const FrameBuffer& old = image.pixels;
    FrameBuffer grown(old.Width() + m.left + m.right, old.Height() + m.top + m.bottom);
    for (int y = 0; y < old.Height(); ++y)
        std::copy(old.Row(y), old.Row(y) + old.Width(), grown.Row(y + m.top) + m.left);
    image.pixels = std::move(grown);
    image.x -= m.left;
    image.y -= m.top;
}

void BuildFilterRamp(const Filter& f, uint32_t ramp[256]) {
    Gradient g;
    for (const FilterStop& s : f.stops) g.stops.push_back({s.ratio, s.color});
    if (g.stops.empty()) {
        std::fill(ramp, ramp + 256, 0u);
        return;
    }
    BuildRamp(g, ColorTransform(), ramp);
}

void ApplyBlurBased(const Filter& f, const Scaled& s, EffectImage& image) {
    Grow(image, MarginsOf(f, s));
    FrameBuffer& px = image.pixels;
    const Placement where = PlacementOf(f);
    const bool bevel = IsBevel(f.kind);
    const bool invert = !bevel && where == Placement::Inner;
    const int pad = (where == Placement::Outer && !bevel)
                        ? 0
                        : std::max(s.reachX, s.reachY) + std::max(std::abs(s.dx), std::abs(s.dy));
    const AlphaField alpha = BlurredAlpha(px, invert, pad, s);
    uint32_t ramp[256];
    const bool gradient = f.kind == FilterKind::GradientGlow || f.kind == FilterKind::GradientBevel;
    if (gradient) BuildFilterRamp(f, ramp);
    const uint32_t color = FrameBuffer::Premultiply(f.color);
    const uint32_t light = FrameBuffer::Premultiply(f.highlight);
    for (int y = 0; y < px.Height(); ++y) {
        uint32_t* row = px.Row(y);
        for (int x = 0; x < px.Width(); ++x) {
            uint32_t effect;
            if (bevel) {
                int lit = alpha.At(x + s.dx, y + s.dy) - alpha.At(x - s.dx, y - s.dy);
                int v = lit < 0 ? -Strengthen(-lit, f.strength) : Strengthen(lit, f.strength);
                if (gradient)
                    effect = ramp[(256 - v) / 2];
                else
                    effect = v >= 0 ? ScalePacked(light, uint32_t(v)) : ScalePacked(color, uint32_t(-v));
            } else {
                int amount = Strengthen(alpha.At(x - s.dx, y - s.dy), f.strength);
                effect = gradient ? ramp[amount] : ScalePacked(color, uint32_t(amount));
            }
            row[x] = Meet(effect, row[x], where, f);
        }
    }
}

}  // namespace

Margins FilterMargins(const Filter& f, FilterScale scale) { return MarginsOf(f, ScaleOf(f, scale)); }

Margins FilterListMargins(const FilterList& filters, FilterScale scale) {
    Margins total;
    for (const Filter& f : filters) {
        Margins m = FilterMargins(f, scale);
        total.left += m.left;
        total.top += m.top;
        total.right += m.right;
        total.bottom += m.bottom;
    }
    return total;
}

void ApplyFilter(const Filter& f, FilterScale scale, EffectImage& image) {
    switch (f.kind) {
    case FilterKind::ColorMatrix: ApplyColorMatrix(f, image.pixels); return;
    case FilterKind::Convolution: ApplyConvolution(f, image.pixels); return;
    case FilterKind::Blur: {
        Scaled s = ScaleOf(f, scale);
        Grow(image, MarginsOf(f, s));
        BoxBlur(image.pixels, s.blurX, s.blurY, s.passes);
        return;
    }
    default: ApplyBlurBased(f, ScaleOf(f, scale), image); return;
    }
}

void ApplyFilters(const FilterList& filters, FilterScale scale, EffectImage& image) {
    for (const Filter& f : filters) ApplyFilter(f, scale, image);
}

}  // namespace swf
