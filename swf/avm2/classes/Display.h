// Native kinds of the display and event classes: event dispatchers with
// their listeners, events, and movie clips with their frame scripts. A clip
// that stands for a timeline of the player has a host that moves it.
#pragma once

#include <vector>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

class EventObject : public Object {
public:
    EventObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    String* type = nullptr;
    bool bubbles = false, cancelable = false;
    bool defaultPrevented = false, stopped = false, stoppedNow = false;
    int phase = 2;
    Value target, currentTarget;
    void Trace(Tracer& t) override;
};

class DispatcherObject : public Object {
public:
    DispatcherObject(ClassObject* cls, Object* proto) : Object(ObjKind::Display, cls, proto) {}
    struct Listener {
        String* type;
        Value fn;
        bool capture;
        int priority;
    };
    std::vector<Listener> listeners;  // by priority, highest first, then by age
    bool Listens(String* type) const;
    void Trace(Tracer& t) override;
};

// What a script clip moves when it stands for a timeline. Frames are
// 0-based here.
class ClipHost {
public:
    virtual ~ClipHost() = default;
    virtual int CurrentFrame() const = 0;
    virtual int TotalFrames() const = 0;
    virtual void SetPlaying(bool playing) = 0;
    virtual void Goto(int frame) = 0;
    // The first frame carrying `label`, or -1.
    virtual int LabelFrame(const std::string& label) const = 0;
};

class ClipObject : public DispatcherObject {
public:
    ClipObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    std::vector<Value> frameScripts;  // by 0-based frame; undefined: none
    ClipHost* host = nullptr;
    Value FrameScript(int frame) const {
        return frame >= 0 && size_t(frame) < frameScripts.size() ? frameScripts[frame] : Value::Undefined();
    }
    void Trace(Tracer& t) override;
};

// Sends `event` (an Event) to `target`'s listeners; false when cancelled.
bool DispatchEvent(Machine& m, DispatcherObject* target, EventObject* event);
// A fresh Event of `type` from the host.
EventObject* NewEvent(Machine& m, const std::string& type);

}  // namespace swf::avm2
