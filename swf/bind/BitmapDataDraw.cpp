// BitmapData methods that take pixels from elsewhere: copyPixels (with an
// alpha bitmap), draw (a clip through the renderer, or another bitmap) and
// applyFilter.
#include <algorithm>

#include "swf/avm1/FilterClasses.h"
#include "swf/bind/BitmapDataValue.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"
#include "swf/display/BitmapDraw.h"
#include "swf/classes/BitmapFilter.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

// The source rectangle with each pixel's alpha scaled by the alpha bitmap's
// (at alphaAt for the rectangle's corner), copied through a scratch bitmap
// so the plain copy's clipping and merging serve it too.
void CopyMasked(CallArgs& a, BitmapData& target, const BitmapData& source, PixelRect from, int toX, int toY,
                const BitmapData& alpha, int alphaX, int alphaY, bool merge) {
    const PixelRect cut = Intersect(from, source.Width(), source.Height());
    if (cut.width <= 0) return;
    std::shared_ptr<ScriptBitmap> scratch = BitmapsOf(a.vm).Create(cut.width, cut.height, true, 0);
    if (!scratch) {
        a.vm.Report("BitmapData.copyPixels: bitmap memory budget spent");
        return;
    }
    BitmapData& s = scratch->Data();
    for (int y = 0; y < cut.height; ++y)
        for (int x = 0; x < cut.width; ++x) {
            const int ax = alphaX + cut.x - from.x + x, ay = alphaY + cut.y - from.y + y;
            const uint32_t m = alpha.GetPixel32(ax, ay) >> 24;
            const uint32_t p = source.GetPixel32(cut.x + x, cut.y + y);
            const uint32_t scaled = ((p >> 24) * m + 127) / 255;
            s.SetPixel32(x, y, scaled << 24 | (p & 0xFFFFFF));
        }
    target.CopyPixels(s, {0, 0, cut.width, cut.height}, toX + cut.x - from.x, toY + cut.y - from.y, merge);
}

// copyPixels(source, rect, point, alphaBitmap, alphaPoint, mergeAlpha)
Value CopyPixelsNative(CallArgs& a) {
    ScriptBitmap* self = Live(BitmapOf(a.self));
    const std::shared_ptr<ScriptBitmap> source = BitmapOf(a.Arg(0));
    if (!self || !Live(source)) return Value();
    const PixelRect from = PixelRectArg(a, 1);
    if (!ChargePixels(a, "copyPixels", Area(Intersect(from, source->Data().Width(), source->Data().Height()))))
        return Value();
    const GeomPoint to = OffsetArg(a, 2);
    const std::shared_ptr<ScriptBitmap> alpha = BitmapOf(a.Arg(3));
    const bool merge = a.vm.ToBool(a.Arg(5));
    if (Live(alpha)) {
        const GeomPoint at = OffsetArg(a, 4);
        CopyMasked(a, self->Data(), source->Data(), from, PixelCoord(to.x), PixelCoord(to.y), alpha->Data(),
                   PixelCoord(at.x), PixelCoord(at.y), merge);
    } else {
        self->Data().CopyPixels(source->Data(), from, PixelCoord(to.x), PixelCoord(to.y), merge);
    }
    self->Changed();
    return Value();
}

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing)
Value DrawNative(CallArgs& a) {
    ScriptBitmap* self = Live(BitmapOf(a.self));
    if (!self || !ChargePixels(a, "draw", Area({0, 0, self->Data().Width(), self->Data().Height()}))) return Value();
    const Matrix m = ReadMatrix(a.vm, a.Arg(1)).ToEngine();
    const ColorTransform cx = ReadColorTransform(a.vm, a.Arg(2)).ToEngine();
    const bool smooth = a.vm.ToBool(a.Arg(5));
    const std::shared_ptr<ScriptBitmap> bitmap = BitmapOf(a.Arg(0));
    const DisplayObject* obj = bitmap ? nullptr : ObjectOf(a.vm, a.Arg(0));
    if (!obj && !Live(bitmap)) return Value();
    GeomRect clip;
    PixelRect keep;
    const bool clipped = ReadRect(a.vm, a.Arg(4), clip);
    if (clipped) keep = ToPixels(clip);
    ScriptBitmaps& bitmaps = BitmapsOf(a.vm);
    bitmaps.SpendDone(DrawIntoBitmap(bitmaps, *self, obj, bitmap.get(), m, cx, smooth, clipped ? &keep : nullptr));
    return Value();
}

// applyFilter(source, rect, point, filter): 0 when applied, as the
// original player's error code; -1 when not.
Value ApplyFilterNative(CallArgs& a) {
    ScriptBitmap* self = Live(BitmapOf(a.self));
    const std::shared_ptr<ScriptBitmap> source = BitmapOf(a.Arg(0));
    Filter filter;
    if (!self || !Live(source) || !avm1::ToFilter(a.vm, a.Arg(3), filter)) return Value::Num(-1);
    if (!ChargePixels(a, "applyFilter", Area(Intersect(PixelRectArg(a, 1), source->Data().Width(), source->Data().Height()))))
        return Value::Num(-1);
    const GeomPoint to = OffsetArg(a, 2);
    const bool wrote =
        ApplyBitmapFilter(self->Data(), source->Data(), PixelRectArg(a, 1), PixelCoord(to.x), PixelCoord(to.y), filter);
    self->Changed();
    return Value::Num(wrote ? 0 : -1);
}

}  // namespace

void InstallBitmapDataDraw(avm1::Vm& vm, avm1::Object* proto) {
    vm.DefineNative(proto, "copyPixels", CopyPixelsNative);
    vm.DefineNative(proto, "draw", DrawNative);
    vm.DefineNative(proto, "applyFilter", ApplyFilterNative);
}

}  // namespace swf::bind
