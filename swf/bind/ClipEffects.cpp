// The effect properties of movie clips and buttons: filters (read as
// copies, applied when set), blendMode (names or numbers, read as a name),
// cacheAsBitmap, opaqueBackground, scrollRect and scale9Grid (rectangles in
// pixels of the object's space).
#include <cmath>

#include "swf/avm1/FilterClasses.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr uint32_t kRgbMask = 0xFFFFFF;
constexpr double kMaxPixels = 1 << 26;  // keeps twips in 32 bits

Value GetBlendMode(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    return o ? avm1::FromBlendMode(o->blendMode) : Value();
}

// Nothing resets the mode; a number counts by its low byte, whole part;
// anything else must be a mode's exact name.
Value SetBlendMode(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    Value v = a.Arg(0);
    BlendMode mode = BlendMode::Normal;
    if (v.IsNumber()) {
        if (!std::isfinite(v.n)) return Value();
        v = Value::Num(double(int64_t(std::trunc(std::fmod(v.n, 4294967296.0))) & 0xFF));
    }
    if (o && (v.IsNullish() || avm1::ToBlendMode(a.vm, v, mode))) o->blendMode = mode;
    return Value();
}

Value GetCacheAsBitmap(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    return o ? Value::Bool(o->cacheAsBitmap) : Value();
}

Value SetCacheAsBitmap(CallArgs& a) {
    if (DisplayObject* o = ObjectOf(a)) o->cacheAsBitmap = a.vm.ToBool(a.Arg(0));
    return Value();
}

Value GetOpaqueBackground(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o || !o->opaqueBackground) return o ? Value::Null() : Value();
    const Rgba c = *o->opaqueBackground;
    return Value::Num(double((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b));
}

Value SetOpaqueBackground(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    if (a.Arg(0).IsNullish()) {
        o->opaqueBackground.reset();
        return Value();
    }
    const uint32_t c = uint32_t(avm1::ToInt32(a.vm.ToNumber(a.Arg(0)))) & kRgbMask;
    o->opaqueBackground = Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
    return Value();
}

Value RectangleValue(avm1::Vm& vm, const Rect& r) { return NewRectangle(vm, GeomRect::FromTwips(r)); }

// The rectangle's twips; false for anything without four finite numbers
// or with a negative size.
bool RectFromValue(avm1::Vm& vm, const Value& v, Rect& out) {
    if (!v.IsObject()) return false;
    double f[4];
    const char* names[] = {"x", "y", "width", "height"};
    for (size_t i = 0; i < 4; ++i) {
        f[i] = vm.ToNumber(vm.GetMember(v, names[i]));
        if (!std::isfinite(f[i]) || std::fabs(f[i]) > kMaxPixels) return false;
    }
    if (f[2] < 0 || f[3] < 0) return false;
    auto tw = [](double p) { return int32_t(std::lround(p * kTwipsPerPixel)); };
    out = {tw(f[0]), tw(f[0] + f[2]), tw(f[1]), tw(f[1] + f[3])};
    return true;
}

enum RectProperty { kScrollRect, kScale9Grid };

std::optional<Rect>& RectOf(DisplayObject& o, int which) { return which == kScrollRect ? o.scrollRect : o.scale9Grid; }

Value GetRect(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    const std::optional<Rect>& r = RectOf(*o, a.callee->fn->magic);
    return r ? RectangleValue(a.vm, *r) : Value();
}

Value SetRect(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    Rect r;
    std::optional<Rect>& slot = RectOf(*o, a.callee->fn->magic);
    if (RectFromValue(a.vm, a.Arg(0), r)) slot = r;
    else slot.reset();
    return Value();
}

}  // namespace

Value GetObjectFilters(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    return avm1::FromFilterList(a.vm, o->filters ? *o->filters : FilterList{});
}

Value SetObjectFilters(CallArgs& a) {
    DisplayObject* o = ObjectOf(a);
    if (!o) return Value();
    FilterList list = avm1::ToFilterList(a.vm, a.Arg(0));
    o->filters = list.empty() ? nullptr : std::make_shared<const FilterList>(std::move(list));
    return Value();
}

void InstallClipEffects(avm1::Vm& vm) {
    for (avm1::Object* proto : {vm.clipProto, vm.buttonProto}) {
        vm.DefineAccessor(proto, "filters", GetObjectFilters, SetObjectFilters);
        vm.DefineAccessor(proto, "blendMode", GetBlendMode, SetBlendMode);
        vm.DefineAccessor(proto, "cacheAsBitmap", GetCacheAsBitmap, SetCacheAsBitmap);
        vm.DefineAccessor(proto, "opaqueBackground", GetOpaqueBackground, SetOpaqueBackground);
        vm.DefineAccessor(proto, "scrollRect", GetRect, SetRect, kScrollRect);
        vm.DefineAccessor(proto, "scale9Grid", GetRect, SetRect, kScale9Grid);
    }
}

}  // namespace swf::bind
