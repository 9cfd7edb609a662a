// BitmapData's pixel methods for ActionScript 3: arguments are checked the
// way the reference checks them (TypeError #2007 for a missing object,
// ArgumentError #2015 for a disposed bitmap), then the shared pixel work
// runs as it does for the other script machine.
#include <algorithm>
#include <cmath>

#include "swf/avm2/classes/BitmapDataShared.h"
#include "swf/classes/PerlinNoise.h"

namespace swf::avm2 {

namespace {

// The leading (sourceBitmapData, sourceRect, destPoint) of the methods
// that take pixels from a bitmap to this one; false when nothing is left.
bool ReadSpan(Machine& m, const Value& self, Args args, int argc, ScriptBitmap*& target, PixelSpan& s) {
    target = &LiveBitmap(m, self);
    ScriptBitmap& source = BitmapArg(m, Arg(args, argc, 0), "sourceBitmapData");
    const PixelRect from = RectArg(m, Arg(args, argc, 1), "sourceRect");
    int x, y;
    PointArg(m, Arg(args, argc, 2), "destPoint", x, y);
    if (!ClipSpan(target->Data(), source.Data(), from, x, y, s)) return false;
    ChargePixels(m, s.Area());
    return true;
}

uint32_t UintArg(Machine& m, Args args, int argc, int i, uint32_t missing) {
    return i < argc ? m.ToUint32(args[i]) : missing;
}

Value Threshold(Machine& m, Value self, Args args, int argc) {
    LiveBitmap(m, self);
    const Value op = Arg(args, argc, 3);
    ScriptBitmap* target;
    PixelSpan s;
    // The arguments are read before the operation is judged.
    const bool any = ReadSpan(m, self, args, argc, target, s);
    if (op.IsNullish()) m.TypeError(2007, "Parameter operation must be non-null.");
    const ThresholdTest test = ThresholdTestOf(m.ToStdString(op));
    if (test == ThresholdTest::Unknown) m.ArgumentError(2005, "Parameter 3 is of the incorrect type. Should be type Operation.");
    if (!any) return Value::Uint(0);
    const uint32_t passed = ThresholdPixels(s, test, UintArg(m, args, argc, 4, 0), UintArg(m, args, argc, 5, 0),
                                            UintArg(m, args, argc, 6, 0xFFFFFFFFu), m.ToBoolean(Arg(args, argc, 7)));
    target->Changed();
    return Value::Uint(passed);
}

Value Merge(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap* target;
    PixelSpan s;
    if (!ReadSpan(m, self, args, argc, target, s)) return Value::Undefined();
    uint32_t mult[4];
    for (int c = 0; c < 4; ++c) mult[c] = std::min<uint32_t>(UintArg(m, args, argc, 3 + c, 0), 256);
    MergePixels(s, mult);
    target->Changed();
    return Value::Undefined();
}

Value CopyChannel(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap* target;
    PixelSpan s;
    if (!ReadSpan(m, self, args, argc, target, s)) return Value::Undefined();
    const int from = ChannelShift(UintArg(m, args, argc, 3, 0)), to = ChannelShift(UintArg(m, args, argc, 4, 0));
    // An opaque bitmap has no alpha to write.
    if (to < 0 || (to == 24 && !target->Data().Transparent())) return Value::Undefined();
    CopyChannelPixels(s, from, to);
    target->Changed();
    return Value::Undefined();
}

Value PaletteMap(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap* target;
    PixelSpan s;
    if (!ReadSpan(m, self, args, argc, target, s)) return Value::Undefined();
    std::vector<uint32_t> maps[4];
    for (int c = 0; c < 4; ++c) {
        const Value list = Arg(args, argc, 3 + c);
        if (!list.IsObject() || list.o->kind != ObjKind::Array) continue;
        auto* a = static_cast<ArrayObject*>(list.o);
        maps[c].assign(256, 0);
        for (size_t i = 0; i < 256 && i < a->items.size(); ++i) maps[c][i] = m.ToUint32(ItemAt(m, a, i));
    }
    PaletteMapPixels(s, maps);
    target->Changed();
    return Value::Undefined();
}

// From this bitmap itself it paints fillColor. Returns the seed that goes on.
Value PixelDissolve(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap* target;
    PixelSpan s;
    const int32_t count = argc > 4 ? m.ToInt32(args[4]) : 0;
    const bool paint = &LiveBitmap(m, self) == &BitmapArg(m, Arg(args, argc, 0), "sourceBitmapData");
    if (count < 0) m.RangeError(2027, "Parameter numPixels must be a non-negative number; got " + std::to_string(count) + ".");
    if (!ReadSpan(m, self, args, argc, target, s)) return Value::Int(0);
    const uint64_t seed = uint32_t(argc > 3 ? m.ToInt32(args[3]) : 0);
    const uint64_t next = DissolvePixels(s, seed, uint64_t(count), paint, UintArg(m, args, argc, 5, 0));
    target->Changed();
    return Value::Int(int32_t(next));
}

Value Noise(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = LiveBitmap(m, self);
    BitmapData& d = b.Data();
    ChargePixels(m, Area(d));
    auto level = [&](int i, uint32_t missing) { return int(std::min<uint32_t>(UintArg(m, args, argc, i, missing), 255)); };
    FillNoise(d, m.ToInt32(Arg(args, argc, 0)), level(1, 0), level(2, 255), UintArg(m, args, argc, 3, 7),
              m.ToBoolean(Arg(args, argc, 4)));
    b.Changed();
    return Value::Undefined();
}

Value PerlinNoise(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = LiveBitmap(m, self);
    BitmapData& d = b.Data();
    PerlinOptions o;
    o.baseX = m.ToNumber(Arg(args, argc, 0));
    o.baseY = m.ToNumber(Arg(args, argc, 1));
    o.octaves = int(std::min<uint32_t>(m.ToUint32(Arg(args, argc, 2)), kMaxPerlinOctaves));
    o.seed = m.ToInt32(Arg(args, argc, 3));
    o.stitch = m.ToBoolean(Arg(args, argc, 4));
    o.fractal = m.ToBoolean(Arg(args, argc, 5));
    o.channels = UintArg(m, args, argc, 6, 7);
    o.gray = m.ToBoolean(Arg(args, argc, 7));
    const Value offsets = Arg(args, argc, 8);
    if (offsets.IsObject() && offsets.o->kind == ObjKind::Array) {
        auto* a = static_cast<ArrayObject*>(offsets.o);
        for (size_t i = 0; i < a->items.size() && i < size_t(kMaxPerlinOctaves); ++i) {
            const Value p = ItemAt(m, a, i);
            o.offsets.push_back(p.IsObject() ? GeomPoint{m.ToNumber(m.GetPublic(p, "x")), m.ToNumber(m.GetPublic(p, "y"))}
                                             : GeomPoint{});
        }
    }
    ChargePixels(m, Area(d) * uint64_t(std::max(o.octaves, 1)) *
                        uint64_t(PerlinPlanes(o, d.Transparent())));
    FillPerlinNoise(d, o);
    b.Changed();
    return Value::Undefined();
}

Value FloodFill(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = LiveBitmap(m, self);
    ChargePixels(m, Area(b.Data()));
    if (FloodFillPixels(b.Data(), m.ToInt32(Arg(args, argc, 0)), m.ToInt32(Arg(args, argc, 1)),
                        m.ToUint32(Arg(args, argc, 2))))
        b.Changed();
    return Value::Undefined();
}

Value Scroll(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = LiveBitmap(m, self);
    BitmapData& d = b.Data();
    ChargePixels(m, Area(d));
    d.CopyPixels(d, {0, 0, d.Width(), d.Height()}, m.ToInt32(Arg(args, argc, 0)), m.ToInt32(Arg(args, argc, 1)), false);
    b.Changed();
    return Value::Undefined();
}

int Shifted(int v, int by) { return int(std::clamp<int64_t>(int64_t(v) - by, -(1 << 28), 1 << 28)); }

bool IsInstance(Machine& m, const Value& v, const char* cls) {
    ClassObject* c = m.FindClass(cls);
    return c && v.IsObject() && v.o->cls && v.o->cls->IsSubclassOf(c);
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondBitmapDataPoint,
// secondAlphaThreshold): this bitmap placed at firstPoint against a point,
// a rectangle, a bitmap or a Bitmap's bitmap.
Value HitTest(Machine& m, Value self, Args args, int argc) {
    const BitmapData& d = LiveBitmap(m, self).Data();
    int ox, oy;
    PointArg(m, Arg(args, argc, 0), "firstPoint", ox, oy);
    const uint32_t first = std::min<uint32_t>(m.ToUint32(Arg(args, argc, 1)), 255);
    Value other = Arg(args, argc, 2);
    if (IsInstance(m, other, "flash.display.Bitmap")) other = m.GetPublic(other, "bitmapData");
    if (IsInstance(m, other, "flash.display.BitmapData")) {
        const BitmapData& o = LiveBitmap(m, other).Data();
        int px, py;
        PointArg(m, Arg(args, argc, 3), "secondBitmapDataPoint", px, py);
        const uint32_t second = std::min<uint32_t>(UintArg(m, args, argc, 4, 1), 255);
        ChargePixels(m, Area(o));
        return Value::Bool(BitmapsOverlap(d, first, o, Shifted(px, ox), Shifted(py, oy), second));
    }
    if (IsInstance(m, other, "flash.geom.Rectangle")) {
        PixelRect r = RectArg(m, other, "secondObject");
        r.x = Shifted(r.x, ox), r.y = Shifted(r.y, oy);
        ChargePixels(m, Area(Intersect(r, d.Width(), d.Height())));
        return Value::Bool(AnyAlphaAtLeast(d, r, first));
    }
    if (IsInstance(m, other, "flash.geom.Point")) {
        int px, py;
        PointArg(m, other, "secondObject", px, py);
        return Value::Bool(HitAlphaAt(d, Shifted(px, ox), Shifted(py, oy)) >= std::max(first, 1u));
    }
    m.ArgumentError(2005, "Parameter 2 is of the incorrect type. Should be type BitmapData, Point, Rectangle or Bitmap.");
}

// compare(other): 0 when alike, a bitmap of the differences when not;
// -3 and -4 for other widths and heights.
Value Compare(Machine& m, Value self, Args args, int argc) {
    const BitmapData& p = LiveBitmap(m, self).Data();
    const BitmapData& q = BitmapArg(m, Arg(args, argc, 0), "otherBitmapData").Data();
    if (p.Width() != q.Width()) return Value::Int(-3);
    if (p.Height() != q.Height()) return Value::Int(-4);
    ChargePixels(m, Area(p));
    Value out = Value::Null();
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const uint32_t diff = PixelDifference(p.GetPixel32(x, y), q.GetPixel32(x, y));
            if (!diff) continue;
            if (out.IsNull()) out = NewBitmapDataValue(m, p.Width(), p.Height(), true, 0);
            LiveBitmap(m, out).Data().SetPixel32(x, y, diff);
        }
    return out.IsNull() ? Value::Int(0) : out;
}

Value GetColorBoundsRect(Machine& m, Value self, Args args, int argc) {
    const BitmapData& d = LiveBitmap(m, self).Data();
    ChargePixels(m, Area(d));
    const bool find = argc < 3 || m.ToBoolean(args[2]);
    return NewRectangle(m, ColorBounds(d, m.ToUint32(Arg(args, argc, 0)), m.ToUint32(Arg(args, argc, 1)), find));
}

}  // namespace

void InstallBitmapDataOps(Machine& m, ClassObject* c) {
    m.DefineMethod(c, "threshold", Threshold, 5);
    m.DefineMethod(c, "merge", Merge, 7);
    m.DefineMethod(c, "copyChannel", CopyChannel, 5);
    m.DefineMethod(c, "paletteMap", PaletteMap, 3);
    m.DefineMethod(c, "pixelDissolve", PixelDissolve, 3);
    m.DefineMethod(c, "noise", Noise, 1);
    m.DefineMethod(c, "perlinNoise", PerlinNoise, 4);
    m.DefineMethod(c, "floodFill", FloodFill, 3);
    m.DefineMethod(c, "scroll", Scroll, 2);
    m.DefineMethod(c, "hitTest", HitTest, 3);
    m.DefineMethod(c, "compare", Compare, 1);
    m.DefineMethod(c, "getColorBoundsRect", GetColorBoundsRect, 2);
}

}  // namespace swf::avm2
