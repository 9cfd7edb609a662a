// The TextFormat class. Its properties are hidden accessors on the
// prototype that convert what is written (sizes to whole numbers, colours
// to 32 bits, flags to booleans, an unknown alignment ignored); null and
// undefined both clear one. Values live beside the object as native data.
#include <cmath>
#include <optional>

#include "swf/bind/Bindings.h"
#include "swf/bind/TextFormatValue.h"
#include "swf/classes/StyleSheet.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr int32_t kPx = TextFormat::kTwipsPerPixelForText;

enum Field {
    kFont, kSize, kColor, kUrl, kTarget, kBold, kItalic, kUnderline, kAlign, kLeftMargin, kRightMargin,
    kIndent, kLeading, kBlockIndent, kTabStops, kBullet, kDisplay, kKerning, kLetterSpacing, kFieldCount
};
// In the order a script enumerating them meets them.
const char* const kNames[kFieldCount] = {"font", "size", "color", "url", "target", "bold", "italic",
                                         "underline", "align", "leftMargin", "rightMargin", "indent",
                                         "leading", "blockIndent", "tabStops", "bullet", "display",
                                         "kerning", "letterSpacing"};
const Field kCtorOrder[] = {kFont, kSize, kColor, kBold, kItalic, kUnderline, kUrl,
                            kTarget, kAlign, kLeftMargin, kRightMargin, kIndent, kLeading};

struct FormatFields : avm1::NativeData {
    Value v[kFieldCount];
    // Kept as numbers: a fresh array is made for each read.
    std::optional<std::vector<double>> tabStops;
    FormatFields() {
        for (Value& x : v) x = Value::Null();
        v[kDisplay] = Value::String(std::string("block"));
    }
};

FormatFields& FieldsOf(avm1::Object* o) {
    if (auto* f = dynamic_cast<FormatFields*>(o->native.get())) return *f;
    auto f = std::make_shared<FormatFields>();
    o->native = f;
    return *f;
}

bool IsAlign(const std::string& s) { return s == "left" || s == "right" || s == "center" || s == "justify"; }

double Whole(double n) { return std::isfinite(n) ? double(avm1::ToInt32(n)) : 0; }

// Stores `x` converted as field `f` wants. From the constructor a margin
// may be negative and an unknown alignment reads null; a later write
// clamps margins at 0 and leaves the alignment as it was.
void Store(avm1::Vm& vm, FormatFields& d, int f, const Value& x, bool fromCtor) {
    if (x.IsNullish() && !(f == kAlign && !fromCtor)) {
        d.v[f] = Value::Null();
        if (f == kTabStops) d.tabStops.reset();
        return;
    }
    switch (f) {
    case kFont: case kUrl: case kTarget: case kDisplay:
        d.v[f] = Value::String(vm.ToStr(x));
        return;
    case kBold: case kItalic: case kUnderline: case kBullet: case kKerning:
        d.v[f] = Value::Bool(vm.ToBool(x));
        return;
    case kColor:
        d.v[f] = Value::Num(double(uint32_t(avm1::ToInt32(vm.ToNumber(x)))));
        return;
    case kSize:
        d.v[f] = Value::Num(Whole(vm.ToNumber(x)));
        return;
    case kIndent:
        // From version 8 the indent may be negative and rounds half to even.
        if (vm.Version() >= 8) {
            const double n = vm.ToNumber(x);
            d.v[f] = Value::Num(std::isfinite(n) ? double(avm1::ToInt32(std::nearbyint(n))) : 0);
            return;
        }
        [[fallthrough]];
    case kLeftMargin: case kRightMargin: case kLeading: case kBlockIndent: {
        const double n = Whole(vm.ToNumber(x));
        d.v[f] = Value::Num(fromCtor ? n : std::max(0.0, n));
        return;
    }
    case kAlign: {
        const std::string s = x.IsNullish() ? std::string() : vm.ToString(x);
        if (IsAlign(s)) d.v[f] = Value::String(s);
        else if (fromCtor) d.v[f] = Value::Null();
        return;
    }
    case kTabStops: {
        if (!x.IsObject()) return;
        std::vector<double> stops;
        const double n = vm.ToNumber(vm.Get(x.o, "length", x));
        for (int i = 0; std::isfinite(n) && i < n && i < 64; ++i)
            stops.push_back(Whole(vm.ToNumber(vm.Get(x.o, std::to_string(i), x))));
        d.tabStops = std::move(stops);
        d.v[f] = Value::Num(0);  // marks it set
        return;
    }
    default:
        d.v[f] = Value::Num(vm.ToNumber(x));
    }
}

Value GetField(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    FormatFields& d = FieldsOf(a.self.o);
    const int f = a.callee->fn->magic;
    if (f != kTabStops || !d.tabStops) return d.v[f];
    std::vector<Value> values;
    for (double t : *d.tabStops) values.push_back(Value::Num(t));
    return Value::Obj(a.vm.NewArray(values));
}

Value SetField(CallArgs& a) {
    if (a.self.IsObject()) Store(a.vm, FieldsOf(a.self.o), a.callee->fn->magic, a.Arg(0), false);
    return Value();
}

avm1::Object* TextFormatProto(avm1::Vm& vm) {
    const Value ctor = vm.Get(vm.global, "TextFormat", Value::Obj(vm.global));
    const Value proto = ctor.IsObject() ? vm.Get(ctor.o, "prototype", ctor) : Value();
    return proto.IsObject() ? proto.o : nullptr;
}

Value TextFormatCtor(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    FormatFields& d = FieldsOf(a.self.o);
    for (size_t i = 0; i < std::size(kCtorOrder) && i < a.args.size(); ++i)
        Store(a.vm, d, kCtorOrder[i], a.args[i], true);
    return Value();
}

int32_t Twips(avm1::Vm& vm, const Value& v) { return ScriptPixelsToTwips(vm.ToNumber(v)); }

}  // namespace

FormatPatch PatchFromValue(avm1::Vm& vm, const Value& v) {
    FormatPatch p;
    if (!v.IsObject()) return p;
    auto get = [&](const char* name, auto&& use) {
        const Value x = vm.Get(v.o, name, v);
        if (!x.IsNullish()) use(x);
    };
    get("font", [&](const Value& x) { p.font = vm.ToString(x); });
    get("size", [&](const Value& x) { p.size = std::max(0, Twips(vm, x)); });
    get("color", [&](const Value& x) {
        const double n = vm.ToNumber(x);
        const uint32_t c = std::isfinite(n) ? uint32_t(int64_t(n)) : 0;
        p.color = Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
    });
    get("bold", [&](const Value& x) { p.bold = vm.ToBool(x); });
    get("italic", [&](const Value& x) { p.italic = vm.ToBool(x); });
    get("underline", [&](const Value& x) { p.underline = vm.ToBool(x); });
    get("bullet", [&](const Value& x) { p.bullet = vm.ToBool(x); });
    get("kerning", [&](const Value& x) { p.kerning = vm.ToBool(x); });
    get("url", [&](const Value& x) { p.url = vm.ToString(x); });
    get("target", [&](const Value& x) { p.target = vm.ToString(x); });
    get("align", [&](const Value& x) {
        const std::string s = vm.ToString(x);
        if (s == "left") p.align = TextAlign::Left;
        else if (s == "right") p.align = TextAlign::Right;
        else if (s == "center") p.align = TextAlign::Center;
        else if (s == "justify") p.align = TextAlign::Justify;
    });
    get("leftMargin", [&](const Value& x) { p.leftMargin = std::max(0, Twips(vm, x)); });
    get("rightMargin", [&](const Value& x) { p.rightMargin = std::max(0, Twips(vm, x)); });
    get("indent", [&](const Value& x) { p.indent = Twips(vm, x); });
    get("blockIndent", [&](const Value& x) { p.blockIndent = std::max(0, Twips(vm, x)); });
    get("leading", [&](const Value& x) { p.leading = Twips(vm, x); });
    get("letterSpacing", [&](const Value& x) { p.letterSpacing = Twips(vm, x); });
    get("tabStops", [&](const Value& x) {
        if (!x.IsObject()) return;
        std::vector<int32_t> stops;
        const double n = vm.ToNumber(vm.Get(x.o, "length", x));
        for (int i = 0; std::isfinite(n) && i < n && i < 64; ++i)
            stops.push_back(Twips(vm, vm.Get(x.o, std::to_string(i), x)));
        p.tabStops = stops;
    });
    return p;
}

Value ValueFromPatch(avm1::Vm& vm, const FormatPatch& p) {
    avm1::Object* o = vm.NewObject(TextFormatProto(vm));
    FormatFields& d = FieldsOf(o);
    auto put = [&](Field f, const auto& field, auto&& make) {
        if (field) d.v[f] = make(*field);
    };
    auto str = [](const std::string& s) { return Value::String(s); };
    auto flag = [](bool b) { return Value::Bool(b); };
    auto px = [](int32_t t) { return Value::Num(t / kPx); };
    put(kFont, p.font, str);
    put(kSize, p.size, px);
    put(kColor, p.color, [](Rgba c) { return Value::Num((c.r << 16) | (c.g << 8) | c.b); });
    put(kBold, p.bold, flag);
    put(kItalic, p.italic, flag);
    put(kUnderline, p.underline, flag);
    put(kUrl, p.url, str);
    put(kTarget, p.target, str);
    put(kAlign, p.align, [](TextAlign a) { return Value::String(std::string(AlignName(a))); });
    put(kLeftMargin, p.leftMargin, px);
    put(kRightMargin, p.rightMargin, px);
    put(kIndent, p.indent, px);
    put(kLeading, p.leading, px);
    put(kBlockIndent, p.blockIndent, px);
    if (p.tabStops) {
        d.tabStops.emplace();
        for (int32_t t : *p.tabStops) d.tabStops->push_back(t / kPx);
        d.v[kTabStops] = Value::Num(0);
    }
    put(kBullet, p.bullet, flag);
    put(kKerning, p.kerning, flag);
    put(kLetterSpacing, p.letterSpacing, px);
    return Value::Obj(o);
}

namespace {

// What a style counts as given: a non-empty string, a number other than
// 0 and NaN, true, any object.
bool Given(const Value& v) {
    switch (v.kind) {
    case Value::Kind::Bool: return v.b;
    case Value::Kind::Number: return v.n != 0 && !std::isnan(v.n);
    case Value::Kind::String: return !v.Text().empty();
    case Value::Kind::Object: case Value::Kind::Clip: return true;
    default: return false;
    }
}

}  // namespace

Value TextFormatFromStyle(avm1::Vm& vm, const Value& style) {
    if (style.IsNullish()) return Value::Null();
    const Value tf = vm.Construct(vm.GetMember(Value::Obj(vm.global), "TextFormat"), {});
    if (!tf.IsObject()) return Value::Null();
    avm1::PinGuard pin(vm);
    FormatFields& d = FieldsOf(tf.o);
    d.v[kKerning] = Value::Bool(false);
    std::string s;
    Value raw;
    auto given = [&](const char* name) {
        raw = vm.GetMember(style, name);
        if (!Given(raw)) return false;
        s = vm.ToString(raw);
        return true;
    };
    auto number = [&](int f, double n, bool clampAtZero) {
        if (std::isnan(n) && f != kLetterSpacing) n = 0;
        d.v[f] = Value::Num(clampAtZero ? std::max(0.0, n) : n);
    };
    uint32_t rgb;
    if (given("color") && CssColor(s, rgb)) d.v[kColor] = Value::Num(rgb);
    if (given("display") && (s == "inline" || s == "block" || s == "none")) d.v[kDisplay] = Value::String(s);
    if (given("fontFamily")) d.v[kFont] = Value::String(CssFontList(s));
    if (given("fontSize") && CssInteger(s) > 0) d.v[kSize] = Value::Num(CssInteger(s));
    if (given("fontStyle") && (s == "normal" || s == "italic")) d.v[kItalic] = Value::Bool(s == "italic");
    if (given("fontWeight") && (s == "normal" || s == "bold")) d.v[kBold] = Value::Bool(s == "bold");
    if (given("kerning")) {
        const double n = CssInteger(s);
        d.v[kKerning] = Value::Bool((raw.IsString() && s == "true") || (!std::isnan(n) && n != 0));
    }
    if (given("leading")) number(kLeading, CssInteger(s), false);
    if (given("letterSpacing")) number(kLetterSpacing, CssInteger(s), false);
    if (given("marginLeft")) number(kLeftMargin, CssInteger(s), true);
    if (given("marginRight")) number(kRightMargin, CssInteger(s), true);
    if (given("textIndent")) number(kIndent, CssInteger(s), false);
    if (given("textAlign")) {
        const std::string lower = avm1::LowerAscii(s);
        if (IsAlign(lower)) d.v[kAlign] = Value::String(lower);
    }
    if (given("textDecoration") && (s == "none" || s == "underline")) d.v[kUnderline] = Value::Bool(s == "underline");
    return tf;
}

void InstallTextFormat(avm1::Vm& vm) {
    avm1::Object* proto = vm.NewObject();
    for (int f = 0; f < kFieldCount; ++f) vm.DefineAccessor(proto, kNames[f], GetField, SetField, f);
    vm.DefineClass("TextFormat", TextFormatCtor, proto);
}

}  // namespace swf::bind
