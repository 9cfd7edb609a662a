// flash.display.SimpleButton made by script: its four states are display
// objects kept here; the up state is what the button's engine object
// shows, as its only child.
#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

enum State { kUp, kOver, kDown, kHit, kStates };

class ButtonObject : public DispatcherObject {
public:
    ButtonObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    Value states[kStates];
    bool enabled = true, useHandCursor = true, trackAsMenu = false;
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        for (const Value& v : states) t.Mark(v);
    }
};

Object* AllocButton(Machine& m, ClassObject* cls) {
    auto* b = m.New<ButtonObject>(cls, cls->prototype);
    AttachEngineObject(m, b);
    return b;
}

ButtonObject* AsButton(Machine& m, const Value& v) {
    ClassObject* c = m.FindClass("flash.display.SimpleButton");
    if (v.IsObject() && v.o->cls && c && v.o->cls->IsSubclassOf(c)) return static_cast<ButtonObject*>(v.o);
    return nullptr;
}

// Puts the up state in the engine object, in place of what was shown.
void ShowUp(Machine& m, ButtonObject* b, const Value& before) {
    if (!m.display || !b->serial) return;
    DispatcherObject* old = AsDisplay(m, before);
    if (old && old->serial && m.display->Parent(old->serial) == b->serial) m.display->RemoveChild(b->serial, old->serial);
    DispatcherObject* up = AsDisplay(m, b->states[kUp]);
    if (up && up->serial && up != b) m.display->AddChild(b->serial, up->serial, 0);
}

void SetState(Machine& m, ButtonObject* b, int state, const Value& v) {
    Value before = b->states[state];
    TempRoot keep(m, before);
    b->states[state] = AsDisplay(m, v) ? v : Value::Null();
    if (state == kUp) ShowUp(m, b, before);
}

Value Init(Machine& m, Value self, Args args, int argc) {
    ButtonObject* b = AsButton(m, self);
    if (!b) return Value::Undefined();
    if (m.display && !b->built) m.display->Constructing(b);
    for (int s = 0; s < kStates; ++s)
        if (s < argc) SetState(m, b, s, args[s]);
    return Value::Undefined();
}

template <int S>
Value GetState(Machine& m, Value self, Args, int) {
    ButtonObject* b = AsButton(m, self);
    if (!b) return Value::Null();
    if (b->states[S].IsObject()) return b->states[S];
    // A button of the movie's keeps its own states until scripts set them.
    const uint32_t state = m.display && b->serial ? m.display->ButtonState(b->serial, S) : 0;
    return state ? m.display->Wrap(state) : Value::Null();
}

template <int S>
Value PutState(Machine& m, Value self, Args args, int argc) {
    if (ButtonObject* b = AsButton(m, self)) SetState(m, b, S, Arg(args, argc, 0));
    return Value::Undefined();
}

#define BUTTON_FLAG(Get, Set, field)                                            \
    Value Get(Machine& m, Value self, Args, int) {                              \
        ButtonObject* b = AsButton(m, self);                                    \
        return Value::Bool(b && b->field);                                      \
    }                                                                           \
    Value Set(Machine& m, Value self, Args args, int argc) {                    \
        if (ButtonObject* b = AsButton(m, self)) b->field = m.ToBoolean(Arg(args, argc, 0)); \
        return Value::Undefined();                                              \
    }
BUTTON_FLAG(GetEnabled, SetEnabled, enabled)
BUTTON_FLAG(GetHandCursor, SetHandCursor, useHandCursor)
BUTTON_FLAG(GetTrackAsMenu, SetTrackAsMenu, trackAsMenu)
#undef BUTTON_FLAG

}  // namespace

void InstallSimpleButton(Machine& m) {
    ClassObject* interactive = m.FindClass("flash.display.InteractiveObject");
    ClassObject* c = m.DefineClass("flash.display", "SimpleButton", interactive, AllocButton, true);
    c->init = m.NewNativeMethod("SimpleButton", Init, 0);
    m.DefineGetter(c, "upState", GetState<kUp>, PutState<kUp>);
    m.DefineGetter(c, "overState", GetState<kOver>, PutState<kOver>);
    m.DefineGetter(c, "downState", GetState<kDown>, PutState<kDown>);
    m.DefineGetter(c, "hitTestState", GetState<kHit>, PutState<kHit>);
    m.DefineGetter(c, "enabled", GetEnabled, SetEnabled);
    m.DefineGetter(c, "useHandCursor", GetHandCursor, SetHandCursor);
    m.DefineGetter(c, "trackAsMenu", GetTrackAsMenu, SetTrackAsMenu);
}

}  // namespace swf::avm2
