// The Event subclasses: MouseEvent, KeyboardEvent, FocusEvent, TextEvent,
// ProgressEvent, HTTPStatusEvent and the error events. Each keeps its own fields after Event's,
// in its constructor's order, and shows some of them in toString.
#include <utility>
#include <vector>

#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

enum class FieldKind { Number, Int, Uint, Bool, Object, String };

struct Field {
    const char* name;
    FieldKind kind;
};

struct EventKind {
    const char* pkg;
    const char* name;
    bool bubbles;  // the constructor's default
    std::vector<Field> fields;
    std::vector<const char*> shown;  // by toString, after type
    std::vector<std::pair<const char*, const char*>> types;
    const char* base = nullptr;  // the class it extends, "pkg.Name"; Event when null
};

const std::vector<EventKind>& Kinds() {
    static const std::vector<EventKind> kinds = {
        {"flash.events", "MouseEvent", true,
         {{"localX", FieldKind::Number}, {"localY", FieldKind::Number}, {"relatedObject", FieldKind::Object},
          {"ctrlKey", FieldKind::Bool}, {"altKey", FieldKind::Bool}, {"shiftKey", FieldKind::Bool},
          {"buttonDown", FieldKind::Bool}, {"delta", FieldKind::Int}},
         {"bubbles", "cancelable", "eventPhase", "relatedObject", "ctrlKey", "altKey", "shiftKey", "buttonDown", "delta"},
         {{"CLICK", "click"}, {"DOUBLE_CLICK", "doubleClick"}, {"MOUSE_DOWN", "mouseDown"}, {"MOUSE_UP", "mouseUp"},
          {"MOUSE_MOVE", "mouseMove"}, {"MOUSE_OVER", "mouseOver"}, {"MOUSE_OUT", "mouseOut"},
          {"ROLL_OVER", "rollOver"}, {"ROLL_OUT", "rollOut"}, {"MOUSE_WHEEL", "mouseWheel"},
          {"RIGHT_CLICK", "rightClick"}, {"RIGHT_MOUSE_DOWN", "rightMouseDown"}, {"RIGHT_MOUSE_UP", "rightMouseUp"},
          {"MIDDLE_CLICK", "middleClick"}, {"MIDDLE_MOUSE_DOWN", "middleMouseDown"},
          {"MIDDLE_MOUSE_UP", "middleMouseUp"}, {"RELEASE_OUTSIDE", "releaseOutside"},
          {"CONTEXT_MENU", "contextMenu"}}},
        {"flash.events", "KeyboardEvent", true,
         {{"charCode", FieldKind::Uint}, {"keyCode", FieldKind::Uint}, {"keyLocation", FieldKind::Uint},
          {"ctrlKey", FieldKind::Bool}, {"altKey", FieldKind::Bool}, {"shiftKey", FieldKind::Bool}},
         {"bubbles", "cancelable", "eventPhase", "charCode", "keyCode", "keyLocation", "ctrlKey", "altKey", "shiftKey"},
         {{"KEY_DOWN", "keyDown"}, {"KEY_UP", "keyUp"}}},
        {"flash.events", "FocusEvent", true,
         {{"relatedObject", FieldKind::Object}, {"shiftKey", FieldKind::Bool}, {"keyCode", FieldKind::Uint}},
         {"bubbles", "cancelable", "eventPhase", "relatedObject", "shiftKey", "keyCode"},
         {{"FOCUS_IN", "focusIn"}, {"FOCUS_OUT", "focusOut"}, {"KEY_FOCUS_CHANGE", "keyFocusChange"},
          {"MOUSE_FOCUS_CHANGE", "mouseFocusChange"}}},
        {"flash.events", "TextEvent", false,
         {{"text", FieldKind::String}},
         {"bubbles", "cancelable", "eventPhase", "text"},
         {{"LINK", "link"}, {"TEXT_INPUT", "textInput"}}},
        {"flash.events", "ProgressEvent", false,
         {{"bytesLoaded", FieldKind::Number}, {"bytesTotal", FieldKind::Number}},
         {"bubbles", "cancelable", "eventPhase", "bytesLoaded", "bytesTotal"},
         {{"PROGRESS", "progress"}, {"SOCKET_DATA", "socketData"}}},
        {"flash.events", "IOErrorEvent", false,
         {{"text", FieldKind::String}, {"errorID", FieldKind::Int}},
         {"bubbles", "cancelable", "eventPhase", "text"},
         {{"IO_ERROR", "ioError"}},
         "flash.events.ErrorEvent"},
        {"flash.events", "HTTPStatusEvent", false,
         {{"status", FieldKind::Int}, {"redirected", FieldKind::Bool}, {"responseURL", FieldKind::Object},
          {"responseHeaders", FieldKind::Object}},
         {"bubbles", "cancelable", "eventPhase", "status", "redirected", "responseURL"},
         {{"HTTP_STATUS", "httpStatus"}, {"HTTP_RESPONSE_STATUS", "httpResponseStatus"}}},
        {"flash.events", "ErrorEvent", false,
         {{"text", FieldKind::String}, {"errorID", FieldKind::Int}},
         {"bubbles", "cancelable", "eventPhase", "text"},
         {{"ERROR", "error"}},
         "flash.events.TextEvent"},
        {"flash.events", "SecurityErrorEvent", false,
         {{"text", FieldKind::String}, {"errorID", FieldKind::Int}},
         {"bubbles", "cancelable", "eventPhase", "text"},
         {{"SECURITY_ERROR", "securityError"}},
         "flash.events.ErrorEvent"},
        {"flash.events", "TouchEvent", true,
         {{"touchPointID", FieldKind::Int}, {"isPrimaryTouchPoint", FieldKind::Bool}, {"localX", FieldKind::Number},
          {"localY", FieldKind::Number}, {"sizeX", FieldKind::Number}, {"sizeY", FieldKind::Number},
          {"pressure", FieldKind::Number}, {"relatedObject", FieldKind::Object}},
         {"bubbles", "cancelable", "eventPhase", "touchPointID", "isPrimaryTouchPoint", "localX", "localY", "sizeX",
          "sizeY", "pressure", "relatedObject"},
         {{"TOUCH_BEGIN", "touchBegin"}, {"TOUCH_END", "touchEnd"}, {"TOUCH_MOVE", "touchMove"},
          {"TOUCH_OUT", "touchOut"}, {"TOUCH_OVER", "touchOver"}, {"TOUCH_ROLL_OUT", "touchRollOut"},
          {"TOUCH_ROLL_OVER", "touchRollOver"}, {"TOUCH_TAP", "touchTap"}, {"PROXIMITY_BEGIN", "proximityBegin"},
          {"PROXIMITY_END", "proximityEnd"}, {"PROXIMITY_MOVE", "proximityMove"}, {"PROXIMITY_OUT", "proximityOut"},
          {"PROXIMITY_OVER", "proximityOver"}, {"PROXIMITY_ROLL_OUT", "proximityRollOut"},
          {"PROXIMITY_ROLL_OVER", "proximityRollOver"}}},
        {"flash.events", "ContextMenuEvent", false,
         {{"mouseTarget", FieldKind::Object}, {"contextMenuOwner", FieldKind::Object}},
         {"bubbles", "cancelable", "eventPhase", "mouseTarget", "contextMenuOwner"},
         {{"MENU_ITEM_SELECT", "menuItemSelect"}, {"MENU_SELECT", "menuSelect"}}},
    };
    return kinds;
}

EventObject* Self(Machine& m, const Value& v) {
    if (v.IsObject() && v.o->cls && m.eventClass && v.o->cls->IsSubclassOf(m.eventClass))
        return static_cast<EventObject*>(v.o);
    return nullptr;
}

Value Convert(Machine& m, FieldKind kind, const Value& v, bool given) {
    switch (kind) {
    case FieldKind::Number: return Value::Number(given ? m.ToNumber(v) : 0);
    case FieldKind::Int: return Value::Int(given ? m.ToInt32(v) : 0);
    case FieldKind::Uint: return Value::Uint(given ? m.ToUint32(v) : 0);
    case FieldKind::Bool: return Value::Bool(given && m.ToBoolean(v));
    case FieldKind::Object: return given && v.IsObject() ? v : Value::Null();
    case FieldKind::String: return Value::Str(given ? m.ToString(v) : m.Intern(""));
    }
    return Value::Undefined();
}

template <int K>
Value Init(Machine& m, Value self, Args args, int argc) {
    EventObject* e = Self(m, self);
    if (!e) return Value::Undefined();
    const EventKind& k = Kinds()[K];
    e->type = m.ToString(Arg(args, argc, 0));
    e->bubbles = argc > 1 ? m.ToBoolean(args[1]) : k.bubbles;
    e->cancelable = m.ToBoolean(Arg(args, argc, 2));
    e->target = Value::Null();
    e->currentTarget = Value::Null();
    e->fields.clear();
    for (size_t i = 0; i < k.fields.size(); ++i) {
        int at = 3 + int(i);
        bool given = at < argc && !args[at].IsUndefined();
        e->fields.push_back(Convert(m, k.fields[i].kind, Arg(args, argc, at), given));
    }
    return Value::Undefined();
}

template <int K, int I>
Value Get(Machine& m, Value self, Args, int) {
    EventObject* e = Self(m, self);
    return e && size_t(I) < e->fields.size() ? e->fields[I] : Value::Undefined();
}

template <int K, int I>
Value Set(Machine& m, Value self, Args args, int argc) {
    EventObject* e = Self(m, self);
    if (e && size_t(I) < e->fields.size()) e->fields[I] = Convert(m, Kinds()[K].fields[I].kind, Arg(args, argc, 0), true);
    return Value::Undefined();
}

template <int K>
Value ToStr(Machine& m, Value self, Args, int) {
    const EventKind& k = Kinds()[K];
    std::vector<Value> parts = {Value::Str(m.Intern(k.name)), Value::Str(m.Intern("type"))};
    for (const char* s : k.shown) parts.push_back(Value::Str(m.Intern(s)));
    return m.CallProperty(self, m.PublicName("formatToString"), parts.data(), int(parts.size()));
}

template <int K>
Value Clone(Machine& m, Value self, Args, int) {
    EventObject* e = Self(m, self);
    if (!e) return Value::Undefined();
    std::vector<Value> args = {Value::Str(e->type), Value::Bool(e->bubbles), Value::Bool(e->cancelable)};
    args.insert(args.end(), e->fields.begin(), e->fields.end());
    return m.Construct(Value::Obj(m.FindClass(std::string(Kinds()[K].pkg) + "." + Kinds()[K].name)), args.data(),
                       int(args.size()));
}

// The stage coordinates of a mouse event: its local point placed by its
// target, or the local point itself for a target off the stage.
Value StageCoord(Machine& m, const Value& self, int axis) {
    EventObject* e = Self(m, self);
    if (!e || e->fields.size() < 2) return Value::Number(0);
    double x = m.ToNumber(e->fields[0]), y = m.ToNumber(e->fields[1]);
    DispatcherObject* d = AsDisplay(m, e->target);
    if (d && d->serial && m.display) m.display->ToStagePoint(d->serial, x, y);
    return Value::Number(axis == 0 ? x : y);
}

Value StageX(Machine& m, Value self, Args, int) { return StageCoord(m, self, 0); }
Value StageY(Machine& m, Value self, Args, int) { return StageCoord(m, self, 1); }
Value Nothing(Machine&, Value, Args, int) { return Value::Undefined(); }

template <int K, int... I>
void DefineFields(Machine& m, ClassObject* c, std::integer_sequence<int, I...>) {
    const EventKind& k = Kinds()[K];
    ((size_t(I) < k.fields.size() ? m.DefineGetter(c, k.fields[I].name, Get<K, I>, Set<K, I>) : void()), ...);
}

template <int K>
ClassObject* Define(Machine& m, Allocator alloc) {
    const EventKind& k = Kinds()[K];
    ClassObject* base = k.base ? m.FindClass(k.base) : m.eventClass;
    ClassObject* c = m.DefineClass(k.pkg, k.name, base ? base : m.eventClass, alloc, true);
    c->init = m.NewNativeMethod(k.name, Init<K>, 1);
    DefineFields<K>(m, c, std::make_integer_sequence<int, 8>());
    m.DefineMethod(c, "toString", ToStr<K>, 0);
    m.DefineMethod(c, "clone", Clone<K>, 0);
    for (auto [name, value] : k.types) m.DefineConstant(c, name, Value::Str(m.Intern(value)));
    return c;
}

Object* AllocEvent(Machine& m, ClassObject* cls) { return m.New<EventObject>(cls, cls->prototype); }

}  // namespace

void InstallEventClasses(Machine& m) {
    ClassObject* mouse = Define<0>(m, AllocEvent);
    m.DefineGetter(mouse, "stageX", StageX);
    m.DefineGetter(mouse, "stageY", StageY);
    m.DefineMethod(mouse, "updateAfterEvent", Nothing, 0);
    Define<1>(m, AllocEvent);
    Define<2>(m, AllocEvent);
    Define<3>(m, AllocEvent);
    Define<4>(m, AllocEvent);
    Define<7>(m, AllocEvent);  // ErrorEvent, before the errors that extend it
    Define<8>(m, AllocEvent);
    Define<5>(m, AllocEvent);
    Define<6>(m, AllocEvent);
    Define<9>(m, AllocEvent);
    Define<10>(m, AllocEvent);
}

}  // namespace swf::avm2
