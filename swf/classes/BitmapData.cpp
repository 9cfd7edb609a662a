#include "swf/classes/BitmapData.h"

#include <algorithm>
#include <vector>

#include "swf/render/RasterBackend.h"

namespace swf {

namespace {

size_t BytesFor(int w, int h) { return size_t(w) * size_t(h) * sizeof(uint32_t); }

Rgba Straight(uint32_t argb) {
    return {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)};
}

uint32_t Pack(Rgba c) { return FrameBuffer::Pack(c.a, c.r, c.g, c.b); }

// Source over destination, both premultiplied. What shows through is
// truncated, not rounded, as the original player's merge does.
uint32_t Over(uint32_t src, uint32_t dst) {
    const unsigned inv = 255 - (src >> 24);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const unsigned s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        out |= std::min(255u, s + d * inv / 255) << shift;
    }
    return out;
}

}  // namespace

bool BitmapMemory::Take(size_t bytes) {
    if (bytes > limit_ - used_) return false;
    used_ += bytes;
    return true;
}

uint32_t Unpremultiply(uint32_t p) { return Pack(FrameBuffer::Unpremultiply(p)); }

std::unique_ptr<BitmapData> BitmapData::Create(int width, int height, bool transparent, uint32_t fillArgb,
                                               BitmapMemory& memory) {
    if (!FitsVersion(width, height, 10)) return nullptr;
    if (!memory.Take(BytesFor(width, height))) return nullptr;
    std::unique_ptr<BitmapData> b(new BitmapData(width, height, transparent, memory));
    const uint32_t v = b->Store(fillArgb);
    std::fill(b->pixels_.Data(), b->pixels_.Data() + size_t(width) * height, v);
    return b;
}

BitmapData::BitmapData(int width, int height, bool transparent, BitmapMemory& memory)
    : pixels_(width, height), transparent_(transparent), memory_(memory) {}

BitmapData::~BitmapData() { Dispose(); }

void BitmapData::Dispose() {
    if (disposed_) return;
    memory_.Give(BytesFor(pixels_.Width(), pixels_.Height()));
    pixels_.Resize(0, 0);
    disposed_ = true;
}

uint32_t BitmapData::Store(uint32_t argb) const {
    if (!transparent_) argb |= 0xFF000000u;
    return FrameBuffer::Premultiply(Straight(argb));
}

bool BitmapData::Clip(PixelRect& r) const {
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = int(std::min<int64_t>(int64_t(r.x) + std::max(r.width, 0), pixels_.Width()));
    const int y1 = int(std::min<int64_t>(int64_t(r.y) + std::max(r.height, 0), pixels_.Height()));
    if (x1 <= x0 || y1 <= y0) return false;
    r = {x0, y0, x1 - x0, y1 - y0};
    return true;
}

uint32_t BitmapData::GetPixel(int x, int y) const { return GetPixel32(x, y) & 0xFFFFFF; }

// Scripts read a translucent pixel back rounded to nearest, halves down.
uint32_t BitmapData::GetPixel32(int x, int y) const {
    if (x < 0 || y < 0 || x >= pixels_.Width() || y >= pixels_.Height()) return 0;
    const uint32_t p = pixels_.At(x, y);
    const unsigned a = p >> 24;
    // An opaque bitmap reads back what it keeps.
    if (!transparent_ || a == 255) return p;
    if (a == 0) return 0;
    auto ch = [a](unsigned v) { return std::min(255u, (v * 255 + (a - 1) / 2) / a); };
    return FrameBuffer::Pack(uint8_t(a), uint8_t(ch((p >> 16) & 0xFF)), uint8_t(ch((p >> 8) & 0xFF)),
                             uint8_t(ch(p & 0xFF)));
}

void BitmapData::SetPixel(int x, int y, uint32_t rgb) {
    const uint32_t alpha = GetPixel32(x, y) & 0xFF000000u;
    SetPixel32(x, y, alpha | (rgb & 0xFFFFFF));
}

void BitmapData::SetPixel32(int x, int y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= pixels_.Width() || y >= pixels_.Height()) return;
    pixels_.Row(y)[x] = Store(argb);
}

void BitmapData::SetStored(int x, int y, uint32_t premultiplied) {
    if (x < 0 || y < 0 || x >= pixels_.Width() || y >= pixels_.Height()) return;
    pixels_.Row(y)[x] = premultiplied;
}

void BitmapData::FillRect(PixelRect r, uint32_t argb) {
    if (!Clip(r)) return;
    const uint32_t v = Store(argb);
    for (int y = r.y; y < r.y + r.height; ++y) std::fill_n(pixels_.Row(y) + r.x, r.width, v);
}

void BitmapData::CopyPixels(const BitmapData& source, PixelRect from, int toX, int toY, bool mergeAlpha) {
    // Clip in the source, then move the destination by what was cut off.
    const PixelRect asked = from;
    if (!source.Clip(from)) return;
    PixelRect to{int(std::clamp<int64_t>(int64_t(toX) + from.x - asked.x, INT32_MIN, INT32_MAX)),
                 int(std::clamp<int64_t>(int64_t(toY) + from.y - asked.y, INT32_MIN, INT32_MAX)), from.width,
                 from.height};
    const PixelRect unclipped = to;
    if (!Clip(to)) return;
    from.x += to.x - unclipped.x;
    from.y += to.y - unclipped.y;
    // Rows go through a copy, and bottom-up when a bitmap moves its own
    // pixels down, so a bitmap can copy onto itself.
    const bool bottomUp = &source == this && to.y > from.y;
    std::vector<uint32_t> row(size_t(to.width));
    for (int i = 0; i < to.height; ++i) {
        const int r = bottomUp ? to.height - 1 - i : i;
        const uint32_t* src = source.pixels_.Row(from.y + r) + from.x;
        std::copy(src, src + to.width, row.begin());
        uint32_t* dst = pixels_.Row(to.y + r) + to.x;
        for (int x = 0; x < to.width; ++x) {
            uint32_t p = mergeAlpha ? Over(row[size_t(x)], dst[x]) : row[size_t(x)];
            // An opaque bitmap takes the colour as kept, premultiplied,
            // and only forces its alpha.
            if (!transparent_) p |= 0xFF000000u;
            dst[x] = p;
        }
    }
}

void BitmapData::ApplyColorTransform(PixelRect r, const ColorTransform& t) {
    if (!Clip(r)) return;
    for (int y = r.y; y < r.y + r.height; ++y) {
        uint32_t* row = pixels_.Row(y);
        for (int x = r.x; x < r.x + r.width; ++x) row[x] = Store(Pack(t.Apply(Straight(Unpremultiply(row[x])))));
    }
}

uint64_t BitmapData::Draw(const std::function<void(RenderBackend&)>& draw) {
    if (disposed_) return 0;
    RasterBackend backend(pixels_);
    draw(backend);
    return backend.Work();
}

}  // namespace swf
