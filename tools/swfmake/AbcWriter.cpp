#include "tools/swfmake/AbcWriter.h"

#include <cstring>

namespace swfmake {

namespace {

constexpr uint8_t kPackageNs = 0x16;
constexpr uint8_t kQName = 0x07;

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) { out.insert(out.end(), more.begin(), more.end()); }

uint32_t Add(std::vector<std::vector<uint8_t>>& list, std::vector<uint8_t> item) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == item) return uint32_t(i + 1);
    list.push_back(std::move(item));
    return uint32_t(list.size());
}

}  // namespace

AbcWriter::AbcWriter() = default;

void AbcWriter::U30(std::vector<uint8_t>& out, uint32_t v) {
    do {
        uint8_t b = v & 0x7f;
        v >>= 7;
        out.push_back(v ? b | 0x80 : b);
    } while (v);
}

void AbcWriter::Op(std::vector<uint8_t>& code, uint8_t op, std::initializer_list<uint32_t> operands) {
    code.push_back(op);
    for (uint32_t v : operands) U30(code, v);
}

uint32_t AbcWriter::String(const std::string& s) {
    for (size_t i = 0; i < strings_.size(); ++i)
        if (strings_[i] == s) return uint32_t(i + 1);
    strings_.push_back(s);
    return uint32_t(strings_.size());
}

uint32_t AbcWriter::Int(int32_t v) {
    ints_.push_back(v);
    return uint32_t(ints_.size());
}

uint32_t AbcWriter::Double(double v) {
    doubles_.push_back(v);
    return uint32_t(doubles_.size());
}

uint32_t AbcWriter::PackageNs(const std::string& uri) {
    std::vector<uint8_t> ns{kPackageNs};
    U30(ns, String(uri));
    return Add(namespaces_, ns);
}

uint32_t AbcWriter::QName(const std::string& name, const std::string& pkg) {
    std::vector<uint8_t> body;
    U30(body, PackageNs(pkg));
    U30(body, String(name));
    return RawName(kQName, body);
}

uint32_t AbcWriter::RawName(uint8_t kind, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> name{kind};
    Append(name, body);
    return Add(names_, name);
}

uint32_t AbcWriter::Method(uint32_t paramCount, uint32_t maxStack, uint32_t localCount, uint32_t maxScope,
                           const std::vector<uint8_t>& code, const std::vector<Exception>& exceptions,
                           uint8_t flags) {
    std::vector<uint8_t> info;
    U30(info, paramCount);
    U30(info, 0);  // returns *
    for (uint32_t i = 0; i < paramCount; ++i) U30(info, 0);
    U30(info, 0);  // no name
    info.push_back(flags);
    methods_.push_back(info);
    const uint32_t index = uint32_t(methods_.size() - 1);
    std::vector<uint8_t> body;
    U30(body, index);
    U30(body, maxStack);
    U30(body, localCount);
    U30(body, 0);
    U30(body, maxScope);
    U30(body, uint32_t(code.size()));
    Append(body, code);
    U30(body, uint32_t(exceptions.size()));
    for (const Exception& e : exceptions)
        for (uint32_t v : {e.from, e.to, e.target, e.type, e.var}) U30(body, v);
    U30(body, 0);  // no traits
    bodies_.push_back(body);
    return index;
}

namespace {

void Traits(std::vector<uint8_t>& out, const std::vector<AbcWriter::Trait>& traits) {
    AbcWriter::U30(out, uint32_t(traits.size()));
    for (const AbcWriter::Trait& t : traits) {
        AbcWriter::U30(out, t.name);
        out.push_back(t.kind);
        AbcWriter::U30(out, 0);  // slot id or disp id: assigned by the reader
        AbcWriter::U30(out, t.index);
        if (t.kind == AbcWriter::Trait::kSlot) AbcWriter::U30(out, 0);  // no default value
    }
}

}  // namespace

uint32_t AbcWriter::Class(const ClassDef& def) {
    constexpr uint8_t kSealed = 0x01;
    std::vector<uint8_t> instance;
    U30(instance, def.name);
    U30(instance, def.super);
    instance.push_back(def.sealed ? kSealed : 0);
    U30(instance, 0);  // no interfaces
    U30(instance, def.iinit);
    Traits(instance, def.instanceTraits);
    instances_.push_back(instance);
    std::vector<uint8_t> cls;
    U30(cls, def.cinit);
    Traits(cls, def.classTraits);
    classes_.push_back(cls);
    return uint32_t(classes_.size() - 1);
}

void AbcWriter::Script(uint32_t init, const std::vector<Trait>& traits) {
    std::vector<uint8_t> s;
    U30(s, init);
    Traits(s, traits);
    scripts_.push_back(s);
}

std::vector<uint8_t> AbcWriter::Bytes() const {
    std::vector<uint8_t> out{16, 0, 46, 0};  // minor 16, major 46
    auto count = [&](size_t n) { U30(out, n ? uint32_t(n + 1) : 0); };
    count(ints_.size());
    for (int32_t v : ints_) U30(out, uint32_t(v));  // 32 bits: negatives take five bytes
    U30(out, 0);  // no uints
    count(doubles_.size());
    for (double d : doubles_) {
        uint8_t b[8];
        std::memcpy(b, &d, 8);
        out.insert(out.end(), b, b + 8);
    }
    count(strings_.size());
    for (const std::string& s : strings_) {
        U30(out, uint32_t(s.size()));
        out.insert(out.end(), s.begin(), s.end());
    }
    count(namespaces_.size());
    for (const auto& n : namespaces_) Append(out, n);
    U30(out, 0);  // no namespace sets
    count(names_.size());
    for (const auto& n : names_) Append(out, n);
    U30(out, uint32_t(methods_.size()));
    for (const auto& m : methods_) Append(out, m);
    U30(out, 0);  // no metadata
    U30(out, uint32_t(classes_.size()));
    for (const auto& i : instances_) Append(out, i);
    for (const auto& c : classes_) Append(out, c);
    U30(out, uint32_t(scripts_.size()));
    for (const auto& s : scripts_) Append(out, s);
    U30(out, uint32_t(bodies_.size()));
    for (const auto& b : bodies_) Append(out, b);
    return out;
}

std::vector<uint8_t> DoAbcBody(const std::vector<uint8_t>& abc, bool lazy, const std::string& name) {
    std::vector<uint8_t> out{uint8_t(lazy ? 1 : 0), 0, 0, 0};
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
    Append(out, abc);
    return out;
}

std::vector<uint8_t> SymbolClassBody(const std::vector<std::pair<uint16_t, std::string>>& symbols) {
    std::vector<uint8_t> out{uint8_t(symbols.size()), uint8_t(symbols.size() >> 8)};
    for (const auto& [id, name] : symbols) {
        out.push_back(uint8_t(id));
        out.push_back(uint8_t(id >> 8));
        out.insert(out.end(), name.begin(), name.end());
        out.push_back(0);
    }
    return out;
}

}  // namespace swfmake
