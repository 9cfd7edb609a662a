// The ActionScript 3 machine: the heap, the loaded ABC modules and their
// scripts, the built-in classes, and the operations the interpreter and the
// native classes share (conversions, property access by multiname, calls,
// construction, errors). One machine per player.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/avm2/Heap.h"
#include "swf/avm2/Object.h"

namespace swf::avm2 {

// A multiname with its parts resolved to interned strings and namespaces.
struct MnInfo {
    MnKind kind = MnKind::QName;
    String* name = nullptr;  // null: runtime or any
    Ns* ns = nullptr;
    std::vector<Ns*>* set = nullptr;
    bool attribute = false;
    bool rtName = false, rtNs = false;
    uint32_t base = 0;  // TypeName
    std::vector<uint32_t> params;
};

// A script of a module: its global object, initialised on first use.
struct ScriptEntry {
    Object* global = nullptr;
    Method* init = nullptr;
    enum State : uint8_t { Fresh, Running, Done } state = Fresh;
    const AbcScript* abc = nullptr;
};

// One loaded ABC block, resolved against the machine.
struct AbcModule {
    std::shared_ptr<const AbcFile> abc;
    std::vector<String*> strings;
    std::vector<Ns*> namespaces;
    std::vector<std::vector<Ns*>> nsSets;
    std::vector<MnInfo> names;
    std::vector<Method*> methods;
    std::vector<ClassObject*> classes;  // by class index, once created
    std::vector<ScriptEntry> scripts;
};

// A script exception in flight through C++ frames; the value itself is
// held by the machine (rooted) until a handler takes it.
struct ScriptThrow {};
// The script ran too long or too deep: unwinds everything, uncatchable.
struct ScriptAbort {
    std::string why;
};

// Reference error ids and their texts.
enum ErrorId : int {
    kErrCallOfNonFunction = 1006,
    kErrConstructOfNonFunction = 1007,
    kErrNullObject = 1009,
    kErrUndefinedTerm = 1010,
    kErrVerifyIllegalOpcode = 1011,
    kErrRangeArray = 1005,
    kErrStackOverflow = 1023,
    kErrConvertNull = 1034,
    kErrNotConstructor = 1115,
    kErrPropertyNotFound = 1069,
    kErrReadSealed = 1069,
    kErrReadSealedNs = 1081,
    kErrWriteSealed = 1056,
    kErrIllegalWrite = 1059,
    kErrConstWrite = 1074,
    kErrReadOnly = 1074,
    kErrWriteOnly = 1077,
    kErrArgCount = 1063,
    kErrUndefinedVar = 1065,
    kErrClassNotFound = 1014,
    kErrCantUseInstanceof = 1040,
    kErrInvalidRange = 1125,
};

struct Limits {
    int maxCallDepth = 256;
    uint64_t maxSteps = 400u * 1000 * 1000;  // per entry from the host
    size_t maxHeapBytes = size_t(512) << 20;
};

class Machine {
public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    Heap heap;
    Limits limits;
    std::function<void(const std::string&)> trace;
    std::function<void(const std::string&)> report;  // uncaught errors, load problems
    // The player also prints an uncaught error among the traces: its stack
    // trace (an error) or its text.
    std::function<void(const std::string&)> traceUncaught;
    int swfVersion = 10;
    // Mouse.hide() and Mouse.cursor, for the host's cursor over the stage.
    bool mouseHidden = false;
    std::string mouseCursor = "auto";
    std::chrono::steady_clock::time_point startTime = std::chrono::steady_clock::now();

    // Loading and running from the host.
    // Reads and resolves an ABC block; when `run` its last script runs now.
    bool LoadAbc(const uint8_t* data, size_t size, bool run, std::string* error);
    // The class named `qualified` ("pkg.Name" or "Name"), or null.
    ClassObject* FindClass(const std::string& qualified);
    // Constructs `cls` with no arguments from the host; errors are reported.
    Value ConstructFromHost(ClassObject* cls);
    // Runs `fn` as an entry from the host: limits reset, errors reported.
    bool Entry(const std::function<void()>& fn);
    // Tells of a value thrown that no handler caught.
    void Uncaught(const Value& e);

    // Strings and names.
    String* Str(const std::string& text) { return heap.NewString(text); }
    String* Intern(const std::string& text) { return heap.Intern(text); }
    String* Intern(String* s) { return heap.Intern(s); }
    Ns* GetNs(NsKind kind, String* uri);
    Ns* NewPrivateNs(String* uri);
    Ns* publicNs = nullptr;
    Ns* as3Ns = nullptr;
    Ns* proxyNs = nullptr;
    std::vector<Ns*> publicSet;  // {public}
    Name PublicName(String* name) const;
    Name PublicName(const std::string& text) { return PublicName(Intern(text)); }

    // Conversions.
    double ToNumber(const Value& v);
    int32_t ToInt32(const Value& v);
    uint32_t ToUint32(const Value& v);
    bool ToBoolean(const Value& v) const;
    String* ToString(const Value& v);
    std::string ToStdString(const Value& v) { return ToString(v)->text; }
    Value ToPrimitive(const Value& v, bool hintString);
    Object* ToObject(const Value& v);  // TypeError on null/undefined
    String* TypeOf(const Value& v);
    String* NumberToString(double d);
    bool StrictEquals(const Value& a, const Value& b);
    bool LooseEquals(const Value& a, const Value& b);
    // a < b: 1 true, 0 false, -1 undefined (NaN)
    int LessThan(const Value& a, const Value& b);
    Value Add(const Value& a, const Value& b);
    // Coerces to a class type (null: any); throws TypeError #1034.
    Value Coerce(const Value& v, ClassObject* type);
    bool IsType(const Value& v, ClassObject* type);
    Value CoerceSlot(SlotInfo& si, const Value& v);
    ClassObject* ClassOf(const Value& v);
    Object* ProtoOf(const Value& v);

    // Properties.
    Value GetProperty(const Value& obj, const Name& n);
    void SetProperty(const Value& obj, const Name& n, const Value& v, bool init = false);
    bool DeleteProperty(const Value& obj, const Name& n);
    bool HasProperty(const Value& obj, const Name& n);
    Value CallProperty(const Value& obj, const Name& n, Args args, int argc, bool lex = false);
    Value ConstructProperty(const Value& obj, const Name& n, Args args, int argc);
    Value GetSuper(const Value& obj, ClassObject* declarer, const Name& n);
    void SetSuper(const Value& obj, ClassObject* declarer, const Name& n, const Value& v);
    Value CallSuper(const Value& obj, ClassObject* declarer, const Name& n, Args args, int argc);
    bool HasOwnProperty(const Value& obj, String* name);
    Value GetPublic(const Value& obj, const char* name) { return GetProperty(obj, PublicName(name)); }
    void SetPublic(const Value& obj, const char* name, const Value& v) { SetProperty(obj, PublicName(name), v); }
    // Slot access by 1-based slot id.
    Value GetSlot(const Value& obj, uint32_t id);
    void SetSlot(const Value& obj, uint32_t id, const Value& v);
    // Name of a key given to obj[key]: array indices stay numbers.
    bool IsIndexKey(const Value& key, uint32_t* index);

    // Calls.
    Value Call(const Value& fn, const Value& self, Args args, int argc);
    Value Construct(const Value& cls, Args args, int argc);
    Value Invoke(Method* m, ClassObject* declarer, Scope* scope, const Value& self, Args args, int argc,
                 FunctionObject* callee = nullptr);
    FunctionObject* MakeClosure(Method* m, Scope* scope, ClassObject* declarer);
    FunctionObject* BindMethod(const VEntry& e, const Value& self);
    FunctionObject* NativeFunction(const std::string& name, NativeFn fn, int length);
    int callDepth = 0;
    // Methods running now, innermost last, for stack traces.
    std::vector<const Method*> frames;
    // "\tat Test/f()" lines for the running methods, innermost first.
    std::string StackTrace();
    // How stack traces and verify errors name a method ("Test/f").
    std::string MethodTraceName(const Method* me);
    // Registers, operand stacks and scopes of running frames; never
    // reallocated, so frames keep pointers into it.
    std::vector<Value> valueStack;
    size_t valueTop = 0;
    uint64_t steps = 0;

    // Errors: throw an instance of `cls` with "Error #id: text".
    [[noreturn]] void Throw(ClassObject* cls, int id, const std::string& text);
    // Throw as the player's own script does, through Error.throwError: its
    // stack trace shows that call on top.
    [[noreturn]] void ThrowThroughError(ClassObject* cls, int id, const std::string& text);
    bool throwingThroughError = false;
    [[noreturn]] void ThrowValue(const Value& v);
    [[noreturn]] void TypeError(int id, const std::string& text) { Throw(typeErrorClass, id, text); }
    [[noreturn]] void ReferenceError(int id, const std::string& text) { Throw(referenceErrorClass, id, text); }
    [[noreturn]] void RangeError(int id, const std::string& text) { Throw(rangeErrorClass, id, text); }
    [[noreturn]] void ArgumentError(int id, const std::string& text) { Throw(argumentErrorClass, id, text); }
    [[noreturn]] void NullError(const Value& v);  // #1009 or #1010
    // #1034: `v` cannot be a `typeName` ("flash.geom.Rectangle").
    [[noreturn]] void CoercionFailed(const Value& v, const std::string& typeName);
    Value thrown;  // the value of the ScriptThrow in flight
    std::string Describe(const Value& v);  // for error texts: "[object Foo]" style
    std::string TypeName(const Value& v);  // "Foo", "int", "null"...

    // Objects.
    template <typename T, typename... A>
    T* New(A&&... a) {
        return heap.Alloc<T>(std::forward<A>(a)...);
    }
    Object* NewObject();  // a plain Object
    class ArrayObject* NewArray(size_t length = 0);
    Object* Instantiate(ClassObject* cls);  // allocated and slots set, not constructed
    void InitSlots(Object* o, const Traits* t);

    // Built-in classes.
    ClassObject* objectClass = nullptr;
    ClassObject* classClass = nullptr;
    ClassObject* functionClass = nullptr;
    ClassObject* arrayClass = nullptr;
    ClassObject* stringClass = nullptr;
    ClassObject* numberClass = nullptr;
    ClassObject* intClass = nullptr;
    ClassObject* uintClass = nullptr;
    ClassObject* booleanClass = nullptr;
    ClassObject* namespaceClass = nullptr;
    ClassObject* qnameClass = nullptr;
    ClassObject* errorClass = nullptr;
    ClassObject* typeErrorClass = nullptr;
    ClassObject* referenceErrorClass = nullptr;
    ClassObject* rangeErrorClass = nullptr;
    ClassObject* argumentErrorClass = nullptr;
    ClassObject* verifyErrorClass = nullptr;
    ClassObject* evalErrorClass = nullptr;
    ClassObject* syntaxErrorClass = nullptr;
    ClassObject* uriErrorClass = nullptr;
    ClassObject* securityErrorClass = nullptr;
    ClassObject* definitionErrorClass = nullptr;
    ClassObject* uninitializedErrorClass = nullptr;
    ClassObject* vectorClass = nullptr;
    ClassObject* dateClass = nullptr;
    ClassObject* regexpClass = nullptr;
    ClassObject* xmlClass = nullptr;
    ClassObject* xmlListClass = nullptr;
    ClassObject* byteArrayClass = nullptr;
    ClassObject* dictionaryClass = nullptr;
    ClassObject* proxyClass = nullptr;
    ClassObject* eventClass = nullptr;
    class DisplayHost* display = nullptr;  // the player's, while one plays
    Object* builtinGlobal = nullptr;  // holds the built-in definitions

    // Defining built-ins (classes/*.cpp).
    ClassObject* DefineClass(const std::string& pkg, const std::string& name, ClassObject* base,
                             Allocator alloc, bool sealed = false);
    void DefineMethod(ClassObject* c, const std::string& name, NativeFn fn, int length);
    void DefineStatic(ClassObject* c, const std::string& name, NativeFn fn, int length);
    void DefineGetter(ClassObject* c, const std::string& name, NativeFn get, NativeFn set = nullptr);
    void DefineStaticGetter(ClassObject* c, const std::string& name, NativeFn get, NativeFn set = nullptr);
    void DefineConstant(ClassObject* c, const std::string& name, const Value& v);
    void DefineGlobalFunction(const std::string& pkg, const std::string& name, NativeFn fn, int length);
    void DefineGlobalValue(const std::string& name, const Value& v, const std::string& pkg = "");

    // Definitions visible to all scripts, by local name, then namespace.
    struct Definition {
        Object* global = nullptr;  // holder of the value (a script global or builtinGlobal)
        ScriptEntry* script = nullptr;
    };
    std::unordered_map<String*, std::vector<std::pair<Ns*, Definition>>> definitions;
    // The global object whose traits define `n`, running its script first.
    Object* FindDefinition(const Name& n);
    Value GetDefinition(const Name& n);  // ReferenceError #1065 if missing
    void RunScript(ScriptEntry& s);

    // Modules and their methods' resolution.
    std::vector<std::unique_ptr<AbcModule>> modules;
    std::vector<std::unique_ptr<Method>> methodStore;
    std::vector<std::unique_ptr<Traits>> traitsStore;
    Traits* NewTraits(Traits* base);
    Method* NewNativeMethod(const std::string& name, NativeFn fn, int length);
    ClassObject* ResolveType(const AbcModule& mod, uint32_t mn);  // null for `*`
    bool LateImplements(ClassObject* c, ClassObject* iface, int depth);
    ClassObject* CreateClass(AbcModule& mod, uint32_t index, ClassObject* base, Scope* scope);
    void AddTraits(AbcModule& mod, Traits* t, const std::vector<AbcTrait>& traits, ClassObject* declarer,
                   Object* holder, Scope* scope);
    Value ConstantValue(const AbcModule& mod, const AbcConstant& c);
    ClassObject* ApplyType(ClassObject* base, const std::vector<Value>& params);

    // Collection: roots are the definitions, modules and the live frames.
    std::vector<Value> tempRoots;
    std::vector<Value> hostRoots;  // held by the host (the main timeline's object)
    Object* dataState = nullptr;  // the data classes' own state (class aliases, timers)
    // Display objects listening to the frame's broadcasts (enterFrame and
    // such): per type, in the order they began to.
    struct BroadcastTarget {
        String* type;
        Value target;
    };
    std::vector<BroadcastTarget> enterFrameTargets;
    std::vector<ClassObject*> builtinClasses;
    void Collect();
    void MaybeCollect();

private:
    std::map<std::pair<int, String*>, Ns*> nsTable_;
    std::vector<std::unique_ptr<Ns>> nsStore_;
    void TraceRoots(Tracer& t);
    void InstallBuiltins();
};

// Keeps values alive across calls back into scripts from native code.
class TempRoot {
public:
    TempRoot(Machine& m, const Value& v) : m_(m) { m_.tempRoots.push_back(v); }
    ~TempRoot() { m_.tempRoots.pop_back(); }

private:
    Machine& m_;
};

}  // namespace swf::avm2
