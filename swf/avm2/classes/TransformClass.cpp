// flash.geom.Transform: a display object's matrix and colour transform.
// Each read makes a fresh Matrix or ColorTransform; assigning one writes
// the object, which the timeline then leaves alone.
#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/Geom.h"

namespace swf::avm2 {

namespace {

class TransformObject : public Object {
public:
    TransformObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    Value owner;  // the display object
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(owner);
    }
};

Object* AllocTransform(Machine& m, ClassObject* cls) { return m.New<TransformObject>(cls, cls->prototype); }

TransformObject* AsTransform(Machine& m, const Value& v) {
    ClassObject* c = m.FindClass("flash.geom.Transform");
    if (v.IsObject() && v.o->cls && c && v.o->cls->IsSubclassOf(c)) return static_cast<TransformObject*>(v.o);
    return nullptr;
}

uint32_t OwnerSerial(Machine& m, const Value& self) {
    TransformObject* t = AsTransform(m, self);
    return t && m.display ? SerialOf(m, t->owner) : 0;
}

Value TransformInit(Machine& m, Value self, Args args, int argc) {
    TransformObject* t = AsTransform(m, self);
    Value owner = Arg(args, argc, 0);
    if (!AsDisplay(m, owner)) m.TypeError(2007, "Parameter displayObject must be non-null.");
    if (t) t->owner = owner;
    return Value::Undefined();
}

Value NewMatrix(Machine& m, const GeomMatrix& g) {
    return Value::Obj(NewGeom(m, GeomKind::Matrix, {g.a, g.b, g.c, g.d, g.tx, g.ty}));
}

Value GetMatrix(Machine& m, Value self, Args, int) {
    GeomMatrix g;
    const uint32_t s = OwnerSerial(m, self);
    return s && m.display->GetMatrix(s, false, g) ? NewMatrix(m, g) : Value::Null();
}

Value GetConcatenatedMatrix(Machine& m, Value self, Args, int) {
    GeomMatrix g;
    const uint32_t s = OwnerSerial(m, self);
    return s && m.display->GetMatrix(s, true, g) ? NewMatrix(m, g) : Value::Null();
}

// Null leaves the matrix as it is (it would hand the object to 3D).
Value SetMatrix(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (v.IsNullish()) return Value::Undefined();
    GeomObject* g = NeedGeom(m, v, GeomKind::Matrix);
    if (const uint32_t s = OwnerSerial(m, self))
        m.display->SetMatrix(s, GeomMatrix{g->f[0], g->f[1], g->f[2], g->f[3], g->f[4], g->f[5]});
    return Value::Undefined();
}

Value NewColor(Machine& m, const GeomColorTransform& c) {
    return Value::Obj(NewGeom(m, GeomKind::ColorTransform,
                              {c.redMultiplier, c.greenMultiplier, c.blueMultiplier, c.alphaMultiplier, c.redOffset,
                               c.greenOffset, c.blueOffset, c.alphaOffset}));
}

Value GetColor(Machine& m, Value self, Args, int) {
    GeomColorTransform c;
    const uint32_t s = OwnerSerial(m, self);
    return NewColor(m, s && m.display->GetColor(s, false, c) ? c : GeomColorTransform());
}

Value GetConcatenatedColor(Machine& m, Value self, Args, int) {
    GeomColorTransform c;
    const uint32_t s = OwnerSerial(m, self);
    return NewColor(m, s && m.display->GetColor(s, true, c) ? c : GeomColorTransform());
}

Value SetColor(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    if (v.IsNullish()) m.TypeError(2007, "Parameter colorTransform must be non-null.");
    GeomObject* g = NeedGeom(m, v, GeomKind::ColorTransform);
    GeomColorTransform c;
    c.redMultiplier = g->f[0];
    c.greenMultiplier = g->f[1];
    c.blueMultiplier = g->f[2];
    c.alphaMultiplier = g->f[3];
    c.redOffset = g->f[4];
    c.greenOffset = g->f[5];
    c.blueOffset = g->f[6];
    c.alphaOffset = g->f[7];
    if (const uint32_t s = OwnerSerial(m, self)) m.display->SetColor(s, c);
    return Value::Undefined();
}

// A 2D object has no 3D matrix.
Value GetNull(Machine&, Value, Args, int) { return Value::Null(); }
Value Ignore(Machine&, Value, Args, int) { return Value::Undefined(); }

Value GetTransform(Machine& m, Value self, Args, int) {
    ClassObject* c = m.FindClass("flash.geom.Transform");
    if (!c || !AsDisplay(m, self)) return Value::Null();
    return m.Construct(Value::Obj(c), &self, 1);
}

// Takes the matrix and colour transform of another object's Transform.
Value SetTransform(Machine& m, Value self, Args args, int argc) {
    Value from = Arg(args, argc, 0);
    if (!AsTransform(m, from)) m.TypeError(2007, "Parameter transform must be non-null.");
    Value mine = GetTransform(m, self, nullptr, 0);
    if (!mine.IsObject()) return Value::Undefined();
    TempRoot keep(m, mine);
    Value matrix = GetMatrix(m, from, nullptr, 0);
    if (matrix.IsObject()) SetMatrix(m, mine, &matrix, 1);
    Value color = GetColor(m, from, nullptr, 0);
    SetColor(m, mine, &color, 1);
    return Value::Undefined();
}

}  // namespace

void InstallTransform(Machine& m, ClassObject* display) {
    ClassObject* c = m.DefineClass("flash.geom", "Transform", m.objectClass, AllocTransform);
    c->init = m.NewNativeMethod("Transform", TransformInit, 1);
    m.DefineGetter(c, "matrix", GetMatrix, SetMatrix);
    m.DefineGetter(c, "concatenatedMatrix", GetConcatenatedMatrix);
    m.DefineGetter(c, "colorTransform", GetColor, SetColor);
    m.DefineGetter(c, "concatenatedColorTransform", GetConcatenatedColor);
    m.DefineGetter(c, "matrix3D", GetNull, Ignore);
    m.DefineGetter(display, "transform", GetTransform, SetTransform);
}

}  // namespace swf::avm2
