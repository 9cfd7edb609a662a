// Object, Class and the helpers that define built-in classes; the
// bootstrap order matters: Object, Class and Function refer to each other,
// so they are made first and tied together after.
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

ClassObject* BareClass(Machine& m, const char* name) {
    auto* c = m.New<ClassObject>(nullptr, nullptr);
    c->name = m.Intern(name);
    c->ns = m.publicNs;
    m.builtinClasses.push_back(c);
    return c;
}


Value ObjectHasOwn(Machine& m, Value self, Args args, int argc) {
    return Value::Bool(m.HasOwnProperty(self, m.Intern(m.ToString(Arg(args, argc, 0)))));
}
Value ObjectIsPrototypeOf(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (!self.IsObject() || !v.IsObject()) return Value::Bool(false);
    for (Object* p = v.o->proto; p; p = p->proto)
        if (p == self.o) return Value::Bool(true);
    (void)m;
    return Value::Bool(false);
}
Value ObjectPropertyIsEnumerable(Machine& m, Value self, Args args, int argc) {
    if (!self.IsObject()) return Value::Bool(false);
    String* key = m.Intern(m.ToString(Arg(args, argc, 0)));
    Object* o = self.o;
    uint32_t index;
    if (o->kind == ObjKind::Array && m.IsIndexKey(Value::Str(key), &index))
        return Value::Bool(index < static_cast<ArrayObject*>(o)->items.size());
    return Value::Bool(o->dyn && o->dyn->Find(key) && !o->dyn->DontEnum(key));
}
Value ObjectSetPropertyIsEnumerable(Machine& m, Value self, Args args, int argc) {
    if (!self.IsObject()) return Value::Undefined();
    String* key = m.Intern(m.ToString(Arg(args, argc, 0)));
    if (self.o->dyn && self.o->dyn->Find(key)) self.o->dyn->SetDontEnum(key, !m.ToBoolean(Arg(args, argc, 1)));
    return Value::Undefined();
}
Value ObjectToString(Machine& m, Value self, Args, int) {
    if (self.IsObject() && self.o->kind == ObjKind::Class)
        return Value::Str(m.Str("[class " + static_cast<ClassObject*>(self.o)->name->text + "]"));
    if (self.IsObject() && self.o->kind == ObjKind::Function) return Value::Str(m.Intern("function Function() {}"));
    if (self.IsObject() && self.o->kind == ObjKind::Activation) return Value::Str(m.Intern("[object Object]"));
    // Called on nothing it runs on the global object.
    if (self.IsNullish()) return Value::Str(m.Intern("[object global]"));
    // Primitives go by their class, every number by Number.
    if (self.IsNumber()) return Value::Str(m.Intern("[object Number]"));
    if (self.IsBool()) return Value::Str(m.Intern("[object Boolean]"));
    if (self.IsString()) return Value::Str(m.Intern("[object String]"));
    if (!self.IsObject()) return Value::Str(m.ToString(self));
    if (self.o->kind == ObjKind::Global) return Value::Str(m.Intern("[object global]"));
    ClassObject* c = self.o->cls;
    return Value::Str(m.Str("[object " + (c ? c->name->text : std::string("Object")) + "]"));
}
Value ObjectValueOf(Machine&, Value self, Args, int) { return self; }
Value ObjectCall(Machine& m, Value, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    return v.IsNullish() ? Value::Obj(m.NewObject()) : v;
}
Value ObjectInit(Machine&, Value self, Args, int) { return self; }

Value ClassPrototype(Machine& m, Value self, Args, int) {
    if (self.IsObject() && self.o->kind == ObjKind::Class) return Value::Obj(static_cast<ClassObject*>(self.o)->prototype);
    (void)m;
    return Value::Undefined();
}

}  // namespace

void RegisterDefinition(Machine& m, Ns* ns, String* name, const Value& v) {
    Traits* t = const_cast<Traits*>(m.builtinGlobal->traits);
    Binding& b = t->Add(name, ns);
    b.kind = Binding::Const;
    b.slot = uint32_t(t->slots.size());
    SlotInfo si;
    si.name = name;
    si.ns = ns;
    si.initial = v;
    t->slots.push_back(si);
    m.builtinGlobal->slots.push_back(v);
    m.definitions[name].push_back({ns, Machine::Definition{m.builtinGlobal, nullptr}});
}

ClassObject* Machine::DefineClass(const std::string& pkg, const std::string& name, ClassObject* base, Allocator alloc,
                                  bool sealed) {
    auto* c = New<ClassObject>(classClass, classClass ? classClass->prototype : nullptr);
    builtinClasses.push_back(c);
    c->name = Intern(name);
    c->ns = GetNs(NsKind::Package, Intern(pkg));
    c->base = base;
    c->allocate = alloc;
    c->instanceTraits = NewTraits(base ? base->instanceTraits : nullptr);
    c->instanceTraits->sealed = sealed;
    Traits* st = NewTraits(classClass ? classClass->instanceTraits : nullptr);
    st->sealed = false;
    c->traits = st;
    InitSlots(c, st);
    Object* proto = New<Object>(ObjKind::Plain, objectClass, base ? base->prototype : (objectClass ? objectClass->prototype : nullptr));
    proto->traits = objectClass ? objectClass->instanceTraits : nullptr;
    c->prototype = proto;
    proto->Dyn().Set(Intern("constructor"), Value::Obj(c));
    proto->dyn->SetDontEnum(Intern("constructor"), true);
    if (base) c->interfaces = base->interfaces;
    RegisterDefinition(*this, c->ns, c->name, Value::Obj(c));
    return c;
}

void Machine::DefineMethod(ClassObject* c, const std::string& name, NativeFn fn, int length) {
    Method* me = NewNativeMethod(name, fn, length);
    Traits* t = c->instanceTraits;
    // Top-level classes keep methods in the AS3 namespace with a public
    // copy on the prototype; the methods of package classes are public.
    const bool topLevel = !c->ns || c->ns->uri->text.empty();
    me->traceName = c->QualifiedName() + "/" + (topLevel ? as3Ns->uri->text + "::" : std::string()) + name;
    Binding& b = t->Add(Intern(name), topLevel ? as3Ns : publicNs);
    b = Binding{Binding::Method, 0, uint32_t(t->vtable.size()), 0};
    t->vtable.push_back({me, nullptr});
    if (!topLevel) return;
    // The prototype's copy is the player's own script: an anonymous
    // function whose errors come through Error.throwError.
    Method* proto = NewNativeMethod(name, fn, length);
    proto->traceName = "Function/<anonymous>";
    proto->raisesThroughError = true;
    FunctionObject* f = MakeClosure(proto, nullptr, nullptr);
    c->prototype->Dyn().Set(Intern(name), Value::Obj(f));
    c->prototype->dyn->SetDontEnum(Intern(name), true);
}

void Machine::DefineStatic(ClassObject* c, const std::string& name, NativeFn fn, int length) {
    Method* me = NewNativeMethod(name, fn, length);
    me->traceName = c->QualifiedName() + "$/" + name;
    Traits* t = const_cast<Traits*>(c->traits);
    const Binding b{Binding::Method, 0, uint32_t(t->vtable.size()), 0};
    t->Add(Intern(name), publicNs) = b;
    // Compilers may name a top-level class's statics in the AS3 namespace.
    if (!c->ns || c->ns->uri->text.empty()) t->Add(Intern(name), as3Ns) = b;
    t->vtable.push_back({me, nullptr});
}

namespace {

// `owner` is how stack traces name the class side ("Foo" or "Foo$").
void AddAccessor(Machine& m, Traits* t, const std::string& owner, const std::string& name, NativeFn get,
                 NativeFn set) {
    Binding& b = t->Add(m.Intern(name), m.publicNs);
    b = Binding{Binding::Accessor, 0, 0, 0};
    if (get) {
        t->vtable.push_back({m.NewNativeMethod(name, get, 0), nullptr});
        t->vtable.back().method->traceName = owner + "/get " + name;
        b.method = uint32_t(t->vtable.size());
    }
    if (set) {
        t->vtable.push_back({m.NewNativeMethod(name, set, 1), nullptr});
        t->vtable.back().method->traceName = owner + "/set " + name;
        b.setter = uint32_t(t->vtable.size());
    }
}

}  // namespace

void Machine::DefineGetter(ClassObject* c, const std::string& name, NativeFn get, NativeFn set) {
    AddAccessor(*this, c->instanceTraits, c->QualifiedName(), name, get, set);
}

void Machine::DefineStaticGetter(ClassObject* c, const std::string& name, NativeFn get, NativeFn set) {
    AddAccessor(*this, const_cast<Traits*>(c->traits), c->QualifiedName() + "$", name, get, set);
}

void Machine::DefineConstant(ClassObject* c, const std::string& name, const Value& v) {
    Traits* t = const_cast<Traits*>(c->traits);
    Binding& b = t->Add(Intern(name), publicNs);
    b = Binding{Binding::Const, uint32_t(t->slots.size()), 0, 0};
    SlotInfo si;
    si.name = Intern(name);
    si.ns = publicNs;
    si.initial = v;
    t->slots.push_back(si);
    c->slots.push_back(v);
}

void Machine::DefineGlobalFunction(const std::string& pkg, const std::string& name, NativeFn fn, int length) {
    FunctionObject* f = NativeFunction(name, fn, length);
    f->method->traceName = "global/" + (pkg.empty() ? name : pkg + "::" + name);
    RegisterDefinition(*this, GetNs(NsKind::Package, Intern(pkg)), Intern(name), Value::Obj(f));
}

void Machine::DefineGlobalValue(const std::string& name, const Value& v, const std::string& pkg) {
    RegisterDefinition(*this, pkg.empty() ? publicNs : GetNs(NsKind::Package, Intern(pkg)), Intern(name), v);
}

void InstallObject(Machine& m) {
    // Object and Class first, by hand: each is the other's class.
    ClassObject* object = BareClass(m, "Object");
    ClassObject* klass = BareClass(m, "Class");
    m.objectClass = object;
    m.classClass = klass;
    Object* objectProto = m.New<Object>(ObjKind::Plain, object, nullptr);
    object->prototype = objectProto;
    object->instanceTraits = m.NewTraits(nullptr);
    object->instanceTraits->sealed = false;
    objectProto->traits = object->instanceTraits;
    Object* classProto = m.New<Object>(ObjKind::Plain, object, objectProto);
    classProto->traits = object->instanceTraits;
    klass->prototype = classProto;
    klass->base = object;
    klass->instanceTraits = m.NewTraits(object->instanceTraits);
    m.builtinGlobal = m.New<Object>(ObjKind::Global, object, objectProto);
    m.builtinGlobal->traits = m.NewTraits(nullptr);
    const_cast<Traits*>(m.builtinGlobal->traits)->sealed = false;
    for (ClassObject* c : {object, klass}) {
        c->cls = klass;
        c->proto = classProto;
        Traits* st = m.NewTraits(nullptr);
        st->sealed = false;
        c->traits = st;
        RegisterDefinition(m, m.publicNs, c->name, Value::Obj(c));
        c->prototype->Dyn().Set(m.Intern("constructor"), Value::Obj(c));
        c->prototype->dyn->SetDontEnum(m.Intern("constructor"), true);
    }
    AddAccessor(m, klass->instanceTraits, "Class", "prototype", ClassPrototype, nullptr);
    for (ClassObject* c : {object, klass}) {
        Traits* st = const_cast<Traits*>(c->traits);
        *st = *m.NewTraits(klass->instanceTraits);
        st->sealed = false;
    }
    m.DefineConstant(object, "length", Value::Int(1));
}

// After Function exists: methods are function objects.
void InstallObjectMethods(Machine& m) {
    ClassObject* object = m.objectClass;
    Object* objectProto = object->prototype;
    object->call = ObjectCall;
    object->init = m.NewNativeMethod("Object", ObjectInit, 0);
    m.DefineMethod(object, "hasOwnProperty", ObjectHasOwn, 1);
    m.DefineMethod(object, "isPrototypeOf", ObjectIsPrototypeOf, 1);
    m.DefineMethod(object, "propertyIsEnumerable", ObjectPropertyIsEnumerable, 1);
    m.DefineMethod(object, "setPropertyIsEnumerable", ObjectSetPropertyIsEnumerable, 2);
    // toString and valueOf live on the prototype only.
    using Entry = std::pair<const char*, NativeFn>;
    for (auto [name, fn] : {Entry{"toString", ObjectToString}, Entry{"toLocaleString", ObjectToString},
                            Entry{"valueOf", ObjectValueOf}}) {
        objectProto->Dyn().Set(m.Intern(name), Value::Obj(m.NativeFunction(name, fn, 0)));
        objectProto->dyn->SetDontEnum(m.Intern(name), true);
    }
}

void Machine::InstallBuiltins() {
    InstallObject(*this);
    InstallFunction(*this);
    InstallObjectMethods(*this);
    InstallArray(*this);
    InstallString(*this);
    InstallNumbers(*this);
    InstallMath(*this);
    InstallErrors(*this);
    InstallNamespace(*this);
    InstallXml(*this);
    InstallGlobals(*this);
    InstallDate(*this);
    InstallUtils(*this);
    InstallDictionary(*this);
    InstallProxy(*this);
    InstallDisplay(*this);
    InstallDataClasses(*this);
}

// PropMap -------------------------------------------------------------------

Value* PropMap::Find(String* key) {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second].value;
}

void PropMap::Set(String* key, Value v) {
    auto it = index_.find(key);
    if (it != index_.end()) {
        entries_[it->second].value = v;
        return;
    }
    index_.emplace(key, entries_.size());
    entries_.push_back({key, v, false});
}

bool PropMap::Remove(String* key) {
    auto it = index_.find(key);
    if (it == index_.end()) return false;
    entries_[it->second].key = nullptr;
    entries_[it->second].value = Value::Undefined();
    index_.erase(it);
    // Compact once holes outnumber entries, keeping the order.
    if (entries_.size() > 8 && index_.size() * 2 < entries_.size()) {
        std::vector<Entry> kept;
        for (Entry& e : entries_)
            if (e.key) kept.push_back(e);
        entries_.swap(kept);
        index_.clear();
        for (size_t i = 0; i < entries_.size(); ++i) index_[entries_[i].key] = i;
    }
    return true;
}

size_t PropMap::Next(size_t pos) const {
    for (size_t i = pos; i < entries_.size(); ++i)
        if (entries_[i].key && !entries_[i].dontEnum) return i + 1;
    return 0;
}

bool PropMap::DontEnum(String* key) const {
    auto it = index_.find(key);
    return it != index_.end() && entries_[it->second].dontEnum;
}

void PropMap::SetDontEnum(String* key, bool on) {
    auto it = index_.find(key);
    if (it != index_.end()) entries_[it->second].dontEnum = on;
}

void PropMap::Trace(Tracer& t) const {
    for (const Entry& e : entries_) {
        t.Mark(e.key);
        t.Mark(e.value);
    }
}

int Object::NextIndex(Machine&, int pos) {
    if (!dyn || pos < 0) return 0;
    return int(dyn->Next(size_t(pos)));
}

// Index-like names come back as numbers, as they were most likely set.
Value Object::NameAt(Machine& m, int pos) {
    if (!dyn || pos <= 0) return Value::Undefined();
    String* k = dyn->KeyAt(size_t(pos));
    if (!k) return Value::Undefined();
    uint32_t index;
    if (m.IsIndexKey(Value::Str(k), &index)) return Value::Uint(index);
    return Value::Str(k);
}

Value Object::ValueAt(Machine&, int pos) {
    if (!dyn || pos <= 0) return Value::Undefined();
    return dyn->ValueAt(size_t(pos));
}

}  // namespace swf::avm2
