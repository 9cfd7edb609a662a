// Member access: own properties, then the prototype chain; getters and
// setters from addProperty (also found on prototypes), watchers, read-only
// flags, array elements and `length`, and the clip members of Clips.cpp.
#include <algorithm>
#include <cmath>

#include "swf/avm1/Frame.h"
#include "swf/avm1/Vm.h"
#include "swf/avm1/Text.h"

namespace swf::avm1 {

namespace {

constexpr int kMaxProtoChain = 256;
bool IsArrayLike(const Object* o) { return o->cls == ObjClass::Array || o->cls == ObjClass::Arguments; }

// A lookup that went the whole way without an end (a prototype loop)
// stops the script.
void TooLongChain(Object* o) {
    int hops = 0;
    for (Object* p = o; p; p = p->proto)
        if (++hops > kMaxProtoChain) throw ScriptAbort{"prototype chain too long"};
}

}  // namespace

// One more getter, setter or watcher running for a property; Refused()
// once as many run as the movie's version allows (SWF 6 runs none inside
// another, later versions 65 deep).
class AccessGuard {
public:
    AccessGuard(Vm& vm, const Object* holder, const std::string& name)
        : vm_(vm), key_(holder, vm.Ci() ? LowerAscii(name) : name) {
        int& n = vm_.accessing_[key_];
        refused_ = n >= (vm_.version_ >= 7 ? kDeepest : 1);
        if (!refused_) ++n;
    }
    ~AccessGuard() {
        auto it = vm_.accessing_.find(key_);
        if (refused_ || it == vm_.accessing_.end()) return;
        if (--it->second <= 0) vm_.accessing_.erase(it);
    }
    AccessGuard(const AccessGuard&) = delete;
    AccessGuard& operator=(const AccessGuard&) = delete;
    bool Refused() const { return refused_; }

private:
    static constexpr int kDeepest = 65;
    Vm& vm_;
    std::pair<const Object*, std::string> key_;
    bool refused_ = false;
};

Value Vm::Get(Object* o, const std::string& name, const Value& self) {
    if (name == "__proto__") {
        if (o->proto) return Value::Obj(o->proto);
        // A primitive prototype given by `new` ends the chain but reads back.
        const Property* kept = o->Find(name, Ci());
        return kept ? kept->value : Value();
    }
    int hops = 0;
    for (Object* p = o; p && hops < kMaxProtoChain; p = p->proto, ++hops) {
        if (IsArrayLike(p) && p == o && name == "length") {
            // addProperty on length takes over reading it.
            if (Property* prop = p->Find(name, Ci()); prop && prop->getter)
                return Call(Value::Obj(prop->getter), self, {});
            return Value::Num(double(p->length));
        }
        if (p->cls == ObjClass::String && p == o && name == "length")
            return Value::Num(double(Chars(p->primitive.Text(), version_ >= 6).size()));
        if (p->cls == ObjClass::Clip && p == o) {
            Value out;
            if (ClipGet(p, name, out)) return out;
            continue;
        }
        if (Property* prop = p->Find(name, Ci())) {
            if (HiddenFor(prop->flags, version_)) continue;
            return ReadProperty(p, *prop, name, self);
        }
    }
    TooLongChain(o);
    return Resolve(o, name, self);
}

// A missing member goes to the object's __resolve(name) when it has one.
Value Vm::Resolve(Object* o, const std::string& name, const Value& self) {
    static const std::string kResolve = "__resolve";
    if (EqualNames(name, kResolve, Ci())) return Value();
    int hops = 0;
    for (Object* p = o; p && hops < kMaxProtoChain; p = p->proto, ++hops) {
        if (Property* prop = p->Find(kResolve, Ci())) {
            if (!IsFunction(prop->value)) return Value();
            const Value fn = prop->value;
            return Call(fn, self, {Value::String(name)});
        }
    }
    return Value();
}

bool Vm::HasProperty(Object* o, const std::string& name) {
    int hops = 0;
    for (Object* p = o; p && hops < kMaxProtoChain; p = p->proto, ++hops) {
        if (IsArrayLike(p) && name == "length") return true;
        if (p->cls == ObjClass::String && p == o && name == "length") return true;
        if (p->Find(name, Ci())) return true;
        Value out;
        if (p->cls == ObjClass::Clip && ClipGet(p, name, out)) return true;
    }
    TooLongChain(o);
    return false;
}

void Vm::Put(Object* o, const std::string& name, const Value& v) {
    if (name == "__proto__") {
        if (v.IsObject()) o->proto = v.o;
        else if (v.IsNullish()) o->proto = nullptr;
        else return;
        o->Remove(name, Ci());  // a primitive one kept by `new` is replaced
        return;
    }
    if (IsArrayLike(o)) {
        if (name == "length") {
            SetArrayLength(o, ToInt32(ToNumber(v)));
            return;
        }
        // An element at or past the end moves the end, in 32 bits: a[2^31 - 1]
        // makes the length -2^31, which drops the elements below it.
        int32_t i;
        if (ArrayIndexName(name, i) && i >= o->length) SetArrayLength(o, static_cast<int32_t>(uint32_t(i) + 1u));
    }
    if (o->cls == ObjClass::Clip && ClipSet(o, name, v)) return;
    Property* own = o->Find(name, Ci());
    // A property hidden from this version is written as a new one.
    if (own && HiddenFor(own->flags, version_)) *own = Property{own->name, Value(), nullptr, nullptr, 0};
    if (own && (own->flags & kReadOnly)) return;
    Value value = v;
    if (o->watches) {
        auto it = o->watches->find(Ci() ? LowerAscii(name) : name);
        if (it != o->watches->end()) {
            AccessGuard guard(*this, o, name);
            if (guard.Refused()) {
                PutPlain(o, name, v);
                return;
            }
            const Watch w = it->second;
            // The stored value, inherited or not; no getter runs for it.
            Value old;
            int hops = 0;
            for (Object* p = o; p && hops < kMaxProtoChain; p = p->proto, ++hops)
                if (const Property* q = p->Find(name, Ci())) {
                    old = q->value;
                    break;
                }
            try {
                // A clip's watcher gets the clip as `this`, not its variables' object.
                const Value self = o->cls == ObjClass::Clip && o->clip ? ClipValue(o->clip) : Value::Obj(o);
                value = Call(Value::Obj(w.fn), self, {Value::String(name), old, v, w.data});
            } catch (const ScriptThrow&) {
                // A throwing watcher leaves the property undefined and keeps watching.
                Property* p = o->Find(name, Ci());
                if (!p) p = &o->Put(name, Ci());
                if (!p->getter && !p->setter) p->value = Value();
                throw;
            }
            own = o->Find(name, Ci());  // the watcher may have changed the object
        }
    }
    if (!own) {
        // A setter on a prototype handles the write for this object.
        int hops = 0;
        for (Object* p = o->proto; p && hops < kMaxProtoChain; p = p->proto, ++hops) {
            Property* inherited = p->Find(name, Ci());
            if (!inherited || HiddenFor(inherited->flags, version_)) continue;  // unseen by this version
            if (inherited->setter) {
                AccessGuard guard(*this, p, name);
                if (guard.Refused()) inherited->value = value;
                else Call(Value::Obj(inherited->setter), Value::Obj(o), {value});
                return;
            }
            break;
        }
    }
    if (own && own->setter) {
        // The written value stays behind the setter: reads past the
        // nesting limit find it.
        {
            AccessGuard guard(*this, o, name);
            if (!guard.Refused()) Call(Value::Obj(own->setter), Value::Obj(o), {value});
        }
        if (Property* p = o->Find(name, Ci())) p->value = std::move(value);
        return;
    }
    if (own && own->getter) return;  // a getter without setter is read-only
    if (!own) own = &o->Put(name, Ci());
    own->value = std::move(value);
}

Value Vm::ReadProperty(Object* holder, const Property& prop, const std::string& name, const Value& self) {
    if (!prop.getter && !prop.setter) return prop.value;
    AccessGuard guard(*this, holder, name);
    if (guard.Refused()) return prop.value;
    if (!prop.getter) return Value();
    callHome_ = holder;
    return Call(Value::Obj(prop.getter), self, {});
}

// A write past the nesting limit: no watcher or setter runs.
void Vm::PutPlain(Object* o, const std::string& name, const Value& v) {
    Property* own = o->Find(name, Ci());
    if (!own) own = &o->Put(name, Ci());
    if (!(own->flags & kReadOnly)) own->value = v;
}

// A shorter array loses the elements past its new end (those that may be
// deleted); the rest of its properties stay.
void Vm::SetArrayLength(Object* o, int32_t length) {
    if (length < o->length) {
        const int64_t from = std::max<int32_t>(length, 0);
        std::vector<std::string> gone;
        for (const Property& p : o->Props()) {
            int32_t i;
            if (!(p.flags & kDontDelete) && ArrayIndexName(p.name, i) && i >= from && i < o->length)
                gone.push_back(p.name);
        }
        for (const std::string& name : gone) o->Remove(name, Ci());
    }
    o->length = length;
}

bool Vm::DeleteMember(Object* o, const std::string& name) {
    Property* p = o->Find(name, Ci());
    if (!p || (p->flags & kDontDelete)) return false;
    return o->Remove(name, Ci());
}

std::vector<std::string> Vm::EnumNames(Object* o) {
    std::vector<std::string> names;
    const bool ci = Ci();
    auto has = [ci](Object* q, const std::string& name) { return q->Find(name, ci) != nullptr; };
    // A name on a nearer object hides the same name further up the chain.
    // Looked up on those objects rather than kept in a set: enumerating a
    // big array costs one string per element and nothing more.
    auto hidden = [&](Object* upto, const std::string& name) {
        for (Object* q = o; q != upto; q = q->proto)
            if (has(q, name)) return true;
        return false;
    };
    std::vector<Object*> chain;  // a looping chain ends where it comes back
    for (Object* p = o; p && chain.size() < size_t(kMaxProtoChain); p = p->proto) {
        if (std::find(chain.begin(), chain.end(), p) != chain.end()) break;
        chain.push_back(p);
        for (const Property& prop : p->Props()) {
            if (prop.flags & kDontEnum) continue;
            if (p != o && hidden(p, prop.name)) continue;
            names.push_back(prop.name);
        }
    }
    return names;
}

Value Vm::GetMember(const Value& obj, const std::string& name) {
    if (obj.kind == Value::Kind::String || obj.kind == Value::Kind::Number || obj.kind == Value::Kind::Bool) {
        // A class put in place of the built-in one makes an object to read.
        const Value wrapped = WrapPrimitive(obj);
        if (wrapped.IsObject()) return Get(wrapped.o, name, wrapped);
        if (wrapped.kind != obj.kind) return Value();
    }
    switch (obj.kind) {
    case Value::Kind::String:
        if (name == "length") return Value::Num(double(Chars(*obj.s, version_ >= 6).size()));
        return Get(stringProto, name, obj);
    case Value::Kind::Number: return Get(numberProto, name, obj);
    case Value::Kind::Bool: return Get(booleanProto, name, obj);
    case Value::Kind::Clip: {
        ClipId id = ClipOf(obj);
        return id ? Get(ClipObject(id), name, obj) : Value();
    }
    case Value::Kind::Object:
        if (obj.o->cls == ObjClass::Super && !obj.o->elems.empty()) {
            RefreshSuper(*this, obj.o);
            return obj.o->proto ? Get(obj.o->proto, name, obj.o->elems[0]) : Value();
        }
        return Get(obj.o, name, obj);
    default: return Value();
    }
}

void Vm::SetMember(const Value& obj, const std::string& name, const Value& v) {
    if (obj.IsObject()) {
        Put(obj.o, name, v);
    } else if (obj.IsClip()) {
        if (ClipId id = ClipOf(obj)) Put(ClipObject(id), name, v);
    }
}

}  // namespace swf::avm1
