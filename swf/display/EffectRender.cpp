#include "swf/display/EffectRender.h"

#include <algorithm>

#include "swf/display/ButtonObject.h"
#include "swf/display/ClipGeometry.h"
#include "swf/display/MovieClip.h"
#include "swf/render/EffectLayer.h"
#include "swf/render/ScalingGrid.h"
#include "swf/text/TextShape.h"

namespace swf {

namespace {

constexpr uint64_t kMixMul = 0x9E3779B97F4A7C15ull;
constexpr int kMaxBoundsNesting = PlayContext::kMaxNesting;

uint64_t Mix(uint64_t h, uint64_t v) {
    h ^= v + kMixMul + (h << 6) + (h >> 2);
    return h;
}

uint64_t MixMatrix(uint64_t h, const Matrix& m) {
    for (int32_t v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) h = Mix(h, uint32_t(v));
    return h;
}

// What of an object's own placement changes its cached picture.
uint64_t MixEffects(uint64_t h, const DisplayObject& o) {
    h = Mix(h, uint64_t(o.blendMode) | (uint64_t(o.visible) << 8) | (uint64_t(o.cacheAsBitmap) << 9));
    h = Mix(h, reinterpret_cast<uintptr_t>(o.filters.get()));
    for (const std::optional<Rect>* box : {&o.scrollRect, &o.scale9Grid}) {
        if (!*box) continue;
        const Rect& r = **box;
        for (int32_t v : {r.xMin, r.xMax, r.yMin, r.yMax}) h = Mix(h, uint32_t(v));
    }
    if (o.opaqueBackground) {
        const Rgba c = *o.opaqueBackground;
        h = Mix(h, (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b | (1u << 24));
    }
    return h;
}

uint64_t MixPlacement(uint64_t h, const DisplayObject& o) {
    h = MixMatrix(h, o.matrix);
    const ColorTransform& c = o.cxform;
    for (int v : {c.rMul, c.gMul, c.bMul, c.aMul, c.rAdd, c.gAdd, c.bAdd, c.aAdd}) h = Mix(h, uint32_t(v));
    h = Mix(h, o.ratio);
    h = Mix(h, uint32_t(o.clipDepth));
    return MixEffects(h, o);
}

// Whether `o` is a script's mask now (then it is not drawn), and the stage
// placement and picture of the mask a script set on it.
uint64_t MixScriptMasks(uint64_t h, const PlayContext& ctx, const DisplayObject& o) {
    if (o.maskOf) h = Mix(h, uint64_t(ScriptMaskInUse(ctx, o)));
    if (const DisplayObject* mask = ScriptMaskOf(ctx, o))
        h = MixMatrix(Mix(h, ContentVersion(*mask)), ToStage(*mask));
    return h;
}

const DisplayList* ChildrenOf(const DisplayObject& obj) {
    if (const MovieClip* clip = obj.AsClip()) return &clip->List();
    if (const ButtonObject* button = obj.AsButton()) return &button->Children();
    return nullptr;
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.Width() <= 0 && a.Height() <= 0) return b;
    if (b.Width() <= 0 && b.Height() <= 0) return a;
    return {std::min(a.xMin, b.xMin), std::max(a.xMax, b.xMax), std::min(a.yMin, b.yMin),
            std::max(a.yMax, b.yMax)};
}

Rect BoundsAt(const DisplayObject& obj, int nesting) {
    if (obj.Kind() == DisplayKind::Shape && obj.character)
        return static_cast<const ShapeCharacter&>(*obj.character).shape.bounds;
    Rect r;
    const DisplayList* children = ChildrenOf(obj);
    if (!children || nesting >= kMaxBoundsNesting) return r;
    for (const auto& entry : *children) {
        const DisplayObject& child = *entry.second;
        if (!child.visible) continue;
        Rect b = BoundsAt(child, nesting + 1);
        if (b.Width() > 0 || b.Height() > 0) r = Union(r, TransformRect(child.matrix, b));
    }
    return r;
}

// A sprite with a scaling grid: its shapes are drawn warped (ScalingGrid.h).
bool RenderNineSlice(RenderContext& rc, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx) {
    const MovieClip* clip = obj.AsClip();
    if (!clip) return false;
    const Rect* grid = obj.scale9Grid ? &*obj.scale9Grid : nullptr;
    if (!grid && rc.scalingGrids) {
        auto found = rc.scalingGrids->find(obj.characterId);
        if (found != rc.scalingGrids->end()) grid = &found->second;
    }
    if (!grid) return false;
    NineSlice slice(LocalBounds(obj), *grid, obj.matrix);
    if (!slice.Warps()) return false;
    for (const auto& entry : clip->List()) {
        const DisplayObject& child = *entry.second;
        if (child.clipDepth != 0 || !child.visible) continue;
        if (child.Kind() == DisplayKind::Shape && child.character) {
            const Shape& shape = static_cast<const ShapeCharacter&>(*child.character).shape;
            rc.backend.DrawShape(slice.Warp(shape, child.matrix), m, cx.Concat(child.cxform));
        } else {
            RenderPlaced(rc, child, m.Concat(child.matrix), cx.Concat(child.cxform));
        }
    }
    return true;
}

// The script's opaque background: its colour over the object's bounds.
void RenderBackground(RenderContext& rc, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx) {
    const Rect box = LocalBounds(obj);
    if (box.Empty()) return;
    TextShapeBuilder builder;
    builder.AddRect(box, *obj.opaqueBackground);
    rc.backend.DrawShape(builder.Take(box), m, cx);
}

void RenderContent(RenderContext& rc, const DisplayObject& obj, const Matrix& m, const ColorTransform& cx) {
    if (obj.opaqueBackground) RenderBackground(rc, obj, m, cx);
    if (!RenderNineSlice(rc, obj, m, cx)) obj.Render(rc, m, cx);
}

// 8.8 alpha multiplier -> 0..255, rounded.
uint8_t LayerAlpha(int16_t aMul) { return static_cast<uint8_t>(std::clamp((aMul * 255 + 128) >> 8, 0, 255)); }

// The scroll rect's box in target pixels (the bounding box when rotated).
void ClipToScrollRect(const Rect& r, const Matrix& m, LayerEffects& fx) {
    Rect box = TransformRect(m, {0, r.Width(), 0, r.Height()});
    auto floorPx = [](int32_t t) { return int(t >= 0 ? t / kTwipsPerPixel : -((-t + kTwipsPerPixel - 1) / kTwipsPerPixel)); };
    fx.clipped = true;
    fx.clipX0 = floorPx(box.xMin);
    fx.clipY0 = floorPx(box.yMin);
    fx.clipX1 = floorPx(box.xMax + kTwipsPerPixel - 1);
    fx.clipY1 = floorPx(box.yMax + kTwipsPerPixel - 1);
}

}  // namespace

uint64_t ContentVersion(const DisplayObject& obj, const PlayContext* ctx) {
    // A clip's frame number is left out: what a frame draws is its list.
    uint64_t h = Mix(obj.serial, obj.characterId);
    if (const ButtonObject* button = obj.AsButton()) h = Mix(h, uint32_t(button->Phase()));
    if (ctx) h = MixScriptMasks(h, *ctx, obj);
    if (const DisplayList* children = ChildrenOf(obj))
        for (const auto& entry : *children)
            h = Mix(MixPlacement(Mix(h, uint32_t(entry.first)), *entry.second), ContentVersion(*entry.second, ctx));
    return h;
}

uint64_t MixVersion(uint64_t h, uint64_t v) { return Mix(h, v); }

uint64_t WithMask(uint64_t masks, const DisplayObject& mask, const Matrix& m) {
    // Without the scripts' masks: they do not cut a mask's shapes (and may loop).
    return MixMatrix(Mix(masks, ContentVersion(mask)), m);
}

Rect LocalBounds(const DisplayObject& obj) { return BoundsAt(obj, 0); }

void RenderPlaced(RenderContext& rc, const DisplayObject& obj, const Matrix& m, const ColorTransform& cxIn) {
    const bool filtered = obj.filters && !obj.filters->empty();
    const bool blended = obj.blendMode != BlendMode::Normal;
    if (!filtered && !blended && !obj.cacheAsBitmap && !obj.scrollRect) {
        RenderContent(rc, obj, m, cxIn);
        return;
    }
    LayerEffects fx;
    fx.blendMode = obj.blendMode;
    fx.filters = filtered ? obj.filters.get() : nullptr;
    fx.scale = rc.filterScale;
    ColorTransform cx = cxIn;
    if (obj.blendMode == BlendMode::Layer) {
        // The layer fades as a whole, not each shape in it.
        fx.alpha = LayerAlpha(cx.aMul);
        cx.aMul = 256;
    }
    Matrix inner = m;
    if (obj.scrollRect) {
        ClipToScrollRect(*obj.scrollRect, m, fx);
        inner = m.Concat(Matrix::Translate(-obj.scrollRect->xMin, -obj.scrollRect->yMin));
    }
    if (!filtered && !obj.cacheAsBitmap) {
        rc.backend.PushLayer(fx);
        RenderContent(rc, obj, inner, cx);
        rc.backend.PopLayer();
        return;
    }
    // Cached with its bounds' corner at a whole pixel: the object moves by
    // less than half a pixel.
    const Rect bounds = obj.scrollRect ? *obj.scrollRect : LocalBounds(obj);
    const Matrix snapped = SnapToPixels(inner, bounds);
    CacheKey key;
    key.version = Mix(Mix(ContentVersion(obj, rc.objects), MixEffects(0, obj)), rc.masks);
    key.toTarget = snapped;
    key.cxform = cx;
    key.scale = fx.scale;
    if (filtered) {
        fx.cxform = cx;
        cx = ColorTransform();
    }
    if (rc.backend.BeginCachedLayer(obj.serial, key, fx)) return;
    RenderContent(rc, obj, snapped, cx);
    rc.backend.PopCachedLayer(obj.serial, key);
}

}  // namespace swf
