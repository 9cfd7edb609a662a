// Property access by name. Order of lookup, for get, set and call:
//  1. native kinds' own entries (array indices, dictionary keys, proxies,
//     XML children) for public names;
//  2. the fixed traits of the object's class (slots, methods, accessors);
//  3. for public names, the object's dynamic properties, then the
//     prototype chain;
//  4. missing: undefined on dynamic objects, ReferenceError #1069 on
//     sealed ones.
// Primitives look through their class's traits and prototype.
#include <cmath>

#include "swf/avm2/Machine.h"
#include "swf/avm2/classes/XmlModel.h"

namespace swf::avm2 {

bool Name::HasPublic() const {
    if (single) return single->IsPublic();
    if (!set) return true;  // any namespace
    for (Ns* ns : *set)
        if (ns->IsPublic()) return true;
    return false;
}

bool Name::Contains(Ns* ns) const {
    if (single) return single == ns;
    if (!set) return true;  // any namespace
    for (Ns* n : *set)
        if (n == ns) return true;
    return false;
}

const Binding* Traits::Find(const Name& n, Ns** found) const {
    if (!n.name) return nullptr;
    auto it = names.find(n.name);
    if (it == names.end()) return nullptr;
    for (const auto& [ns, b] : it->second)
        if (n.Contains(ns)) {
            if (found) *found = ns;
            return &b;
        }
    return nullptr;
}

const Binding* Traits::FindExact(String* name, Ns* ns) const {
    auto it = names.find(name);
    if (it == names.end()) return nullptr;
    for (const auto& [n, b] : it->second)
        if (n == ns) return &b;
    return nullptr;
}

Binding& Traits::Add(String* name, Ns* ns) {
    auto& list = names[name];
    for (auto& [n, b] : list)
        if (n == ns) return b;
    list.push_back({ns, Binding{}});
    return list.back().second;
}

bool Machine::IsIndexKey(const Value& key, uint32_t* index) {
    if (key.tag == Tag::Int) {
        if (key.i < 0) return false;
        *index = uint32_t(key.i);
        return true;
    }
    if (key.tag == Tag::Number) {
        double d = key.d;
        if (d >= 0 && d < 4294967295.0 && d == std::floor(d)) {
            *index = uint32_t(d);
            return true;
        }
        return false;
    }
    if (key.tag == Tag::String) {
        const std::string& t = key.s->text;
        if (t.empty() || t.size() > 10 || (t.size() > 1 && t[0] == '0')) return false;
        uint64_t v = 0;
        for (char c : t) {
            if (c < '0' || c > '9') return false;
            v = v * 10 + uint64_t(c - '0');
        }
        if (v >= 4294967295u) return false;
        *index = uint32_t(v);
        return true;
    }
    return false;
}

namespace {

Value KeyOf(Machine& m, const Name& n) { return n.hasKey ? n.key : Value::Str(n.name ? n.name : m.Intern("")); }

// A name as error texts show it: one namespace other than public comes
// first ("ns::name").
std::string ErrorName(Machine& m, const Name& n) {
    std::string local = m.ToStdString(KeyOf(m, n));
    if (n.single && !n.set && !n.single->IsPublic() && n.single->kind != NsKind::Private)
        return n.single->uri->text + "::" + local;
    return local;
}

// A proxy's own traits answer first; every other name goes to its hooks.
bool IsXmlKind(const Object* o) { return o->kind == ObjKind::Xml || o->kind == ObjKind::XmlList; }

// A proxy's own traits answer for their names, except to a name in any
// namespace, which the proxy hears.
bool IsProxied(Object* o, const Name& n) {
    const bool anyNs = !n.single && !n.set;
    return o && o->kind == ObjKind::Proxy && !n.attribute && (anyNs || !(o->traits && n.name && o->traits->Find(n)));
}

}  // namespace

Value Machine::GetProperty(const Value& obj, const Name& n) {
    if (obj.IsNullish()) NullError(obj);
    Object* o = obj.IsObject() ? obj.o : nullptr;
    bool pub = n.HasPublic() && !n.attribute;
    if (IsProxied(o, n)) {
        Value out;
        o->GetIndexed(*this, ProxyName(*this, n, KeyOf(*this, n)), out);
        return out;
    }
    if (o && o->kind != ObjKind::Proxy && pub && !IsXmlKind(o)) {
        Value out;
        if (o->GetIndexed(*this, n.attribute ? Value::Str(Str("@" + ToStdString(KeyOf(*this, n)))) : KeyOf(*this, n), out))
            return out;
    }
    // XML names are children and attributes, never the class's methods.
    if (o && IsXmlKind(o)) return XmlGet(*this, o, n);
    const Traits* t = o ? o->traits : ClassOf(obj)->instanceTraits;
    if (t && n.name) {
        if (const Binding* b = t->Find(n)) {
            switch (b->kind) {
            case Binding::Slot:
            case Binding::Const: return o ? o->slots[b->slot] : Value::Undefined();
            case Binding::Method: return Value::Obj(BindMethod(t->vtable[b->method], obj));
            case Binding::Accessor:
                if (!b->method) {
                    ReferenceError(kErrWriteOnly, "Illegal read of write-only property " + n.name->text + " on " +
                                                      TypeName(obj) + ".");
                }
                {
                    const VEntry& e = t->vtable[b->method - 1];
                    return Invoke(e.method, e.declarer, e.declarer ? e.declarer->scope : nullptr, obj, nullptr, 0);
                }
            default: break;
            }
        }
    }
    if (pub && n.name) {
        if (o && o->dyn)
            if (Value* v = o->dyn->Find(n.name)) return *v;
        for (Object* p = o ? o->proto : ProtoOf(obj); p; p = p->proto)
            if (p->dyn)
                if (Value* v = p->dyn->Find(n.name)) return *v;
    }
    // A dynamic object holds public names only: asked for any other it has
    // no value to give.
    if (o && o->IsDynamic() && pub) return Value::Undefined();
    if (o && o->IsDynamic())
        ReferenceError(kErrReadSealedNs, "Property " + ErrorName(*this, n) + " not found on " + TypeName(obj) +
                                             " and there is no default value.");
    ReferenceError(kErrReadSealed, "Property " + ErrorName(*this, n) +
                                       " not found on " + TypeName(obj) + " and there is no default value.");
}

void Machine::SetProperty(const Value& obj, const Name& n, const Value& v, bool init) {
    if (obj.IsNullish()) NullError(obj);
    if (!obj.IsObject()) {
        if (n.name && ClassOf(obj)->instanceTraits->Find(n)) return;
        ReferenceError(kErrWriteSealed, "Cannot create property " + ErrorName(*this, n) + " on " +
                                            TypeName(obj) + ".");
    }
    Object* o = obj.o;
    bool pub = n.HasPublic() && !n.attribute;
    if (IsProxied(o, n)) {
        o->SetIndexed(*this, ProxyName(*this, n, KeyOf(*this, n)), v);
        return;
    }
    if (o->kind != ObjKind::Proxy && pub && !IsXmlKind(o)) {
        if (o->SetIndexed(*this, n.attribute ? Value::Str(Str("@" + ToStdString(KeyOf(*this, n)))) : KeyOf(*this, n), v))
            return;
    }
    if (IsXmlKind(o)) return XmlPut(*this, o, n, v);
    if (o->traits && n.name) {
        if (const Binding* b = o->traits->Find(n)) {
            switch (b->kind) {
            case Binding::Const:
                if (!init)
                    ReferenceError(kErrConstWrite, "Illegal write to read-only property " + n.name->text + " on " +
                                                       TypeName(obj) + ".");
                [[fallthrough]];
            case Binding::Slot: {
                o->slots[b->slot] = CoerceSlot(const_cast<SlotInfo&>(o->traits->slots[b->slot]), v);
                return;
            }
            case Binding::Method:
                ReferenceError(1037, "Cannot assign to a method " + n.name->text + " on " + TypeName(obj) + ".");
            case Binding::Accessor: {
                if (!b->setter)
                    ReferenceError(kErrReadOnly, "Illegal write to read-only property " + n.name->text + " on " +
                                                     TypeName(obj) + ".");
                const VEntry& e = o->traits->vtable[b->setter - 1];
                Invoke(e.method, e.declarer, e.declarer ? e.declarer->scope : nullptr, obj, &v, 1);
                return;
            }
            default: break;
            }
        }
    }
    if (pub && o->IsDynamic()) {
        String* key = n.name ? n.name : ToString(n.key);
        o->Dyn().Set(Intern(key), v);
        return;
    }
    ReferenceError(kErrWriteSealed, "Cannot create property " + ErrorName(*this, n) + " on " +
                                        TypeName(obj) + ".");
}

bool Machine::DeleteProperty(const Value& obj, const Name& n) {
    if (obj.IsNullish()) NullError(obj);
    if (!obj.IsObject())
        ReferenceError(1120, "Cannot delete property " + ErrorName(*this, n) + " on " + TypeName(obj) + ".");
    Object* o = obj.o;
    bool result = false;
    if (IsProxied(o, n)) {
        o->DeleteIndexed(*this, ProxyName(*this, n, KeyOf(*this, n)), result);
        return result;
    }
    if (IsXmlKind(o)) return XmlDelete(*this, o, n);
    if (o->kind != ObjKind::Proxy && n.HasPublic()) {
        Value key = n.attribute ? Value::Str(Str("@" + ToStdString(KeyOf(*this, n)))) : KeyOf(*this, n);
        if (o->DeleteIndexed(*this, key, result)) return result;
    }
    if (o->traits && o->traits->Find(n)) return false;
    if (!o->IsDynamic()) return false;  // a sealed object has nothing to delete
    if (n.HasPublic() && o->dyn) {
        String* key = n.name ? n.name : Intern(ToString(n.key));
        o->dyn->Remove(key);
    }
    return true;
}

bool Machine::HasProperty(const Value& obj, const Name& n) {
    if (obj.IsNullish()) NullError(obj);
    Object* o = obj.IsObject() ? obj.o : nullptr;
    if (IsProxied(o, n)) {
        bool result = false;
        o->HasIndexed(*this, ProxyName(*this, n, KeyOf(*this, n)), result);
        return result;
    }
    if (o && IsXmlKind(o) && XmlHas(*this, o, n)) return true;
    if (o && o->kind != ObjKind::Proxy && n.HasPublic()) {
        bool result = false;
        if (o->HasIndexed(*this, KeyOf(*this, n), result)) return result;
    }
    const Traits* t = o ? o->traits : ClassOf(obj)->instanceTraits;
    if (t && t->Find(n)) return true;
    if (!n.HasPublic()) return false;
    String* key = n.name ? n.name : Intern(ToString(n.key));
    if (o && o->dyn && o->dyn->Find(key)) return true;
    for (Object* p = o ? o->proto : ProtoOf(obj); p; p = p->proto)
        if (p->dyn && p->dyn->Find(key)) return true;
    return false;
}

bool Machine::HasOwnProperty(const Value& obj, String* name) {
    if (!obj.IsObject()) {
        Name n = PublicName(name);
        return ClassOf(obj)->instanceTraits->Find(n) != nullptr;
    }
    Object* o = obj.o;
    bool result = false;
    if (o->HasIndexed(*this, Value::Str(name), result)) return result;
    Name n = PublicName(name);
    if (o->traits && o->traits->Find(n)) {
        // Fixed properties count on instances (not through prototypes).
        return true;
    }
    return o->dyn && o->dyn->Find(Intern(name));
}

Value Machine::CallProperty(const Value& obj, const Name& n, Args args, int argc, bool lex) {
    if (obj.IsNullish()) NullError(obj);
    Object* o = obj.IsObject() ? obj.o : nullptr;
    const Traits* t = o ? o->traits : ClassOf(obj)->instanceTraits;
    if (t && n.name) {
        if (const Binding* b = t->Find(n); b && b->kind == Binding::Method) {
            const VEntry& e = t->vtable[b->method];
            return Invoke(e.method, e.declarer, e.declarer ? e.declarer->scope : nullptr, obj, args, argc);
        }
    }
    if (o && IsXmlKind(o)) return XmlCall(*this, obj, n, args, argc);
    if (IsProxied(o, n)) {
        Value call[8];
        int count = std::min(argc, 7);
        call[0] = ProxyName(*this, n, KeyOf(*this, n));
        for (int i = 0; i < count; ++i) call[i + 1] = args[i];
        return CallProperty(obj, Name{Intern("callProperty"), nullptr, proxyNs}, call, count + 1);
    }
    Value f = GetProperty(obj, n);
    if (!f.IsObject() || (f.o->kind != ObjKind::Function && f.o->kind != ObjKind::Class)) {
        if (o && !o->IsDynamic() && f.IsUndefined() && n.name)
            ReferenceError(kErrReadSealed, "Property " + ErrorName(*this, n) + " not found on " + TypeName(obj) +
                                               " and there is no default value.");
        TypeError(kErrCallOfNonFunction, "value is not a function.");
    }
    return Call(f, lex ? Value::Null() : obj, args, argc);
}

Value Machine::ConstructProperty(const Value& obj, const Name& n, Args args, int argc) {
    Value c = GetProperty(obj, n);
    if (!c.IsObject() || (c.o->kind != ObjKind::Class && c.o->kind != ObjKind::Function))
        TypeError(kErrConstructOfNonFunction, "Instantiation attempted on a non-constructor.");
    return Construct(c, args, argc);
}

namespace {

// A super access first takes its receiver as the declaring class's type:
// anything else fails to convert, and undefined becomes a null reference.
void SuperReceiver(Machine& m, const Value& obj, ClassObject* declarer) {
    bool classSide = obj.IsObject() && obj.o == declarer;
    Value self = declarer && !classSide ? m.Coerce(obj, declarer) : obj;
    if (self.IsNullish()) m.NullError(Value::Null());
}

}  // namespace

Value Machine::GetSuper(const Value& obj, ClassObject* declarer, const Name& n) {
    SuperReceiver(*this, obj, declarer);
    ClassObject* base = declarer ? declarer->base : nullptr;
    const Traits* t = base ? base->instanceTraits : nullptr;
    if (t) {
        if (const Binding* b = t->Find(n)) {
            switch (b->kind) {
            case Binding::Slot:
            case Binding::Const: return obj.IsObject() ? obj.o->slots[b->slot] : Value::Undefined();
            case Binding::Method: return Value::Obj(BindMethod(t->vtable[b->method], obj));
            case Binding::Accessor:
                if (b->method) {
                    const VEntry& e = t->vtable[b->method - 1];
                    return Invoke(e.method, e.declarer, e.declarer ? e.declarer->scope : nullptr, obj, nullptr, 0);
                }
                break;
            default: break;
            }
        }
    }
    return GetProperty(obj, n);
}

void Machine::SetSuper(const Value& obj, ClassObject* declarer, const Name& n, const Value& v) {
    SuperReceiver(*this, obj, declarer);
    ClassObject* base = declarer ? declarer->base : nullptr;
    const Traits* t = base ? base->instanceTraits : nullptr;
    if (t)
        if (const Binding* b = t->Find(n); b && b->kind == Binding::Accessor && b->setter) {
            const VEntry& e = t->vtable[b->setter - 1];
            Invoke(e.method, e.declarer, e.declarer ? e.declarer->scope : nullptr, obj, &v, 1);
            return;
        }
    SetProperty(obj, n, v);
}

Value Machine::CallSuper(const Value& obj, ClassObject* declarer, const Name& n, Args args, int argc) {
    SuperReceiver(*this, obj, declarer);
    ClassObject* base = declarer ? declarer->base : nullptr;
    const Traits* t = base ? base->instanceTraits : nullptr;
    if (t)
        if (const Binding* b = t->Find(n); b && b->kind == Binding::Method) {
            const VEntry& e = t->vtable[b->method];
            return Invoke(e.method, e.declarer, e.declarer ? e.declarer->scope : nullptr, obj, args, argc);
        }
    Value f = GetSuper(obj, declarer, n);
    return Call(f, obj, args, argc);
}

Value Machine::CoerceSlot(SlotInfo& si, const Value& v) {
    if (!si.type) return v;
    if (!si.resolved) {
        si.typeClass = ResolveType(*si.module, si.type);
        // A class still being defined (its own statics) resolves later.
        si.resolved = si.typeClass != nullptr;
    }
    if (!si.typeClass) return v.IsUndefined() ? Value::Null() : v;
    return Coerce(v, si.typeClass);
}

Value Machine::GetSlot(const Value& obj, uint32_t id) {
    if (obj.IsNullish()) NullError(obj);
    if (!obj.IsObject() || id == 0 || id > obj.o->slots.size())
        throw ScriptAbort{"slot " + std::to_string(id) + " out of range"};
    return obj.o->slots[id - 1];
}

void Machine::SetSlot(const Value& obj, uint32_t id, const Value& v) {
    if (obj.IsNullish()) NullError(obj);
    if (!obj.IsObject() || id == 0 || id > obj.o->slots.size())
        throw ScriptAbort{"slot " + std::to_string(id) + " out of range"};
    Object* o = obj.o;
    o->slots[id - 1] = CoerceSlot(const_cast<SlotInfo&>(o->traits->slots[id - 1]), v);
}

}  // namespace swf::avm2
