// The AVM1 machine of one movie: heap, globals, built-ins, timers and the
// interpreter loop over decoded programs (Program.h).
//
// Running rules:
//  1. Each script call runs in a frame with its own registers, scope chain,
//     `this`, target clip and constant pool; the value stack is shared and
//     a frame never pops below its own base (it gets undefined instead).
//  2. Limits: an instruction budget per host call stands for the player's
//     script timeout; calls nest at most kMaxDepth deep; scope chains and
//     the stack are bounded. Hitting one stops the running call chain (a
//     ScriptAbort unwinds to RunBlock) and is listed in Errors(); the
//     movie goes on, its calls from then on with a smaller budget.
//  3. Names are case-insensitive for SWF 6 and earlier; undefined becomes
//     "" as a string before SWF 7 and "undefined" from 7 on.
//  4. Collections happen only at the top of the interpreter loop while no
//     native is running (pins_ == 0), so every live value is a root then.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/avm1/Host.h"
#include "swf/avm1/Object.h"
#include "swf/avm1/Program.h"

namespace swf::avm1 {

// Thrown to stop the running call chain (budget, depth); scripts cannot
// catch it.
struct ScriptAbort {
    std::string why;
};
// A value thrown by a script (Throw), caught by Try.
struct ScriptThrow {
    Value value;
};
struct RuntimeState;

class Vm {
public:
    static constexpr int kMaxDepth = 256;
    static constexpr size_t kMaxScope = 64;
    static constexpr size_t kMaxStack = 1 << 16;
    static constexpr size_t kMaxShared = 1 << 10;  // values one block may leave to the next
    static constexpr size_t kDefaultBudget = 1 << 24;
    static constexpr size_t kRunawayBudget = 1 << 18;
    // A goto's cost besides its frames, in instructions.
    static constexpr size_t kGotoCost = 16;
    static constexpr size_t kMaxRegisters = 256;
    static constexpr size_t kMaxTimers = 1024;
    // Array methods visit at most this many elements: a length of 2^31
    // must not make a loop of 2^31 steps.
    static constexpr int32_t kMaxArrayWalk = 1 << 20;

    Vm(Host& host, int swfVersion);
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    // Every entry from the host starts with a fresh instruction budget.
    void BeginHostCall() { budget_ = budgetPerCall_; }
    void SetBudget(size_t instructions) { budgetPerCall_ = budget_ = instructions; }
    // The movie's own limit on nested calls, the timeline's code counted;
    // never above kMaxDepth.
    void SetMaxDepth(int frames) { maxDepth_ = frames > 0 && frames < kMaxDepth ? frames : kMaxDepth; }
    // Work one instruction asked of the player (a goto's frames): taken
    // from the budget so that a loop over it stops as soon as plain code would.
    void Charge(size_t instructions) { budget_ -= std::min(instructions, budget_); }
    // Every script goto: the host's, charged for the frames it walks.
    void Goto(ClipId clip, int frame, bool play);
    // Runs one action block with `clip` as this and target. Blocks the
    // player runs share one stack: what one leaves, the next can pop,
    // until EndActionPass.
    void RunBlock(const ActionBlock& block, ClipId clip);
    void RunProgram(std::shared_ptr<const Program> program, ClipId clip);
    // Fires the intervals and timeouts due at the host's clock.
    void RunTimers();
    void ClipRemoved(ClipId clip);
    // Drops the objects of clips that are gone (hosts that do not report
    // each removal call this after running actions).
    void ForgetClips(const std::function<bool(ClipId)>& alive);
    // Drops the programs decoded from action blocks: call before the
    // blocks' memory is freed (a movie unloaded from a clip).
    void ForgetPrograms() { programs_.clear(); }
    void EndActionPass() {
        if (frames_.empty()) stack_.clear();
    }
    const std::vector<std::string>& Errors() const { return errors_; }
    size_t LiveObjects() const { return heap_.Live(); }
    void Collect();
    // Collects once enough was allocated, unless a script or native is
    // running. Handlers run pinned, so hosts call this between their calls.
    void CollectIfDue() {
        if (pins_ == 0 && frames_.empty() && heap_.WantsCollect()) Collect();
    }

    int Version() const { return version_; }
    bool Ci() const { return version_ <= 6; }
    Host& HostRef() { return host_; }
    // Keys, pointer visibility: what the player feeds in (Runtime.h).
    RuntimeState& Runtime() { return *runtime_; }
    Heap& HeapRef() { return heap_; }

    // Built-ins and natives use these.
    Object* global = nullptr;
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* dateProto = nullptr;
    Object* clipProto = nullptr;
    Object* buttonProto = nullptr;     // Button.prototype
    Object* textFieldProto = nullptr;  // TextField.prototype
    Object* errorProto = nullptr;
    // The wrapper classes as installed, for ToObject's quick path.
    Object* numberCtor = nullptr;
    Object* stringCtor = nullptr;
    Object* booleanCtor = nullptr;

    // The built-ins above as one family of movie versions sees them:
    // movies of SWF 7 and later have one _global with its classes, older
    // movies another, so movies of both families loaded together do not
    // share prototypes. Code runs with its movie's family (Execute); a
    // family's set is built when first needed.
    struct Realm {
        Object *global = nullptr, *objectProto = nullptr, *functionProto = nullptr, *arrayProto = nullptr,
               *stringProto = nullptr, *numberProto = nullptr, *booleanProto = nullptr, *dateProto = nullptr,
               *clipProto = nullptr, *buttonProto = nullptr, *textFieldProto = nullptr, *errorProto = nullptr,
               *numberCtor = nullptr, *stringCtor = nullptr, *booleanCtor = nullptr;
    };
    static int FamilyOf(int version) { return version >= 7 ? 1 : 0; }
    // The player's classes (MovieClip, TextField, ...), installed with the
    // language's own in every family's set; runs at once on the current one.
    void SetClassInstaller(std::function<void(Vm&)> install);
    // The set of the family of `version`, built when missing.
    const Realm& RealmFor(int version);
    // Every family's _global built so far (broadcasts reach them all).
    std::vector<Object*> Globals() const;

    Object* NewObject(Object* proto = nullptr);
    Object* NewArray(std::vector<Value> elems = {});
    // An array's elements 0..length-1 as stored (holes and getters read as
    // undefined), for natives that take a list; at most kMaxArrayWalk.
    std::vector<Value> ArrayValues(Object* array);
    // Makes the array hold exactly `values`, element by element in place.
    void SetArrayValues(Object* array, std::vector<Value> values);
    void ArrayPush(Object* array, const Value& v);
    Object* NewNative(NativeFn fn, int magic = 0);
    Object* NewScriptFunction(std::shared_ptr<const Program> prog, uint32_t def, std::vector<Object*> scope,
                              std::shared_ptr<const std::vector<Value>> pool, Value target);
    void DefineNative(Object* on, const std::string& name, NativeFn fn, int magic = 0);
    // A hidden getter/setter pair, as addProperty makes; either may be null
    // (a missing setter ignores writes). On a prototype it serves every
    // object inheriting from it, with `this` the object read.
    void DefineAccessor(Object* on, const std::string& name, NativeFn get, NativeFn set, int magic = 0);
    // A constructor with its prototype, both hidden properties of _global.
    Object* DefineClass(const std::string& name, NativeFn ctor, Object* proto);
    // The same inside a package object (flash.geom.Point): `magic` goes to
    // the constructor.
    Object* DefineClassIn(Object* package, const std::string& name, NativeFn ctor, Object* proto,
                          int magic = 0);
    // _global.flash.<name>, made (hidden) on first use.
    Object* FlashPackage(const std::string& name);
    void SetHidden(Object* on, const std::string& name, const Value& v);

    // Conversions (Convert.cpp).
    double ToNumber(const Value& v);
    Str ToStr(const Value& v);
    std::string ToString(const Value& v) { return *ToStr(v); }
    bool ToBool(const Value& v);
    Value ToPrimitive(const Value& v, bool hintString = false);
    // As + and == convert: a Date by toString from SWF 6 on.
    Value ToPrimitiveDefault(const Value& v);
    // The object to look members up on: wrappers get their prototype.
    Object* ToObject(const Value& v);
    // A boolean, number or string as an object, made by whatever
    // _global.Boolean, Number or String is now (getters run, __resolve
    // does not). Gives the primitive itself while that is still the
    // built-in class and `always` is false (members then come from its
    // prototype), undefined when no object can be made.
    Value WrapPrimitive(const Value& v, bool always = false);
    // `this` for Function.call and apply: null and undefined are _global,
    // primitives their wrapper (or _global when none can be made).
    Value ThisFor(const Value& v);
    std::string TypeOf(const Value& v);
    bool LooseEquals(const Value& a, const Value& b);
    bool StrictEquals(const Value& a, const Value& b);
    // Less-than for Less2: undefined when either side is NaN.
    Value Compare(const Value& a, const Value& b);

    // Members, through prototypes, getters/setters, watchers and clips.
    Value GetMember(const Value& obj, const std::string& name);
    void SetMember(const Value& obj, const std::string& name, const Value& v);
    Value Get(Object* o, const std::string& name, const Value& self);
    void Put(Object* o, const std::string& name, const Value& v);
    bool HasProperty(Object* o, const std::string& name);
    bool DeleteMember(Object* o, const std::string& name);
    // Array length writes: elements at or past a smaller length go.
    void SetArrayLength(Object* array, int32_t length);
    // Enumerable names, own first then along the prototype chain.
    std::vector<std::string> EnumNames(Object* o);
    // SWF 4's rules: booleans read as 1 and 0, division by zero as #ERROR#.
    bool Swf4Code() const;

    // An event from the host (no script running): calls self[name](args)
    // when it is a function.
    // Script errors and aborts are reported, not thrown. False when there
    // was no such function.
    bool CallHandler(const Value& self, const std::string& name, const std::vector<Value>& args = {});
    // The same for a function value.
    bool CallFromHost(const Value& fn, const Value& self, const std::vector<Value>& args = {});
    // A call the player makes in the middle of a script (a new clip's
    // onConstruct): what it throws is the player's uncaught-exception line
    // and goes no further; the calling script goes on.
    void CallApart(const Value& fn, const Value& self);
    // Calls: `fn` must be a function object, else undefined results.
    Value Call(const Value& fn, const Value& self, const std::vector<Value>& args);
    Value CallMethod(const Value& obj, const std::string& name, const std::vector<Value>& args);
    Value Construct(const Value& ctor, const std::vector<Value>& args);
    // A native constructor that cannot make its object: `new` gives
    // undefined.
    void RefuseConstruction() { refused_ = true; }
    bool IsFunction(const Value& v) const { return v.IsObject() && v.o->fn; }
    bool InstanceOf(const Value& v, Object* ctor);
    Value StoredPrototype(Object* ctor);

    // Clips (and buttons and text fields: Host.h). The object of an id is
    // made on first use with the prototype of its kind.
    Object* ClipObject(ClipId clip);
    // Whether scripts have touched the object (it has a script object yet).
    bool HasClipObject(ClipId clip) const { return clipObjects_.count(clip) != 0; }
    Value ClipValue(ClipId clip);
    ClipId ClipOf(const Value& v);  // 0 when v is no live clip
    // Resolves a target path ("/a/b", "_root.a", "../b", "_level1") from `from`.
    ClipId ResolvePath(ClipId from, const std::string& path);
    // A path a script gives (tellTarget, getProperty, "a/b:c"): SWF 4 code
    // reads it by that version's rules.
    ClipId ResolveTarget(ClipId from, const std::string& path);
    // What _root means from `clip`: the nearest clip up from it whose
    // _lockroot is true, else level 0.
    ClipId RootOf(ClipId clip);
    // A goto to a frame given as a value: a 1-based number, a label or
    // "path:frame"; `bias` is added to the frame found.
    void GotoFrameValue(ClipId clip, const Value& frame, bool play, int bias);
    void Report(const std::string& message);
    // Seeded once per movie, so captures come out the same on every run.
    double Random();

    // Timers (setInterval / setTimeout), driven by Host::Now.
    int AddTimer(const Value& fn, const Value& self, const std::string& method, double ms,
                 std::vector<Value> args, bool repeat);
    void ClearTimer(int id);

    // A running call and its Try blocks (Frame.h).
    struct Frame;
    struct Handler;

private:
    struct Timer {
        int id;
        Value fn, self;
        std::string method;
        double interval, due;
        std::vector<Value> args;
        bool repeat;
    };
    friend struct PinGuard;

    // Interpreter.cpp
    void StartTopFrame(Frame& f, std::shared_ptr<const Program> program, ClipId clip);
    Value Execute(Frame& f);
    bool Step(Frame& f, const Instr& in);
    void ReplaceLostTarget(Frame& f);
    void Push(Value v);
    Value Pop(Frame& f);
    void Tick();
    bool Unwind(Frame& f, const ScriptThrow& t);
    // OpsValues.cpp
    bool StepValues(Frame& f, const Instr& in);
    // OpsNames.cpp
    bool StepNames(Frame& f, const Instr& in);
    Value GetVariable(Frame& f, const std::string& name);
    Value GetPathVariable(Frame& f, const std::string& name);
    void SetVariable(Frame& f, const std::string& name, const Value& v);
    Object* FindScope(Frame& f, const std::string& name);
    bool DeleteVariable(Frame& f, const std::string& name);
    bool SplitPath(Frame& f, const std::string& name, Value& base, std::string& member);
    // OpsCalls.cpp
    bool StepCalls(Frame& f, const Instr& in);
    Value Invoke(Object* fn, const Value& self, const std::vector<Value>& args, bool construct);
    Value RunScript(Object* fn, const Value& self, const std::vector<Value>& args, bool construct);
    std::vector<Value> PopArgs(Frame& f);
    Object* MakeSuper(Frame& f);
    void HaltIfHomeGone(Frame& f);
    Value* Register(Frame& f, size_t index);
    Object* HolderOf(const Value& obj, const std::string& name);
    // OpsTimeline.cpp
    bool StepTimeline(Frame& f, const Instr& in);
    // Members.cpp: a miss handed to __resolve.
    Value Resolve(Object* o, const std::string& name, const Value& self);
    void PutPlain(Object* o, const std::string& name, const Value& v);
    // A property's value, through its getter within the nesting limit.
    Value ReadProperty(Object* holder, const Property& prop, const std::string& name, const Value& self);
    // Clips.cpp
    bool ClipGet(Object* clip, const std::string& name, Value& out);
    bool ClipSet(Object* clip, const std::string& name, const Value& v);
    ClipId ResolveSwf4Path(ClipId from, const std::string& path);
    void MarkRoots();

    // Realms.cpp
    void InstallBuiltins();
    Realm SaveRealm() const;
    void LoadRealm(const Realm& r);
    // Makes a family's set current, built when missing.
    void UseFamily(int family);

    Host& host_;
    int version_;
    Realm realms_[2];
    bool built_[2] = {false, false};
    int family_ = 0;
    std::function<void(Vm&)> installClasses_;
    std::unique_ptr<RuntimeState> runtime_;
    Heap heap_;
    std::vector<Value> stack_;
    bool refused_ = false;
    std::vector<Frame*> frames_;
    int depth_ = 0;
    int maxDepth_ = kMaxDepth;
    Object* callHome_ = nullptr;  // where CallMethod found the function it calls next
    bool swf5Call_ = false;        // the next script call runs by SWF 5's rules
    int FunctionVersion(Object* fn);
    // Getters, setters and watchers running per property (holder and
    // name): past a few levels the property reads and writes its plain value.
    std::map<std::pair<const Object*, std::string>, int> accessing_;
    friend class AccessGuard;
    int pins_ = 0;
    size_t budget_ = kDefaultBudget;
    size_t budgetPerCall_ = kDefaultBudget;
    std::unordered_map<ClipId, Object*> clipObjects_;
    // ClipValue's paths, and what each found at tree version `at`: values
    // of the same clip share one path string.
    struct ClipRef {
        Str path;
        ClipId found = 0;
        uint32_t at = 0;
    };
    static constexpr size_t kMaxClipRefs = 4096;
    std::unordered_map<ClipId, ClipRef> clipRefs_;
    std::map<const ActionBlock*, std::shared_ptr<const Program>> programs_;
    std::vector<Timer> timers_;
    int nextTimer_ = 1;
    std::vector<std::string> errors_;
    uint64_t rng_ = 0x9E3779B97F4A7C15ull;
};

// Natives that call back into scripts hold their values in C++ locals; a
// pin keeps the collector away meanwhile.
struct PinGuard {
    explicit PinGuard(Vm& vm) : vm_(vm) { ++vm_.pins_; }
    ~PinGuard() { --vm_.pins_; }
    PinGuard(const PinGuard&) = delete;
    PinGuard& operator=(const PinGuard&) = delete;
    Vm& vm_;
};

// Built-ins, one installer per file.
void InstallObjectAndFunction(Vm& vm);
void InstallArray(Vm& vm);
void InstallString(Vm& vm);
void InstallNumberBooleanMath(Vm& vm);
void InstallDate(Vm& vm);
void InstallGlobals(Vm& vm);
// ASnative(table, index): the built-in that number stands for, or undefined.
Value NativeByNumber(Vm& vm, int table, int index);
// ASSetNative and ASSetNativeAccessor on _global.
void InstallNativeSetters(Vm& vm);

}  // namespace swf::avm1
