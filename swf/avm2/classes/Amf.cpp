// AMF3 and AMF0 for ByteArray.writeObject/readObject, and the class
// aliases (registerClassAlias) that let typed objects come back typed.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "swf/avm2/classes/ByteArray.h"
#include "swf/avm2/classes/DataState.h"

namespace swf::avm2 {

namespace {

constexpr int kMaxDepth = 200;

// What an object of a script class carries across: its public variables
// and its read-write accessors.
std::vector<String*> SealedNames(Machine& m, ClassObject* cls) {
    std::vector<String*> names;
    const Traits* t = cls->instanceTraits;
    if (!t) return names;
    for (const SlotInfo& si : t->slots)
        if (si.name && si.ns == m.publicNs && !si.isConst) names.push_back(si.name);
    std::vector<std::pair<uint32_t, String*>> accessors;
    for (const auto& [name, bindings] : t->names)
        for (const auto& [ns, b] : bindings)
            if (ns == m.publicNs && b.kind == Binding::Accessor && b.method && b.setter)
                accessors.push_back({b.method, name});
    std::sort(accessors.begin(), accessors.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& a : accessors) names.push_back(a.second);
    return names;
}

// Enumerable dynamic properties, in order.
std::vector<std::pair<String*, Value>> DynamicProps(Object* o) {
    std::vector<std::pair<String*, Value>> out;
    if (!o->dyn) return out;
    for (size_t p = o->dyn->Next(0); p; p = o->dyn->Next(p)) {
        String* k = o->dyn->KeyAt(p);
        if (!o->dyn->DontEnum(k)) out.push_back({k, o->dyn->ValueAt(p)});
    }
    return out;
}

class Writer {
public:
    Writer(Machine& m, ByteArrayObject* b) : m_(m), b_(b) {}

    void Byte(uint8_t c) { WriteBytesAt(m_, b_, &c, 1); }
    void U16(uint32_t v) { Bytes({uint8_t(v >> 8), uint8_t(v)}); }
    void U32(uint32_t v) { Bytes({uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}); }
    void Bytes(std::initializer_list<uint8_t> l) { WriteBytesAt(m_, b_, l.begin(), l.size()); }
    void Double(double d) {
        uint64_t u;
        std::memcpy(&u, &d, 8);
        for (int i = 7; i >= 0; --i) Byte(uint8_t(u >> (i * 8)));
    }
    void U29(uint32_t v) {
        v &= 0x1FFFFFFF;
        if (v < 0x80) Byte(uint8_t(v));
        else if (v < 0x4000) Bytes({uint8_t(v >> 7 | 0x80), uint8_t(v & 0x7F)});
        else if (v < 0x200000) Bytes({uint8_t(v >> 14 | 0x80), uint8_t(v >> 7 | 0x80), uint8_t(v & 0x7F)});
        else Bytes({uint8_t(v >> 22 | 0x80), uint8_t(v >> 15 | 0x80), uint8_t(v >> 8 | 0x80), uint8_t(v)});
    }

    // AMF3 ----------------------------------------------------------------
    void Str3(const std::string& s) {
        if (s.empty()) return Byte(0x01);
        auto it = strings_.find(s);
        if (it != strings_.end()) return U29(uint32_t(it->second) << 1);
        strings_.emplace(s, strings_.size());
        U29(uint32_t(s.size()) << 1 | 1);
        WriteBytesAt(m_, b_, s.data(), s.size());
    }

    // True when `o` was written before: the reference is out.
    bool Ref3(Object* o) {
        auto it = objects_.find(o);
        if (it != objects_.end()) {
            U29(uint32_t(it->second) << 1);
            return true;
        }
        objects_.emplace(o, objects_.size());
        return false;
    }

    void Value3(const Value& v, int depth) {
        if (depth > kMaxDepth) m_.Throw(m_.errorClass, 1023, "Stack overflow occurred.");
        switch (v.tag) {
        case Tag::Undefined: return Byte(0x00);
        case Tag::Null: return Byte(0x01);
        case Tag::Boolean: return Byte(v.b ? 0x03 : 0x02);
        case Tag::Int:
        case Tag::Number: {
            double d = v.Num();
            if (d >= -268435456.0 && d <= 268435455.0 && d == std::floor(d) && !(d == 0 && std::signbit(d))) {
                Byte(0x04);
                return U29(uint32_t(int32_t(d)));
            }
            Byte(0x05);
            return Double(d);
        }
        case Tag::String: Byte(0x06); return Str3(v.s->text);
        case Tag::Object: return Object3(v, depth);
        }
    }

    void Object3(const Value& v, int depth) {
        Object* o = v.o;
        if (o->kind == ObjKind::Function) return Byte(0x00);
        if (o->kind == ObjKind::Date) {
            Byte(0x08);
            if (Ref3(o)) return;
            U29(1);
            return Double(m_.ToNumber(m_.CallProperty(v, m_.PublicName("getTime"), nullptr, 0)));
        }
        if (o->kind == ObjKind::Xml || o->kind == ObjKind::XmlList) {
            Byte(0x0B);
            if (Ref3(o)) return;
            std::string s = m_.ToStdString(m_.CallProperty(v, m_.PublicName("toXMLString"), nullptr, 0));
            U29(uint32_t(s.size()) << 1 | 1);
            return WriteBytesAt(m_, b_, s.data(), s.size());
        }
        if (ByteArrayObject* ba = AsByteArray(v)) {
            Byte(0x0C);
            if (Ref3(o)) return;
            std::vector<uint8_t> copy = ba->bytes;
            U29(uint32_t(copy.size()) << 1 | 1);
            return WriteBytesAt(m_, b_, copy.data(), copy.size());
        }
        if (o->kind == ObjKind::Array) return Array3(static_cast<ArrayObject*>(o), depth);
        if (o->kind == ObjKind::Vector) return Vector3(v, depth);
        if (o->kind == ObjKind::Dictionary) return Dictionary3(v, depth);
        Byte(0x0A);
        if (Ref3(o)) return;
        ClassObject* cls = o->cls;
        const bool plain = !cls || cls == m_.objectClass || cls->IsSubclassOf(m_.classClass);
        std::vector<String*> sealed = plain ? std::vector<String*>() : SealedNames(m_, cls);
        const bool dynamic = o->IsDynamic();
        auto t = traits_.find(cls);
        if (t != traits_.end()) {
            U29(uint32_t(t->second) << 2 | 1);
        } else {
            traits_.emplace(cls, traits_.size());
            U29(uint32_t(sealed.size()) << 4 | (dynamic ? 0x08 : 0) | 0x03);
            auto& aliases = DataState(m_).aliasOfClass;
            auto a = aliases.find(cls);
            Str3(a != aliases.end() ? a->second : "");
            for (String* n : sealed) Str3(n->text);
        }
        for (String* n : sealed) Value3(m_.GetProperty(v, m_.PublicName(n)), depth + 1);
        if (!dynamic) return;
        if (o->kind == ObjKind::Proxy) {
            // A proxy lists what its enumeration hooks give, name then value.
            for (int p = o->NextIndex(m_, 0); p; p = o->NextIndex(m_, p)) {
                std::string name = m_.ToStdString(o->NameAt(m_, p));
                Value val = o->ValueAt(m_, p);
                Str3(name);
                Value3(val, depth + 1);
            }
        } else {
            for (auto& [k, val] : DynamicProps(o)) {
                if (val.IsObject() && val.o->kind == ObjKind::Function) continue;
                Str3(k->text);
                Value3(val, depth + 1);
            }
        }
        Str3("");
    }

    void Array3(ArrayObject* a, int depth) {
        Byte(0x09);
        if (Ref3(a)) return;
        size_t n = a->items.size();
        U29(uint32_t(n) << 1 | 1);
        for (auto& [k, val] : DynamicProps(a)) {
            Str3(k->text);
            Value3(val, depth + 1);
        }
        Str3("");
        for (size_t i = 0; i < n && i < a->items.size(); ++i) Value3(ItemAt(m_, a, i), depth + 1);
    }

    void Vector3(const Value& v, int depth) {
        ClassObject* of = v.o->cls ? v.o->cls->vectorOf : nullptr;
        uint8_t marker = of && of == m_.intClass ? 0x0D : of && of == m_.uintClass ? 0x0E
                                                                  : of && of == m_.numberClass ? 0x0F : 0x10;
        Byte(marker);
        if (Ref3(v.o)) return;
        uint32_t n = m_.ToUint32(m_.GetPublic(v, "length"));
        U29(n << 1 | 1);
        Byte(m_.ToBoolean(m_.GetPublic(v, "fixed")) ? 1 : 0);
        if (marker == 0x10) Str3(of ? of->QualifiedName() : "");
        for (uint32_t i = 0; i < n; ++i) {
            Value item = m_.GetProperty(v, IndexName(m_, i));
            if (marker == 0x0D) U32(uint32_t(m_.ToInt32(item)));
            else if (marker == 0x0E) U32(m_.ToUint32(item));
            else if (marker == 0x0F) Double(m_.ToNumber(item));
            else Value3(item, depth + 1);
        }
    }

    void Dictionary3(const Value& v, int depth) {
        Byte(0x11);
        if (Ref3(v.o)) return;
        std::vector<std::pair<Value, Value>> entries;
        for (int p = v.o->NextIndex(m_, 0); p; p = v.o->NextIndex(m_, p))
            entries.push_back({v.o->NameAt(m_, p), v.o->ValueAt(m_, p)});
        U29(uint32_t(entries.size()) << 1 | 1);
        Byte(0);
        for (auto& [k, val] : entries) {
            Value3(k, depth + 1);
            Value3(val, depth + 1);
        }
    }

    // AMF0 ----------------------------------------------------------------
    void Str0(const std::string& s) {
        U16(uint32_t(s.size()));
        WriteBytesAt(m_, b_, s.data(), s.size());
    }

    void Value0(const Value& v, int depth) {
        if (depth > kMaxDepth) m_.Throw(m_.errorClass, 1023, "Stack overflow occurred.");
        switch (v.tag) {
        case Tag::Undefined: return Byte(0x06);
        case Tag::Null: return Byte(0x05);
        case Tag::Boolean: return Bytes({0x01, uint8_t(v.b ? 1 : 0)});
        case Tag::Int:
        case Tag::Number: Byte(0x00); return Double(v.Num());
        case Tag::String: {
            const std::string& s = v.s->text;
            if (s.size() > 0xFFFF) {
                Byte(0x0C);
                U32(uint32_t(s.size()));
                return WriteBytesAt(m_, b_, s.data(), s.size());
            }
            Byte(0x02);
            return Str0(s);
        }
        case Tag::Object: break;
        }
        Object* o = v.o;
        if (o->kind == ObjKind::Function) return Byte(0x06);
        auto ref = objects_.find(o);
        if (ref != objects_.end() && ref->second <= 0xFFFF) {
            Byte(0x07);
            return U16(uint32_t(ref->second));
        }
        if (o->kind == ObjKind::Date) {
            objects_.emplace(o, objects_.size());
            Byte(0x0B);
            Double(m_.ToNumber(m_.CallProperty(v, m_.PublicName("getTime"), nullptr, 0)));
            return U16(0);
        }
        if (o->kind == ObjKind::Xml) {
            std::string s = m_.ToStdString(m_.CallProperty(v, m_.PublicName("toXMLString"), nullptr, 0));
            Byte(0x0F);
            U32(uint32_t(s.size()));
            return WriteBytesAt(m_, b_, s.data(), s.size());
        }
        if (o->kind == ObjKind::ByteArray || o->kind == ObjKind::Vector || o->kind == ObjKind::Dictionary ||
            o->kind == ObjKind::XmlList) {
            Byte(0x11);
            return Value3(v, depth + 1);
        }
        objects_.emplace(o, objects_.size());
        if (o->kind == ObjKind::Array) {
            auto* a = static_cast<ArrayObject*>(o);
            Byte(0x08);
            U32(uint32_t(a->items.size()));
            for (size_t i = 0; i < a->items.size(); ++i) {
                Str0(std::to_string(i));
                Value0(ItemAt(m_, a, i), depth + 1);
            }
            for (auto& [k, val] : DynamicProps(a)) {
                Str0(k->text);
                Value0(val, depth + 1);
            }
            return Bytes({0, 0, 9});
        }
        ClassObject* cls = o->cls;
        const bool plain = !cls || cls == m_.objectClass;
        auto& aliases = DataState(m_).aliasOfClass;
        auto a = plain ? aliases.end() : aliases.find(cls);
        if (a != aliases.end()) {
            Byte(0x10);
            Str0(a->second);
        } else {
            Byte(0x03);
        }
        if (!plain)
            for (String* n : SealedNames(m_, cls)) {
                Str0(n->text);
                Value0(m_.GetProperty(v, m_.PublicName(n)), depth + 1);
            }
        for (auto& [k, val] : DynamicProps(o)) {
            if (val.IsObject() && val.o->kind == ObjKind::Function) continue;
            Str0(k->text);
            Value0(val, depth + 1);
        }
        Bytes({0, 0, 9});
    }

private:
    Machine& m_;
    ByteArrayObject* b_;
    std::unordered_map<std::string, size_t> strings_;
    std::unordered_map<Object*, size_t> objects_;
    std::unordered_map<ClassObject*, size_t> traits_;
};

Value RegisterClassAlias(Machine& m, Value, Args args, int argc) {
    Value name = Arg(args, argc, 0), cls = Arg(args, argc, 1);
    if (name.IsNullish()) m.TypeError(2007, "Parameter aliasName must be non-null.");
    if (cls.IsNullish()) m.TypeError(2007, "Parameter classObject must be non-null.");
    if (!cls.IsObject() || cls.o->kind != ObjKind::Class)
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(cls) + " to Class.");
    DataStateObject& d = DataState(m);
    std::string alias = m.ToStdString(name);
    auto* c = static_cast<ClassObject*>(cls.o);
    d.classByAlias[alias] = c;
    d.aliasOfClass[c] = alias;
    return Value::Undefined();
}

Value GetClassByAlias(Machine& m, Value, Args args, int argc) {
    Value name = Arg(args, argc, 0);
    if (name.IsNullish()) m.TypeError(2007, "Parameter aliasName must be non-null.");
    std::string alias = m.ToStdString(name);
    DataStateObject& d = DataState(m);
    auto it = d.classByAlias.find(alias);
    if (it == d.classByAlias.end()) m.ReferenceError(1014, "Class " + alias + " could not be found.");
    return Value::Obj(it->second);
}

}  // namespace

void WriteAmf(Machine& m, ByteArrayObject* b, const Value& v, uint32_t version) {
    Writer w(m, b);
    if (version == 0) w.Value0(v, 0);
    else w.Value3(v, 0);
}

void InstallAmfAliases(Machine& m) {
    m.DefineGlobalFunction("flash.net", "registerClassAlias", RegisterClassAlias, 2);
    m.DefineGlobalFunction("flash.net", "getClassByAlias", GetClassByAlias, 1);
}

}  // namespace swf::avm2
