// An ABC block (the bytecode of a DoABC tag) as read: constant pools,
// methods, metadata, classes, scripts and method bodies, all by index as
// the file has them. Indices are checked when read, so every index held
// here is in range (0 meaning "none" or "any" where the format says so).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace swf::avm2 {

enum class NsKind : uint8_t {
    Namespace = 0x08,
    Package = 0x16,
    PackageInternal = 0x17,
    Protected = 0x18,
    Explicit = 0x19,
    StaticProtected = 0x1A,
    Private = 0x05,
};

struct AbcNamespace {
    NsKind kind = NsKind::Package;
    uint32_t name = 0;  // string index
};

enum class MnKind : uint8_t {
    QName = 0x07,
    QNameA = 0x0D,
    RTQName = 0x0F,
    RTQNameA = 0x10,
    RTQNameL = 0x11,
    RTQNameLA = 0x12,
    Multiname = 0x09,
    MultinameA = 0x0E,
    MultinameL = 0x1B,
    MultinameLA = 0x1C,
    TypeName = 0x1D,
};

struct AbcMultiname {
    MnKind kind = MnKind::QName;
    uint32_t ns = 0;     // QName: namespace index
    uint32_t name = 0;   // string index (0: any name)
    uint32_t nsSet = 0;  // Multiname, MultinameL
    uint32_t base = 0;   // TypeName: the generic's multiname
    std::vector<uint32_t> params;  // TypeName parameters (multinames)

    bool Attribute() const {
        return kind == MnKind::QNameA || kind == MnKind::RTQNameA || kind == MnKind::RTQNameLA ||
               kind == MnKind::MultinameA || kind == MnKind::MultinameLA;
    }
    bool RuntimeNs() const {
        return kind == MnKind::RTQName || kind == MnKind::RTQNameA || kind == MnKind::RTQNameL ||
               kind == MnKind::RTQNameLA;
    }
    bool RuntimeName() const {
        return kind == MnKind::RTQNameL || kind == MnKind::RTQNameLA || kind == MnKind::MultinameL ||
               kind == MnKind::MultinameLA;
    }
};

// A constant as a trait default or an optional parameter's value.
struct AbcConstant {
    uint8_t kind = 0;  // 0: none; else the constant kind code
    uint32_t index = 0;
};

enum MethodFlags : uint8_t {
    kNeedArguments = 0x01,
    kNeedActivation = 0x02,
    kNeedRest = 0x04,
    kHasOptional = 0x08,
    kNative = 0x20,
    kSetDxns = 0x40,
    kHasParamNames = 0x80,
};

struct AbcMethod {
    std::vector<uint32_t> paramTypes;  // multinames, 0: any
    uint32_t returnType = 0;
    uint32_t name = 0;
    uint8_t flags = 0;
    std::vector<AbcConstant> optional;  // the last parameters' defaults
    int body = -1;                      // index into bodies, -1: native / none
};

enum class TraitKind : uint8_t { Slot = 0, Method = 1, Getter = 2, Setter = 3, Class = 4, Function = 5, Const = 6 };
enum TraitAttr : uint8_t { kTraitFinal = 1, kTraitOverride = 2, kTraitMetadata = 4 };

struct AbcTrait {
    uint32_t name = 0;  // a QName multiname
    TraitKind kind = TraitKind::Slot;
    uint8_t attrs = 0;
    uint32_t slotId = 0;   // slot, const, class, function; also disp id
    uint32_t type = 0;     // slot/const type multiname
    AbcConstant value;     // slot/const default
    uint32_t index = 0;    // method index, class index
    std::vector<uint32_t> metadata;
};

enum InstanceFlags : uint8_t { kClassSealed = 1, kClassFinal = 2, kClassInterface = 4, kClassProtectedNs = 8 };

struct AbcInstance {
    uint32_t name = 0;
    uint32_t super = 0;
    uint8_t flags = 0;
    uint32_t protectedNs = 0;
    std::vector<uint32_t> interfaces;
    uint32_t init = 0;  // method
    std::vector<AbcTrait> traits;
};

struct AbcClass {
    uint32_t init = 0;  // static initialiser
    std::vector<AbcTrait> traits;
};

struct AbcScript {
    uint32_t init = 0;
    std::vector<AbcTrait> traits;
};

struct AbcException {
    uint32_t from = 0, to = 0, target = 0;  // byte offsets into the code
    uint32_t type = 0, varName = 0;         // multinames
};

struct AbcBody {
    uint32_t method = 0;
    uint32_t maxStack = 0, localCount = 0, initScope = 0, maxScope = 0;
    std::vector<uint8_t> code;
    std::vector<AbcException> exceptions;
    std::vector<AbcTrait> traits;  // the activation's slots
};

struct AbcMetadata {
    uint32_t name = 0;
    std::vector<std::pair<uint32_t, uint32_t>> items;  // key, value strings (key 0: none)
};

struct AbcFile {
    uint16_t minor = 0, major = 0;
    std::vector<int32_t> ints{0};
    std::vector<uint32_t> uints{0};
    std::vector<double> doubles{0};
    std::vector<std::string> strings{""};
    std::vector<AbcNamespace> namespaces{{}};
    std::vector<std::vector<uint32_t>> nsSets{{}};
    std::vector<AbcMultiname> multinames{{}};
    std::vector<AbcMethod> methods;
    std::vector<AbcMetadata> metadata;
    std::vector<AbcInstance> instances;
    std::vector<AbcClass> classes;
    std::vector<AbcScript> scripts;
    std::vector<AbcBody> bodies;
};

// Reads one ABC block; on failure returns null and says why in `error`.
std::shared_ptr<AbcFile> ReadAbc(const uint8_t* data, size_t size, std::string* error);

}  // namespace swf::avm2
