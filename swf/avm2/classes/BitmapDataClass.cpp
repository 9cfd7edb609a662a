// flash.display.BitmapData and Bitmap. A BitmapData holds the same shared
// bitmap the other script machine uses (ScriptBitmaps.h), so whatever shows
// it sees its later changes. A disposed or refused bitmap throws on use.
// A Bitmap shows its BitmapData as a rectangle of its drawing filled with it.
#include <cmath>

#include "swf/avm2/classes/BitmapDataShared.h"
#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/Loading.h"
#include "swf/classes/Drawing.h"
#include "swf/classes/DrawingStyles.h"
#include "swf/classes/Geom.h"
#include "swf/classes/ScriptBitmaps.h"

namespace swf::avm2 {

namespace {

class BitmapDataObject : public Object {
public:
    BitmapDataObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    std::shared_ptr<ScriptBitmap> bitmap;
};

class BitmapObject : public DispatcherObject {
public:
    BitmapObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    Value data;
    std::string pixelSnapping = "auto";
    bool smoothing = false;
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        t.Mark(data);
    }
};

Object* AllocBitmapData(Machine& m, ClassObject* cls) { return m.New<BitmapDataObject>(cls, cls->prototype); }

Object* AllocBitmap(Machine& m, ClassObject* cls) {
    auto* b = m.New<BitmapObject>(cls, cls->prototype);
    AttachEngineObject(m, b);
    return b;
}

BitmapDataObject* AsBitmapData(Machine& m, const Value& v) {
    ClassObject* c = m.FindClass("flash.display.BitmapData");
    if (v.IsObject() && v.o->cls && c && v.o->cls->IsSubclassOf(c)) return static_cast<BitmapDataObject*>(v.o);
    return nullptr;
}

[[noreturn]] void Invalid(Machine& m) { m.ArgumentError(2015, "Invalid BitmapData."); }

ScriptBitmap& Live(Machine& m, const Value& self) { return LiveBitmap(m, self); }

constexpr double kMaxCoord = 1 << 24;

// Edges round to the nearest pixel, halves to even.
int Coord(double v) {
    return std::isfinite(v) ? int(std::nearbyint(std::fmax(-kMaxCoord, std::fmin(kMaxCoord, v)))) : 0;
}

Value NewGeom(Machine& m, const char* cls, std::initializer_list<double> values) {
    ClassObject* c = m.FindClass(cls);
    if (!c) return Value::Null();
    Value args[4];
    int n = 0;
    for (double d : values) args[n++] = Value::Number(d);
    return m.Construct(Value::Obj(c), args, n);
}

}  // namespace

ScriptBitmap& LiveBitmap(Machine& m, const Value& self) {
    BitmapDataObject* b = AsBitmapData(m, self);
    if (!b || !b->bitmap || b->bitmap->Data().Disposed()) Invalid(m);
    return *b->bitmap;
}

ScriptBitmap& BitmapArg(Machine& m, const Value& v, const char* param) {
    if (v.IsNullish()) m.TypeError(2007, std::string("Parameter ") + param + " must be non-null.");
    return LiveBitmap(m, v);
}

PixelRect RectArg(Machine& m, const Value& v, const char* param) {
    if (v.IsNullish()) m.TypeError(2007, std::string("Parameter ") + param + " must be non-null.");
    double x = m.ToNumber(m.GetPublic(v, "x")), y = m.ToNumber(m.GetPublic(v, "y"));
    double w = m.ToNumber(m.GetPublic(v, "width")), h = m.ToNumber(m.GetPublic(v, "height"));
    int px = Coord(x), py = Coord(y);
    return {px, py, Coord(x + w) - px, Coord(y + h) - py};
}

void PointArg(Machine& m, const Value& v, const char* param, int& x, int& y) {
    if (v.IsNullish()) m.TypeError(2007, std::string("Parameter ") + param + " must be non-null.");
    x = Coord(m.ToNumber(m.GetPublic(v, "x")));
    y = Coord(m.ToNumber(m.GetPublic(v, "y")));
}

Value NewRectangle(Machine& m, const PixelRect& r) {
    return NewGeom(m, "flash.geom.Rectangle", {double(r.x), double(r.y), double(r.width), double(r.height)});
}

Value NewBitmapDataValue(Machine& m, int width, int height, bool transparent, uint32_t fill) {
    Value args[4] = {Value::Int(width), Value::Int(height), Value::Bool(transparent), Value::Uint(fill)};
    return m.Construct(Value::Obj(m.FindClass("flash.display.BitmapData")), args, 4);
}

GeomColorTransform ColorTransformArg(Machine& m, const Value& ct) {
    if (ct.IsNullish()) m.TypeError(2007, "Parameter colorTransform must be non-null.");
    GeomColorTransform g;
    double* fields[] = {&g.redMultiplier, &g.greenMultiplier, &g.blueMultiplier, &g.alphaMultiplier,
                        &g.redOffset,     &g.greenOffset,     &g.blueOffset,     &g.alphaOffset};
    const char* names[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                           "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};
    for (int i = 0; i < 8; ++i) *fields[i] = m.ToNumber(m.GetPublic(ct, names[i]));
    return g;
}

void ChargePixels(Machine& m, uint64_t pixels) {
    m.steps += pixels;
    if (m.steps > m.limits.maxSteps) throw ScriptAbort{"timeout"};
}

namespace {

// BitmapData ------------------------------------------------------------------

void CopyImage(const Bitmap& image, BitmapData& data) {
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) {
            const Rgba c = FrameBuffer::Unpremultiply(image.At(x, y));
            data.SetPixel32(x, y, FrameBuffer::Pack(c.a, c.r, c.g, c.b));
        }
}

Value Init(Machine& m, Value self, Args args, int argc) {
    BitmapDataObject* b = AsBitmapData(m, self);
    if (!b) return Value::Undefined();
    int32_t w = m.ToInt32(Arg(args, argc, 0)), h = m.ToInt32(Arg(args, argc, 1));
    bool transparent = argc < 3 || m.ToBoolean(args[2]);
    uint32_t fill = argc > 3 ? m.ToUint32(args[3]) : 0xFFFFFFFFu;
    ScriptBitmaps* bitmaps = m.display ? m.display->Bitmaps() : nullptr;
    if (w <= 0 || h <= 0 || w > BitmapData::kMaxSide || h > BitmapData::kMaxSide) Invalid(m);
    // A class tied to an image starts as that image, whatever size it asks.
    const Bitmap* image = m.display ? m.display->ClassImage(b->cls) : nullptr;
    if (image && !image->Empty()) {
        if (bitmaps) b->bitmap = bitmaps->Create(image->width, image->height, !image->opaque, 0);
        if (b->bitmap) CopyImage(*image, b->bitmap->Data());
    } else if (bitmaps) {
        b->bitmap = bitmaps->Create(w, h, transparent, fill);
    }
    if (bitmaps && !b->bitmap) Invalid(m);
    return Value::Undefined();
}

Value Width(Machine& m, Value self, Args, int) { return Value::Int(Live(m, self).Data().Width()); }
Value Height(Machine& m, Value self, Args, int) { return Value::Int(Live(m, self).Data().Height()); }
Value Transparent(Machine& m, Value self, Args, int) { return Value::Bool(Live(m, self).Data().Transparent()); }

Value Rect(Machine& m, Value self, Args, int) {
    const BitmapData& d = Live(m, self).Data();
    return NewRectangle(m, {0, 0, d.Width(), d.Height()});
}

Value GetPixel(Machine& m, Value self, Args args, int argc) {
    const BitmapData& d = Live(m, self).Data();
    return Value::Number(d.GetPixel(m.ToInt32(Arg(args, argc, 0)), m.ToInt32(Arg(args, argc, 1))));
}

Value GetPixel32(Machine& m, Value self, Args args, int argc) {
    const BitmapData& d = Live(m, self).Data();
    return Value::Number(d.GetPixel32(m.ToInt32(Arg(args, argc, 0)), m.ToInt32(Arg(args, argc, 1))));
}

Value SetPixel(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = Live(m, self);
    b.Data().SetPixel(m.ToInt32(Arg(args, argc, 0)), m.ToInt32(Arg(args, argc, 1)), m.ToUint32(Arg(args, argc, 2)));
    b.Changed();
    return Value::Undefined();
}

Value SetPixel32(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = Live(m, self);
    b.Data().SetPixel32(m.ToInt32(Arg(args, argc, 0)), m.ToInt32(Arg(args, argc, 1)), m.ToUint32(Arg(args, argc, 2)));
    b.Changed();
    return Value::Undefined();
}

Value FillRect(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = Live(m, self);
    b.Data().FillRect(RectArg(m, Arg(args, argc, 0), "rect"), m.ToUint32(Arg(args, argc, 1)));
    b.Changed();
    return Value::Undefined();
}

Value CopyPixels(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = Live(m, self);
    if (Arg(args, argc, 0).IsNullish()) m.TypeError(2007, "Parameter sourceBitmapData must be non-null.");
    ScriptBitmap& src = Live(m, Arg(args, argc, 0));
    PixelRect r = RectArg(m, Arg(args, argc, 1), "sourceRect");
    int x, y;
    PointArg(m, Arg(args, argc, 2), "destPoint", x, y);
    b.Data().CopyPixels(src.Data(), r, x, y, argc > 5 && m.ToBoolean(args[5]));
    b.Changed();
    return Value::Undefined();
}

Value ColorTransformMethod(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = Live(m, self);
    PixelRect r = RectArg(m, Arg(args, argc, 0), "rect");
    b.Data().ApplyColorTransform(r, ColorTransformArg(m, Arg(args, argc, 1)).ToEngine());
    b.Changed();
    return Value::Undefined();
}

Value Dispose(Machine& m, Value self, Args, int) {
    BitmapDataObject* b = AsBitmapData(m, self);
    if (b && b->bitmap) b->bitmap->Dispose();
    return Value::Undefined();
}

Value Clone(Machine& m, Value self, Args, int) {
    ScriptBitmap& b = Live(m, self);
    const BitmapData& d = b.Data();
    Value copy = NewBitmapDataValue(m, d.Width(), d.Height(), d.Transparent(), 0);
    ScriptBitmap& c = Live(m, copy);
    c.Data().CopyPixels(d, {0, 0, d.Width(), d.Height()}, 0, 0, false);
    c.Changed();
    return copy;
}

Value Nothing(Machine&, Value, Args, int) { return Value::Undefined(); }

// Bitmap -------------------------------------------------------------------------

BitmapObject* AsBitmap(Machine& m, const Value& v) {
    ClassObject* c = m.FindClass("flash.display.Bitmap");
    if (v.IsObject() && v.o->cls && c && v.o->cls->IsSubclassOf(c)) return static_cast<BitmapObject*>(v.o);
    return nullptr;
}

// Redraws the bitmap's rectangle: the whole BitmapData, one pixel a pixel.
void Show(Machine& m, BitmapObject* b) {
    Drawing* d = m.display && b->serial ? m.display->DrawingOf(b->serial) : nullptr;
    if (!d) return;
    d->Clear();
    BitmapDataObject* data = AsBitmapData(m, b->data);
    if (!data || !data->bitmap || data->bitmap->Data().Disposed()) return;
    uint16_t id = data->bitmap->Id();
    if (!id) return;
    m.display->Bitmaps()->Keep(data->bitmap);
    GeomMatrix px;
    px.a = px.d = 20;
    d->BeginFillStyle(BitmapFillStyle(id, px, false, b->smoothing));
    int32_t w = data->bitmap->Data().Width() * 20, h = data->bitmap->Data().Height() * 20;
    d->MoveTo({0, 0});
    d->LineTo({w, 0});
    d->LineTo({w, h});
    d->LineTo({0, h});
    d->LineTo({0, 0});
    d->EndFill();
}

Value BitmapInit(Machine& m, Value self, Args args, int argc) {
    BitmapObject* b = AsBitmap(m, self);
    if (!b) return Value::Undefined();
    if (m.display && !b->built) m.display->Constructing(b);
    Value data = Arg(args, argc, 0);
    b->data = AsBitmapData(m, data) ? data : Value::Null();
    // A bitmap the timeline placed, or a class tied to an image, holds a
    // BitmapData of that image: of the class tied to it, if any.
    ClassObject* tied = nullptr;
    const Bitmap* image = m.display && b->serial && data.IsNullish() ? m.display->ObjectImage(b->serial, tied) : nullptr;
    ClassObject* bitmapData = m.FindClass("flash.display.BitmapData");
    if (image && tied && bitmapData && tied->IsSubclassOf(bitmapData)) {
        Value size[2] = {Value::Int(1), Value::Int(1)};
        b->data = m.Construct(Value::Obj(tied), size, 2);
    } else if (image) {
        b->data = NewBitmapDataOf(m, *image);
    }
    if (argc > 1 && !args[1].IsNullish()) b->pixelSnapping = m.ToStdString(args[1]);
    b->smoothing = argc > 2 && m.ToBoolean(args[2]);
    Show(m, b);
    return Value::Undefined();
}

Value GetData(Machine& m, Value self, Args, int) {
    BitmapObject* b = AsBitmap(m, self);
    return b && b->data.IsObject() ? b->data : Value::Null();
}

Value SetData(Machine& m, Value self, Args args, int argc) {
    BitmapObject* b = AsBitmap(m, self);
    if (!b) return Value::Undefined();
    Value data = Arg(args, argc, 0);
    b->data = AsBitmapData(m, data) ? data : Value::Null();
    Show(m, b);
    return Value::Undefined();
}

Value GetSnapping(Machine& m, Value self, Args, int) {
    BitmapObject* b = AsBitmap(m, self);
    return Value::Str(m.Intern(b ? b->pixelSnapping : "auto"));
}

Value SetSnapping(Machine& m, Value self, Args args, int argc) {
    std::string s = m.ToStdString(Arg(args, argc, 0));
    if (s != "auto" && s != "always" && s != "never")
        m.ArgumentError(2008, "Parameter pixelSnapping must be one of the accepted values.");
    if (BitmapObject* b = AsBitmap(m, self)) b->pixelSnapping = s;
    return Value::Undefined();
}

Value GetSmoothing(Machine& m, Value self, Args, int) {
    BitmapObject* b = AsBitmap(m, self);
    return Value::Bool(b && b->smoothing);
}

Value SetSmoothing(Machine& m, Value self, Args args, int argc) {
    if (BitmapObject* b = AsBitmap(m, self)) {
        b->smoothing = m.ToBoolean(Arg(args, argc, 0));
        Show(m, b);
    }
    return Value::Undefined();
}

}  // namespace

Value NewBitmapDataOf(Machine& m, const Bitmap& pixels) {
    ClassObject* c = m.FindClass("flash.display.BitmapData");
    if (!c || pixels.Empty() || pixels.width > BitmapData::kMaxSide || pixels.height > BitmapData::kMaxSide)
        return Value::Null();
    Value args[] = {Value::Int(pixels.width), Value::Int(pixels.height), Value::Bool(!pixels.opaque), Value::Uint(0)};
    Value v = m.Construct(Value::Obj(c), args, 4);
    BitmapDataObject* b = AsBitmapData(m, v);
    if (!b || !b->bitmap) return Value::Null();
    CopyImage(pixels, b->bitmap->Data());
    b->bitmap->Changed();
    return v;
}

uint16_t BitmapIdOf(Machine& m, const Value& v) {
    BitmapDataObject* b = AsBitmapData(m, v);
    if (!b || !b->bitmap || b->bitmap->Data().Disposed() || !m.display || !m.display->Bitmaps()) return 0;
    uint16_t id = b->bitmap->Id();
    if (id) m.display->Bitmaps()->Keep(b->bitmap);
    return id;
}

ScriptBitmap* ScriptBitmapOf(Machine& m, const Value& v) {
    BitmapDataObject* b = AsBitmapData(m, v);
    return b && b->bitmap && !b->bitmap->Data().Disposed() ? b->bitmap.get() : nullptr;
}

void InstallBitmaps(Machine& m) {
    ClassObject* c = m.DefineClass("flash.display", "BitmapData", m.objectClass, AllocBitmapData, true);
    c->init = m.NewNativeMethod("BitmapData", Init, 2);
    m.DefineGetter(c, "width", Width);
    m.DefineGetter(c, "height", Height);
    m.DefineGetter(c, "transparent", Transparent);
    m.DefineGetter(c, "rect", Rect);
    m.DefineMethod(c, "getPixel", GetPixel, 2);
    m.DefineMethod(c, "getPixel32", GetPixel32, 2);
    m.DefineMethod(c, "setPixel", SetPixel, 3);
    m.DefineMethod(c, "setPixel32", SetPixel32, 3);
    m.DefineMethod(c, "fillRect", FillRect, 2);
    m.DefineMethod(c, "copyPixels", CopyPixels, 3);
    m.DefineMethod(c, "colorTransform", ColorTransformMethod, 2);
    m.DefineMethod(c, "dispose", Dispose, 0);
    m.DefineMethod(c, "clone", Clone, 0);
    m.DefineMethod(c, "lock", Nothing, 0);
    m.DefineMethod(c, "unlock", Nothing, 0);
    InstallBitmapDataOps(m, c);
    InstallBitmapDataBytes(m, c);
    InstallBitmapDataDraw(m, c);

    ClassObject* display = m.FindClass("flash.display.DisplayObject");
    ClassObject* bitmap = m.DefineClass("flash.display", "Bitmap", display, AllocBitmap, true);
    bitmap->init = m.NewNativeMethod("Bitmap", BitmapInit, 0);
    m.DefineGetter(bitmap, "bitmapData", GetData, SetData);
    m.DefineGetter(bitmap, "pixelSnapping", GetSnapping, SetSnapping);
    m.DefineGetter(bitmap, "smoothing", GetSmoothing, SetSmoothing);
}

}  // namespace swf::avm2
