// The display and event classes as bare classes with their inheritance,
// so movies' classes that extend them (a document class extends Sprite or
// MovieClip) load and construct. The display list binding comes next and
// replaces these with objects over the engine's display objects.
#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

namespace {

Value Nothing(Machine&, Value, Args, int) { return Value::Undefined(); }

}  // namespace

void InstallDisplayStubs(Machine& m) {
    ClassObject* dispatcher = m.DefineClass("flash.events", "EventDispatcher", m.objectClass, nullptr, true);
    for (const char* name : {"addEventListener", "removeEventListener", "dispatchEvent", "hasEventListener", "willTrigger"})
        m.DefineMethod(dispatcher, name, Nothing, 1);
    ClassObject* event = m.DefineClass("flash.events", "Event", m.objectClass, nullptr, true);
    (void)event;
    ClassObject* display = m.DefineClass("flash.display", "DisplayObject", dispatcher, nullptr, true);
    ClassObject* interactive = m.DefineClass("flash.display", "InteractiveObject", display, nullptr, true);
    ClassObject* container = m.DefineClass("flash.display", "DisplayObjectContainer", interactive, nullptr, true);
    ClassObject* sprite = m.DefineClass("flash.display", "Sprite", container, nullptr, true);
    ClassObject* clip = m.DefineClass("flash.display", "MovieClip", sprite, nullptr, false);
    for (const char* name : {"addFrameScript", "stop", "play", "gotoAndStop", "gotoAndPlay", "nextFrame", "prevFrame"})
        m.DefineMethod(clip, name, Nothing, 0);
    m.DefineClass("flash.display", "Shape", display, nullptr, true);
    m.DefineClass("flash.display", "Bitmap", display, nullptr, true);
    m.DefineClass("flash.display", "SimpleButton", interactive, nullptr, true);
    m.DefineClass("flash.display", "Stage", container, nullptr, true);
    m.DefineClass("flash.text", "TextField", interactive, nullptr, true);
}

}  // namespace swf::avm2
