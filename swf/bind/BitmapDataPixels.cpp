// BitmapData methods that take a source rectangle to a point of this
// bitmap pixel by pixel: threshold, merge, copyChannel, paletteMap and
// pixelDissolve. Colours are worked on straight (not premultiplied), as
// scripts read and write them.
#include <cmath>
#include <utility>
#include <vector>

#include "swf/bind/BitmapDataValue.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

uint32_t UintArg(CallArgs& a, size_t i, uint32_t fallback) {
    // Only a missing argument takes the fallback: undefined reads as 0.
    return i < a.args.size() ? uint32_t(avm1::ToInt32(a.vm.ToNumber(a.args[i]))) : fallback;
}

// The pixels a (source, sourceRect, destPoint) call works on: the rectangle
// clipped to the source, its image clipped to this bitmap.
struct Span {
    BitmapData* target = nullptr;
    const BitmapData* source = nullptr;
    int sx = 0, sy = 0, dx = 0, dy = 0, width = 0, height = 0;
    // Source pixels copied first when source and target are one bitmap, so
    // the pass reads what was there before it.
    std::vector<uint32_t> saved, savedStored;

    uint32_t Source(int x, int y) const {
        return saved.empty() ? source->GetPixel32(sx + x, sy + y) : saved[size_t(y) * size_t(width) + size_t(x)];
    }
    // As kept (premultiplied): what threshold tests.
    uint32_t SourceStored(int x, int y) const {
        return savedStored.empty() ? source->Pixels().At(sx + x, sy + y)
                                   : savedStored[size_t(y) * size_t(width) + size_t(x)];
    }
    uint32_t Target(int x, int y) const { return target->GetPixel32(dx + x, dy + y); }
    void Set(int x, int y, uint32_t argb) { target->SetPixel32(dx + x, dy + y, argb); }
    void SetStored(int x, int y, uint32_t p) { target->SetStored(dx + x, dy + y, p); }
};

// Reads the three leading arguments; false when there is nothing to do
// or the budget refused the call.
bool ReadSpan(CallArgs& a, const char* method, ScriptBitmap*& self, Span& s) {
    self = Live(BitmapOf(a.self));
    const std::shared_ptr<ScriptBitmap> source = BitmapOf(a.Arg(0));
    if (!self || !Live(source)) return false;
    const PixelRect from = PixelRectArg(a, 1);
    const GeomPoint to = OffsetArg(a, 2);
    const PixelRect cut = Intersect(from, source->Data().Width(), source->Data().Height());
    const int64_t toX = int64_t(PixelCoord(to.x)) + cut.x - from.x, toY = int64_t(PixelCoord(to.y)) + cut.y - from.y;
    BitmapData& target = self->Data();
    const int64_t x0 = std::max<int64_t>(toX, 0), y0 = std::max<int64_t>(toY, 0);
    const int64_t x1 = std::min<int64_t>(toX + cut.width, target.Width());
    const int64_t y1 = std::min<int64_t>(toY + cut.height, target.Height());
    if (x1 <= x0 || y1 <= y0) return false;
    s.target = &target;
    s.source = &source->Data();
    s.dx = int(x0), s.dy = int(y0), s.width = int(x1 - x0), s.height = int(y1 - y0);
    s.sx = int(cut.x + x0 - toX), s.sy = int(cut.y + y0 - toY);
    if (!ChargePixels(a, method, Area({0, 0, s.width, s.height}))) return false;
    if (s.source == s.target) {
        s.saved.resize(size_t(s.width) * size_t(s.height));
        s.savedStored.resize(s.saved.size());
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const size_t i = size_t(y) * size_t(s.width) + size_t(x);
                s.saved[i] = s.source->GetPixel32(s.sx + x, s.sy + y);
                s.savedStored[i] = s.source->Pixels().At(s.sx + x, s.sy + y);
            }
    }
    return true;
}

template <typename F>
void EachPixel(const Span& s, F f) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) f(x, y);
}

// threshold(source, rect, point, operation, threshold, color, mask,
// copySource): the pixels whose masked value (premultiplied, as kept)
// passes the test become `color`; the others keep theirs, or take the
// source's with copySource. It works on kept pixels as they are: an
// opaque bitmap may end up holding translucent ones.
// Returns how many passed.
Value Threshold(CallArgs& a) {
    ScriptBitmap* self;
    Span s;
    const std::string op = a.vm.ToString(a.Arg(3));
    static const char* const kOps[] = {"<", "<=", ">", ">=", "==", "!="};
    int which = 0;  // an operation it does not know tests "<"
    for (int i = 0; i < 6; ++i)
        if (op == kOps[i]) which = i;
    if (const double code = CheckSourceArgs(a, 5)) return Value::Num(code);
    if (!ReadSpan(a, "threshold", self, s)) return Value::Num(0);
    const uint32_t mask = UintArg(a, 6, 0xFFFFFFFFu);
    const uint32_t limit = UintArg(a, 4, 0) & mask, color = UintArg(a, 5, 0);
    const bool copy = a.vm.ToBool(a.Arg(7));
    const uint32_t stored = FrameBuffer::Premultiply(
        {uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color), uint8_t(color >> 24)});
    double passed = 0;
    EachPixel(s, [&](int x, int y) {
        const uint32_t p = s.SourceStored(x, y), v = p & mask;
        const bool pass = which == 0 ? v < limit : which == 1 ? v <= limit : which == 2 ? v > limit
                        : which == 3 ? v >= limit : which == 4 ? v == limit : v != limit;
        if (pass) ++passed;
        if (pass) s.SetStored(x, y, stored);
        else if (copy) s.SetStored(x, y, p);
    });
    self->Changed();
    return Value::Num(passed);
}

// merge(source, rect, point, red, green, blue, alpha multipliers): each
// channel mixed as (source * m + this * (256 - m)) / 256.
Value Merge(CallArgs& a) {
    ScriptBitmap* self;
    Span s;
    if (!ReadSpan(a, "merge", self, s)) return Value();
    static const size_t kArgOfByte[] = {5, 4, 3, 6};  // blue, green, red, alpha
    uint32_t mult[4];
    for (int c = 0; c < 4; ++c) mult[c] = uint32_t(std::clamp(int32_t(UintArg(a, kArgOfByte[c], 0)), 0, 256));
    EachPixel(s, [&](int x, int y) {
        const uint32_t from = s.Source(x, y), to = s.Target(x, y);
        uint32_t out = 0;
        for (int c = 0; c < 4; ++c) {
            const uint32_t f = (from >> (8 * c)) & 0xFF, t = (to >> (8 * c)) & 0xFF;
            out |= ((f * mult[c] + t * (256 - mult[c])) >> 8) << (8 * c);
        }
        s.Set(x, y, out);
    });
    self->Changed();
    return Value();
}

// The byte position of a channel flag (1 red, 2 green, 4 blue, 8 alpha);
// -1 for anything else.
int ChannelShift(uint32_t flag) {
    switch (flag) {
    case 1: return 16;
    case 2: return 8;
    case 4: return 0;
    case 8: return 24;
    default: return -1;
    }
}

// copyChannel(source, rect, point, sourceChannel, destChannel): -1 done
// or not, unless an argument is refused.
Value CopyChannel(CallArgs& a) {
    if (const double code = CheckSourceArgs(a, 5)) return Value::Num(code);
    const int from = ChannelShift(UintArg(a, 3, 0)), to = ChannelShift(UintArg(a, 4, 0));
    ScriptBitmap* self = Live(BitmapOf(a.self));
    // An opaque bitmap has no alpha to write; a source that is not one
    // channel reads as zeros.
    if (to < 0 || (to == 24 && !self->Data().Transparent())) return Value::Num(kRefused);
    Span s;
    if (!ReadSpan(a, "copyChannel", self, s)) return Value::Num(kRefused);
    EachPixel(s, [&](int x, int y) {
        const uint32_t v = from < 0 ? 0 : (s.Source(x, y) >> from) & 0xFF;
        s.Set(x, y, (s.Target(x, y) & ~(0xFFu << to)) | v << to);
    });
    self->Changed();
    return Value::Num(kRefused);
}

// paletteMap(source, rect, point, red, green, blue, alpha arrays): each
// channel's value picks an entry of its array, and the four entries are
// added. A channel without an array keeps its own value.
Value PaletteMap(CallArgs& a) {
    ScriptBitmap* self;
    Span s;
    if (!ReadSpan(a, "paletteMap", self, s)) return Value();
    static const int kShifts[] = {16, 8, 0, 24};
    std::vector<uint32_t> maps[4];
    for (int c = 0; c < 4; ++c) {
        const Value list = a.Arg(size_t(3 + c));
        if (!list.IsObject() || list.o->cls != avm1::ObjClass::Array) continue;
        maps[c].assign(256, 0);
        const std::vector<Value> values = a.vm.ArrayValues(list.o);
        for (size_t i = 0; i < 256 && i < values.size(); ++i)
            maps[c][i] = uint32_t(avm1::ToInt32(a.vm.ToNumber(values[i])));
    }
    EachPixel(s, [&](int x, int y) {
        const uint32_t p = s.Source(x, y);
        uint32_t out = 0;
        for (int c = 0; c < 4; ++c) {
            const uint32_t v = (p >> kShifts[c]) & 0xFF;
            out += maps[c].empty() ? v << kShifts[c] : maps[c][v];
        }
        s.Set(x, y, out);
    });
    self->Changed();
    return Value();
}

uint64_t Gcd(uint64_t a, uint64_t b) {
    while (b) a = std::exchange(b, a % b);
    return a;
}

// pixelDissolve(source, rect, point, seed, numPixels, fillColor): copies
// numPixels pixels of the source (or, from this bitmap itself, paints them
// fillColor) in an order the seed picks. The order visits every pixel once
// before any twice, and the returned seed continues it, so calls in a row
// dissolve the whole rectangle.
Value PixelDissolve(CallArgs& a) {
    ScriptBitmap* self;
    Span s;
    const bool toFill = BitmapOf(a.Arg(0)).get() == BitmapOf(a.self).get();
    if (!ReadSpan(a, "pixelDissolve", self, s)) return Value::Num(0);
    const uint64_t n = uint64_t(s.width) * uint64_t(s.height);
    const double seedArg = NumberArg(a, 3, 0);
    const uint64_t seed = std::isfinite(seedArg) ? uint64_t(uint32_t(avm1::ToInt32(seedArg))) % n : 0;
    const double countArg = NumberArg(a, 4, double(n / 30));
    const uint64_t count = std::isfinite(countArg) && countArg > 0 ? std::min<uint64_t>(uint64_t(countArg), n) : 0;
    const uint32_t fill = UintArg(a, 5, 0);
    // A step coprime with n walks a permutation of the rectangle.
    uint64_t step = (n * 5 / 8) | 1;
    while (Gcd(step, n) != 1) ++step;
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t at = (seed + i) % n * step % n;
        const int x = int(at % uint64_t(s.width)), y = int(at / uint64_t(s.width));
        s.Set(x, y, toFill ? fill : s.Source(x, y));
    }
    self->Changed();
    return Value::Num(double((seed + count) % n));
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
