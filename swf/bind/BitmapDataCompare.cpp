// BitmapData methods that look at pixels without changing them: hitTest
// against a point, a rectangle or another bitmap, compare, and
// getColorBoundsRect.
#include <algorithm>
#include <climits>
#include <cmath>

#include "swf/bind/BitmapDataValue.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"
#include "swf/classes/BitmapOps.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

uint32_t Threshold(double v) { return std::isnan(v) ? 0 : uint32_t(std::clamp(v, 0.0, 255.0)); }

int Shifted(double v, int by) { return int(std::clamp<int64_t>(int64_t(PixelCoord(v)) - by, INT_MIN / 2, INT_MAX / 2)); }

// Whether `v` is an object with x and y of its own (inherited ones do not count).
bool OwnPoint(avm1::Vm& vm, const Value& v) {
    return v.IsObject() && v.o->Find("x", vm.Ci()) && v.o->Find("y", vm.Ci());
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondBitmapPoint,
// secondAlphaThreshold): this bitmap placed at firstPoint against a point,
// a rectangle or another bitmap placed at secondBitmapPoint. Bad arguments
// give error numbers: -1 a disposed bitmap, -2 no first point, -3 no second
// object (or a disposed one), -4 a second point that is none.
Value HitTest(CallArgs& a) {
    ScriptBitmap* self = Live(BitmapOf(a.self));
    if (!self) return Value::Num(-1);
    if (!OwnPoint(a.vm, a.Arg(0))) return Value::Num(-2);
    const Value other = a.Arg(2);
    const BitmapData& d = self->Data();
    const GeomPoint at = OffsetArg(a, 0);
    const int ox = PixelCoord(at.x), oy = PixelCoord(at.y);
    const uint32_t first = Threshold(NumberArg(a, 1, 0));
    if (const std::shared_ptr<ScriptBitmap> bitmap = BitmapOf(other)) {
        const BitmapData* o = Live(bitmap) ? &bitmap->Data() : nullptr;
        if (!o) return Value::Num(-3);
        if (!a.Arg(3).IsUndefined() && !OwnPoint(a.vm, a.Arg(3))) return Value::Num(-4);
        const GeomPoint oat = OffsetArg(a, 3);
        const uint32_t second = Threshold(NumberArg(a, 4, 1));
        // The other bitmap's place in this one's space.
        const int dx = Shifted(oat.x, ox), dy = Shifted(oat.y, oy);
        if (!ChargePixels(a, "hitTest", Area(Intersect({dx, dy, o->Width(), o->Height()}, d.Width(), d.Height()))))
            return Value::Bool(false);
        return Value::Bool(BitmapsOverlap(d, first, *o, dx, dy, second));
    }
    if (!OwnPoint(a.vm, other)) return Value::Num(-3);
    if (a.vm.GetMember(other, "width").IsUndefined()) {
        GeomPoint p;
        ReadPoint(a.vm, other, p);
        // Against a point a threshold of 0 still wants some alpha: clear
        // pixels and the outside never hit (a rectangle's clear pixels do).
        return Value::Bool(HitAlphaAt(d, Shifted(p.x, ox), Shifted(p.y, oy)) >= std::max(first, 1u));
    }
    PixelRect r = PixelRectArg(a, 2);
    r.x = Shifted(r.x, ox), r.y = Shifted(r.y, oy);
    if (!ChargePixels(a, "hitTest", Area(Intersect(r, d.Width(), d.Height())))) return Value::Bool(false);
    return Value::Bool(AnyAlphaAtLeast(d, r, first));
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
            const uint32_t diff = PixelDifference(p.GetPixel32(x, y), q.GetPixel32(x, y));
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
    const bool find = a.args.size() < 3 || a.vm.ToBool(a.args[2]);
    const PixelRect r = ColorBounds(d, u32(0), u32(1), find);
    return NewRectangle(a.vm, {double(r.x), double(r.y), double(r.width), double(r.height)});
}

}  // namespace

void InstallBitmapDataCompare(avm1::Vm& vm, avm1::Object* proto) {
    vm.DefineNative(proto, "hitTest", HitTest);
    vm.DefineNative(proto, "compare", Compare);
    vm.DefineNative(proto, "getColorBoundsRect", GetColorBoundsRect);
}

}  // namespace swf::bind
