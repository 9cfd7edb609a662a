// The TextFormat class: a plain object whose properties start null, filled
// from the constructor's arguments (font, size, color, bold, italic,
// underline, url, target, align, leftMargin, rightMargin, indent, leading).
#include <cmath>

#include "swf/bind/Bindings.h"
#include "swf/bind/TextFormatValue.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr int32_t kPx = TextFormat::kTwipsPerPixelForText;
constexpr double kMaxPixels = 1 << 20;

const char* const kProperties[] = {"font",       "size",        "color",  "bold",    "italic",
                                   "underline",  "url",         "target", "align",   "leftMargin",
                                   "rightMargin", "indent",     "leading", "blockIndent", "tabStops",
                                   "bullet",     "kerning",     "letterSpacing"};
constexpr size_t kCtorArgs = 13;

avm1::Object* TextFormatProto(avm1::Vm& vm) {
    const Value ctor = vm.Get(vm.global, "TextFormat", Value::Obj(vm.global));
    const Value proto = ctor.IsObject() ? vm.Get(ctor.o, "prototype", ctor) : Value();
    return proto.IsObject() ? proto.o : nullptr;
}

Value TextFormatCtor(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    for (size_t i = 0; i < std::size(kProperties); ++i)
        a.vm.Put(a.self.o, kProperties[i], i < kCtorArgs && i < a.args.size() ? a.args[i] : Value::Null());
    return Value();
}

int32_t Twips(avm1::Vm& vm, const Value& v) {
    const double px = vm.ToNumber(v);
    return std::isfinite(px) ? int32_t(std::lround(std::fmax(-kMaxPixels, std::fmin(kMaxPixels, px)))) * kPx : 0;
}

const char* AlignName(TextAlign a) {
    switch (a) {
    case TextAlign::Right: return "right";
    case TextAlign::Center: return "center";
    case TextAlign::Justify: return "justify";
    case TextAlign::Left: break;
    }
    return "left";
}

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
    auto put = [&](const char* name, const auto& field, auto&& make) {
        vm.Put(o, name, field ? make(*field) : Value::Null());
    };
    auto str = [](const std::string& s) { return Value::String(s); };
    auto flag = [](bool b) { return Value::Bool(b); };
    auto px = [](int32_t t) { return Value::Num(t / kPx); };
    put("font", p.font, str);
    put("size", p.size, px);
    put("color", p.color, [](Rgba c) { return Value::Num((c.r << 16) | (c.g << 8) | c.b); });
    put("bold", p.bold, flag);
    put("italic", p.italic, flag);
    put("underline", p.underline, flag);
    put("url", p.url, str);
    put("target", p.target, str);
    put("align", p.align, [](TextAlign a) { return Value::String(std::string(AlignName(a))); });
    put("leftMargin", p.leftMargin, px);
    put("rightMargin", p.rightMargin, px);
    put("indent", p.indent, px);
    put("leading", p.leading, px);
    put("blockIndent", p.blockIndent, px);
    put("tabStops", p.tabStops, [&](const std::vector<int32_t>& stops) {
        std::vector<Value> values;
        for (int32_t t : stops) values.push_back(Value::Num(t / kPx));
        return Value::Obj(vm.NewArray(values));
    });
    put("bullet", p.bullet, flag);
    put("kerning", p.kerning, flag);
    put("letterSpacing", p.letterSpacing, px);
    return Value::Obj(o);
}

void InstallTextFormat(avm1::Vm& vm) { vm.DefineClass("TextFormat", TextFormatCtor, vm.NewObject()); }

}  // namespace swf::bind
