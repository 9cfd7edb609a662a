// The object model. Every script object is an Object: a class (whose
// traits give its fixed slots, methods and accessors), slot values, a
// prototype, and for dynamic classes a table of dynamic properties. Kinds
// with native state (arrays, functions, classes, dates, byte arrays...)
// derive from Object and override the index and enumeration hooks.
//
// Display objects (the next step) are Objects of a derived kind holding a
// reference to the engine's own display object, which holds this object
// back: one object seen from both sides, never a copy.
#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/avm2/Value.h"
#include "swf/avm2/abc/Abc.h"

namespace swf::avm2 {

class Machine;
class ClassObject;
class Tracer;
struct Scope;

// A namespace, interned by kind and URI (private ones are unique).
struct Ns {
    NsKind kind = NsKind::Package;
    String* uri = nullptr;
    bool IsPublic() const { return (kind == NsKind::Package || kind == NsKind::Namespace) && uri->text.empty(); }
};

// A name to resolve: one namespace or a set, a local name (null: any).
struct Name {
    String* name = nullptr;
    const std::vector<Ns*>* set = nullptr;
    Ns* single = nullptr;
    bool attribute = false;
    bool hasKey = false;  // a runtime name: the value as given (obj[key])
    Value key{};
    bool HasPublic() const;
    bool Contains(Ns* ns) const;
};

using Args = const Value*;
// A native method: `self` is the receiver, args[0..argc).
using NativeFn = Value (*)(Machine& m, Value self, Args args, int argc);

struct Code;  // decoded body (Code.h)

// A method: bytecode of an ABC, or native.
struct Method {
    std::shared_ptr<const AbcFile> abc;
    uint32_t index = 0;
    NativeFn native = nullptr;
    String* name = nullptr;
    int nativeLength = 0;
    // How stack traces name the method ("Test/get x", "Test$cinit"); empty
    // until a trait or a definition names it.
    std::string traceName;
    // The class whose trait or initialiser this method is; a method has one
    // owner: a class, or the functions newfunction makes of it.
    ClassObject* owner = nullptr;
    // Script and class initialisers, which the player runs once and so
    // interprets rather than compiles: their index reads and writes on
    // numbers take the fast way whatever namespaces the name gives.
    bool runsOnce = false;
    // The player's own script, which raises its errors through
    // Error.throwError: a frame of its own atop their stack traces.
    bool raisesThroughError = false;
    std::unique_ptr<Code> code;  // decoded on first call
    const struct AbcModule* module = nullptr;
    // What arguments.callee gives when the method runs without a function
    // object of its own (a method or accessor of a class); made on demand.
    class FunctionObject* closure = nullptr;
    ~Method();
};

// What a name means in a class's traits.
struct Binding {
    enum Kind : uint8_t { None, Slot, Const, Method, Accessor } kind = None;
    uint32_t slot = 0;           // Slot/Const: slot index
    uint32_t method = 0;         // Method: vtable index; Accessor: getter (+1, 0 none)
    uint32_t setter = 0;         // Accessor: setter vtable index + 1, 0 none
};

struct SlotInfo {
    String* name = nullptr;
    Ns* ns = nullptr;
    Value initial;
    uint32_t type = 0;  // multiname of module, 0: any
    const struct AbcModule* module = nullptr;
    ClassObject* typeClass = nullptr;  // resolved on first store
    bool resolved = false;
    bool isConst = false;
};

struct VEntry {
    Method* method = nullptr;
    ClassObject* declarer = nullptr;  // gives the scope and `super`
};

// Fixed properties of one class's instances (or of a class object, or of
// a script's global, or of an activation).
class Traits {
public:
    Traits* base = nullptr;
    std::unordered_map<String*, std::vector<std::pair<Ns*, Binding>>> names;
    std::vector<SlotInfo> slots;
    std::vector<VEntry> vtable;
    bool sealed = true;

    const Binding* Find(const Name& n, Ns** found = nullptr) const;
    const Binding* FindExact(String* name, Ns* ns) const;
    Binding& Add(String* name, Ns* ns);
    void Trace(Tracer& t) const;
};

// Dynamic properties in insertion order; deleted entries stay as holes
// until the table compacts.
class PropMap {
public:
    Value* Find(String* key);
    void Set(String* key, Value v);
    bool Remove(String* key);
    size_t Count() const { return index_.size(); }
    // Enumeration by position: 0 past the end.
    size_t Next(size_t pos) const;
    String* KeyAt(size_t pos) const { return entries_[pos - 1].key; }
    Value ValueAt(size_t pos) const { return entries_[pos - 1].value; }
    bool DontEnum(String* key) const;
    void SetDontEnum(String* key, bool on);
    void Trace(Tracer& t) const;

private:
    struct Entry {
        String* key;
        Value value;
        bool dontEnum;
    };
    std::vector<Entry> entries_;
    std::unordered_map<String*, size_t> index_;
};

enum class ObjKind : uint8_t {
    Plain, Function, Class, Array, Vector, Error, Date, RegExp, Namespace, QName, Xml, XmlList,
    ByteArray, Dictionary, Proxy, Activation, Global, Catch, Boxed, Display
};

class Object : public Cell {
public:
    Object(ObjKind k, ClassObject* cls, Object* proto) : kind(k), cls(cls), proto(proto) {}
    ObjKind kind;
    ClassObject* cls;
    Object* proto;
    const Traits* traits = nullptr;
    std::vector<Value> slots;
    PropMap* dyn = nullptr;  // null until a dynamic property is set
    ~Object() override { delete dyn; }

    bool IsDynamic() const { return !traits || !traits->sealed; }
    PropMap& Dyn() {
        if (!dyn) dyn = new PropMap();
        return *dyn;
    }

    // Index and name hooks of native kinds (arrays, vectors, dictionaries,
    // proxies, XML): true when handled.
    virtual bool GetIndexed(Machine&, const Value& key, Value& out) { (void)key, (void)out; return false; }
    virtual bool SetIndexed(Machine&, const Value& key, const Value& v) { (void)key, (void)v; return false; }
    virtual bool DeleteIndexed(Machine&, const Value& key, bool& result) { (void)key, (void)result; return false; }
    virtual bool HasIndexed(Machine&, const Value& key, bool& result) { (void)key, (void)result; return false; }
    // Enumeration over indexed entries first (1-based positions), then the
    // dynamic table. Kinds with their own entries override all three.
    virtual int NextIndex(Machine&, int pos);
    virtual Value NameAt(Machine&, int pos);
    virtual Value ValueAt(Machine&, int pos);
    void Trace(Tracer& t) override;
};

// A scope chain node captured by closures and classes.
struct Scope : Cell {
    Scope* parent = nullptr;
    Value value;
    bool with = false;
    void Trace(Tracer& t) override;
};

class FunctionObject : public Object {
public:
    FunctionObject(ClassObject* cls, Object* proto) : Object(ObjKind::Function, cls, proto) {}
    Method* method = nullptr;
    Scope* scope = nullptr;
    Value boundThis;  // method closures
    bool bound = false;
    ClassObject* declarer = nullptr;
    Object* prototypeObj = nullptr;  // `prototype` of a constructor function
    void Trace(Tracer& t) override;
};

// How instances of a class come to be: the nearest native ancestor's maker.
using Allocator = Object* (*)(Machine& m, ClassObject* cls);

class ClassObject : public Object {
public:
    ClassObject(ClassObject* cls, Object* proto) : Object(ObjKind::Class, cls, proto) {}
    String* name = nullptr;  // local name
    Ns* ns = nullptr;
    ClassObject* base = nullptr;
    Traits* instanceTraits = nullptr;
    Object* prototype = nullptr;
    Method* init = nullptr;        // instance initialiser
    Scope* scope = nullptr;        // for methods of this class
    Allocator allocate = nullptr;
    NativeFn call = nullptr;       // Class(x) as a function (conversion)
    bool isInterface = false;
    bool isFinal = false;
    Ns* protectedNs = nullptr;
    std::vector<ClassObject*> interfaces;  // all, inherited ones too
    const AbcInstance* abcInstance = nullptr;
    const struct AbcModule* module = nullptr;
    ClassObject* vectorOf = nullptr;  // Vector.<T>: T (null for `*`)
    bool isVector = false;
    std::unordered_map<ClassObject*, ClassObject*> applied;  // Vector.<T> made from this
    std::string QualifiedName() const;
    std::string DottedName() const;  // "flash.geom.Rectangle"
    bool IsSubclassOf(const ClassObject* other) const;
    void Trace(Tracer& t) override;
};

}  // namespace swf::avm2
