// Functions and objects: definitions (closures over the scope chain),
// calls, constructors, `super`, Return, and the class ops of SWF 6 and 7
// (InstanceOf, Extends, CastOp, ImplementsOp).
#include <cmath>

#include <utility>

#include "swf/avm1/Frame.h"

namespace swf::avm1 {

namespace {

constexpr size_t kMaxArgs = 1 << 16;

}  // namespace

std::vector<Value> Vm::PopArgs(Frame& f) {
    double count = ToNumber(Pop(f));
    size_t n = count > 0 ? static_cast<size_t>(std::min(count, double(kMaxArgs))) : 0;
    n = std::min(n, stack_.size() - f.base);
    std::vector<Value> args;
    args.reserve(n);
    for (size_t i = 0; i < n; ++i) args.push_back(Pop(f));
    return args;
}

Object* Vm::NewScriptFunction(std::shared_ptr<const Program> prog, uint32_t def, std::vector<Object*> scope,
                              std::shared_ptr<const std::vector<Value>> pool, Value target) {
    Object* fn = heap_.New(ObjClass::Function, functionProto);
    fn->fn = std::make_unique<FunctionData>();
    fn->fn->program = std::move(prog);
    fn->fn->def = def;
    fn->fn->scope = std::move(scope);
    fn->fn->pool = std::move(pool);
    fn->fn->target = std::move(target);
    Object* proto = NewObject();
    SetHidden(proto, "constructor", Value::Obj(fn));
    SetHidden(fn, "prototype", Value::Obj(proto));
    fn->Find("prototype", false)->flags |= kDontDelete;
    return fn;
}

int Vm::FunctionVersion(Object* fn) {
    const ClipId home = ClipOf(fn->fn->target);
    return home ? host_.VersionOf(home) : version_;
}

Value Vm::Invoke(Object* fn, const Value& self, const std::vector<Value>& args, bool construct) {
    Object* home = std::exchange(callHome_, nullptr);  // meant for this call only
    const bool swf5 = std::exchange(swf5Call_, false);
    if (!fn || !fn->fn) return Value();
    if (depth_ + 1 >= maxDepth_) throw ScriptAbort{"calls nested deeper than " + std::to_string(maxDepth_)};
    DepthGuard depth(depth_);
    if (fn->fn->native) {
        PinGuard pin(*this);
        CallArgs a{*this, self, args, fn, construct};
        return fn->fn->native(a);
    }
    callHome_ = home;
    swf5Call_ = swf5;
    return RunScript(fn, self, args, construct);
}

Value Vm::RunScript(Object* fn, const Value& self, const std::vector<Value>& args, bool construct) {
    const FunctionData& d = *fn->fn;
    const FunctionInfo& info = d.program->functions[d.def];
    if (info.begin == kBadTarget || info.end == kBadTarget) return Value();
    Frame f;
    f.prog = d.program;
    f.pc = info.begin;
    f.end = info.end;
    f.base = stack_.size();
    f.scope = d.scope;
    if (f.scope.size() >= kMaxScope) throw ScriptAbort{"scope chain too deep"};
    f.activation = heap_.New(ObjClass::Object, nullptr);
    f.scope.push_back(f.activation);
    f.thisv = self;
    f.target = d.target;
    f.home = ClipOf(d.target);
    f.version = f.home ? host_.VersionOf(f.home) : 0;
    if ((f.version ? f.version : version_) < 6 || std::exchange(swf5Call_, false)) {
        // SWF 5 functions keep no scope: they run in the clip they are
        // called on, else in the caller's.
        ClipId on = ClipOf(self);
        if (!on && !frames_.empty()) on = ClipOf(frames_.back()->target);
        if (Object* clip = on ? ClipObject(on) : nullptr) {
            f.scope = {clip, f.activation};
            f.target = ClipValue(on);
            f.home = on;
            f.version = host_.VersionOf(on);
        }
    }
    f.homeInTree = f.home && host_.InTree(f.home);
    f.callee = fn;
    f.homeProto = std::exchange(callHome_, nullptr);
    f.superHops = construct ? 0 : HopsTo(f.thisv, f.homeProto);
    f.pool = d.pool;
    f.constructing = construct;
    const bool wantSuper = !info.v2 || !(info.flags & kSuppressSuper) || (info.flags & kPreloadSuper);
    if (wantSuper && info.v2) MakeSuper(f);  // v1 code makes it when it names `super`
    const bool wantArguments = !info.v2 || !(info.flags & kSuppressArguments) || (info.flags & kPreloadArguments);
    if (wantArguments) {
        f.arguments = heap_.New(ObjClass::Arguments, arrayProto);  // an array to scripts
        SetArrayValues(f.arguments, args);
        SetHidden(f.arguments, "callee", Value::Obj(fn));
        SetHidden(f.arguments, "caller", frames_.empty() || !frames_.back()->callee
                                              ? Value::Null() : Value::Obj(frames_.back()->callee));
    }
    if (!info.v2) {
        f.regs.resize(4);
        for (size_t i = 0; i < info.params.size(); ++i)
            Put(f.activation, info.params[i], i < args.size() ? args[i] : Value());
        Put(f.activation, "arguments", Value::Obj(f.arguments));
    } else {
        f.regs.resize(std::max<size_t>(info.registerCount, 1));
        size_t r = 1;
        auto preload = [&](uint16_t flag, const Value& v) {
            if ((info.flags & flag) && r < f.regs.size()) f.regs[r++] = v;
        };
        preload(kPreloadThis, self);
        f.thisInRegister = (info.flags & kPreloadThis) != 0;
        preload(kPreloadArguments, Value::Obj(f.arguments));
        preload(kPreloadSuper, Value::Obj(f.super));
        // The root as the function's clip sees it, a _lockroot on the way honoured.
        preload(kPreloadRoot, ClipValue(f.home ? RootOf(f.home) : host_.Level(0)));
        // A clip without a parent takes no register for it: the next one
        // preloaded moves up.
        const ClipId parent = f.home ? host_.Parent(f.home) : 0;
        if (parent) preload(kPreloadParent, ClipValue(parent));
        preload(kPreloadGlobal, Value::Obj(global));
        for (size_t i = 0; i < info.params.size(); ++i) {
            Value v = i < args.size() ? args[i] : Value();
            uint8_t reg = info.paramRegisters[i];
            if (reg) {
                if (reg < f.regs.size()) f.regs[reg] = std::move(v);
            } else {
                Put(f.activation, info.params[i], v);
            }
        }
        if (!(info.flags & kSuppressArguments)) Put(f.activation, "arguments", Value::Obj(f.arguments));
    }
    return Execute(f);
}

// `super`: the prototype above the one this method or constructor belongs
// to, and the constructor Extends recorded there.
Object* Vm::MakeSuper(Frame& f) {
    if (f.super || !f.callee) return f.super;
    Value base = f.constructing ? Get(f.callee, "prototype", Value::Obj(f.callee))
                 : f.homeProto    ? Value::Obj(f.homeProto)
                                  : GetMember(f.thisv, "__proto__");
    if (!base.IsObject()) return nullptr;
    f.super = heap_.New(ObjClass::Super, base.o->proto);
    f.super->elems = {f.thisv, Get(base.o, "__constructor__", base)};
    // How far up the chain of `this` the base sat when the call began.
    if (f.superHops > 0) {
        f.super->primitive = Value::Num(f.superHops);
        RefreshSuper(*this, f.super);
    }
    return f.super;
}

int HopsTo(const Value& self, const Object* holder) {
    int hops = 1;
    if (holder && self.IsObject())
        for (Object* p = self.o->proto; p && hops < 256; p = p->proto, ++hops)
            if (p == holder) return hops;
    return 0;
}

void RefreshSuper(Vm& vm, Object* super) {
    if (!super->primitive.IsNumber() || super->elems.size() < 2 || !super->elems[0].IsObject()) return;
    Object* base = super->elems[0].o;
    for (int i = 0; i < int(super->primitive.n) && base; ++i) base = base->proto;
    if (!base) return;
    super->proto = base->proto;
    super->elems[1] = vm.Get(base, "__constructor__", Value::Obj(base));
}

// The object on obj's prototype chain that holds `name`; a method found
// there calls `super` from the prototype above it.
Object* Vm::HolderOf(const Value& obj, const std::string& name) {
    Object* start = obj.IsClip() ? ClipObject(ClipOf(obj)) : obj.IsObject() ? obj.o : nullptr;
    if (start && start->cls == ObjClass::Super) start = start->proto;
    int hops = 0;
    for (Object* p = start; p && hops < 256; p = p->proto, ++hops)  // as member lookups
        if (p->Find(name, Ci())) return p;
    return nullptr;
}

// Code whose clip left the stage while it ran stops at its next call, as if
// it returned.
void Vm::HaltIfHomeGone(Frame& f) {
    if (f.homeInTree && !host_.InTree(f.home)) {
        f.result = Value();
        f.returned = true;
    }
}

Value Vm::Call(const Value& fn, const Value& self, const std::vector<Value>& args) {
    if (!IsFunction(fn)) return Value();
    PinGuard pin(*this);
    return Invoke(fn.o, self, args, false);
}

Value Vm::CallMethod(const Value& obj, const std::string& name, const std::vector<Value>& args) {
    PinGuard pin(*this);
    // No name calls the object itself, as the CallMethod action does.
    if (name.empty()) return IsFunction(obj) ? Invoke(obj.o, Value(), args, false) : Value();
    Value fn = GetMember(obj, name);
    return IsFunction(fn) ? Invoke(fn.o, obj, args, false) : Value();
}

Value Vm::Construct(const Value& ctor, const std::vector<Value>& args) {
    if (!IsFunction(ctor)) return Value();
    PinGuard pin(*this);
    Value proto = Get(ctor.o, "prototype", ctor);
    Object* obj = NewObject(proto.IsObject() ? proto.o : objectProto);
    if (proto.kind == Value::Kind::Bool || proto.kind == Value::Kind::Number || proto.kind == Value::Kind::String) {
        // A primitive prototype: nothing is inherited, and __proto__ reads it.
        obj->proto = nullptr;
        SetHidden(obj, "__proto__", proto);
    }
    SetHidden(obj, "__constructor__", ctor);
    if (version_ <= 5) SetHidden(obj, "constructor", ctor);
    refused_ = false;
    Value r = Invoke(ctor.o, Value::Obj(obj), args, true);
    if (ctor.o->fn->native && refused_) {
        refused_ = false;
        return Value();
    }
    if (ctor.o->fn->native && r.IsObject()) return r;
    return Value::Obj(obj);
}

namespace {

// Whether a prototype implements `target`: among the interface prototypes
// it was given, or theirs in turn.
bool Implements(const Object* proto, const Object* target, int depth) {
    for (const Object* i : proto->interfaces) {
        if (!i) continue;
        if (i == target || (depth < 32 && Implements(i, target, depth + 1))) return true;
    }
    return false;
}

}  // namespace

// A class's own prototype as stored: instanceof and implements read past
// any getter and never inherit it.
Value Vm::StoredPrototype(Object* ctor) {
    const Property* p = ctor ? ctor->Find("prototype", Ci()) : nullptr;
    return p ? p->value : Value();
}

bool Vm::InstanceOf(const Value& v, Object* ctor) {
    if (!ctor) return false;
    Value protoV = StoredPrototype(ctor);
    // A primitive prototype is made an object first, as member reads make one.
    if (protoV.kind == Value::Kind::Bool || protoV.kind == Value::Kind::Number || protoV.kind == Value::Kind::String)
        protoV = WrapPrimitive(protoV, true);
    if (!protoV.IsObject()) return false;
    Object* clipObj = v.IsClip() ? ClipObject(ClipOf(v)) : nullptr;
    Object* start = v.IsObject() ? v.o->proto : clipObj ? clipObj->proto : nullptr;
    int hops = 0;
    for (Object* p = start; p && hops < 256; p = p->proto, ++hops)
        if (p == protoV.o || Implements(p, protoV.o, 0)) return true;
    return false;
}

bool Vm::StepCalls(Frame& f, const Instr& in) {
    // super(...): the constructor above runs on `this`; a built-in one that
    // sets its object up gives it back (not the empty one of MovieClip and
    // its kin, which sets nothing).
    auto callSuper = [this](Object* super, const std::vector<Value>& args) {
        RefreshSuper(*this, super);
        if (super->elems.size() < 2 || !IsFunction(super->elems[1])) return Value();
        Object* ctor = super->elems[1].o;
        Value r = Invoke(ctor, super->elems[0], args, true);
        const Value empty = Get(clipProto, "constructor", Value::Obj(clipProto));
        const bool setsUp = !IsFunction(empty) || empty.o->fn->native != ctor->fn->native;
        return ctor->fn->native && setsUp && r.IsUndefined() ? super->elems[0] : r;
    };
    switch (in.op) {
    case kOpDefineFunction:
    case kOpDefineFunction2: {
        const FunctionInfo& info = f.prog->functions[in.index];
        Object* fn = NewScriptFunction(f.prog, in.index, f.scope, f.pool, f.target);
        if (info.name.empty()) {
            Push(Value::Obj(fn));
        } else {
            Object* locals = f.activation ? f.activation : (f.scope.empty() ? nullptr : f.scope[0]);
            if (locals) Put(locals, info.name, Value::Obj(fn));
        }
        f.pc = in.target == kBadTarget ? f.end : in.target;
        return true;
    }
    case kOpReturn:
        f.result = Pop(f);
        f.returned = true;
        return true;
    case kOpCallFunction: {
        Str name = ToStr(Pop(f));
        std::vector<Value> args = PopArgs(f);
        Value fn = GetVariable(f, *name);
        if (!fn.IsObject() && !fn.IsNullish() && !fn.IsClip()) WrapPrimitive(fn);  // made, found no function
        if (fn.IsObject() && fn.o->cls == ObjClass::Super) {
            Push(callSuper(fn.o, args));
            return true;
        }
        // A plain call runs with the caller's timeline clip as `this`. SWF 5
        // code calling a function of a later movie gives it no `this`, and
        // it runs as SWF 5 functions do, in the caller's clip.
        Value self = ClipOf(f.target) ? f.target : ClipValue(host_.Level(0));
        if (version_ < 6 && IsFunction(fn) && !fn.o->fn->native && FunctionVersion(fn.o) >= 6) {
            self = Value();
            swf5Call_ = true;
        }
        Push(IsFunction(fn) ? Invoke(fn.o, self, args, false) : Value());
        HaltIfHomeGone(f);
        return true;
    }
    case kOpCallMethod: {
        Value nameV = Pop(f);
        Value obj = Pop(f);
        std::vector<Value> args = PopArgs(f);
        Str name = ToStr(nameV);
        const bool isSuper = obj.IsObject() && obj.o->cls == ObjClass::Super && obj.o->elems.size() > 1;
        if (nameV.IsUndefined() || name->empty()) {
            if (isSuper) {
                Push(callSuper(obj.o, args));
            } else {
                if (!obj.IsObject() && !obj.IsNullish() && !obj.IsClip()) WrapPrimitive(obj);
                Push(IsFunction(obj) ? Invoke(obj.o, Value(), args, false) : Value());
            }
            return true;
        }
        if (obj.kind == Value::Kind::Bool || obj.kind == Value::Kind::Number || obj.kind == Value::Kind::String) {
            // A replaced wrapper class: the method runs on the object it makes.
            const Value wrapped = WrapPrimitive(obj);
            if (wrapped.kind != obj.kind) obj = wrapped;
        }
        Value fn = GetMember(obj, *name);
        Value self = isSuper ? obj.o->elems[0] : obj;
        if (IsFunction(fn)) callHome_ = HolderOf(obj, *name);
        Push(IsFunction(fn) ? Invoke(fn.o, self, args, false) : Value());
        if (!obj.IsNullish()) HaltIfHomeGone(f);
        return true;
    }
    case kOpNewObject: {
        Str name = ToStr(Pop(f));
        std::vector<Value> args = PopArgs(f);
        const Value ctor = GetVariable(f, *name);
        if (!ctor.IsObject() && !ctor.IsNullish() && !ctor.IsClip()) WrapPrimitive(ctor);
        Push(Construct(ctor, args));
        HaltIfHomeGone(f);
        return true;
    }
    case kOpNewMethod: {
        Value nameV = Pop(f);
        Value obj = Pop(f);
        std::vector<Value> args = PopArgs(f);
        Str name = ToStr(nameV);
        Value ctor = nameV.IsUndefined() || name->empty() ? obj : GetMember(obj, *name);
        if (!ctor.IsObject() && !ctor.IsNullish() && !ctor.IsClip()) WrapPrimitive(ctor);
        Push(Construct(ctor, args));
        if (!obj.IsNullish()) HaltIfHomeGone(f);
        return true;
    }
    case kOpInstanceOf: {
        Value ctor = Pop(f), v = Pop(f);
        Object* c = ctor.IsObject() ? ctor.o : ctor.IsClip() ? ClipObject(ClipOf(ctor)) : nullptr;
        Push(Value::Bool(c && InstanceOf(v, c)));
        return true;
    }
    case kOpCastOp: {
        Value v = Pop(f), ctor = Pop(f);
        Push(ctor.IsObject() && InstanceOf(v, ctor.o) ? v : Value::Null());
        return true;
    }
    case kOpImplementsOp: {
        // The interfaces' prototypes as they are now, given once: a later
        // implements, or a later change to an interface, is not seen.
        Value ctor = Pop(f);
        std::vector<Value> ifaces = PopArgs(f);
        auto objectOf = [this](const Value& x) {
            return x.IsObject() ? x.o : x.IsClip() ? ClipObject(ClipOf(x)) : nullptr;
        };
        if (!ctor.IsObject()) return true;
        Value proto = StoredPrototype(ctor.o);
        if (!proto.IsObject() || !proto.o->interfaces.empty()) return true;
        for (const Value& i : ifaces) {
            Object* iface = objectOf(i);
            const Value p = iface ? StoredPrototype(iface) : Value();
            proto.o->interfaces.push_back(p.IsObject() ? p.o : nullptr);  // a place held all the same
        }
        return true;
    }
    case kOpExtends: {
        Value super = Pop(f), sub = Pop(f);
        if (!sub.IsObject() || !super.IsObject()) return true;
        Value superProto = Get(super.o, "prototype", super);
        Object* proto = NewObject(superProto.IsObject() ? superProto.o : objectProto);
        SetHidden(proto, "__constructor__", super);
        SetHidden(proto, "constructor", sub);
        Put(sub.o, "prototype", Value::Obj(proto));
        return true;
    }
    default: return false;
    }
}

}  // namespace swf::avm1
