// The interpreter loop: control flow (Jump, If, With, Try, Throw), the
// stack, registers and constant pools; other ops go to the Ops*.cpp files
// by concern.
#include <algorithm>

#include "swf/model/Movie.h"
#include "swf/avm1/FilterClasses.h"
#include "swf/avm1/Frame.h"
#include "swf/avm1/Runtime.h"

namespace swf::avm1 {

namespace {

constexpr size_t kGlobalRegisters = 4;

struct FrameStack {
    FrameStack(std::vector<Vm::Frame*>& frames, Vm::Frame* f) : frames_(frames) { frames_.push_back(f); }
    ~FrameStack() { frames_.pop_back(); }
    std::vector<Vm::Frame*>& frames_;
};

}  // namespace

Vm::Vm(Host& host, int swfVersion)
    : host_(host), version_(swfVersion), family_(FamilyOf(swfVersion)), runtime_(std::make_unique<RuntimeState>()) {
    InstallBuiltins();
    built_[family_] = true;
}

Vm::~Vm() = default;

void Vm::Report(const std::string& message) {
    constexpr size_t kMaxErrors = 64;  // a looping movie must not fill memory
    // A problem met every frame is listed once, so it leaves room for others.
    if (errors_.size() < kMaxErrors && std::find(errors_.begin(), errors_.end(), message) == errors_.end())
        errors_.push_back(message);
}

void Vm::RunBlock(const ActionBlock& block, ClipId clip) {
    auto it = programs_.find(&block);
    if (it == programs_.end()) {
        std::vector<uint8_t> bytes;
        for (const ActionRecord& r : block.records) {
            bytes.push_back(r.code);
            if (r.code & 0x80) {
                bytes.push_back(static_cast<uint8_t>(r.payload.size()));
                bytes.push_back(static_cast<uint8_t>(r.payload.size() >> 8));
                bytes.insert(bytes.end(), r.payload.begin(), r.payload.end());
            }
        }
        std::vector<std::string> errors;
        auto prog = std::make_shared<const Program>(Decode(bytes.data(), bytes.size(), &errors));
        for (const std::string& e : errors) Report(e);
        it = programs_.emplace(&block, std::move(prog)).first;
    }
    RunProgram(it->second, clip);
}

// Registers past a function's own are those of the timeline code it was
// called from.
Value* Vm::Register(Frame& f, size_t index) {
    if (index < f.regs.size()) return &f.regs[index];
    for (size_t i = frames_.size(); i-- > 0;)
        if (!frames_[i]->callee) return index < frames_[i]->regs.size() ? &frames_[i]->regs[index] : nullptr;
    return nullptr;
}

void Vm::StartTopFrame(Frame& f, std::shared_ptr<const Program> program, ClipId clip) {
    f.prog = std::move(program);
    f.end = static_cast<uint32_t>(f.prog->code.size());
    f.base = stack_.size();
    f.home = clip;
    f.homeInTree = f.home && host_.InTree(f.home);
    f.version = f.home ? host_.VersionOf(f.home) : 0;
    f.thisv = ClipValue(clip);
    f.target = f.thisv;
    f.scope.push_back(ClipObject(clip));
    f.regs.resize(kGlobalRegisters);
}

void Vm::RunProgram(std::shared_ptr<const Program> program, ClipId clip) {
    Frame f;
    const bool shared = frames_.empty();
    StartTopFrame(f, std::move(program), clip);
    const size_t savedStack = stack_.size();
    if (shared) {
        f.base = 0;
        f.sharesStack = true;
    }
    try {
        Execute(f);
        if (shared) {
            if (stack_.size() > kMaxShared) stack_.resize(kMaxShared);
            depth_ = 0;
            return;
        }
    } catch (const ScriptAbort& a) {
        Report("script stopped: " + a.why);
    } catch (const ScriptThrow& t) {
        const std::string what = ToString(t.value);
        Report("script threw " + what + " and nothing caught it");
        host_.Trace("Warning: Uncaught exception, " + what);  // the player's own line among the traces
    }
    stack_.resize(savedStack);
    depth_ = 0;
}

void Vm::Push(Value v) {
    if (stack_.size() >= kMaxStack) throw ScriptAbort{"the stack overflowed"};
    stack_.push_back(std::move(v));
}

Value Vm::Pop(Frame& f) {
    if (stack_.size() <= f.base) return Value();
    Value v = std::move(stack_.back());
    stack_.pop_back();
    return v;
}

void Vm::Tick() {
    if (budget_ == 0) {
        // A movie that ran away once is likely to again each frame (a loop
        // in a frame script): its later calls get a small budget, so every
        // frame costs little instead of a full budget's worth.
        budgetPerCall_ = std::min(budgetPerCall_, kRunawayBudget);
        throw ScriptAbort{"ran past its instruction budget"};
    }
    --budget_;
    if (pins_ == 0 && heap_.WantsCollect()) Collect();
}

void Vm::Collect() {
    MarkRoots();
    heap_.Sweep();
}

void Vm::MarkRoots() {
    realms_[family_] = SaveRealm();
    for (const Realm& r : realms_)
        for (Object* o : {r.global, r.objectProto, r.functionProto, r.arrayProto, r.stringProto, r.numberProto,
                          r.booleanProto, r.dateProto, r.clipProto, r.errorProto, r.buttonProto, r.textFieldProto})
            heap_.Mark(o);
    for (const Value& v : stack_) heap_.Mark(v);
    for (Frame* f : frames_) {
        for (Object* o : f->scope) heap_.Mark(o);
        for (const Value& v : f->regs) heap_.Mark(v);
        for (Object* o : {f->activation, f->callee, f->arguments, f->super}) heap_.Mark(o);
        heap_.Mark(f->thisv);
        heap_.Mark(f->result);
        if (f->pool)
            for (const Value& v : *f->pool) heap_.Mark(v);
        for (const Handler& h : f->handlers) heap_.Mark(h.pendingValue);
    }
    for (const auto& c : clipObjects_) heap_.Mark(c.second);
    for (const Timer& t : timers_) {
        heap_.Mark(t.fn);
        heap_.Mark(t.self);
        for (const Value& v : t.args) heap_.Mark(v);
    }
}

// Leaving a With or Try body by a jump closes it.
static void LeaveBlocks(Vm::Frame& f, uint32_t pc) {
    while (!f.withs.empty() && (pc < f.withs.back().begin || pc >= f.withs.back().end)) {
        f.withs.pop_back();
        f.scope.pop_back();
    }
    while (!f.handlers.empty() && (pc < f.handlers.back().info->tryBegin || pc >= f.handlers.back().info->end))
        f.handlers.pop_back();
}

// A return inside try or catch runs the finally parts around it first;
// false when none is left and the call ends.
static bool ReturnThroughFinally(Vm::Frame& f) {
    while (!f.handlers.empty()) {
        Vm::Handler& h = f.handlers.back();
        if (h.part != Vm::Handler::Part::Finally && h.info->hasFinally) {
            h.part = Vm::Handler::Part::Finally;
            h.pending = false;
            h.pendingReturn = true;
            f.scope.resize(h.scopeSize);
            f.withs.resize(h.withCount);
            f.pc = h.info->finallyBegin;
            f.returned = false;
            return true;
        }
        f.handlers.pop_back();
    }
    return false;
}

// Reaching the end of a Try part goes on to the next part; the end of the
// finally rethrows a throw or goes on with a return that was waiting for it.
static bool HandlerBoundary(Vm::Frame& f) {
    Vm::Handler& h = f.handlers.back();
    const TryInfo& t = *h.info;
    using Part = Vm::Handler::Part;
    if (h.part == Part::Try && f.pc == t.catchBegin) {
        f.pc = t.finallyBegin;
        h.part = Part::Finally;
        return true;
    }
    if (h.part == Part::Catch && f.pc == t.finallyBegin) {
        h.part = Part::Finally;
        return true;
    }
    if (h.part == Part::Finally && f.pc == t.end) {
        Vm::Handler done = std::move(f.handlers.back());
        f.handlers.pop_back();
        if (done.pending) throw ScriptThrow{done.pendingValue};
        if (done.pendingReturn && !ReturnThroughFinally(f)) {
            f.returned = true;
            f.pc = f.end;
        }
        return true;
    }
    return false;
}

bool Vm::Unwind(Frame& f, const ScriptThrow& t) {
    while (!f.handlers.empty()) {
        Handler& h = f.handlers.back();
        const TryInfo& info = *h.info;
        f.scope.resize(h.scopeSize);
        f.withs.resize(h.withCount);
        if (h.part == Handler::Part::Try && info.hasCatch) {
            h.part = Handler::Part::Catch;
            f.pc = info.catchBegin;
            if (info.catchInRegister) {
                if (Value* r = Register(f, info.catchRegister)) *r = t.value;
            } else if (f.activation) {
                Put(f.activation, info.catchName, t.value);
            } else {
                SetVariable(f, info.catchName, t.value);
            }
            return true;
        }
        if (h.part != Handler::Part::Finally && info.hasFinally) {
            h.part = Handler::Part::Finally;
            h.pending = true;
            h.pendingValue = t.value;
            f.pc = info.finallyBegin;
            return true;
        }
        f.handlers.pop_back();
    }
    return false;
}

// Frame code whose target clip was removed acts on its own clip instead,
// and on the root once that is gone too.
void Vm::ReplaceLostTarget(Frame& f) {
    if (f.activation || !f.target.IsClip() || ClipOf(f.target)) return;
    const ClipId stand = f.home && host_.InTree(f.home) ? f.home : host_.Level(0);
    if (!stand) return;
    f.target = ClipValue(stand);
    if (!f.scope.empty()) f.scope[0] = ClipObject(stand);
}

Value Vm::Execute(Frame& f) {
    FrameStack onStack(frames_, &f);
    // Code runs by the rules of the movie it came from, which a loaded
    // movie of another version keeps.
    struct VersionScope {
        Vm& vm;
        const int saved;
        const int savedFamily;
        ~VersionScope() {
            vm.version_ = saved;
            vm.UseFamily(savedFamily);
        }
    } versionScope{*this, version_, family_};
    if (f.version) {
        version_ = f.version;
        UseFamily(FamilyOf(f.version));
    }
    const std::vector<Instr>& code = f.prog->code;
    for (;;) {
        try {
            while (!f.withs.empty() && f.pc == f.withs.back().end) {
                f.withs.pop_back();
                f.scope.pop_back();
            }
            if (!f.handlers.empty() && HandlerBoundary(f)) continue;
            if (f.pc >= f.end || f.pc >= code.size()) break;
            Tick();
            const Instr& in = code[f.pc++];
            if (!Step(f, in) && !(f.returned && ReturnThroughFinally(f))) break;
        } catch (const ScriptThrow& t) {
            if (!Unwind(f, t)) throw;
        }
    }
    if (!f.sharesStack && stack_.size() > f.base) stack_.resize(f.base);
    return f.result;
}

bool Vm::Step(Frame& f, const Instr& in) {
    switch (in.op) {
    case 0: return false;  // a record that could not be decoded
    case kOpJump:
        if (in.target == kBadTarget) return false;
        LeaveBlocks(f, in.target);
        f.pc = in.target;
        return true;
    case kOpIf:
        if (!ToBool(Pop(f))) return true;
        if (in.target == kBadTarget) return false;
        LeaveBlocks(f, in.target);
        f.pc = in.target;
        return true;
    case kOpPush:
        for (const PushItem& p : f.prog->pushes[in.index]) {
            switch (p.kind) {
            case PushItem::Kind::Value: Push(p.value); break;
            case PushItem::Kind::Register: {
                const Value* r = Register(f, p.index);
                Push(r ? *r : Value());
                break;
            }
            case PushItem::Kind::Constant:
                Push(f.pool && p.index < f.pool->size() ? (*f.pool)[p.index] : Value());
                break;
            }
        }
        return true;
    case kOpPop: Pop(f); return true;
    case kOpPushDuplicate: {
        Value v = stack_.size() > f.base ? stack_.back() : Value();
        Push(std::move(v));
        return true;
    }
    case kOpStackSwap: {
        Value a = Pop(f), b = Pop(f);
        Push(std::move(a));
        Push(std::move(b));
        return true;
    }
    case kOpStoreRegister:
        if (Value* r = Register(f, in.u16)) *r = stack_.size() > f.base ? stack_.back() : Value();
        return true;
    case kOpConstantPool: {
        auto pool = std::make_shared<std::vector<Value>>();
        for (const std::string& s : f.prog->pools[in.index]) pool->push_back(Value::String(s));
        f.pool = std::move(pool);
        return true;
    }
    case kOpWith: {
        Value v = Pop(f);
        if (in.target == kBadTarget) return false;
        Object* o = v.IsClip() ? ClipObject(ClipOf(v)) : v.IsObject() ? v.o : nullptr;
        if (!o && (v.IsString() || v.kind == Value::Kind::Number || v.kind == Value::Kind::Bool)) {
            // A primitive is wrapped, so with("abc") reads its length.
            o = NewObject(ToObject(v));
            o->cls = v.IsString() ? ObjClass::String : v.kind == Value::Kind::Number ? ObjClass::Number : ObjClass::Boolean;
            o->primitive = v;
        }
        if (!o) {  // with(undefined) skips its body
            f.pc = in.target;
            return true;
        }
        if (f.withs.size() >= kMaxScope / 2 || f.scope.size() >= kMaxScope) throw ScriptAbort{"with nested too deep"};
        f.withs.push_back({f.pc, in.target});
        f.scope.push_back(o);
        return true;
    }
    case kOpTry: {
        if (in.target == kBadTarget) return false;
        if (f.handlers.size() >= kMaxScope) throw ScriptAbort{"try nested too deep"};
        Handler h;
        h.info = &f.prog->tries[in.index];
        h.scopeSize = f.scope.size();
        h.withCount = f.withs.size();
        f.handlers.push_back(std::move(h));
        return true;
    }
    case kOpThrow: throw ScriptThrow{Pop(f)};
    default: break;
    }
    if (StepValues(f, in)) return !f.returned;
    ReplaceLostTarget(f);
    if (StepNames(f, in) || StepCalls(f, in)) return !f.returned;
    StepTimeline(f, in);  // unknown ops do nothing
    return !f.returned;
}

}  // namespace swf::avm1
