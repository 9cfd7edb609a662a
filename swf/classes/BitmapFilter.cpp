#include "swf/classes/BitmapFilter.h"

#include <algorithm>

#include "swf/render/Filters.h"

namespace swf {

bool ApplyBitmapFilter(BitmapData& target, const BitmapData& source, PixelRect from, int toX, int toY,
                       const Filter& filter) {
    if (target.Disposed() || source.Disposed()) return false;
    const PixelRect asked = from;
    if (!source.Clip(from)) return false;
    // Through a copy, so a bitmap can filter itself.
    EffectImage image;
    image.pixels.Resize(from.width, from.height);
    for (int y = 0; y < from.height; ++y) {
        const uint32_t* src = source.pixels_.Row(from.y + y) + from.x;
        std::copy(src, src + from.width, image.pixels.Row(y));
    }
    ApplyFilter(filter, FilterScale{}, image);
    const int64_t left = int64_t(toX) + (from.x - asked.x) + image.x;
    const int64_t top = int64_t(toY) + (from.y - asked.y) + image.y;
    FrameBuffer& dst = target.pixels_;
    bool wrote = false;
    for (int y = 0; y < image.pixels.Height(); ++y) {
        const int64_t ty = top + y;
        if (ty < 0 || ty >= dst.Height()) continue;
        const uint32_t* src = image.pixels.Row(y);
        for (int x = 0; x < image.pixels.Width(); ++x) {
            const int64_t tx = left + x;
            if (tx < 0 || tx >= dst.Width()) continue;
            uint32_t p = src[x];
            if (!target.Transparent() && (p >> 24) != 255) p = target.Store(Unpremultiply(p));
            dst.Row(int(ty))[tx] = p;
            wrote = true;
        }
    }
    return wrote;
}

PixelRect FilterRect(PixelRect r, const Filter& filter) {
    const Margins m = FilterMargins(filter, FilterScale{});
    return {r.x - m.left, r.y - m.top, r.width + m.left + m.right, r.height + m.top + m.bottom};
}

}  // namespace swf
