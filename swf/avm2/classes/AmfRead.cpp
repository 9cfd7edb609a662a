// Reading AMF3 and AMF0 back into values. Every read is bounded: short
// data is EOFError #2030, nonsense is a RangeError, never a crash.
#include <cstring>

#include "swf/avm2/classes/ByteArray.h"
#include "swf/avm2/classes/DataState.h"

namespace swf::avm2 {

namespace {

constexpr int kMaxDepth = 200;

class Reader {
public:
    // A setter that throws while an object is read has its error printed
    // and the reading goes on; an error that cannot be made text ends it.
    void SetMember(const Value& obj, const std::string& name, const Value& v) {
        try {
            m_.SetProperty(obj, m_.PublicName(name), v);
        } catch (const ScriptThrow&) {
            Value e = m_.thrown;
            m_.thrown = Value::Undefined();
            TempRoot keep(m_, e);
            if (m_.trace) m_.trace(m_.ToStdString(e));
        }
    }

    Reader(Machine& m, ByteArrayObject* b) : m_(m), b_(b) {}

    uint8_t Byte() {
        NeedBytes(m_, b_, 1);
        return b_->bytes[b_->position++];
    }
    uint32_t U16() {
        uint32_t hi = Byte();
        return hi << 8 | Byte();
    }
    uint32_t U32() {
        uint32_t v = U16() << 16;
        return v | U16();
    }
    double Double() {
        uint64_t u = 0;
        for (int i = 0; i < 8; ++i) u = u << 8 | Byte();
        double d;
        std::memcpy(&d, &u, 8);
        return d;
    }
    uint32_t U29() {
        uint32_t v = 0;
        for (int i = 0; i < 3; ++i) {
            uint8_t c = Byte();
            if (!(c & 0x80)) return v << 7 | c;
            v = v << 7 | (c & 0x7F);
        }
        return v << 8 | Byte();
    }
    std::string Raw(uint32_t n) {
        NeedBytes(m_, b_, n);
        std::string s(reinterpret_cast<const char*>(b_->bytes.data() + b_->position), n);
        b_->position += n;
        return s;
    }
    std::string Text(uint32_t n) {
        std::string raw = Raw(n);
        return BytesToText(reinterpret_cast<const uint8_t*>(raw.data()), raw.size(), false);
    }
    [[noreturn]] void Bad() { m_.RangeError(1006, "The AMF data is not valid."); }

    // AMF3 ----------------------------------------------------------------
    std::string Str3() {
        uint32_t h = U29();
        if (!(h & 1)) {
            if ((h >> 1) >= strings_.size()) Bad();
            return strings_[h >> 1];
        }
        std::string s = Text(h >> 1);
        if (!s.empty()) strings_.push_back(s);
        return s;
    }

    // An inline object's header, or the object referred to.
    bool Inline(uint32_t& h, Value& ref) {
        h = U29();
        if (h & 1) return true;
        if ((h >> 1) >= objects_.size()) Bad();
        ref = objects_[h >> 1];
        return false;
    }

    size_t Keep(const Value& v) {
        objects_.push_back(v);
        return objects_.size() - 1;
    }

    Value Value3(int depth) {
        if (depth > kMaxDepth) Bad();
        uint8_t marker = Byte();
        uint32_t h;
        Value ref;
        switch (marker) {
        case 0x00: return Value::Undefined();
        case 0x01: return Value::Null();
        case 0x02: return Value::Bool(false);
        case 0x03: return Value::Bool(true);
        case 0x04: {
            uint32_t v = U29();
            return Value::Int(int32_t(v << 3) >> 3);
        }
        case 0x05: return Value::Number(Double());
        case 0x06: return Value::Str(m_.Str(Str3()));
        case 0x07:
        case 0x0B: {
            if (!Inline(h, ref)) return ref;
            Value s = Value::Str(m_.Str(Text(h >> 1)));
            ClassObject* xml = m_.FindClass("XML");
            Value v = xml ? m_.Construct(Value::Obj(xml), &s, 1) : s;
            Keep(v);
            return v;
        }
        case 0x08: {
            if (!Inline(h, ref)) return ref;
            Value t = Value::Number(Double());
            Value v = m_.Construct(Value::Obj(m_.FindClass("Date")), &t, 1);
            Keep(v);
            return v;
        }
        case 0x09: return Array3(depth);
        case 0x0A: return Object3(depth);
        case 0x0C: {
            if (!Inline(h, ref)) return ref;
            ByteArrayObject* ba = NewByteArray(m_);
            Value v = Value::Obj(ba);
            Keep(v);
            std::string raw = Raw(h >> 1);
            ba->bytes.assign(raw.begin(), raw.end());
            return v;
        }
        case 0x0D:
        case 0x0E:
        case 0x0F:
        case 0x10: return Vector3(marker, depth);
        case 0x11: return Dictionary3(depth);
        default: Bad();
        }
    }

    Value Array3(int depth) {
        uint32_t h;
        Value ref;
        if (!Inline(h, ref)) return ref;
        ArrayObject* a = m_.NewArray(0);
        Value v = Value::Obj(a);
        TempRoot keep(m_, v);
        Keep(v);
        for (std::string k = Str3(); !k.empty(); k = Str3()) m_.SetProperty(v, KeyName(m_, k), Value3(depth + 1));
        uint32_t n = h >> 1;
        for (uint32_t i = 0; i < n; ++i) {
            Value item = Value3(depth + 1);
            a->items.push_back(item);
        }
        return v;
    }

    struct TraitsInfo {
        std::string alias;
        bool dynamic = false, externalizable = false;
        std::vector<std::string> sealed;
    };

    Value Object3(int depth) {
        uint32_t h;
        Value ref;
        if (!Inline(h, ref)) return ref;
        TraitsInfo t;
        if ((h & 3) == 1) {
            if ((h >> 2) >= traits_.size()) Bad();
            t = traits_[h >> 2];
        } else {
            t.externalizable = (h & 4) != 0;
            t.dynamic = (h & 8) != 0;
            t.alias = Str3();
            for (uint32_t i = 0, n = h >> 4; i < n; ++i) t.sealed.push_back(Str3());
            traits_.push_back(t);
        }
        DataStateObject& d = DataState(m_);
        auto it = t.alias.empty() ? d.classByAlias.end() : d.classByAlias.find(t.alias);
        Value v = it != d.classByAlias.end() ? m_.Construct(Value::Obj(it->second), nullptr, 0)
                                             : Value::Obj(m_.NewObject());
        TempRoot keep(m_, v);
        Keep(v);
        if (t.externalizable) {
            Value self = Value::Obj(b_);
            m_.CallProperty(v, m_.PublicName("readExternal"), &self, 1);
            return v;
        }
        for (const std::string& n : t.sealed) SetMember(v, n, Value3(depth + 1));
        if (t.dynamic)
            for (std::string k = Str3(); !k.empty(); k = Str3()) m_.SetProperty(v, m_.PublicName(k), Value3(depth + 1));
        return v;
    }

    Value Vector3(uint8_t marker, int depth) {
        uint32_t h;
        Value ref;
        if (!Inline(h, ref)) return ref;
        bool fixed = Byte() != 0;
        ClassObject* of = marker == 0x0D ? m_.intClass : marker == 0x0E ? m_.uintClass
                                                      : marker == 0x0F ? m_.numberClass : nullptr;
        if (marker == 0x10) {
            std::string type = Str3();
            if (!type.empty() && type != "*") of = m_.FindClass(type);
            if (of == m_.objectClass) of = nullptr;
        }
        ClassObject* vc = m_.ApplyType(m_.vectorClass, {of ? Value::Obj(of) : Value::Null()});
        Value v = m_.Construct(Value::Obj(vc), &kNoItems, 1);
        TempRoot keep(m_, v);
        Keep(v);
        uint32_t n = h >> 1;
        for (uint32_t i = 0; i < n; ++i) {
            Value item = marker == 0x0D   ? Value::Int(int32_t(U32()))
                         : marker == 0x0E ? Value::Uint(U32())
                         : marker == 0x0F ? Value::Number(Double())
                                          : Value3(depth + 1);
            m_.SetProperty(v, IndexName(m_, i), item);
        }
        if (fixed) m_.SetPublic(v, "fixed", Value::Bool(true));
        return v;
    }

    Value Dictionary3(int depth) {
        uint32_t h;
        Value ref;
        if (!Inline(h, ref)) return ref;
        Byte();  // weak keys
        Value v = m_.Construct(Value::Obj(m_.dictionaryClass), nullptr, 0);
        TempRoot keep(m_, v);
        Keep(v);
        for (uint32_t i = 0, n = h >> 1; i < n; ++i) {
            Value k = Value3(depth + 1);
            TempRoot keepKey(m_, k);
            Value val = Value3(depth + 1);
            v.o->SetIndexed(m_, k, val);
        }
        return v;
    }

    // AMF0 ----------------------------------------------------------------
    std::string Str0() { return Text(U16()); }

    void Props0(const Value& v, int depth) {
        for (;;) {
            std::string k = Str0();
            if (k.empty()) {
                if (Byte() != 0x09) Bad();
                return;
            }
            m_.SetProperty(v, KeyName(m_, k), Value0(depth + 1));
        }
    }

    Value Value0(int depth) {
        if (depth > kMaxDepth) Bad();
        uint8_t marker = Byte();
        switch (marker) {
        case 0x00: return Value::Number(Double());
        case 0x01: return Value::Bool(Byte() != 0);
        case 0x02: return Value::Str(m_.Str(Str0()));
        case 0x03: {
            Value v = Value::Obj(m_.NewObject());
            TempRoot keep(m_, v);
            Keep(v);
            Props0(v, depth);
            return v;
        }
        case 0x05: return Value::Null();
        case 0x06: return Value::Undefined();
        case 0x07: {
            uint32_t i = U16();
            if (i >= objects_.size()) Bad();
            return objects_[i];
        }
        case 0x08: {
            U32();
            Value v = Value::Obj(m_.NewArray(0));
            TempRoot keep(m_, v);
            Keep(v);
            Props0(v, depth);
            return v;
        }
        case 0x0A: {
            uint32_t n = U32();
            ArrayObject* a = m_.NewArray(0);
            Value v = Value::Obj(a);
            TempRoot keep(m_, v);
            Keep(v);
            for (uint32_t i = 0; i < n; ++i) {
                Value item = Value0(depth + 1);
                a->items.push_back(item);
            }
            return v;
        }
        case 0x0B: {
            Value t = Value::Number(Double());
            U16();
            Value v = m_.Construct(Value::Obj(m_.FindClass("Date")), &t, 1);
            Keep(v);
            return v;
        }
        case 0x0C: return Value::Str(m_.Str(Text(U32())));
        case 0x0D: return Value::Undefined();
        case 0x0F: {
            Value s = Value::Str(m_.Str(Text(U32())));
            ClassObject* xml = m_.FindClass("XML");
            return xml ? m_.Construct(Value::Obj(xml), &s, 1) : s;
        }
        case 0x10: {
            std::string alias = Str0();
            DataStateObject& d = DataState(m_);
            auto it = d.classByAlias.find(alias);
            Value v = it != d.classByAlias.end() ? m_.Construct(Value::Obj(it->second), nullptr, 0)
                                                 : Value::Obj(m_.NewObject());
            TempRoot keep(m_, v);
            Keep(v);
            Props0(v, depth);
            return v;
        }
        case 0x11: return Value3(depth + 1);
        default: Bad();
        }
    }

private:
    Machine& m_;
    ByteArrayObject* b_;
    std::vector<std::string> strings_;
    std::vector<Value> objects_;
    std::vector<TraitsInfo> traits_;
};

}  // namespace

Value ReadAmf(Machine& m, ByteArrayObject* b, uint32_t version) {
    Reader r(m, b);
    return version == 0 ? r.Value0(0) : r.Value3(0);
}

}  // namespace swf::avm2
