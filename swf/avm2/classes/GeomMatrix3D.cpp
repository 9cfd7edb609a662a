// flash.geom.Matrix3D: a 4x4 matrix in column-major order (the order of
// rawData), applied to column vectors: append puts a step after this one,
// prepend before.
#include <algorithm>
#include <array>
#include <cmath>

#include "swf/avm2/classes/DataState.h"
#include "swf/avm2/classes/Geom.h"

namespace swf::avm2 {

namespace {

using Mat = std::array<double, 16>;

class Matrix3DObject : public Object {
public:
    Matrix3DObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) { Identity(); }
    Mat raw;
    void Identity() {
        raw.fill(0);
        raw[0] = raw[5] = raw[10] = raw[15] = 1;
    }
};

Object* AllocMatrix3D(Machine& m, ClassObject* cls) { return m.New<Matrix3DObject>(cls, cls->prototype); }

Matrix3DObject* Self(Machine& m, const Value& v) {
    auto* x = v.IsObject() ? dynamic_cast<Matrix3DObject*>(v.o) : nullptr;
    if (!x) {
        if (v.IsNullish()) m.NullError(Value::Null());
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(v) + " to flash.geom.Matrix3D.");
    }
    return x;
}

// a × b: b's step first, then a's.
Mat Multiply(const Mat& a, const Mat& b) {
    Mat r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = s;
        }
    return r;
}

Mat Translation(double x, double y, double z) {
    Mat t{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    return t;
}

Mat Scale(double x, double y, double z) {
    Mat s{x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1};
    return s;
}

// Rotation by `degrees` about the axis (normalised), through the origin.
Mat Rotation(double degrees, double x, double y, double z) {
    double len = std::sqrt(x * x + y * y + z * z);
    if (len > 0) x /= len, y /= len, z /= len;
    double r = degrees * 3.14159265358979323846 / 180, c = std::cos(r), s = std::sin(r), t = 1 - c;
    Mat m{t * x * x + c,     t * x * y + s * z, t * x * z - s * y, 0,
          t * x * y - s * z, t * y * y + c,     t * y * z + s * x, 0,
          t * x * z + s * y, t * y * z - s * x, t * z * z + c,     0,
          0,                 0,                 0,                 1};
    return m;
}

double Det3(const Mat& m, int r0, int r1, int r2, int c0, int c1, int c2) {
    auto at = [&](int r, int c) { return m[c * 4 + r]; };
    return at(r0, c0) * (at(r1, c1) * at(r2, c2) - at(r1, c2) * at(r2, c1)) -
           at(r0, c1) * (at(r1, c0) * at(r2, c2) - at(r1, c2) * at(r2, c0)) +
           at(r0, c2) * (at(r1, c0) * at(r2, c1) - at(r1, c1) * at(r2, c0));
}

double Determinant(const Mat& m) {
    double d = 0;
    const int rows[4][3] = {{1, 2, 3}, {0, 2, 3}, {0, 1, 3}, {0, 1, 2}};
    for (int c = 0; c < 4; ++c) {
        int cs[3], k = 0;
        for (int j = 0; j < 4; ++j)
            if (j != c) cs[k++] = j;
        double minor = Det3(m, rows[0][0], rows[0][1], rows[0][2], cs[0], cs[1], cs[2]);
        d += (c % 2 ? -1 : 1) * m[c * 4 + 0] * minor;
    }
    return d;
}

bool Invert(Mat& m) {
    double det = Determinant(m);
    if (det == 0 || !std::isfinite(det)) return false;
    Mat r{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            int rs[3], cs[3], a = 0, b = 0;
            for (int j = 0; j < 4; ++j) {
                if (j != row) rs[a++] = j;
                if (j != col) cs[b++] = j;
            }
            double cof = ((row + col) % 2 ? -1 : 1) * Det3(m, rs[0], rs[1], rs[2], cs[0], cs[1], cs[2]);
            r[row * 4 + col] = cof / det;  // the transpose of the cofactors
        }
    m = r;
    return true;
}

Value NumberVector(Machine& m, const double* d, size_t n) {
    ClassObject* vc = m.ApplyType(m.vectorClass, {Value::Obj(m.numberClass)});
    Value v = m.Construct(Value::Obj(vc), &kNoItems, 1);
    for (size_t i = 0; i < n; ++i) m.SetProperty(v, IndexName(m, uint32_t(i)), Value::Number(d[i]));
    return v;
}

uint32_t Length(Machine& m, const Value& v) { return m.ToUint32(m.GetPublic(v, "length")); }
double Item(Machine& m, const Value& v, uint32_t i) {
    return m.ToNumber(m.GetProperty(v, IndexName(m, uint32_t(i))));
}
void SetItem(Machine& m, const Value& v, uint32_t i, double d) {
    m.SetProperty(v, IndexName(m, uint32_t(i)), Value::Number(d));
}

void NonNull(Machine& m, const Value& v, const char* name) {
    if (v.IsNullish()) m.TypeError(2007, std::string("Parameter ") + name + " must be non-null.");
}

void ReadRaw(Machine& m, Mat& raw, const Value& v, uint32_t index, bool transpose) {
    uint32_t n = Length(m, v);
    for (uint32_t i = 0; i < 16 && index + i < n; ++i) {
        uint32_t at = transpose ? (i % 4) * 4 + i / 4 : i;
        raw[at] = Item(m, v, index + i);
    }
}

Value Init(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    // Only a full 16 numbers replace the identity.
    Value v = Arg(args, argc, 0);
    if (!v.IsNullish() && Length(m, v) == 16) ReadRaw(m, x->raw, v, 0, false);
    return Value::Undefined();
}

Value GetRaw(Machine& m, Value self, Args, int) { return NumberVector(m, Self(m, self)->raw.data(), 16); }
Value SetRaw(Machine& m, Value self, Args args, int argc) {
    Value v = Arg(args, argc, 0);
    NonNull(m, v, "rawData");
    ReadRaw(m, Self(m, self)->raw, v, 0, false);
    return Value::Undefined();
}

Value GetPosition(Machine& m, Value self, Args, int) {
    const Mat& r = Self(m, self)->raw;
    return Value::Obj(NewGeom(m, GeomKind::Vector3D, {r[12], r[13], r[14], 0}));
}
Value SetPosition(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    GeomObject* v = NeedGeom(m, Arg(args, argc, 0), GeomKind::Vector3D);
    x->raw[12] = v->f[0], x->raw[13] = v->f[1], x->raw[14] = v->f[2];
    return Value::Undefined();
}

Value Determinant(Machine& m, Value self, Args, int) { return Value::Number(Determinant(Self(m, self)->raw)); }

Value IdentityM(Machine& m, Value self, Args, int) {
    Self(m, self)->Identity();
    return Value::Undefined();
}

Value Clone(Machine& m, Value self, Args, int) {
    Matrix3DObject* x = Self(m, self);
    auto* c = static_cast<Matrix3DObject*>(m.Instantiate(m.FindClass("flash.geom.Matrix3D")));
    c->raw = x->raw;
    return Value::Obj(c);
}

Value CopyFrom(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "sourceMatrix3D");
    x->raw = Self(m, args[0])->raw;
    return Value::Undefined();
}

Value CopyTo(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "dest");
    Self(m, args[0])->raw = x->raw;
    return Value::Undefined();
}

Value Append(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "lhs");
    x->raw = Multiply(Self(m, args[0])->raw, x->raw);
    return Value::Undefined();
}

Value Prepend(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "rhs");
    x->raw = Multiply(x->raw, Self(m, args[0])->raw);
    return Value::Undefined();
}

double N(Machine& m, Args args, int argc, int i) { return m.ToNumber(Arg(args, argc, i)); }

template <bool Appending>
void Apply(Matrix3DObject* x, const Mat& step) {
    x->raw = Appending ? Multiply(step, x->raw) : Multiply(x->raw, step);
}

template <bool Appending>
Value TranslationM(Machine& m, Value self, Args args, int argc) {
    Apply<Appending>(Self(m, self), Translation(N(m, args, argc, 0), N(m, args, argc, 1), N(m, args, argc, 2)));
    return Value::Undefined();
}

template <bool Appending>
Value ScaleM(Machine& m, Value self, Args args, int argc) {
    Apply<Appending>(Self(m, self), Scale(N(m, args, argc, 0), N(m, args, argc, 1), N(m, args, argc, 2)));
    return Value::Undefined();
}

template <bool Appending>
Value RotationM(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    GeomObject* axis = NeedGeom(m, Arg(args, argc, 1), GeomKind::Vector3D);
    Mat r = Rotation(N(m, args, argc, 0), axis->f[0], axis->f[1], axis->f[2]);
    Value pivot = Arg(args, argc, 2);
    if (!pivot.IsNullish()) {
        GeomObject* p = NeedGeom(m, pivot, GeomKind::Vector3D);
        r = Multiply(Translation(p->f[0], p->f[1], p->f[2]), Multiply(r, Translation(-p->f[0], -p->f[1], -p->f[2])));
    }
    Apply<Appending>(x, r);
    return Value::Undefined();
}

Value InvertM(Machine& m, Value self, Args, int) { return Value::Bool(Invert(Self(m, self)->raw)); }

Value Transpose(Machine& m, Value self, Args, int) {
    Mat& r = Self(m, self)->raw;
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) std::swap(r[i * 4 + j], r[j * 4 + i]);
    return Value::Undefined();
}

void Transform(const Mat& r, const double in[4], double out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] = r[row] * in[0] + r[4 + row] * in[1] + r[8 + row] * in[2] + r[12 + row] * in[3];
}

template <bool Delta>
Value TransformVector(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "v");
    GeomObject* v = NeedGeom(m, args[0], GeomKind::Vector3D);
    double in[4] = {v->f[0], v->f[1], v->f[2], Delta ? 0.0 : 1.0}, out[4];
    Transform(x->raw, in, out);
    return Value::Obj(NewGeom(m, GeomKind::Vector3D, {out[0], out[1], out[2], out[3]}));
}

Value TransformVectors(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "vin");
    NonNull(m, Arg(args, argc, 1), "vout");
    Value vin = args[0], vout = args[1];
    uint32_t n = Length(m, vin) / 3 * 3;
    for (uint32_t i = 0; i < n; i += 3) {
        double in[4] = {Item(m, vin, i), Item(m, vin, i + 1), Item(m, vin, i + 2), 1}, out[4];
        Transform(x->raw, in, out);
        for (uint32_t k = 0; k < 3; ++k) SetItem(m, vout, i + k, out[k]);
    }
    return Value::Undefined();
}

Value CopyRawDataTo(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "vector");
    uint32_t index = m.ToUint32(Arg(args, argc, 1));
    bool transpose = m.ToBoolean(Arg(args, argc, 2));
    for (uint32_t i = 0; i < 16; ++i) SetItem(m, args[0], index + i, x->raw[transpose ? (i % 4) * 4 + i / 4 : i]);
    return Value::Undefined();
}

Value CopyRawDataFrom(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    NonNull(m, Arg(args, argc, 0), "vector");
    ReadRaw(m, x->raw, args[0], m.ToUint32(Arg(args, argc, 1)), m.ToBoolean(Arg(args, argc, 2)));
    return Value::Undefined();
}

// Rows and columns to and from a Vector3D (x, y, z, w).
template <bool Column, bool To>
Value CopyLine(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    uint32_t i = m.ToUint32(Arg(args, argc, 0));
    NonNull(m, Arg(args, argc, 1), Column ? "vector3D" : "vector3D");
    GeomObject* v = NeedGeom(m, args[1], GeomKind::Vector3D);
    if (i > 3) m.ArgumentError(2004, "One of the parameters is invalid.");
    for (uint32_t k = 0; k < 4; ++k) {
        double& cell = x->raw[Column ? i * 4 + k : k * 4 + i];
        if (To) v->f[k] = cell;
        else cell = v->f[k];
    }
    return Value::Undefined();
}

// Decomposing and recomposing: translation, orientation and scale, the
// orientation as Euler angles (radians, applied x then y then z), an axis and
// angle, or a quaternion.
enum class Orientation { Euler, AxisAngle, Quaternion };

Orientation ReadOrientation(Machine& m, const Value& v) {
    if (v.IsUndefined()) return Orientation::Euler;
    std::string s = m.ToStdString(v);
    if (s == "eulerAngles") return Orientation::Euler;
    if (s == "axisAngle") return Orientation::AxisAngle;
    if (s == "quaternion") return Orientation::Quaternion;
    m.Throw(m.errorClass, 2187, "Invalid orientation style " + s + ".  Value must be one of 'Orientation3D.EULER_ANGLES', 'Orientation3D.AXIS_ANGLE', or 'Orientation3D.QUATERNION'.");
}

// The rotation as a quaternion (x, y, z, w) from an orthonormal matrix.
std::array<double, 4> ToQuaternion(const double r[3][3]) {
    double trace = r[0][0] + r[1][1] + r[2][2];
    double x, y, z, w;
    if (trace > 0) {
        double k = 0.5 / std::sqrt(trace + 1);
        w = 0.25 / k, x = (r[2][1] - r[1][2]) * k, y = (r[0][2] - r[2][0]) * k, z = (r[1][0] - r[0][1]) * k;
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        double k = 2 * std::sqrt(1 + r[0][0] - r[1][1] - r[2][2]);
        w = (r[2][1] - r[1][2]) / k, x = 0.25 * k, y = (r[0][1] + r[1][0]) / k, z = (r[0][2] + r[2][0]) / k;
    } else if (r[1][1] > r[2][2]) {
        double k = 2 * std::sqrt(1 + r[1][1] - r[0][0] - r[2][2]);
        w = (r[0][2] - r[2][0]) / k, x = (r[0][1] + r[1][0]) / k, y = 0.25 * k, z = (r[1][2] + r[2][1]) / k;
    } else {
        double k = 2 * std::sqrt(1 + r[2][2] - r[0][0] - r[1][1]);
        w = (r[1][0] - r[0][1]) / k, x = (r[0][2] + r[2][0]) / k, y = (r[1][2] + r[2][1]) / k, z = 0.25 * k;
    }
    return {x, y, z, w};
}

Value Decompose(Machine& m, Value self, Args args, int argc) {
    const Mat& raw = Self(m, self)->raw;
    Orientation style = ReadOrientation(m, Arg(args, argc, 0));
    double scale[3], r[3][3];
    for (int c = 0; c < 3; ++c) {
        scale[c] = std::sqrt(raw[c * 4] * raw[c * 4] + raw[c * 4 + 1] * raw[c * 4 + 1] + raw[c * 4 + 2] * raw[c * 4 + 2]);
        for (int row = 0; row < 3; ++row) r[row][c] = scale[c] != 0 ? raw[c * 4 + row] / scale[c] : 0;
    }
    // A mirrored matrix keeps its rotation proper by flipping one axis.
    if (Det3(raw, 0, 1, 2, 0, 1, 2) < 0) {
        scale[2] = -scale[2];
        for (int row = 0; row < 3; ++row) r[row][2] = -r[row][2];
    }
    double o[4] = {0, 0, 0, 0};
    if (style == Orientation::Euler) {
        o[1] = std::asin(std::clamp(-r[2][0], -1.0, 1.0));
        if (std::fabs(r[2][0]) < 1 - 1e-12) {
            o[0] = std::atan2(r[2][1], r[2][2]);
            o[2] = std::atan2(r[1][0], r[0][0]);
        } else {
            o[0] = std::atan2(-r[1][2], r[1][1]);
        }
    } else {
        std::array<double, 4> q = ToQuaternion(r);
        if (style == Orientation::Quaternion) {
            for (int i = 0; i < 4; ++i) o[i] = q[i];
        } else {
            double half = std::acos(std::clamp(q[3], -1.0, 1.0)), sn = std::sin(half);
            if (sn != 0)
                for (int i = 0; i < 3; ++i) o[i] = q[i] / sn;
            o[3] = 2 * half;
        }
    }
    ClassObject* v3 = m.FindClass("flash.geom.Vector3D");
    ClassObject* vc = m.ApplyType(m.vectorClass, {Value::Obj(v3)});
    Value out = m.Construct(Value::Obj(vc), nullptr, 0);
    TempRoot keep(m, out);
    Value parts[3] = {Value::Obj(NewGeom(m, GeomKind::Vector3D, {raw[12], raw[13], raw[14], 0})),
                      Value::Obj(NewGeom(m, GeomKind::Vector3D, {o[0], o[1], o[2], o[3]})),
                      Value::Obj(NewGeom(m, GeomKind::Vector3D, {scale[0], scale[1], scale[2], 0}))};
    for (uint32_t i = 0; i < 3; ++i) m.SetProperty(out, IndexName(m, i), parts[i]);
    return out;
}

Value Recompose(Machine& m, Value self, Args args, int argc) {
    Matrix3DObject* x = Self(m, self);
    Value parts = Arg(args, argc, 0);
    Orientation style = ReadOrientation(m, Arg(args, argc, 1));
    if (parts.IsNullish() || Length(m, parts) < 3) return Value::Bool(false);
    GeomObject* t = NeedGeom(m, m.GetProperty(parts, IndexName(m, 0)), GeomKind::Vector3D);
    GeomObject* o = NeedGeom(m, m.GetProperty(parts, IndexName(m, 1)), GeomKind::Vector3D);
    GeomObject* sc = NeedGeom(m, m.GetProperty(parts, IndexName(m, 2)), GeomKind::Vector3D);
    // No scale on an axis leaves nothing to invert: the matrix is kept.
    if (sc->f[0] == 0 || sc->f[1] == 0 || sc->f[2] == 0) return Value::Bool(false);
    double r[3][3];
    if (style == Orientation::Euler) {
        double cx = std::cos(o->f[0]), sx = std::sin(o->f[0]), cy = std::cos(o->f[1]), sy = std::sin(o->f[1]);
        double cz = std::cos(o->f[2]), sz = std::sin(o->f[2]);
        double e[3][3] = {{cz * cy, cz * sy * sx - sz * cx, cz * sy * cx + sz * sx},
                          {sz * cy, sz * sy * sx + cz * cx, sz * sy * cx - cz * sx},
                          {-sy, cy * sx, cy * cx}};
        std::copy(&e[0][0], &e[0][0] + 9, &r[0][0]);
    } else {
        double qx = o->f[0], qy = o->f[1], qz = o->f[2], qw = o->f[3];
        if (style == Orientation::AxisAngle) {
            double sn = std::sin(o->f[3] / 2);
            qx *= sn, qy *= sn, qz *= sn, qw = std::cos(o->f[3] / 2);
        }
        double q[3][3] = {{1 - 2 * (qy * qy + qz * qz), 2 * (qx * qy - qw * qz), 2 * (qx * qz + qw * qy)},
                          {2 * (qx * qy + qw * qz), 1 - 2 * (qx * qx + qz * qz), 2 * (qy * qz - qw * qx)},
                          {2 * (qx * qz - qw * qy), 2 * (qy * qz + qw * qx), 1 - 2 * (qx * qx + qy * qy)}};
        std::copy(&q[0][0], &q[0][0] + 9, &r[0][0]);
    }
    Mat out{};
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row) out[c * 4 + row] = r[row][c] * sc->f[c];
    out[12] = t->f[0], out[13] = t->f[1], out[14] = t->f[2], out[15] = 1;
    x->raw = out;
    return Value::Bool(true);
}

}  // namespace

void InstallMatrix3D(Machine& m) {
    ClassObject* c = m.DefineClass("flash.geom", "Matrix3D", m.objectClass, AllocMatrix3D, true);
    c->init = m.NewNativeMethod("Matrix3D", Init, 1);
    m.DefineGetter(c, "rawData", GetRaw, SetRaw);
    m.DefineGetter(c, "position", GetPosition, SetPosition);
    m.DefineGetter(c, "determinant", Determinant);
    m.DefineMethod(c, "identity", IdentityM, 0);
    m.DefineMethod(c, "clone", Clone, 0);
    m.DefineMethod(c, "copyFrom", CopyFrom, 1);
    m.DefineMethod(c, "copyToMatrix3D", CopyTo, 1);
    m.DefineMethod(c, "append", Append, 1);
    m.DefineMethod(c, "prepend", Prepend, 1);
    m.DefineMethod(c, "appendTranslation", TranslationM<true>, 3);
    m.DefineMethod(c, "prependTranslation", TranslationM<false>, 3);
    m.DefineMethod(c, "appendScale", ScaleM<true>, 3);
    m.DefineMethod(c, "prependScale", ScaleM<false>, 3);
    m.DefineMethod(c, "appendRotation", RotationM<true>, 3);
    m.DefineMethod(c, "prependRotation", RotationM<false>, 3);
    m.DefineMethod(c, "invert", InvertM, 0);
    m.DefineMethod(c, "transpose", Transpose, 0);
    m.DefineMethod(c, "transformVector", TransformVector<false>, 1);
    m.DefineMethod(c, "deltaTransformVector", TransformVector<true>, 1);
    m.DefineMethod(c, "transformVectors", TransformVectors, 2);
    m.DefineMethod(c, "copyRawDataTo", CopyRawDataTo, 3);
    m.DefineMethod(c, "copyRawDataFrom", CopyRawDataFrom, 3);
    m.DefineMethod(c, "copyColumnTo", CopyLine<true, true>, 2);
    m.DefineMethod(c, "copyColumnFrom", CopyLine<true, false>, 2);
    m.DefineMethod(c, "copyRowTo", CopyLine<false, true>, 2);
    m.DefineMethod(c, "copyRowFrom", CopyLine<false, false>, 2);
    m.DefineMethod(c, "decompose", Decompose, 1);
    m.DefineMethod(c, "recompose", Recompose, 2);
}

}  // namespace swf::avm2
