// flash.geom.Rectangle: x, y, width and height are plain properties; the
// edges and corners are accessors over them. Moving an edge or a corner
// keeps the opposite one where it was.
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

void Store(CallArgs& a, const GeomRect& r) {
    if (a.self.IsObject()) StoreRect(a.vm, a.self.o, r);
}

// The edges by magic: each is a number read and written on its own.
enum Edge { kLeft, kTop, kRight, kBottom };

// The near edges and corner are the members as they are (undefined stays
// undefined); the far ones are sums, so numbers.
Value Member(CallArgs& a, const char* name) { return a.self.IsObject() ? a.vm.GetMember(a.self, name) : Value(); }

Value Sum(CallArgs& a, const char* from, const char* size) {
    return Value::Num(a.vm.ToNumber(Member(a, from)) + a.vm.ToNumber(Member(a, size)));
}

Value GetEdge(CallArgs& a) {
    switch (a.callee->fn->magic) {
    case kLeft: return Member(a, "x");
    case kTop: return Member(a, "y");
    case kRight: return Sum(a, "x", "width");
    default: return Sum(a, "y", "height");
    }
}

void MoveEdge(GeomRect& r, int edge, double v) {
    switch (edge) {
    case kLeft: r.width += r.x - v, r.x = v; break;
    case kTop: r.height += r.y - v, r.y = v; break;
    case kRight: r.width = v - r.x; break;
    default: r.height = v - r.y; break;
    }
}

Value SetEdge(CallArgs& a) {
    GeomRect r = SelfRect(a);
    MoveEdge(r, a.callee->fn->magic, NumberArg(a, 0));
    Store(a, r);
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
    GeomRect r = SelfRect(a);
    const GeomPoint p = PointArg(a, 0);
    switch (a.callee->fn->magic) {
    case kTopLeft: MoveEdge(r, kLeft, p.x), MoveEdge(r, kTop, p.y); break;
    case kBottomRight: MoveEdge(r, kRight, p.x), MoveEdge(r, kBottom, p.y); break;
    default: r.width = p.x, r.height = p.y; break;
    }
    Store(a, r);
    return Value();
}

Value Clone(CallArgs& a) { return NewRectangle(a.vm, SelfRect(a)); }

Value Contains(CallArgs& a) { return Value::Bool(SelfRect(a).Contains(NumberArg(a, 0), NumberArg(a, 1))); }

Value ContainsPoint(CallArgs& a) {
    const GeomPoint p = PointArg(a, 0);
    return Value::Bool(SelfRect(a).Contains(p.x, p.y));
}

Value ContainsRectangle(CallArgs& a) { return Value::Bool(SelfRect(a).ContainsRect(RectArg(a, 0))); }

// inflate, offset and their point forms, by magic.
enum Move { kInflate, kInflatePoint, kOffset, kOffsetPoint };

Value MoveBy(CallArgs& a) {
    const int move = a.callee->fn->magic;
    GeomPoint d{NumberArg(a, 0), NumberArg(a, 1)};
    if (move == kInflatePoint || move == kOffsetPoint) d = PointArg(a, 0);
    const GeomRect r = SelfRect(a);
    if (move <= kInflatePoint) Store(a, {r.x - d.x, r.y - d.y, r.width + 2 * d.x, r.height + 2 * d.y});
    else Store(a, {r.x + d.x, r.y + d.y, r.width, r.height});
    return Value();
}

Value Intersection(CallArgs& a) { return NewRectangle(a.vm, SelfRect(a).Intersection(RectArg(a, 0))); }

Value Intersects(CallArgs& a) { return Value::Bool(SelfRect(a).Intersects(RectArg(a, 0))); }

Value Union(CallArgs& a) { return NewRectangle(a.vm, SelfRect(a).Union(RectArg(a, 0))); }

Value IsEmpty(CallArgs& a) { return Value::Bool(SelfRect(a).IsEmpty()); }

Value SetEmpty(CallArgs& a) {
    Store(a, {});
    return Value();
}

Value Equals(CallArgs& a) {
    if (!a.Arg(0).IsObject()) return Value::Bool(false);
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
