// BitmapData methods for ActionScript 3 that take pixels from elsewhere:
// draw and drawWithQuality (a display object through the renderer, or
// another bitmap), applyFilter and generateFilterRect.
#include "swf/avm2/classes/BitmapDataShared.h"
#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/Geom.h"
#include "swf/classes/BitmapFilter.h"
#include "swf/classes/Geom.h"

namespace swf::avm2 {

namespace {

Matrix MatrixArg(Machine& m, const Value& v) {
    if (v.IsNullish()) return Matrix{};
    GeomMatrix g;
    if (GeomObject* o = AsGeom(v, GeomKind::Matrix)) {
        g = {o->f[0], o->f[1], o->f[2], o->f[3], o->f[4], o->f[5]};
    } else {
        double* fields[] = {&g.a, &g.b, &g.c, &g.d, &g.tx, &g.ty};
        const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
        for (int i = 0; i < 6; ++i) *fields[i] = m.ToNumber(m.GetPublic(v, names[i]));
    }
    return g.ToEngine();
}

ColorTransform ColorArg(Machine& m, const Value& v) {
    return v.IsNullish() ? ColorTransform{} : ColorTransformArg(m, v).ToEngine();
}

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing):
// a display object as it draws on its own (its own matrix left out), or a
// bitmap's pixels.
Value Draw(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& target = LiveBitmap(m, self);
    const Value source = Arg(args, argc, 0);
    if (source.IsNullish()) m.TypeError(2007, "Parameter source must be non-null.");
    uint32_t serial = 0;
    ScriptBitmap* bitmap = nullptr;
    if (DispatcherObject* d = AsDisplay(m, source)) serial = d->serial;
    else bitmap = &LiveBitmap(m, source);
    if (!m.display || (!serial && !bitmap)) return Value::Undefined();
    const Matrix matrix = MatrixArg(m, Arg(args, argc, 1));
    const ColorTransform cx = ColorArg(m, Arg(args, argc, 2));
    const Value clipArg = Arg(args, argc, 4);
    PixelRect clip;
    if (!clipArg.IsNullish()) clip = RectArg(m, clipArg, "clipRect");
    ChargePixels(m, Area(target.Data()));
    m.display->DrawInto(target, serial, bitmap, matrix, cx, m.ToBoolean(Arg(args, argc, 5)),
                        clipArg.IsNullish() ? nullptr : &clip);
    return Value::Undefined();
}

// applyFilter(sourceBitmapData, sourceRect, destPoint, filter).
Value ApplyFilter(Machine& m, Value self, Args args, int argc) {
    ScriptBitmap& target = LiveBitmap(m, self);
    ScriptBitmap& source = BitmapArg(m, Arg(args, argc, 0), "sourceBitmapData");
    const PixelRect from = RectArg(m, Arg(args, argc, 1), "sourceRect");
    int x, y;
    PointArg(m, Arg(args, argc, 2), "destPoint", x, y);
    const Value f = Arg(args, argc, 3);
    if (f.IsNullish()) m.TypeError(2007, "Parameter filter must be non-null.");
    Filter filter;
    if (!EngineFilterOf(m, f, filter)) return Value::Undefined();
    ChargePixels(m, Area(Intersect(from, source.Data().Width(), source.Data().Height())));
    if (ApplyBitmapFilter(target.Data(), source.Data(), from, x, y, filter)) target.Changed();
    return Value::Undefined();
}

// generateFilterRect(sourceRect, filter): where applyFilter would write.
Value GenerateFilterRect(Machine& m, Value self, Args args, int argc) {
    LiveBitmap(m, self);
    const PixelRect r = RectArg(m, Arg(args, argc, 0), "sourceRect");
    const Value f = Arg(args, argc, 1);
    if (f.IsNullish()) m.TypeError(2007, "Parameter filter must be non-null.");
    Filter filter;
    return NewRectangle(m, EngineFilterOf(m, f, filter) ? FilterRect(r, filter) : r);
}

}  // namespace

void InstallBitmapDataDraw(Machine& m, ClassObject* c) {
    m.DefineMethod(c, "draw", Draw, 1);
    m.DefineMethod(c, "drawWithQuality", Draw, 1);
    m.DefineMethod(c, "applyFilter", ApplyFilter, 4);
    m.DefineMethod(c, "generateFilterRect", GenerateFilterRect, 2);
}

}  // namespace swf::avm2
