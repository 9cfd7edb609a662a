#include "swf/render/EffectLayer.h"

#include <algorithm>

#include "swf/render/BlendModes.h"
#include "swf/render/Paint.h"

namespace swf {

namespace {


// Nearest multiple of 20, halves up.
int32_t SnapTwips(int32_t v) {
    int64_t t = int64_t(v) + kTwipsPerPixel / 2;
    int64_t q = t >= 0 ? t / kTwipsPerPixel : -((-t + kTwipsPerPixel - 1) / kTwipsPerPixel);
    return int32_t(q * kTwipsPerPixel);
}

bool SameLinear(const Matrix& x, const Matrix& y) {
    return x.a == y.a && x.b == y.b && x.c == y.c && x.d == y.d;
}

}  // namespace

EffectImage CropToDrawn(const FrameBuffer& layer, bool* edge) {
    int x0 = layer.Width(), y0 = layer.Height(), x1 = -1, y1 = -1;
    for (int y = 0; y < layer.Height(); ++y) {
        const uint32_t* row = layer.Row(y);
        int first = 0;
        while (first < layer.Width() && row[first] == 0) ++first;
        if (first == layer.Width()) continue;
        int last = layer.Width() - 1;
        while (row[last] == 0) --last;
        x0 = std::min(x0, first);
        x1 = std::max(x1, last);
        y0 = std::min(y0, y);
        y1 = y;
    }
    EffectImage img;
    if (edge) *edge = x1 >= 0 && (x0 == 0 || y0 == 0 || x1 == layer.Width() - 1 || y1 == layer.Height() - 1);
    if (x1 < 0) return img;
    img.x = x0;
    img.y = y0;
    img.pixels.Resize(x1 - x0 + 1, y1 - y0 + 1);
    for (int y = y0; y <= y1; ++y)
        std::copy(layer.Row(y) + x0, layer.Row(y) + x1 + 1, img.pixels.Row(y - y0));
    return img;
}

void ClipImage(EffectImage& image, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, image.x);
    y0 = std::max(y0, image.y);
    x1 = std::min(x1, image.x + image.pixels.Width());
    y1 = std::min(y1, image.y + image.pixels.Height());
    if (x0 == image.x && y0 == image.y && x1 == image.x + image.pixels.Width() &&
        y1 == image.y + image.pixels.Height())
        return;
    EffectImage cut;
    cut.x = x0;
    cut.y = y0;
    if (x1 > x0 && y1 > y0) {
        cut.pixels.Resize(x1 - x0, y1 - y0);
        for (int y = y0; y < y1; ++y) {
            const uint32_t* from = image.pixels.Row(y - image.y) + (x0 - image.x);
            std::copy(from, from + (x1 - x0), cut.pixels.Row(y - y0));
        }
    }
    image = std::move(cut);
}

void TransformImage(FrameBuffer& px, const ColorTransform& cxform) {
    for (int y = 0; y < px.Height(); ++y) {
        uint32_t* row = px.Row(y);
        for (int x = 0; x < px.Width(); ++x)
            if (row[x] >> 24) row[x] = TransformPremultiplied(row[x], cxform);
    }
}

void CompositeEffects(FrameBuffer& below, EffectImage image, const LayerEffects& fx) {
    if (fx.clipped) ClipImage(image, fx.clipX0, fx.clipY0, fx.clipX1, fx.clipY1);
    if (image.pixels.Width() == 0) return;
    if (fx.filters) ApplyFilters(*fx.filters, fx.scale, image);
    if (!fx.cxform.IsIdentity()) TransformImage(image.pixels, fx.cxform);
    CompositeBlend(below, image.pixels, image.x, image.y, fx.blendMode, fx.alpha);
}

Matrix SnapToPixels(const Matrix& toTarget, const Rect& bounds) {
    Matrix m = toTarget;
    // The picture's corner is the bounds' corner: that lands on a whole
    // pixel, and the content keeps its offset from it (a stroke's half
    // width before the origin moves the drawing by that fraction).
    int32_t x = m.tx, y = m.ty;
    if (!bounds.Empty()) {
        const Rect box = TransformRect(toTarget, bounds);
        x = box.xMin;
        y = box.yMin;
    }
    m.tx += SnapTwips(x) - x;
    m.ty += SnapTwips(y) - y;
    return m;
}

const EffectImage* BitmapCache::Find(uint64_t id, const CacheKey& key) {
    auto it = entries_.find(id);
    if (it == entries_.end()) return nullptr;
    Entry& e = it->second;
    const CacheKey& k = e.key;
    if (k.version != key.version || !SameLinear(k.toTarget, key.toTarget) || !(k.cxform == key.cxform) ||
        k.scale.x != key.scale.x || k.scale.y != key.scale.y)
        return nullptr;
    if (k.toTarget.tx != key.toTarget.tx || k.toTarget.ty != key.toTarget.ty) {
        // Only a whole-pixel move keeps the picture's pixels.
        if (e.cutByEdge || (key.toTarget.tx - k.toTarget.tx) % kTwipsPerPixel != 0 ||
            (key.toTarget.ty - k.toTarget.ty) % kTwipsPerPixel != 0)
            return nullptr;
        e.image.x += (key.toTarget.tx - k.toTarget.tx) / kTwipsPerPixel;
        e.image.y += (key.toTarget.ty - k.toTarget.ty) / kTwipsPerPixel;
        e.key.toTarget = key.toTarget;
    }
    e.used = true;
    return &e.image;
}

void BitmapCache::Store(uint64_t id, const CacheKey& key, EffectImage image, bool cutByEdge) {
    Entry& e = entries_[id];
    e.key = key;
    e.image = std::move(image);
    e.cutByEdge = cutByEdge;
    e.used = true;
}

void BitmapCache::EndFrame() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (!it->second.used) {
            it = entries_.erase(it);
        } else {
            it->second.used = false;
            ++it;
        }
    }
}

}  // namespace swf
