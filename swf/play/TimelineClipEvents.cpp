// Clip events: what each event runs, in order, once it reaches the front
// of the action queue:
//  1. the object's onClipEvent handlers for it (this = the clip), then
//  2. its handler property (onEnterFrame, onPress, ...), when a function;
//  3. an entry without an object broadcasts to the listeners of Mouse
//     (mouse events) or Key (key events): the objects in their _listeners
//     array, as AsBroadcaster keeps them.
// Clips hear an event newest first, as they tick, so the root (and a clip
// before the movie loaded into it) comes last.
// Events are queued after the frame actions of the same host call, so a
// frame's actions run before its enterFrame handlers. Key events reach
// handler properties only through listeners: a clip's own onKeyDown needs
// the focus.
#include "swf/play/Timeline.h"

#include <algorithm>

#include "swf/avm1/Runtime.h"
#include "swf/bind/Bindings.h"
#include "swf/display/ButtonObject.h"

namespace swf {

namespace {

struct EventName {
    uint32_t event;
    const char* handler;   // the handler property
    const char* listened;  // the global whose listeners hear it, if any
};

const EventName kEventNames[] = {
    {kClipConstruct, "onConstruct", nullptr},
    {kClipLoad, "onLoad", nullptr},
    {kClipEnterFrame, "onEnterFrame", nullptr},
    {kClipUnload, "onUnload", nullptr},
    {kClipMouseMove, "onMouseMove", "Mouse"},
    {kClipMouseDown, "onMouseDown", "Mouse"},
    {kClipMouseUp, "onMouseUp", "Mouse"},
    {kClipKeyDown, "onKeyDown", "Key"},
    {kClipKeyUp, "onKeyUp", "Key"},
    {kClipData, "onData", nullptr},
    {kClipPress, "onPress", nullptr},
    {kClipRelease, "onRelease", nullptr},
    {kClipReleaseOutside, "onReleaseOutside", nullptr},
    {kClipRollOver, "onRollOver", nullptr},
    {kClipRollOut, "onRollOut", nullptr},
    {kClipDragOver, "onDragOver", nullptr},
    {kClipDragOut, "onDragOut", nullptr},
    {kStageResizeEvent, "onResize", "Stage"},
};

const EventName* Find(uint32_t event) {
    for (const EventName& e : kEventNames)
        if (e.event == event) return &e;
    return nullptr;
}

bool Handles(const DisplayObject& obj, uint32_t event, uint8_t keyCode) {
    if (!obj.clipActions) return false;
    for (const ClipEventAction& a : *obj.clipActions)
        if ((a.events & event) && (event != kClipKeyPress || a.keyCode == keyCode)) return true;
    return false;
}

// Every clip in `clip`, the sprites of buttons' current states included.
template <typename F>
void ForEachClip(MovieClip& clip, F&& visit) {
    visit(clip);
    auto within = [&](DisplayObject& obj, auto& self) -> void {
        if (MovieClip* child = obj.AsClip()) return ForEachClip(*child, visit);
        if (ButtonObject* button = obj.AsButton())
            for (auto& entry : button->Children()) self(*entry.second, self);
    };
    for (auto& entry : clip.List()) within(*entry.second, within);
}

}  // namespace

avm1::Value Timeline::PlainMember(uint32_t serial, const char* name) {
    if (!vm_.HasClipObject(serial)) return avm1::Value();
    int hops = 0;
    for (avm1::Object* o = vm_.ClipObject(serial); o && hops < 64; o = o->proto, ++hops)
        if (const avm1::Property* p = o->Find(name, vm_.Ci())) return p->getter || p->setter ? avm1::Value() : p->value;
    return avm1::Value();
}

void Timeline::QueueEvent(uint32_t event, ActionQueue& queue, uint8_t keyCode) {
    const EventName* name = Find(event);
    // Key events reach handler properties through listeners only.
    const bool mouse = (event & (kClipMouseDown | kClipMouseUp | kClipMouseMove)) != 0;
    const bool toProperties = name && (!name->listened || mouse);
    std::vector<uint32_t> order;
    auto note = [&](MovieClip& clip) {
        if (Handles(clip, event, keyCode) || (toProperties && vm_.HasClipObject(clip.serial)))
            order.push_back(clip.serial);
    };
    ForEachClip(*root_, note);
    for (auto& level : levels_) ForEachClip(*level.second, note);
    std::sort(order.rbegin(), order.rend());
    for (uint32_t serial : order) queue.push_back({serial, nullptr, 0, event, keyCode});
    if (name && name->listened && !Listeners(name->listened).empty())
        queue.push_back({0, nullptr, 0, event, keyCode});
}

std::vector<avm1::Value> Timeline::Listeners(const char* owner) {
    avm1::Value o = PlainGlobal(owner);
    const avm1::Property* list = o.IsObject() ? o.o->Find("_listeners", vm_.Ci()) : nullptr;
    if (!list || !list->value.IsObject()) return {};
    return list->value.o->cls == avm1::ObjClass::Array ? vm_.ArrayValues(list->value.o) : std::vector<avm1::Value>();
}

bool Timeline::RunEvent(const QueuedActions& q) {
    const EventName* name = Find(q.event);
    bool ran = false;
    if (q.clipSerial == 0) {
        if (!name || !name->listened) return false;
        avm1::PinGuard pin(vm_);
        // A copy: handlers may change the list.
        for (const avm1::Value& l : Listeners(name->listened)) ran |= vm_.CallHandler(l, name->handler);
        return ran;
    }
    DisplayObject* obj = ctx_.FindObject(q.clipSerial);
    if (!obj) return false;
    auto clipEvents = [&] {
        std::shared_ptr<const std::vector<ClipEventAction>> actions = obj->clipActions;
        if (!actions) return;
        for (const ClipEventAction& a : *actions) {
            if (!(a.events & q.event) || (q.event == kClipKeyPress && a.keyCode != q.keyCode)) continue;
            if (!ctx_.FindObject(q.clipSerial)) return;  // an earlier handler removed it
            vm_.RunBlock(a.actions, q.clipSerial);
            ran = true;
        }
    };
    // on(construct) runs once the class's prototype is in place, before
    // the class's constructor.
    if (q.event == kClipConstruct && obj->AsClip()) ran |= bind::ConstructClip(vm_, *obj->AsClip(), true, clipEvents);
    else clipEvents();
    if (!ctx_.FindObject(q.clipSerial)) return ran;
    if (name && ctx_.FindObject(q.clipSerial) && vm_.HasClipObject(q.clipSerial)) {
        // A clip that left has no path any more: its handler gets the object.
        const avm1::Value self = q.event == kClipUnload ? avm1::Value::Obj(vm_.ClipObject(q.clipSerial))
                                                        : vm_.ClipValue(q.clipSerial);
        ran |= vm_.CallHandler(self, name->handler);
    }
    return ran;
}

avm1::Value Timeline::PlainGlobal(const char* name) {
    const avm1::Property* p = vm_.global->Find(name, vm_.Ci());
    return p && !p->getter ? p->value : avm1::Value();
}

std::vector<HostCall> Timeline::StageResized() {
    ctx_.BeginHostCall();
    ActionQueue queue;
    if (!Listeners("Stage").empty()) queue.push_back({0, nullptr, 0, kStageResizeEvent});
    return RunActions(queue);
}

std::vector<HostCall> Timeline::Key(bool down, int code, int ascii) {
    ctx_.BeginHostCall();
    if (down) vm_.Runtime().keys.Down(code, ascii);
    else vm_.Runtime().keys.Up(code, ascii);
    ActionQueue queue;
    QueueEvent(down ? kClipKeyDown : kClipKeyUp, queue);
    return RunActions(queue);
}

}  // namespace swf
