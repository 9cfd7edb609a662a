// BitmapData methods that look at pixels without changing them: hitTest
// against a point, a rectangle or another bitmap, compare, and
// getColorBoundsRect.
#include <algorithm>
#include <climits>
#include <cmath>

#include "swf/bind/BitmapDataValue.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

// Alpha as hit tests see it: an opaque bitmap is solid everywhere inside.
uint32_t AlphaAt(const BitmapData& d, int x, int y) {
    if (x < 0 || y < 0 || x >= d.Width() || y >= d.Height()) return 0;
    return d.Transparent() ? d.GetPixel32(x, y) >> 24 : 255;
}

// Any pixel of `r` (in the bitmap's space) at or over the threshold.
bool AnyAtLeast(const BitmapData& d, PixelRect r, uint32_t threshold) {
    r = Intersect(r, d.Width(), d.Height());
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            if (AlphaAt(d, x, y) >= threshold) return true;
    return false;
}

uint32_t Threshold(double v) { return std::isnan(v) ? 0 : uint32_t(std::clamp(v, 0.0, 255.0)); }

int Shifted(double v, int by) { return int(std::clamp<int64_t>(int64_t(PixelCoord(v)) - by, INT_MIN / 2, INT_MAX / 2)); }

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondBitmapPoint,
// secondAlphaThreshold): this bitmap placed at firstPoint against a point,
// a rectangle or another bitmap placed at secondBitmapPoint.
Value HitTest(CallArgs& a) {
    ScriptBitmap* self = Live(BitmapOf(a.self));
    const Value other = a.Arg(2);
    if (!self || !other.IsObject()) return Value::Bool(false);
    const BitmapData& d = self->Data();
    const GeomPoint at = OffsetArg(a, 0);
    const int ox = PixelCoord(at.x), oy = PixelCoord(at.y);
    const uint32_t first = Threshold(NumberArg(a, 1, 0));
    if (const std::shared_ptr<ScriptBitmap> bitmap = BitmapOf(other)) {
        const BitmapData* o = Live(bitmap) ? &bitmap->Data() : nullptr;
        if (!o) return Value::Bool(false);
        const GeomPoint oat = OffsetArg(a, 3);
        const uint32_t second = Threshold(NumberArg(a, 4, 1));
        // The other bitmap's place in this one's space, and the overlap.
        const int dx = Shifted(oat.x, ox), dy = Shifted(oat.y, oy);
        const PixelRect both = Intersect({dx, dy, o->Width(), o->Height()}, d.Width(), d.Height());
        if (!ChargePixels(a, "hitTest", Area(both))) return Value::Bool(false);
        for (int y = both.y; y < both.y + both.height; ++y)
            for (int x = both.x; x < both.x + both.width; ++x)
                if (AlphaAt(d, x, y) >= first && AlphaAt(*o, x - dx, y - dy) >= second) return Value::Bool(true);
        return Value::Bool(false);
    }
    if (a.vm.GetMember(other, "width").IsUndefined()) {
        GeomPoint p;
        ReadPoint(a.vm, other, p);
        // Against a point a threshold of 0 still wants some alpha: clear
        // pixels and the outside never hit (a rectangle's clear pixels do).
        return Value::Bool(AlphaAt(d, Shifted(p.x, ox), Shifted(p.y, oy)) >= std::max(first, 1u));
    }
    PixelRect r = PixelRectArg(a, 2);
    r.x = Shifted(r.x, ox), r.y = Shifted(r.y, oy);
    if (!ChargePixels(a, "hitTest", Area(Intersect(r, d.Width(), d.Height())))) return Value::Bool(false);
    return Value::Bool(AnyAtLeast(d, r, first));
}

// The difference of two pixels as compare() shows it: the colour channels
// subtracted when the colours differ, else the alpha over white.
uint32_t Difference(uint32_t p, uint32_t q) {
    auto sub = [&](int shift) { return ((p >> shift) - (q >> shift)) & 0xFF; };
    if ((p & 0xFFFFFF) != (q & 0xFFFFFF)) return 0xFF000000u | sub(16) << 16 | sub(8) << 8 | sub(0);
    if (p != q) return sub(24) << 24 | 0xFFFFFF;
    return 0;
}

// compare(other): 0 when alike, a bitmap of the differences when not;
// -1 for no bitmap, -2 for a disposed one, -3 and -4 for other widths
// and heights.
Value Compare(CallArgs& a) {
    const std::shared_ptr<ScriptBitmap> self = BitmapOf(a.self), other = BitmapOf(a.Arg(0));
    if (!other) return Value::Num(-1);
    if (!Live(self) || !Live(other)) return Value::Num(-2);
    const BitmapData &p = self->Data(), &q = other->Data();
    if (p.Width() != q.Width()) return Value::Num(-3);
    if (p.Height() != q.Height()) return Value::Num(-4);
    if (!ChargePixels(a, "compare", Area({0, 0, p.Width(), p.Height()}))) return Value::Num(0);
    std::shared_ptr<ScriptBitmap> out;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const uint32_t diff = Difference(p.GetPixel32(x, y), q.GetPixel32(x, y));
            if (!diff) continue;
            if (!out && !(out = BitmapsOf(a.vm).Create(p.Width(), p.Height(), true, 0))) {
                a.vm.Report("BitmapData.compare: bitmap memory budget spent");
                return Value::Num(0);
            }
            out->Data().SetPixel32(x, y, diff);
        }
    return out ? NewBitmapValue(a.vm, std::move(out)) : Value::Num(0);
}

// getColorBoundsRect(mask, color, findColor): the smallest rectangle
// around the pixels whose masked value is `color` (or, findColor false,
// is not).
Value GetColorBoundsRect(CallArgs& a) {
    ScriptBitmap* self = Live(BitmapOf(a.self));
    if (!self) return NewRectangle(a.vm, {});
    const BitmapData& d = self->Data();
    if (!ChargePixels(a, "getColorBoundsRect", Area({0, 0, d.Width(), d.Height()}))) return NewRectangle(a.vm, {});
    auto u32 = [&](size_t i) { return uint32_t(avm1::ToInt32(a.vm.ToNumber(a.Arg(i)))); };
    const uint32_t mask = u32(0), color = u32(1) & mask;
    const bool find = a.args.size() < 3 || a.vm.ToBool(a.args[2]);
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x)
            if (((d.GetPixel32(x, y) & mask) == color) == find) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    if (x1 < 0) return NewRectangle(a.vm, {});
    return NewRectangle(a.vm, {double(x0), double(y0), double(x1 - x0 + 1), double(y1 - y0 + 1)});
}

}  // namespace

void InstallBitmapDataCompare(avm1::Vm& vm, avm1::Object* proto) {
    vm.DefineNative(proto, "hitTest", HitTest);
    vm.DefineNative(proto, "compare", Compare);
    vm.DefineNative(proto, "getColorBoundsRect", GetColorBoundsRect);
}

}  // namespace swf::bind
