// Entering a method body: the decoded code (verified on first call), the
// frame's share of the value stack, parameters coerced to their types with
// defaults, `...rest` or `arguments`, and the limits on depth.
#include <cmath>

#include "swf/avm2/Frame.h"
#include "swf/avm2/Verify.h"
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

constexpr size_t kValueStackSize = size_t(1) << 20;

std::string MethodLabel(Machine& m, Method* me, ClassObject* declarer) {
    std::string owner = declarer ? declarer->QualifiedName() : std::string();
    std::string name = me->name ? me->name->text : std::string();
    if (owner.empty()) return name.empty() ? "Function" : name;
    return owner + "/" + name;
    (void)m;
}

}  // namespace

std::string Machine::MethodTraceName(const Method* me) {
    if (!me->traceName.empty() || !me->abc) return me->traceName;
    // A function of no trait goes by its name in the ABC, if any.
    uint32_t index = me->abc->methods[me->index].name;
    if (index == 0) return "MethodInfo-" + std::to_string(me->index);
    return me->abc->strings[index].empty() ? "Function/<anonymous>" : me->abc->strings[index];
}

std::string Machine::StackTrace() {
    std::string out;
    if (throwingThroughError || (!frames.empty() && frames.back()->raisesThroughError))
        out = "\n\tat Error$/throwError()";
    for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
        std::string name = MethodTraceName(*it);
        if (name.empty()) continue;
        out += "\n\tat " + name + "()";
    }
    return out;
}

Value Machine::Invoke(Method* me, ClassObject* declarer, Scope* scope, const Value& self, Args args, int argc,
                      FunctionObject* callee) {
    struct Shown {
        std::vector<const Method*>& frames;
        ~Shown() { frames.pop_back(); }
    };
    if (me->native) {
        if (me->traceName.empty()) return me->native(*this, self, args, argc);
        frames.push_back(me);
        Shown shown{frames};
        return me->native(*this, self, args, argc);
    }
    if (callDepth >= limits.maxCallDepth) {
        Throw(errorClass, kErrStackOverflow, "Stack overflow occurred.");
    }
    const AbcFile& abc = *me->abc;
    const AbcMethod& info = abc.methods[me->index];
    if (info.body < 0 && (info.flags & kNative))
        Throw(verifyErrorClass, 1079, "Native methods are not allowed in loaded code.");
    if (info.body < 0)
        Throw(verifyErrorClass, 1001, "The method " + MethodLabel(*this, me, declarer) + "() is not implemented.");
    if (!me->code) {
        me->code = DecodeBody(*this, *me->module, abc.bodies[info.body], me->index, MethodTraceName(me));
        const AbcBody& body = abc.bodies[info.body];
        // Activations are sealed even when they hold nothing.
        if (!body.traits.empty() || (info.flags & kNeedActivation)) {
            Traits* t = NewTraits(nullptr);
            AddTraits(const_cast<AbcModule&>(*me->module), t, body.traits, nullptr, nullptr, nullptr);
            me->code->activation = t;
        }
    }
    const Code* code = me->code.get();
    size_t need = size_t(code->locals) + code->maxStack + code->maxScope + 1;
    if (valueStack.empty()) valueStack.resize(kValueStackSize);
    if (valueTop + need > valueStack.size()) Throw(errorClass, kErrStackOverflow, "Stack overflow occurred.");
    Frame f{*this, me, code, me->module, declarer, scope, callee};
    size_t base = valueTop;
    f.regs = valueStack.data() + base;
    f.stack = f.regs + code->locals;
    f.scopes = f.stack + code->maxStack;
    valueTop += need;
    ++callDepth;
    frames.push_back(me);
    Shown shown{frames};
    struct Leave {
        Machine& m;
        size_t base;
        size_t need;
        ~Leave() {
            for (size_t i = base; i < base + need; ++i) m.valueStack[i] = Value::Undefined();
            m.valueTop = base;
            --m.callDepth;
        }
    } leave{*this, base, need};
    f.SetupArguments(self, args, argc);
    return Interpret(f);
}

// The value returned, as the method's declared type: a failed coercion is
// thrown from the return itself, where the method's own handlers see it.
Value Frame::ReturnValue(const Value& v) {
    const AbcMethod& info = method->abc->methods[method->index];
    if (!info.returnType) return v;
    ClassObject* type = m.ResolveType(*mod, info.returnType);
    const MnInfo& rn = mod->names[info.returnType];
    if (type) return m.Coerce(v, type);
    if (rn.name && rn.name->text == "void") return Value::Undefined();
    return v;
}

void Frame::SetupArguments(const Value& self, Args args, int argc) {
    const AbcMethod& info = method->abc->methods[method->index];
    int params = int(info.paramTypes.size());
    int optional = int(info.optional.size());
    int required = params - optional;
    bool rest = info.flags & kNeedRest;
    bool needArgs = info.flags & kNeedArguments;
    // Functions outside classes take any count (callbacks get item, index
    // and array whatever they declare; missing ones are undefined);
    // methods do not.
    bool extraOk = rest || needArgs || !declarer;
    if ((argc < required && declarer) || (argc > params && !extraOk))
        m.ArgumentError(kErrArgCount, "Argument count mismatch on " + MethodLabel(m, method, declarer) +
                                          "(). Expected " + std::to_string(argc < required ? required : params) +
                                          ", got " + std::to_string(argc) + ".");
    // A function closure called without a receiver runs on its global.
    regs[0] = self.IsNullish() && callee && !callee->bound && !declarer ? Value::Obj(GlobalObject()) : self;
    for (int i = 0; i < params && uint32_t(i + 1) < code->locals; ++i) {
        Value v = i < argc ? args[i] : i < required ? Value::Undefined() : m.ConstantValue(*mod, info.optional[i - required]);
        uint32_t type = info.paramTypes[i];
        if (type) {
            ClassObject* c = m.ResolveType(*mod, type);
            if (c) v = m.Coerce(v, c);
        }
        regs[i + 1] = v;
    }
    uint32_t next = uint32_t(params + 1);
    if ((rest || needArgs) && next < code->locals) {
        ArrayObject* a = m.NewArray(0);
        if (rest) {
            for (int i = params; i < argc; ++i) a->items.push_back(args[i]);
        } else {
            for (int i = 0; i < argc; ++i) a->items.push_back(args[i]);
            FunctionObject* fn = callee;
            if (!fn && declarer) {
                if (!method->closure) method->closure = m.MakeClosure(method, outer, declarer);
                fn = method->closure;
            }
            if (fn) {
                a->Dyn().Set(m.Intern("callee"), Value::Obj(fn));
                a->dyn->SetDontEnum(m.Intern("callee"), true);
            }
        }
        regs[next] = Value::Obj(a);
    }
}

Name Frame::TakeName(uint32_t index) {
    const MnInfo& mi = mod->names[index];
    Name n;
    n.attribute = mi.attribute;
    n.name = mi.name;
    n.single = mi.ns;
    n.set = mi.set;
    if (mi.rtName) {
        Value key = stack[--sp];
        if (key.IsObject() && key.o->kind == ObjKind::QName) {
            QNameParts q = QNameOf(m, key);
            n.name = q.local;
            if (q.ns) {
                n.single = q.ns;
                n.set = nullptr;
            }
            n.attribute = n.attribute || q.attribute;
        } else {
            n.hasKey = true;
            n.key = key;
            n.name = m.Intern(m.ToString(key));
            if (!n.attribute && n.name->text.size() > 1 && n.name->text[0] == '@' && false) n.attribute = true;
        }
    }
    if (mi.rtNs) {
        Value nsv = stack[--sp];
        if (!nsv.IsObject() || nsv.o->kind != ObjKind::Namespace)
            m.Throw(m.verifyErrorClass, 1058, "Illegal operand type: " + m.TypeName(nsv) + " must be Namespace.");
        n.single = NamespaceOf(m, nsv);
        n.set = nullptr;
    }
    if (!mi.rtName && !mi.name && mi.kind != MnKind::TypeName) {
        n.name = nullptr;  // any name
    }
    return n;
}

const Value* Frame::OwnSlot(Object* o, const Name& n) const {
    const Traits* mine = declarer ? declarer->instanceTraits : nullptr;
    if (!mine || !o->traits || o->traits == mine) return nullptr;
    const Traits* t = o->traits;
    while (t && t != mine) t = t->base;
    if (!t) return nullptr;
    const Binding* b = mine->Find(n);
    if (!b || (b->kind != Binding::Slot && b->kind != Binding::Const) || b->slot >= o->slots.size()) return nullptr;
    return &o->slots[b->slot];
}

Object* Frame::GlobalObject() const {
    // The outermost scope is the script's global.
    Scope* s = outer;
    if (!s) return scopeDepth > 0 && scopes[0].IsObject() ? scopes[0].o : m.builtinGlobal;
    while (s->parent) s = s->parent;
    return s->value.IsObject() ? s->value.o : m.builtinGlobal;
}

namespace {

// Does this scope object answer to the name? Fixed traits always; dynamic
// properties only for `with` scopes and globals.
bool ScopeHas(Machine& m, const Value& v, const Name& n, bool with) {
    if (v.IsNullish()) return false;
    if (!v.IsObject()) return m.HasProperty(v, n);  // a pushed primitive answers through its prototype
    Object* o = v.o;
    if (o->traits && o->traits->Find(n)) return true;
    if (with || o->kind == ObjKind::Global) return m.HasProperty(v, n);
    return false;
}

}  // namespace

Value Frame::FindProperty(const Name& n, bool strict) {
    for (int i = scopeDepth - 1; i >= 0; --i)
        if (ScopeHas(m, scopes[i], n, i < 64 && (withMask >> i) & 1)) return scopes[i];
    for (Scope* s = outer; s; s = s->parent)
        if (ScopeHas(m, s->value, n, s->with)) return s->value;
    if (Object* g = m.FindDefinition(n)) return Value::Obj(g);
    if (strict) {
        m.ReferenceError(kErrUndefinedVar, "Variable " + (n.name ? n.name->text : std::string("*")) + " is not defined.");
    }
    return Value::Obj(GlobalObject());
}

Scope* Frame::Capture() {
    Scope* chain = outer;
    for (int i = 0; i < scopeDepth; ++i) {
        auto* s = m.New<Scope>();
        s->parent = chain;
        s->value = scopes[i];
        s->with = i < 64 && ((withMask >> i) & 1);
        chain = s;
    }
    return chain;
}

}  // namespace swf::avm2
