#include "swf/render/BlendModes.h"

#include <algorithm>
#include <cstdlib>

#include "swf/render/Paint.h"
#include "swf/render/PixelOps.h"

namespace swf {

namespace {

// a * b / 255 rounded, for channels 0..255 (a negative product counts as 0).
inline int Mul(int a, int b) { return int(Div255(uint32_t(std::max(0, a * b)))); }

struct Px {
    int a, r, g, b;
    explicit Px(uint32_t v)
        : a(int(v >> 24)), r(int((v >> 16) & 0xFF)), g(int((v >> 8) & 0xFF)), b(int(v & 0xFF)) {}
};

// A colour channel can never exceed its alpha in premultiplied form.
inline uint32_t PackClamped(int a, int r, int g, int b) {
    a = std::clamp(a, 0, 255);
    auto ch = [a](int v) { return uint32_t(std::clamp(v, 0, a)); };
    return (uint32_t(a) << 24) | (ch(r) << 16) | (ch(g) << 8) | ch(b);
}

// The overlap term f(s, d) of a separable mode; sa and da are the alphas.
int Overlap(BlendMode m, int s, int d, int sa, int da) {
    switch (m) {
    case BlendMode::Multiply: return Mul(s, d);
    case BlendMode::Screen: return Mul(s, da) + Mul(d, sa) - Mul(s, d);
    case BlendMode::Lighten: return std::max(Mul(s, da), Mul(d, sa));
    case BlendMode::Darken: return std::min(Mul(s, da), Mul(d, sa));
    case BlendMode::Difference: return std::abs(Mul(s, da) - Mul(d, sa));
    case BlendMode::HardLight:
        if (2 * s <= sa) return 2 * Mul(s, d);
        return Mul(sa, da) - 2 * Mul(da - d, sa - s);
    case BlendMode::Overlay:
        if (2 * d <= da) return 2 * Mul(s, d);
        return Mul(sa, da) - 2 * Mul(da - d, sa - s);
    default: return Mul(s, da);  // normal: the source where both are
    }
}

uint32_t Separable(BlendMode m, const Px& s, const Px& d) {
    auto ch = [&](int sc, int dc) {
        return Overlap(m, sc, dc, s.a, d.a) + Mul(sc, 255 - d.a) + Mul(dc, 255 - s.a);
    };
    int a = s.a + d.a - Mul(s.a, d.a);
    return PackClamped(a, ch(s.r, d.r), ch(s.g, d.g), ch(s.b, d.b));
}

}  // namespace

uint32_t BlendModePixel(BlendMode mode, uint32_t dst, uint32_t src) {
    const Px s(src), d(dst);
    switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Layer: return BlendPixel(dst, src, 255);
    case BlendMode::Add:
        return PackClamped(std::min(255, s.a + d.a), s.r + d.r, s.g + d.g, s.b + d.b);
    case BlendMode::Subtract: {
        int a = s.a + d.a - Mul(s.a, d.a);
        return PackClamped(a, d.r - s.r, d.g - s.g, d.b - s.b);
    }
    case BlendMode::Invert: {
        auto ch = [&](int dc) { return Mul(d.a - dc, s.a) + Mul(dc, 255 - s.a); };
        return PackClamped(d.a, ch(d.r), ch(d.g), ch(d.b));
    }
    case BlendMode::Alpha: return PackClamped(Mul(d.a, s.a), Mul(d.r, s.a), Mul(d.g, s.a), Mul(d.b, s.a));
    case BlendMode::Erase: {
        int k = 255 - s.a;
        return PackClamped(Mul(d.a, k), Mul(d.r, k), Mul(d.g, k), Mul(d.b, k));
    }
    default: return Separable(mode, s, d);
    }
}

void CompositeBlend(FrameBuffer& dst, const FrameBuffer& src, int x, int y, BlendMode mode,
                    uint8_t alpha) {
    const int x0 = std::max(0, x), x1 = std::min(dst.Width(), x + src.Width());
    const int y0 = std::max(0, y), y1 = std::min(dst.Height(), y + src.Height());
    const bool plain = mode == BlendMode::Normal || mode == BlendMode::Layer;
    for (int ty = y0; ty < y1; ++ty) {
        uint32_t* out = dst.Row(ty);
        const uint32_t* in = src.Row(ty - y) - x;
        for (int tx = x0; tx < x1; ++tx) {
            uint32_t s = in[tx];
            if (plain) {
                if (s != 0) out[tx] = BlendPixel(out[tx], s, alpha);
                continue;
            }
            if (alpha != 255) s = BlendPixel(0, s, alpha);
            out[tx] = BlendModePixel(mode, out[tx], s);
        }
    }
}

}  // namespace swf
