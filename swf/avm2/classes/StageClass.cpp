// flash.display.Stage: the movie's stage as scripts see it. What scripts
// set (frame rate, scale mode, alignment, quality, colour) is kept here and
// read back as the player normalises it; the display object properties a
// stage has no use for refuse to be set.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

class StageObject : public DispatcherObject {
public:
    StageObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) { isStage = true; }
    double frameRate = NAN;  // NaN until set: the movie's
    bool frameRateSet = false;
    std::string scaleMode = "showAll", align, quality = "HIGH", displayState = "normal";
    uint32_t color = 0xFFFFFFFF;
    bool focusRect = true, doubleClickEnabled = false, mouseChildren = true, tabChildren = true;
    Value focus;
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        t.Mark(focus);
    }
};

Object* AllocStage(Machine& m, ClassObject* cls) { return m.New<StageObject>(cls, cls->prototype); }

StageObject* Self(Machine& m, const Value& self) {
    ClassObject* stage = m.FindClass("flash.display.Stage");
    if (self.IsObject() && self.o->cls && stage && self.o->cls->IsSubclassOf(stage))
        return static_cast<StageObject*>(self.o);
    return nullptr;
}

[[noreturn]] void NotImplemented(Machine& m) {
    ClassObject* illegal = m.FindClass("flash.errors.IllegalOperationError");
    m.ThrowThroughError(illegal ? illegal : m.errorClass, 2071,
                        "The Stage class does not implement this property or method.");
}

[[noreturn]] void NotAccepted(Machine& m, const char* param) {
    m.ArgumentError(2008, std::string("Parameter ") + param + " must be one of the accepted values.");
}

Value Str(Machine& m, const std::string& s) { return Value::Str(m.Intern(s)); }

#define STAGE_FIELD(Get, Set, expr, assign)                               \
    Value Get(Machine& m, Value self, Args, int) {                        \
        StageObject* s = Self(m, self);                                   \
        if (!s) return Value::Undefined();                                \
        return expr;                                                      \
    }                                                                     \
    Value Set(Machine& m, Value self, Args args, int argc) {              \
        StageObject* s = Self(m, self);                                   \
        Value v = Arg(args, argc, 0);                                     \
        if (s) assign;                                                    \
        return Value::Undefined();                                        \
    }

STAGE_FIELD(GetFocusRect, SetFocusRect, Value::Bool(s->focusRect), s->focusRect = m.ToBoolean(v))
STAGE_FIELD(GetDoubleClick, SetDoubleClick, Value::Bool(s->doubleClickEnabled),
            s->doubleClickEnabled = m.ToBoolean(v))
STAGE_FIELD(GetMouseChildren, SetMouseChildren, Value::Bool(s->mouseChildren), s->mouseChildren = m.ToBoolean(v))
STAGE_FIELD(GetTabChildren, SetTabChildren, Value::Bool(s->tabChildren), s->tabChildren = m.ToBoolean(v))
STAGE_FIELD(GetFocus, SetFocus, s->focus.IsObject() ? s->focus : Value::Null(),
            s->focus = AsDisplay(m, v) ? v : Value::Null())
// The stage is always opaque.
STAGE_FIELD(GetColor, SetColor, Value::Number(double(s->color)), s->color = 0xFF000000u | m.ToUint32(v))
#undef STAGE_FIELD

Value GetFrameRate(Machine& m, Value self, Args, int) {
    StageObject* s = Self(m, self);
    if (s && s->frameRateSet) return Value::Number(s->frameRate);
    return Value::Number(m.display ? m.display->FrameRate() : 24);
}

Value SetFrameRate(Machine& m, Value self, Args args, int argc) {
    if (StageObject* s = Self(m, self)) {
        double r = m.ToNumber(Arg(args, argc, 0));
        // NaN is kept as given; anything else is held to what a timer can do.
        s->frameRate = std::isnan(r) ? r : std::clamp(r, 0.01, 1000.0);
        s->frameRateSet = true;
    }
    return Value::Undefined();
}

Value GetScaleMode(Machine& m, Value self, Args, int) {
    StageObject* s = Self(m, self);
    return Str(m, s ? s->scaleMode : "showAll");
}

Value SetScaleMode(Machine& m, Value self, Args args, int argc) {
    std::string mode = m.ToStdString(Arg(args, argc, 0));
    if (mode != "exactFit" && mode != "noBorder" && mode != "noScale" && mode != "showAll")
        NotAccepted(m, "scaleMode");
    if (StageObject* s = Self(m, self)) s->scaleMode = mode;
    return Value::Undefined();
}

Value GetAlign(Machine& m, Value self, Args, int) {
    StageObject* s = Self(m, self);
    return Str(m, s ? s->align : "");
}

// Any letters T, B, L, R in any case; read back top or bottom first.
Value SetAlign(Machine& m, Value self, Args args, int argc) {
    std::string given = m.ToStdString(Arg(args, argc, 0));
    auto has = [&](char c) {
        return std::any_of(given.begin(), given.end(), [&](unsigned char g) { return std::toupper(g) == c; });
    };
    std::string out;
    if (has('T')) out += 'T';
    else if (has('B')) out += 'B';
    if (has('L')) out += 'L';
    else if (has('R')) out += 'R';
    if (StageObject* s = Self(m, self)) s->align = out;
    return Value::Undefined();
}

Value GetQuality(Machine& m, Value self, Args, int) {
    StageObject* s = Self(m, self);
    return Str(m, s ? s->quality : "HIGH");
}

Value SetQuality(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (v.IsNull()) m.TypeError(2007, "Parameter quality must be non-null.");
    std::string q = m.ToStdString(v);
    std::transform(q.begin(), q.end(), q.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    static const char* const kQualities[] = {"LOW", "MEDIUM", "HIGH", "BEST", "8X8", "8X8LINEAR", "16X16", "16X16LINEAR"};
    bool known = std::any_of(std::begin(kQualities), std::end(kQualities), [&](const char* k) { return q == k; });
    if (!known) NotAccepted(m, "quality");
    // The highest settings are shown as the best the player draws.
    if (q != "LOW" && q != "MEDIUM" && q != "HIGH") q = "HIGH";
    if (StageObject* s = Self(m, self)) s->quality = q;
    return Value::Undefined();
}

Value GetDisplayState(Machine& m, Value self, Args, int) {
    StageObject* s = Self(m, self);
    return Str(m, s ? s->displayState : "normal");
}

Value SetDisplayState(Machine& m, Value, Args args, int argc) {
    std::string st = m.ToStdString(Arg(args, argc, 0));
    if (st != "normal" && st != "fullScreen" && st != "fullScreenInteractive") NotAccepted(m, "displayState");
    // A movie cannot leave the window it plays in.
    return Value::Undefined();
}

Value StageWidth(Machine& m, Value, Args, int) { return Value::Int(m.display ? int(m.display->StageWidth()) : 0); }
Value StageHeight(Machine& m, Value, Args, int) { return Value::Int(m.display ? int(m.display->StageHeight()) : 0); }
Value True(Machine&, Value, Args, int) { return Value::Bool(true); }
Value False(Machine&, Value, Args, int) { return Value::Bool(false); }
Value One(Machine&, Value, Args, int) { return Value::Int(1); }
Value Null(Machine&, Value, Args, int) { return Value::Null(); }
Value Ignore(Machine&, Value, Args, int) { return Value::Undefined(); }

Value Invalidate(Machine& m, Value, Args, int) {
    if (m.display) m.display->renderAsked = true;
    return Value::Undefined();
}
Value Refuse(Machine& m, Value, Args, int) { NotImplemented(m); }

// Properties of every display object that the stage keeps as they are.
const char* const kFixed[] = {
    "accessibilityImplementation", "accessibilityProperties", "alpha", "blendMode", "cacheAsBitmap",
    "contextMenu", "filters", "focusRect", "height", "mask", "name", "opaqueBackground", "rotation",
    "rotationX", "rotationY", "rotationZ", "scale9Grid", "scaleX", "scaleY", "scaleZ", "scrollRect",
    "tabEnabled", "tabIndex", "transform", "visible", "width", "x", "y", "z"};

template <size_t I>
Value Inherited(Machine& m, Value self, Args, int) {
    std::string name = kFixed[I];
    // The size of what is on the stage, as for any container.
    if (name == "width" || name == "height") {
        ClassObject* stage = m.FindClass("flash.display.Stage");
        return m.GetSuper(self, stage, m.PublicName(name));
    }
    if (name == "alpha" || (name.rfind("scale", 0) == 0 && name != "scale9Grid")) return Value::Int(1);
    if (name == "visible") return Value::Bool(true);
    if (name == "blendMode") return Value::Str(m.Intern("normal"));
    if (name == "cacheAsBitmap" || name == "tabEnabled") return Value::Bool(false);
    if (name == "tabIndex") return Value::Int(-1);
    if (name == "filters") return Value::Obj(m.NewArray());
    if (name.rfind("rotation", 0) == 0 || name == "x" || name == "y" || name == "z") return Value::Int(0);
    return Value::Null();
}

template <size_t... I>
void DefineFixed(Machine& m, ClassObject* stage, std::index_sequence<I...>) {
    (m.DefineGetter(stage, kFixed[I], Inherited<I>, Refuse), ...);
}

}  // namespace

void InstallStage(Machine& m) {
    ClassObject* container = m.FindClass("flash.display.DisplayObjectContainer");
    ClassObject* stage = m.DefineClass("flash.display", "Stage", container, AllocStage, true);
    DefineFixed(m, stage, std::make_index_sequence<std::size(kFixed)>());
    m.DefineGetter(stage, "textSnapshot", Refuse);
    m.DefineGetter(stage, "stageWidth", StageWidth, Ignore);
    m.DefineGetter(stage, "stageHeight", StageHeight, Ignore);
    m.DefineGetter(stage, "frameRate", GetFrameRate, SetFrameRate);
    m.DefineGetter(stage, "scaleMode", GetScaleMode, SetScaleMode);
    m.DefineGetter(stage, "align", GetAlign, SetAlign);
    m.DefineGetter(stage, "quality", GetQuality, SetQuality);
    m.DefineGetter(stage, "displayState", GetDisplayState, SetDisplayState);
    m.DefineGetter(stage, "color", GetColor, SetColor);
    m.DefineGetter(stage, "focus", GetFocus, SetFocus);
    m.DefineGetter(stage, "stageFocusRect", GetFocusRect, SetFocusRect);
    m.DefineGetter(stage, "doubleClickEnabled", GetDoubleClick, SetDoubleClick);
    m.DefineGetter(stage, "mouseChildren", GetMouseChildren, SetMouseChildren);
    m.DefineGetter(stage, "tabChildren", GetTabChildren, SetTabChildren);
    m.DefineGetter(stage, "mouseEnabled", True, Ignore);
    m.DefineGetter(stage, "allowsFullScreen", True);
    m.DefineGetter(stage, "allowsFullScreenInteractive", False);
    m.DefineGetter(stage, "wmodeGPU", False);
    m.DefineGetter(stage, "mouseLock", False, Ignore);
    m.DefineGetter(stage, "browserZoomFactor", One);
    m.DefineGetter(stage, "contentsScaleFactor", One);
    m.DefineGetter(stage, "nativeWindow", Null);
    m.DefineGetter(stage, "softKeyboardRect", Null);
    m.DefineGetter(stage, "fullScreenSourceRect", Null, Ignore);
    m.DefineMethod(stage, "invalidate", Invalidate, 0);
}

}  // namespace swf::avm2
