// flash.geom.Matrix, ColorTransform and Vector3D.
#include <cmath>

#include "swf/avm2/classes/Geom.h"

namespace swf::avm2 {

namespace {

constexpr GeomKind P = GeomKind::Point;
constexpr GeomKind M = GeomKind::Matrix;
constexpr GeomKind C = GeomKind::ColorTransform;
constexpr GeomKind V = GeomKind::Vector3D;
enum { A, B, Cc, D, TX, TY };

std::string Num(Machine& m, double d) { return m.NumberToString(d)->text; }
double NumArg(Machine& m, Args args, int argc, int i, double dflt) {
    return i < argc ? m.ToNumber(args[i]) : dflt;
}

// Matrix ----------------------------------------------------------------------

Value MatrixInit(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, M);
    static const double dflt[6] = {1, 0, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i) x->f[i] = NumArg(m, args, argc, i, dflt[i]);
    return Value::Undefined();
}

void SetMatrix(GeomObject* x, double a, double b, double c, double d, double tx, double ty) {
    x->f[A] = a, x->f[B] = b, x->f[Cc] = c, x->f[D] = d, x->f[TX] = tx, x->f[TY] = ty;
}

Value MatrixClone(Machine& m, Value self, Args, int) {
    const double* f = NeedGeom(m, self, M)->f;
    return Value::Obj(NewGeom(m, M, {f[0], f[1], f[2], f[3], f[4], f[5]}));
}

// This matrix followed by the given one.
Value MatrixConcat(Machine& m, Value self, Args args, int argc) {
    GeomObject *x = NeedGeom(m, self, M), *o = NeedGeom(m, Arg(args, argc, 0), M);
    const double* f = x->f;
    const double* g = o->f;
    SetMatrix(x, f[A] * g[A] + f[B] * g[Cc], f[A] * g[B] + f[B] * g[D], f[Cc] * g[A] + f[D] * g[Cc],
              f[Cc] * g[B] + f[D] * g[D], f[TX] * g[A] + f[TY] * g[Cc] + g[TX], f[TX] * g[B] + f[TY] * g[D] + g[TY]);
    return Value::Undefined();
}

Value MatrixCopyFrom(Machine& m, Value self, Args args, int argc) {
    GeomObject *x = NeedGeom(m, self, M), *o = NeedGeom(m, Arg(args, argc, 0), M);
    for (int i = 0; i < 6; ++i) x->f[i] = o->f[i];
    return Value::Undefined();
}

// Columns are (a, b), (c, d), (tx, ty); rows (a, c, tx), (b, d, ty).
Value CopyLine(Machine& m, Value self, Args args, int argc, bool column, bool to) {
    GeomObject* x = NeedGeom(m, self, M);
    uint32_t i = m.ToUint32(Arg(args, argc, 0));
    GeomObject* v = NeedGeom(m, Arg(args, argc, 1), V);
    double* f = x->f;
    double* lines[2][3][3] = {{{&f[A], &f[B], nullptr}, {&f[Cc], &f[D], nullptr}, {&f[TX], &f[TY], nullptr}},
                              {{&f[A], &f[Cc], &f[TX]}, {&f[B], &f[D], &f[TY]}, {nullptr, nullptr, nullptr}}};
    if (i > 2) return Value::Undefined();
    double** line = lines[column ? 0 : 1][i];
    for (int k = 0; k < 3; ++k) {
        if (to) v->f[k] = line[k] ? *line[k] : (k == 2 && i == 2 ? 1 : 0);
        else if (line[k]) *line[k] = v->f[k];
    }
    return Value::Undefined();
}

Value MatrixCopyColumnTo(Machine& m, Value self, Args args, int argc) { return CopyLine(m, self, args, argc, true, true); }
Value MatrixCopyColumnFrom(Machine& m, Value self, Args args, int argc) { return CopyLine(m, self, args, argc, true, false); }
Value MatrixCopyRowTo(Machine& m, Value self, Args args, int argc) { return CopyLine(m, self, args, argc, false, true); }
Value MatrixCopyRowFrom(Machine& m, Value self, Args args, int argc) { return CopyLine(m, self, args, argc, false, false); }

Value MatrixCreateBox(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, M);
    double sx = m.ToNumber(Arg(args, argc, 0)), sy = m.ToNumber(Arg(args, argc, 1));
    double r = NumArg(m, args, argc, 2, 0), tx = NumArg(m, args, argc, 3, 0), ty = NumArg(m, args, argc, 4, 0);
    double cs = std::cos(r), sn = std::sin(r);
    SetMatrix(x, cs * sx, sn * sy, -sn * sx, cs * sy, tx, ty);
    return Value::Undefined();
}

// A gradient's box maps the 1638.4-wide gradient square onto the box.
Value MatrixCreateGradientBox(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, M);
    double w = m.ToNumber(Arg(args, argc, 0)), h = m.ToNumber(Arg(args, argc, 1));
    double r = NumArg(m, args, argc, 2, 0), tx = NumArg(m, args, argc, 3, 0), ty = NumArg(m, args, argc, 4, 0);
    double cs = std::cos(r), sn = std::sin(r);
    SetMatrix(x, cs * w / 1638.4, sn * h / 1638.4, -sn * w / 1638.4, cs * h / 1638.4, tx + w / 2, ty + h / 2);
    return Value::Undefined();
}

Value TransformPointBy(Machine& m, Value self, Args args, int argc, bool translate) {
    GeomObject *x = NeedGeom(m, self, M), *p = NeedGeom(m, Arg(args, argc, 0), P);
    const double* f = x->f;
    double px = p->f[0], py = p->f[1];
    return Value::Obj(NewGeom(m, P, {f[A] * px + f[Cc] * py + (translate ? f[TX] : 0),
                                     f[B] * px + f[D] * py + (translate ? f[TY] : 0)}));
}
Value MatrixTransformPoint(Machine& m, Value self, Args args, int argc) { return TransformPointBy(m, self, args, argc, true); }
Value MatrixDeltaTransformPoint(Machine& m, Value self, Args args, int argc) {
    return TransformPointBy(m, self, args, argc, false);
}

Value MatrixIdentity(Machine& m, Value self, Args, int) {
    SetMatrix(NeedGeom(m, self, M), 1, 0, 0, 1, 0, 0);
    return Value::Undefined();
}

Value MatrixInvert(Machine& m, Value self, Args, int) {
    GeomObject* x = NeedGeom(m, self, M);
    double* f = x->f;
    if (f[B] == 0 && f[Cc] == 0) {
        f[A] = 1 / f[A];
        f[D] = 1 / f[D];
        f[TX] *= -f[A];
        f[TY] *= -f[D];
        return Value::Undefined();
    }
    double det = f[A] * f[D] - f[B] * f[Cc];
    if (det == 0) {
        SetMatrix(x, 1, 0, 0, 1, 0, 0);
        return Value::Undefined();
    }
    double a = f[D] / det, b = -f[B] / det, c = -f[Cc] / det, d = f[A] / det;
    SetMatrix(x, a, b, c, d, -(a * f[TX] + c * f[TY]), -(b * f[TX] + d * f[TY]));
    return Value::Undefined();
}

Value MatrixRotate(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, M);
    double r = m.ToNumber(Arg(args, argc, 0)), cs = std::cos(r), sn = std::sin(r);
    const double* f = x->f;
    SetMatrix(x, f[A] * cs - f[B] * sn, f[A] * sn + f[B] * cs, f[Cc] * cs - f[D] * sn, f[Cc] * sn + f[D] * cs,
              f[TX] * cs - f[TY] * sn, f[TX] * sn + f[TY] * cs);
    return Value::Undefined();
}

Value MatrixScale(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, M);
    double sx = m.ToNumber(Arg(args, argc, 0)), sy = m.ToNumber(Arg(args, argc, 1));
    const double* f = x->f;
    SetMatrix(x, f[A] * sx, f[B] * sy, f[Cc] * sx, f[D] * sy, f[TX] * sx, f[TY] * sy);
    return Value::Undefined();
}

Value MatrixTranslate(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, M);
    x->f[TX] += m.ToNumber(Arg(args, argc, 0));
    x->f[TY] += m.ToNumber(Arg(args, argc, 1));
    return Value::Undefined();
}

Value MatrixSetTo(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, M);
    for (int i = 0; i < 6; ++i) x->f[i] = m.ToNumber(Arg(args, argc, i));
    return Value::Undefined();
}

Value MatrixToString(Machine& m, Value self, Args, int) {
    const double* f = NeedGeom(m, self, M)->f;
    return Value::Str(m.Str("(a=" + Num(m, f[A]) + ", b=" + Num(m, f[B]) + ", c=" + Num(m, f[Cc]) + ", d=" +
                            Num(m, f[D]) + ", tx=" + Num(m, f[TX]) + ", ty=" + Num(m, f[TY]) + ")"));
}

// ColorTransform ----------------------------------------------------------------

Value ColorInit(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, C);
    for (int i = 0; i < 8; ++i) x->f[i] = NumArg(m, args, argc, i, i < 4 ? 1 : 0);
    return Value::Undefined();
}

Value ColorGet(Machine& m, Value self, Args, int) {
    const double* f = NeedGeom(m, self, C)->f;
    uint32_t rgb = (uint32_t(int32_t(f[4])) & 0xff) << 16 | (uint32_t(int32_t(f[5])) & 0xff) << 8 |
                   (uint32_t(int32_t(f[6])) & 0xff);
    return Value::Uint(rgb);
}

// Setting a colour paints it flat: multipliers go to zero.
Value ColorSet(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, C);
    uint32_t rgb = m.ToUint32(Arg(args, argc, 0));
    x->f[0] = x->f[1] = x->f[2] = 0;
    x->f[4] = (rgb >> 16) & 0xff;
    x->f[5] = (rgb >> 8) & 0xff;
    x->f[6] = rgb & 0xff;
    return Value::Undefined();
}

Value ColorConcat(Machine& m, Value self, Args args, int argc) {
    GeomObject *x = NeedGeom(m, self, C), *o = NeedGeom(m, Arg(args, argc, 0), C);
    for (int i = 0; i < 4; ++i) {
        x->f[4 + i] += o->f[4 + i] * x->f[i];
        x->f[i] *= o->f[i];
    }
    return Value::Undefined();
}

Value ColorToString(Machine& m, Value self, Args, int) {
    const double* f = NeedGeom(m, self, C)->f;
    static const char* names[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                  "redOffset", "greenOffset", "blueOffset", "alphaOffset"};
    std::string s = "(";
    for (int i = 0; i < 8; ++i) s += std::string(i ? ", " : "") + names[i] + "=" + Num(m, f[i]);
    return Value::Str(m.Str(s + ")"));
}

// Vector3D ------------------------------------------------------------------------

Value VecInit(Machine& m, Value self, Args args, int argc) {
    GeomObject* x = NeedGeom(m, self, V);
    for (int i = 0; i < 4; ++i) x->f[i] = NumArg(m, args, argc, i, 0);
    return Value::Undefined();
}

const double* Vec(Machine& m, const Value& v) { return NeedGeom(m, v, V)->f; }
Value NewVec(Machine& m, double x, double y, double z, double w = 0) {
    return Value::Obj(NewGeom(m, V, {x, y, z, w}));
}

Value VecLength(Machine& m, Value self, Args, int) {
    const double* f = Vec(m, self);
    return Value::Number(std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]));
}
Value VecLengthSquared(Machine& m, Value self, Args, int) {
    const double* f = Vec(m, self);
    return Value::Number(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
}
Value VecAdd(Machine& m, Value self, Args args, int argc) {
    const double *f = Vec(m, self), *g = Vec(m, Arg(args, argc, 0));
    return NewVec(m, f[0] + g[0], f[1] + g[1], f[2] + g[2]);
}
Value VecSubtract(Machine& m, Value self, Args args, int argc) {
    const double *f = Vec(m, self), *g = Vec(m, Arg(args, argc, 0));
    return NewVec(m, f[0] - g[0], f[1] - g[1], f[2] - g[2]);
}
Value VecCross(Machine& m, Value self, Args args, int argc) {
    const double *f = Vec(m, self), *g = Vec(m, Arg(args, argc, 0));
    return NewVec(m, f[1] * g[2] - f[2] * g[1], f[2] * g[0] - f[0] * g[2], f[0] * g[1] - f[1] * g[0], 1);
}
Value VecDot(Machine& m, Value self, Args args, int argc) {
    const double *f = Vec(m, self), *g = Vec(m, Arg(args, argc, 0));
    return Value::Number(f[0] * g[0] + f[1] * g[1] + f[2] * g[2]);
}
Value VecClone(Machine& m, Value self, Args, int) {
    const double* f = Vec(m, self);
    return NewVec(m, f[0], f[1], f[2], f[3]);
}
Value VecCopyFrom(Machine& m, Value self, Args args, int argc) {
    double* f = NeedGeom(m, self, V)->f;
    const double* g = Vec(m, Arg(args, argc, 0));
    for (int i = 0; i < 3; ++i) f[i] = g[i];
    return Value::Undefined();
}
Value VecIncrementBy(Machine& m, Value self, Args args, int argc) {
    double* f = NeedGeom(m, self, V)->f;
    const double* g = Vec(m, Arg(args, argc, 0));
    for (int i = 0; i < 3; ++i) f[i] += g[i];
    return Value::Undefined();
}
Value VecDecrementBy(Machine& m, Value self, Args args, int argc) {
    double* f = NeedGeom(m, self, V)->f;
    const double* g = Vec(m, Arg(args, argc, 0));
    for (int i = 0; i < 3; ++i) f[i] -= g[i];
    return Value::Undefined();
}
Value VecEquals(Machine& m, Value self, Args args, int argc) {
    const double *f = Vec(m, self), *g = Vec(m, Arg(args, argc, 0));
    bool all = m.ToBoolean(Arg(args, argc, 1));
    return Value::Bool(f[0] == g[0] && f[1] == g[1] && f[2] == g[2] && (!all || f[3] == g[3]));
}
Value VecNearEquals(Machine& m, Value self, Args args, int argc) {
    const double *f = Vec(m, self), *g = Vec(m, Arg(args, argc, 0));
    double tol = m.ToNumber(Arg(args, argc, 1));
    int n = m.ToBoolean(Arg(args, argc, 2)) ? 4 : 3;
    for (int i = 0; i < n; ++i)
        if (!(std::fabs(f[i] - g[i]) < tol)) return Value::Bool(false);
    return Value::Bool(true);
}
Value VecNegate(Machine& m, Value self, Args, int) {
    double* f = NeedGeom(m, self, V)->f;
    for (int i = 0; i < 3; ++i) f[i] = -f[i];
    return Value::Undefined();
}
Value VecNormalize(Machine& m, Value self, Args, int) {
    double* f = NeedGeom(m, self, V)->f;
    double len = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (len != 0)
        for (int i = 0; i < 3; ++i) f[i] /= len;
    return Value::Number(len);
}
Value VecProject(Machine& m, Value self, Args, int) {
    double* f = NeedGeom(m, self, V)->f;
    for (int i = 0; i < 3; ++i) f[i] /= f[3];
    return Value::Undefined();
}
Value VecScaleBy(Machine& m, Value self, Args args, int argc) {
    double* f = NeedGeom(m, self, V)->f;
    double k = m.ToNumber(Arg(args, argc, 0));
    for (int i = 0; i < 3; ++i) f[i] *= k;
    return Value::Undefined();
}
Value VecSetTo(Machine& m, Value self, Args args, int argc) {
    double* f = NeedGeom(m, self, V)->f;
    for (int i = 0; i < 3; ++i) f[i] = m.ToNumber(Arg(args, argc, i));
    return Value::Undefined();
}
Value VecToString(Machine& m, Value self, Args, int) {
    const double* f = Vec(m, self);
    return Value::Str(m.Str("Vector3D(" + Num(m, f[0]) + ", " + Num(m, f[1]) + ", " + Num(m, f[2]) + ")"));
}
Value VecAngleBetween(Machine& m, Value, Args args, int argc) {
    const double *f = Vec(m, Arg(args, argc, 0)), *g = Vec(m, Arg(args, argc, 1));
    double lf = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]), lg = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
    return Value::Number(std::acos((f[0] * g[0] + f[1] * g[1] + f[2] * g[2]) / (lf * lg)));
}
Value VecDistance(Machine& m, Value, Args args, int argc) {
    const double *f = Vec(m, Arg(args, argc, 0)), *g = Vec(m, Arg(args, argc, 1));
    double dx = f[0] - g[0], dy = f[1] - g[1], dz = f[2] - g[2];
    return Value::Number(std::sqrt(dx * dx + dy * dy + dz * dz));
}

}  // namespace

void InstallGeomMatrix(Machine& m) {
    ClassObject* x = DefineGeomClass(m, M, MatrixInit, 6);
    DefineGeomFields(m, x, {"a", "b", "c", "d", "tx", "ty"});
    m.DefineMethod(x, "clone", MatrixClone, 0);
    m.DefineMethod(x, "concat", MatrixConcat, 1);
    m.DefineMethod(x, "copyFrom", MatrixCopyFrom, 1);
    m.DefineMethod(x, "copyColumnTo", MatrixCopyColumnTo, 2);
    m.DefineMethod(x, "copyColumnFrom", MatrixCopyColumnFrom, 2);
    m.DefineMethod(x, "copyRowTo", MatrixCopyRowTo, 2);
    m.DefineMethod(x, "copyRowFrom", MatrixCopyRowFrom, 2);
    m.DefineMethod(x, "createBox", MatrixCreateBox, 5);
    m.DefineMethod(x, "createGradientBox", MatrixCreateGradientBox, 5);
    m.DefineMethod(x, "transformPoint", MatrixTransformPoint, 1);
    m.DefineMethod(x, "deltaTransformPoint", MatrixDeltaTransformPoint, 1);
    m.DefineMethod(x, "identity", MatrixIdentity, 0);
    m.DefineMethod(x, "invert", MatrixInvert, 0);
    m.DefineMethod(x, "rotate", MatrixRotate, 1);
    m.DefineMethod(x, "scale", MatrixScale, 2);
    m.DefineMethod(x, "translate", MatrixTranslate, 2);
    m.DefineMethod(x, "setTo", MatrixSetTo, 6);
    m.DefineMethod(x, "toString", MatrixToString, 0);

    ClassObject* c = DefineGeomClass(m, C, ColorInit, 8);
    DefineGeomFields(m, c, {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier", "redOffset",
                            "greenOffset", "blueOffset", "alphaOffset"});
    m.DefineGetter(c, "color", ColorGet, ColorSet);
    m.DefineMethod(c, "concat", ColorConcat, 1);
    m.DefineMethod(c, "toString", ColorToString, 0);

    ClassObject* v = DefineGeomClass(m, V, VecInit, 4);
    DefineGeomFields(m, v, {"x", "y", "z", "w"});
    m.DefineGetter(v, "length", VecLength);
    m.DefineGetter(v, "lengthSquared", VecLengthSquared);
    m.DefineMethod(v, "add", VecAdd, 1);
    m.DefineMethod(v, "subtract", VecSubtract, 1);
    m.DefineMethod(v, "crossProduct", VecCross, 1);
    m.DefineMethod(v, "dotProduct", VecDot, 1);
    m.DefineMethod(v, "clone", VecClone, 0);
    m.DefineMethod(v, "copyFrom", VecCopyFrom, 1);
    m.DefineMethod(v, "incrementBy", VecIncrementBy, 1);
    m.DefineMethod(v, "decrementBy", VecDecrementBy, 1);
    m.DefineMethod(v, "equals", VecEquals, 2);
    m.DefineMethod(v, "nearEquals", VecNearEquals, 3);
    m.DefineMethod(v, "negate", VecNegate, 0);
    m.DefineMethod(v, "normalize", VecNormalize, 0);
    m.DefineMethod(v, "project", VecProject, 0);
    m.DefineMethod(v, "scaleBy", VecScaleBy, 1);
    m.DefineMethod(v, "setTo", VecSetTo, 3);
    m.DefineMethod(v, "toString", VecToString, 0);
    m.DefineStatic(v, "angleBetween", VecAngleBetween, 2);
    m.DefineStatic(v, "distance", VecDistance, 2);
    m.DefineConstant(v, "X_AXIS", Value::Obj(NewGeom(m, V, {1, 0, 0, 0})));
    m.DefineConstant(v, "Y_AXIS", Value::Obj(NewGeom(m, V, {0, 1, 0, 0})));
    m.DefineConstant(v, "Z_AXIS", Value::Obj(NewGeom(m, V, {0, 0, 1, 0})));
}

}  // namespace swf::avm2
