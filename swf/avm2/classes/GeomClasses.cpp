// flash.geom.Point and Rectangle, and the helpers every geom class shares.
#include <cmath>

#include "swf/avm2/classes/Geom.h"

namespace swf::avm2 {

const char* const kGeomNames[] = {"Point", "Rectangle", "Matrix", "ColorTransform", "Vector3D"};

namespace {

template <GeomKind K>
Object* AllocGeom(Machine& m, ClassObject* cls) {
    return m.New<GeomObject>(cls, cls->prototype, K);
}

std::string Num(Machine& m, double d) { return m.NumberToString(d)->text; }

double NumArg(Machine& m, Args args, int argc, int i, double dflt) {
    return i < argc ? m.ToNumber(args[i]) : dflt;
}

GeomObject* Me(Machine& m, const Value& self, GeomKind k) { return NeedGeom(m, self, k); }

// Point -----------------------------------------------------------------------

constexpr GeomKind P = GeomKind::Point;

Value PointInit(Machine& m, Value self, Args args, int argc) {
    GeomObject* p = Me(m, self, P);
    p->f[0] = NumArg(m, args, argc, 0, 0);
    p->f[1] = NumArg(m, args, argc, 1, 0);
    return Value::Undefined();
}

GeomObject* AnyGeom(Machine& m, const Value& self) {
    auto* g = self.IsObject() ? dynamic_cast<GeomObject*>(self.o) : nullptr;
    if (!g) m.NullError(Value::Null());
    return g;
}

template <int I>
Value FieldGet(Machine& m, Value self, Args, int) {
    return Value::Number(AnyGeom(m, self)->f[I]);
}
template <int I>
Value FieldSet(Machine& m, Value self, Args args, int argc) {
    double v = m.ToNumber(Arg(args, argc, 0));
    AnyGeom(m, self)->f[I] = v;
    return Value::Undefined();
}

Value PointLength(Machine& m, Value self, Args, int) {
    GeomObject* p = Me(m, self, P);
    return Value::Number(std::hypot(p->f[0], p->f[1]));
}

Value PointAdd(Machine& m, Value self, Args args, int argc) {
    GeomObject *p = Me(m, self, P), *q = NeedGeom(m, Arg(args, argc, 0), P);
    return Value::Obj(NewGeom(m, P, {p->f[0] + q->f[0], p->f[1] + q->f[1]}));
}

Value PointSubtract(Machine& m, Value self, Args args, int argc) {
    GeomObject *p = Me(m, self, P), *q = NeedGeom(m, Arg(args, argc, 0), P);
    return Value::Obj(NewGeom(m, P, {p->f[0] - q->f[0], p->f[1] - q->f[1]}));
}

Value PointClone(Machine& m, Value self, Args, int) {
    GeomObject* p = Me(m, self, P);
    return Value::Obj(NewGeom(m, P, {p->f[0], p->f[1]}));
}

Value PointEquals(Machine& m, Value self, Args args, int argc) {
    GeomObject *p = Me(m, self, P), *q = NeedGeom(m, Arg(args, argc, 0), P);
    return Value::Bool(p->f[0] == q->f[0] && p->f[1] == q->f[1]);
}

Value PointNormalize(Machine& m, Value self, Args args, int argc) {
    GeomObject* p = Me(m, self, P);
    double len = std::hypot(p->f[0], p->f[1]);
    if (len > 0) {
        double k = m.ToNumber(Arg(args, argc, 0)) / len;
        p->f[0] *= k;
        p->f[1] *= k;
    }
    return Value::Undefined();
}

Value PointOffset(Machine& m, Value self, Args args, int argc) {
    GeomObject* p = Me(m, self, P);
    p->f[0] += m.ToNumber(Arg(args, argc, 0));
    p->f[1] += m.ToNumber(Arg(args, argc, 1));
    return Value::Undefined();
}

Value PointSetTo(Machine& m, Value self, Args args, int argc) {
    GeomObject* p = Me(m, self, P);
    p->f[0] = m.ToNumber(Arg(args, argc, 0));
    p->f[1] = m.ToNumber(Arg(args, argc, 1));
    return Value::Undefined();
}

Value PointCopyFrom(Machine& m, Value self, Args args, int argc) {
    GeomObject *p = Me(m, self, P), *q = NeedGeom(m, Arg(args, argc, 0), P);
    p->f[0] = q->f[0];
    p->f[1] = q->f[1];
    return Value::Undefined();
}

Value PointToString(Machine& m, Value self, Args, int) {
    GeomObject* p = Me(m, self, P);
    return Value::Str(m.Str("(x=" + Num(m, p->f[0]) + ", y=" + Num(m, p->f[1]) + ")"));
}

Value PointDistance(Machine& m, Value, Args args, int argc) {
    GeomObject *p = NeedGeom(m, Arg(args, argc, 0), P), *q = NeedGeom(m, Arg(args, argc, 1), P);
    return Value::Number(std::hypot(p->f[0] - q->f[0], p->f[1] - q->f[1]));
}

// f = 1 gives the first point, f = 0 the second.
Value PointInterpolate(Machine& m, Value, Args args, int argc) {
    GeomObject *p = NeedGeom(m, Arg(args, argc, 0), P), *q = NeedGeom(m, Arg(args, argc, 1), P);
    double f = m.ToNumber(Arg(args, argc, 2));
    return Value::Obj(NewGeom(m, P, {q->f[0] + f * (p->f[0] - q->f[0]), q->f[1] + f * (p->f[1] - q->f[1])}));
}

Value PointPolar(Machine& m, Value, Args args, int argc) {
    double len = m.ToNumber(Arg(args, argc, 0)), angle = m.ToNumber(Arg(args, argc, 1));
    return Value::Obj(NewGeom(m, P, {len * std::cos(angle), len * std::sin(angle)}));
}

// Rectangle -------------------------------------------------------------------

constexpr GeomKind R = GeomKind::Rectangle;
enum { X, Y, W, H };

Value RectInit(Machine& m, Value self, Args args, int argc) {
    GeomObject* r = Me(m, self, R);
    for (int i = 0; i < 4; ++i) r->f[i] = NumArg(m, args, argc, i, 0);
    return Value::Undefined();
}

bool RectEmpty(const GeomObject* r) { return !(r->f[W] > 0) || !(r->f[H] > 0); }

Value RectGetLeft(Machine& m, Value self, Args, int) { return Value::Number(Me(m, self, R)->f[X]); }
Value RectGetTop(Machine& m, Value self, Args, int) { return Value::Number(Me(m, self, R)->f[Y]); }
Value RectGetRight(Machine& m, Value self, Args, int) {
    GeomObject* r = Me(m, self, R);
    return Value::Number(r->f[X] + r->f[W]);
}
Value RectGetBottom(Machine& m, Value self, Args, int) {
    GeomObject* r = Me(m, self, R);
    return Value::Number(r->f[Y] + r->f[H]);
}
// Moving the left or top edge keeps the opposite edge where it was.
Value RectSetLeft(Machine& m, Value self, Args args, int argc) {
    GeomObject* r = Me(m, self, R);
    double v = m.ToNumber(Arg(args, argc, 0));
    r->f[W] -= v - r->f[X];
    r->f[X] = v;
    return Value::Undefined();
}
Value RectSetTop(Machine& m, Value self, Args args, int argc) {
    GeomObject* r = Me(m, self, R);
    double v = m.ToNumber(Arg(args, argc, 0));
    r->f[H] -= v - r->f[Y];
    r->f[Y] = v;
    return Value::Undefined();
}
Value RectSetRight(Machine& m, Value self, Args args, int argc) {
    GeomObject* r = Me(m, self, R);
    r->f[W] = m.ToNumber(Arg(args, argc, 0)) - r->f[X];
    return Value::Undefined();
}
Value RectSetBottom(Machine& m, Value self, Args args, int argc) {
    GeomObject* r = Me(m, self, R);
    r->f[H] = m.ToNumber(Arg(args, argc, 0)) - r->f[Y];
    return Value::Undefined();
}
Value RectGetTopLeft(Machine& m, Value self, Args, int) {
    GeomObject* r = Me(m, self, R);
    return Value::Obj(NewGeom(m, P, {r->f[X], r->f[Y]}));
}
Value RectSetTopLeft(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *p = NeedGeom(m, Arg(args, argc, 0), P);
    r->f[W] -= p->f[0] - r->f[X];
    r->f[H] -= p->f[1] - r->f[Y];
    r->f[X] = p->f[0];
    r->f[Y] = p->f[1];
    return Value::Undefined();
}
Value RectGetBottomRight(Machine& m, Value self, Args, int) {
    GeomObject* r = Me(m, self, R);
    return Value::Obj(NewGeom(m, P, {r->f[X] + r->f[W], r->f[Y] + r->f[H]}));
}
Value RectSetBottomRight(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *p = NeedGeom(m, Arg(args, argc, 0), P);
    r->f[W] = p->f[0] - r->f[X];
    r->f[H] = p->f[1] - r->f[Y];
    return Value::Undefined();
}
Value RectGetSize(Machine& m, Value self, Args, int) {
    GeomObject* r = Me(m, self, R);
    return Value::Obj(NewGeom(m, P, {r->f[W], r->f[H]}));
}
Value RectSetSize(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *p = NeedGeom(m, Arg(args, argc, 0), P);
    r->f[W] = p->f[0];
    r->f[H] = p->f[1];
    return Value::Undefined();
}

Value RectClone(Machine& m, Value self, Args, int) {
    GeomObject* r = Me(m, self, R);
    return Value::Obj(NewGeom(m, R, {r->f[X], r->f[Y], r->f[W], r->f[H]}));
}

Value RectContains(Machine& m, Value self, Args args, int argc) {
    GeomObject* r = Me(m, self, R);
    double x = m.ToNumber(Arg(args, argc, 0)), y = m.ToNumber(Arg(args, argc, 1));
    return Value::Bool(x >= r->f[X] && y >= r->f[Y] && x < r->f[X] + r->f[W] && y < r->f[Y] + r->f[H]);
}

Value RectContainsPoint(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *p = NeedGeom(m, Arg(args, argc, 0), P);
    double x = p->f[0], y = p->f[1];
    return Value::Bool(x >= r->f[X] && y >= r->f[Y] && x < r->f[X] + r->f[W] && y < r->f[Y] + r->f[H]);
}

Value RectContainsRect(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *o = NeedGeom(m, Arg(args, argc, 0), R);
    double r1 = o->f[X] + o->f[W], b1 = o->f[Y] + o->f[H], r2 = r->f[X] + r->f[W], b2 = r->f[Y] + r->f[H];
    return Value::Bool(o->f[X] >= r->f[X] && o->f[X] < r2 && o->f[Y] >= r->f[Y] && o->f[Y] < b2 && r1 <= r2 &&
                       b1 <= b2);
}

Value RectCopyFrom(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *o = NeedGeom(m, Arg(args, argc, 0), R);
    for (int i = 0; i < 4; ++i) r->f[i] = o->f[i];
    return Value::Undefined();
}

Value RectEquals(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *o = NeedGeom(m, Arg(args, argc, 0), R);
    return Value::Bool(r->f[X] == o->f[X] && r->f[Y] == o->f[Y] && r->f[W] == o->f[W] && r->f[H] == o->f[H]);
}

void Inflate(GeomObject* r, double dx, double dy) {
    r->f[X] -= dx;
    r->f[W] += 2 * dx;
    r->f[Y] -= dy;
    r->f[H] += 2 * dy;
}

Value RectInflate(Machine& m, Value self, Args args, int argc) {
    Inflate(Me(m, self, R), m.ToNumber(Arg(args, argc, 0)), m.ToNumber(Arg(args, argc, 1)));
    return Value::Undefined();
}

Value RectInflatePoint(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *p = NeedGeom(m, Arg(args, argc, 0), P);
    Inflate(r, p->f[0], p->f[1]);
    return Value::Undefined();
}

// The overlap of two rectangles; false when they do not overlap.
bool Overlap(const GeomObject* a, const GeomObject* b, double out[4]) {
    if (RectEmpty(a) || RectEmpty(b)) return false;
    double l = std::max(a->f[X], b->f[X]), t = std::max(a->f[Y], b->f[Y]);
    double r = std::min(a->f[X] + a->f[W], b->f[X] + b->f[W]), bt = std::min(a->f[Y] + a->f[H], b->f[Y] + b->f[H]);
    if (!(l < r) || !(t < bt)) return false;
    out[0] = l, out[1] = t, out[2] = r - l, out[3] = bt - t;
    return true;
}

Value RectIntersection(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *o = NeedGeom(m, Arg(args, argc, 0), R);
    double f[4] = {0, 0, 0, 0};
    Overlap(r, o, f);
    return Value::Obj(NewGeom(m, R, {f[0], f[1], f[2], f[3]}));
}

Value RectIntersects(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *o = NeedGeom(m, Arg(args, argc, 0), R);
    double f[4];
    return Value::Bool(Overlap(r, o, f));
}

Value RectIsEmpty(Machine& m, Value self, Args, int) { return Value::Bool(RectEmpty(Me(m, self, R))); }

Value RectOffset(Machine& m, Value self, Args args, int argc) {
    GeomObject* r = Me(m, self, R);
    r->f[X] += m.ToNumber(Arg(args, argc, 0));
    r->f[Y] += m.ToNumber(Arg(args, argc, 1));
    return Value::Undefined();
}

Value RectOffsetPoint(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *p = NeedGeom(m, Arg(args, argc, 0), P);
    r->f[X] += p->f[0];
    r->f[Y] += p->f[1];
    return Value::Undefined();
}

Value RectSetEmpty(Machine& m, Value self, Args, int) {
    GeomObject* r = Me(m, self, R);
    for (int i = 0; i < 4; ++i) r->f[i] = 0;
    return Value::Undefined();
}

Value RectSetTo(Machine& m, Value self, Args args, int argc) {
    GeomObject* r = Me(m, self, R);
    for (int i = 0; i < 4; ++i) r->f[i] = m.ToNumber(Arg(args, argc, i));
    return Value::Undefined();
}

Value RectUnion(Machine& m, Value self, Args args, int argc) {
    GeomObject *r = Me(m, self, R), *o = NeedGeom(m, Arg(args, argc, 0), R);
    if (RectEmpty(r)) return Value::Obj(NewGeom(m, R, {o->f[X], o->f[Y], o->f[W], o->f[H]}));
    if (RectEmpty(o)) return Value::Obj(NewGeom(m, R, {r->f[X], r->f[Y], r->f[W], r->f[H]}));
    double l = std::min(r->f[X], o->f[X]), t = std::min(r->f[Y], o->f[Y]);
    double rt = std::max(r->f[X] + r->f[W], o->f[X] + o->f[W]), b = std::max(r->f[Y] + r->f[H], o->f[Y] + o->f[H]);
    return Value::Obj(NewGeom(m, R, {l, t, rt - l, b - t}));
}

Value RectToString(Machine& m, Value self, Args, int) {
    GeomObject* r = Me(m, self, R);
    return Value::Str(m.Str("(x=" + Num(m, r->f[X]) + ", y=" + Num(m, r->f[Y]) + ", w=" + Num(m, r->f[W]) +
                            ", h=" + Num(m, r->f[H]) + ")"));
}

}  // namespace

GeomObject* AsGeom(const Value& v, GeomKind kind) {
    auto* g = v.IsObject() ? dynamic_cast<GeomObject*>(v.o) : nullptr;
    return g && g->what == kind ? g : nullptr;
}

GeomObject* NeedGeom(Machine& m, const Value& v, GeomKind kind) {
    if (v.IsNullish()) m.NullError(Value::Null());
    GeomObject* g = AsGeom(v, kind);
    if (!g)
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to flash.geom." +
                              kGeomNames[int(kind)] + ".");
    return g;
}

GeomObject* NewGeom(Machine& m, GeomKind kind, std::initializer_list<double> fields) {
    ClassObject* c = m.FindClass(std::string("flash.geom.") + kGeomNames[int(kind)]);
    auto* g = static_cast<GeomObject*>(m.Instantiate(c));
    int i = 0;
    for (double d : fields) g->f[i++] = d;
    return g;
}

ClassObject* DefineGeomClass(Machine& m, GeomKind kind, NativeFn init, int length) {
    static const Allocator allocs[] = {AllocGeom<GeomKind::Point>, AllocGeom<GeomKind::Rectangle>,
                                       AllocGeom<GeomKind::Matrix>, AllocGeom<GeomKind::ColorTransform>,
                                       AllocGeom<GeomKind::Vector3D>};
    const char* name = kGeomNames[int(kind)];
    ClassObject* c = m.DefineClass("flash.geom", name, m.objectClass, allocs[int(kind)], true);
    c->init = m.NewNativeMethod(name, init, length);
    return c;
}

void DefineGeomFields(Machine& m, ClassObject* c, std::initializer_list<const char*> names) {
    static const NativeFn gets[] = {FieldGet<0>, FieldGet<1>, FieldGet<2>, FieldGet<3>,
                                    FieldGet<4>, FieldGet<5>, FieldGet<6>, FieldGet<7>};
    static const NativeFn sets[] = {FieldSet<0>, FieldSet<1>, FieldSet<2>, FieldSet<3>,
                                    FieldSet<4>, FieldSet<5>, FieldSet<6>, FieldSet<7>};
    int i = 0;
    for (const char* n : names) {
        m.DefineGetter(c, n, gets[i], sets[i]);
        ++i;
    }
}

void InstallGeom(Machine& m) {
    ClassObject* p = DefineGeomClass(m, P, PointInit, 2);
    DefineGeomFields(m, p, {"x", "y"});
    m.DefineGetter(p, "length", PointLength);
    m.DefineMethod(p, "add", PointAdd, 1);
    m.DefineMethod(p, "subtract", PointSubtract, 1);
    m.DefineMethod(p, "clone", PointClone, 0);
    m.DefineMethod(p, "equals", PointEquals, 1);
    m.DefineMethod(p, "normalize", PointNormalize, 1);
    m.DefineMethod(p, "offset", PointOffset, 2);
    m.DefineMethod(p, "setTo", PointSetTo, 2);
    m.DefineMethod(p, "copyFrom", PointCopyFrom, 1);
    m.DefineMethod(p, "toString", PointToString, 0);
    m.DefineStatic(p, "distance", PointDistance, 2);
    m.DefineStatic(p, "interpolate", PointInterpolate, 3);
    m.DefineStatic(p, "polar", PointPolar, 2);

    ClassObject* r = DefineGeomClass(m, R, RectInit, 4);
    DefineGeomFields(m, r, {"x", "y", "width", "height"});
    m.DefineGetter(r, "left", RectGetLeft, RectSetLeft);
    m.DefineGetter(r, "top", RectGetTop, RectSetTop);
    m.DefineGetter(r, "right", RectGetRight, RectSetRight);
    m.DefineGetter(r, "bottom", RectGetBottom, RectSetBottom);
    m.DefineGetter(r, "topLeft", RectGetTopLeft, RectSetTopLeft);
    m.DefineGetter(r, "bottomRight", RectGetBottomRight, RectSetBottomRight);
    m.DefineGetter(r, "size", RectGetSize, RectSetSize);
    m.DefineMethod(r, "clone", RectClone, 0);
    m.DefineMethod(r, "contains", RectContains, 2);
    m.DefineMethod(r, "containsPoint", RectContainsPoint, 1);
    m.DefineMethod(r, "containsRect", RectContainsRect, 1);
    m.DefineMethod(r, "copyFrom", RectCopyFrom, 1);
    m.DefineMethod(r, "equals", RectEquals, 1);
    m.DefineMethod(r, "inflate", RectInflate, 2);
    m.DefineMethod(r, "inflatePoint", RectInflatePoint, 1);
    m.DefineMethod(r, "intersection", RectIntersection, 1);
    m.DefineMethod(r, "intersects", RectIntersects, 1);
    m.DefineMethod(r, "isEmpty", RectIsEmpty, 0);
    m.DefineMethod(r, "offset", RectOffset, 2);
    m.DefineMethod(r, "offsetPoint", RectOffsetPoint, 1);
    m.DefineMethod(r, "setEmpty", RectSetEmpty, 0);
    m.DefineMethod(r, "setTo", RectSetTo, 4);
    m.DefineMethod(r, "toString", RectToString, 0);
    m.DefineMethod(r, "union", RectUnion, 1);
    InstallGeomMatrix(m);
    InstallMatrix3D(m);
}

}  // namespace swf::avm2
