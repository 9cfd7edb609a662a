// What the player needs from a renderer. The timeline walks its display list
// and issues these calls; it never touches pixels. A null backend (counting
// calls) runs the timeline in tests without drawing anything.
#pragma once

#include "swf/model/Color.h"
#include "swf/model/Effects.h"
#include "swf/model/Geometry.h"
#include "swf/model/Quality.h"
#include "swf/model/Shape.h"

namespace swf {

class BitmapSource;  // swf/Bitmap.h

// An offscreen layer: what is drawn between PushLayer and PopLayer is
// composited onto what lies below as one picture, with its blend mode,
// alpha, filters and scroll rect (LayerEffects, swf/Effects.h).
using LayerStyle = LayerEffects;

class RenderBackend {
public:
    virtual ~RenderBackend() = default;

    // Applies from the next frame on; High unless set.
    virtual void SetQuality(Quality) {}
    // The movie's bitmaps, for bitmap fills; set before each frame.
    virtual void SetBitmaps(const BitmapSource*) {}

    // Starts a frame: the whole target becomes `background` (opaque).
    virtual void BeginFrame(Rgba background) = 0;
    // `toTarget` maps the shape's twips into target pixels in 1/20 units,
    // i.e. into "target twips": x_pixel = x_target_twips / 20. The viewport
    // (scale mode, alignment) is already folded into it by the caller.
    virtual void DrawShape(const Shape& shape, const Matrix& toTarget,
                           const ColorTransform& cxform) = 0;
    // The same for a shape that is drawn again and again unchanged: `key`
    // names this shape's current content (swf/render/SpanRecording.h gives
    // new ones), so a backend may keep what it drew under the same matrix.
    virtual void DrawCachedShape(const Shape& shape, uint64_t key, const Matrix& toTarget, const ColorTransform& cxform) {
        (void)key;
        DrawShape(shape, toTarget, cxform);
    }
    virtual void EndFrame() = 0;

    // Masks: PushMask, then the mask's shapes (which only define coverage
    // and are not shown), ActivateMask, then what the mask clips, PopMask.
    // Masks nest: a mask drawn while another is active is cut by it, and
    // one pushed while another is being drawn cuts what that one adds.
    virtual void PushMask() {}
    virtual void ActivateMask() {}
    virtual void PopMask() {}
    // Layers nest too; every PushLayer has its PopLayer.
    virtual void PushLayer(const LayerStyle&) {}
    virtual void PopLayer() {}
    // Bitmap caching of object `id`: true when the backend drew its cached
    // picture; otherwise a layer is open for the object, which the caller
    // draws and closes with PopCachedLayer.
    virtual bool BeginCachedLayer(uint64_t id, const CacheKey& key, const LayerStyle& style) {
        (void)id, (void)key;
        PushLayer(style);
        return false;
    }
    virtual void PopCachedLayer(uint64_t id, const CacheKey& key) {
        (void)id, (void)key;
        PopLayer();
    }
};

// Does `shape`, placed by `toTarget`, cover the point (target twips)?
// Uses the fills and the strokes, nonzero winding; the button hit test.
bool ShapeHitTest(const Shape& shape, const Matrix& toTarget, Point targetPoint);

}  // namespace swf
