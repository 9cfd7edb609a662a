// flash.utils.ByteArray: reads and writes of numbers and text at the
// position, indexed bytes, compression with zlib or raw deflate.
#include "swf/avm2/classes/ByteArray.h"
#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/DataState.h"

#include <zlib.h>

#include <cstring>

namespace swf::avm2 {

namespace {

Object* AllocByteArray(Machine& m, ClassObject* cls) { return m.New<ByteArrayObject>(cls, cls->prototype); }

ByteArrayObject* Self(Machine& m, const Value& v) {
    ByteArrayObject* b = AsByteArray(v);
    if (!b) m.NullError(Value::Null());
    return b;
}

[[noreturn]] void ErrorOf(Machine& m, const char* cls, int id, const std::string& text) {
    ClassObject* c = m.FindClass(cls);
    m.Throw(c ? c : m.errorClass, id, text);
}

void NonNull(Machine& m, const Value& v, const char* name) {
    if (v.IsNullish()) m.TypeError(2007, std::string("Parameter ") + name + " must be non-null.");
}

uint32_t IndexOf(Machine& m, const Value& key, bool* ok) {
    uint32_t i = 0;
    *ok = m.IsIndexKey(key, &i);
    return i;
}

// Numbers ---------------------------------------------------------------------

void PutRaw(Machine& m, ByteArrayObject* b, uint64_t v, int n) {
    uint8_t buf[8];
    for (int i = 0; i < n; ++i) {
        int shift = b->littleEndian ? i * 8 : (n - 1 - i) * 8;
        buf[i] = uint8_t(v >> shift);
    }
    WriteBytesAt(m, b, buf, size_t(n));
}

uint64_t GetRaw(Machine& m, ByteArrayObject* b, int n) {
    NeedBytes(m, b, size_t(n));
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) {
        int shift = b->littleEndian ? i * 8 : (n - 1 - i) * 8;
        v |= uint64_t(b->bytes[b->position + i]) << shift;
    }
    b->position += uint32_t(n);
    return v;
}

Value WriteBoolean(Machine& m, Value self, Args args, int argc) {
    PutRaw(m, Self(m, self), m.ToBoolean(Arg(args, argc, 0)) ? 1 : 0, 1);
    return Value::Undefined();
}
Value WriteByte(Machine& m, Value self, Args args, int argc) {
    PutRaw(m, Self(m, self), uint32_t(m.ToInt32(Arg(args, argc, 0))), 1);
    return Value::Undefined();
}
Value WriteShort(Machine& m, Value self, Args args, int argc) {
    PutRaw(m, Self(m, self), uint32_t(m.ToInt32(Arg(args, argc, 0))), 2);
    return Value::Undefined();
}
Value WriteInt(Machine& m, Value self, Args args, int argc) {
    PutRaw(m, Self(m, self), uint32_t(m.ToInt32(Arg(args, argc, 0))), 4);
    return Value::Undefined();
}
Value WriteUnsignedInt(Machine& m, Value self, Args args, int argc) {
    PutRaw(m, Self(m, self), m.ToUint32(Arg(args, argc, 0)), 4);
    return Value::Undefined();
}
Value WriteFloat(Machine& m, Value self, Args args, int argc) {
    float f = float(m.ToNumber(Arg(args, argc, 0)));
    uint32_t u;
    std::memcpy(&u, &f, 4);
    PutRaw(m, Self(m, self), u, 4);
    return Value::Undefined();
}
Value WriteDouble(Machine& m, Value self, Args args, int argc) {
    double d = m.ToNumber(Arg(args, argc, 0));
    uint64_t u;
    std::memcpy(&u, &d, 8);
    PutRaw(m, Self(m, self), u, 8);
    return Value::Undefined();
}

Value ReadBoolean(Machine& m, Value self, Args, int) { return Value::Bool(GetRaw(m, Self(m, self), 1) != 0); }
Value ReadByte(Machine& m, Value self, Args, int) { return Value::Int(int8_t(GetRaw(m, Self(m, self), 1))); }
Value ReadUnsignedByte(Machine& m, Value self, Args, int) { return Value::Int(int32_t(GetRaw(m, Self(m, self), 1))); }
Value ReadShort(Machine& m, Value self, Args, int) { return Value::Int(int16_t(GetRaw(m, Self(m, self), 2))); }
Value ReadUnsignedShort(Machine& m, Value self, Args, int) { return Value::Int(int32_t(GetRaw(m, Self(m, self), 2))); }
Value ReadInt(Machine& m, Value self, Args, int) { return Value::Int(int32_t(uint32_t(GetRaw(m, Self(m, self), 4)))); }
Value ReadUnsignedInt(Machine& m, Value self, Args, int) { return Value::Uint(uint32_t(GetRaw(m, Self(m, self), 4))); }
Value ReadFloat(Machine& m, Value self, Args, int) {
    uint32_t u = uint32_t(GetRaw(m, Self(m, self), 4));
    float f;
    std::memcpy(&f, &u, 4);
    return Value::Number(f);
}
Value ReadDouble(Machine& m, Value self, Args, int) {
    uint64_t u = GetRaw(m, Self(m, self), 8);
    double d;
    std::memcpy(&d, &u, 8);
    return Value::Number(d);
}

// Text ------------------------------------------------------------------------

enum class Charset { Utf8, Latin1, Utf16Le, Utf16Be };

Charset CharsetOf(const std::string& name) {
    std::string n;
    for (char c : name) n += char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (n == "unicode" || n == "utf-16" || n == "utf-16le") return Charset::Utf16Le;
    if (n == "utf-16be" || n == "unicodefffe") return Charset::Utf16Be;
    if (n == "iso-8859-1" || n == "latin1" || n == "us-ascii" || n == "windows-1252" || n == "ascii")
        return Charset::Latin1;
    return Charset::Utf8;
}

std::string Utf16Text(const uint8_t* p, size_t n, bool big) {
    std::vector<uint32_t> units;
    for (size_t i = 0; i + 1 < n; i += 2) {
        uint32_t u = big ? uint32_t(p[i]) << 8 | p[i + 1] : uint32_t(p[i + 1]) << 8 | p[i];
        if (u == 0) break;
        units.push_back(u);
    }
    return EncodeUtf8(units, 0, units.size());
}

Value WriteUTF(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "value");
    std::string s = m.ToStdString(args[0]);
    if (s.size() > 65535) m.RangeError(2006, "The supplied index is out of bounds.");
    PutRaw(m, b, s.size(), 2);
    WriteBytesAt(m, b, s.data(), s.size());
    return Value::Undefined();
}

Value WriteUTFBytes(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "value");
    std::string s = m.ToStdString(args[0]);
    WriteBytesAt(m, b, s.data(), s.size());
    return Value::Undefined();
}

Value WriteMultiByte(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "value");
    NonNull(m, Arg(args, argc, 1), "charSet");
    std::string s = m.ToStdString(args[0]);
    Charset cs = CharsetOf(m.ToStdString(args[1]));
    if (cs == Charset::Utf8) {
        WriteBytesAt(m, b, s.data(), s.size());
        return Value::Undefined();
    }
    std::vector<uint8_t> out;
    for (uint32_t u : Decode(s)) {
        if (cs == Charset::Latin1) out.push_back(u < 0x100 ? uint8_t(u) : '?');
        else if (cs == Charset::Utf16Le) out.insert(out.end(), {uint8_t(u), uint8_t(u >> 8)});
        else out.insert(out.end(), {uint8_t(u >> 8), uint8_t(u)});
    }
    WriteBytesAt(m, b, out.data(), out.size());
    return Value::Undefined();
}

Value ReadText(Machine& m, ByteArrayObject* b, uint32_t n, Charset cs) {
    NeedBytes(m, b, n);
    const uint8_t* p = b->bytes.data() + b->position;
    b->position += n;
    std::string s;
    if (cs == Charset::Utf16Le || cs == Charset::Utf16Be) s = Utf16Text(p, n, cs == Charset::Utf16Be);
    else if (cs == Charset::Latin1) {
        std::vector<uint32_t> units;
        for (size_t i = 0; i < n && p[i]; ++i) units.push_back(p[i]);
        s = EncodeUtf8(units, 0, units.size());
    } else {
        if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) p += 3, n -= 3;
        s = BytesToText(p, n, true);
    }
    return Value::Str(m.Str(s));
}

Value ReadUTF(Machine& m, Value self, Args, int) {
    ByteArrayObject* b = Self(m, self);
    uint32_t n = uint32_t(GetRaw(m, b, 2));
    return ReadText(m, b, n, Charset::Utf8);
}

Value ReadUTFBytes(Machine& m, Value self, Args args, int argc) {
    return ReadText(m, Self(m, self), m.ToUint32(Arg(args, argc, 0)), Charset::Utf8);
}

Value ReadMultiByte(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    uint32_t n = m.ToUint32(Arg(args, argc, 0));
    NonNull(m, Arg(args, argc, 1), "charSet");
    return ReadText(m, b, n, CharsetOf(m.ToStdString(args[1])));
}

// Whole text, BOMs honoured; NULs stay.
Value ToStr(Machine& m, Value self, Args, int) {
    ByteArrayObject* b = Self(m, self);
    const uint8_t* p = b->bytes.data();
    size_t n = b->bytes.size();
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) return Value::Str(m.Str(Utf16Text(p + 2, n - 2, false)));
    if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) return Value::Str(m.Str(Utf16Text(p + 2, n - 2, true)));
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) p += 3, n -= 3;
    return Value::Str(m.Str(BytesToText(p, n, false)));
}

// Blocks ----------------------------------------------------------------------

Value ReadBytes(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "bytes");
    ByteArrayObject* to = Self(m, args[0]);
    uint32_t offset = m.ToUint32(Arg(args, argc, 1)), length = m.ToUint32(Arg(args, argc, 2));
    size_t avail = b->position < b->bytes.size() ? b->bytes.size() - b->position : 0;
    if (length == 0) length = uint32_t(avail);
    NeedBytes(m, b, length);
    if (size_t(offset) + length > kMaxByteArray) m.RangeError(2006, "The supplied index is out of bounds.");
    std::vector<uint8_t> chunk(b->bytes.begin() + b->position, b->bytes.begin() + b->position + length);
    b->position += length;
    if (to->bytes.size() < size_t(offset) + length) to->bytes.resize(size_t(offset) + length);
    std::copy(chunk.begin(), chunk.end(), to->bytes.begin() + offset);
    return Value::Undefined();
}

Value WriteBytes(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "bytes");
    ByteArrayObject* from = Self(m, args[0]);
    uint32_t offset = m.ToUint32(Arg(args, argc, 1)), length = m.ToUint32(Arg(args, argc, 2));
    size_t size = from->bytes.size();
    if (offset > size) m.RangeError(2006, "The supplied index is out of bounds.");
    if (length == 0) length = uint32_t(size - offset);
    if (size_t(offset) + length > size) m.RangeError(2006, "The supplied index is out of bounds.");
    std::vector<uint8_t> chunk(from->bytes.begin() + offset, from->bytes.begin() + offset + length);
    WriteBytesAt(m, b, chunk.data(), chunk.size());
    return Value::Undefined();
}

Value WriteObject(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    WriteAmf(m, b, Arg(args, argc, 0), b->objectEncoding);
    return Value::Undefined();
}

Value ReadObject(Machine& m, Value self, Args, int) {
    ByteArrayObject* b = Self(m, self);
    return ReadAmf(m, b, b->objectEncoding);
}

Value Clear(Machine& m, Value self, Args, int) {
    ByteArrayObject* b = Self(m, self);
    b->bytes.clear();
    b->bytes.shrink_to_fit();
    b->position = 0;
    return Value::Undefined();
}

// Compression ----------------------------------------------------------------

enum class Algo { Zlib, Deflate, Bad };

Algo AlgoOf(Machine& m, Args args, int argc) {
    if (argc < 1) return Algo::Zlib;
    NonNull(m, args[0], "algorithm");
    std::string a = m.ToStdString(args[0]);
    return a == "zlib" ? Algo::Zlib : a == "deflate" ? Algo::Deflate : Algo::Bad;
}

void Compress(Machine& m, ByteArrayObject* b, Algo algo) {
    if (algo == Algo::Bad) ErrorOf(m, "flash.errors.IOError", 2058, "There was an error decompressing the data.");
    if (b->bytes.empty()) return;
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, algo == Algo::Zlib ? 15 : -15, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        ErrorOf(m, "flash.errors.MemoryError", 1000, "The system is out of memory.");
    std::vector<uint8_t> out(deflateBound(&z, uLong(b->bytes.size())));
    z.next_in = b->bytes.data();
    z.avail_in = uInt(b->bytes.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    b->bytes.swap(out);
    b->position = uint32_t(b->bytes.size());
}

void Uncompress(Machine& m, ByteArrayObject* b, Algo algo) {
    if (algo == Algo::Bad) ErrorOf(m, "flash.errors.IOError", 2058, "There was an error decompressing the data.");
    if (b->bytes.empty()) return;
    z_stream z{};
    inflateInit2(&z, algo == Algo::Zlib ? 15 : -15);
    std::vector<uint8_t> out;
    z.next_in = b->bytes.data();
    z.avail_in = uInt(b->bytes.size());
    int rc = Z_OK;
    uint8_t buf[16384];
    while (rc == Z_OK) {
        z.next_out = buf;
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), buf, buf + (sizeof buf - z.avail_out));
        if (out.size() > kMaxByteArray) rc = Z_MEM_ERROR;
        if (rc == Z_BUF_ERROR && z.avail_in == 0) break;
    }
    inflateEnd(&z);
    if (rc != Z_STREAM_END) ErrorOf(m, "flash.errors.IOError", 2058, "There was an error decompressing the data.");
    b->bytes.swap(out);
    b->position = 0;
}

Value CompressM(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    Compress(m, b, AlgoOf(m, args, argc));
    return Value::Undefined();
}
Value UncompressM(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    Uncompress(m, b, AlgoOf(m, args, argc));
    return Value::Undefined();
}
Value DeflateM(Machine& m, Value self, Args, int) {
    Compress(m, Self(m, self), Algo::Deflate);
    return Value::Undefined();
}
Value InflateM(Machine& m, Value self, Args, int) {
    Uncompress(m, Self(m, self), Algo::Deflate);
    return Value::Undefined();
}

// Properties -----------------------------------------------------------------

Value GetLength(Machine& m, Value self, Args, int) { return Value::Uint(uint32_t(Self(m, self)->bytes.size())); }
Value SetLength(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    uint32_t n = m.ToUint32(Arg(args, argc, 0));
    if (n > kMaxByteArray) ErrorOf(m, "flash.errors.MemoryError", 1000, "The system is out of memory.");
    b->bytes.resize(n);
    if (b->position > n) b->position = n;
    return Value::Undefined();
}
Value GetPosition(Machine& m, Value self, Args, int) { return Value::Uint(Self(m, self)->position); }
Value SetPosition(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->position = m.ToUint32(Arg(args, argc, 0));
    return Value::Undefined();
}
Value GetAvailable(Machine& m, Value self, Args, int) {
    ByteArrayObject* b = Self(m, self);
    return Value::Uint(b->position < b->bytes.size() ? uint32_t(b->bytes.size() - b->position) : 0);
}
Value GetEndian(Machine& m, Value self, Args, int) {
    return Value::Str(m.Intern(Self(m, self)->littleEndian ? "littleEndian" : "bigEndian"));
}
Value SetEndian(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "endian");
    std::string e = m.ToStdString(args[0]);
    if (e != "littleEndian" && e != "bigEndian")
        m.ArgumentError(2008, "Parameter endian must be one of the accepted values.");
    b->littleEndian = e == "littleEndian";
    return Value::Undefined();
}
Value GetEncoding(Machine& m, Value self, Args, int) { return Value::Uint(Self(m, self)->objectEncoding); }
Value SetEncoding(Machine& m, Value self, Args args, int argc) {
    ByteArrayObject* b = Self(m, self);
    uint32_t e = m.ToUint32(Arg(args, argc, 0));
    if (e != 0 && e != 3) m.ArgumentError(2008, "Parameter objectEncoding must be one of the accepted values.");
    b->objectEncoding = e;
    return Value::Undefined();
}
Value GetShareable(Machine&, Value, Args, int) { return Value::Bool(false); }
Value Ignore(Machine&, Value, Args, int) { return Value::Undefined(); }
Value GetDefaultEncoding(Machine& m, Value, Args, int) { return Value::Uint(DataState(m).defaultEncoding); }
Value SetDefaultEncoding(Machine& m, Value, Args args, int argc) {
    uint32_t e = m.ToUint32(Arg(args, argc, 0));
    if (e != 0 && e != 3) m.ArgumentError(2008, "Parameter objectEncoding must be one of the accepted values.");
    DataState(m).defaultEncoding = e;
    return Value::Undefined();
}

Value ByteArrayInit(Machine& m, Value self, Args, int) {
    ByteArrayObject* b = Self(m, self);
    b->objectEncoding = DataState(m).defaultEncoding;
    // A class the movie ties to embedded bytes starts with them.
    if (m.display)
        for (ClassObject* c = b->cls; c && c->name && c != m.FindClass("flash.utils.ByteArray"); c = c->base)
            if (const std::vector<uint8_t>* bytes = m.display->EmbeddedBytes(c->DottedName())) {
                b->bytes = *bytes;
                break;
            }
    return Value::Undefined();
}

}  // namespace

bool ByteArrayObject::GetIndexed(Machine& m, const Value& key, Value& out) {
    bool ok;
    uint32_t i = IndexOf(m, key, &ok);
    if (!ok) return false;
    out = i < bytes.size() ? Value::Int(bytes[i]) : Value::Undefined();
    return true;
}

bool ByteArrayObject::SetIndexed(Machine& m, const Value& key, const Value& v) {
    bool ok;
    uint32_t i = IndexOf(m, key, &ok);
    if (!ok) return false;
    if (i >= kMaxByteArray) ErrorOf(m, "flash.errors.MemoryError", 1000, "The system is out of memory.");
    if (i >= bytes.size()) bytes.resize(size_t(i) + 1);
    bytes[i] = uint8_t(m.ToInt32(v));
    return true;
}

bool ByteArrayObject::DeleteIndexed(Machine& m, const Value& key, bool& result) {
    bool ok;
    IndexOf(m, key, &ok);
    result = false;
    return ok;
}

bool ByteArrayObject::HasIndexed(Machine& m, const Value& key, bool& result) {
    bool ok;
    uint32_t i = IndexOf(m, key, &ok);
    result = ok && i < bytes.size();
    return ok;
}

ByteArrayObject* AsByteArray(const Value& v) {
    return v.IsObject() && v.o->kind == ObjKind::ByteArray ? static_cast<ByteArrayObject*>(v.o) : nullptr;
}

ByteArrayObject* NewByteArray(Machine& m) { return static_cast<ByteArrayObject*>(m.Instantiate(m.byteArrayClass)); }

void NeedBytes(Machine& m, ByteArrayObject* b, size_t n) {
    if (b->position > b->bytes.size() || b->bytes.size() - b->position < n)
        ErrorOf(m, "flash.errors.EOFError", 2030, "End of file was encountered.");
}

void WriteBytesAt(Machine& m, ByteArrayObject* b, const void* p, size_t n) {
    size_t end = size_t(b->position) + n;
    if (end > kMaxByteArray) ErrorOf(m, "flash.errors.MemoryError", 1000, "The system is out of memory.");
    if (b->bytes.size() < end) b->bytes.resize(end);
    if (n) std::memcpy(b->bytes.data() + b->position, p, n);
    b->position = uint32_t(end);
}

std::string BytesToText(const uint8_t* p, size_t n, bool stopAtNul) {
    std::vector<uint32_t> units;
    for (size_t i = 0; i < n;) {
        uint32_t c = p[i];
        if (c == 0 && stopAtNul) break;
        int len = c < 0x80 ? 1 : c < 0xC0 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        uint32_t cp = len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        bool ok = len >= 2 && i + size_t(len) <= n;
        for (int k = 1; ok && k < len; ++k) {
            ok = (p[i + k] & 0xC0) == 0x80;
            cp = cp << 6 | (p[i + k] & 0x3F);
        }
        static const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (cp < least[len] || cp > 0x10FFFF)) ok = false;
        if (len == 1 || !ok) {
            units.push_back(c);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            units.push_back(0xD800 + ((cp - 0x10000) >> 10));
            units.push_back(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            units.push_back(cp);
        }
        i += size_t(len);
    }
    return EncodeUtf8(units, 0, units.size());
}

void InstallByteArray(Machine& m) {
    ClassObject* c = m.DefineClass("flash.utils", "ByteArray", m.objectClass, AllocByteArray, true);
    m.byteArrayClass = c;
    c->init = m.NewNativeMethod("ByteArray", ByteArrayInit, 0);
    m.DefineGetter(c, "length", GetLength, SetLength);
    m.DefineGetter(c, "position", GetPosition, SetPosition);
    m.DefineGetter(c, "bytesAvailable", GetAvailable);
    m.DefineGetter(c, "endian", GetEndian, SetEndian);
    m.DefineGetter(c, "objectEncoding", GetEncoding, SetEncoding);
    m.DefineGetter(c, "shareable", GetShareable, Ignore);
    m.DefineStaticGetter(c, "defaultObjectEncoding", GetDefaultEncoding, SetDefaultEncoding);
    struct {
        const char* name;
        NativeFn fn;
        int length;
    } methods[] = {
        {"writeBoolean", WriteBoolean, 1}, {"writeByte", WriteByte, 1}, {"writeShort", WriteShort, 1},
        {"writeInt", WriteInt, 1}, {"writeUnsignedInt", WriteUnsignedInt, 1}, {"writeFloat", WriteFloat, 1},
        {"writeDouble", WriteDouble, 1}, {"readBoolean", ReadBoolean, 0}, {"readByte", ReadByte, 0},
        {"readUnsignedByte", ReadUnsignedByte, 0}, {"readShort", ReadShort, 0},
        {"readUnsignedShort", ReadUnsignedShort, 0}, {"readInt", ReadInt, 0}, {"readUnsignedInt", ReadUnsignedInt, 0},
        {"readFloat", ReadFloat, 0}, {"readDouble", ReadDouble, 0}, {"writeUTF", WriteUTF, 1},
        {"writeUTFBytes", WriteUTFBytes, 1}, {"writeMultiByte", WriteMultiByte, 2}, {"readUTF", ReadUTF, 0},
        {"readUTFBytes", ReadUTFBytes, 1}, {"readMultiByte", ReadMultiByte, 2}, {"readBytes", ReadBytes, 3},
        {"writeBytes", WriteBytes, 3}, {"writeObject", WriteObject, 1}, {"readObject", ReadObject, 0},
        {"clear", Clear, 0}, {"compress", CompressM, 1}, {"uncompress", UncompressM, 1}, {"deflate", DeflateM, 0},
        {"inflate", InflateM, 0}, {"toString", ToStr, 0},
    };
    for (const auto& me : methods) m.DefineMethod(c, me.name, me.fn, me.length);
    InstallAmfAliases(m);
}

}  // namespace swf::avm2
