// flash.geom.Rectangle: x, y, width and height are plain properties; the
// edges and corners are accessors over them. Moving an edge or a corner
// keeps the opposite one where it was.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "swf/bind/Bindings.h"
#include "swf/bind/GeomValues.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

Value RectangleCtor(CallArgs& a) {
    static const double kZero[] = {0, 0, 0, 0};
    InitFields(a, GeomClass::Rectangle, kZero);
    return Value();
}

// Every method works on the members as they are, with the language's
// arithmetic: an undefined or odd member makes NaN where it is summed,
// and a member only assigned keeps what it was given.
Value Member(CallArgs& a, const Value& of, const char* name) { return a.vm.GetMember(of, name); }
Value Member(CallArgs& a, const char* name) { return Member(a, a.self, name); }
double Num(CallArgs& a, const Value& of, const char* name) { return a.vm.ToNumber(Member(a, of, name)); }
double Num(CallArgs& a, const char* name) { return Num(a, a.self, name); }

void Set(CallArgs& a, const char* name, const Value& v) {
    if (a.self.IsObject()) a.vm.Put(a.self.o, name, v);
}
void Set(CallArgs& a, const char* name, double v) { Set(a, name, Value::Num(v)); }

// A rectangle's edges as numbers.
struct Edges {
    double left, top, right, bottom;
};

Edges EdgesOf(CallArgs& a, const Value& of) {
    const double x = Num(a, of, "x"), y = Num(a, of, "y");
    return {x, y, x + Num(a, of, "width"), y + Num(a, of, "height")};
}

Value Sum(CallArgs& a, const char* from, const char* size) { return Value::Num(Num(a, from) + Num(a, size)); }

// The edges by magic: each is a number read and written on its own.
enum Edge { kLeft, kTop, kRight, kBottom };

// The near edges and corner are the members as they are (undefined stays
// undefined); the far ones are sums, so numbers.
Value GetEdge(CallArgs& a) {
    switch (a.callee->fn->magic) {
    case kLeft: return Member(a, "x");
    case kTop: return Member(a, "y");
    case kRight: return Sum(a, "x", "width");
    default: return Sum(a, "y", "height");
    }
}

// Moving an edge keeps the opposite one; the near edge takes the value
// as given.
Value SetEdge(CallArgs& a) {
    const Edges e = EdgesOf(a, a.self);
    const Value& v = a.Arg(0);
    switch (a.callee->fn->magic) {
    case kLeft: Set(a, "x", v), Set(a, "width", e.right - a.vm.ToNumber(v)); break;
    case kTop: Set(a, "y", v), Set(a, "height", e.bottom - a.vm.ToNumber(v)); break;
    case kRight: Set(a, "width", a.vm.ToNumber(v) - Num(a, "x")); break;
    default: Set(a, "height", a.vm.ToNumber(v) - Num(a, "y")); break;
    }
    return Value();
}

// topLeft, bottomRight and size, as points.
enum Corner { kTopLeft, kBottomRight, kSize };

Value GetCorner(CallArgs& a) {
    const int corner = a.callee->fn->magic;
    const Value x = corner == kTopLeft ? Member(a, "x") : corner == kSize ? Member(a, "width") : Sum(a, "x", "width");
    const Value y = corner == kTopLeft ? Member(a, "y") : corner == kSize ? Member(a, "height") : Sum(a, "y", "height");
    const Value p = NewPoint(a.vm, {0, 0});
    avm1::PinGuard pin(a.vm);
    a.vm.SetMember(p, "x", x);
    a.vm.SetMember(p, "y", y);
    return p;
}

Value SetCorner(CallArgs& a) {
    const Edges e = EdgesOf(a, a.self);
    const Value px = Member(a, a.Arg(0), "x"), py = Member(a, a.Arg(0), "y");
    switch (a.callee->fn->magic) {
    case kTopLeft:
        Set(a, "x", px), Set(a, "y", py);
        Set(a, "width", e.right - a.vm.ToNumber(px)), Set(a, "height", e.bottom - a.vm.ToNumber(py));
        break;
    case kBottomRight:
        Set(a, "width", a.vm.ToNumber(px) - e.left), Set(a, "height", a.vm.ToNumber(py) - e.top);
        break;
    default: Set(a, "width", px), Set(a, "height", py); break;
    }
    return Value();
}

Value Clone(CallArgs& a) { return NewRectangle(a.vm, SelfRect(a)); }

// Comparisons as the language makes them: undefined when either side is
// NaN; a chain of them gives its first answer that is not true.
Value AtLeast(double x, double y) { return std::isnan(x) || std::isnan(y) ? Value() : Value::Bool(x >= y); }
Value Below(double x, double y) { return std::isnan(x) || std::isnan(y) ? Value() : Value::Bool(x < y); }
Value All(std::initializer_list<Value> answers) {
    for (const Value& v : answers)
        if (v.kind != Value::Kind::Bool || !v.b) return v;
    return Value::Bool(true);
}

Value Holds(CallArgs& a, double x, double y) {
    const Edges e = EdgesOf(a, a.self);
    return All({AtLeast(x, e.left), Below(x, e.right), AtLeast(y, e.top), Below(y, e.bottom)});
}

Value Contains(CallArgs& a) { return Holds(a, a.vm.ToNumber(a.Arg(0)), a.vm.ToNumber(a.Arg(1))); }

Value ContainsPoint(CallArgs& a) { return Holds(a, Num(a, a.Arg(0), "x"), Num(a, a.Arg(0), "y")); }

Value ContainsRectangle(CallArgs& a) {
    const Edges e = EdgesOf(a, a.self), r = EdgesOf(a, a.Arg(0));
    return All({AtLeast(r.left, e.left), AtLeast(r.top, e.top), AtLeast(e.right, r.right), AtLeast(e.bottom, r.bottom)});
}

// inflate, offset and their point forms, by magic.
enum Move { kInflate, kInflatePoint, kOffset, kOffsetPoint };

Value MoveBy(CallArgs& a) {
    const int move = a.callee->fn->magic;
    double dx = a.vm.ToNumber(a.Arg(0)), dy = a.vm.ToNumber(a.Arg(1));
    if (move == kInflatePoint || move == kOffsetPoint) dx = Num(a, a.Arg(0), "x"), dy = Num(a, a.Arg(0), "y");
    const double x = Num(a, "x"), y = Num(a, "y");
    if (move <= kInflatePoint) {
        const double w = Num(a, "width"), h = Num(a, "height");
        Set(a, "x", x - dx), Set(a, "y", y - dy), Set(a, "width", w + 2 * dx), Set(a, "height", h + 2 * dy);
    } else {
        Set(a, "x", x + dx), Set(a, "y", y + dy);
    }
    return Value();
}

// Math.min and max: NaN wins.
double Least(double x, double y) { return std::isnan(x) || std::isnan(y) ? NAN : std::min(x, y); }
double Most(double x, double y) { return std::isnan(x) || std::isnan(y) ? NAN : std::max(x, y); }

// The overlap, or an all-zero rectangle when there is none.
GeomRect Overlap(CallArgs& a) {
    const Edges e = EdgesOf(a, a.self), r = EdgesOf(a, a.Arg(0));
    const double l = Most(e.left, r.left), t = Most(e.top, r.top);
    const GeomRect out{l, t, Least(e.right, r.right) - l, Least(e.bottom, r.bottom) - t};
    return out.IsEmpty() ? GeomRect{0, 0, 0, 0} : out;
}

Value Intersection(CallArgs& a) { return NewRectangle(a.vm, Overlap(a)); }

Value Intersects(CallArgs& a) { return Value::Bool(!Overlap(a).IsEmpty()); }

// An empty side gives the other; an argument answers for itself, through
// its own isEmpty if it has one.
Value Union(CallArgs& a) {
    const Edges e = EdgesOf(a, a.self), r = EdgesOf(a, a.Arg(0));
    if (a.vm.ToBool(a.vm.CallMethod(a.Arg(0), "isEmpty", {}))) return NewRectangle(a.vm, SelfRect(a));
    const GeomRect self{e.left, e.top, e.right - e.left, e.bottom - e.top};
    if (self.IsEmpty()) return NewRectangle(a.vm, {r.left, r.top, r.right - r.left, r.bottom - r.top});
    const double l = Least(e.left, r.left), t = Least(e.top, r.top);
    return NewRectangle(a.vm, {l, t, Most(e.right, r.right) - l, Most(e.bottom, r.bottom) - t});
}

Value IsEmpty(CallArgs& a) {
    return Value::Bool(!(Num(a, "width") > 0) || !(Num(a, "height") > 0));
}

Value SetEmpty(CallArgs& a) {
    for (const char* name : {"x", "y", "width", "height"}) Set(a, name, 0.0);
    return Value();
}

// Only another Rectangle can be equal.
Value Equals(CallArgs& a) {
    const Value ctor = a.vm.GetMember(Value::Obj(a.vm.FlashPackage("geom")), "Rectangle");
    if (!a.Arg(0).IsObject() || !ctor.IsObject() || !a.vm.InstanceOf(a.Arg(0), ctor.o)) return Value::Bool(false);
    const GeomRect r = SelfRect(a), s = RectArg(a, 0);
    return Value::Bool(r.x == s.x && r.y == s.y && r.width == s.width && r.height == s.height);
}

Value ToString(CallArgs& a) { return Describe(a.vm, a.self, GeomClass::Rectangle); }

}  // namespace

void InstallRectangle(avm1::Vm& vm, avm1::Object* package) {
    avm1::Object* proto = vm.NewObject();
    vm.DefineClassIn(package, "Rectangle", RectangleCtor, proto);
    vm.DefineAccessor(proto, "left", GetEdge, SetEdge, kLeft);
    vm.DefineAccessor(proto, "top", GetEdge, SetEdge, kTop);
    vm.DefineAccessor(proto, "right", GetEdge, SetEdge, kRight);
    vm.DefineAccessor(proto, "bottom", GetEdge, SetEdge, kBottom);
    vm.DefineAccessor(proto, "topLeft", GetCorner, SetCorner, kTopLeft);
    vm.DefineAccessor(proto, "bottomRight", GetCorner, SetCorner, kBottomRight);
    vm.DefineAccessor(proto, "size", GetCorner, SetCorner, kSize);
    vm.DefineNative(proto, "clone", Clone);
    vm.DefineNative(proto, "contains", Contains);
    vm.DefineNative(proto, "containsPoint", ContainsPoint);
    vm.DefineNative(proto, "containsRectangle", ContainsRectangle);
    vm.DefineNative(proto, "inflate", MoveBy, kInflate);
    vm.DefineNative(proto, "inflatePoint", MoveBy, kInflatePoint);
    vm.DefineNative(proto, "offset", MoveBy, kOffset);
    vm.DefineNative(proto, "offsetPoint", MoveBy, kOffsetPoint);
    vm.DefineNative(proto, "intersection", Intersection);
    vm.DefineNative(proto, "intersects", Intersects);
    vm.DefineNative(proto, "union", Union);
    vm.DefineNative(proto, "isEmpty", IsEmpty);
    vm.DefineNative(proto, "setEmpty", SetEmpty);
    vm.DefineNative(proto, "equals", Equals);
    vm.DefineNative(proto, "toString", ToString);
}

}  // namespace swf::bind
