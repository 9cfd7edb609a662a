#include "swf/classes/PerlinNoise.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

constexpr int64_t kOne = 1 << 16;

// A lattice permutation per noise plane, shuffled by a minimal standard
// generator from the seed.
struct Lattice {
    uint8_t perm[256];

    int Hash(int64_t ix, int64_t iy) const { return perm[(perm[ix & 255] + (iy & 255)) & 255]; }
};

Lattice Shuffled(uint32_t& state) {
    Lattice l;
    for (int i = 0; i < 256; ++i) l.perm[i] = uint8_t(i);
    for (int i = 255; i > 0; --i) {
        state = uint32_t(uint64_t(state) * 16807u % 2147483647u);
        std::swap(l.perm[i], l.perm[state % uint32_t(i + 1)]);
    }
    return l;
}

int64_t Fade(int64_t t) {  // 6t^5 - 15t^4 + 10t^3
    const int64_t t3 = (t * t >> 16) * t >> 16;
    return t3 * ((t * (6 * t - 15 * kOne) >> 16) + 10 * kOne) >> 16;
}

int64_t Lerp(int64_t a, int64_t b, int64_t t) { return a + ((b - a) * t >> 16); }

int64_t Gradient(int hash, int64_t fx, int64_t fy) {
    switch (hash & 7) {
    case 0: return fx + fy;
    case 1: return -fx + fy;
    case 2: return fx - fy;
    case 3: return -fx - fy;
    case 4: return fx;
    case 5: return -fx;
    case 6: return fy;
    default: return -fy;
    }
}

int64_t Wrap(int64_t i, int64_t period) { return period > 0 ? ((i % period) + period) % period : i; }

// One axis of one octave: fixed-point lattice position of pixel 0 and the
// step from pixel to pixel, and the lattice period when stitched.
struct Axis {
    int64_t start = 0, step = 0, period = 0;
};

Axis AxisFor(double base, int octave, int size, double offset, bool stitch) {
    Axis a;
    double cells = std::ldexp(1.0, octave) / base;  // lattice cells a pixel
    if (stitch) {
        a.period = std::max<int64_t>(1, std::llround(cells * size));
        cells = double(a.period) / size;
    }
    a.step = std::llround(cells * kOne);
    a.start = std::llround(std::clamp(offset, -1e6, 1e6) * cells * kOne);
    return a;
}

// Noise at a fixed-point lattice position, about -1..1 in 16.16.
int64_t Noise(const Lattice& l, int64_t u, int64_t v, int64_t periodX, int64_t periodY) {
    const int64_t ix = u >> 16, iy = v >> 16, fx = u & (kOne - 1), fy = v & (kOne - 1);
    const int64_t x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    const int64_t y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    const int64_t sx = Fade(fx), sy = Fade(fy);
    const int64_t top = Lerp(Gradient(l.Hash(x0, y0), fx, fy), Gradient(l.Hash(x1, y0), fx - kOne, fy), sx);
    const int64_t bottom =
        Lerp(Gradient(l.Hash(x0, y1), fx, fy - kOne), Gradient(l.Hash(x1, y1), fx - kOne, fy - kOne), sx);
    return Lerp(top, bottom, sy);
}

double Base(double b) {
    b = std::fabs(b);
    return std::isfinite(b) ? std::clamp(b, 1.0 / 1024, 1e6) : 1;
}

}  // namespace

int PerlinPlanes(const PerlinOptions& o, bool transparent) {
    const int colours = o.gray ? (o.channels & 7 ? 1 : 0)
                               : int(o.channels & 1) + int(o.channels >> 1 & 1) + int(o.channels >> 2 & 1);
    return colours + (transparent && (o.channels & 8) ? 1 : 0);
}

void FillPerlinNoise(BitmapData& d, const PerlinOptions& o) {
    const int w = d.Width(), h = d.Height(), octaves = std::clamp(o.octaves, 1, kMaxPerlinOctaves);
    const double bx = Base(o.baseX), by = Base(o.baseY);
    // Planes: red, green, blue, alpha (gray uses red's for all three).
    uint32_t state = uint32_t(o.seed) % 2147483647u;
    if (state == 0) state = 1;
    Lattice planes[4];
    for (Lattice& l : planes) l = Shuffled(state);
    bool wanted[4] = {(o.channels & 1) != 0, (o.channels & 2) != 0, (o.channels & 4) != 0,
                      d.Transparent() && (o.channels & 8) != 0};
    if (o.gray) wanted[0] = (o.channels & 7) != 0, wanted[1] = wanted[2] = false;
    std::vector<Axis> xs, ys;
    for (int k = 0; k < octaves; ++k) {
        const GeomPoint off = size_t(k) < o.offsets.size() ? o.offsets[size_t(k)] : GeomPoint{};
        xs.push_back(AxisFor(bx, k, w, off.x, o.stitch));
        ys.push_back(AxisFor(by, k, h, off.y, o.stitch));
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t value[4] = {0, 0, 0, 255};
            for (int c = 0; c < 4; ++c) {
                if (!wanted[c]) continue;
                int64_t sum = 0;
                for (int k = 0; k < octaves; ++k) {
                    const Axis &ax = xs[size_t(k)], &ay = ys[size_t(k)];
                    const int64_t n =
                        Noise(planes[c], ax.start + x * ax.step, ay.start + y * ay.step, ax.period, ay.period);
                    sum += (o.fractal ? n : std::llabs(n)) >> k;
                }
                const int64_t level = o.fractal ? (sum + kOne) * 255 / (2 * kOne) : sum * 255 / kOne;
                value[c] = uint32_t(std::clamp<int64_t>(level, 0, 255));
            }
            if (o.gray) value[1] = value[2] = value[0];
            d.SetPixel32(x, y, value[3] << 24 | value[0] << 16 | value[1] << 8 | value[2]);
        }
}

}  // namespace swf
