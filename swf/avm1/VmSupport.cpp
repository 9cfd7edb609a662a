// Object creation helpers for the built-ins, the random source, and the
// timers of setInterval and setTimeout.
//
// Timers follow the host's clock (Host::Now), so a capture at a given
// frame always sees the same calls. Each due timer fires at most once per
// RunTimers; an interval that fell behind is rescheduled from now rather
// than replayed.
#include <algorithm>

#include "swf/avm1/Vm.h"

namespace swf::avm1 {

Object* Vm::NewObject(Object* proto) { return heap_.New(ObjClass::Object, proto ? proto : objectProto); }

Object* Vm::NewArray(std::vector<Value> elems) {
    Object* a = heap_.New(ObjClass::Array, arrayProto);
    SetArrayValues(a, std::move(elems));
    return a;
}

std::vector<Value> Vm::ArrayValues(Object* a) {
    std::vector<Value> out;
    const size_t n = size_t(std::clamp<int32_t>(a->length, 0, kMaxArrayWalk));
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const Property* p = a->Find(std::to_string(i), Ci());
        out.push_back(p ? p->value : Value());
    }
    return out;
}

void Vm::SetArrayValues(Object* a, std::vector<Value> values) {
    const size_t old = size_t(std::clamp<int32_t>(a->length, 0, kMaxArrayWalk));
    if (values.size() > size_t(kMaxArrayWalk)) values.resize(size_t(kMaxArrayWalk));
    for (size_t i = 0; i < values.size(); ++i) {
        Property& p = a->Put(std::to_string(i), Ci());
        p.value = std::move(values[i]);
    }
    for (size_t i = values.size(); i < old; ++i) a->Remove(std::to_string(i), Ci());
    a->length = int32_t(values.size());
}

void Vm::ArrayPush(Object* a, const Value& v) {
    if (a->length < 0 || a->length >= kMaxArrayWalk) return;
    a->Put(std::to_string(a->length), Ci()).value = v;
    ++a->length;
}

Object* Vm::NewNative(NativeFn fn, int magic) {
    Object* o = heap_.New(ObjClass::Function, functionProto);
    o->fn = std::make_unique<FunctionData>();
    o->fn->native = fn;
    o->fn->magic = magic;
    return o;
}

void Vm::SetHidden(Object* on, const std::string& name, const Value& v) {
    Property& p = on->Put(name, Ci());
    p.value = v;
    p.flags |= kDontEnum;
}

void Vm::DefineNative(Object* on, const std::string& name, NativeFn fn, int magic) {
    SetHidden(on, name, Value::Obj(NewNative(fn, magic)));
}

namespace {
Value IgnoreWrite(CallArgs&) { return Value(); }
}  // namespace

void Vm::DefineAccessor(Object* on, const std::string& name, NativeFn get, NativeFn set, int magic) {
    Property& p = on->Put(name, Ci());
    p.getter = get ? NewNative(get, magic) : nullptr;
    p.setter = NewNative(set ? set : IgnoreWrite, magic);
    p.value = Value();
    p.flags = kDontEnum | kDontDelete;
}

Object* Vm::DefineClass(const std::string& name, NativeFn ctor, Object* proto) {
    return DefineClassIn(global, name, ctor, proto);
}

Object* Vm::DefineClassIn(Object* package, const std::string& name, NativeFn ctor, Object* proto, int magic) {
    Object* c = NewNative(ctor, magic);
    SetHidden(c, "prototype", Value::Obj(proto));
    c->Find("prototype", false)->flags |= kDontDelete;
    SetHidden(proto, "constructor", Value::Obj(c));
    SetHidden(package, name, Value::Obj(c));
    return c;
}

Object* Vm::FlashPackage(const std::string& name) {
    auto child = [this](Object* on, const std::string& n) {
        const Value v = Get(on, n, Value::Obj(on));
        if (v.IsObject()) return v.o;
        Object* o = NewObject();
        SetHidden(on, n, Value::Obj(o));
        return o;
    };
    return child(child(global, "flash"), name);
}

double Vm::Random() {
    // xorshift64*: small, and the same sequence on every machine.
    rng_ ^= rng_ >> 12;
    rng_ ^= rng_ << 25;
    rng_ ^= rng_ >> 27;
    const uint64_t r = rng_ * 0x2545F4914F6CDD1Dull;
    return static_cast<double>(r >> 11) / 9007199254740992.0;
}

int Vm::AddTimer(const Value& fn, const Value& self, const std::string& method, double ms,
                 std::vector<Value> args, bool repeat) {
    if (timers_.size() >= kMaxTimers) return 0;
    if (!(ms >= 0)) ms = 0;
    Timer t{nextTimer_++, fn, self, method, ms, host_.Now() + ms, std::move(args), repeat};
    timers_.push_back(std::move(t));
    return timers_.back().id;
}

void Vm::ClearTimer(int id) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; }),
                  timers_.end());
}

bool Vm::CallHandler(const Value& self, const std::string& name, const std::vector<Value>& args) {
    Value fn;
    try {
        fn = GetMember(self, name);  // may run a getter
    } catch (const ScriptAbort& a) {
        Report(name + " stopped: " + a.why);
    } catch (const ScriptThrow& e) {
        Report(name + " threw " + ToString(e.value));
    }
    depth_ = 0;
    return CallFromHost(fn, self, args);
}

bool Vm::CallFromHost(const Value& fn, const Value& self, const std::vector<Value>& args) {
    if (!IsFunction(fn)) return false;
    const size_t savedStack = stack_.size();
    try {
        Call(fn, self, args);
    } catch (const ScriptAbort& a) {
        Report("handler stopped: " + a.why);
    } catch (const ScriptThrow& e) {
        Report("handler threw " + ToString(e.value));
    }
    stack_.resize(savedStack);
    depth_ = 0;
    return true;
}

void Vm::CallApart(const Value& fn, const Value& self) {
    if (!IsFunction(fn)) return;
    const size_t savedStack = stack_.size();
    const int savedDepth = depth_;
    try {
        Call(fn, self, {});
    } catch (const ScriptThrow& e) {
        const std::string what = ToString(e.value);
        Report("handler threw " + what);
        host_.Trace("Warning: Uncaught exception, " + what);
        stack_.resize(savedStack);
        depth_ = savedDepth;
    }
}

void Vm::RunTimers() {
    const double now = host_.Now();
    std::vector<int> due;
    for (const Timer& t : timers_)
        if (t.due <= now) due.push_back(t.id);
    for (int id : due) {
        auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
        if (it == timers_.end()) continue;  // cleared by an earlier one
        Timer t = *it;
        if (t.repeat) {
            it->due = std::max(it->due + std::max(t.interval, 1.0), now);
        } else {
            timers_.erase(it);
        }
        const size_t savedStack = stack_.size();
        try {
            if (t.method.empty()) Call(t.fn, t.self, t.args);
            else CallMethod(t.self, t.method, t.args);
        } catch (const ScriptAbort& a) {
            Report("timer stopped: " + a.why);
        } catch (const ScriptThrow& e) {
            Report("timer threw " + ToString(e.value));
        }
        stack_.resize(savedStack);
        depth_ = 0;
    }
}

}  // namespace swf::avm1
