// The colour-matrix and convolution filters. Both work on straight colour:
// each pixel is un-premultiplied (rounded), transformed with 16.16 factors,
// clamped and premultiplied again.
#include <algorithm>
#include <vector>

#include "swf/render/Filters.h"

namespace swf {

namespace {

constexpr int kRound16 = 1 << 15;

Rgba Straight(uint32_t p) {
    uint32_t a = p >> 24;
    if (a == 0) return {0, 0, 0, 0};
    auto ch = [a](uint32_t v) { return uint8_t(std::min<uint32_t>(255, (v * 255 + a / 2) / a)); };
    return {ch((p >> 16) & 0xFF), ch((p >> 8) & 0xFF), ch(p & 0xFF), uint8_t(a)};
}

uint8_t Clamp16(int64_t v) { return uint8_t(std::clamp<int64_t>((v + kRound16) >> 16, 0, 255)); }

}  // namespace

void ApplyColorMatrix(const Filter& f, FrameBuffer& pixels) {
    const auto& m = f.matrix;
    constexpr int kRow = kColorMatrixSize / 4;
    for (int y = 0; y < pixels.Height(); ++y) {
        uint32_t* row = pixels.Row(y);
        for (int x = 0; x < pixels.Width(); ++x) {
            Rgba c = Straight(row[x]);
            const int64_t in[4] = {c.r, c.g, c.b, c.a};
            uint8_t out[4];
            for (int k = 0; k < 4; ++k) {
                const int32_t* r = m.data() + k * kRow;
                out[k] = Clamp16(r[0] * in[0] + r[1] * in[1] + r[2] * in[2] + r[3] * in[3] + r[4]);
            }
            row[x] = FrameBuffer::Premultiply({out[0], out[1], out[2], out[3]});
        }
    }
}

void ApplyConvolution(const Filter& f, FrameBuffer& pixels) {
    const int mx = f.matrixX, my = f.matrixY, w = pixels.Width(), h = pixels.Height();
    if (mx == 0 || my == 0 || f.weights.size() != size_t(mx) * my || w == 0 || h == 0) return;
    std::vector<Rgba> src(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) src[size_t(y) * w + x] = Straight(pixels.Row(y)[x]);
    auto sample = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) {
            if (!f.clamp) return f.defaultColor;
            x = std::clamp(x, 0, w - 1);
            y = std::clamp(y, 0, h - 1);
        }
        return src[size_t(y) * w + x];
    };
    for (int y = 0; y < h; ++y) {
        uint32_t* row = pixels.Row(y);
        for (int x = 0; x < w; ++x) {
            int64_t sum[4] = {f.bias, f.bias, f.bias, f.bias};
            for (int j = 0; j < my; ++j)
                for (int i = 0; i < mx; ++i) {
                    const int64_t k = f.weights[size_t(j) * mx + i];
                    Rgba c = sample(x + i - mx / 2, y + j - my / 2);
                    sum[0] += k * c.r;
                    sum[1] += k * c.g;
                    sum[2] += k * c.b;
                    sum[3] += k * c.a;
                }
            Rgba out{Clamp16(sum[0]), Clamp16(sum[1]), Clamp16(sum[2]), Clamp16(sum[3])};
            if (f.preserveAlpha) out.a = src[size_t(y) * w + x].a;
            row[x] = FrameBuffer::Premultiply(out);
        }
    }
}

}  // namespace swf
