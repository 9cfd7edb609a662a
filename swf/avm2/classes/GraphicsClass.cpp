// flash.display.Graphics: the drawing of a Sprite or Shape, kept by the
// engine object it belongs to, so both script machines draw the same one.
// Shapes (rectangles, ellipses, paths) are built from the pen moves of the
// engine's drawing; arguments are pixels, 0xRRGGBB and 0..1 alphas.
#include <cmath>
#include <optional>
#include <vector>

#include "swf/avm2/classes/Display.h"
#include "swf/classes/Drawing.h"
#include "swf/classes/DrawingStyles.h"

namespace swf::avm2 {

namespace {

// Spelled out: strict C++17 headers (MinGW) do not declare M_PI.
constexpr double kPi = 3.14159265358979323846;

class GraphicsObject : public Object {
public:
    GraphicsObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    uint32_t serial = 0;  // the display object drawn on; 0: none
};

Object* AllocGraphics(Machine& m, ClassObject*) {
    m.ArgumentError(2012, "Graphics$ class cannot be instantiated.");
}

constexpr double kMaxCoordinatePx = 1 << 21;  // keeps twips inside int32

int32_t Twips(double px) {
    if (!std::isfinite(px)) return 0;
    return int32_t(std::lround(std::fmax(-kMaxCoordinatePx, std::fmin(kMaxCoordinatePx, px)) * 20));
}

swf::Point At(double x, double y) { return {Twips(x), Twips(y)}; }

GraphicsObject* AsGraphics(Machine& m, const Value& v) {
    ClassObject* g = m.FindClass("flash.display.Graphics");
    if (v.IsObject() && v.o->cls && g && v.o->cls->IsSubclassOf(g)) return static_cast<GraphicsObject*>(v.o);
    return nullptr;
}

Drawing* DrawingOf(Machine& m, const Value& self) {
    GraphicsObject* g = AsGraphics(m, self);
    return g && g->serial && m.display ? m.display->DrawingOf(g->serial) : nullptr;
}

double Num(Machine& m, Args args, int argc, int i, double fallback = 0) {
    return i < argc && !args[i].IsUndefined() ? m.ToNumber(args[i]) : fallback;
}

std::string StrArg(Machine& m, Args args, int argc, int i, const std::string& fallback) {
    return i < argc && !args[i].IsNullish() ? m.ToStdString(args[i]) : fallback;
}

// Items of an Array or Vector as numbers; anything else: none.
std::vector<double> Numbers(Machine& m, const Value& v) {
    std::vector<double> out;
    if (!v.IsObject() || (v.o->kind != ObjKind::Array && v.o->kind != ObjKind::Vector)) return out;
    constexpr uint32_t kMaxItems = 1u << 22;
    uint32_t n = std::min(m.ToUint32(m.GetPublic(v, "length")), kMaxItems);
    out.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        Value item;
        if (!v.o->GetIndexed(m, Value::Int(int32_t(i)), item)) item = Value::Undefined();
        out.push_back(m.ToNumber(item));
    }
    return out;
}

// A flash.geom.Matrix-like object; null: identity.
GeomMatrix MatrixArg(Machine& m, const Value& v) {
    GeomMatrix g;
    if (!v.IsObject()) return g;
    double* terms[] = {&g.a, &g.b, &g.c, &g.d, &g.tx, &g.ty};
    const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
    for (int i = 0; i < 6; ++i) {
        double d = m.ToNumber(m.GetPublic(v, names[i]));
        *terms[i] = std::isfinite(d) ? d : 0;
    }
    return g;
}

// The gradient arguments shared by beginGradientFill and lineGradientStyle.
FillStyle Gradient(Machine& m, Args args, int argc) {
    GradientArgs g;
    g.type = StrArg(m, args, argc, 0, "");
    if (g.type != "linear" && g.type != "radial")
        m.ArgumentError(2008, "Parameter type must be one of the accepted values.");
    g.colors = Numbers(m, Arg(args, argc, 1));
    g.alphas = Numbers(m, Arg(args, argc, 2));
    g.ratios = Numbers(m, Arg(args, argc, 3));
    // Missing alphas are opaque; missing ratios spread evenly.
    size_t n = g.colors.size();
    if (g.alphas.empty()) g.alphas.assign(n, 1);
    if (g.ratios.empty())
        for (size_t i = 0; i < n; ++i) g.ratios.push_back(n > 1 ? 255.0 * double(i) / double(n - 1) : 0);
    for (double& a : g.alphas) a *= 100;
    Value matrix = Arg(args, argc, 4);
    g.matrix = matrix.IsObject() ? MatrixArg(m, matrix) : GeomMatrix::CreateGradientBox(100, 100, 0, 0, 0);
    g.spread = StrArg(m, args, argc, 5, "pad");
    g.interpolation = StrArg(m, args, argc, 6, "rgb") == "linearRGB" ? "linearRGB" : "RGB";
    g.focalPointRatio = Num(m, args, argc, 7);
    if (std::optional<FillStyle> f = GradientFromArgs(g)) return *f;
    FillStyle none;
    none.color = {0, 0, 0, 0};
    return none;
}

// Styles ---------------------------------------------------------------------

Value Clear(Machine& m, Value self, Args, int) {
    if (Drawing* d = DrawingOf(m, self)) d->Clear();
    return Value::Undefined();
}

Value BeginFill(Machine& m, Value self, Args args, int argc) {
    if (Drawing* d = DrawingOf(m, self))
        d->BeginFill(ColorFromScript(double(m.ToUint32(Arg(args, argc, 0))), Num(m, args, argc, 1, 1) * 100));
    return Value::Undefined();
}

Value BeginGradientFill(Machine& m, Value self, Args args, int argc) {
    FillStyle fill = Gradient(m, args, argc);
    if (Drawing* d = DrawingOf(m, self)) d->BeginFillStyle(fill);
    return Value::Undefined();
}

// beginBitmapFill's and lineBitmapStyle's arguments: nothing when the
// bitmap cannot be shown.
std::optional<FillStyle> BitmapFill(Machine& m, Args args, int argc) {
    Value bitmap = Arg(args, argc, 0);
    if (bitmap.IsNullish()) m.TypeError(2007, "Parameter bitmap must be non-null.");
    uint16_t id = BitmapIdOf(m, bitmap);
    if (!id) return std::nullopt;
    // The fill's matrix maps texels, a pixel each, into twips.
    GeomMatrix matrix = MatrixArg(m, Arg(args, argc, 1));
    for (double* term : {&matrix.a, &matrix.b, &matrix.c, &matrix.d}) *term *= 20;
    bool repeat = argc > 2 ? m.ToBoolean(args[2]) : true;
    return BitmapFillStyle(id, matrix, repeat, argc > 3 && m.ToBoolean(args[3]));
}

Value BeginBitmapFill(Machine& m, Value self, Args args, int argc) {
    std::optional<FillStyle> fill = BitmapFill(m, args, argc);
    if (Drawing* d = DrawingOf(m, self)) {
        if (fill) d->BeginFillStyle(*fill);
        else d->EndFill();
    }
    return Value::Undefined();
}

Value EndFill(Machine& m, Value self, Args, int) {
    if (Drawing* d = DrawingOf(m, self)) d->EndFill();
    return Value::Undefined();
}

Value LineStyle(Machine& m, Value self, Args args, int argc) {
    Drawing* d = DrawingOf(m, self);
    if (!d) return Value::Undefined();
    double thickness = Num(m, args, argc, 0, NAN);
    if (std::isnan(thickness)) {
        d->NoLineStyle();
        return Value::Undefined();
    }
    LineStyleArgs s;
    s.thickness = thickness;
    s.rgb = double(m.ToUint32(Arg(args, argc, 1)));
    s.alpha = Num(m, args, argc, 2, 1) * 100;
    s.pixelHinting = m.ToBoolean(Arg(args, argc, 3));
    s.noScale = StrArg(m, args, argc, 4, "normal");
    s.caps = StrArg(m, args, argc, 5, "round");
    s.joint = StrArg(m, args, argc, 6, "round");
    s.miterLimit = Num(m, args, argc, 7, 3);
    d->LineStyle(PenFromArgs(s));
    return Value::Undefined();
}

Value LineGradientStyle(Machine& m, Value self, Args args, int argc) {
    FillStyle fill = Gradient(m, args, argc);
    if (Drawing* d = DrawingOf(m, self)) d->LineGradientStyle(fill);
    return Value::Undefined();
}

Value LineBitmapStyle(Machine& m, Value self, Args args, int argc) {
    std::optional<FillStyle> fill = BitmapFill(m, args, argc);
    Drawing* d = DrawingOf(m, self);
    if (d && fill) d->LineGradientStyle(*fill);
    return Value::Undefined();
}

// Pen moves --------------------------------------------------------------------

Value MoveTo(Machine& m, Value self, Args args, int argc) {
    if (Drawing* d = DrawingOf(m, self)) d->MoveTo(At(Num(m, args, argc, 0), Num(m, args, argc, 1)));
    return Value::Undefined();
}

Value LineTo(Machine& m, Value self, Args args, int argc) {
    if (Drawing* d = DrawingOf(m, self)) d->LineTo(At(Num(m, args, argc, 0), Num(m, args, argc, 1)));
    return Value::Undefined();
}

Value CurveTo(Machine& m, Value self, Args args, int argc) {
    if (Drawing* d = DrawingOf(m, self))
        d->CurveTo(At(Num(m, args, argc, 0), Num(m, args, argc, 1)), At(Num(m, args, argc, 2), Num(m, args, argc, 3)));
    return Value::Undefined();
}

// A cubic Bezier from the pen, as quadratic pieces close enough to draw.
void Cubic(Drawing& d, double x0, double y0, const double c[6]) {
    constexpr int kPieces = 8;
    auto at = [&](double t, double& x, double& y) {
        double u = 1 - t;
        x = u * u * u * x0 + 3 * u * u * t * c[0] + 3 * u * t * t * c[2] + t * t * t * c[4];
        y = u * u * u * y0 + 3 * u * u * t * c[1] + 3 * u * t * t * c[3] + t * t * t * c[5];
    };
    double px = x0, py = y0;
    for (int i = 1; i <= kPieces; ++i) {
        double t0 = double(i - 1) / kPieces, t1 = double(i) / kPieces, tm = (t0 + t1) / 2;
        double mx, my, ex, ey;
        at(tm, mx, my);
        at(t1, ex, ey);
        // The quadratic through the piece's ends and its middle point.
        d.CurveTo(At(2 * mx - (px + ex) / 2, 2 * my - (py + ey) / 2), At(ex, ey));
        px = ex, py = ey;
    }
}

Value CubicCurveTo(Machine& m, Value self, Args args, int argc) {
    Drawing* d = DrawingOf(m, self);
    if (!d) return Value::Undefined();
    double c[6];
    for (int i = 0; i < 6; ++i) c[i] = Num(m, args, argc, i);
    swf::Point pen = d->Pen();
    Cubic(*d, pen.x / 20.0, pen.y / 20.0, c);
    return Value::Undefined();
}

// An elliptic arc of a quarter turn or less, as quadratic pieces of 45 degrees.
void Arc(Drawing& d, double cx, double cy, double rx, double ry, double from, double to) {
    const int pieces = std::max(1, int(std::ceil(std::fabs(to - from) / (kPi / 4) - 1e-9)));
    double step = (to - from) / pieces;
    double k = 1 / std::cos(step / 2);
    for (int i = 0; i < pieces; ++i) {
        double a = from + step * (i + 1), mid = a - step / 2;
        d.CurveTo(At(cx + rx * k * std::cos(mid), cy + ry * k * std::sin(mid)),
                  At(cx + rx * std::cos(a), cy + ry * std::sin(a)));
    }
}

void Ellipse(Drawing& d, double x, double y, double w, double h) {
    double rx = w / 2, ry = h / 2, cx = x + rx, cy = y + ry;
    d.MoveTo(At(cx + rx, cy));
    Arc(d, cx, cy, rx, ry, 0, 2 * kPi);
}

Value DrawCircle(Machine& m, Value self, Args args, int argc) {
    if (Drawing* d = DrawingOf(m, self)) {
        double r = Num(m, args, argc, 2);
        Ellipse(*d, Num(m, args, argc, 0) - r, Num(m, args, argc, 1) - r, 2 * r, 2 * r);
    }
    return Value::Undefined();
}

Value DrawEllipse(Machine& m, Value self, Args args, int argc) {
    if (Drawing* d = DrawingOf(m, self))
        Ellipse(*d, Num(m, args, argc, 0), Num(m, args, argc, 1), Num(m, args, argc, 2), Num(m, args, argc, 3));
    return Value::Undefined();
}

Value DrawRect(Machine& m, Value self, Args args, int argc) {
    Drawing* d = DrawingOf(m, self);
    if (!d) return Value::Undefined();
    double x = Num(m, args, argc, 0), y = Num(m, args, argc, 1);
    double r = x + Num(m, args, argc, 2), b = y + Num(m, args, argc, 3);
    d->MoveTo(At(x, y));
    d->LineTo(At(r, y));
    d->LineTo(At(r, b));
    d->LineTo(At(x, b));
    d->LineTo(At(x, y));
    return Value::Undefined();
}

// A rectangle with corners of the given radii (x and y per corner:
// top left, top right, bottom right, bottom left), each at most half a side.
void RoundRect(Drawing& d, double x, double y, double w, double h, double rx[4], double ry[4]) {
    for (int i = 0; i < 4; ++i) {
        rx[i] = std::clamp(rx[i], 0.0, std::fabs(w) / 2);
        ry[i] = std::clamp(ry[i], 0.0, std::fabs(h) / 2);
    }
    double r = x + w, b = y + h;
    d.MoveTo(At(r, b - ry[2]));
    Arc(d, r - rx[2], b - ry[2], rx[2], ry[2], 0, kPi / 2);
    d.LineTo(At(x + rx[3], b));
    Arc(d, x + rx[3], b - ry[3], rx[3], ry[3], kPi / 2, kPi);
    d.LineTo(At(x, y + ry[0]));
    Arc(d, x + rx[0], y + ry[0], rx[0], ry[0], kPi, 1.5 * kPi);
    d.LineTo(At(r - rx[1], y));
    Arc(d, r - rx[1], y + ry[1], rx[1], ry[1], 1.5 * kPi, 2 * kPi);
    d.LineTo(At(r, b - ry[2]));
}

Value DrawRoundRect(Machine& m, Value self, Args args, int argc) {
    Drawing* d = DrawingOf(m, self);
    if (!d) return Value::Undefined();
    double ew = Num(m, args, argc, 4), eh = Num(m, args, argc, 5, NAN);
    if (std::isnan(eh)) eh = ew;
    double rx[4] = {ew / 2, ew / 2, ew / 2, ew / 2}, ry[4] = {eh / 2, eh / 2, eh / 2, eh / 2};
    RoundRect(*d, Num(m, args, argc, 0), Num(m, args, argc, 1), Num(m, args, argc, 2), Num(m, args, argc, 3), rx, ry);
    return Value::Undefined();
}

Value DrawRoundRectComplex(Machine& m, Value self, Args args, int argc) {
    Drawing* d = DrawingOf(m, self);
    if (!d) return Value::Undefined();
    // Arguments give top left, top right, bottom left, bottom right.
    double tl = Num(m, args, argc, 4), tr = Num(m, args, argc, 5), bl = Num(m, args, argc, 6), br = Num(m, args, argc, 7);
    double rx[4] = {tl, tr, br, bl}, ry[4] = {tl, tr, br, bl};
    RoundRect(*d, Num(m, args, argc, 0), Num(m, args, argc, 1), Num(m, args, argc, 2), Num(m, args, argc, 3), rx, ry);
    return Value::Undefined();
}

// Paths -------------------------------------------------------------------------

enum PathCommand { kNoOp = 0, kMove = 1, kLine = 2, kCurve = 3, kWideMove = 4, kWideLine = 5, kCubic = 6 };

Value DrawPath(Machine& m, Value self, Args args, int argc) {
    std::vector<double> commands = Numbers(m, Arg(args, argc, 0));
    std::vector<double> data = Numbers(m, Arg(args, argc, 1));
    std::string winding = StrArg(m, args, argc, 2, "evenOdd");
    if (winding != "evenOdd" && winding != "nonZero")
        m.ArgumentError(2008, "Parameter winding must be one of the accepted values.");
    if (!commands.empty() && data.size() % 2) m.ArgumentError(2004, "One of the parameters is invalid.");
    Drawing* d = DrawingOf(m, self);
    if (!d) return Value::Undefined();
    size_t at = 0;
    auto take = [&](size_t n) { return at + n <= data.size(); };
    for (double c : commands) {
        switch (int(c)) {
        case kMove:
        case kLine:
        case kWideMove:
        case kWideLine: {
            size_t skip = c >= kWideMove ? 2 : 0;
            if (!take(skip + 2)) return Value::Undefined();
            swf::Point p = At(data[at + skip], data[at + skip + 1]);
            if (int(c) == kMove || int(c) == kWideMove) d->MoveTo(p);
            else d->LineTo(p);
            at += skip + 2;
            break;
        }
        case kCurve:
            if (!take(4)) return Value::Undefined();
            d->CurveTo(At(data[at], data[at + 1]), At(data[at + 2], data[at + 3]));
            at += 4;
            break;
        case kCubic: {
            if (!take(6)) return Value::Undefined();
            swf::Point pen = d->Pen();
            Cubic(*d, pen.x / 20.0, pen.y / 20.0, &data[at]);
            at += 6;
            break;
        }
        default: break;
        }
    }
    return Value::Undefined();
}

Value CopyFrom(Machine& m, Value self, Args args, int argc) {
    GraphicsObject* from = AsGraphics(m, Arg(args, argc, 0));
    if (!from) m.TypeError(2007, "Parameter sourceGraphics must be non-null.");
    Drawing* d = DrawingOf(m, self);
    Drawing* src = DrawingOf(m, Arg(args, argc, 0));
    if (d && src && d != src) *d = *src;
    else if (d && !src) d->Clear();
    return Value::Undefined();
}

// The graphics of a Sprite or Shape: one object each, made on first use.
Value GetGraphics(Machine& m, Value self, Args, int) {
    DispatcherObject* o = AsDisplay(m, self);
    if (!o) return Value::Null();
    if (!o->graphics.IsObject()) {
        ClassObject* cls = m.FindClass("flash.display.Graphics");
        auto* g = m.New<GraphicsObject>(cls, cls->prototype);
        m.InitSlots(g, cls->instanceTraits);
        g->serial = o->serial;
        o->graphics = Value::Obj(g);
    }
    return o->graphics;
}

}  // namespace

void InstallGraphics(Machine& m) {
    ClassObject* g = m.DefineClass("flash.display", "Graphics", m.objectClass, AllocGraphics, true);
    m.DefineMethod(g, "clear", Clear, 0);
    m.DefineMethod(g, "beginFill", BeginFill, 1);
    m.DefineMethod(g, "beginGradientFill", BeginGradientFill, 4);
    m.DefineMethod(g, "beginBitmapFill", BeginBitmapFill, 1);
    m.DefineMethod(g, "endFill", EndFill, 0);
    m.DefineMethod(g, "lineStyle", LineStyle, 0);
    m.DefineMethod(g, "lineGradientStyle", LineGradientStyle, 4);
    m.DefineMethod(g, "lineBitmapStyle", LineBitmapStyle, 1);
    m.DefineMethod(g, "moveTo", MoveTo, 2);
    m.DefineMethod(g, "lineTo", LineTo, 2);
    m.DefineMethod(g, "curveTo", CurveTo, 4);
    m.DefineMethod(g, "cubicCurveTo", CubicCurveTo, 6);
    m.DefineMethod(g, "drawCircle", DrawCircle, 3);
    m.DefineMethod(g, "drawEllipse", DrawEllipse, 4);
    m.DefineMethod(g, "drawRect", DrawRect, 4);
    m.DefineMethod(g, "drawRoundRect", DrawRoundRect, 5);
    m.DefineMethod(g, "drawRoundRectComplex", DrawRoundRectComplex, 8);
    m.DefineMethod(g, "drawPath", DrawPath, 2);
    m.DefineMethod(g, "copyFrom", CopyFrom, 1);
    for (const char* owner : {"flash.display.Sprite", "flash.display.Shape"})
        if (ClassObject* c = m.FindClass(owner)) m.DefineGetter(c, "graphics", GetGraphics);

    ClassObject* cmd = m.DefineClass("flash.display", "GraphicsPathCommand", m.objectClass, nullptr, true);
    for (auto [name, v] : {std::pair<const char*, int>{"NO_OP", kNoOp}, {"MOVE_TO", kMove}, {"LINE_TO", kLine},
                           {"CURVE_TO", kCurve}, {"WIDE_MOVE_TO", kWideMove}, {"WIDE_LINE_TO", kWideLine},
                           {"CUBIC_CURVE_TO", kCubic}})
        m.DefineConstant(cmd, name, Value::Int(v));
    ClassObject* winding = m.DefineClass("flash.display", "GraphicsPathWinding", m.objectClass, nullptr, true);
    m.DefineConstant(winding, "EVEN_ODD", Value::Str(m.Intern("evenOdd")));
    m.DefineConstant(winding, "NON_ZERO", Value::Str(m.Intern("nonZero")));

    // The names the drawing methods take, as constants.
    const struct {
        const char* cls;
        std::vector<std::pair<const char*, const char*>> values;
    } names[] = {
        {"GradientType", {{"LINEAR", "linear"}, {"RADIAL", "radial"}}},
        {"SpreadMethod", {{"PAD", "pad"}, {"REFLECT", "reflect"}, {"REPEAT", "repeat"}}},
        {"InterpolationMethod", {{"RGB", "rgb"}, {"LINEAR_RGB", "linearRGB"}}},
        {"CapsStyle", {{"NONE", "none"}, {"ROUND", "round"}, {"SQUARE", "square"}}},
        {"JointStyle", {{"BEVEL", "bevel"}, {"MITER", "miter"}, {"ROUND", "round"}}},
        {"LineScaleMode", {{"HORIZONTAL", "horizontal"}, {"NONE", "none"}, {"NORMAL", "normal"}, {"VERTICAL", "vertical"}}},
    };
    for (const auto& n : names) {
        if (m.FindClass(std::string("flash.display.") + n.cls)) continue;
        ClassObject* c = m.DefineClass("flash.display", n.cls, m.objectClass, nullptr, true);
        c->isFinal = true;
        for (const auto& [name, value] : n.values) m.DefineConstant(c, name, Value::Str(m.Intern(value)));
    }
}

}  // namespace swf::avm2
