#include "swf/render/Blur.h"

#include <algorithm>
#include <cstddef>

namespace swf {

namespace {

constexpr int kFracBits = 8;
constexpr int32_t kOne = 1 << kFracBits;
// Window sums are divided by multiplying with a 44-bit reciprocal: sums stay
// below 2^24 and windows are at least one pixel, so the quotient is exact.
constexpr int kRecipShift = 44;

struct Divider {
    uint64_t weight;  // the window's total weight, 1/256
    uint64_t recip;
    explicit Divider(const BoxWindow& w)
        : weight(uint64_t(2 * w.radius + 1) * kOne + 2 * uint64_t(w.frac)),
          recip((uint64_t(1) << kRecipShift) / weight + 1) {}
    // floor(num / weight): averages round down, so a blurred edge never
    // reaches full strength early.
    uint8_t operator()(uint64_t num) const { return uint8_t((num * recip) >> kRecipShift); }
};

// Blurs `n` pixels of C channels starting at `line`, `step` bytes apart.
template <int C>
void BlurLine(uint8_t* line, std::ptrdiff_t step, int n, const BoxWindow& w, const Divider& div,
              std::vector<uint8_t>& tmp) {
    const int pad = w.radius + 1;
    tmp.assign(size_t(n + 2 * pad) * C, 0);
    for (int x = 0; x < n; ++x)
        for (int c = 0; c < C; ++c) tmp[size_t(pad + x) * C + c] = line[x * step + c];
    uint32_t sum[C] = {};
    for (int i = pad - w.radius; i < pad + w.radius; ++i)
        for (int c = 0; c < C; ++c) sum[c] += tmp[size_t(i) * C + c];
    const uint8_t* t = tmp.data();
    for (int x = 0; x < n; ++x) {
        const int mid = pad + x;
        const uint8_t* in = t + size_t(mid + w.radius) * C;
        const uint8_t* out = t + size_t(mid - w.radius) * C;
        const uint8_t* before = out - C;
        const uint8_t* after = in + C;
        for (int c = 0; c < C; ++c) {
            sum[c] += in[c];
            uint64_t num = uint64_t(sum[c]) * kOne + uint64_t(before[c] + after[c]) * w.frac;
            line[x * step + c] = div(num);
            sum[c] -= out[c];
        }
    }
}

// The vertical pass runs down all columns at once, row by row, so memory is
// read in order: one window sum per sample of a row, from a copy of the
// plane (rows beyond it count as 0).
void BlurColumns(uint8_t* data, int rowBytes, int height, const BoxWindow& w, const Divider& div,
                 std::vector<uint8_t>& copy, std::vector<uint32_t>& sums) {
    copy.assign(data, data + size_t(rowBytes) * height);
    sums.assign(size_t(rowBytes), 0);
    auto row = [&](int y) -> const uint8_t* {
        return y < 0 || y >= height ? nullptr : copy.data() + size_t(y) * rowBytes;
    };
    for (int y = -w.radius; y < w.radius; ++y)
        if (const uint8_t* in = row(y))
            for (int i = 0; i < rowBytes; ++i) sums[size_t(i)] += in[i];
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = row(y + w.radius);
        const uint8_t* out = row(y - w.radius);
        const uint8_t* before = row(y - w.radius - 1);
        const uint8_t* after = row(y + w.radius + 1);
        uint8_t* dst = data + size_t(y) * rowBytes;
        for (int i = 0; i < rowBytes; ++i) {
            uint32_t& sum = sums[size_t(i)];
            if (in) sum += in[i];
            uint32_t edges = (before ? before[i] : 0u) + (after ? after[i] : 0u);
            dst[i] = div(uint64_t(sum) * kOne + uint64_t(edges) * w.frac);
            if (out) sum -= out[i];
        }
    }
}

template <int C>
void BlurSamples(uint8_t* data, int width, int height, const BoxWindow& wx, const BoxWindow& wy,
                 int passes) {
    std::vector<uint8_t> tmp;
    const int rowBytes = width * C;
    if (wx.Blurs()) {
        Divider div(wx);
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < height; ++y) BlurLine<C>(data + size_t(y) * rowBytes, C, width, wx, div, tmp);
    }
    if (wy.Blurs()) {
        Divider div(wy);
        std::vector<uint32_t> sums;
        for (int pass = 0; pass < passes; ++pass) BlurColumns(data, rowBytes, height, wy, div, tmp, sums);
    }
}

}  // namespace

BoxWindow BoxWindowFor(int32_t width16) {
    int32_t w = std::clamp(width16, 0, kMaxBlurPixels << 16) >> (16 - kFracBits);
    BoxWindow box;
    if (w <= kOne) return box;
    box.radius = (w - kOne) / (2 * kOne);
    box.frac = (w - kOne - 2 * kOne * box.radius) / 2;
    return box;
}

int32_t BlurReach(int32_t width16, int passes) { return BoxWindowFor(width16).Reach() * passes; }

void BoxBlur(Plane& plane, int32_t widthX16, int32_t widthY16, int passes) {
    BoxWindow wx = BoxWindowFor(widthX16), wy = BoxWindowFor(widthY16);
    if (plane.data.empty() || passes <= 0) return;
    if (plane.channels == 4)
        BlurSamples<4>(plane.data.data(), plane.width, plane.height, wx, wy, passes);
    else
        BlurSamples<1>(plane.data.data(), plane.width, plane.height, wx, wy, passes);
}

void BoxBlur(FrameBuffer& pixels, int32_t widthX16, int32_t widthY16, int passes) {
    if (pixels.Data() == nullptr || passes <= 0) return;
    BlurSamples<4>(reinterpret_cast<uint8_t*>(pixels.Data()), pixels.Width(), pixels.Height(),
                   BoxWindowFor(widthX16), BoxWindowFor(widthY16), passes);
}

}  // namespace swf
