// BitmapData methods that take a source rectangle to a point of this
// bitmap pixel by pixel: threshold, merge, copyChannel, paletteMap and
// pixelDissolve, read from script arguments (the pixel work is shared with
// the other script machine).
#include <cmath>
#include <utility>
#include <vector>

#include "swf/bind/BitmapDataValue.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"
#include "swf/classes/BitmapOps.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

uint32_t UintArg(CallArgs& a, size_t i, uint32_t fallback) {
    // Only a missing argument takes the fallback: undefined reads as 0.
    return i < a.args.size() ? uint32_t(avm1::ToInt32(a.vm.ToNumber(a.args[i]))) : fallback;
}

// Reads the three leading arguments; false when there is nothing to do
// or the budget refused the call.
bool ReadSpan(CallArgs& a, const char* method, ScriptBitmap*& self, PixelSpan& s) {
    self = Live(BitmapOf(a.self));
    const std::shared_ptr<ScriptBitmap> source = BitmapOf(a.Arg(0));
    if (!self || !Live(source)) return false;
    const GeomPoint to = OffsetArg(a, 2);
    return ClipSpan(self->Data(), source->Data(), PixelRectArg(a, 1), PixelCoord(to.x), PixelCoord(to.y), s) &&
           ChargePixels(a, method, s.Area());
}

// threshold(source, rect, point, operation, threshold, color, mask,
// copySource): returns how many pixels passed.
Value Threshold(CallArgs& a) {
    ScriptBitmap* self;
    PixelSpan s;
    const ThresholdTest test = ThresholdTestOf(a.vm.ToString(a.Arg(3)));
    if (const double code = CheckSourceArgs(a, 5)) return Value::Num(code);
    if (!ReadSpan(a, "threshold", self, s)) return Value::Num(0);
    const uint32_t passed = ThresholdPixels(s, test, UintArg(a, 4, 0), UintArg(a, 5, 0), UintArg(a, 6, 0xFFFFFFFFu),
                                            a.vm.ToBool(a.Arg(7)));
    self->Changed();
    return Value::Num(passed);
}

// merge(source, rect, point, red, green, blue, alpha multipliers).
Value Merge(CallArgs& a) {
    ScriptBitmap* self;
    PixelSpan s;
    if (!ReadSpan(a, "merge", self, s)) return Value();
    uint32_t mult[4];
    for (int c = 0; c < 4; ++c) mult[c] = uint32_t(std::clamp(int32_t(UintArg(a, size_t(3 + c), 0)), 0, 256));
    MergePixels(s, mult);
    self->Changed();
    return Value();
}

// copyChannel(source, rect, point, sourceChannel, destChannel): -1 done
// or not, unless an argument is refused.
Value CopyChannel(CallArgs& a) {
    if (const double code = CheckSourceArgs(a, 5)) return Value::Num(code);
    const int from = ChannelShift(UintArg(a, 3, 0)), to = ChannelShift(UintArg(a, 4, 0));
    ScriptBitmap* self = Live(BitmapOf(a.self));
    // An opaque bitmap has no alpha to write.
    if (to < 0 || (to == 24 && !self->Data().Transparent())) return Value::Num(kRefused);
    PixelSpan s;
    if (!ReadSpan(a, "copyChannel", self, s)) return Value::Num(kRefused);
    CopyChannelPixels(s, from, to);
    self->Changed();
    return Value::Num(kRefused);
}

// paletteMap(source, rect, point, red, green, blue, alpha arrays).
Value PaletteMap(CallArgs& a) {
    ScriptBitmap* self;
    PixelSpan s;
    if (!ReadSpan(a, "paletteMap", self, s)) return Value();
    std::vector<uint32_t> maps[4];
    for (int c = 0; c < 4; ++c) {
        const Value list = a.Arg(size_t(3 + c));
        if (!list.IsObject() || list.o->cls != avm1::ObjClass::Array) continue;
        maps[c].assign(256, 0);
        const std::vector<Value> values = a.vm.ArrayValues(list.o);
        for (size_t i = 0; i < 256 && i < values.size(); ++i)
            maps[c][i] = uint32_t(avm1::ToInt32(a.vm.ToNumber(values[i])));
    }
    PaletteMapPixels(s, maps);
    self->Changed();
    return Value();
}

// pixelDissolve(source, rect, point, seed, numPixels, fillColor): from
// this bitmap itself it paints fillColor. Returns the seed that goes on.
Value PixelDissolve(CallArgs& a) {
    ScriptBitmap* self;
    PixelSpan s;
    const bool paint = BitmapOf(a.Arg(0)).get() == BitmapOf(a.self).get();
    if (!ReadSpan(a, "pixelDissolve", self, s)) return Value::Num(0);
    const uint64_t n = s.Area();
    const double seedArg = NumberArg(a, 3, 0);
    const uint64_t seed = std::isfinite(seedArg) ? uint64_t(uint32_t(avm1::ToInt32(seedArg))) : 0;
    const double countArg = NumberArg(a, 4, double(n / 30));
    const uint64_t count = std::isfinite(countArg) && countArg > 0 ? std::min<uint64_t>(uint64_t(countArg), n) : 0;
    const uint64_t next = DissolvePixels(s, seed, count, paint, UintArg(a, 5, 0));
    self->Changed();
    return Value::Num(double(next));
}

}  // namespace

void InstallBitmapDataPixels(avm1::Vm& vm, avm1::Object* proto) {
    vm.DefineNative(proto, "threshold", Threshold);
    vm.DefineNative(proto, "merge", Merge);
    vm.DefineNative(proto, "copyChannel", CopyChannel);
    vm.DefineNative(proto, "paletteMap", PaletteMap);
    vm.DefineNative(proto, "pixelDissolve", PixelDissolve);
}

}  // namespace swf::bind
