// Loading an ABC block into the machine: its pools resolve to interned
// strings and namespaces, its scripts get global objects whose traits
// become definitions, and classes are built when `newclass` runs (or when
// the host asks for one before its script ran).
#include "swf/avm2/Machine.h"

#include <cmath>

#include "swf/avm2/Code.h"

namespace swf::avm2 {

namespace {

constexpr uint8_t kConstInt = 0x03, kConstUint = 0x04, kConstDouble = 0x06, kConstUtf8 = 0x01,
                  kConstTrue = 0x0B, kConstFalse = 0x0A, kConstNull = 0x0C, kConstUndefined = 0x00;

bool IsNsConstant(uint8_t k) { return k == 0x08 || k == 0x16 || k == 0x17 || k == 0x18 || k == 0x19 || k == 0x1A || k == 0x05; }

// "Test/get x", "Test$/f", "Test/uri::f": a method as stack traces name it.
// Only a namespace of its own (not internal, private or protected) shows.
std::string TraitTraceName(const ClassObject& declarer, bool isStatic, TraitKind kind, const Ns* ns, const String* name) {
    std::string out = declarer.QualifiedName() + (isStatic ? "$/" : "/");
    if (kind == TraitKind::Getter) out += "get ";
    if (kind == TraitKind::Setter) out += "set ";
    if (ns && ns->kind == NsKind::Package && !ns->uri->text.empty()) out += ns->uri->text + "::";
    return out + (name ? name->text : std::string());
}

}  // namespace

bool Machine::LoadAbc(const uint8_t* data, size_t size, bool run, std::string* error) {
    std::shared_ptr<AbcFile> abc = ReadAbc(data, size, error);
    if (!abc) return false;
    if (abc->scripts.empty()) return true;
    auto mod = std::make_unique<AbcModule>();
    mod->abc = abc;
    for (const std::string& s : abc->strings) mod->strings.push_back(Intern(s));
    for (const AbcNamespace& n : abc->namespaces) {
        String* uri = mod->strings[n.name];
        mod->namespaces.push_back(n.kind == NsKind::Private ? NewPrivateNs(uri) : GetNs(n.kind, uri));
    }
    for (const auto& set : abc->nsSets) {
        std::vector<Ns*> s;
        for (uint32_t i : set) s.push_back(mod->namespaces[i]);
        mod->nsSets.push_back(std::move(s));
    }
    for (const AbcMultiname& mn : abc->multinames) {
        MnInfo n;
        n.kind = mn.kind;
        n.attribute = mn.Attribute();
        n.rtName = mn.RuntimeName();
        n.rtNs = mn.RuntimeNs();
        // Namespace 0 of a QName is any namespace (`*::name`).
        if ((mn.kind == MnKind::QName || mn.kind == MnKind::QNameA) && mn.ns) n.ns = mod->namespaces[mn.ns];
        if (!n.rtName && mn.kind != MnKind::TypeName && mn.name) n.name = mod->strings[mn.name];
        if (!n.rtName && mn.kind != MnKind::TypeName && !mn.name && (mn.kind == MnKind::QName || mn.kind == MnKind::QNameA))
            n.name = nullptr;  // "*"
        n.base = mn.base;
        n.params = mn.params;
        mod->names.push_back(std::move(n));
    }
    AbcModule* m = mod.get();
    modules.push_back(std::move(mod));
    for (auto& n : m->names)
        if (n.kind == MnKind::Multiname || n.kind == MnKind::MultinameA || n.kind == MnKind::MultinameL ||
            n.kind == MnKind::MultinameLA)
            n.set = &m->nsSets[abc->multinames[&n - m->names.data()].nsSet];
    for (uint32_t i = 0; i < abc->methods.size(); ++i) {
        methodStore.push_back(std::make_unique<Method>());
        Method* me = methodStore.back().get();
        me->abc = abc;
        me->index = i;
        me->module = m;
        me->name = m->strings[abc->methods[i].name];
        m->methods.push_back(me);
    }
    m->classes.assign(abc->classes.size(), nullptr);
    m->scripts.resize(abc->scripts.size());
    for (size_t i = 0; i < abc->scripts.size(); ++i) {
        ScriptEntry& s = m->scripts[i];
        s.abc = &abc->scripts[i];
        s.init = m->methods[s.abc->init];
        if (s.init->traceName.empty()) s.init->traceName = "global$init";
        s.init->runsOnce = true;
        Traits* t = NewTraits(nullptr);
        t->sealed = false;
        Object* g = New<Object>(ObjKind::Global, objectClass, objectClass->prototype);
        s.global = g;
        AddTraits(*m, t, s.abc->traits, nullptr, g, nullptr);
        InitSlots(g, t);
        for (const AbcTrait& tr : s.abc->traits) {
            const MnInfo& n = m->names[tr.name];
            if (!n.name || !n.ns) continue;
            definitions[n.name].push_back({n.ns, Definition{g, &s}});
        }
    }
    if (run) {
        ScriptEntry& last = m->scripts.back();
        return Entry([&] { RunScript(last); });
    }
    return true;
}

void Machine::RunScript(ScriptEntry& s) {
    if (s.state != ScriptEntry::Fresh) return;
    s.state = ScriptEntry::Running;
    Invoke(s.init, nullptr, nullptr, Value::Obj(s.global), nullptr, 0, nullptr);
    s.state = ScriptEntry::Done;
}

Value Machine::ConstantValue(const AbcModule& mod, const AbcConstant& c) {
    const AbcFile& f = *mod.abc;
    auto in = [&](size_t size) { return c.index < size; };
    switch (c.kind) {
    case kConstInt: return in(f.ints.size()) ? Value::Int(f.ints[c.index]) : Value::Undefined();
    case kConstUint: return in(f.uints.size()) ? Value::Uint(f.uints[c.index]) : Value::Undefined();
    case kConstDouble: return in(f.doubles.size()) ? Value::Number(f.doubles[c.index]) : Value::Undefined();
    case kConstUtf8: return in(f.strings.size()) ? Value::Str(mod.strings[c.index]) : Value::Undefined();
    case kConstTrue: return Value::Bool(true);
    case kConstFalse: return Value::Bool(false);
    case kConstNull: return Value::Null();
    case kConstUndefined: return Value::Undefined();
    default:
        if (IsNsConstant(c.kind) && in(f.namespaces.size())) {
            Value uri = Value::Str(mod.namespaces[c.index]->uri);
            return Construct(Value::Obj(namespaceClass), &uri, 1);
        }
        return Value::Undefined();
    }
}

ClassObject* Machine::ResolveType(const AbcModule& mod, uint32_t mnIndex) {
    if (mnIndex == 0 || mnIndex >= mod.names.size()) return nullptr;
    const MnInfo& n = mod.names[mnIndex];
    if (n.kind == MnKind::TypeName) {
        ClassObject* base = ResolveType(mod, n.base);
        std::vector<Value> params;
        for (uint32_t p : n.params) params.push_back(Value::Obj(ResolveType(mod, p)));
        return base ? ApplyType(base, params) : nullptr;
    }
    if (!n.name) return nullptr;
    Name name;
    name.name = n.name;
    name.single = n.ns;
    name.set = n.set;
    Object* g = FindDefinition(name);
    if (!g) return nullptr;
    Value v = GetProperty(Value::Obj(g), name);
    return v.IsObject() && v.o->kind == ObjKind::Class ? static_cast<ClassObject*>(v.o) : nullptr;
}

// Adds `traits` to `t`: slots get indices after the inherited ones (or
// their slot id), methods vtable entries; overrides replace the base's.
void Machine::AddTraits(AbcModule& mod, Traits* t, const std::vector<AbcTrait>& traits, ClassObject* declarer,
                        Object* holder, Scope* scope) {
    (void)holder;
    (void)scope;
    size_t firstSlot = t->base ? t->base->slots.size() : 0;
    for (const AbcTrait& tr : traits) {
        const MnInfo& n = mod.names[tr.name];
        String* name = n.name ? n.name : Intern("");
        Ns* ns = n.ns ? n.ns : publicNs;
        switch (tr.kind) {
        case TraitKind::Slot:
        case TraitKind::Const:
        case TraitKind::Class:
        case TraitKind::Function: {
            size_t index = tr.slotId ? firstSlot + tr.slotId - 1 : t->slots.size();
            if (index > t->slots.size() + 0xFFFF) index = t->slots.size();  // hostile slot ids
            if (index >= t->slots.size()) t->slots.resize(index + 1);
            SlotInfo& si = t->slots[index];
            si.name = name;
            si.ns = ns;
            si.module = &mod;
            si.isConst = tr.kind == TraitKind::Const;
            if (tr.kind == TraitKind::Slot || tr.kind == TraitKind::Const) {
                si.type = tr.type;
                ClassObject* type = nullptr;
                // Numeric and Boolean slots start at their type's default.
                const MnInfo& tn = mod.names[tr.type];
                if (tr.type && tn.name && tn.ns && tn.ns->IsPublic()) {
                    const std::string& tname = tn.name->text;
                    if (tname == "int" || tname == "uint") si.initial = Value::Int(0);
                    else if (tname == "Number") si.initial = Value::Number(NAN);
                    else if (tname == "Boolean") si.initial = Value::Bool(false);
                    else si.initial = Value::Null();
                    if (tname == "int") type = intClass;
                    if (tname == "uint") type = uintClass;
                    if (tname == "Number") type = numberClass;
                    if (tname == "Boolean") type = booleanClass;
                    if (tname == "String") type = stringClass;
                    if (tname == "Object") si.initial = Value::Null();
                } else if (tr.type) {
                    si.initial = Value::Null();
                }
                if (tr.value.kind || tr.value.index) {
                    Value v = ConstantValue(mod, tr.value);
                    // A slot of a class type holds null for undefined.
                    if (tr.type && !type && v.IsUndefined()) v = Value::Null();
                    si.initial = type ? Coerce(v, type) : v;
                }
            } else {
                si.initial = Value::Null();
            }
            Binding& b = t->Add(name, ns);
            b.kind = tr.kind == TraitKind::Const ? Binding::Const : Binding::Slot;
            b.slot = uint32_t(index);
            break;
        }
        case TraitKind::Method:
        case TraitKind::Getter:
        case TraitKind::Setter: {
            VEntry e{mod.methods[tr.index], declarer};
            // Errors name a method by the trait that holds it.
            if (name && (!e.method->name || e.method->name->text.empty())) e.method->name = name;
            if (declarer && e.method->traceName.empty())
                e.method->traceName = TraitTraceName(*declarer, holder == declarer, tr.kind, ns, name);
            if (declarer && !e.method->owner) e.method->owner = declarer;
            Binding& b = t->Add(name, ns);
            if (tr.kind == TraitKind::Method) {
                if (b.kind == Binding::Method) {
                    t->vtable[b.method] = e;
                } else {
                    b = Binding{};
                    b.kind = Binding::Method;
                    b.method = uint32_t(t->vtable.size());
                    t->vtable.push_back(e);
                }
                // An override of a protected method replaces it under the
                // base classes' protected namespaces too.
                if (ns->kind == NsKind::Protected) {
                    const uint32_t own = b.method;
                    for (auto& [other, ob] : t->names[name])
                        if (other != ns && other->kind == NsKind::Protected && ob.kind == Binding::Method)
                            t->vtable[ob.method] = t->vtable[own];
                }
                break;
            }
            if (b.kind != Binding::Accessor) b = Binding{Binding::Accessor, 0, 0, 0};
            uint32_t& slot = tr.kind == TraitKind::Getter ? b.method : b.setter;
            if (slot) {
                t->vtable[slot - 1] = e;
            } else {
                t->vtable.push_back(e);
                slot = uint32_t(t->vtable.size());
            }
            break;
        }
        }
    }
}

ClassObject* Machine::CreateClass(AbcModule& mod, uint32_t index, ClassObject* base, Scope* scope) {
    const AbcInstance& ai = mod.abc->instances[index];
    const AbcClass& ac = mod.abc->classes[index];
    const MnInfo& n = mod.names[ai.name];
    if (base && base->isFinal)
        Throw(verifyErrorClass, 1103, "Class " + (n.name ? n.name->text : std::string()) + " cannot extend final base class.");
    auto* c = New<ClassObject>(classClass, classClass->prototype);
    TempRoot keep(*this, Value::Obj(c));
    c->name = n.name ? n.name : Intern("");
    c->ns = n.ns ? n.ns : publicNs;
    c->base = base;
    c->abcInstance = &ai;
    c->module = &mod;
    c->isInterface = ai.flags & kClassInterface;
    c->isFinal = ai.flags & kClassFinal;
    if (ai.flags & kClassProtectedNs) c->protectedNs = mod.namespaces[ai.protectedNs];
    // The class's own scope: the outer scopes, then the class object itself.
    auto* own = New<Scope>();
    own->parent = scope;
    own->value = Value::Obj(c);
    c->scope = own;
    c->instanceTraits = NewTraits(base ? base->instanceTraits : nullptr);
    c->instanceTraits->sealed = (ai.flags & kClassSealed) != 0;
    if (base && !base->instanceTraits->sealed && !(ai.flags & kClassSealed)) c->instanceTraits->sealed = false;
    if (base) {
        c->interfaces = base->interfaces;
        c->allocate = nullptr;
    }
    for (uint32_t i : ai.interfaces) {
        ClassObject* iface = ResolveType(mod, i);
        if (!iface) continue;
        c->interfaces.push_back(iface);
        for (ClassObject* sup : iface->interfaces) c->interfaces.push_back(sup);
    }
    AddTraits(mod, c->instanceTraits, ai.traits, c, nullptr, own);
    // Interface methods answer to the interface's namespace too: a call
    // through the interface type names it.
    for (ClassObject* iface : c->interfaces) {
        for (auto& [name, list] : iface->instanceTraits->names)
            for (auto& [ns, b] : list) {
                if (c->instanceTraits->FindExact(name, ns)) continue;
                Name pub = PublicName(name);
                // A copy: adding may move the bindings the one found lives in.
                if (const Binding* impl = c->instanceTraits->Find(pub)) {
                    const Binding found = *impl;
                    c->instanceTraits->Add(name, ns) = found;
                }
            }
    }
    c->init = mod.methods[ai.init];
    if (c->init->traceName.empty()) c->init->traceName = c->QualifiedName();
    if (!c->init->owner) c->init->owner = c;
    if (!mod.methods[ac.init]->owner) mod.methods[ac.init]->owner = c;
    if (mod.methods[ac.init]->traceName.empty()) mod.methods[ac.init]->traceName = c->QualifiedName() + "$cinit";
    mod.methods[ac.init]->runsOnce = true;
    // Class (static) traits, over those every class has (prototype).
    Traits* st = NewTraits(classClass->instanceTraits);
    st->sealed = false;  // Class is dynamic: class objects take new properties
    AddTraits(mod, st, ac.traits, c, c, own);
    c->traits = st;
    InitSlots(c, st);
    // The prototype: an Object whose own prototype is the base's.
    Object* proto = New<Object>(ObjKind::Plain, objectClass,
                                base ? base->prototype : objectClass->prototype);
    proto->traits = objectClass->instanceTraits;
    c->prototype = proto;
    proto->Dyn().Set(Intern("constructor"), Value::Obj(c));
    proto->dyn->SetDontEnum(Intern("constructor"), true);
    mod.classes[index] = c;
    Invoke(mod.methods[ac.init], c, own, Value::Obj(c), nullptr, 0);
    return c;
}

}  // namespace swf::avm2
