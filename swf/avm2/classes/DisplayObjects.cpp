// DisplayObject, DisplayObjectContainer, Sprite, Shape, Stage and the
// other display classes, over the engine objects the display host finds by
// serial. A script object whose engine object is gone reads as a fresh one.
#include <algorithm>
#include <cmath>
#include <tuple>

#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/Loading.h"

namespace swf::avm2 {

DispatcherObject* AsDisplay(Machine& m, const Value& v) {
    ClassObject* display = m.FindClass("flash.display.DisplayObject");
    if (v.IsObject() && v.o->kind == ObjKind::Display && v.o->cls && display && v.o->cls->IsSubclassOf(display))
        return static_cast<DispatcherObject*>(v.o);
    return nullptr;
}

void AttachEngineObject(Machine& m, DispatcherObject* d) {
    if (!m.display) return;
    if (m.display->adopting)
        d->serial = m.display->adopting;
    else
        m.display->Create(d);
    m.display->adopting = 0;
}

uint32_t SerialOf(Machine& m, const Value& self) {
    DispatcherObject* d = AsDisplay(m, self);
    return d && m.display && !d->isStage ? d->serial : 0;
}

namespace {

Object* AllocDisplay(Machine& m, ClassObject* cls) {
    auto* d = m.New<DispatcherObject>(cls, cls->prototype);
    AttachEngineObject(m, d);
    return d;
}

bool IsStage(Machine& m, const Value& self) {
    DispatcherObject* d = AsDisplay(m, self);
    return d && d->isStage;
}

Value Nothing(Machine&, Value, Args, int) { return Value::Undefined(); }

Value DisplayInit(Machine& m, Value self, Args, int) {
    DispatcherObject* d = AsDisplay(m, self);
    if (d && m.display && !d->built) m.display->Constructing(d);
    return Value::Undefined();
}

// Numeric properties ------------------------------------------------------

template <int Prop>
Value GetProp(Machine& m, Value self, Args, int) {
    uint32_t s = SerialOf(m, self);
    std::optional<double> v = s ? m.display->Get(s, Prop) : std::nullopt;
    double d = v ? *v : (Prop == kDpXScale || Prop == kDpYScale || Prop == kDpAlpha) ? 100 : 0;
    if (Prop == kDpXScale || Prop == kDpYScale || Prop == kDpAlpha) d /= 100;
    return Value::Number(d);
}

template <int Prop>
Value SetProp(Machine& m, Value self, Args args, int argc) {
    double d = m.ToNumber(Arg(args, argc, 0));
    if (Prop == kDpXScale || Prop == kDpYScale || Prop == kDpAlpha) d *= 100;
    // Positions are kept in twips.
    if (Prop == kDpX || Prop == kDpY) d = std::isfinite(d) ? std::round(d * 20) / 20 : 0;
    if (uint32_t s = SerialOf(m, self)) m.display->Set(s, Prop, d);
    return Value::Undefined();
}

Value GetVisible(Machine& m, Value self, Args, int) {
    uint32_t s = SerialOf(m, self);
    std::optional<double> v = s ? m.display->Get(s, kDpVisible) : std::nullopt;
    return Value::Bool(!v || *v != 0);
}

Value SetVisible(Machine& m, Value self, Args args, int argc) {
    if (uint32_t s = SerialOf(m, self)) m.display->Set(s, kDpVisible, m.ToBoolean(Arg(args, argc, 0)) ? 1 : 0);
    return Value::Undefined();
}

// Names and relations ---------------------------------------------------------

Value GetName(Machine& m, Value self, Args, int) {
    if (IsStage(m, self)) return Value::Null();
    uint32_t s = SerialOf(m, self);
    return s ? Value::Str(m.Str(m.display->Name(s))) : Value::Null();
}

Value SetName(Machine& m, Value self, Args args, int argc) {
    if (IsStage(m, self)) {
        ClassObject* illegal = m.FindClass("flash.errors.IllegalOperationError");
        m.Throw(illegal ? illegal : m.errorClass, 2071, "The Stage class does not implement this property or method.");
    }
    Value v = Arg(args, argc, 0);
    if (uint32_t s = SerialOf(m, self)) m.display->SetName(s, v.IsNull() ? "null" : m.ToStdString(v));
    return Value::Undefined();
}

Value GetParent(Machine& m, Value self, Args, int) {
    uint32_t s = SerialOf(m, self);
    if (!s) return Value::Null();
    uint32_t p = m.display->Parent(s);
    if (!p) return s == m.display->Root() ? m.display->Stage() : Value::Null();
    // A button holds its drawn state, but is no container to it.
    Value v = m.display->Wrap(p);
    return AsDisplayInstance<DispatcherObject>(m, v, "SimpleButton") ? Value::Null() : v;
}

// The topmost object above `self`, the stage left out.
uint32_t TopOf(Machine& m, uint32_t s) {
    for (uint32_t p = m.display->Parent(s); p; p = m.display->Parent(p)) s = p;
    return s;
}

// Under the root, or put on the stage beside it.
bool OnStageTop(Machine& m, uint32_t top) { return top == m.display->Root() || top == m.display->StageSerial(); }

Value GetRoot(Machine& m, Value self, Args, int) {
    if (IsStage(m, self)) return self;
    uint32_t s = SerialOf(m, self);
    if (!s) return Value::Null();
    // Under a movie a Loader brought in, that movie's root.
    if (uint32_t loaded = LoadedRootAbove(m, s)) return m.display->Wrap(loaded);
    uint32_t top = TopOf(m, s);
    return OnStageTop(m, top) ? m.display->Wrap(top) : Value::Null();
}

Value GetStage(Machine& m, Value self, Args, int) {
    if (IsStage(m, self)) return self;
    uint32_t s = SerialOf(m, self);
    return s && OnStageTop(m, TopOf(m, s)) ? m.display->Stage() : Value::Null();
}

Value GetLoaderInfo(Machine& m, Value self, Args, int) { return LoaderInfoOf(m, self); }

// Containers -------------------------------------------------------------------

// The stage holds the root first, then what scripts put beside it.
std::vector<uint32_t> ChildrenOf(Machine& m, const Value& self) {
    if (!m.display) return {};
    if (IsStage(m, self)) {
        std::vector<uint32_t> kids{m.display->Root()};
        if (uint32_t layer = m.display->StageSerial())
            for (uint32_t k : m.display->Children(layer)) kids.push_back(k);
        return kids;
    }
    uint32_t s = SerialOf(m, self);
    return s ? m.display->Children(s) : std::vector<uint32_t>{};
}

// The engine container behind `self`'s children, and where its own
// children start among them (past the root, for the stage).
uint32_t HolderOf(Machine& m, const Value& self) {
    return IsStage(m, self) && m.display ? m.display->StageSerial() : SerialOf(m, self);
}
int FirstOwn(Machine& m, const Value& self) { return IsStage(m, self) ? 1 : 0; }

[[noreturn]] void OutOfBounds(Machine& m) { m.RangeError(2006, "The supplied index is out of bounds."); }

DispatcherObject* ChildArg(Machine& m, Args args, int argc) {
    DispatcherObject* c = AsDisplay(m, Arg(args, argc, 0));
    if (!c) m.TypeError(2007, "Parameter child must be non-null.");
    return c;
}

int IndexIn(const std::vector<uint32_t>& kids, uint32_t s) {
    auto it = std::find(kids.begin(), kids.end(), s);
    return it == kids.end() ? -1 : int(it - kids.begin());
}

Value NumChildren(Machine& m, Value self, Args, int) { return Value::Int(int(ChildrenOf(m, self).size())); }

Value GetChildAt(Machine& m, Value self, Args args, int argc) {
    std::vector<uint32_t> kids = ChildrenOf(m, self);
    int32_t i = m.ToInt32(Arg(args, argc, 0));
    if (i < 0 || size_t(i) >= kids.size()) OutOfBounds(m);
    return m.display->Wrap(kids[i]);
}

Value GetChildByName(Machine& m, Value self, Args args, int argc) {
    std::string name = m.ToStdString(Arg(args, argc, 0));
    for (uint32_t k : ChildrenOf(m, self))
        if (m.display->Name(k) == name) return m.display->Wrap(k);
    return Value::Null();
}

Value GetChildIndex(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* c = ChildArg(m, args, argc);
    int i = IndexIn(ChildrenOf(m, self), c->serial);
    if (i < 0 || !c->serial) m.ArgumentError(2025, "The supplied DisplayObject must be a child of the caller.");
    return Value::Int(i);
}

Value Contains(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* c = ChildArg(m, args, argc);
    if (c == self.o) return Value::Bool(true);
    if (!m.display || !c->serial) return Value::Bool(false);
    uint32_t mine = SerialOf(m, self);
    if (IsStage(m, self)) return Value::Bool(OnStageTop(m, TopOf(m, c->serial)));
    constexpr int kMaxDepth = 256;
    int n = 0;
    for (uint32_t p = m.display->Parent(c->serial); p && n < kMaxDepth; p = m.display->Parent(p), ++n)
        if (p == mine) return Value::Bool(true);
    return Value::Bool(false);
}

Value AddAt(Machine& m, const Value& self, DispatcherObject* c, int index) {
    uint32_t mine = HolderOf(m, self);
    index = std::max(index - FirstOwn(m, self), 0);
    if (c == self.o) m.ArgumentError(2024, "An object cannot be added as a child of itself.");
    if (!mine || !c->serial) return Value::Obj(c);
    for (uint32_t p = mine; p; p = m.display->Parent(p))
        if (p == c->serial)
            m.ArgumentError(2150, "An object cannot be added as a child to one of it's children (or children's children, etc.).");
    m.display->AddChild(mine, c->serial, index);
    return Value::Obj(c);
}

Value AddChild(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* c = ChildArg(m, args, argc);
    return AddAt(m, self, c, int(ChildrenOf(m, self).size()));
}

Value AddChildAt(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* c = ChildArg(m, args, argc);
    std::vector<uint32_t> kids = ChildrenOf(m, self);
    int32_t i = m.ToInt32(Arg(args, argc, 1));
    int limit = int(kids.size()) - (IndexIn(kids, c->serial) >= 0 ? 1 : 0);
    if (i < 0 || i > limit) OutOfBounds(m);
    return AddAt(m, self, c, i);
}

Value RemoveChild(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* c = ChildArg(m, args, argc);
    if (IndexIn(ChildrenOf(m, self), c->serial) < 0 || !c->serial)
        m.ArgumentError(2025, "The supplied DisplayObject must be a child of the caller.");
    m.display->RemoveChild(HolderOf(m, self), c->serial);
    return Value::Obj(c);
}

Value RemoveChildAt(Machine& m, Value self, Args args, int argc) {
    std::vector<uint32_t> kids = ChildrenOf(m, self);
    int32_t i = m.ToInt32(Arg(args, argc, 0));
    if (i < 0 || size_t(i) >= kids.size()) OutOfBounds(m);
    Value child = m.display->Wrap(kids[i]);
    m.display->RemoveChild(HolderOf(m, self), kids[i]);
    return child;
}

Value RemoveChildren(Machine& m, Value self, Args args, int argc) {
    std::vector<uint32_t> kids = ChildrenOf(m, self);
    int32_t from = argc > 0 ? m.ToInt32(args[0]) : 0;
    int32_t to = argc > 1 ? m.ToInt32(args[1]) : INT32_MAX;
    if (to == INT32_MAX) to = int32_t(kids.size()) - 1;
    if (kids.empty() && argc == 0) return Value::Undefined();
    if (from < 0 || to < 0 || from > to || size_t(to) >= kids.size()) OutOfBounds(m);
    for (int32_t i = from; i <= to; ++i) m.display->RemoveChild(HolderOf(m, self), kids[i]);
    return Value::Undefined();
}

Value SetChildIndex(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* c = ChildArg(m, args, argc);
    std::vector<uint32_t> kids = ChildrenOf(m, self);
    int32_t i = m.ToInt32(Arg(args, argc, 1));
    if (IndexIn(kids, c->serial) < 0 || !c->serial)
        m.ArgumentError(2025, "The supplied DisplayObject must be a child of the caller.");
    if (i < 0 || size_t(i) >= kids.size()) OutOfBounds(m);
    m.display->AddChild(HolderOf(m, self), c->serial, std::max(i - FirstOwn(m, self), 0));
    return Value::Undefined();
}

void SwapAt(Machine& m, const Value& self, int a, int b) {
    if (a == b) return;
    if (a > b) std::swap(a, b);
    std::vector<uint32_t> kids = ChildrenOf(m, self);
    uint32_t mine = HolderOf(m, self);
    const int first = FirstOwn(m, self);
    m.display->AddChild(mine, kids[b], std::max(a - first, 0));
    m.display->AddChild(mine, kids[a], std::max(b - first, 0));
}

Value SwapChildren(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* a = ChildArg(m, args, argc);
    DispatcherObject* b = AsDisplay(m, Arg(args, argc, 1));
    if (!b) m.TypeError(2007, "Parameter child must be non-null.");
    std::vector<uint32_t> kids = ChildrenOf(m, self);
    int ia = IndexIn(kids, a->serial), ib = IndexIn(kids, b->serial);
    if (ia < 0 || ib < 0 || !a->serial || !b->serial)
        m.ArgumentError(2025, "The supplied DisplayObject must be a child of the caller.");
    SwapAt(m, self, ia, ib);
    return Value::Undefined();
}

Value SwapChildrenAt(Machine& m, Value self, Args args, int argc) {
    std::vector<uint32_t> kids = ChildrenOf(m, self);
    int32_t a = m.ToInt32(Arg(args, argc, 0)), b = m.ToInt32(Arg(args, argc, 1));
    if (a < 0 || b < 0 || size_t(a) >= kids.size() || size_t(b) >= kids.size()) OutOfBounds(m);
    SwapAt(m, self, a, b);
    return Value::Undefined();
}

// The pointer in the object's own space, pixels.
template <int Axis>
Value MouseCoord(Machine& m, Value self, Args, int) {
    if (!m.display) return Value::Number(0);
    double x = m.display->pointerX, y = m.display->pointerY;
    if (uint32_t s = SerialOf(m, self)) m.display->ToLocalPoint(s, x, y);
    return Value::Number(Axis == 0 ? x : y);
}

Value GetMask(Machine& m, Value self, Args, int) {
    uint32_t s = SerialOf(m, self);
    uint32_t mask = s ? m.display->Mask(s) : 0;
    return mask ? m.display->Wrap(mask) : Value::Null();
}

Value SetMask(Machine& m, Value self, Args args, int argc) {
    uint32_t s = SerialOf(m, self);
    Value v = Arg(args, argc, 0);
    DispatcherObject* mask = AsDisplay(m, v);
    if (!v.IsNullish() && !mask)
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to flash.display.DisplayObject.");
    if (s) m.display->SetMask(s, mask && !mask->isStage ? mask->serial : 0);
    return Value::Undefined();
}

}  // namespace

void InstallDisplayObjects(Machine& m) {
    ClassObject* dispatcher = m.FindClass("flash.events.EventDispatcher");
    ClassObject* display = m.DefineClass("flash.display", "DisplayObject", dispatcher, AllocDisplay, true);
    m.DefineGetter(display, "x", GetProp<kDpX>, SetProp<kDpX>);
    m.DefineGetter(display, "y", GetProp<kDpY>, SetProp<kDpY>);
    m.DefineGetter(display, "scaleX", GetProp<kDpXScale>, SetProp<kDpXScale>);
    m.DefineGetter(display, "scaleY", GetProp<kDpYScale>, SetProp<kDpYScale>);
    m.DefineGetter(display, "rotation", GetProp<kDpRotation>, SetProp<kDpRotation>);
    m.DefineGetter(display, "alpha", GetProp<kDpAlpha>, SetProp<kDpAlpha>);
    m.DefineGetter(display, "width", GetProp<kDpWidth>, SetProp<kDpWidth>);
    m.DefineGetter(display, "height", GetProp<kDpHeight>, SetProp<kDpHeight>);
    m.DefineGetter(display, "visible", GetVisible, SetVisible);
    m.DefineGetter(display, "name", GetName, SetName);
    m.DefineGetter(display, "parent", GetParent);
    m.DefineGetter(display, "root", GetRoot);
    m.DefineGetter(display, "stage", GetStage);
    m.DefineGetter(display, "loaderInfo", GetLoaderInfo);
    InstallDisplayGeometry(m, display);
    m.DefineGetter(display, "mouseX", MouseCoord<0>);
    m.DefineGetter(display, "mouseY", MouseCoord<1>);
    m.DefineGetter(display, "mask", GetMask, SetMask);

    InstallFilters(m);  // before the subclasses, which copy what is defined so far
    InstallDisplayEffects(m, display);
    InstallTransform(m, display);
    ClassObject* interactive = m.DefineClass("flash.display", "InteractiveObject", display, nullptr, true);
    ClassObject* container = m.DefineClass("flash.display", "DisplayObjectContainer", interactive, nullptr, true);
    m.DefineGetter(container, "numChildren", NumChildren);
    m.DefineMethod(container, "getChildAt", GetChildAt, 1);
    m.DefineMethod(container, "getChildByName", GetChildByName, 1);
    m.DefineMethod(container, "getChildIndex", GetChildIndex, 1);
    m.DefineMethod(container, "contains", Contains, 1);
    m.DefineMethod(container, "addChild", AddChild, 1);
    m.DefineMethod(container, "addChildAt", AddChildAt, 2);
    m.DefineMethod(container, "removeChild", RemoveChild, 1);
    m.DefineMethod(container, "removeChildAt", RemoveChildAt, 1);
    m.DefineMethod(container, "removeChildren", RemoveChildren, 0);
    m.DefineMethod(container, "setChildIndex", SetChildIndex, 2);
    m.DefineMethod(container, "swapChildren", SwapChildren, 2);
    m.DefineMethod(container, "swapChildrenAt", SwapChildrenAt, 2);
    InstallContainerGeometry(m, container);

    ClassObject* sprite = m.DefineClass("flash.display", "Sprite", container, nullptr, true);
    m.DefineMethod(sprite, "startDrag", Nothing, 0);
    m.DefineMethod(sprite, "stopDrag", Nothing, 0);
    Method* init = m.NewNativeMethod("DisplayObject", DisplayInit, 0);
    for (ClassObject* c : {display, interactive, container, sprite}) c->init = init;
    for (auto [pkg, name, base] : {std::tuple<const char*, const char*, ClassObject*>{"flash.display", "Shape", display},
                                   {"flash.display", "MorphShape", display},
                                   {"flash.display", "AVM1Movie", display},
                                   {"flash.text", "TextField", interactive},
                                   {"flash.text", "StaticText", display}})
        m.DefineClass(pkg, name, base, nullptr, true)->init = init;

    InstallGraphics(m);
    InstallStage(m);
    InstallInteractive(m);  // last: it re-applies its getters to the subclasses made so far
}

}  // namespace swf::avm2
