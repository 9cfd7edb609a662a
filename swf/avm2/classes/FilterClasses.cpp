// The flash.filters classes: settings kept as given, in constructor order,
// cloned on demand, and turned into the engine's filters (and back, for
// filters placed by the file) when a display object's `filters` is used.
#include <algorithm>
#include <cmath>

#include "swf/avm2/classes/Display.h"

namespace swf::avm2 {

namespace {

enum class P : uint8_t { Number, Color, Alpha, Int, Bool, String, Array, Object };

struct Param {
    const char* name;
    P type;
    double def;  // Bool: 0/1; String: index into kStrings; Array/Object: null
};

const char* const kStrings[] = {"inner", "outer", "full", "wrap"};

constexpr Param kDropShadow[] = {
    {"distance", P::Number, 4}, {"angle", P::Number, 45}, {"color", P::Color, 0},  {"alpha", P::Alpha, 1},
    {"blurX", P::Number, 4},    {"blurY", P::Number, 4},  {"strength", P::Number, 1}, {"quality", P::Int, 1},
    {"inner", P::Bool, 0},      {"knockout", P::Bool, 0}, {"hideObject", P::Bool, 0}};
constexpr Param kBlur[] = {{"blurX", P::Number, 4}, {"blurY", P::Number, 4}, {"quality", P::Int, 1}};
constexpr Param kGlow[] = {{"color", P::Color, 0xFF0000}, {"alpha", P::Alpha, 1},     {"blurX", P::Number, 6},
                           {"blurY", P::Number, 6},       {"strength", P::Number, 2}, {"quality", P::Int, 1},
                           {"inner", P::Bool, 0},         {"knockout", P::Bool, 0}};
constexpr Param kBevel[] = {
    {"distance", P::Number, 4},      {"angle", P::Number, 45},      {"highlightColor", P::Color, 0xFFFFFF},
    {"highlightAlpha", P::Alpha, 1}, {"shadowColor", P::Color, 0},  {"shadowAlpha", P::Alpha, 1},
    {"blurX", P::Number, 4},         {"blurY", P::Number, 4},       {"strength", P::Number, 1},
    {"quality", P::Int, 1},          {"type", P::String, 0},        {"knockout", P::Bool, 0}};
constexpr Param kGradient[] = {
    {"distance", P::Number, 4}, {"angle", P::Number, 45},    {"colors", P::Array, 0}, {"alphas", P::Array, 0},
    {"ratios", P::Array, 0},    {"blurX", P::Number, 4},     {"blurY", P::Number, 4}, {"strength", P::Number, 1},
    {"quality", P::Int, 1},     {"type", P::String, 0},      {"knockout", P::Bool, 0}};
constexpr Param kConvolution[] = {
    {"matrixX", P::Number, 0}, {"matrixY", P::Number, 0},     {"matrix", P::Array, 0},
    {"divisor", P::Number, 1}, {"bias", P::Number, 0},        {"preserveAlpha", P::Bool, 1},
    {"clamp", P::Bool, 1},     {"color", P::Color, 0},        {"alpha", P::Alpha, 0}};
constexpr Param kColorMatrix[] = {{"matrix", P::Array, 0}};
constexpr Param kDisplacement[] = {
    {"mapBitmap", P::Object, 0}, {"mapPoint", P::Object, 0}, {"componentX", P::Int, 0}, {"componentY", P::Int, 0},
    {"scaleX", P::Number, 0},    {"scaleY", P::Number, 0},   {"mode", P::String, 3},    {"color", P::Color, 0},
    {"alpha", P::Alpha, 0}};

// A shader filter is kept for scripts; the engine does not draw it yet.
constexpr Param kShader[] = {{"shader", P::Object, 0},        {"leftExtension", P::Int, 0},
                             {"topExtension", P::Int, 0},     {"rightExtension", P::Int, 0},
                             {"bottomExtension", P::Int, 0}};

struct Kind {
    const char* name;
    const Param* params;
    size_t count;
};

template <size_t N>
constexpr Kind K(const char* name, const Param (&p)[N]) {
    return {name, p, N};
}

// By FilterKind, then the ones the engine does not draw.
const Kind kKinds[] = {K("DropShadowFilter", kDropShadow), K("BlurFilter", kBlur),
                       K("GlowFilter", kGlow),             K("BevelFilter", kBevel),
                       K("GradientGlowFilter", kGradient), K("ConvolutionFilter", kConvolution),
                       K("ColorMatrixFilter", kColorMatrix), K("GradientBevelFilter", kGradient),
                       K("DisplacementMapFilter", kDisplacement), K("ShaderFilter", kShader)};
constexpr size_t kKindCount = std::size(kKinds);

class FilterObject : public Object {
public:
    FilterObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    size_t kind = 0;
    std::vector<Value> values;  // by the kind's params
    void Trace(Tracer& t) override {
        Object::Trace(t);
        for (const Value& v : values) t.Mark(v);
    }
};

size_t KindOfClass(Machine& m, ClassObject* cls) {
    for (ClassObject* c = cls; c; c = c->base)
        for (size_t k = 0; k < kKindCount; ++k)
            if (c == m.FindClass(std::string("flash.filters.") + kKinds[k].name)) return k;
    return 0;
}

Object* AllocFilter(Machine& m, ClassObject* cls) {
    auto* f = m.New<FilterObject>(cls, cls->prototype);
    f->kind = KindOfClass(m, cls);
    f->values.resize(kKinds[f->kind].count, Value::Undefined());
    return f;
}

FilterObject* AsFilter(Machine& m, const Value& v) {
    ClassObject* base = m.FindClass("flash.filters.BitmapFilter");
    if (v.IsObject() && v.o->cls && base && v.o->cls->IsSubclassOf(base) && v.o->cls != base)
        return static_cast<FilterObject*>(v.o);
    return nullptr;
}

Value Coerce(Machine& m, P type, const Value& v) {
    switch (type) {
    case P::Color: return Value::Number(double(m.ToUint32(v)));
    case P::Int: return Value::Int(m.ToInt32(v));
    case P::Bool: return Value::Bool(m.ToBoolean(v));
    case P::String: return v.IsNullish() ? Value::Null() : Value::Str(m.ToString(v));
    case P::Array: return v.IsObject() && v.o->kind == ObjKind::Array ? v : Value::Null();
    case P::Object: return v.IsObject() ? v : Value::Null();
    default: return Value::Number(m.ToNumber(v));
    }
}

Value DefaultOf(Machine& m, const Param& p) {
    switch (p.type) {
    case P::Bool: return Value::Bool(p.def != 0);
    case P::String: return Value::Str(m.Intern(kStrings[int(p.def)]));
    case P::Array:
    case P::Object: return Value::Null();
    case P::Int:
    case P::Color: return Value::Number(p.def);
    default: return Value::Number(p.def);
    }
}

// The identity colour matrix, as a new array.
Value Identity(Machine& m) {
    ArrayObject* a = m.NewArray();
    for (int i = 0; i < kColorMatrixSize; ++i) a->items.push_back(Value::Int(i % 6 == 0 ? 1 : 0));
    return Value::Obj(a);
}

// A copy of an array of settings (arrays are never shared between filters).
Value CopyArray(Machine& m, const Value& v) {
    if (!v.IsObject() || v.o->kind != ObjKind::Array) return v;
    ArrayObject* a = m.NewArray();
    a->items = static_cast<ArrayObject*>(v.o)->items;
    return Value::Obj(a);
}

Value Init(Machine& m, Value self, Args args, int argc) {
    FilterObject* f = AsFilter(m, self);
    if (!f) return Value::Undefined();
    const Kind& k = kKinds[f->kind];
    for (size_t i = 0; i < k.count; ++i) {
        const Param& p = k.params[i];
        f->values[i] = int(i) < argc ? Coerce(m, p.type, args[i]) : DefaultOf(m, p);
        if (p.type == P::Array) f->values[i] = CopyArray(m, f->values[i]);
    }
    if (k.params == kColorMatrix && !f->values[0].IsObject()) f->values[0] = Identity(m);
    return Value::Undefined();
}

template <size_t I>
Value GetField(Machine& m, Value self, Args, int) {
    FilterObject* f = AsFilter(m, self);
    return f && I < f->values.size() ? f->values[I] : Value::Undefined();
}

template <size_t I>
Value SetField(Machine& m, Value self, Args args, int argc) {
    FilterObject* f = AsFilter(m, self);
    if (f && I < f->values.size()) f->values[I] = Coerce(m, kKinds[f->kind].params[I].type, Arg(args, argc, 0));
    return Value::Undefined();
}

using Accessor = Value (*)(Machine&, Value, Args, int);
template <size_t... I>
constexpr std::array<std::pair<Accessor, Accessor>, sizeof...(I)> Accessors(std::index_sequence<I...>) {
    return {{{GetField<I>, SetField<I>}...}};
}
constexpr auto kAccessors = Accessors(std::make_index_sequence<12>());

FilterObject* NewFilter(Machine& m, size_t kind) {
    ClassObject* cls = m.FindClass(std::string("flash.filters.") + kKinds[kind].name);
    Value v = m.Construct(Value::Obj(cls), nullptr, 0);
    return static_cast<FilterObject*>(v.o);
}

Value Clone(Machine& m, Value self, Args, int) {
    FilterObject* f = AsFilter(m, self);
    if (!f) return Value::Undefined();
    TempRoot keep(m, self);
    FilterObject* c = NewFilter(m, f->kind);
    for (size_t i = 0; i < f->values.size(); ++i) c->values[i] = CopyArray(m, f->values[i]);
    return Value::Obj(c);
}

// To and from the engine -------------------------------------------------------

constexpr double kFixed = 65536, kPi = 3.14159265358979323846;

int32_t Fixed(double v) { return std::isfinite(v) ? int32_t(std::lround(std::clamp(v, -32767.0, 32767.0) * kFixed)) : 0; }
uint8_t AlphaByte(double a) { return std::isfinite(a) ? uint8_t(std::lround(std::clamp(a, 0.0, 1.0) * 255)) : 0; }

struct Reader {
    Machine& m;
    FilterObject* f;
    int Index(const char* name) const {
        const Kind& k = kKinds[f->kind];
        for (size_t i = 0; i < k.count; ++i)
            if (std::string(k.params[i].name) == name) return int(i);
        return -1;
    }
    Value Raw(const char* name) const { return f->values[size_t(Index(name))]; }
    double Num(const char* name) const { return m.ToNumber(Raw(name)); }
    Rgba Color(const char* color, const char* alpha) const {
        uint32_t c = m.ToUint32(Raw(color));
        return Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), AlphaByte(Num(alpha))};
    }
    std::vector<double> Numbers(const char* name) const {
        std::vector<double> out;
        Value v = Raw(name);
        if (v.IsObject() && v.o->kind == ObjKind::Array)
            for (const Value& e : static_cast<ArrayObject*>(v.o)->items) out.push_back(m.ToNumber(e));
        return out;
    }
};

bool ToEngine(Machine& m, FilterObject* f, Filter& out) {
    if (f->kind > kLastFilterKind) return false;
    Reader r{m, f};
    out.kind = FilterKind(f->kind);
    auto blur = [&] {
        out.blurX = Fixed(std::clamp(r.Num("blurX"), 0.0, 255.0));
        out.blurY = Fixed(std::clamp(r.Num("blurY"), 0.0, 255.0));
        out.passes = uint8_t(std::clamp(m.ToInt32(r.Raw("quality")), 0, 15));
    };
    auto shadow = [&](bool offset) {
        blur();
        if (offset) {
            out.distance = Fixed(r.Num("distance"));
            out.angle = Fixed(r.Num("angle") * kPi / 180);
        }
        out.strength = int16_t(std::clamp(std::lround(r.Num("strength") * 256), 0L, long(INT16_MAX)));
        out.knockout = m.ToBoolean(r.Raw("knockout"));
    };
    auto type = [&] {
        std::string t = m.ToStdString(r.Raw("type"));
        out.inner = t == "inner";
        out.onTop = t == "full";
    };
    switch (out.kind) {
    case FilterKind::Blur: blur(); break;
    case FilterKind::DropShadow:
        shadow(true);
        out.color = r.Color("color", "alpha");
        out.inner = m.ToBoolean(r.Raw("inner"));
        out.hideObject = m.ToBoolean(r.Raw("hideObject"));
        break;
    case FilterKind::Glow:
        shadow(false);
        out.color = r.Color("color", "alpha");
        out.inner = m.ToBoolean(r.Raw("inner"));
        break;
    case FilterKind::Bevel:
        shadow(true);
        type();
        out.highlight = r.Color("highlightColor", "highlightAlpha");
        out.color = r.Color("shadowColor", "shadowAlpha");
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: {
        shadow(true);
        type();
        std::vector<double> colors = r.Numbers("colors"), alphas = r.Numbers("alphas"), ratios = r.Numbers("ratios");
        size_t n = std::min({colors.size(), alphas.size(), ratios.size(), size_t(kMaxFilterStops)});
        uint8_t last = 0;
        for (size_t i = 0; i < n; ++i) {
            uint32_t c = m.ToUint32(Value::Number(colors[i]));
            double ratio = std::isnan(ratios[i]) ? 0 : std::clamp(ratios[i], 0.0, 255.0);
            last = std::max(last, uint8_t(ratio));
            out.stops.push_back({last, Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), AlphaByte(alphas[i])}});
        }
        if (out.stops.empty()) return false;
        break;
    }
    case FilterKind::Convolution: {
        out.matrixX = uint8_t(std::clamp(m.ToInt32(r.Raw("matrixX")), 0, kMaxConvolutionSide));
        out.matrixY = uint8_t(std::clamp(m.ToInt32(r.Raw("matrixY")), 0, kMaxConvolutionSide));
        if (!out.matrixX || !out.matrixY) return false;
        double divisor = r.Num("divisor");
        if (!std::isfinite(divisor) || divisor == 0) divisor = 1;
        std::vector<double> w = r.Numbers("matrix");
        for (size_t i = 0; i < size_t(out.matrixX) * out.matrixY; ++i)
            out.weights.push_back(Fixed(i < w.size() ? w[i] / divisor : 0));
        out.bias = Fixed(r.Num("bias"));
        out.preserveAlpha = m.ToBoolean(r.Raw("preserveAlpha"));
        out.clamp = m.ToBoolean(r.Raw("clamp"));
        out.defaultColor = r.Color("color", "alpha");
        break;
    }
    case FilterKind::ColorMatrix: {
        std::vector<double> w = r.Numbers("matrix");
        for (size_t i = 0; i < size_t(kColorMatrixSize); ++i) out.matrix[i] = Fixed(i < w.size() ? w[i] : 0);
        break;
    }
    }
    return true;
}

Value ColorValue(Rgba c) { return Value::Number(double((uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b)); }
Value AlphaValue(uint8_t a) { return Value::Number(a / 255.0); }

void Put(Machine& m, FilterObject* f, const char* name, const Value& v) {
    int i = Reader{m, f}.Index(name);
    if (i >= 0) f->values[size_t(i)] = v;
}

Value FromEngine(Machine& m, const Filter& in) {
    FilterObject* f = NewFilter(m, size_t(in.kind));
    TempRoot keep(m, Value::Obj(f));
    auto num = [&](const char* name, double d) { Put(m, f, name, Value::Number(d)); };
    num("blurX", in.blurX / kFixed);
    num("blurY", in.blurY / kFixed);
    Put(m, f, "quality", Value::Int(in.passes));
    num("distance", in.distance / kFixed);
    num("angle", in.angle / kFixed * 180 / kPi);
    num("strength", in.strength / 256.0);
    Put(m, f, "knockout", Value::Bool(in.knockout));
    Put(m, f, "inner", Value::Bool(in.inner));
    Put(m, f, "hideObject", Value::Bool(in.hideObject));
    Put(m, f, "type", Value::Str(m.Intern(in.onTop ? "full" : in.inner ? "inner" : "outer")));
    switch (in.kind) {
    case FilterKind::DropShadow:
    case FilterKind::Glow:
        Put(m, f, "color", ColorValue(in.color));
        Put(m, f, "alpha", AlphaValue(in.color.a));
        break;
    case FilterKind::Bevel:
        Put(m, f, "highlightColor", ColorValue(in.highlight));
        Put(m, f, "highlightAlpha", AlphaValue(in.highlight.a));
        Put(m, f, "shadowColor", ColorValue(in.color));
        Put(m, f, "shadowAlpha", AlphaValue(in.color.a));
        break;
    case FilterKind::GradientGlow:
    case FilterKind::GradientBevel: {
        ArrayObject* colors = m.NewArray();
        Put(m, f, "colors", Value::Obj(colors));
        ArrayObject* alphas = m.NewArray();
        Put(m, f, "alphas", Value::Obj(alphas));
        ArrayObject* ratios = m.NewArray();
        Put(m, f, "ratios", Value::Obj(ratios));
        for (const FilterStop& s : in.stops) {
            colors->items.push_back(ColorValue(s.color));
            alphas->items.push_back(AlphaValue(s.color.a));
            ratios->items.push_back(Value::Int(s.ratio));
        }
        break;
    }
    case FilterKind::Convolution: {
        num("matrixX", in.matrixX);
        num("matrixY", in.matrixY);
        ArrayObject* w = m.NewArray();
        Put(m, f, "matrix", Value::Obj(w));
        for (int32_t v : in.weights) w->items.push_back(Value::Number(v / kFixed));
        num("bias", in.bias / kFixed);
        Put(m, f, "preserveAlpha", Value::Bool(in.preserveAlpha));
        Put(m, f, "clamp", Value::Bool(in.clamp));
        Put(m, f, "color", ColorValue(in.defaultColor));
        Put(m, f, "alpha", AlphaValue(in.defaultColor.a));
        break;
    }
    case FilterKind::ColorMatrix: {
        ArrayObject* w = m.NewArray();
        Put(m, f, "matrix", Value::Obj(w));
        for (int32_t v : in.matrix) w->items.push_back(Value::Number(v / kFixed));
        break;
    }
    default: break;
    }
    return Value::Obj(f);
}

// What a display object keeps of a filter it was given: alphas to the
// nearest of 256 steps and the bias to single precision, as drawn.
Value Kept(Machine& m, FilterObject* f) {
    Value c = Clone(m, Value::Obj(f), nullptr, 0);
    auto* k = static_cast<FilterObject*>(c.o);
    const Kind& kind = kKinds[k->kind];
    for (size_t i = 0; i < kind.count; ++i) {
        Value& v = k->values[i];
        if (kind.params[i].type == P::Alpha) v = AlphaValue(AlphaByte(m.ToNumber(v)));
        if (std::string(kind.params[i].name) == "bias") v = Value::Number(double(float(m.ToNumber(v))));
    }
    return c;
}

// DisplayObject.filters -----------------------------------------------------------

Value GetFilters(Machine& m, Value self, Args, int) {
    ArrayObject* out = m.NewArray();
    TempRoot keep(m, Value::Obj(out));
    DispatcherObject* d = AsDisplay(m, self);
    if (!d) return Value::Obj(out);
    if (d->filtersSet) {
        if (d->filters.IsObject())
            for (const Value& v : static_cast<ArrayObject*>(d->filters.o)->items)
                if (FilterObject* f = AsFilter(m, v)) out->items.push_back(Clone(m, Value::Obj(f), nullptr, 0));
        return Value::Obj(out);
    }
    if (m.display && d->serial)
        for (const Filter& f : m.display->Filters(d->serial)) out->items.push_back(FromEngine(m, f));
    return Value::Obj(out);
}

Value SetFilters(Machine& m, Value self, Args args, int argc) {
    DispatcherObject* d = AsDisplay(m, self);
    Value given = Arg(args, argc, 0);
    ArrayObject* kept = m.NewArray();
    TempRoot keep(m, Value::Obj(kept));
    FilterList engine;
    if (given.IsObject() && given.o->kind == ObjKind::Array) {
        for (const Value& v : static_cast<ArrayObject*>(given.o)->items) {
            FilterObject* f = AsFilter(m, v);
            if (!f) m.ArgumentError(2005, "Parameter 0 is of the incorrect type. Should be type Filter.");
            kept->items.push_back(Kept(m, f));
            Filter e;
            if (engine.size() < kMaxFiltersPerObject && ToEngine(m, f, e)) engine.push_back(std::move(e));
        }
    } else if (!given.IsNullish()) {
        m.TypeError(1034, "Type Coercion failed: cannot convert " + m.Describe(given) + " to Array.");
    }
    if (!d) return Value::Undefined();
    d->filters = Value::Obj(kept);
    d->filtersSet = true;
    if (m.display && d->serial) m.display->SetFilters(d->serial, std::move(engine));
    return Value::Undefined();
}

}  // namespace

bool EngineFilterOf(Machine& m, const Value& v, Filter& out) {
    FilterObject* f = AsFilter(m, v);
    return f && ToEngine(m, f, out);
}

void InstallFilters(Machine& m) {
    ClassObject* base = m.DefineClass("flash.filters", "BitmapFilter", m.objectClass, AllocFilter, true);
    m.DefineMethod(base, "clone", Clone, 0);
    for (const Kind& k : kKinds) {
        ClassObject* c = m.DefineClass("flash.filters", k.name, base, AllocFilter, true);
        c->init = m.NewNativeMethod(k.name, Init, 0);
        for (size_t i = 0; i < k.count; ++i)
            m.DefineGetter(c, k.params[i].name, kAccessors[i].first, kAccessors[i].second);
    }
    ClassObject* type = m.DefineClass("flash.filters", "BitmapFilterType", m.objectClass, nullptr, true);
    m.DefineConstant(type, "INNER", Value::Str(m.Intern("inner")));
    m.DefineConstant(type, "OUTER", Value::Str(m.Intern("outer")));
    m.DefineConstant(type, "FULL", Value::Str(m.Intern("full")));
    ClassObject* quality = m.DefineClass("flash.filters", "BitmapFilterQuality", m.objectClass, nullptr, true);
    m.DefineConstant(quality, "LOW", Value::Int(1));
    m.DefineConstant(quality, "MEDIUM", Value::Int(2));
    m.DefineConstant(quality, "HIGH", Value::Int(3));
    if (ClassObject* display = m.FindClass("flash.display.DisplayObject"))
        m.DefineGetter(display, "filters", GetFilters, SetFilters);
}

}  // namespace swf::avm2
