#include "swf/display/BitmapDraw.h"

#include "swf/classes/BitmapOps.h"
#include "swf/display/BitmapObject.h"
#include "swf/model/Movie.h"
#include "swf/render/RenderBackend.h"

namespace swf {

namespace {

// Puts back what lies outside `keep` from `saved`.
void RestoreOutside(BitmapData& d, const BitmapData& saved, PixelRect keep) {
    const int w = d.Width(), h = d.Height();
    const PixelRect bands[] = {{0, 0, w, keep.y},
                               {0, keep.y + keep.height, w, h - keep.y - keep.height},
                               {0, keep.y, keep.x, keep.height},
                               {keep.x + keep.width, keep.y, w - keep.x - keep.width, keep.height}};
    for (const PixelRect& b : bands) d.CopyPixels(saved, b, b.x, b.y, false);
}

}  // namespace

uint64_t DrawIntoBitmap(ScriptBitmaps& bitmaps, ScriptBitmap& target, const DisplayObject* obj,
                        ScriptBitmap* source, const Matrix& m, const ColorTransform& cx, bool smooth,
                        const PixelRect* clip) {
    BitmapData& d = target.Data();
    Shape rect;
    if (!obj) {
        if (!source || source->Data().Disposed() || !source->Id()) return 0;
        rect = BitmapRectShape(source->Id(), source->Data().Width(), source->Data().Height(), smooth);
    }
    std::shared_ptr<ScriptBitmap> saved;
    PixelRect keep{0, 0, d.Width(), d.Height()};
    if (clip) {
        keep = Intersect(*clip, d.Width(), d.Height());
        if (keep.width <= 0) return 0;
        saved = bitmaps.Create(d.Width(), d.Height(), d.Transparent(), 0);
        if (saved) saved->Data().CopyPixels(d, {0, 0, d.Width(), d.Height()}, 0, 0, false);
    }
    const uint64_t work = d.Draw([&](RenderBackend& backend) {
        backend.SetBitmaps(&bitmaps);
        if (!obj) {
            backend.DrawShape(rect, m, cx);
            return;
        }
        RenderContext rc{backend};
        rc.scalingGrids = &bitmaps.MovieRef().scalingGrids;
        rc.bitmaps = &bitmaps;
        obj->Render(rc, m, cx);
    });
    if (saved) RestoreOutside(d, saved->Data(), keep);
    target.Changed();
    return work;
}

}  // namespace swf
