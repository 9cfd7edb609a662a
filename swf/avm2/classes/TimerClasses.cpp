// flash.utils.Timer and TimerEvent, setTimeout/setInterval and their
// clears, all on the movie's clock: time passes a frame at a time and
// what is due fires between frames, each timer at most once a frame.
#include <algorithm>
#include <cmath>

#include "swf/avm2/classes/DataState.h"
#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/Timers.h"

namespace swf::avm2 {

namespace {

class TimerObject : public DispatcherObject {
public:
    TimerObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    double delay = 0;
    int32_t repeatCount = 0, currentCount = 0;
    bool running = false;
};

Object* AllocTimer(Machine& m, ClassObject* cls) { return m.New<TimerObject>(cls, cls->prototype); }
Object* AllocTimerEvent(Machine& m, ClassObject* cls) { return m.New<EventObject>(cls, cls->prototype); }

TimerObject* Self(Machine& m, const Value& v) {
    auto* t = v.IsObject() ? dynamic_cast<TimerObject*>(v.o) : nullptr;
    if (!t) m.NullError(Value::Null());
    return t;
}

double CheckDelay(Machine& m, const Value& v) {
    double d = m.ToNumber(v);
    if (!(d >= 0) || !std::isfinite(d)) m.RangeError(2066, "The Timer delay specified is out of range.");
    return d;
}

void Unschedule(DataStateObject& d, Object* timer) {
    auto& p = d.pending;
    p.erase(std::remove_if(p.begin(), p.end(),
                           [&](const DataStateObject::Pending& e) { return e.id == 0 && e.target.o == timer; }),
            p.end());
}

void Schedule(Machine& m, TimerObject* t) {
    DataStateObject& d = DataState(m);
    Unschedule(d, t);
    DataStateObject::Pending p;
    p.target = Value::Obj(t);
    p.due = d.clock + t->delay;
    p.interval = t->delay;
    d.pending.push_back(p);
}

Value TimerInit(Machine& m, Value self, Args args, int argc) {
    TimerObject* t = Self(m, self);
    t->delay = CheckDelay(m, Arg(args, argc, 0));
    t->repeatCount = m.ToInt32(Arg(args, argc, 1));
    return Value::Undefined();
}

Value GetDelay(Machine& m, Value self, Args, int) { return Value::Number(Self(m, self)->delay); }
Value SetDelay(Machine& m, Value self, Args args, int argc) {
    TimerObject* t = Self(m, self);
    t->delay = CheckDelay(m, Arg(args, argc, 0));
    if (t->running) Schedule(m, t);
    return Value::Undefined();
}
Value GetRepeat(Machine& m, Value self, Args, int) { return Value::Int(Self(m, self)->repeatCount); }
Value SetRepeat(Machine& m, Value self, Args args, int argc) {
    TimerObject* t = Self(m, self);
    t->repeatCount = m.ToInt32(Arg(args, argc, 0));
    if (t->running && t->repeatCount > 0 && t->currentCount >= t->repeatCount) {
        t->running = false;
        Unschedule(DataState(m), t);
    }
    return Value::Undefined();
}
Value GetCount(Machine& m, Value self, Args, int) { return Value::Int(Self(m, self)->currentCount); }
Value GetRunning(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->running); }

Value Start(Machine& m, Value self, Args, int) {
    TimerObject* t = Self(m, self);
    if (t->running) return Value::Undefined();
    t->running = true;
    Schedule(m, t);
    return Value::Undefined();
}

Value Stop(Machine& m, Value self, Args, int) {
    TimerObject* t = Self(m, self);
    t->running = false;
    Unschedule(DataState(m), t);
    return Value::Undefined();
}

Value Reset(Machine& m, Value self, Args args, int argc) {
    Stop(m, self, args, argc);
    Self(m, self)->currentCount = 0;
    return Value::Undefined();
}

void Send(Machine& m, TimerObject* t, const char* type) {
    ClassObject* c = m.FindClass("flash.events.TimerEvent");
    auto* e = static_cast<EventObject*>(m.Instantiate(c));
    e->type = m.Intern(type);
    e->target = Value::Null();
    e->currentTarget = Value::Null();
    TempRoot keep(m, Value::Obj(e));
    DispatchEvent(m, t, e, true);
}

// TimerEvent ------------------------------------------------------------------

Value TimerEventInit(Machine& m, Value self, Args args, int argc) {
    auto* e = static_cast<EventObject*>(self.o);
    e->type = m.ToString(Arg(args, argc, 0));
    e->bubbles = m.ToBoolean(Arg(args, argc, 1));
    e->cancelable = m.ToBoolean(Arg(args, argc, 2));
    e->target = Value::Null();
    e->currentTarget = Value::Null();
    return Value::Undefined();
}

Value TimerEventToString(Machine& m, Value self, Args, int) {
    Value parts[] = {Value::Str(m.Intern("TimerEvent")), Value::Str(m.Intern("type")),
                     Value::Str(m.Intern("bubbles")), Value::Str(m.Intern("cancelable")),
                     Value::Str(m.Intern("eventPhase"))};
    return m.CallProperty(self, m.PublicName("formatToString"), parts, 5);
}

Value TimerEventClone(Machine& m, Value self, Args, int) {
    auto* e = static_cast<EventObject*>(self.o);
    Value args[] = {Value::Str(e->type), Value::Bool(e->bubbles), Value::Bool(e->cancelable)};
    return m.Construct(Value::Obj(self.o->cls), args, 3);
}

Value Nothing(Machine&, Value, Args, int) { return Value::Undefined(); }

// setTimeout / setInterval ------------------------------------------------------

Value Later(Machine& m, Args args, int argc, bool repeat) {
    Value fn = Arg(args, argc, 0);
    if (!fn.IsObject() || (fn.o->kind != ObjKind::Function && fn.o->kind != ObjKind::Class))
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(fn) + " to Function.");
    DataStateObject& d = DataState(m);
    DataStateObject::Pending p;
    p.target = fn;
    p.interval = std::max(0.0, m.ToNumber(Arg(args, argc, 1)));
    if (std::isnan(p.interval)) p.interval = 0;
    p.due = d.clock + p.interval;
    p.args.assign(args + std::min(argc, 2), args + argc);
    p.repeat = repeat;
    p.id = ++d.lastId;
    d.pending.push_back(p);
    return Value::Uint(p.id);
}

Value SetTimeout(Machine& m, Value, Args args, int argc) { return Later(m, args, argc, false); }
Value SetInterval(Machine& m, Value, Args args, int argc) { return Later(m, args, argc, true); }

Value Clear(Machine& m, Value, Args args, int argc) {
    uint32_t id = m.ToUint32(Arg(args, argc, 0));
    auto& p = DataState(m).pending;
    p.erase(std::remove_if(p.begin(), p.end(), [&](const DataStateObject::Pending& e) { return id && e.id == id; }),
            p.end());
    return Value::Undefined();
}

void Fire(Machine& m, DataStateObject::Pending p) {
    DataStateObject& d = DataState(m);
    if (p.id) {
        if (!p.repeat) Clear(m, Value(), std::vector<Value>{Value::Uint(p.id)}.data(), 1);
        m.Entry([&] { m.Call(p.target, Value::Null(), p.args.data(), int(p.args.size())); });
        return;
    }
    auto* t = static_cast<TimerObject*>(p.target.o);
    ++t->currentCount;
    // The last tick still sees the timer running; it stops before timerComplete.
    m.Entry([&] { Send(m, t, "timer"); });
    if (!t->running || t->repeatCount <= 0 || t->currentCount < t->repeatCount) return;
    t->running = false;
    Unschedule(d, t);
    m.Entry([&] { Send(m, t, "timerComplete"); });
}

}  // namespace

void RunTimers(Machine& m) {
    DataStateObject& d = DataState(m);
    double rate = m.display ? m.display->FrameRate() : 0;
    if (!(rate > 0)) rate = 24;
    ++d.frames;
    d.clock = double(d.frames) * 1000.0 / rate;
    // What is due now, earliest first; each fires once, then goes on
    // from now.
    std::vector<std::pair<double, size_t>> due;
    for (size_t i = 0; i < d.pending.size(); ++i)
        if (d.pending[i].due <= d.clock) due.push_back({d.pending[i].due, i});
    std::stable_sort(due.begin(), due.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<DataStateObject::Pending> firing;
    for (auto& [at, i] : due) {
        d.pending[i].due = d.clock + std::max(d.pending[i].interval, 1.0);
        firing.push_back(d.pending[i]);
    }
    for (DataStateObject::Pending& p : firing) {
        // A callback before may have stopped or cleared this one.
        bool live = false;
        for (const auto& e : d.pending)
            live = live || (p.id ? e.id == p.id : e.id == 0 && e.target.o == p.target.o);
        if (!live) continue;
        TempRoot keep(m, p.target);
        Fire(m, p);
    }
}

void InstallTimers(Machine& m) {
    ClassObject* dispatcher = m.FindClass("flash.events.EventDispatcher");
    ClassObject* t = m.DefineClass("flash.utils", "Timer", dispatcher, AllocTimer, false);
    t->init = m.NewNativeMethod("Timer", TimerInit, 2);
    m.DefineGetter(t, "delay", GetDelay, SetDelay);
    m.DefineGetter(t, "repeatCount", GetRepeat, SetRepeat);
    m.DefineGetter(t, "currentCount", GetCount);
    m.DefineGetter(t, "running", GetRunning);
    m.DefineMethod(t, "start", Start, 0);
    m.DefineMethod(t, "stop", Stop, 0);
    m.DefineMethod(t, "reset", Reset, 0);

    ClassObject* e = m.DefineClass("flash.events", "TimerEvent", m.eventClass, AllocTimerEvent, false);
    e->init = m.NewNativeMethod("TimerEvent", TimerEventInit, 3);
    m.DefineMethod(e, "toString", TimerEventToString, 0);
    m.DefineMethod(e, "clone", TimerEventClone, 0);
    m.DefineMethod(e, "updateAfterEvent", Nothing, 0);
    m.DefineConstant(e, "TIMER", Value::Str(m.Intern("timer")));
    m.DefineConstant(e, "TIMER_COMPLETE", Value::Str(m.Intern("timerComplete")));

    m.DefineGlobalFunction("flash.utils", "setTimeout", SetTimeout, 2);
    m.DefineGlobalFunction("flash.utils", "setInterval", SetInterval, 2);
    m.DefineGlobalFunction("flash.utils", "clearTimeout", Clear, 1);
    m.DefineGlobalFunction("flash.utils", "clearInterval", Clear, 1);
}

}  // namespace swf::avm2
