// The event classes and MovieClip. EventDispatcher keeps listeners and
// sends events; MovieClip keeps frame scripts and moves its engine clip
// through the machine's display host.
#include "swf/avm2/classes/Display.h"

#include <algorithm>
#include <cmath>

namespace swf::avm2 {

bool DispatcherObject::Listens(String* type) const {
    for (const Listener& l : listeners)
        if (l.type == type) return true;
    return false;
}

void DispatcherObject::Trace(Tracer& t) {
    Object::Trace(t);
    t.Mark(focusRect);
    t.Mark(graphics);
    t.Mark(filters);
    for (const Listener& l : listeners) {
        t.Mark(l.type);
        t.Mark(l.fn);
    }
}

void ClipObject::Trace(Tracer& t) {
    DispatcherObject::Trace(t);
    for (const Value& v : frameScripts) t.Mark(v);
}

void EventObject::Trace(Tracer& t) {
    Object::Trace(t);
    t.Mark(type);
    t.Mark(target);
    t.Mark(currentTarget);
    for (const Value& v : fields) t.Mark(v);
}

namespace {

Object* AllocDispatcher(Machine& m, ClassObject* cls) { return m.New<DispatcherObject>(cls, cls->prototype); }
Object* AllocClip(Machine& m, ClassObject* cls) {
    auto* c = m.New<ClipObject>(cls, cls->prototype);
    AttachEngineObject(m, c);
    return c;
}
Object* AllocEvent(Machine& m, ClassObject* cls) { return m.New<EventObject>(cls, cls->prototype); }

DispatcherObject* AsDispatcher(const Value& v) {
    return v.IsObject() && v.o->kind == ObjKind::Display ? static_cast<DispatcherObject*>(v.o) : nullptr;
}

// A clip with an engine clip under it.
ClipObject* AsClip(Machine& m, const Value& v) {
    ClassObject* clip = m.FindClass("flash.display.MovieClip");
    if (m.display && v.IsObject() && v.o->cls && clip && v.o->cls->IsSubclassOf(clip)) {
        auto* c = static_cast<ClipObject*>(v.o);
        return c->serial ? c : nullptr;
    }
    return nullptr;
}

EventObject* AsEvent(Machine& m, const Value& v) {
    if (v.IsObject() && v.o->cls && m.eventClass && v.o->cls->IsSubclassOf(m.eventClass))
        return static_cast<EventObject*>(v.o);
    return nullptr;
}

// EventDispatcher -----------------------------------------------------------

bool IsBroadcast(String* type) {
    return type->text == "enterFrame" || type->text == "frameConstructed" || type->text == "exitFrame" ||
           type->text == "render";
}

Value AddListener(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* d = AsDispatcher(self);
    Value fn = Arg(args, argc, 1);
    if (!d) return Value::Undefined();
    if (!fn.IsObject() || fn.o->kind != ObjKind::Function)
        m.TypeError(2007, "Parameter listener must be non-null.");
    String* type = m.Intern(m.ToString(Arg(args, argc, 0)));
    bool capture = m.ToBoolean(Arg(args, argc, 2));
    int priority = m.ToInt32(Arg(args, argc, 3));
    for (const auto& l : d->listeners)
        if (l.type == type && l.capture == capture && m.StrictEquals(l.fn, fn)) return Value::Undefined();
    auto at = std::find_if(d->listeners.begin(), d->listeners.end(),
                           [&](const DispatcherObject::Listener& l) { return l.priority < priority; });
    d->listeners.insert(at, {type, fn, capture, priority});
    // The frame's broadcasts go to every display object that listens, on
    // the stage or not.
    ClassObject* display = m.FindClass("flash.display.DisplayObject");
    if (IsBroadcast(type) && d->cls && d->cls->IsSubclassOf(display)) {
        bool known = false;
        for (const auto& t : m.enterFrameTargets) known = known || (t.target.o == d && t.type == type);
        if (!known) m.enterFrameTargets.push_back({type, self});
    }
    return Value::Undefined();
}

Value RemoveListener(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* d = AsDispatcher(self);
    if (!d) return Value::Undefined();
    String* type = m.Intern(m.ToString(Arg(args, argc, 0)));
    Value fn = Arg(args, argc, 1);
    bool capture = m.ToBoolean(Arg(args, argc, 2));
    auto& ls = d->listeners;
    ls.erase(std::remove_if(ls.begin(), ls.end(),
                            [&](const DispatcherObject::Listener& l) {
                                return l.type == type && l.capture == capture && m.StrictEquals(l.fn, fn);
                            }),
             ls.end());
    if (IsBroadcast(type) && !d->Listens(type)) {
        auto& ts = m.enterFrameTargets;
        ts.erase(std::remove_if(ts.begin(), ts.end(), [&](const auto& t) { return t.target.o == d && t.type == type; }),
                 ts.end());
    }
    return Value::Undefined();
}

Value HasListener(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* d = AsDispatcher(self);
    return Value::Bool(d && d->Listens(m.Intern(m.ToString(Arg(args, argc, 0)))));
}

Value Dispatch(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* d = AsDispatcher(self);
    EventObject* e = AsEvent(m, Arg(args, argc, 0));
    if (!e) m.TypeError(2007, "Parameter event must be non-null.");
    if (!d) return Value::Bool(true);
    // An event sent again goes out as its clone; a subclass may say
    // through its own target getter whether it was sent.
    Value sent = m.GetProperty(Value::Obj(e), m.PublicName("target"));
    if (!sent.IsUndefined() && !sent.IsNull()) {
        TempRoot keep(m, Value::Obj(e));
        Value c = m.CallProperty(Value::Obj(e), m.PublicName("clone"), nullptr, 0);
        if (EventObject* ce = AsEvent(m, c)) e = ce;
    }
    return Value::Bool(DispatchEvent(m, d, e));
}

// Event ----------------------------------------------------------------------

Value EventInit(Machine& m, Value self, Args args, int argc) {
    EventObject* e = AsEvent(m, self);
    if (!e) return Value::Undefined();
    e->type = m.ToString(Arg(args, argc, 0));
    e->bubbles = m.ToBoolean(Arg(args, argc, 1));
    e->cancelable = m.ToBoolean(Arg(args, argc, 2));
    e->target = Value::Null();
    e->currentTarget = Value::Null();
    return Value::Undefined();
}

#define EVENT_GETTER(fn, expr)                                   \
    Value fn(Machine& m, Value self, Args, int) {                \
        EventObject* e = AsEvent(m, self);                       \
        if (!e) return Value::Undefined();                       \
        return expr;                                             \
    }
EVENT_GETTER(EventType, e->type ? Value::Str(e->type) : Value::Null())
EVENT_GETTER(EventBubbles, Value::Bool(e->bubbles))
EVENT_GETTER(EventCancelable, Value::Bool(e->cancelable))
EVENT_GETTER(EventTarget, e->target.IsUndefined() ? Value::Null() : e->target)
EVENT_GETTER(EventCurrentTarget, e->currentTarget.IsUndefined() ? Value::Null() : e->currentTarget)
EVENT_GETTER(EventPhase, Value::Int(e->phase))
EVENT_GETTER(EventIsDefaultPrevented, Value::Bool(e->defaultPrevented))
#undef EVENT_GETTER

Value EventPreventDefault(Machine& m, Value self, Args, int) {
    if (EventObject* e = AsEvent(m, self))
        if (e->cancelable) e->defaultPrevented = true;
    return Value::Undefined();
}

Value EventStop(Machine& m, Value self, Args, int) {
    if (EventObject* e = AsEvent(m, self)) e->stopped = true;
    return Value::Undefined();
}

Value EventStopNow(Machine& m, Value self, Args, int) {
    if (EventObject* e = AsEvent(m, self)) e->stopped = e->stoppedNow = true;
    return Value::Undefined();
}

Value EventClone(Machine& m, Value self, Args, int) {
    EventObject* e = AsEvent(m, self);
    if (!e) return Value::Undefined();
    Value args[3] = {Value::Str(e->type), Value::Bool(e->bubbles), Value::Bool(e->cancelable)};
    return m.Construct(Value::Obj(m.eventClass), args, 3);
}

std::string Quoted(Machine& m, const Value& v) {
    if (v.IsString()) return "\"" + m.ToStdString(v) + "\"";
    return m.ToStdString(v);
}

Value EventFormat(Machine& m, Value self, Args args, int argc) {
    std::string s = "[" + m.ToStdString(Arg(args, argc, 0));
    for (int i = 1; i < argc; ++i) {
        // The names are Strings: undefined and null read as "null".
        std::string name = args[i].IsUndefined() || args[i].IsNull() ? "null" : m.ToStdString(args[i]);
        s += " " + name + "=" + Quoted(m, m.GetProperty(self, m.PublicName(name)));
    }
    return Value::Str(m.Str(s + "]"));
}

Value EventToString(Machine& m, Value self, Args, int) {
    Value parts[5] = {Value::Str(m.Intern("Event")), Value::Str(m.Intern("type")), Value::Str(m.Intern("bubbles")),
                      Value::Str(m.Intern("cancelable")), Value::Str(m.Intern("eventPhase"))};
    if (self.IsObject() && self.o->cls) parts[0] = Value::Str(self.o->cls->name);
    return EventFormat(m, self, parts, 5);
}

// MovieClip ------------------------------------------------------------------

Value AddFrameScript(Machine& m, Value self, Args args, int argc) {
    ClipObject* c = AsClip(m, self);
    if (!c) return Value::Undefined();
    constexpr int32_t kMaxFrames = 16000;
    for (int i = 0; i + 1 < argc; i += 2) {
        int32_t frame = m.ToInt32(args[i]);
        if (frame < 0 || frame >= kMaxFrames) continue;
        if (size_t(frame) >= c->frameScripts.size()) c->frameScripts.resize(frame + 1);
        const Value& fn = args[i + 1];
        c->frameScripts[frame] = fn.IsObject() && fn.o->kind == ObjKind::Function ? fn : Value::Undefined();
    }
    return Value::Undefined();
}

// A frame given to gotoAndStop: 1-based number or label; -1 if none.
int FrameOf(Machine& m, ClipObject* c, const Value& v) {
    DisplayHost& h = *m.display;
    // Up to version 10 a number with a fraction names a label, and a label
    // not found is the first frame.
    constexpr int kStrictFramesVersion = 11;
    if (m.swfVersion < kStrictFramesVersion) {
        const bool fraction = v.IsNumber() && m.ToNumber(v) != std::trunc(m.ToNumber(v));
        if (fraction || v.IsString()) {
            const int f = h.LabelFrame(c->serial, m.ToStdString(v));
            if (f >= 0 || fraction) return std::max(f, 0);
            const double d = m.ToNumber(v);
            if (!(d == d)) return 0;
        }
    }
    if (v.IsString()) {
        std::string label = m.ToStdString(v);
        int f = h.LabelFrame(c->serial, label);
        if (f >= 0) return f;
        // A number in a string is a frame number.
        double d = m.ToNumber(v);
        if (!(d == d))
            m.ArgumentError(2109, "Frame label " + label + " not found in scene Scene 1.");
    }
    double d = m.ToNumber(v);
    if (!(d >= 1)) return 0;
    return int(std::min(d, double(h.TotalFrames(c->serial)))) - 1;
}

Value ClipStop(Machine& m, Value self, Args, int) {
    if (ClipObject* c = AsClip(m, self)) m.display->SetPlaying(c->serial, false);
    return Value::Undefined();
}

Value ClipPlay(Machine& m, Value self, Args, int) {
    if (ClipObject* c = AsClip(m, self)) m.display->SetPlaying(c->serial, true);
    return Value::Undefined();
}

Value GotoAnd(Machine& m, const Value& self, const Value& frame, const Value& scene, bool play) {
    ClipObject* c = AsClip(m, self);
    if (!c) return Value::Undefined();
    bool scenes = !scene.IsNullish() || !m.display->Scenes(c->serial).empty();
    int f = scenes ? SceneFrame(m, c->serial, frame, scene) : FrameOf(m, c, frame);
    m.display->SetPlaying(c->serial, play);
    m.display->Goto(c->serial, f);
    return Value::Undefined();
}

Value GotoStop(Machine& m, Value self, Args args, int argc) {
    return GotoAnd(m, self, Arg(args, argc, 0), Arg(args, argc, 1), false);
}
Value GotoPlay(Machine& m, Value self, Args args, int argc) {
    return GotoAnd(m, self, Arg(args, argc, 0), Arg(args, argc, 1), true);
}

Value StepFrame(Machine& m, const Value& self, int by) {
    ClipObject* c = AsClip(m, self);
    if (!c) return Value::Undefined();
    DisplayHost& h = *m.display;
    h.SetPlaying(c->serial, false);
    h.Goto(c->serial, std::clamp(h.CurrentFrame(c->serial) + by, 0, std::max(h.TotalFrames(c->serial) - 1, 0)));
    return Value::Undefined();
}

Value NextFrame(Machine& m, Value self, Args, int) { return StepFrame(m, self, 1); }
Value PrevFrame(Machine& m, Value self, Args, int) { return StepFrame(m, self, -1); }

Value CurrentFrame(Machine& m, Value self, Args, int) {
    ClipObject* c = AsClip(m, self);
    if (!c) return Value::Int(1);
    int frame = m.display->CurrentFrame(c->serial);
    return Value::Int(frame - SceneStart(m, c->serial, frame) + 1);
}

Value TotalFrames(Machine& m, Value self, Args, int) {
    ClipObject* c = AsClip(m, self);
    return Value::Int(c ? std::max(m.display->CountedFrames(c->serial), 1) : 1);
}

Value IsPlaying(Machine& m, Value self, Args, int) {
    ClipObject* c = AsClip(m, self);
    return Value::Bool(c && m.display->IsPlaying(c->serial));
}

Value LabelOf(Machine& m, const Value& self, bool exact) {
    ClipObject* c = AsClip(m, self);
    if (!c) return Value::Null();
    std::string l = m.display->LabelAt(c->serial, m.display->CurrentFrame(c->serial), exact);
    return l.empty() ? Value::Null() : Value::Str(m.Str(l));
}

Value CurrentLabel(Machine& m, Value self, Args, int) { return LabelOf(m, self, false); }
Value CurrentFrameLabel(Machine& m, Value self, Args, int) { return LabelOf(m, self, true); }

}  // namespace

namespace {

// Calls `d`'s listeners for `e` in the phase it is in: capture listeners
// while capturing, the others at the target and while bubbling.
void Deliver(Machine& m, DispatcherObject* d, EventObject* e) {
    e->currentTarget = Value::Obj(d);
    bool capture = e->phase == 1;
    // Listeners added while sending wait for the next event.
    std::vector<DispatcherObject::Listener> now;
    for (const auto& l : d->listeners)
        if (l.type == e->type && l.capture == capture) now.push_back(l);
    for (const auto& l : now) {
        TempRoot keepFn(m, l.fn);
        Value arg = Value::Obj(e);
        // A plain function listener sees the player's own global as `this`.
        m.Call(l.fn, Value::Obj(m.builtinGlobal), &arg, 1);
        if (e->stoppedNow) break;
    }
}

}  // namespace

bool DispatchEvent(Machine& m, DispatcherObject* target, EventObject* e, bool alone) {
    TempRoot keepTarget(m, Value::Obj(target));
    TempRoot keepEvent(m, Value::Obj(e));
    // The display objects above the target, nearest first, held while
    // listeners run.
    std::vector<Value> path;
    struct Unroot {
        Machine& m;
        size_t n;
        ~Unroot() { m.tempRoots.resize(n); }
    } unroot{m, m.tempRoots.size()};
    if (m.display && target->serial && !alone) {
        constexpr size_t kMaxDepth = 256;
        uint32_t top = target->serial;
        for (uint32_t s = m.display->Parent(top); s && path.size() < kMaxDepth; s = m.display->Parent(s)) {
            top = s;
            path.push_back(m.display->Wrap(s));
        }
        if (top == m.display->Root()) path.push_back(m.display->Stage());
    }
    path.erase(std::remove_if(path.begin(), path.end(), [](const Value& v) { return !v.IsObject(); }), path.end());
    for (Value& v : path) m.tempRoots.push_back(v);
    // An event nobody hears is left as it was: not marked as sent.
    auto listens = [&](const Value& v) { return static_cast<DispatcherObject*>(v.o)->Listens(e->type); };
    if (!target->Listens(e->type) && std::none_of(path.begin(), path.end(), listens)) return !e->defaultPrevented;
    e->target = Value::Obj(target);
    e->stopped = e->stoppedNow = false;
    e->phase = 1;
    for (size_t i = path.size(); i-- > 0 && !e->stopped;)
        Deliver(m, static_cast<DispatcherObject*>(path[i].o), e);
    if (!e->stopped) {
        e->phase = 2;
        Deliver(m, target, e);
    }
    if (e->bubbles) {
        e->phase = 3;
        for (size_t i = 0; i < path.size() && !e->stopped; ++i)
            Deliver(m, static_cast<DispatcherObject*>(path[i].o), e);
    }
    e->phase = 2;
    e->currentTarget = Value::Obj(target);
    return !e->defaultPrevented;
}

EventObject* NewEvent(Machine& m, const std::string& type, bool bubbles) {
    Value args[2] = {Value::Str(m.Intern(type)), Value::Bool(bubbles)};
    Value e = m.Construct(Value::Obj(m.eventClass), args, 2);
    return static_cast<EventObject*>(e.o);
}

void InstallDisplay(Machine& m) {
    ClassObject* dispatcher = m.DefineClass("flash.events", "EventDispatcher", m.objectClass, AllocDispatcher, false);
    m.DefineMethod(dispatcher, "addEventListener", AddListener, 2);
    m.DefineMethod(dispatcher, "removeEventListener", RemoveListener, 2);
    m.DefineMethod(dispatcher, "dispatchEvent", Dispatch, 1);
    m.DefineMethod(dispatcher, "hasEventListener", HasListener, 1);
    m.DefineMethod(dispatcher, "willTrigger", HasListener, 1);

    ClassObject* event = m.DefineClass("flash.events", "Event", m.objectClass, AllocEvent, false);
    m.eventClass = event;
    event->init = m.NewNativeMethod("Event", EventInit, 1);
    m.DefineGetter(event, "type", EventType);
    m.DefineGetter(event, "bubbles", EventBubbles);
    m.DefineGetter(event, "cancelable", EventCancelable);
    m.DefineGetter(event, "target", EventTarget);
    m.DefineGetter(event, "currentTarget", EventCurrentTarget);
    m.DefineGetter(event, "eventPhase", EventPhase);
    m.DefineMethod(event, "isDefaultPrevented", EventIsDefaultPrevented, 0);
    m.DefineMethod(event, "preventDefault", EventPreventDefault, 0);
    m.DefineMethod(event, "stopPropagation", EventStop, 0);
    m.DefineMethod(event, "stopImmediatePropagation", EventStopNow, 0);
    m.DefineMethod(event, "clone", EventClone, 0);
    m.DefineMethod(event, "toString", EventToString, 0);
    m.DefineMethod(event, "formatToString", EventFormat, 1);
    for (auto [name, value] : {std::pair<const char*, const char*>{"ENTER_FRAME", "enterFrame"},
                               {"EXIT_FRAME", "exitFrame"}, {"FRAME_CONSTRUCTED", "frameConstructed"},
                               {"ADDED", "added"}, {"ADDED_TO_STAGE", "addedToStage"}, {"REMOVED", "removed"},
                               {"REMOVED_FROM_STAGE", "removedFromStage"}, {"COMPLETE", "complete"},
                               {"CHANGE", "change"}, {"INIT", "init"}, {"RENDER", "render"},
                               {"RESIZE", "resize"}, {"ACTIVATE", "activate"}, {"DEACTIVATE", "deactivate"},
                               {"CANCEL", "cancel"}, {"CLOSE", "close"}, {"OPEN", "open"}, {"SELECT", "select"},
                               {"UNLOAD", "unload"}, {"SCROLL", "scroll"}, {"TAB_CHILDREN_CHANGE", "tabChildrenChange"}})
        m.DefineConstant(event, name, Value::Str(m.Intern(value)));

    InstallEventClasses(m);
    InstallDisplayObjects(m);
    ClassObject* sprite = m.FindClass("flash.display.Sprite");
    ClassObject* clip = m.DefineClass("flash.display", "MovieClip", sprite, AllocClip, false);
    clip->init = sprite->init;
    m.DefineMethod(clip, "addFrameScript", AddFrameScript, 2);
    m.DefineMethod(clip, "stop", ClipStop, 0);
    m.DefineMethod(clip, "play", ClipPlay, 0);
    m.DefineMethod(clip, "gotoAndStop", GotoStop, 1);
    m.DefineMethod(clip, "gotoAndPlay", GotoPlay, 1);
    m.DefineMethod(clip, "nextFrame", NextFrame, 0);
    m.DefineMethod(clip, "prevFrame", PrevFrame, 0);
    m.DefineGetter(clip, "currentFrame", CurrentFrame);
    m.DefineGetter(clip, "totalFrames", TotalFrames);
    m.DefineGetter(clip, "framesLoaded", TotalFrames);
    m.DefineGetter(clip, "isPlaying", IsPlaying);
    m.DefineGetter(clip, "currentLabel", CurrentLabel);
    m.DefineGetter(clip, "currentFrameLabel", CurrentFrameLabel);
    InstallScenes(m, clip);
    InstallBitmaps(m);
    InstallShaders(m);
    InstallSimpleButton(m);
}

}  // namespace swf::avm2
