// flash.display.BitmapData's pixels: a premultiplied 32-bit buffer (the
// renderer's own FrameBuffer, so draw() renders straight into it) with the
// pixel operations scripts call.
//
// Like the original player, pixels are kept premultiplied: a colour read
// back from a translucent pixel may differ slightly from what was written.
// Memory is bounded twice: sides of 1..2880 pixels, and a budget shared by
// every bitmap of a movie (BitmapMemory) that creation draws from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "swf/model/Color.h"
#include "swf/model/FrameBuffer.h"

namespace swf {

class RenderBackend;
struct Filter;

class BitmapMemory {
public:
    static constexpr size_t kDefaultLimit = size_t(256) << 20;
    explicit BitmapMemory(size_t limit = kDefaultLimit) : limit_(limit) {}
    bool Take(size_t bytes);
    void Give(size_t bytes) { used_ -= bytes < used_ ? bytes : used_; }
    size_t Used() const { return used_; }

private:
    size_t limit_;
    size_t used_ = 0;
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class BitmapData {
public:
    // Movies before SWF 10 get sides up to kMaxSide; later ones any shape
    // up to kMaxLargeSide a side and kMaxLargePixels in all.
    static constexpr int kMaxSide = 2880;
    static constexpr int kMaxLargeSide = 8191;
    static constexpr int64_t kMaxLargePixels = 16777215;
    static bool FitsVersion(int64_t width, int64_t height, int version) {
        if (width < 1 || height < 1) return false;
        if (version < 10) return width <= kMaxSide && height <= kMaxSide;
        return width <= kMaxLargeSide && height <= kMaxLargeSide && width * height <= kMaxLargePixels;
    }

    // Nothing for a size no version allows or when the budget is spent.
    static std::unique_ptr<BitmapData> Create(int width, int height, bool transparent, uint32_t fillArgb,
                                              BitmapMemory& memory);
    ~BitmapData();
    BitmapData(const BitmapData&) = delete;
    BitmapData& operator=(const BitmapData&) = delete;

    // -1 once disposed, as scripts see it.
    int Width() const { return disposed_ ? -1 : pixels_.Width(); }
    int Height() const { return disposed_ ? -1 : pixels_.Height(); }
    bool Transparent() const { return transparent_; }
    bool Disposed() const { return disposed_; }
    void Dispose();

    // Outside the bitmap: reads give 0, writes do nothing.
    uint32_t GetPixel(int x, int y) const;    // 0xRRGGBB
    uint32_t GetPixel32(int x, int y) const;  // 0xAARRGGBB
    void SetPixel(int x, int y, uint32_t rgb);  // keeps the pixel's alpha
    void SetPixel32(int x, int y, uint32_t argb);
    // A pixel as kept (premultiplied), alpha and all, even in an opaque
    // bitmap: threshold writes this way.
    void SetStored(int x, int y, uint32_t premultiplied);

    // Rectangles are clipped to the bitmaps.
    void FillRect(PixelRect r, uint32_t argb);
    void CopyPixels(const BitmapData& source, PixelRect from, int toX, int toY, bool mergeAlpha);
    void ApplyColorTransform(PixelRect r, const ColorTransform& t);
    // `draw` makes DrawShape calls (target twips = bitmap pixels * 20); they
    // are composited over the bitmap's pixels. Returns the rasteriser's work,
    // which grows with the drawing's edges, not the bitmap's size.
    uint64_t Draw(const std::function<void(RenderBackend&)>& draw);

    const FrameBuffer& Pixels() const { return pixels_; }

private:
    friend bool ApplyBitmapFilter(BitmapData&, const BitmapData&, PixelRect, int, int, const Filter&);
    BitmapData(int width, int height, bool transparent, BitmapMemory& memory);
    uint32_t Store(uint32_t argb) const;  // straight colour to a stored pixel
    bool Clip(PixelRect& r) const;

    FrameBuffer pixels_;
    bool transparent_;
    bool disposed_ = false;
    BitmapMemory& memory_;
};

// A premultiplied pixel back to straight 0xAARRGGBB.
uint32_t Unpremultiply(uint32_t pixel);

}  // namespace swf
