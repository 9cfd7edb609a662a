// BitmapData.noise and perlinNoise: both seeded, so the same call gives the
// same pixels in every run (captures repeat).
#include <cmath>

#include "swf/bind/BitmapDataValue.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"
#include "swf/classes/PerlinNoise.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

uint32_t ChannelsArg(CallArgs& a, size_t i) {
    return i < a.args.size() ? uint32_t(avm1::ToInt32(a.vm.ToNumber(a.args[i]))) : 7;
}

// noise(seed, low, high, channels, grayScale): a cheap generator per pixel.
Value Noise(CallArgs& a) {
    if (!Usable(a, 1)) return Value::Num(kRefused);
    ScriptBitmap* b = Live(BitmapOf(a.self));
    if (!ChargePixels(a, "noise", Area(b->Data()))) return Value::Num(0);
    BitmapData& d = b->Data();
    // Given but not a number reads as 0; only a missing high is 255.
    auto level = [&](size_t i, int missing) {
        return i < a.args.size() ? std::max(0, std::min(255, int(avm1::ToInt32(a.vm.ToNumber(a.args[i])))))
                                 : missing;
    };
    FillNoise(d, avm1::ToInt32(NumberArg(a, 0, 0)), level(1, 0), level(2, 255), ChannelsArg(a, 3),
              a.vm.ToBool(a.Arg(4)));
    b->Changed();
    return Value::Num(0);
}

// perlinNoise(baseX, baseY, numOctaves, randomSeed, stitch, fractalNoise,
// channelOptions, grayScale, offsets)
Value PerlinNoise(CallArgs& a) {
    ScriptBitmap* b = Live(BitmapOf(a.self));
    if (!b) return Value();
    BitmapData& d = b->Data();
    PerlinOptions o;
    o.baseX = NumberArg(a, 0, 1);
    o.baseY = NumberArg(a, 1, 1);
    const double octaves = NumberArg(a, 2, 1);
    o.octaves = std::isfinite(octaves) ? int(std::clamp(octaves, 1.0, double(kMaxPerlinOctaves))) : 1;
    o.seed = avm1::ToInt32(NumberArg(a, 3, 0));
    o.stitch = a.vm.ToBool(a.Arg(4));
    o.fractal = a.vm.ToBool(a.Arg(5));
    o.channels = ChannelsArg(a, 6);
    o.gray = a.vm.ToBool(a.Arg(7));
    const Value offsets = a.Arg(8);
    const std::vector<Value> points =
        offsets.IsObject() && offsets.o->cls == avm1::ObjClass::Array ? a.vm.ArrayValues(offsets.o) : std::vector<Value>();
    for (size_t k = 0; k < size_t(o.octaves) && k < points.size(); ++k) {
        GeomPoint p;
        ReadPoint(a.vm, points[k], p);
        o.offsets.push_back(p);
    }
    const uint64_t planes = uint64_t(std::max(1, PerlinPlanes(o, d.Transparent())));
    if (!ChargePixels(a, "perlinNoise", Area(d) * uint64_t(o.octaves) * planes)) return Value();
    FillPerlinNoise(d, o);
    b->Changed();
    return Value();
}

}  // namespace

void InstallBitmapDataNoise(avm1::Vm& vm, avm1::Object* proto) {
    vm.DefineNative(proto, "noise", Noise);
    vm.DefineNative(proto, "perlinNoise", PerlinNoise);
}

}  // namespace swf::bind
