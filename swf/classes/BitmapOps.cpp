#include "swf/classes/BitmapOps.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "swf/classes/PerlinNoise.h"

namespace swf {

namespace {

template <typename F>
void EachPixel(const PixelSpan& s, F f) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) f(x, y);
}

uint64_t Gcd(uint64_t a, uint64_t b) {
    while (b) a = std::exchange(b, a % b);
    return a;
}

}  // namespace

PixelRect Intersect(PixelRect r, int width, int height) {
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = int(std::min<int64_t>(int64_t(r.x) + std::max(r.width, 0), width));
    const int y1 = int(std::min<int64_t>(int64_t(r.y) + std::max(r.height, 0), height));
    return x1 > x0 && y1 > y0 ? PixelRect{x0, y0, x1 - x0, y1 - y0} : PixelRect{};
}

bool ClipSpan(BitmapData& target, const BitmapData& source, PixelRect from, int64_t toX, int64_t toY,
              PixelSpan& s) {
    const PixelRect cut = Intersect(from, source.Width(), source.Height());
    toX += cut.x - from.x;
    toY += cut.y - from.y;
    const int64_t x0 = std::max<int64_t>(toX, 0), y0 = std::max<int64_t>(toY, 0);
    const int64_t x1 = std::min<int64_t>(toX + cut.width, target.Width());
    const int64_t y1 = std::min<int64_t>(toY + cut.height, target.Height());
    if (x1 <= x0 || y1 <= y0) return false;
    s.target = &target;
    s.source = &source;
    s.dx = int(x0), s.dy = int(y0), s.width = int(x1 - x0), s.height = int(y1 - y0);
    s.sx = int(cut.x + x0 - toX), s.sy = int(cut.y + y0 - toY);
    if (s.source == s.target) {
        s.saved.resize(size_t(s.width) * size_t(s.height));
        s.savedStored.resize(s.saved.size());
        EachPixel(s, [&](int x, int y) {
            const size_t i = size_t(y) * size_t(s.width) + size_t(x);
            s.saved[i] = source.GetPixel32(s.sx + x, s.sy + y);
            s.savedStored[i] = source.Pixels().At(s.sx + x, s.sy + y);
        });
    }
    return true;
}

ThresholdTest ThresholdTestOf(const std::string& op) {
    static const char* const kOps[] = {"<", "<=", ">", ">=", "==", "!="};
    for (int i = 0; i < 6; ++i)
        if (op == kOps[i]) return ThresholdTest(i);
    return ThresholdTest::Unknown;
}

// It works on kept pixels as they are: an opaque bitmap may end up holding
// translucent ones.
uint32_t ThresholdPixels(PixelSpan& s, ThresholdTest test, uint32_t limit, uint32_t color, uint32_t mask,
                         bool copySource) {
    limit &= mask;
    const uint32_t stored =
        FrameBuffer::Premultiply({uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color), uint8_t(color >> 24)});
    uint32_t passed = 0;
    EachPixel(s, [&](int x, int y) {
        const uint32_t p = s.SourceStored(x, y), v = p & mask;
        bool pass;
        switch (test) {
        case ThresholdTest::LessEqual: pass = v <= limit; break;
        case ThresholdTest::Greater: pass = v > limit; break;
        case ThresholdTest::GreaterEqual: pass = v >= limit; break;
        case ThresholdTest::Equal: pass = v == limit; break;
        case ThresholdTest::NotEqual: pass = v != limit; break;
        default: pass = v < limit; break;
        }
        if (pass) ++passed;
        if (pass) s.SetStored(x, y, stored);
        else if (copySource) s.SetStored(x, y, p);
    });
    return passed;
}

void MergePixels(PixelSpan& s, const uint32_t (&mult)[4]) {
    static const int kShifts[] = {16, 8, 0, 24};
    EachPixel(s, [&](int x, int y) {
        const uint32_t from = s.Source(x, y), to = s.Target(x, y);
        uint32_t out = 0;
        for (int c = 0; c < 4; ++c) {
            const int shift = kShifts[c];
            const uint32_t m = std::min(mult[c], 256u);
            const uint32_t f = (from >> shift) & 0xFF, t = (to >> shift) & 0xFF;
            out |= ((f * m + t * (256 - m)) >> 8) << shift;
        }
        s.Set(x, y, out);
    });
}

int ChannelShift(uint32_t flag) {
    switch (flag) {
    case 1: return 16;
    case 2: return 8;
    case 4: return 0;
    case 8: return 24;
    default: return -1;
    }
}

void CopyChannelPixels(PixelSpan& s, int fromShift, int toShift) {
    EachPixel(s, [&](int x, int y) {
        const uint32_t v = fromShift < 0 ? 0 : (s.Source(x, y) >> fromShift) & 0xFF;
        s.Set(x, y, (s.Target(x, y) & ~(0xFFu << toShift)) | v << toShift);
    });
}

void PaletteMapPixels(PixelSpan& s, const std::vector<uint32_t> (&maps)[4]) {
    static const int kShifts[] = {16, 8, 0, 24};
    EachPixel(s, [&](int x, int y) {
        const uint32_t p = s.Source(x, y);
        uint32_t out = 0;
        for (int c = 0; c < 4; ++c) {
            const uint32_t v = (p >> kShifts[c]) & 0xFF;
            out += maps[c].size() < 256 ? v << kShifts[c] : maps[c][v];
        }
        s.Set(x, y, out);
    });
}

uint64_t DissolvePixels(PixelSpan& s, uint64_t seed, uint64_t count, bool paint, uint32_t fillColor) {
    const uint64_t n = s.Area();
    if (n == 0) return 0;
    seed %= n;
    count = std::min(count, n - 1);
    // A step coprime with n walks a permutation of the rectangle.
    uint64_t step = (n * 5 / 8) | 1;
    while (Gcd(step, n) != 1) ++step;
    // The pixel at the seed and `count` after it: the next call starts on
    // the last one again, so calls in a row add `count` pixels each.
    for (uint64_t i = 0; i <= count; ++i) {
        const uint64_t at = (seed + i) % n * step % n;
        const int x = int(at % uint64_t(s.width)), y = int(at / uint64_t(s.width));
        s.Set(x, y, paint ? fillColor : s.Source(x, y));
    }
    return (seed + count) % n;
}

void FillNoise(BitmapData& d, int32_t seed, int low, int high, uint32_t channels, bool gray) {
    NoiseSource rng(seed);
    // A range that is empty or backwards gives the low value everywhere,
    // still drawing from the sequence so later channels line up.
    const uint32_t span = high >= low ? uint32_t(high - low + 1) : 1;
    auto next = [&] { return uint32_t(low) + rng.Next() % span; };
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x) {
            uint32_t r = 0, g = 0, b = 0, a = 255;
            if (gray) r = g = b = next();
            else {
                if (channels & 1) r = next();
                if (channels & 2) g = next();
                if (channels & 4) b = next();
            }
            // An opaque bitmap draws no alpha at all.
            if (channels & 8 && d.Transparent()) {
                // Noise keeps its colours premultiplied by a / 256, not
                // a / 255, so they read back a shade darker than a pixel
                // set by script.
                a = next();
                auto pre = [a](uint32_t c) { return (c * a + 128) >> 8; };
                d.SetStored(x, y, a << 24 | pre(r) << 16 | pre(g) << 8 | pre(b));
                continue;
            }
            d.SetPixel32(x, y, a << 24 | r << 16 | g << 8 | b);
        }
}

bool FloodFillPixels(BitmapData& d, int x, int y, uint32_t argb) {
    const int w = d.Width(), h = d.Height();
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    const uint32_t old = d.Pixels().At(x, y);
    d.SetPixel32(x, y, argb);
    if (d.Pixels().At(x, y) == old) return false;
    d.SetStored(x, y, old);
    // Pixel indices: at most one entry a pixel, 4 bytes each.
    std::vector<bool> seen(size_t(w) * size_t(h));
    std::vector<uint32_t> todo{uint32_t(y) * uint32_t(w) + uint32_t(x)};
    seen[todo[0]] = true;
    while (!todo.empty()) {
        const uint32_t at = todo.back();
        todo.pop_back();
        const int px = int(at % uint32_t(w)), py = int(at / uint32_t(w));
        d.SetPixel32(px, py, argb);
        const std::pair<int, int> next[] = {{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
        for (const auto& [nx, ny] : next) {
            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
            const uint32_t i = uint32_t(ny) * uint32_t(w) + uint32_t(nx);
            if (seen[i]) continue;
            seen[i] = true;
            if (d.Pixels().At(nx, ny) == old) todo.push_back(i);
        }
    }
    return true;
}

uint32_t HitAlphaAt(const BitmapData& d, int x, int y) {
    if (x < 0 || y < 0 || x >= d.Width() || y >= d.Height()) return 0;
    return d.Transparent() ? d.GetPixel32(x, y) >> 24 : 255;
}

bool AnyAlphaAtLeast(const BitmapData& d, PixelRect r, uint32_t threshold) {
    r = Intersect(r, d.Width(), d.Height());
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            if (HitAlphaAt(d, x, y) >= threshold) return true;
    return false;
}

bool BitmapsOverlap(const BitmapData& d, uint32_t first, const BitmapData& other, int dx, int dy, uint32_t second) {
    const PixelRect both = Intersect({dx, dy, other.Width(), other.Height()}, d.Width(), d.Height());
    for (int y = both.y; y < both.y + both.height; ++y)
        for (int x = both.x; x < both.x + both.width; ++x)
            if (HitAlphaAt(d, x, y) >= first && HitAlphaAt(other, x - dx, y - dy) >= second) return true;
    return false;
}

uint32_t PixelDifference(uint32_t p, uint32_t q) {
    auto sub = [&](int shift) { return ((p >> shift) - (q >> shift)) & 0xFF; };
    if ((p & 0xFFFFFF) != (q & 0xFFFFFF)) return 0xFF000000u | sub(16) << 16 | sub(8) << 8 | sub(0);
    if (p != q) return sub(24) << 24 | 0xFFFFFF;
    return 0;
}

PixelRect ColorBounds(const BitmapData& d, uint32_t mask, uint32_t color, bool find) {
    color &= mask;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x)
            if (((d.GetPixel32(x, y) & mask) == color) == find) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    // The reference takes a far corner still at the origin for nothing
    // found, so a match of the top-left pixel alone gives no rectangle.
    if (x1 <= 0 && y1 <= 0) return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

}  // namespace swf
