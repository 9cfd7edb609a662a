// Script objects and the heap that owns them.
//
// An object is a list of named properties plus a prototype link. An array's
// elements are properties too, named by their index (so they have holes,
// flags and an order of their own), beside a separate 32-bit length;
// functions carry their
// code or native entry; wrappers (String, Number, Boolean, Date) carry their
// primitive. Names compare case-insensitively for movies of SWF 6 and
// earlier (the caller passes that choice in).
//
// Memory: a mark-sweep collector over one heap per movie. The interpreter
// calls Collect only at points where every live value sits in a place it
// can list as a root (stacks, registers, scope chains, globals), so natives
// never see an object vanish under them. Everything is freed with the heap.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/avm1/Value.h"

namespace swf::avm1 {

class Vm;
struct Program;

enum PropFlags : uint16_t {
    kDontEnum = 1,
    kDontDelete = 2,
    kReadOnly = 4,
    // Set by ASSetPropFlags: the property is missing for movies of other
    // SWF versions (HiddenFor).
    kOnlySwf6Up = 0x80,
    kIgnoreSwf6 = 0x100,
    kOnlySwf7Up = 0x400,
    kOnlySwf8Up = 0x1000,
    kOnlySwf9Up = 0x2000,
    kOnlySwf10Up = 0x4000,
};
constexpr uint16_t kVersionFlags = kOnlySwf6Up | kIgnoreSwf6 | kOnlySwf7Up | kOnlySwf8Up | kOnlySwf9Up | kOnlySwf10Up;

inline bool HiddenFor(uint16_t flags, int version) {
    return ((flags & kOnlySwf6Up) && version < 6) || ((flags & kIgnoreSwf6) && version == 6) ||
           ((flags & kOnlySwf7Up) && version < 7) || ((flags & kOnlySwf8Up) && version < 8) ||
           ((flags & kOnlySwf9Up) && version < 9) || ((flags & kOnlySwf10Up) && version < 10);
}

struct Property {
    std::string name;
    Value value;
    Object* getter = nullptr;  // addProperty: both may be set
    Object* setter = nullptr;
    uint16_t flags = 0;
};

// Super stands for `super` inside a method: elems[0] is `this`, elems[1]
// the super constructor.
enum class ObjClass : uint8_t { Object, Function, Array, String, Number, Boolean, Date, Clip, Arguments, Super, Error };

struct CallArgs {
    Vm& vm;
    Value self;
    const std::vector<Value>& args;
    Object* callee;
    bool construct;
    const Value& Arg(size_t i) const;
};
using NativeFn = Value (*)(CallArgs&);

struct FunctionData {
    NativeFn native = nullptr;
    int magic = 0;  // lets one native serve several methods
    std::shared_ptr<const Program> program;
    uint32_t def = 0;  // index of its definition in the program
    std::vector<Object*> scope;  // captured scope chain, outermost first
    std::shared_ptr<const std::vector<Value>> pool;  // constants at definition
    Value target;  // the clip whose timeline defined it
};

// What a built-in class keeps beside an object's properties (a bitmap's
// pixels), freed with the object.
struct NativeData {
    virtual ~NativeData() = default;
};

struct Watch {
    Object* fn = nullptr;
    Value data;
};

class Object {
public:
    Object(ObjClass c, Object* p) : cls(c), proto(p) {}

    Property* Find(const std::string& name, bool ci);
    const Property* Find(const std::string& name, bool ci) const {
        return const_cast<Object*>(this)->Find(name, ci);
    }
    // The property, created (empty, no flags) when missing.
    Property& Put(const std::string& name, bool ci);
    bool Remove(const std::string& name, bool ci);
    // Back to the state of a new object (given its class and prototype
    // later), keeping small property storage for the next object.
    void Clear();
    const std::vector<Property>& Props() const { return props_; }
    std::vector<Property>& Props() { return props_; }

    ObjClass cls;
    Object* proto;
    bool marked = false;
    std::unique_ptr<FunctionData> fn;
    std::vector<Value> elems;   // Super; internal lists
    int32_t length = 0;         // Array, Arguments
    Value primitive;            // wrappers; Date: the time in ms
    uint32_t clip = 0;          // Clip: the host's id, 0 once removed
    std::vector<Object*> interfaces;  // ImplementsOp, on a prototype: theirs (null for none)
    std::unique_ptr<std::unordered_map<std::string, Watch>> watches;
    std::shared_ptr<NativeData> native;

private:
    void Reindex(bool ci);
    std::vector<Property> props_;
    // Built once an object grows past a few properties; keyed by the
    // lower-cased name when names are case-insensitive.
    std::unique_ptr<std::unordered_map<std::string, uint32_t>> index_;
    bool indexCi_ = false;
};

std::string LowerAscii(const std::string& s);
// A name an array counts as an index: digits with an optional leading
// minus, read as a 32-bit integer that wraps ("4294967296" is 0).
bool ArrayIndexName(const std::string& name, int32_t& index);
bool EqualNames(const std::string& a, const std::string& b, bool ci);

class Heap {
public:
    static constexpr size_t kMinCollect = 4096;

    Object* New(ObjClass cls, Object* proto);
    size_t Live() const { return objects_.size(); }
    // True once enough was allocated since the last collection.
    bool WantsCollect() const { return sinceCollect_ >= threshold_; }
    // Marking: roots first, then Sweep frees the rest.
    void Mark(Object* o);
    void Mark(const Value& v) { if (v.kind == Value::Kind::Object) Mark(v.o); }
    void Sweep();

private:
    void Trace(Object* o);
    std::vector<std::unique_ptr<Object>> objects_;
    // Dead objects kept for reuse: scripts that call functions every frame
    // make activation and arguments objects at a steady rate.
    std::vector<std::unique_ptr<Object>> spare_;
    std::vector<Object*> grey_;
    size_t sinceCollect_ = 0;
    size_t threshold_ = kMinCollect;
};

}  // namespace swf::avm1
