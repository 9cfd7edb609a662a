// The dispatch loop over decoded instructions. Arithmetic takes int fast
// paths; everything with names goes through the machine. A script
// exception (ScriptThrow) is caught around the loop and sent to the first
// handler whose range covers the throwing instruction and whose type
// matches; otherwise it leaves the frame.
#include <cmath>
#include <cstring>

#include "swf/avm2/Frame.h"
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

// A runtime name whose namespaces include public: numbers index arrays.
bool NamesPublic(const MnInfo& mi) {
    if (mi.attribute) return false;
    if (mi.ns) return mi.ns->IsPublic();
    if (!mi.set) return true;
    for (Ns* ns : *mi.set)
        if (ns->IsPublic()) return true;
    return false;
}

Value IntOrNumber(double d) {
    if (d >= INT32_MIN && d <= INT32_MAX && d == std::trunc(d) && !(d == 0 && std::signbit(d))) return Value::Int(int32_t(d));
    return Value::Number(d);
}

bool CompareBranch(Machine& m, uint8_t op, const Value& a, const Value& b) {
    switch (op) {
    case OpIfEq: return m.LooseEquals(a, b);
    case OpIfNe: return !m.LooseEquals(a, b);
    case OpIfStrictEq: return m.StrictEquals(a, b);
    case OpIfStrictNe: return !m.StrictEquals(a, b);
    case OpIfLt: return m.LessThan(a, b) == 1;
    case OpIfNlt: return m.LessThan(a, b) != 1;
    case OpIfLe: return m.LessThan(b, a) == 0;
    case OpIfNle: return m.LessThan(b, a) != 0;
    case OpIfGt: return m.LessThan(b, a) == 1;
    case OpIfNgt: return m.LessThan(b, a) != 1;
    case OpIfGe: return m.LessThan(a, b) == 0;
    case OpIfNge: return m.LessThan(a, b) != 0;
    }
    return false;
}

double Modulo(double a, double b) { return std::fmod(a, b); }

}  // namespace

Value Interpret(Frame& f) {
    Machine& m = f.m;
    const std::vector<Instr>& code = f.code->code;
    Value* st = f.stack;
    int& sp = f.sp;
    size_t pc = 0;
#define POP() (st[--sp])
#define TOP() (st[sp - 1])
#define PUSH(v) (st[sp++] = (v))
    for (;;) {
        try {
            for (;;) {
                const Instr& in = code[pc++];
                switch (in.op) {
                case OpNop: case OpBkpt: case OpLabel: case OpTimestamp: break;
                case OpThrow: m.ThrowValue(POP());
                case OpGetSuper: {
                    Name n = f.TakeName(in.a);
                    Value o = POP();
                    PUSH(m.GetSuper(o, f.declarer, n));
                    break;
                }
                case OpSetSuper: {
                    Value v = POP();
                    Name n = f.TakeName(in.a);
                    Value o = POP();
                    m.SetSuper(o, f.declarer, n, v);
                    break;
                }
                case OpDxns: f.dxns = Value::Str(f.mod->strings[in.a]); break;
                case OpDxnsLate: f.dxns = POP(); break;
                case OpKill: f.regs[in.a] = Value::Undefined(); break;
                case OpJump:
                    if (size_t(in.a) < pc && ++m.steps > m.limits.maxSteps) throw ScriptAbort{"timeout"};
                    if (size_t(in.a) < pc) m.MaybeCollect();
                    pc = in.a;
                    break;
                case OpIfTrue: if (m.ToBoolean(POP())) pc = in.a; break;
                case OpIfFalse: if (!m.ToBoolean(POP())) pc = in.a; break;
                case OpIfEq: case OpIfNe: case OpIfLt: case OpIfLe: case OpIfGt: case OpIfGe: case OpIfStrictEq:
                case OpIfStrictNe: case OpIfNlt: case OpIfNle: case OpIfNgt: case OpIfNge: {
                    Value b = POP();
                    Value a = POP();
                    bool jump;
                    if (a.tag == Tag::Int && b.tag == Tag::Int) {
                        int32_t x = a.i, y = b.i;
                        switch (in.op) {
                        case OpIfEq: case OpIfStrictEq: jump = x == y; break;
                        case OpIfNe: case OpIfStrictNe: jump = x != y; break;
                        case OpIfLt: jump = x < y; break;
                        case OpIfNlt: jump = !(x < y); break;
                        case OpIfLe: jump = x <= y; break;
                        case OpIfNle: jump = !(x <= y); break;
                        case OpIfGt: jump = x > y; break;
                        case OpIfNgt: jump = !(x > y); break;
                        case OpIfGe: jump = x >= y; break;
                        default: jump = !(x >= y); break;
                        }
                    } else {
                        jump = CompareBranch(m, in.op, a, b);
                    }
                    if (jump) {
                        if (size_t(in.a) < pc) {
                            if (++m.steps > m.limits.maxSteps) throw ScriptAbort{"timeout"};
                            m.MaybeCollect();
                        }
                        pc = in.a;
                    }
                    break;
                }
                case OpLookupSwitch: {
                    int32_t i = m.ToInt32(POP());
                    const std::vector<int>& cases = f.code->switches[in.b];
                    pc = (i >= 0 && size_t(i) < cases.size()) ? cases[i] : in.a;
                    break;
                }
                case OpPushWith:
                case OpPushScope: {
                    Value v = POP();
                    if (v.IsNullish()) m.NullError(v);
                    if (in.op == OpPushWith && f.scopeDepth < 64) f.withMask |= uint64_t(1) << f.scopeDepth;
                    else if (f.scopeDepth < 64) f.withMask &= ~(uint64_t(1) << f.scopeDepth);
                    f.scopes[f.scopeDepth++] = v;
                    break;
                }
                case OpPopScope: --f.scopeDepth; break;
                case OpNextName:
                case OpNextValue: {
                    int32_t index = m.ToInt32(POP());
                    Value o = POP();
                    Object* obj = o.IsObject() ? o.o : m.ProtoOf(o);
                    if (!obj) { PUSH(Value::Undefined()); break; }
                    PUSH(in.op == OpNextName ? obj->NameAt(m, index) : obj->ValueAt(m, index));
                    break;
                }
                case OpHasNext: {
                    int32_t index = m.ToInt32(POP());
                    Value o = POP();
                    Object* obj = o.IsObject() ? o.o : nullptr;
                    PUSH(Value::Int(obj ? obj->NextIndex(m, index) : 0));
                    break;
                }
                case OpHasNext2: {
                    Value& o = f.regs[in.a];
                    Value& idx = f.regs[in.b];
                    int32_t index = m.ToInt32(idx);
                    Object* obj = o.IsObject() ? o.o : nullptr;
                    // Walk to prototypes when one object's entries run out.
                    for (;;) {
                        if (!obj) { index = 0; break; }
                        index = obj->NextIndex(m, index);
                        if (index) break;
                        obj = obj->proto;
                        if (obj && obj == m.objectClass->prototype) obj = nullptr;
                        if (obj && (!obj->dyn || obj->dyn->Count() == 0)) {
                            // Skip prototypes with nothing enumerable.
                            Object* p = obj;
                            while (p && (!p->dyn || p->dyn->Count() == 0)) p = p->proto;
                            obj = p;
                            if (obj == m.objectClass->prototype) obj = nullptr;
                        }
                    }
                    o = obj ? Value::Obj(obj) : Value::Null();
                    idx = Value::Int(index);
                    PUSH(Value::Bool(index != 0));
                    break;
                }
                case OpPushNull: PUSH(Value::Null()); break;
                case OpPushUndefined: PUSH(Value::Undefined()); break;
                case OpPushTrue: PUSH(Value::Bool(true)); break;
                case OpPushFalse: PUSH(Value::Bool(false)); break;
                case OpPushNaN: PUSH(Value::Number(NAN)); break;
                case OpPushByte: case OpPushShort: case OpPushString: case OpPushInt: case OpPushUint:
                case OpPushDouble: PUSH(in.k); break;
                case OpPushNamespace: {
                    Value uri = Value::Str(f.mod->namespaces[in.a]->uri);
                    PUSH(m.Construct(Value::Obj(m.namespaceClass), &uri, 1));
                    break;
                }
                case OpPop: --sp; break;
                case OpDup: st[sp] = st[sp - 1]; ++sp; break;
                case OpSwap: std::swap(st[sp - 1], st[sp - 2]); break;
                case OpLi8: case OpLi16: case OpLi32: case OpLf32: case OpLf64: case OpSi8: case OpSi16:
                case OpSi32: case OpSf32: case OpSf64:
                    DomainMemory(m, in.op, st, sp);
                    break;
                case OpNewFunction: {
                    FunctionObject* fn = m.MakeClosure(f.mod->methods[in.a], f.Capture(), nullptr);
                    Object* proto = m.NewObject();
                    proto->Dyn().Set(m.Intern("constructor"), Value::Obj(fn));
                    proto->dyn->SetDontEnum(m.Intern("constructor"), true);
                    fn->prototypeObj = proto;
                    PUSH(Value::Obj(fn));
                    break;
                }
                case OpCall: {
                    sp -= in.b;
                    Value* args = st + sp;
                    Value self = POP();
                    Value fn = POP();
                    PUSH(m.Call(fn, self, args, in.b));
                    break;
                }
                case OpConstruct: {
                    sp -= in.b;
                    Value* args = st + sp;
                    Value c = POP();
                    PUSH(m.Construct(c, args, in.b));
                    break;
                }
                case OpCallMethod: {
                    sp -= in.b;
                    Value* args = st + sp;
                    Value self = POP();
                    if (self.IsNullish()) m.NullError(self);
                    const Traits* t = self.IsObject() ? self.o->traits : nullptr;
                    if (!t || in.a < 1 || size_t(in.a) > t->vtable.size()) throw ScriptAbort{"bad method index"};
                    const VEntry& e = t->vtable[in.a - 1];
                    PUSH(m.Invoke(e.method, e.declarer, e.declarer ? e.declarer->scope : nullptr, self, args, in.b));
                    break;
                }
                case OpCallStatic: {
                    sp -= in.b;
                    Value* args = st + sp;
                    Value self = POP();
                    // The receiver must be of the class the method belongs to.
                    Method* target = f.mod->methods[in.a];
                    if (target->owner) self = m.Coerce(self, target->owner);
                    PUSH(m.Invoke(target, f.declarer, f.outer, self, args, in.b));
                    break;
                }
                case OpCallSuper:
                case OpCallSuperVoid: {
                    sp -= in.b;
                    Value* args = st + sp;
                    Name n = f.TakeName(in.a);
                    Value self = POP();
                    Value r = m.CallSuper(self, f.declarer, n, args, in.b);
                    if (in.op == OpCallSuper) PUSH(r);
                    break;
                }
                case OpCallProperty:
                case OpCallPropLex:
                case OpCallPropVoid: {
                    sp -= in.b;
                    Value argsCopy[1];
                    (void)argsCopy;
                    Value* args = st + sp;
                    // Runtime name parts sit below the arguments.
                    int rt = int(f.mod->names[in.a].rtName) + int(f.mod->names[in.a].rtNs);
                    Value saved[16];
                    int argc = in.b;
                    if (rt) {
                        for (int i = 0; i < argc && i < 16; ++i) saved[i] = args[i];
                        args = saved;
                    }
                    Name n = f.TakeName(in.a);
                    Value self = POP();
                    Value r = m.CallProperty(self, n, args, argc, in.op == OpCallPropLex);
                    if (in.op != OpCallPropVoid) PUSH(r);
                    break;
                }
                case OpReturnVoid: return f.ReturnValue(Value::Undefined());
                case OpReturnValue: return f.ReturnValue(POP());
                case OpConstructSuper: {
                    sp -= in.b;
                    Value* args = st + sp;
                    Value self = POP();
                    if (self.IsNullish()) m.NullError(self);
                    ClassObject* base = f.declarer ? f.declarer->base : nullptr;
                    if (base && base->init) m.Invoke(base->init, base, base->scope, self, args, in.b);
                    break;
                }
                case OpConstructProp: {
                    sp -= in.b;
                    Value* args = st + sp;
                    int rt = int(f.mod->names[in.a].rtName) + int(f.mod->names[in.a].rtNs);
                    Value saved[16];
                    if (rt) {
                        for (int i = 0; i < in.b && i < 16; ++i) saved[i] = args[i];
                        args = saved;
                    }
                    Name n = f.TakeName(in.a);
                    Value o = POP();
                    PUSH(m.ConstructProperty(o, n, args, in.b));
                    break;
                }
                case OpSxi1: TOP() = Value::Int(-(m.ToInt32(TOP()) & 1)); break;
                case OpSxi8: TOP() = Value::Int(int8_t(m.ToInt32(TOP()))); break;
                case OpSxi16: TOP() = Value::Int(int16_t(m.ToInt32(TOP()))); break;
                case OpApplyType: {
                    sp -= in.b;
                    std::vector<Value> params(st + sp, st + sp + in.b);
                    Value base = POP();
                    if (!base.IsObject() || base.o->kind != ObjKind::Class)
                        m.TypeError(1127, "Type application attempted on a non-parameterized type.");
                    PUSH(Value::Obj(m.ApplyType(static_cast<ClassObject*>(base.o), params)));
                    break;
                }
                case OpNewObject: {
                    Object* o = m.NewObject();
                    TempRoot keep(m, Value::Obj(o));
                    sp -= 2 * in.b;
                    // Keys and values are read before the object takes their place.
                    for (int i = 0; i < in.b; ++i) {
                        String* key = m.Intern(m.ToString(st[sp + 2 * i]));
                        o->Dyn().Set(key, st[sp + 2 * i + 1]);
                    }
                    PUSH(Value::Obj(o));
                    break;
                }
                case OpNewArray: {
                    sp -= in.b;
                    ArrayObject* a = m.NewArray(0);
                    a->items.assign(st + sp, st + sp + in.b);
                    PUSH(Value::Obj(a));
                    break;
                }
                case OpNewActivation: {
                    Object* act = m.New<Object>(ObjKind::Activation, nullptr, nullptr);
                    m.InitSlots(act, f.code->activation);
                    PUSH(Value::Obj(act));
                    break;
                }
                case OpNewClass: {
                    Value baseV = POP();
                    ClassObject* base = baseV.IsObject() && baseV.o->kind == ObjKind::Class
                                            ? static_cast<ClassObject*>(baseV.o) : nullptr;
                    auto* mod = const_cast<AbcModule*>(f.mod);
                    PUSH(Value::Obj(m.CreateClass(*mod, uint32_t(in.a), base, f.Capture())));
                    break;
                }
                case OpGetDescendants: {
                    Name n = f.TakeName(in.a);
                    Value o = POP();
                    PUSH(XmlDescendants(m, o, n));
                    break;
                }
                case OpNewCatch: {
                    Object* scope = m.New<Object>(ObjKind::Catch, nullptr, nullptr);
                    std::vector<Traits*>& cached = f.code->catchTraits;
                    const size_t handler = size_t(in.a);
                    if (cached.size() <= handler) cached.resize(handler + 1, nullptr);
                    if (!cached[handler]) {
                        const AbcException& e =
                            f.mod->abc->bodies[f.mod->abc->methods[f.method->index].body].exceptions[handler];
                        cached[handler] = CatchTraits(m, *f.mod, e);
                    }
                    Traits* t = cached[handler];
                    m.InitSlots(scope, t);
                    PUSH(Value::Obj(scope));
                    break;
                }
                case OpFindPropStrict:
                case OpFindProperty: {
                    Name n = f.TakeName(in.a);
                    PUSH(f.FindProperty(n, in.op == OpFindPropStrict));
                    break;
                }
                case OpFindDef: {
                    Name n = f.TakeName(in.a);
                    Object* g = m.FindDefinition(n);
                    PUSH(g ? Value::Obj(g) : Value::Obj(f.GlobalObject()));
                    break;
                }
                case OpGetLex: {
                    Name n = f.TakeName(in.a);
                    Value holder = f.FindProperty(n, true);
                    PUSH(m.GetProperty(holder, n));
                    break;
                }
                case OpSetProperty:
                case OpInitProperty: {
                    Value v = POP();
                    const MnInfo& mi = f.mod->names[in.a];
                    if (mi.rtName && !mi.rtNs && st[sp - 1].IsNumber() && st[sp - 2].IsObject() &&
                        (f.method->runsOnce || NamesPublic(mi))) {
                        Value key = POP();
                        Value o = POP();
                        if (o.o->SetIndexed(m, key, v)) break;
                        PUSH(o);
                        PUSH(key);
                    }
                    Name n = f.TakeName(in.a);
                    Value o = POP();
                    m.SetProperty(o, n, v, in.op == OpInitProperty);
                    break;
                }
                case OpGetLocal: PUSH(f.regs[in.a]); break;
                case OpSetLocal: f.regs[in.a] = POP(); break;
                case OpGetGlobalScope: PUSH(Value::Obj(f.GlobalObject())); break;
                case OpGetScopeObject: PUSH(f.scopes[in.a < f.scopeDepth ? in.a : 0]); break;
                case OpGetOuterScope: {
                    // Counted from the outermost captured scope.
                    std::vector<Scope*> chain;
                    for (Scope* s = f.outer; s; s = s->parent) chain.push_back(s);
                    size_t i = size_t(in.a);
                    PUSH(i < chain.size() ? chain[chain.size() - 1 - i]->value : Value::Undefined());
                    break;
                }
                case OpGetProperty: {
                    const MnInfo& mi = f.mod->names[in.a];
                    if (mi.rtName && !mi.rtNs && st[sp - 1].IsNumber() && st[sp - 2].IsObject() &&
                        (f.method->runsOnce || NamesPublic(mi))) {
                        Value out;
                        if (st[sp - 2].o->GetIndexed(m, st[sp - 1], out)) {
                            sp -= 2;
                            PUSH(out);
                            break;
                        }
                    }
                    Name n = f.TakeName(in.a);
                    Value o = POP();
                    if (in.b == kOnThis && o.IsObject()) {
                        if (const Value* own = f.OwnSlot(o.o, n)) {
                            PUSH(*own);
                            break;
                        }
                    }
                    PUSH(m.GetProperty(o, n));
                    break;
                }
                case OpDeleteProperty: {
                    Name n = f.TakeName(in.a);
                    Value o = POP();
                    PUSH(Value::Bool(m.DeleteProperty(o, n)));
                    break;
                }
                case OpGetSlot: TOP() = m.GetSlot(TOP(), uint32_t(in.a)); break;
                case OpSetSlot: {
                    Value v = POP();
                    Value o = POP();
                    m.SetSlot(o, uint32_t(in.a), v);
                    break;
                }
                case OpGetGlobalSlot: PUSH(m.GetSlot(Value::Obj(f.GlobalObject()), uint32_t(in.a))); break;
                case OpSetGlobalSlot: m.SetSlot(Value::Obj(f.GlobalObject()), uint32_t(in.a), POP()); break;
                case OpConvertS: TOP() = Value::Str(m.ToString(TOP())); break;
                case OpCoerceS: TOP() = TOP().IsNullish() ? Value::Null() : Value::Str(m.ToString(TOP())); break;
                case OpEscXElem: TOP() = Value::Str(m.Str(XmlEscape(m.ToStdString(TOP()), false))); break;
                case OpEscXAttr: TOP() = Value::Str(m.Str(XmlEscape(m.ToStdString(TOP()), true))); break;
                case OpConvertI: case OpCoerceI: if (TOP().tag != Tag::Int) TOP() = Value::Int(m.ToInt32(TOP())); break;
                case OpConvertU: case OpCoerceU: TOP() = Value::Uint(m.ToUint32(TOP())); break;
                case OpConvertD: case OpCoerceD: if (!TOP().IsNumber()) TOP() = Value::Number(m.ToNumber(TOP())); break;
                case OpConvertB: case OpCoerceB: TOP() = Value::Bool(m.ToBoolean(TOP())); break;
                case OpConvertO: if (TOP().IsNullish()) m.NullError(TOP()); break;
                case OpCoerceO: if (TOP().IsUndefined()) TOP() = Value::Null(); break;
                case OpCoerceA: break;
                case OpCheckFilter:
                    if (TOP().IsNullish()) m.NullError(TOP());
                    if (!TOP().IsObject() || (TOP().o->kind != ObjKind::Xml && TOP().o->kind != ObjKind::XmlList))
                        m.TypeError(1123, "Filter operator not supported on type " +
                                              (TOP().IsNumber() ? std::string("Number") : m.TypeName(TOP())) + ".");
                    break;
                case OpCoerce: {
                    ClassObject* type = m.ResolveType(*f.mod, uint32_t(in.a));
                    if (!type && f.mod->names[in.a].name && !m.FindDefinition(Name{f.mod->names[in.a].name, f.mod->names[in.a].set, f.mod->names[in.a].ns}))
                        m.ReferenceError(kErrClassNotFound, "Class " + f.mod->names[in.a].name->text + " could not be found.");
                    TOP() = m.Coerce(TOP(), type);
                    break;
                }
                case OpAsType: {
                    ClassObject* type = m.ResolveType(*f.mod, uint32_t(in.a));
                    if (type && !m.IsType(TOP(), type)) TOP() = Value::Null();
                    break;
                }
                case OpIsType: {
                    ClassObject* type = m.ResolveType(*f.mod, uint32_t(in.a));
                    TOP() = Value::Bool(type ? m.IsType(TOP(), type) : !TOP().IsNullish());
                    break;
                }
                case OpAsTypeLate:
                case OpIsTypeLate: {
                    Value t = POP();
                    // `as` looks into its right side first: a missing class is a null reference.
                    if (in.op == OpAsTypeLate && t.IsNullish()) m.NullError(t);
                    if (in.op == OpAsTypeLate && !t.IsObject()) m.NullError(Value::Null());
                    if (!t.IsObject() || t.o->kind != ObjKind::Class)
                        m.TypeError(1041, "The right-hand side of operator must be a class.");
                    bool is = m.IsType(TOP(), static_cast<ClassObject*>(t.o));
                    if (in.op == OpIsTypeLate) TOP() = Value::Bool(is);
                    else if (!is) TOP() = Value::Null();
                    break;
                }
                case OpNegate: TOP() = IntOrNumber(-m.ToNumber(TOP())); break;
                case OpIncrement: TOP() = IntOrNumber(m.ToNumber(TOP()) + 1); break;
                case OpDecrement: TOP() = IntOrNumber(m.ToNumber(TOP()) - 1); break;
                case OpIncLocal: f.regs[in.a] = IntOrNumber(m.ToNumber(f.regs[in.a]) + 1); break;
                case OpDecLocal: f.regs[in.a] = IntOrNumber(m.ToNumber(f.regs[in.a]) - 1); break;
                case OpIncrementI: TOP() = Value::Int(int32_t(uint32_t(m.ToInt32(TOP())) + 1)); break;
                case OpDecrementI: TOP() = Value::Int(int32_t(uint32_t(m.ToInt32(TOP())) - 1)); break;
                case OpIncLocalI: f.regs[in.a] = Value::Int(int32_t(uint32_t(m.ToInt32(f.regs[in.a])) + 1)); break;
                case OpDecLocalI: f.regs[in.a] = Value::Int(int32_t(uint32_t(m.ToInt32(f.regs[in.a])) - 1)); break;
                case OpNegateI: TOP() = Value::Int(int32_t(0u - uint32_t(m.ToInt32(TOP())))); break;
                case OpTypeOf: TOP() = Value::Str(m.TypeOf(TOP())); break;
                case OpNot: TOP() = Value::Bool(!m.ToBoolean(TOP())); break;
                case OpBitNot: TOP() = Value::Int(~m.ToInt32(TOP())); break;
                case OpAdd: {
                    Value b = POP();
                    TOP() = m.Add(TOP(), b);
                    break;
                }
                case OpAddI: { int32_t b = m.ToInt32(POP()); TOP() = Value::Int(int32_t(uint32_t(m.ToInt32(TOP())) + uint32_t(b))); break; }
                case OpSubtractI: { int32_t b = m.ToInt32(POP()); TOP() = Value::Int(int32_t(uint32_t(m.ToInt32(TOP())) - uint32_t(b))); break; }
                case OpMultiplyI: { int32_t b = m.ToInt32(POP()); TOP() = Value::Int(int32_t(uint32_t(m.ToInt32(TOP())) * uint32_t(b))); break; }
                case OpSubtract: {
                    Value b = POP();
                    Value& a = TOP();
                    if (a.tag == Tag::Int && b.tag == Tag::Int) a = IntOrNumber(double(a.i) - b.i);
                    else a = IntOrNumber(m.ToNumber(a) - m.ToNumber(b));
                    break;
                }
                case OpMultiply: {
                    Value b = POP();
                    Value& a = TOP();
                    a = IntOrNumber(m.ToNumber(a) * m.ToNumber(b));
                    break;
                }
                case OpDivide: {
                    Value b = POP();
                    double y = m.ToNumber(b);
                    TOP() = IntOrNumber(m.ToNumber(TOP()) / y);
                    break;
                }
                case OpModulo: {
                    Value b = POP();
                    Value& a = TOP();
                    if (a.tag == Tag::Int && b.tag == Tag::Int && b.i > 0 && a.i >= 0) a = Value::Int(a.i % b.i);
                    else a = IntOrNumber(Modulo(m.ToNumber(a), m.ToNumber(b)));
                    break;
                }
                case OpLShift: { uint32_t b = m.ToUint32(POP()); TOP() = Value::Int(int32_t(uint32_t(m.ToInt32(TOP())) << (b & 31))); break; }
                case OpRShift: { uint32_t b = m.ToUint32(POP()); TOP() = Value::Int(m.ToInt32(TOP()) >> (b & 31)); break; }
                case OpURShift: { uint32_t b = m.ToUint32(POP()); TOP() = Value::Uint(m.ToUint32(TOP()) >> (b & 31)); break; }
                case OpBitAnd: { int32_t b = m.ToInt32(POP()); TOP() = Value::Int(m.ToInt32(TOP()) & b); break; }
                case OpBitOr: { int32_t b = m.ToInt32(POP()); TOP() = Value::Int(m.ToInt32(TOP()) | b); break; }
                case OpBitXor: { int32_t b = m.ToInt32(POP()); TOP() = Value::Int(m.ToInt32(TOP()) ^ b); break; }
                case OpEquals: { Value b = POP(); TOP() = Value::Bool(m.LooseEquals(TOP(), b)); break; }
                case OpStrictEquals: { Value b = POP(); TOP() = Value::Bool(m.StrictEquals(TOP(), b)); break; }
                case OpLessThan: { Value b = POP(); TOP() = Value::Bool(m.LessThan(TOP(), b) == 1); break; }
                case OpLessEquals: { Value b = POP(); TOP() = Value::Bool(m.LessThan(b, TOP()) == 0); break; }
                case OpGreaterThan: { Value b = POP(); TOP() = Value::Bool(m.LessThan(b, TOP()) == 1); break; }
                case OpGreaterEquals: { Value b = POP(); TOP() = Value::Bool(m.LessThan(TOP(), b) == 0); break; }
                case OpInstanceOf: {
                    Value t = POP();
                    if (TOP().IsUndefined()) m.NullError(TOP());
                    TOP() = Value::Bool(InstanceOf(m, TOP(), t));
                    break;
                }
                case OpIn: {
                    Value o = POP();
                    Value key = TOP();
                    if (o.IsNullish()) m.NullError(o);
                    Name n = m.PublicName(m.Intern(m.ToString(key)));
                    n.hasKey = true;
                    n.key = key;
                    TOP() = Value::Bool(m.HasProperty(o, n));
                    break;
                }
                default: throw ScriptAbort{"unknown instruction"};
                }
            }
        } catch (ScriptThrow&) {
            size_t at = pc - 1;
            const Handler* found = nullptr;
            for (const Handler& h : f.code->handlers) {
                if (at < size_t(h.from) || at >= size_t(h.to)) continue;
                ClassObject* type = h.type ? m.ResolveType(*f.mod, h.type) : nullptr;
                if (type && !m.IsType(m.thrown, type)) continue;
                found = &h;
                break;
            }
            if (!found) throw;
            sp = 0;
            f.scopeDepth = 0;
            f.withMask = 0;
            PUSH(m.thrown);
            m.thrown = Value::Undefined();
            pc = size_t(found->target);
        }
    }
#undef POP
#undef TOP
#undef PUSH
}

}  // namespace swf::avm2
