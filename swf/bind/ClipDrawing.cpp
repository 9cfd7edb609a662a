// The drawing API on movie clips: script arguments (pixels, 0xRRGGBB,
// percent alphas, arrays, matrix objects) turned into the clip's Drawing.
#include <cmath>
#include <string>

#include "swf/bind/Bindings.h"
#include "swf/classes/Drawing.h"
#include "swf/classes/DrawingStyles.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr double kMaxCoordinatePx = 1 << 21;  // keeps twips inside int32

int32_t Twips(double px) {
    if (!std::isfinite(px)) return 0;
    return static_cast<int32_t>(std::lround(std::fmax(-kMaxCoordinatePx, std::fmin(kMaxCoordinatePx, px)) * 20));
}

Drawing* DrawingOf(CallArgs& a) {
    MovieClip* c = ClipOf(a);
    return c ? &c->Graphics() : nullptr;
}

// A drawing past its budget stops growing; the script is told once.
void NoteOverflow(CallArgs& a, const Drawing& d, bool before) {
    if (!before && d.Overflowed())
        a.vm.Report("drawing API: a clip's drawing reached its budget (" + std::to_string(Drawing::kMaxEdges) +
                    " edges, " + std::to_string(Drawing::kMaxLayers) + " layers); the rest is dropped");
}

std::string StringArg(CallArgs& a, size_t i, const std::string& fallback) {
    return i < a.args.size() && !a.args[i].IsNullish() ? a.vm.ToString(a.args[i]) : fallback;
}

std::vector<double> Numbers(avm1::Vm& vm, const Value& v) {
    std::vector<double> out;
    if (!v.IsObject() || v.o->cls != avm1::ObjClass::Array) return out;
    for (const Value& e : vm.ArrayValues(v.o)) out.push_back(vm.ToNumber(e));
    return out;
}

double Field(avm1::Vm& vm, const Value& obj, const char* name) { return vm.ToNumber(vm.GetMember(obj, name)); }

// The three matrix forms: {matrixType: "box", x, y, w, h, r}, the 3x3
// {a, b, d, e, g, h}, and a flash.geom.Matrix {a, b, c, d, tx, ty}.
GeomMatrix MatrixArg(avm1::Vm& vm, const Value& m) {
    if (!m.IsObject()) return {};
    if (avm1::EqualNames(vm.ToString(vm.GetMember(m, "matrixType")), "box", true))
        return GradientBoxMatrix(Field(vm, m, "x"), Field(vm, m, "y"), Field(vm, m, "w"), Field(vm, m, "h"),
                                 Field(vm, m, "r"));
    if (!vm.GetMember(m, "tx").IsUndefined()) {
        GeomMatrix g{Field(vm, m, "a"), Field(vm, m, "b"), Field(vm, m, "c"),
                     Field(vm, m, "d"), Field(vm, m, "tx"), Field(vm, m, "ty")};
        for (double* d : {&g.a, &g.b, &g.c, &g.d, &g.tx, &g.ty})
            if (!std::isfinite(*d)) *d = 0;
        return g;
    }
    return GradientAbcMatrix(Field(vm, m, "a"), Field(vm, m, "b"), Field(vm, m, "d"), Field(vm, m, "e"),
                             Field(vm, m, "g"), Field(vm, m, "h"));
}

// Beyond the shared rules, a script's gradient is refused whole when it
// has more than eight arguments or a ratio whose whole part is outside
// 0..255 (-0.99 and 255.9 pass, and so does not a number).
constexpr size_t kMaxGradientArgs = 8;

std::optional<FillStyle> Gradient(CallArgs& a) {
    if (a.args.size() > kMaxGradientArgs) return std::nullopt;
    GradientArgs g;
    g.type = StringArg(a, 0, "");
    g.colors = Numbers(a.vm, a.Arg(1));
    g.alphas = Numbers(a.vm, a.Arg(2));
    g.ratios = Numbers(a.vm, a.Arg(3));
    g.matrix = MatrixArg(a.vm, a.Arg(4));
    g.hasMatrix = a.Arg(4).IsObject();
    g.spread = StringArg(a, 5, "pad");
    g.interpolation = StringArg(a, 6, "RGB");
    g.focalPointRatio = NumberArg(a, 7, 0);
    for (double r : g.ratios)
        if (std::trunc(r) < 0 || std::trunc(r) > 255) return std::nullopt;
    return GradientFromArgs(g);
}

Value Clear(CallArgs& a) {
    if (Drawing* d = DrawingOf(a)) d->Clear();
    return Value();
}

Value LineStyleNative(CallArgs& a) {
    Drawing* d = DrawingOf(a);
    if (!d) return Value();
    const double thickness = NumberArg(a, 0);
    if (!std::isfinite(thickness)) {
        d->NoLineStyle();
        return Value();
    }
    LineStyleArgs s;
    s.thickness = thickness;
    s.rgb = NumberArg(a, 1, 0);
    s.alpha = NumberArg(a, 2, 100);
    s.pixelHinting = a.vm.ToBool(a.Arg(3));
    s.noScale = StringArg(a, 4, "normal");
    s.caps = StringArg(a, 5, "round");
    s.joint = StringArg(a, 6, "round");
    s.miterLimit = NumberArg(a, 7, 3);
    d->LineStyle(PenFromArgs(s));
    return Value();
}

Value LineGradient(CallArgs& a) {
    Drawing* d = DrawingOf(a);
    if (!d) return Value();
    if (std::optional<FillStyle> fill = Gradient(a)) d->LineGradientStyle(*fill);
    return Value();
}

Value BeginFillNative(CallArgs& a) {
    Drawing* d = DrawingOf(a);
    if (!d) return Value();
    const double rgb = NumberArg(a, 0);
    const bool over = d->Overflowed();
    if (!std::isfinite(rgb)) d->EndFill();
    else d->BeginFill(ColorFromScript(rgb, NumberArg(a, 1, 100)));
    NoteOverflow(a, *d, over);
    return Value();
}

Value BeginGradient(CallArgs& a) {
    Drawing* d = DrawingOf(a);
    if (!d) return Value();
    const bool over = d->Overflowed();
    // A refused gradient leaves the fill as it was, unless no type is given.
    if (std::optional<FillStyle> fill = Gradient(a)) d->BeginFillStyle(*fill);
    else if (a.Arg(0).IsUndefined()) d->EndFill();
    NoteOverflow(a, *d, over);
    return Value();
}

Value EndFillNative(CallArgs& a) {
    if (Drawing* d = DrawingOf(a)) d->EndFill();
    return Value();
}

enum { kMoveTo, kLineTo };

Value PenTo(CallArgs& a) {
    Drawing* d = DrawingOf(a);
    if (!d || a.args.size() < 2) return Value();
    const Point p{Twips(NumberArg(a, 0)), Twips(NumberArg(a, 1))};
    const bool over = d->Overflowed();
    if (a.callee->fn->magic == kMoveTo) d->MoveTo(p);
    else d->LineTo(p);
    NoteOverflow(a, *d, over);
    return Value();
}

Value CurveToNative(CallArgs& a) {
    Drawing* d = DrawingOf(a);
    if (!d || a.args.size() < 4) return Value();
    const bool over = d->Overflowed();
    d->CurveTo({Twips(NumberArg(a, 0)), Twips(NumberArg(a, 1))}, {Twips(NumberArg(a, 2)), Twips(NumberArg(a, 3))});
    NoteOverflow(a, *d, over);
    return Value();
}

}  // namespace

void InstallClipDrawing(avm1::Vm& vm) {
    avm1::Object* clip = vm.clipProto;
    vm.DefineNative(clip, "clear", Clear);
    vm.DefineNative(clip, "lineStyle", LineStyleNative);
    vm.DefineNative(clip, "lineGradientStyle", LineGradient);
    vm.DefineNative(clip, "beginFill", BeginFillNative);
    vm.DefineNative(clip, "beginGradientFill", BeginGradient);
    vm.DefineNative(clip, "endFill", EndFillNative);
    vm.DefineNative(clip, "moveTo", PenTo, kMoveTo);
    vm.DefineNative(clip, "lineTo", PenTo, kLineTo);
    vm.DefineNative(clip, "curveTo", CurveToNative);
}

}  // namespace swf::bind
