// Compositing a finished offscreen layer with its effects, and the bitmap
// cache of cached objects.
//
// A layer is drawn at the target's size. When it is composited, it is first
// cut to the pixels actually drawn (filters then only work on those, grown
// by their margins), filtered, and blended onto what lies below it.
//
// The cache keeps an object's finished picture (filters applied) between
// frames. An object is cached at whole-pixel positions (the caller snaps its
// translation), so a picture stays valid while the object's version (bumped
// on any change to it or to its children), its matrix but for whole-pixel
// moves, its colour transform and the view scale stay the same; a whole-
// pixel move reuses the picture at the new place unless the picture was cut
// by the target's edge. Pictures not used in a frame are dropped at its end.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "swf/model/Color.h"
#include "swf/model/Effects.h"
#include "swf/model/FrameBuffer.h"
#include "swf/model/Geometry.h"
#include "swf/render/Filters.h"

namespace swf {

// The drawn part of `layer` (pixels not fully transparent); empty pixels
// when nothing was drawn. `edge` says whether it touches the layer's edge.
EffectImage CropToDrawn(const FrameBuffer& layer, bool* edge = nullptr);

// Cuts `image` to the target pixels x0..x1, y0..y1 (ends excluded).
void ClipImage(EffectImage& image, int x0, int y0, int x1, int y1);

// Colour transforms a premultiplied picture; empty pixels stay empty, so an
// offset never fills a layer's margins.
void TransformImage(FrameBuffer& px, const ColorTransform& cxform);

// Cuts `image` to the scroll rect, filters it, colour transforms it and
// blends it onto `below`.
void CompositeEffects(FrameBuffer& below, EffectImage image, const LayerEffects& fx);

// Moves a matrix by under a pixel so that the corner of `bounds` (local
// twips; the origin when empty) lands on a whole target pixel.
Matrix SnapToPixels(const Matrix& toTarget, const Rect& bounds);

class BitmapCache {
public:
    // The picture of object `id`, ready to composite, or null when it must
    // be drawn again.
    const EffectImage* Find(uint64_t id, const CacheKey& key);
    void Store(uint64_t id, const CacheKey& key, EffectImage image, bool cutByEdge);
    // Drops what this frame did not use.
    void EndFrame();
    size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        CacheKey key;
        EffectImage image;
        bool cutByEdge = false;
        bool used = true;
    };
    std::unordered_map<uint64_t, Entry> entries_;
};

}  // namespace swf
