// The machine's shared operations: namespaces, errors, calls and
// construction, type tests and coercion, definitions and collection.
#include "swf/avm2/Machine.h"

#include <cmath>

#include "swf/avm2/Code.h"
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {
constexpr int32_t kIntAtomLimit = 1 << 28;
}  // namespace

Method::~Method() = default;

Machine::Machine() {
    publicNs = GetNs(NsKind::Package, Intern(""));
    as3Ns = GetNs(NsKind::Namespace, Intern("http://adobe.com/AS3/2006/builtin"));
    proxyNs = GetNs(NsKind::Namespace, Intern("http://www.adobe.com/2006/actionscript/flash/proxy"));
    publicSet = {publicNs};
    InstallBuiltins();
}

Machine::~Machine() = default;

Ns* Machine::GetNs(NsKind kind, String* uri) {
    // Package and plain namespaces with one URI are one namespace.
    if (kind == NsKind::Namespace) kind = NsKind::Package;
    uri = Intern(uri);
    auto key = std::make_pair(int(kind), uri);
    auto it = nsTable_.find(key);
    if (it != nsTable_.end()) return it->second;
    nsStore_.push_back(std::make_unique<Ns>(Ns{kind, uri}));
    Ns* ns = nsStore_.back().get();
    nsTable_[key] = ns;
    return ns;
}

Ns* Machine::NewPrivateNs(String* uri) {
    nsStore_.push_back(std::make_unique<Ns>(Ns{NsKind::Private, Intern(uri)}));
    return nsStore_.back().get();
}

Name Machine::PublicName(String* name) const {
    Name n;
    n.name = name;
    n.single = publicNs;
    return n;
}

Traits* Machine::NewTraits(Traits* base) {

    traitsStore.push_back(std::make_unique<Traits>());
    Traits* t = traitsStore.back().get();
    if (base) {
        t->base = base;
        t->names = base->names;
        t->slots = base->slots;
        t->vtable = base->vtable;
        t->sealed = base->sealed;
    }
    return t;
}

Method* Machine::NewNativeMethod(const std::string& name, NativeFn fn, int length) {
    methodStore.push_back(std::make_unique<Method>());
    Method* m = methodStore.back().get();
    m->native = fn;
    m->name = Intern(name);
    m->nativeLength = length;
    return m;
}

// Errors ---------------------------------------------------------------

void Machine::ThrowValue(const Value& v) {
    thrown = v;
    throw ScriptThrow{};
}

void Machine::Throw(ClassObject* cls, int id, const std::string& text) {
    Value args[2] = {Value::Str(Str("Error #" + std::to_string(id) + ": " + text)), Value::Int(id)};
    Value e = Construct(Value::Obj(cls), args, 2);
    ThrowValue(e);
}

void Machine::ThrowThroughError(ClassObject* cls, int id, const std::string& text) {
    throwingThroughError = true;
    Value args[2] = {Value::Str(Str("Error #" + std::to_string(id) + ": " + text)), Value::Int(id)};
    Value e = Construct(Value::Obj(cls), args, 2);
    throwingThroughError = false;
    ThrowValue(e);
}

void Machine::NullError(const Value& v) {
    if (v.IsUndefined()) TypeError(kErrUndefinedTerm, "A term is undefined and has no properties.");
    TypeError(kErrNullObject, "Cannot access a property or method of a null object reference.");
}

std::string Machine::TypeName(const Value& v) {
    switch (v.tag) {
    case Tag::Undefined: return "void";
    case Tag::Null: return "null";
    default: break;
    }
    if (v.IsObject() && v.o->kind == ObjKind::Class) {
        auto* c = static_cast<ClassObject*>(v.o);
        return c->QualifiedName() + "$";
    }
    // A catch scope goes by the name of the variable it holds.
    if (v.IsObject() && v.o->kind == ObjKind::Catch && v.o->traits && !v.o->traits->slots.empty() &&
        v.o->traits->slots[0].name)
        return v.o->traits->slots[0].name->text;
    ClassObject* c = ClassOf(v);
    if (!c) return "Object";
    // A file-private class goes by its namespace and name joined with a dot.
    if (c->ns && c->ns->kind == NsKind::Private && !c->ns->uri->text.empty())
        return c->ns->uri->text + "." + c->name->text;
    return c->QualifiedName();
}

std::string Machine::Describe(const Value& v) {
    if (v.IsObject() && v.o->kind == ObjKind::Class) return "[class " + static_cast<ClassObject*>(v.o)->name->text + "]";
    if (v.IsObject()) return "[object " + (v.o->cls ? v.o->cls->name->text : std::string("Object")) + "]";
    return ToStdString(v);
}

std::string ClassObject::DottedName() const {
    std::string local = name ? name->text : "";
    if (!ns || ns->uri->text.empty() || ns->kind == NsKind::Private) return local;
    return ns->uri->text + "." + local;
}

std::string ClassObject::QualifiedName() const {
    std::string local = name ? name->text : "";
    if (!ns || ns->uri->text.empty()) return local;
    return ns->uri->text + "::" + local;
}

bool ClassObject::IsSubclassOf(const ClassObject* other) const {
    for (const ClassObject* c = this; c; c = c->base)
        if (c == other) return true;
    for (const ClassObject* i : interfaces)
        if (i == other) return true;
    return false;
}

// Types ------------------------------------------------------------------

ClassObject* Machine::ClassOf(const Value& v) {
    switch (v.tag) {
    case Tag::Boolean: return booleanClass;
    // Whole numbers count as int within 29 bits only, as the reference
    // keeps them.
    case Tag::Int: return v.i >= -kIntAtomLimit && v.i < kIntAtomLimit ? intClass : numberClass;
    case Tag::Number: {
        double d = v.d;
        if (d == std::trunc(d) && d >= -kIntAtomLimit && d < kIntAtomLimit && !(d == 0 && std::signbit(d)))
            return intClass;
        return numberClass;
    }
    case Tag::String: return stringClass;
    case Tag::Object: return v.o->cls ? v.o->cls : objectClass;
    default: return nullptr;
    }
}

Object* Machine::ProtoOf(const Value& v) {
    if (v.IsObject()) return v.o->proto;
    ClassObject* c = ClassOf(v);
    if (v.IsNumber()) c = numberClass;  // int and Number share Number's methods through their own prototypes
    if (v.tag == Tag::Int || (v.tag == Tag::Number && ClassOf(v) == intClass)) c = intClass;
    return c ? c->prototype : nullptr;
}

bool Machine::IsType(const Value& v, ClassObject* type) {
    if (!type || type == objectClass) return !v.IsNullish() || (!type);
    if (type == numberClass) return v.IsNumber();
    if (type == intClass) {
        if (v.tag == Tag::Int) return true;
        return v.tag == Tag::Number && v.d == std::trunc(v.d) && v.d >= INT32_MIN && v.d <= INT32_MAX;
    }
    if (type == uintClass) {
        if (v.tag == Tag::Int) return v.i >= 0;
        return v.tag == Tag::Number && v.d == std::trunc(v.d) && v.d >= 0 && v.d <= 4294967295.0;
    }
    if (type == stringClass) return v.IsString();
    if (type == booleanClass) return v.IsBool();
    if (!v.IsObject()) return false;
    ClassObject* c = v.o->kind == ObjKind::Class ? classClass : v.o->cls;
    if (v.o->kind == ObjKind::Function && type == functionClass) return true;
    if (!c) return false;
    if (c->IsSubclassOf(type)) return true;
    // An interface the script defines after its implementing class was not
    // there to link when the class was made: look again now.
    return type->isInterface && LateImplements(c, type, 0);
}

bool Machine::LateImplements(ClassObject* c, ClassObject* iface, int depth) {
    if (depth > 32) return false;
    for (ClassObject* k = c; k; k = k->base) {
        if (!k->abcInstance || !k->module) continue;
        for (uint32_t i : k->abcInstance->interfaces) {
            ClassObject* named = ResolveType(*k->module, i);
            if (named && (named == iface || named->IsSubclassOf(iface) || LateImplements(named, iface, depth + 1)))
                return true;
        }
    }
    return false;
}

Value Machine::Coerce(const Value& v, ClassObject* type) {
    if (!type) return v;
    if (type == intClass) return Value::Int(ToInt32(v));
    if (type == uintClass) return Value::Uint(ToUint32(v));
    if (type == numberClass) return v.tag == Tag::Number ? v : Value::Number(ToNumber(v));
    if (type == booleanClass) return Value::Bool(ToBoolean(v));
    if (type == stringClass) return v.IsNullish() ? Value::Null() : Value::Str(ToString(v));
    if (v.IsNullish()) return Value::Null();
    if (type == objectClass) return v;
    if (IsType(v, type)) return v;
    CoercionFailed(v, type->DottedName());
}

void Machine::CoercionFailed(const Value& v, const std::string& typeName) {
    // Strings show quoted and objects by class, as a debugger shows them
    // (we have no addresses to give).
    std::string what = Describe(v);
    if (v.IsString()) what = "\"" + v.s->text + "\"";
    else if (v.IsObject() && v.o->kind != ObjKind::Class && v.o->kind != ObjKind::Function)
        what = TypeName(v) + "@00000000000";
    TypeError(kErrConvertNull, "Type Coercion failed: cannot convert " + what + " to " + typeName + ".");
}

// Calls ------------------------------------------------------------------

Value Machine::Call(const Value& fn, const Value& self, Args args, int argc) {
    if (fn.IsObject()) {
        if (fn.o->kind == ObjKind::Function) {
            auto* f = static_cast<FunctionObject*>(fn.o);
            Value thisv = f->bound ? f->boundThis : self;
            // Plain functions called without a receiver get the global.
            return Invoke(f->method, f->declarer, f->scope, thisv, args, argc, f);
        }
        if (fn.o->kind == ObjKind::Class) {
            auto* c = static_cast<ClassObject*>(fn.o);
            if (c->call) return c->call(*this, fn, args, argc);
            if (argc != 1)
                ArgumentError(kErrArgCount, "Argument count mismatch on " + c->QualifiedName() + "(). Expected 1, got " +
                                                std::to_string(argc) + ".");
            return Coerce(args[0], c);
        }
        // Function.prototype is itself a function that does nothing.
        if (functionClass && fn.o == functionClass->prototype) return Value::Undefined();
    }
    TypeError(kErrCallOfNonFunction, "value is not a function.");
}

Value Machine::Construct(const Value& cv, Args args, int argc) {
    if (cv.IsObject() && cv.o->kind == ObjKind::Class) {
        auto* c = static_cast<ClassObject*>(cv.o);
        if (c->isInterface)
            TypeError(kErrNotConstructor, c->QualifiedName() + " is not a constructor.");
        // new String(x) and the other primitive classes make primitives.
        if (c == stringClass) return Value::Str(argc ? ToString(args[0]) : Intern(""));
        if (c == numberClass || c == intClass || c == uintClass || c == booleanClass)
            return Coerce(argc ? args[0] : Value::Int(0), c);
        Object* o = Instantiate(c);
        Value self = Value::Obj(o);
        TempRoot keep(*this, self);
        if (c->init) Invoke(c->init, c, c->scope, self, args, argc);
        return self;
    }
    if (cv.IsObject() && cv.o->kind == ObjKind::Function) {
        auto* f = static_cast<FunctionObject*>(cv.o);
        if (f->bound) TypeError(kErrNotConstructor, "value is not a constructor.");
        Value protoV = GetPublic(cv, "prototype");
        Object* o = New<Object>(ObjKind::Plain, objectClass, protoV.IsObject() ? protoV.o : objectClass->prototype);
        Value self = Value::Obj(o);
        TempRoot keep(*this, self);
        Value r = Invoke(f->method, f->declarer, f->scope, self, args, argc, f);
        return r.IsObject() ? r : self;
    }
    TypeError(kErrConstructOfNonFunction, "Instantiation attempted on a non-constructor.");
}

Object* Machine::Instantiate(ClassObject* c) {
    Object* o = nullptr;
    for (ClassObject* k = c; k && !o; k = k->base)
        if (k->allocate) o = k->allocate(*this, c);
    if (!o) o = New<Object>(ObjKind::Plain, c, c->prototype);
    o->cls = c;
    o->proto = c->prototype;
    o->traits = c->instanceTraits;
    InitSlots(o, c->instanceTraits);
    return o;
}

void Machine::InitSlots(Object* o, const Traits* t) {
    o->traits = t;
    if (!t) return;
    o->slots.resize(t->slots.size());
    for (size_t i = 0; i < t->slots.size(); ++i) o->slots[i] = t->slots[i].initial;
}

Object* Machine::NewObject() {
    Object* o = New<Object>(ObjKind::Plain, objectClass, objectClass->prototype);
    o->traits = objectClass->instanceTraits;
    return o;
}

FunctionObject* Machine::MakeClosure(Method* m, Scope* scope, ClassObject* declarer) {
    auto* f = New<FunctionObject>(functionClass, functionClass->prototype);
    f->traits = functionClass->instanceTraits;
    f->method = m;
    f->scope = scope;
    f->declarer = declarer;
    return f;
}

FunctionObject* Machine::BindMethod(const VEntry& e, const Value& self) {
    FunctionObject* f = MakeClosure(e.method, e.declarer ? e.declarer->scope : nullptr, e.declarer);
    f->bound = true;
    f->boundThis = self;
    return f;
}

FunctionObject* Machine::NativeFunction(const std::string& name, NativeFn fn, int length) {
    return MakeClosure(NewNativeMethod(name, fn, length), nullptr, nullptr);
}

// Definitions -------------------------------------------------------------

Object* Machine::FindDefinition(const Name& n) {
    if (!n.name) return nullptr;
    auto it = definitions.find(n.name);
    if (it == definitions.end()) return nullptr;
    for (auto& [ns, def] : it->second) {
        if (!n.Contains(ns)) continue;
        if (def.script && def.script->state == ScriptEntry::Fresh) RunScript(*def.script);
        return def.global;
    }
    return nullptr;
}

Value Machine::GetDefinition(const Name& n) {
    Object* g = FindDefinition(n);
    if (!g)
        ReferenceError(kErrUndefinedVar, "Variable " + (n.name ? n.name->text : std::string("*")) + " is not defined.");
    return GetProperty(Value::Obj(g), n);
}

ClassObject* Machine::FindClass(const std::string& qualified) {
    size_t dot = qualified.rfind('.');
    size_t colons = qualified.rfind("::");
    std::string pkg, local = qualified;
    if (colons != std::string::npos) {
        pkg = qualified.substr(0, colons);
        local = qualified.substr(colons + 2);
    } else if (dot != std::string::npos) {
        pkg = qualified.substr(0, dot);
        local = qualified.substr(dot + 1);
    }
    Name n;
    n.name = Intern(local);
    n.single = GetNs(NsKind::Package, Intern(pkg));
    Object* g = FindDefinition(n);
    if (!g) return nullptr;
    Value v = GetProperty(Value::Obj(g), n);
    return v.IsObject() && v.o->kind == ObjKind::Class ? static_cast<ClassObject*>(v.o) : nullptr;
}

// Collection -------------------------------------------------------------

void Machine::TraceRoots(Tracer& t) {
    t.Mark(builtinGlobal);
    t.Mark(thrown);
    for (const Value& v : tempRoots) t.Mark(v);
    // Every running frame's registers, operand stack and scopes.
    for (size_t i = 0; i < valueTop && i < valueStack.size(); ++i) t.Mark(valueStack[i]);
    for (const Value& v : hostRoots) t.Mark(v);
    if (dataState) t.Mark(Value::Obj(dataState));
    for (const BroadcastTarget& b : enterFrameTargets) {
        t.Mark(Value::Str(b.type));
        t.Mark(b.target);
    }
    for (auto& [name, list] : definitions) {
        t.Mark(name);
        for (auto& [ns, def] : list) t.Mark(def.global);
    }
    for (auto& [key, ns] : nsTable_) t.Mark(ns->uri);
    for (auto& ns : nsStore_) t.Mark(ns->uri);
    for (auto& mod : modules) {
        for (String* s : mod->strings) t.Mark(s);
        for (ClassObject* c : mod->classes) t.Mark(c);
        for (auto& s : mod->scripts) t.Mark(s.global);
        for (auto& n : mod->names) t.Mark(n.name);
    }
    for (auto& m : methodStore) {
        t.Mark(m->name);
        if (m->code)
            for (const Instr& in : m->code->code) t.Mark(in.k);
        if (m->closure) t.Mark(Value::Obj(m->closure));
    }
    for (auto& tr : traitsStore) tr->Trace(t);
    for (ClassObject* c : builtinClasses) t.Mark(c);
}

void Machine::Collect() {
    Tracer t;
    TraceRoots(t);
    t.Drain();
    heap.Sweep();
}

void Machine::MaybeCollect() {
    constexpr size_t kCollectEvery = size_t(8) << 20;
    if (heap.BytesSinceCollect() > kCollectEvery) Collect();
    if (heap.Bytes() > limits.maxHeapBytes) throw ScriptAbort{"script memory limit reached"};
}

void Traits::Trace(Tracer& t) const {
    for (auto& [name, list] : names) t.Mark(name);
    for (const SlotInfo& s : slots) {
        t.Mark(s.name);
        t.Mark(s.initial);
        t.Mark(s.typeClass);
    }
    for (const VEntry& e : vtable) t.Mark(e.declarer);
}

void Object::Trace(Tracer& t) {
    t.Mark(cls);
    t.Mark(proto);
    for (const Value& v : slots) t.Mark(v);
    if (dyn) dyn->Trace(t);
}

void Scope::Trace(Tracer& t) {
    t.Mark(parent);
    t.Mark(value);
}

void FunctionObject::Trace(Tracer& t) {
    Object::Trace(t);
    t.Mark(scope);
    t.Mark(boundThis);
    t.Mark(declarer);
    t.Mark(prototypeObj);
}

void ClassObject::Trace(Tracer& t) {
    Object::Trace(t);
    t.Mark(name);
    t.Mark(base);
    t.Mark(prototype);
    t.Mark(scope);
    t.Mark(vectorOf);
    for (ClassObject* i : interfaces) t.Mark(i);
    for (auto& [k, v] : applied) {
        t.Mark(k);
        t.Mark(v);
    }
}

}  // namespace swf::avm2
