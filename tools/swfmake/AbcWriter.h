// ActionScript 3 bytecode blocks for test movies: a constant pool, methods
// with bodies given as raw code, classes with slots and methods, scripts,
// and the DoABC and SymbolClass tags that carry them. Only what tests,
// seeds and sample movies need.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfmake {

class AbcWriter {
public:
    struct Exception {
        uint32_t from, to, target;
        uint32_t type = 0;  // multiname; 0: any
        uint32_t var = 0;
    };
    // A slot, method or class of an instance, a class or a script.
    struct Trait {
        enum Kind : uint8_t { kSlot = 0, kMethod = 1, kClass = 4 };
        uint32_t name;  // QName
        Kind kind;
        uint32_t index = 0;  // method or class index; a slot's type name (0: any)
    };
    struct ClassDef {
        uint32_t name, super;  // QNames; super 0 for none
        uint32_t iinit, cinit;  // methods
        std::vector<Trait> instanceTraits, classTraits;
        bool sealed = true;
    };
    AbcWriter();

    // Pool indices (1-based; 0 means none or "*").
    uint32_t String(const std::string& s);
    uint32_t Int(int32_t v);
    uint32_t Double(double v);
    uint32_t PackageNs(const std::string& uri);
    // A QName in the package namespace `pkg` ("" public).
    uint32_t QName(const std::string& name, const std::string& pkg = "");
    // Any multiname record, written as given after its kind byte.
    uint32_t RawName(uint8_t kind, const std::vector<uint8_t>& body);

    // A method with a body; returns its index.
    uint32_t Method(uint32_t paramCount, uint32_t maxStack, uint32_t localCount, uint32_t maxScope,
                    const std::vector<uint8_t>& code, const std::vector<Exception>& exceptions = {},
                    uint8_t flags = 0);
    // Returns the class index that newclass and class traits take.
    uint32_t Class(const ClassDef& def);
    // A script run by `init`, defining `traits` in the global scope.
    void Script(uint32_t init, const std::vector<Trait>& traits = {});
    std::vector<uint8_t> Bytes() const;

    // Code helpers: opcodes with u30 operands.
    static void Op(std::vector<uint8_t>& code, uint8_t op, std::initializer_list<uint32_t> operands = {});
    static void U30(std::vector<uint8_t>& out, uint32_t v);

private:
    std::vector<std::string> strings_;
    std::vector<int32_t> ints_;
    std::vector<double> doubles_;
    std::vector<std::vector<uint8_t>> namespaces_, names_, methods_, bodies_, scripts_,
        instances_, classes_;
};

// The DoABC tag body (flags, name, block) and SymbolClass's.
std::vector<uint8_t> DoAbcBody(const std::vector<uint8_t>& abc, bool lazy, const std::string& name);
std::vector<uint8_t> SymbolClassBody(const std::vector<std::pair<uint16_t, std::string>>& symbols);

}  // namespace swfmake
