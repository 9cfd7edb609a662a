// ABC reading. Variable-length integers (u30, u32, s32: 7 bits a byte, at
// most 5 bytes), doubles little-endian, strings length-prefixed UTF-8.
// Every count is checked against the bytes left (an item takes at least one
// byte) and every index against its pool, so a hostile block is an error
// message, never a huge allocation or an index out of range later.
#include <cstring>
#include <stdexcept>

#include "swf/avm2/abc/Abc.h"

namespace swf::avm2 {

namespace {

struct AbcError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class AbcReader {
public:
    AbcReader(const uint8_t* data, size_t size) : p_(data), end_(data + size), begin_(data) {}

    void Read(AbcFile& f) {
        f.minor = U16();
        f.major = U16();
        ReadPool(f.ints, [&] { return int32_t(U32()); });
        ReadPool(f.uints, [&] { return U32(); });
        ReadPool(f.doubles, [&] { return D64(); });
        ReadPool(f.strings, [&] { return Str(); });
        ReadPool(f.namespaces, [&] {
            AbcNamespace ns;
            ns.kind = NsKind(U8());
            ns.name = Index(f.strings.size(), "string");
            return ns;
        });
        ReadPool(f.nsSets, [&] {
            std::vector<uint32_t> set(Count(1));
            for (auto& n : set) n = Index(f.namespaces.size(), "namespace");
            return set;
        });
        ReadPool(f.multinames, [&] { return Multiname(f); });
        f.methods.resize(Count(4));
        for (auto& m : f.methods) Method(f, m);
        f.metadata.resize(Count(2));
        for (auto& md : f.metadata) {
            md.name = Index(f.strings.size(), "string");
            md.items.resize(Count(2));
            for (auto& it : md.items) it.first = Index(f.strings.size(), "string");
            for (auto& it : md.items) it.second = Index(f.strings.size(), "string");
        }
        size_t classCount = Count(4);
        f.instances.resize(classCount);
        for (auto& in : f.instances) Instance(f, in);
        f.classes.resize(classCount);
        for (auto& c : f.classes) {
            c.init = Index(f.methods.size(), "method", false);
            Traits(f, c.traits);
        }
        f.scripts.resize(Count(2));
        for (auto& s : f.scripts) {
            s.init = Index(f.methods.size(), "method", false);
            Traits(f, s.traits);
        }
        f.bodies.resize(Count(6));
        for (size_t i = 0; i < f.bodies.size(); ++i) Body(f, f.bodies[i], int(i));
    }

private:
    template <typename T, typename F>
    void ReadPool(std::vector<T>& pool, F item) {
        uint32_t n = U30();
        if (n == 0) return;
        Need(n - 1);
        pool.reserve(n);
        for (uint32_t i = 1; i < n; ++i) pool.push_back(item());
    }

    AbcMultiname Multiname(const AbcFile& f) {
        AbcMultiname m;
        m.kind = MnKind(U8());
        size_t strings = f.strings.size();
        switch (m.kind) {
        case MnKind::QName:
        case MnKind::QNameA:
            m.ns = Index(f.namespaces.size(), "namespace");
            m.name = Index(strings, "string");
            break;
        case MnKind::RTQName:
        case MnKind::RTQNameA: m.name = Index(strings, "string"); break;
        case MnKind::RTQNameL:
        case MnKind::RTQNameLA: break;
        case MnKind::Multiname:
        case MnKind::MultinameA:
            m.name = Index(strings, "string");
            m.nsSet = Index(f.nsSets.size(), "namespace set");
            if (m.nsSet == 0) throw AbcError("multiname without a namespace set");
            break;
        case MnKind::MultinameL:
        case MnKind::MultinameLA:
            m.nsSet = Index(f.nsSets.size(), "namespace set");
            if (m.nsSet == 0) throw AbcError("multiname without a namespace set");
            break;
        case MnKind::TypeName: {
            // Parameters may name later multinames; checked once all are read.
            m.base = U30();
            m.params.resize(Count(1));
            for (auto& p : m.params) p = U30();
            break;
        }
        default: throw AbcError("unknown multiname kind " + std::to_string(int(m.kind)));
        }
        return m;
    }

    void Method(const AbcFile& f, AbcMethod& m) {
        uint32_t params = Count(1);
        m.returnType = Index(f.multinames.size(), "multiname");
        m.paramTypes.resize(params);
        for (auto& t : m.paramTypes) t = Index(f.multinames.size(), "multiname");
        m.name = Index(f.strings.size(), "string");
        m.flags = U8();
        if (m.flags & kHasOptional) {
            uint32_t n = Count(2);
            if (n > params) throw AbcError("more optional parameters than parameters");
            m.optional.resize(n);
            for (auto& o : m.optional) {
                o.index = U30();
                o.kind = U8();
            }
        }
        if (m.flags & kHasParamNames)
            for (uint32_t i = 0; i < params; ++i) Index(f.strings.size(), "string");
    }

    void Instance(const AbcFile& f, AbcInstance& in) {
        in.name = Index(f.multinames.size(), "multiname");
        in.super = Index(f.multinames.size(), "multiname");
        in.flags = U8();
        if (in.flags & kClassProtectedNs) in.protectedNs = Index(f.namespaces.size(), "namespace");
        in.interfaces.resize(Count(1));
        for (auto& i : in.interfaces) i = Index(f.multinames.size(), "multiname");
        in.init = Index(f.methods.size(), "method", false);
        Traits(f, in.traits);
    }

    void Traits(const AbcFile& f, std::vector<AbcTrait>& traits) {
        traits.resize(Count(2));
        for (auto& t : traits) {
            t.name = Index(f.multinames.size(), "multiname");
            uint8_t kind = U8();
            t.kind = TraitKind(kind & 0x0F);
            t.attrs = kind >> 4;
            switch (t.kind) {
            case TraitKind::Slot:
            case TraitKind::Const:
                t.slotId = U30();
                t.type = Index(f.multinames.size(), "multiname");
                t.value.index = U30();
                if (t.value.index) t.value.kind = U8();
                break;
            case TraitKind::Class:
                t.slotId = U30();
                t.index = Index(f.instances.size(), "class", false);
                break;
            case TraitKind::Function:
            case TraitKind::Method:
            case TraitKind::Getter:
            case TraitKind::Setter:
                t.slotId = U30();
                t.index = Index(f.methods.size(), "method", false);
                break;
            default: throw AbcError("unknown trait kind " + std::to_string(kind & 0x0F));
            }
            if (t.attrs & kTraitMetadata) {
                t.metadata.resize(Count(1));
                for (auto& m : t.metadata) m = Index(f.metadata.size(), "metadata", false);
            }
        }
    }

    void Body(AbcFile& f, AbcBody& b, int index) {
        b.method = Index(f.methods.size(), "method", false);
        b.maxStack = U30();
        b.localCount = U30();
        b.initScope = U30();
        b.maxScope = U30();
        uint32_t len = U30();
        Need(len);
        b.code.assign(p_, p_ + len);
        p_ += len;
        b.exceptions.resize(Count(5));
        for (auto& e : b.exceptions) {
            e.from = U30();
            e.to = U30();
            e.target = U30();
            e.type = Index(f.multinames.size(), "multiname");
            e.varName = Index(f.multinames.size(), "multiname");
        }
        Traits(f, b.traits);
        AbcMethod& m = f.methods[b.method];
        if (m.body >= 0) throw AbcError("method " + std::to_string(b.method) + " has two bodies");
        m.body = index;
    }

    void Need(size_t n) const {
        if (size_t(end_ - p_) < n) throw AbcError("data ends early at offset " + std::to_string(p_ - begin_));
    }
    uint32_t Count(size_t minBytes) {
        uint32_t n = U30();
        Need(size_t(n) * minBytes);
        return n;
    }
    uint32_t Index(size_t size, const char* what, bool zeroOk = true) {
        uint32_t i = U30();
        if (i >= size || (!zeroOk && size == 0))
            throw AbcError(std::string(what) + " index " + std::to_string(i) + " out of range");
        return i;
    }
    uint8_t U8() {
        Need(1);
        return *p_++;
    }
    uint16_t U16() {
        Need(2);
        uint16_t v = uint16_t(p_[0] | p_[1] << 8);
        p_ += 2;
        return v;
    }
    uint32_t U32() {
        uint32_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            uint8_t b = U8();
            v |= uint32_t(b & 0x7F) << shift;
            if (!(b & 0x80)) break;
        }
        return v;
    }
    uint32_t U30() { return U32() & 0x3FFFFFFF; }
    double D64() {
        Need(8);
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = bits << 8 | p_[i];
        p_ += 8;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    std::string Str() {
        uint32_t len = U30();
        Need(len);
        std::string s(reinterpret_cast<const char*>(p_), len);
        p_ += len;
        return s;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    const uint8_t* begin_;
};

}  // namespace

std::shared_ptr<AbcFile> ReadAbc(const uint8_t* data, size_t size, std::string* error) {
    auto f = std::make_shared<AbcFile>();
    try {
        AbcReader(data, size).Read(*f);
        for (const auto& m : f->multinames) {
            if (m.kind != MnKind::TypeName) continue;
            bool ok = m.base < f->multinames.size();
            for (uint32_t p : m.params) ok = ok && p < f->multinames.size();
            if (!ok) throw AbcError("type name refers to a missing multiname");
        }
    } catch (const AbcError& e) {
        *error = e.what();
        return nullptr;
    }
    return f;
}

}  // namespace swf::avm2
