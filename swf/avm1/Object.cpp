#include "swf/avm1/Object.h"

#include <algorithm>

namespace swf::avm1 {

namespace {

constexpr size_t kIndexFrom = 12;
// Storage kept by a cleared object, and how many cleared objects are kept.
constexpr size_t kKeepCapacity = 16;
constexpr size_t kMaxSpare = 4096;

// Under the address sanitizer dead objects are freed, so a stale pointer
// to one is caught rather than reaching a reused object.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kReuse = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kReuse = false;
#else
constexpr bool kReuse = true;
#endif
#else
constexpr bool kReuse = true;
#endif

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string LowerAscii(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = Lower(c);
    return out;
}

bool ArrayIndexName(const std::string& name, int32_t& index) {
    const bool negative = !name.empty() && name[0] == '-';
    if (name.size() == size_t(negative)) return false;
    uint32_t v = 0;
    for (size_t i = negative; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
        v = v * 10 + uint32_t(name[i] - '0');
    }
    index = static_cast<int32_t>(negative ? 0u - v : v);
    return true;
}

bool EqualNames(const std::string& a, const std::string& b, bool ci) {
    if (a.size() != b.size()) return false;
    if (!ci) return a == b;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

const Value& CallArgs::Arg(size_t i) const {
    static const Value kUndefined;
    return i < args.size() ? args[i] : kUndefined;
}

void Object::Reindex(bool ci) {
    index_ = std::make_unique<std::unordered_map<std::string, uint32_t>>();
    indexCi_ = ci;
    for (size_t i = 0; i < props_.size(); ++i)
        index_->emplace(ci ? LowerAscii(props_[i].name) : props_[i].name, static_cast<uint32_t>(i));
}

Property* Object::Find(const std::string& name, bool ci) {
    if (index_) {
        if (indexCi_ != ci) Reindex(ci);
        auto it = index_->find(ci ? LowerAscii(name) : name);
        return it == index_->end() ? nullptr : &props_[it->second];
    }
    for (Property& p : props_)
        if (EqualNames(p.name, name, ci)) return &p;
    return nullptr;
}

Property& Object::Put(const std::string& name, bool ci) {
    if (Property* p = Find(name, ci)) return *p;
    props_.push_back(Property{name, Value(), nullptr, nullptr, 0});
    if (index_)
        index_->emplace(ci ? LowerAscii(name) : name, static_cast<uint32_t>(props_.size() - 1));
    else if (props_.size() > kIndexFrom)
        Reindex(ci);
    return props_.back();
}

bool Object::Remove(const std::string& name, bool ci) {
    Property* p = Find(name, ci);
    if (!p) return false;
    const uint32_t at = static_cast<uint32_t>(p - props_.data());
    if (index_) {
        // Find left the index keyed for `ci`. Dropping the last property
        // (an array's pop) costs nothing; others shift the positions after it.
        index_->erase(ci ? LowerAscii(name) : name);
        if (at + 1 != props_.size())
            for (auto& entry : *index_)
                if (entry.second > at) --entry.second;
    }
    props_.erase(props_.begin() + at);
    return true;
}

void Object::Clear() {
    marked = false;
    fn.reset();
    elems.clear();
    if (elems.capacity() > kKeepCapacity) std::vector<Value>().swap(elems);
    primitive = Value();
    length = 0;
    clip = 0;
    interfaces.clear();
    watches.reset();
    native.reset();
    props_.clear();
    if (props_.capacity() > kKeepCapacity) std::vector<Property>().swap(props_);
    index_.reset();
    indexCi_ = false;
}

Object* Heap::New(ObjClass cls, Object* proto) {
    if (spare_.empty()) {
        objects_.push_back(std::make_unique<Object>(cls, proto));
    } else {
        objects_.push_back(std::move(spare_.back()));
        spare_.pop_back();
        objects_.back()->cls = cls;
        objects_.back()->proto = proto;
    }
    ++sinceCollect_;
    return objects_.back().get();
}

void Heap::Mark(Object* o) {
    if (!o || o->marked) return;
    o->marked = true;
    grey_.push_back(o);
    // Marking is iterative: a long prototype chain or linked list must not
    // recurse once per link.
    while (!grey_.empty()) {
        Object* next = grey_.back();
        grey_.pop_back();
        Trace(next);
    }
}

void Heap::Trace(Object* o) {
    auto push = [this](Object* x) {
        if (x && !x->marked) {
            x->marked = true;
            grey_.push_back(x);
        }
    };
    auto pushValue = [&push](const Value& v) {
        if (v.kind == Value::Kind::Object) push(v.o);
    };
    push(o->proto);
    for (const Property& p : o->Props()) {
        pushValue(p.value);
        push(p.getter);
        push(p.setter);
    }
    for (const Value& v : o->elems) pushValue(v);
    pushValue(o->primitive);
    for (Object* i : o->interfaces) push(i);
    if (o->fn) {
        for (Object* s : o->fn->scope) push(s);
        pushValue(o->fn->target);
        if (o->fn->pool)
            for (const Value& v : *o->fn->pool) pushValue(v);
    }
    if (o->watches)
        for (const auto& w : *o->watches) {
            push(w.second.fn);
            pushValue(w.second.data);
        }
}

void Heap::Sweep() {
    size_t kept = 0;
    for (auto& obj : objects_) {
        if (obj->marked) {
            obj->marked = false;
            objects_[kept++] = std::move(obj);
        } else if (kReuse && spare_.size() < kMaxSpare) {
            obj->Clear();
            spare_.push_back(std::move(obj));
        }
    }
    objects_.resize(kept);
    sinceCollect_ = 0;
    threshold_ = std::max(kMinCollect, kept);
}

}  // namespace swf::avm1
