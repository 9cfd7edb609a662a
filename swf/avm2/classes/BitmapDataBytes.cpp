// BitmapData's pixels as bytes and vectors: getPixels, setPixels,
// copyPixelsToByteArray, getVector, setVector and histogram. Pixels go row
// by row as unmultiplied 0xAARRGGBB, big-endian in byte arrays whatever
// the array's own endianness, as the reference writes them.
#include <algorithm>

#include "swf/avm2/classes/BitmapDataShared.h"
#include "swf/avm2/classes/ByteArray.h"

namespace swf::avm2 {

namespace {

// The rectangle argument clipped to the bitmap.
PixelRect Clipped(Machine& m, const BitmapData& d, const Value& rect) {
    return Intersect(RectArg(m, rect, "rect"), d.Width(), d.Height());
}

template <typename F>
void EachPixel(const PixelRect& r, F f) {
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x) f(x, y);
}

// Writes the pixels at the array's position, leaving it after them.
void WritePixels(Machine& m, const BitmapData& d, const PixelRect& r, ByteArrayObject* out) {
    ChargePixels(m, Area(r));
    std::vector<uint8_t> bytes;
    bytes.reserve(size_t(Area(r)) * 4);
    EachPixel(r, [&](int x, int y) {
        const uint32_t p = d.GetPixel32(x, y);
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(p >> shift));
    });
    WriteBytesAt(m, out, bytes.data(), bytes.size());
}

ByteArrayObject* ByteArrayArg(Machine& m, const Value& v, const char* param) {
    if (v.IsNullish()) m.TypeError(2007, std::string("Parameter ") + param + " must be non-null.");
    ByteArrayObject* b = AsByteArray(v);
    if (!b) m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to flash.utils.ByteArray.");
    return b;
}

Value GetPixels(Machine& m, Value self, Args args, int argc) {
    const BitmapData& d = LiveBitmap(m, self).Data();
    const PixelRect r = Clipped(m, d, Arg(args, argc, 0));
    ByteArrayObject* out = NewByteArray(m);
    TempRoot keep(m, Value::Obj(out));
    WritePixels(m, d, r, out);
    return Value::Obj(out);
}

Value CopyPixelsToByteArray(Machine& m, Value self, Args args, int argc) {
    const BitmapData& d = LiveBitmap(m, self).Data();
    const PixelRect r = Clipped(m, d, Arg(args, argc, 0));
    WritePixels(m, d, r, ByteArrayArg(m, Arg(args, argc, 1), "data"));
    return Value::Undefined();
}

// Pixels from the array's position on; the bytes running out is EOFError
// #2030, with the pixels before it already set.
Value SetPixels(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = LiveBitmap(m, self);
    const PixelRect r = Clipped(m, b.Data(), Arg(args, argc, 0));
    ByteArrayObject* in = ByteArrayArg(m, Arg(args, argc, 1), "inputByteArray");
    ChargePixels(m, Area(r));
    bool ranOut = false;
    EachPixel(r, [&](int x, int y) {
        if (ranOut || in->position > in->bytes.size() || in->bytes.size() - in->position < 4) {
            ranOut = true;
            return;
        }
        const uint8_t* p = in->bytes.data() + in->position;
        b.Data().SetPixel32(x, y, uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]);
        in->position += 4;
    });
    b.Changed();
    if (ranOut) m.Throw(m.FindClass("flash.errors.EOFError"), 2030, "End of file was encountered.");
    return Value::Undefined();
}

Value NewVector(Machine& m, ClassObject* of) {
    static const Value kNone = Value::Int(0);
    return m.Construct(Value::Obj(m.ApplyType(m.vectorClass, {Value::Obj(of)})), &kNone, 1);
}

Value GetVector(Machine& m, Value self, Args args, int argc) {
    const BitmapData& d = LiveBitmap(m, self).Data();
    const PixelRect r = Clipped(m, d, Arg(args, argc, 0));
    ChargePixels(m, Area(r));
    Value v = NewVector(m, m.uintClass);
    TempRoot keep(m, v);
    uint32_t i = 0;
    EachPixel(r, [&](int x, int y) { v.o->SetIndexed(m, Value::Uint(i++), Value::Uint(d.GetPixel32(x, y))); });
    return v;
}

// A vector shorter than the rectangle is RangeError #1125 once it runs out.
Value SetVector(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& b = LiveBitmap(m, self);
    const PixelRect r = Clipped(m, b.Data(), Arg(args, argc, 0));
    const Value v = Arg(args, argc, 1);
    if (v.IsNullish()) m.TypeError(2007, "Parameter inputVector must be non-null.");
    const uint32_t length = m.ToUint32(m.GetPublic(v, "length"));
    ChargePixels(m, Area(r));
    uint32_t i = 0;
    bool ranOut = false;
    EachPixel(r, [&](int x, int y) {
        if (i >= length) {
            ranOut = true;
            return;
        }
        Value item;
        v.o->GetIndexed(m, Value::Uint(i++), item);
        b.Data().SetPixel32(x, y, m.ToUint32(item));
    });
    b.Changed();
    if (ranOut)
        m.RangeError(1125, "The index " + std::to_string(length) + " is out of range " + std::to_string(length) + ".");
    return Value::Undefined();
}

// Four vectors of 256 counts: red, green, blue, alpha.
Value Histogram(Machine& m, Value self, Args args, int argc) {
    const BitmapData& d = LiveBitmap(m, self).Data();
    const Value rect = Arg(args, argc, 0);
    const PixelRect r = rect.IsNullish() ? PixelRect{0, 0, d.Width(), d.Height()} : Clipped(m, d, rect);
    ChargePixels(m, Area(r));
    std::vector<double> counts(4 * 256);
    EachPixel(r, [&](int x, int y) {
        const uint32_t p = d.GetPixel32(x, y);
        ++counts[(p >> 16) & 0xFF];
        ++counts[256 + ((p >> 8) & 0xFF)];
        ++counts[512 + (p & 0xFF)];
        ++counts[768 + (p >> 24)];
    });
    ClassObject* numbers = m.ApplyType(m.vectorClass, {Value::Obj(m.numberClass)});
    Value out = NewVector(m, numbers);
    TempRoot keep(m, out);
    for (uint32_t c = 0; c < 4; ++c) {
        Value channel = NewVector(m, m.numberClass);
        out.o->SetIndexed(m, Value::Uint(c), channel);
        for (uint32_t i = 0; i < 256; ++i) channel.o->SetIndexed(m, Value::Uint(i), Value::Number(counts[c * 256 + i]));
    }
    return out;
}

}  // namespace

void InstallBitmapDataBytes(Machine& m, ClassObject* c) {
    m.DefineMethod(c, "getPixels", GetPixels, 1);
    m.DefineMethod(c, "setPixels", SetPixels, 2);
    m.DefineMethod(c, "copyPixelsToByteArray", CopyPixelsToByteArray, 2);
    m.DefineMethod(c, "getVector", GetVector, 1);
    m.DefineMethod(c, "setVector", SetVector, 2);
    m.DefineMethod(c, "histogram", Histogram, 0);
}

}  // namespace swf::avm2
