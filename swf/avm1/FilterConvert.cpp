// Filter objects to the engine's filters and back, and blend mode names.
// Sizes and angles become the engine's fixed point; reading them back
// gives the shortest decimal that maps to the same fixed value, so a
// script that set 45 degrees reads 45, not 45.0002.
#include <algorithm>
#include <optional>
#include <cmath>
#include <cstring>

#include "swf/avm1/FilterClasses.h"
#include "swf/avm1/FilterParams.h"

namespace swf::avm1 {

namespace {

using P = ParamType;

constexpr FilterParam kDropShadow[] = {
    {"distance", P::Number, 4}, {"angle", P::Number, 45},  {"color", P::Color, 0},
    {"alpha", P::Alpha, 1},     {"blurX", P::Blur, 4},     {"blurY", P::Blur, 4},
    {"strength", P::Strength, 1}, {"quality", P::Quality, 1}, {"inner", P::Bool, 0},
    {"knockout", P::Bool, 0},   {"hideObject", P::Bool, 0}};
constexpr FilterParam kBlur[] = {{"blurX", P::Blur, 4}, {"blurY", P::Blur, 4}, {"quality", P::Quality, 1}};
constexpr FilterParam kGlow[] = {
    {"color", P::Color, 0xFF0000}, {"alpha", P::Alpha, 1},     {"blurX", P::Blur, 6},
    {"blurY", P::Blur, 6},         {"strength", P::Strength, 2}, {"quality", P::Quality, 1},
    {"inner", P::Bool, 0},         {"knockout", P::Bool, 0}};
constexpr FilterParam kBevel[] = {
    {"distance", P::Number, 4},    {"angle", P::Number, 45},        {"highlightColor", P::Color, 0xFFFFFF},
    {"highlightAlpha", P::Alpha, 1}, {"shadowColor", P::Color, 0},  {"shadowAlpha", P::Alpha, 1},
    {"blurX", P::Blur, 4},         {"blurY", P::Blur, 4},           {"strength", P::Strength, 1},
    {"quality", P::Quality, 1},    {"type", P::Type, 0},            {"knockout", P::Bool, 0}};
// Both gradient filters; their types' defaults differ (FilterClass).
constexpr FilterParam kGradient[] = {
    {"distance", P::Number, 4}, {"angle", P::Number, 45},      {"colors", P::Array, 0},
    {"alphas", P::Array, 0},    {"ratios", P::Array, 0},       {"blurX", P::Blur, 4},
    {"blurY", P::Blur, 4},      {"strength", P::Strength, 1},  {"quality", P::Quality, 1},
    {"type", P::Type, 0},       {"knockout", P::Bool, 0}};
constexpr FilterParam kConvolution[] = {
    {"matrixX", P::Side, 0},       {"matrixY", P::Side, 0}, {"matrix", P::Array, 0},
    {"divisor", P::Number, 1},     {"bias", P::Number, 0},  {"preserveAlpha", P::Bool, 1},
    {"clamp", P::Bool, 1},         {"color", P::Color, 0},  {"alpha", P::Alpha, 0}};
constexpr FilterParam kColorMatrix[] = {{"matrix", P::Array, 1}};

constexpr int kInner = 0, kOuter = 1;

template <size_t N>
constexpr FilterClass Class(const char* name, const FilterParam (&params)[N], int type = kInner) {
    return {name, params, N, type};
}

// By FilterKind.
const FilterClass kClasses[] = {
    Class("DropShadowFilter", kDropShadow), Class("BlurFilter", kBlur),
    Class("GlowFilter", kGlow),             Class("BevelFilter", kBevel),
    Class("GradientGlowFilter", kGradient, kOuter), Class("ConvolutionFilter", kConvolution),
    Class("ColorMatrixFilter", kColorMatrix), Class("GradientBevelFilter", kGradient)};

constexpr double kFixed = 65536, kStrengthOne = 256, kMaxFixed = 32767, kDegrees = 180;
// Spelled out: strict C++17 headers (MinGW) do not declare M_PI.
constexpr double kPi = 3.14159265358979323846;
constexpr size_t kMaxProtoChain = 64;

int32_t Fixed(double v) {
    if (!std::isfinite(v)) return 0;
    return int32_t(std::lround(std::clamp(v, -kMaxFixed, kMaxFixed) * kFixed));
}
double Radians(double degrees) { return degrees * kPi / kDegrees; }
int32_t AlphaByte(double a) { return int32_t(std::lround(std::clamp(a, 0.0, 1.0) * 255)); }

// The shortest decimal (up to 6 places) that `quantise` maps where `v` maps.
template <typename Q>
double Shortest(double v, Q quantise) {
    const auto target = quantise(v);
    for (int places = 0; places <= 6; ++places) {
        const double scale = std::pow(10.0, places);
        const double r = std::round(v * scale) / scale;
        if (quantise(r) == target) return r;
    }
    return v;
}
double FromFixed(int32_t f) { return Shortest(f / kFixed, Fixed); }
double FromAlpha(uint8_t a) { return Shortest(a / 255.0, AlphaByte); }

// Reads settings off a filter object, normalised as the constructor does.
struct Reader {
    Vm& vm;
    Object* o;
    Value Raw(const char* name) const { return vm.Get(o, name, Value::Obj(o)); }
    double Num(const char* name, ParamType type) const { return vm.ToNumber(NormaliseParam(vm, type, Raw(name))); }
    bool Flag(const char* name) const { return vm.ToBool(Raw(name)); }
    Rgba Color(const char* color, const char* alpha) const {
        const uint32_t c = uint32_t(Num(color, P::Color));
        return Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(AlphaByte(Num(alpha, P::Alpha)))};
    }
    std::optional<std::vector<Value>> Array(const char* name) const {
        const Value v = Raw(name);
        if (v.IsObject() && v.o->cls == ObjClass::Array) return vm.ArrayValues(v.o);
        return std::nullopt;
    }
};

void ReadBlur(const Reader& r, Filter& f) {
    f.blurX = Fixed(r.Num("blurX", P::Blur));
    f.blurY = Fixed(r.Num("blurY", P::Blur));
    f.passes = uint8_t(r.Num("quality", P::Quality));
}

void ReadShadowTail(const Reader& r, Filter& f, bool offset) {
    ReadBlur(r, f);
    if (offset) {
        f.distance = Fixed(r.Num("distance", P::Number));
        f.angle = Fixed(Radians(r.Num("angle", P::Number)));
    }
    f.strength = int16_t(std::clamp<long>(std::lround(r.Num("strength", P::Strength) * kStrengthOne), 0, INT16_MAX));
    f.knockout = r.Flag("knockout");
}

void ReadType(const Reader& r, Filter& f) {
    const std::string type = r.vm.ToString(NormaliseParam(r.vm, P::Type, r.Raw("type")));
    f.inner = type == "inner";
    f.onTop = type == "full";
}

bool ReadStops(const Reader& r, Filter& f) {
    const auto colors = r.Array("colors");
    const auto alphas = r.Array("alphas");
    const auto ratios = r.Array("ratios");
    if (!colors || !alphas || !ratios) return false;
    const size_t n = std::min({colors->size(), alphas->size(), ratios->size(), size_t(kMaxFilterStops)});
    uint8_t last = 0;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t c = uint32_t(r.vm.ToNumber(NormaliseParam(r.vm, P::Color, (*colors)[i])));
        const double a = r.vm.ToNumber(NormaliseParam(r.vm, P::Alpha, (*alphas)[i]));
        const double ratio = std::clamp(r.vm.ToNumber((*ratios)[i]), 0.0, 255.0);
        last = std::max(last, uint8_t(std::isnan(ratio) ? 0 : ratio));
        f.stops.push_back({last, Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(AlphaByte(a))}});
    }
    return !f.stops.empty();
}

bool ReadConvolution(const Reader& r, Filter& f) {
    f.matrixX = uint8_t(r.Num("matrixX", P::Side));
    f.matrixY = uint8_t(r.Num("matrixY", P::Side));
    if (f.matrixX == 0 || f.matrixY == 0) return false;
    double divisor = r.Num("divisor", P::Number);
    if (!std::isfinite(divisor) || divisor == 0) divisor = 1;
    const auto m = r.Array("matrix");
    for (size_t i = 0; i < size_t(f.matrixX) * f.matrixY; ++i)
        f.weights.push_back(Fixed(m && i < m->size() ? r.vm.ToNumber((*m)[i]) / divisor : 0));
    f.bias = Fixed(r.Num("bias", P::Number));
    f.preserveAlpha = r.Flag("preserveAlpha");
    f.clamp = r.Flag("clamp");
    f.defaultColor = r.Color("color", "alpha");
    return true;
}

void ReadColorMatrix(const Reader& r, Filter& f) {
    const auto m = r.Array("matrix");
    for (int i = 0; i < kColorMatrixSize; ++i)
        f.matrix[size_t(i)] = Fixed(m && size_t(i) < m->size() ? r.vm.ToNumber((*m)[size_t(i)]) : 0);
}

bool KindOf(Vm& vm, Object* o, FilterKind& kind) {
    Object* protos[kLastFilterKind + 1];
    for (uint8_t k = 0; k <= kLastFilterKind; ++k) protos[k] = FilterPrototype(vm, FilterKind(k));
    size_t steps = 0;
    for (Object* p = o->proto; p && steps < kMaxProtoChain; p = p->proto, ++steps)
        for (uint8_t k = 0; k <= kLastFilterKind; ++k)
            if (protos[k] == p) {
                kind = FilterKind(k);
                return true;
            }
    return false;
}

Value Number(double d) { return Value::Num(d); }
Value Color(Rgba c) { return Number(double((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b)); }

void PutShadowTail(Vm& vm, Object* o, const Filter& f, bool offset) {
    if (offset) {
        vm.Put(o, "distance", Number(FromFixed(f.distance)));
        vm.Put(o, "angle", Number(Shortest(f.angle / kFixed * kDegrees / kPi, [](double d) { return Fixed(Radians(d)); })));
    }
    vm.Put(o, "blurX", Number(FromFixed(f.blurX)));
    vm.Put(o, "blurY", Number(FromFixed(f.blurY)));
    vm.Put(o, "strength", Number(Shortest(f.strength / kStrengthOne, [](double s) { return std::lround(s * kStrengthOne); })));
    vm.Put(o, "quality", Number(f.passes));
    vm.Put(o, "knockout", Value::Bool(f.knockout));
}

Value TypeName(const Filter& f) { return Value::String(f.onTop ? "full" : f.inner ? "inner" : "outer"); }

void PutGradient(Vm& vm, Object* o, const Filter& f) {
    std::vector<Value> colors, alphas, ratios;
    for (const FilterStop& s : f.stops) {
        colors.push_back(Color(s.color));
        alphas.push_back(Number(FromAlpha(s.color.a)));
        ratios.push_back(Number(s.ratio));
    }
    vm.Put(o, "colors", Value::Obj(vm.NewArray(std::move(colors))));
    vm.Put(o, "alphas", Value::Obj(vm.NewArray(std::move(alphas))));
    vm.Put(o, "ratios", Value::Obj(vm.NewArray(std::move(ratios))));
    PutShadowTail(vm, o, f, true);
    vm.Put(o, "type", TypeName(f));
}

Value FixedArray(Vm& vm, const int32_t* v, size_t n) {
    std::vector<Value> out;
    for (size_t i = 0; i < n; ++i) out.push_back(Number(FromFixed(v[i])));
    return Value::Obj(vm.NewArray(std::move(out)));
}

}  // namespace

const FilterClass& ClassOf(FilterKind kind) { return kClasses[std::min<size_t>(size_t(kind), kLastFilterKind)]; }

bool ToFilter(Vm& vm, const Value& v, Filter& out) {
    FilterKind kind;
    if (!v.IsObject() || !KindOf(vm, v.o, kind)) return false;
    Filter f;
    f.kind = kind;
    const Reader r{vm, v.o};
    switch (kind) {
    case FilterKind::Blur: ReadBlur(r, f); break;
    case FilterKind::DropShadow:
    case FilterKind::Glow:
        ReadShadowTail(r, f, kind == FilterKind::DropShadow);
        f.color = r.Color("color", "alpha");
        f.inner = r.Flag("inner");
        f.hideObject = kind == FilterKind::DropShadow && r.Flag("hideObject");
        break;
    case FilterKind::Bevel:
        ReadShadowTail(r, f, true);
        f.color = r.Color("shadowColor", "shadowAlpha");
        f.highlight = r.Color("highlightColor", "highlightAlpha");
        ReadType(r, f);
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel:
        ReadShadowTail(r, f, true);
        ReadType(r, f);
        if (!ReadStops(r, f)) return false;
        break;
    case FilterKind::Convolution:
        if (!ReadConvolution(r, f)) return false;
        break;
    case FilterKind::ColorMatrix: ReadColorMatrix(r, f); break;
    }
    out = std::move(f);
    return true;
}

Value FromFilter(Vm& vm, const Filter& f) {
    Object* proto = FilterPrototype(vm, f.kind);
    Object* o = vm.NewObject(proto ? proto : vm.objectProto);
    switch (f.kind) {
    case FilterKind::Blur:
        vm.Put(o, "blurX", Number(FromFixed(f.blurX)));
        vm.Put(o, "blurY", Number(FromFixed(f.blurY)));
        vm.Put(o, "quality", Number(f.passes));
        break;
    case FilterKind::DropShadow:
    case FilterKind::Glow:
        vm.Put(o, "color", Color(f.color));
        vm.Put(o, "alpha", Number(FromAlpha(f.color.a)));
        PutShadowTail(vm, o, f, f.kind == FilterKind::DropShadow);
        vm.Put(o, "inner", Value::Bool(f.inner));
        if (f.kind == FilterKind::DropShadow) vm.Put(o, "hideObject", Value::Bool(f.hideObject));
        break;
    case FilterKind::Bevel:
        vm.Put(o, "highlightColor", Color(f.highlight));
        vm.Put(o, "highlightAlpha", Number(FromAlpha(f.highlight.a)));
        vm.Put(o, "shadowColor", Color(f.color));
        vm.Put(o, "shadowAlpha", Number(FromAlpha(f.color.a)));
        PutShadowTail(vm, o, f, true);
        vm.Put(o, "type", TypeName(f));
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: PutGradient(vm, o, f); break;
    case FilterKind::Convolution:
        vm.Put(o, "matrixX", Number(f.matrixX));
        vm.Put(o, "matrixY", Number(f.matrixY));
        vm.Put(o, "matrix", FixedArray(vm, f.weights.data(), f.weights.size()));
        vm.Put(o, "divisor", Number(1));
        vm.Put(o, "bias", Number(FromFixed(f.bias)));
        vm.Put(o, "preserveAlpha", Value::Bool(f.preserveAlpha));
        vm.Put(o, "clamp", Value::Bool(f.clamp));
        vm.Put(o, "color", Color(f.defaultColor));
        vm.Put(o, "alpha", Number(FromAlpha(f.defaultColor.a)));
        break;
    case FilterKind::ColorMatrix: vm.Put(o, "matrix", FixedArray(vm, f.matrix.data(), f.matrix.size())); break;
    }
    return Value::Obj(o);
}

FilterList ToFilterList(Vm& vm, const Value& v) {
    FilterList list;
    if (!v.IsObject() || v.o->cls != ObjClass::Array) return list;
    for (const Value& e : vm.ArrayValues(v.o)) {
        if (list.size() >= kMaxFiltersPerObject) break;
        Filter f;
        if (ToFilter(vm, e, f)) list.push_back(std::move(f));
    }
    return list;
}

Value FromFilterList(Vm& vm, const FilterList& list) {
    std::vector<Value> out;
    for (const Filter& f : list) out.push_back(FromFilter(vm, f));
    return Value::Obj(vm.NewArray(std::move(out)));
}

bool ToBlendMode(Vm& vm, const Value& v, BlendMode& out) {
    if (v.IsNumber()) {
        const double d = v.n;
        if (!(d >= 1 && d <= kLastBlendMode)) return false;
        out = BlendMode(uint8_t(d));
        return true;
    }
    return BlendModeFromName(vm.ToString(v).c_str(), out);
}

Value FromBlendMode(BlendMode mode) { return Value::String(BlendModeName(mode)); }

}  // namespace swf::avm1
