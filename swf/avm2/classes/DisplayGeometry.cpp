// DisplayObject's questions of place: getBounds and getRect in another
// object's space, points between its space and the stage's, and the two
// hit tests.
#include "swf/avm2/classes/Builtins.h"
#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/Geom.h"

namespace swf::avm2 {

namespace {

uint32_t PlaceSerial(Machine& m, const Value& v) {
    DispatcherObject* d = AsDisplay(m, v);
    if (!d || !m.display) return 0;
    return d->isStage ? m.display->StageSerial() : d->serial;
}

DispatcherObject* Self(Machine& m, const Value& v) {
    DispatcherObject* d = AsDisplay(m, v);
    if (!d) m.NullError(Value::Null());
    return d;
}

// The stage has no bounds of its own that scripts ask for here.
Value BoundsIn(Machine& m, Value self, Args args, int argc) {
    Self(m, self);
    Value target = Arg(args, argc, 0);
    double r[4] = {0, 0, 0, 0};
    uint32_t s = PlaceSerial(m, self);
    uint32_t space = target.IsNullish() ? s : PlaceSerial(m, target);
    if (s) m.display->Bounds(s, space, r);
    return Value::Obj(NewGeom(m, GeomKind::Rectangle, {r[0], r[1], r[2], r[3]}));
}

template <bool ToStage>
Value MovePoint(Machine& m, Value self, Args args, int argc) {
    Self(m, self);
    GeomObject* p = NeedGeom(m, Arg(args, argc, 0), GeomKind::Point);
    double x = p->f[0], y = p->f[1];
    uint32_t s = PlaceSerial(m, self);
    if (s && s != m.display->StageSerial()) {
        if (ToStage) m.display->ToStagePoint(s, x, y);
        else m.display->ToLocalPoint(s, x, y);
    }
    return Value::Obj(NewGeom(m, GeomKind::Point, {x, y}));
}

Value HitTestPoint(Machine& m, Value self, Args args, int argc) {
    Self(m, self);
    double x = m.ToNumber(Arg(args, argc, 0)), y = m.ToNumber(Arg(args, argc, 1));
    bool shape = m.ToBoolean(Arg(args, argc, 2));
    uint32_t s = PlaceSerial(m, self);
    return Value::Bool(s && m.display->HitPoint(s, x, y, shape));
}

Value HitTestObject(Machine& m, Value self, Args args, int argc) {
    Self(m, self);
    DispatcherObject* other = AsDisplay(m, Arg(args, argc, 0));
    if (!other) m.TypeError(2007, "Parameter obj must be non-null.");
    uint32_t a = PlaceSerial(m, self), b = PlaceSerial(m, Value::Obj(other));
    return Value::Bool(a && b && m.display->HitObject(a, b));
}

// The objects under a stage point that draw something there, from this
// container down, bottom first.
Value ObjectsUnderPoint(Machine& m, Value self, Args args, int argc) {
    Self(m, self);
    GeomObject* p = NeedGeom(m, Arg(args, argc, 0), GeomKind::Point);
    ArrayObject* out = m.NewArray();
    Value result = Value::Obj(out);
    uint32_t s = PlaceSerial(m, self);
    if (!s) return result;
    TempRoot keep(m, result);
    for (uint32_t serial : m.display->ObjectsUnder(s, p->f[0], p->f[1])) {
        Value v = m.display->Wrap(serial);
        if (v.IsObject()) out->items.push_back(v);
    }
    return result;
}

// Nothing under a point is kept from scripts by another movie's security.
Value InaccessibleUnderPoint(Machine& m, Value self, Args args, int argc) {
    Self(m, self);
    NeedGeom(m, Arg(args, argc, 0), GeomKind::Point);
    return Value::Bool(false);
}

}  // namespace

void InstallContainerGeometry(Machine& m, ClassObject* container) {
    m.DefineMethod(container, "getObjectsUnderPoint", ObjectsUnderPoint, 1);
    m.DefineMethod(container, "areInaccessibleObjectsUnderPoint", InaccessibleUnderPoint, 1);
}

void InstallDisplayGeometry(Machine& m, ClassObject* display) {
    m.DefineMethod(display, "getBounds", BoundsIn, 1);
    m.DefineMethod(display, "getRect", BoundsIn, 1);
    m.DefineMethod(display, "localToGlobal", MovePoint<true>, 1);
    m.DefineMethod(display, "globalToLocal", MovePoint<false>, 1);
    m.DefineMethod(display, "hitTestPoint", HitTestPoint, 2);
    m.DefineMethod(display, "hitTestObject", HitTestObject, 1);
}

}  // namespace swf::avm2
