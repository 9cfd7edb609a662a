// flash.display.BitmapData: construction within the size and memory limits,
// its properties, and the pixel operations on one bitmap. A size refused
// still makes an object: its width and height read -1 and its methods do
// nothing, as scripts of the original player see it.
#include <cmath>
#include <vector>

#include "swf/bind/BitmapDataValue.h"
#include "swf/bind/Bindings.h"
#include "swf/bind/GeomArgs.h"
#include "swf/classes/BitmapOps.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr const char* kClassPath = "BitmapData";

uint32_t ColorArg(CallArgs& a, size_t i, uint32_t fallback = 0) {
    return i < a.args.size() && !a.args[i].IsUndefined() ? uint32_t(avm1::ToInt32(a.vm.ToNumber(a.args[i])))
                                                         : fallback;
}

// A coordinate that is no number reads as 0.
int IntArg(CallArgs& a, size_t i) {
    const double v = NumberArg(a, i, 0);
    return std::isnan(v) ? 0 : PixelCoord(v);
}

// The bitmap of `this`, live (not disposed); null otherwise.
ScriptBitmap* Self(CallArgs& a) {
    ScriptBitmap* b = BitmapOf(a.self).get();
    return b && !b->Data().Disposed() ? b : nullptr;
}

// What the pixel methods return when called with fewer arguments than they
// need or on a disposed bitmap, and when an argument is of the wrong kind.

// True when `v` inherits from flash.geom.<name>.prototype.
bool IsGeom(avm1::Vm& vm, const Value& v, const char* name) {
    if (!v.IsObject()) return false;
    const Value geom = vm.GetMember(vm.GetMember(Value::Obj(vm.global), "flash"), "geom");
    const Value ctor = geom.IsObject() ? vm.GetMember(geom, name) : Value();
    const Value proto = ctor.IsObject() ? vm.GetMember(ctor, "prototype") : Value();
    if (!proto.IsObject()) return false;
    int hops = 0;
    for (avm1::Object* p = v.o->proto; p && hops < 256; p = p->proto, ++hops)
        if (p == proto.o) return true;
    return false;
}


Value Ctor(CallArgs& a) {
    if (!a.construct || !a.self.IsObject()) return Value();
    const double w = NumberArg(a, 0, 0), h = NumberArg(a, 1, 0);
    const bool transparent = a.args.size() < 3 || a.args[2].IsUndefined() || a.vm.ToBool(a.args[2]);
    const uint32_t fill = ColorArg(a, 3, 0xFFFFFFFFu);
    // A size the movie's version refuses makes no object; past our memory
    // budget it is an object without pixels.
    if (!std::isfinite(w) || !std::isfinite(h) || std::fabs(w) >= 1e9 || std::fabs(h) >= 1e9 ||
        !BitmapData::FitsVersion(int64_t(w), int64_t(h), a.vm.Version())) {
        a.vm.RefuseConstruction();
        return Value();
    }
    std::shared_ptr<ScriptBitmap> bitmap = BitmapsOf(a.vm).Create(int(w), int(h), transparent, fill);
    if (!bitmap) {
        a.vm.Report("BitmapData: " + a.vm.ToString(a.Arg(0)) + " x " + a.vm.ToString(a.Arg(1)) +
                    " refused: past the bitmap memory budget");
        return Value();
    }
    auto handle = std::make_shared<BitmapHandle>();
    handle->bitmap = std::move(bitmap);
    a.self.o->native = std::move(handle);
    return Value();
}

enum { kWidth, kHeight, kTransparent, kRectangle };

Value Property(CallArgs& a) {
    std::shared_ptr<ScriptBitmap> b = BitmapOf(a.self);
    const int magic = a.callee->fn->magic;
    if (magic == kTransparent) return b ? Value::Bool(b->Data().Transparent()) : Value();
    const int w = b ? b->Data().Width() : -1, h = b ? b->Data().Height() : -1;
    if (magic == kWidth) return Value::Num(w);
    if (magic == kHeight) return Value::Num(h);
    return NewRectangle(a.vm, {0, 0, double(w), double(h)});
}

enum { kGetPixel, kGetPixel32 };

// getPixel32 reads as a signed number.
Value GetPixel(CallArgs& a) {
    if (!Usable(a, 2)) return Value::Num(kRefused);
    ScriptBitmap* b = Self(a);
    const int x = IntArg(a, 0), y = IntArg(a, 1);
    if (a.callee->fn->magic == kGetPixel) return Value::Num(double(b->Data().GetPixel(x, y)));
    return Value::Num(double(int32_t(b->Data().GetPixel32(x, y))));
}

enum { kSetPixel, kSetPixel32 };

Value SetPixel(CallArgs& a) {
    if (!Usable(a, 3)) return Value::Num(kRefused);
    ScriptBitmap* b = Self(a);
    const int x = IntArg(a, 0), y = IntArg(a, 1);
    if (a.callee->fn->magic == kSetPixel) b->Data().SetPixel(x, y, ColorArg(a, 2));
    else b->Data().SetPixel32(x, y, ColorArg(a, 2));
    b->Changed();
    return Value::Num(0);
}

Value FillRect(CallArgs& a) {
    ScriptBitmap* b = Self(a);
    if (b && ChargePixels(a, "fillRect", Area(Intersect(PixelRectArg(a, 0), b->Data().Width(), b->Data().Height())))) {
        b->Data().FillRect(PixelRectArg(a, 0), ColorArg(a, 1));
        b->Changed();
    }
    return Value();
}

// Gives -1 done or not, -2 for no rectangle, -3 for no ColorTransform.
Value ColorTransformNative(CallArgs& a) {
    if (!Usable(a, 2)) return Value::Num(kRefused);
    if (!HasRectFields(a.vm, a.Arg(0))) return Value::Num(kBadFirst);
    if (!IsGeom(a.vm, a.Arg(1), "ColorTransform")) return Value::Num(kBadSecond);
    ScriptBitmap* b = Self(a);
    if (ChargePixels(a, "colorTransform", Area(Intersect(PixelRectArg(a, 0), b->Data().Width(), b->Data().Height())))) {
        b->Data().ApplyColorTransform(PixelRectArg(a, 0), ReadColorTransform(a.vm, a.Arg(1)).ToEngine());
        b->Changed();
    }
    return Value::Num(kRefused);
}

Value Scroll(CallArgs& a) {
    if (!Usable(a, 2)) return Value::Num(kRefused);
    ScriptBitmap* b = Self(a);
    if (ChargePixels(a, "scroll", Area(b->Data()))) {
        BitmapData& d = b->Data();
        d.CopyPixels(d, {0, 0, d.Width(), d.Height()}, IntArg(a, 0), IntArg(a, 1), false);
        b->Changed();
    }
    return Value::Num(0);
}

Value Clone(CallArgs& a) {
    ScriptBitmap* b = Self(a);
    if (!b || !ChargePixels(a, "clone", Area(b->Data()))) return Value();
    const BitmapData& d = b->Data();
    std::shared_ptr<ScriptBitmap> copy = BitmapsOf(a.vm).Create(d.Width(), d.Height(), d.Transparent(), 0);
    if (!copy) {
        a.vm.Report("BitmapData.clone: bitmap memory budget spent");
        return Value();
    }
    copy->Data().CopyPixels(d, {0, 0, d.Width(), d.Height()}, 0, 0, false);
    return NewBitmapValue(a.vm, std::move(copy));
}

Value Dispose(CallArgs& a) {
    if (std::shared_ptr<ScriptBitmap> b = BitmapOf(a.self)) b->Dispose();
    return Value();
}

// Four-way fill of the pixels equal to the seed's: 1 when it filled, 0 when
// the seed is outside or already of that colour.
Value FloodFill(CallArgs& a) {
    if (!Usable(a, 3)) return Value::Num(kRefused);
    ScriptBitmap* b = Self(a);
    BitmapData& d = b->Data();
    const int x = IntArg(a, 0), y = IntArg(a, 1), w = d.Width(), h = d.Height();
    if (x < 0 || y < 0 || x >= w || y >= h || !ChargePixels(a, "floodFill", Area(d))) return Value::Num(0);
    if (!FloodFillPixels(d, x, y, ColorArg(a, 2))) return Value::Num(0);
    b->Changed();
    return Value::Num(1);
}

// BitmapData.loadBitmap(linkage): a copy of an exported bitmap.
Value LoadBitmap(CallArgs& a) {
    const std::string name = a.vm.ToString(a.Arg(0));
    const Movie& movie = HostOf(a.vm).Context().movie;
    const Bitmap* image = nullptr;
    for (const auto& e : movie.exports)
        if (avm1::EqualNames(e.first, name, true) && (image = movie.FindBitmap(e.second))) break;
    if (!image || image->Empty()) return Value();
    std::shared_ptr<ScriptBitmap> bitmap = BitmapsOf(a.vm).Create(image->width, image->height, !image->opaque, 0);
    if (!bitmap) {
        a.vm.Report("BitmapData.loadBitmap: " + name + " over the bitmap memory budget");
        return Value();
    }
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x) bitmap->Data().SetPixel32(x, y, Unpremultiply(image->At(x, y)));
    return NewBitmapValue(a.vm, std::move(bitmap));
}

avm1::Object* Package(avm1::Vm& vm, avm1::Object* in, const char* name) {
    const Value v = vm.Get(in, name, Value::Obj(in));
    if (v.IsObject()) return v.o;
    avm1::Object* o = vm.NewObject(vm.objectProto);
    vm.SetHidden(in, name, Value::Obj(o));
    return o;
}

avm1::Object* Prototype(avm1::Vm& vm) {
    const Value flash = vm.Get(vm.global, "flash", Value::Obj(vm.global));
    const Value display = flash.IsObject() ? vm.Get(flash.o, "display", flash) : Value();
    const Value ctor = display.IsObject() ? vm.Get(display.o, kClassPath, display) : Value();
    const Value proto = ctor.IsObject() ? vm.Get(ctor.o, "prototype", ctor) : Value();
    return proto.IsObject() ? proto.o : vm.objectProto;
}

}  // namespace

bool Usable(CallArgs& a, size_t needs) { return a.args.size() >= needs && Self(a); }

bool HasRectFields(avm1::Vm& vm, const Value& v) {
    if (!v.IsObject()) return false;
    for (const char* f : {"x", "y", "width", "height"})
        if (vm.GetMember(v, f).IsUndefined()) return false;
    return true;
}

double CheckSourceArgs(CallArgs& a, size_t needs) {
    if (!Usable(a, needs)) return kRefused;
    const std::shared_ptr<ScriptBitmap> source = BitmapOf(a.Arg(0));
    if (!source) return kBadFirst;
    if (!Live(source)) return kBadSecond;
    return HasRectFields(a.vm, a.Arg(1)) ? 0 : kBadRect;
}

ScriptBitmap* Live(const std::shared_ptr<ScriptBitmap>& b) { return b && !b->Data().Disposed() ? b.get() : nullptr; }

PixelRect PixelRectArg(CallArgs& a, size_t i) {
    GeomRect r;
    return ReadRect(a.vm, a.Arg(i), r) ? ToPixels(r) : PixelRect{};
}

GeomPoint OffsetArg(CallArgs& a, size_t i) {
    GeomPoint p;
    ReadPoint(a.vm, a.Arg(i), p);
    return p;
}

bool ChargePixels(CallArgs& a, const char* method, uint64_t units) {
    ScriptBitmaps& bitmaps = BitmapsOf(a.vm);
    if (bitmaps.SpendPixels(units)) return true;
    if (bitmaps.FirstRefusal())
        a.vm.Report(std::string("BitmapData.") + method + ": pixel work budget of this frame spent, call skipped");
    return false;
}

std::shared_ptr<ScriptBitmap> BitmapOf(const Value& v) {
    if (!v.IsObject() || !v.o->native) return nullptr;
    auto* handle = dynamic_cast<BitmapHandle*>(v.o->native.get());
    return handle ? handle->bitmap : nullptr;
}

Value NewBitmapValue(avm1::Vm& vm, std::shared_ptr<ScriptBitmap> bitmap) {
    avm1::Object* o = vm.NewObject(Prototype(vm));
    auto handle = std::make_shared<BitmapHandle>();
    handle->bitmap = std::move(bitmap);
    o->native = std::move(handle);
    return Value::Obj(o);
}

ScriptBitmaps& BitmapsOf(avm1::Vm& vm) { return *HostOf(vm).Context().bitmaps; }

void InstallBitmapData(avm1::Vm& vm) {
    avm1::Object* display = Package(vm, Package(vm, vm.global, "flash"), "display");
    avm1::Object* proto = vm.NewObject(vm.objectProto);
    avm1::Object* ctor = vm.NewNative(Ctor);
    vm.SetHidden(ctor, "prototype", Value::Obj(proto));
    vm.SetHidden(proto, "constructor", Value::Obj(ctor));
    vm.SetHidden(display, kClassPath, Value::Obj(ctor));
    vm.DefineNative(ctor, "loadBitmap", LoadBitmap);
    // Plain members: scripts may list, change and delete them.
    const std::pair<const char*, int> channels[] = {
        {"RED_CHANNEL", 1}, {"GREEN_CHANNEL", 2}, {"BLUE_CHANNEL", 4}, {"ALPHA_CHANNEL", 8}};
    for (const auto& [name, bit] : channels) ctor->Put(name, vm.Ci()).value = Value::Num(bit);
    vm.DefineAccessor(proto, "width", Property, nullptr, kWidth);
    vm.DefineAccessor(proto, "height", Property, nullptr, kHeight);
    vm.DefineAccessor(proto, "transparent", Property, nullptr, kTransparent);
    vm.DefineAccessor(proto, "rectangle", Property, nullptr, kRectangle);
    vm.DefineNative(proto, "getPixel", GetPixel, kGetPixel);
    vm.DefineNative(proto, "getPixel32", GetPixel, kGetPixel32);
    vm.DefineNative(proto, "setPixel", SetPixel, kSetPixel);
    vm.DefineNative(proto, "setPixel32", SetPixel, kSetPixel32);
    vm.DefineNative(proto, "fillRect", FillRect);
    vm.DefineNative(proto, "colorTransform", ColorTransformNative);
    vm.DefineNative(proto, "scroll", Scroll);
    vm.DefineNative(proto, "clone", Clone);
    vm.DefineNative(proto, "dispose", Dispose);
    vm.DefineNative(proto, "floodFill", FloodFill);
    InstallBitmapDataDraw(vm, proto);
    InstallBitmapDataPixels(vm, proto);
    InstallBitmapDataCompare(vm, proto);
    InstallBitmapDataNoise(vm, proto);
}

}  // namespace swf::bind
