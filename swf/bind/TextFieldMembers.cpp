// TextField properties and methods: the text (plain and HTML), the field's
// settings, scrolling and measures, and formats by range.
#include <cctype>
#include <cmath>

#include "swf/bind/Bindings.h"
#include "swf/bind/TextEvents.h"
#include "swf/bind/TextFormatValue.h"
#include "swf/display/TextObjects.h"
#include "swf/text/FieldEditor.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

int Magic(CallArgs& a) { return a.callee && a.callee->fn ? a.callee->fn->magic : 0; }

EditTextField* FieldOf(CallArgs& a) {
    EditTextObject* t = TextOf(a);
    return t ? &t->Field() : nullptr;
}

enum Prop {
    kText, kHtmlText, kHtml, kTextColor, kBackground, kBackgroundColor, kBorder, kBorderColor, kAutoSize,
    kWordWrap, kMultiline, kEmbedFonts, kMaxChars, kRestrict, kPassword, kSelectable, kType, kVariable,
    kScroll, kMaxScroll, kHScroll, kMaxHScroll, kTextWidth, kTextHeight, kLength, kBottomScroll, kMouseWheel,
    kCondenseWhite, kStyleSheet, kSharpness, kThickness, kAntiAliasType, kGridFitType,
    kTabIndex, kFilters  // kept elsewhere
};

struct PropDef {
    const char* name;
    int prop;
    bool version8;  // earlier versions list it but neither read nor write it
};

// Enumerable, in the order they were made: a for-in meets them newest first.
const PropDef kProps[] = {
    {"gridFitType", kGridFitType, true}, {"antiAliasType", kAntiAliasType, true},
    {"thickness", kThickness, true},     {"sharpness", kSharpness, true},
    {"filters", kFilters, true},         {"scroll", kScroll, false},
    {"maxscroll", kMaxScroll, false},    {"borderColor", kBorderColor, false},
    {"backgroundColor", kBackgroundColor, false}, {"textColor", kTextColor, false},
    {"tabIndex", kTabIndex, false},      {"autoSize", kAutoSize, false},
    {"text", kText, false},              {"type", kType, false},
    {"htmlText", kHtmlText, false},      {"variable", kVariable, false},
    {"hscroll", kHScroll, false},        {"maxhscroll", kMaxHScroll, false},
    {"maxChars", kMaxChars, false},      {"embedFonts", kEmbedFonts, false},
    {"html", kHtml, false},              {"border", kBorder, false},
    {"background", kBackground, false},  {"wordWrap", kWordWrap, false},
    {"password", kPassword, false},      {"multiline", kMultiline, false},
    {"selectable", kSelectable, false},  {"length", kLength, false},
    {"bottomScroll", kBottomScroll, false}, {"textWidth", kTextWidth, false},
    {"textHeight", kTextHeight, false},  {"restrict", kRestrict, false},
    {"condenseWhite", kCondenseWhite, false}, {"mouseWheelEnabled", kMouseWheel, false},
    {"styleSheet", kStyleSheet, false}};

const char* const kGridFitNames[] = {"none", "pixel", "subpixel"};

Value Rgb(Rgba c) { return Value::Num((c.r << 16) | (c.g << 8) | c.b); }

Rgba ToRgb(avm1::Vm& vm, const Value& v) {
    const double n = vm.ToNumber(v);
    const uint32_t c = std::isfinite(n) ? uint32_t(int64_t(n)) : 0;
    return {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
}

int ToInt(avm1::Vm& vm, const Value& v) {
    const double n = vm.ToNumber(v);
    return std::isfinite(n) ? int(std::fmax(-1e9, std::fmin(1e9, n))) : 0;
}

constexpr double kMaxThickness = 200;  // sharpness keeps what it is given

// A number kept within +-`limit`; NaN leaves `old`.
double Limited(avm1::Vm& vm, const Value& v, double limit, double old) {
    const double n = vm.ToNumber(v);
    return std::isnan(n) ? old : std::fmax(-limit, std::fmin(limit, n));
}

Value GetProp(CallArgs& a) {
    EditTextField* f = FieldOf(a);
    if (!f) return Value();
    const int prop = Magic(a);
    if (prop == kText || prop == kHtmlText) SyncTextVariable(a.vm, *TextOf(a));
    const FieldSettings& s = f->Settings();
    switch (Magic(a)) {
    case kText: return Value::String(f->Text());
    case kHtmlText: return Value::String(s.html || f->SetAsHtml() ? f->HtmlText() : f->Text());
    case kHtml: return Value::Bool(s.html);
    case kTextColor: return Rgb(f->DefaultFormat().color);
    case kBackground: return Value::Bool(s.background);
    case kBackgroundColor: return Rgb(s.backgroundColor);
    case kBorder: return Value::Bool(s.border);
    case kBorderColor: return Rgb(s.borderColor);
    case kAutoSize: return Value::String(std::string(AutoSizeName(s.autoSize)));
    case kWordWrap: return Value::Bool(s.wordWrap);
    case kMultiline: return Value::Bool(s.multiline);
    case kEmbedFonts: return Value::Bool(s.embedFonts);
    case kMaxChars: return s.maxChars ? Value::Num(double(s.maxChars)) : Value::Null();
    case kRestrict: return s.hasRestrict ? Value::String(s.restrict) : Value::Null();
    case kPassword: return Value::Bool(s.password);
    case kSelectable: return Value::Bool(s.selectable);
    case kType: return Value::String(std::string(s.input ? "input" : "dynamic"));
    case kVariable: return s.variable.empty() ? Value::Null() : Value::String(s.variable);
    case kScroll: return Value::Num(f->Scroll() + 1);
    case kMaxScroll: return Value::Num(f->MaxScroll() + 1);
    case kHScroll: return Value::Num(f->HScroll());
    case kMaxHScroll: return Value::Num(f->MaxHScroll());
    case kTextWidth: return Value::Num(f->Layout().textWidth / 20);
    case kTextHeight: return Value::Num(f->Layout().textHeight / 20);
    case kLength: return Value::Num(double(f->Content().Size()));
    case kBottomScroll: return Value::Num(f->BottomScroll() + 1);
    case kMouseWheel: return Value::Bool(s.mouseWheel);
    case kCondenseWhite: return Value::Bool(s.condenseWhite);
    case kSharpness: return Value::Num(s.sharpness);
    case kThickness: return Value::Num(s.thickness);
    case kAntiAliasType: return Value::String(std::string(s.advancedAntiAlias ? "advanced" : "normal"));
    case kGridFitType: return Value::String(std::string(kGridFitNames[s.gridFit % 3]));
    }
    return Value();
}

Value SetProp(CallArgs& a) {
    EditTextField* f = FieldOf(a);
    if (!f) return Value();
    avm1::Vm& vm = a.vm;
    const Value& v = a.Arg(0);
    FieldSettings s = f->Settings();
    switch (Magic(a)) {
    case kText:
        f->SetText(vm.ToString(v));
        SyncTextVariable(vm, *TextOf(a));
        return Value();
    case kHtmlText:
        f->SetScriptText(vm.ToString(v), s.html);
        SyncTextVariable(vm, *TextOf(a));
        return Value();
    case kTextColor: {
        const Rgba c = ToRgb(vm, v);
        TextFormat d = f->DefaultFormat();
        d.color = c;
        f->SetDefaultFormat(d);
        f->Edit([&](FormattedText& t) {
            t.ChangeFormats(0, t.Size(), [&](TextFormat& x) { x.color = c; });
            return true;
        });
        return Value();
    }
    case kScroll: {
        // The line is a wrapping 32-bit integer, one less than what is set:
        // -2^31 wraps to the last line.
        const uint32_t line = uint32_t(avm1::ToInt32(vm.ToNumber(v))) - 1;
        f->SetScroll(int32_t(line));
        return Value();
    }
    case kHScroll: f->SetHScroll(ToInt(vm, v)); return Value();
    case kHtml: s.html = vm.ToBool(v); break;
    case kBackground: s.background = vm.ToBool(v); break;
    case kBackgroundColor: s.backgroundColor = ToRgb(vm, v); break;
    case kBorder: s.border = vm.ToBool(v); break;
    case kBorderColor: s.borderColor = ToRgb(vm, v); break;
    case kAutoSize: {
        // true is "left"; other values by their name in any case.
        std::string n = v.kind == Value::Kind::Bool ? (v.b ? "left" : "none") : vm.ToString(v);
        for (char& ch : n) ch = char(std::tolower(static_cast<unsigned char>(ch)));
        s.autoSize = n == "left" ? AutoSize::Left : n == "center" ? AutoSize::Center
                   : n == "right" ? AutoSize::Right : AutoSize::None;
        break;
    }
    case kWordWrap: s.wordWrap = vm.ToBool(v); break;
    case kMultiline: s.multiline = vm.ToBool(v); break;
    case kEmbedFonts: s.embedFonts = vm.ToBool(v); break;
    case kMaxChars: s.maxChars = v.IsNullish() ? 0 : size_t(std::max(0, ToInt(vm, v))); break;
    case kRestrict:
        s.hasRestrict = !v.IsNullish();
        s.restrict = s.hasRestrict ? vm.ToString(v) : "";
        break;
    case kPassword: s.password = vm.ToBool(v); break;
    case kSelectable: s.selectable = vm.ToBool(v); break;
    case kMouseWheel: s.mouseWheel = vm.ToBool(v); break;
    case kCondenseWhite: s.condenseWhite = vm.ToBool(v); break;
    case kSharpness: s.sharpness = Limited(vm, v, HUGE_VAL, s.sharpness); break;
    case kThickness: s.thickness = Limited(vm, v, kMaxThickness, s.thickness); break;
    case kAntiAliasType: {
        const std::string t = vm.ToString(v);
        if (t == "normal" || t == "advanced") s.advancedAntiAlias = t == "advanced";
        break;
    }
    case kGridFitType: {
        const std::string t = vm.ToString(v);
        for (uint8_t i = 0; i < 3; ++i)
            if (t == kGridFitNames[i]) s.gridFit = i;
        break;
    }
    case kType: {
        const std::string t = vm.ToString(v);
        if (t == "input" || t == "dynamic") s.input = t == "input";
        break;
    }
    case kVariable: s.variable = v.IsNullish() ? "" : vm.ToString(v); break;
    default: return Value();  // read-only
    }
    f->SetSettings(s);
    return Value();
}

// [begin], [end] then the format: setTextFormat(fmt), (i, fmt), (b, e, fmt).
void RangeArgs(CallArgs& a, size_t n, size_t count, size_t& begin, size_t& end) {
    begin = 0;
    end = n;
    auto index = [&](size_t i) { return size_t(std::clamp(ToInt(a.vm, a.Arg(i)), 0, int(n))); };
    if (count >= 1) begin = index(0), end = std::min(begin + 1, n);
    if (count >= 2) end = std::max(begin, index(1));
}

Value SetTextFormat(CallArgs& a) {
    EditTextField* f = FieldOf(a);
    if (!f || a.args.empty()) return Value();
    const size_t count = std::min<size_t>(a.args.size() - 1, 2);
    size_t begin, end;
    RangeArgs(a, f->Content().Size(), count, begin, end);
    const FormatPatch p = PatchFromValue(a.vm, a.args[count]);
    f->Edit([&](FormattedText& t) {
        t.ChangeFormats(begin, end, [&](TextFormat& x) { p.ApplyTo(x); });
        return true;
    });
    return Value();
}

Value GetTextFormat(CallArgs& a) {
    EditTextField* f = FieldOf(a);
    if (!f) return Value();
    size_t begin, end;
    RangeArgs(a, f->Content().Size(), std::min<size_t>(a.args.size(), 2), begin, end);
    return ValueFromPatch(a.vm, FormatPatch::Common(f->Content(), begin, end, f->DefaultFormat()));
}

Value NewTextFormat(CallArgs& a) {  // magic 1: set
    EditTextField* f = FieldOf(a);
    if (!f) return Value();
    if (Magic(a) == 0) return ValueFromPatch(a.vm, FormatPatch::Of(f->DefaultFormat()));
    TextFormat d = f->DefaultFormat();
    PatchFromValue(a.vm, a.Arg(0)).ApplyTo(d);
    f->SetDefaultFormat(d);
    return Value();
}

// Only a field a script made (at a script depth) can be removed.
Value RemoveField(CallArgs& a) {
    if (EditTextObject* t = TextOf(a)) HostOf(a.vm).Remove(*t);
    return Value();
}

Value ReplaceSel(CallArgs& a) {
    EditTextField* f = FieldOf(a);
    if (!f) return Value();
    FieldEditor(*f).ReplaceSelection(f->ScriptChars(a.vm.ToString(a.Arg(0))), f->DefaultFormat());
    return Value();
}

Value ReplaceText(CallArgs& a) {
    EditTextField* f = FieldOf(a);
    if (!f || a.args.size() < 3) return Value();
    size_t begin, end;
    RangeArgs(a, f->Content().Size(), 2, begin, end);
    const TextFormat format = f->Content().Empty() ? f->DefaultFormat()
                                                   : f->Content().FormatAt(std::min(begin, f->Content().Size() - 1));
    const std::u32string text = f->ScriptChars(a.vm.ToString(a.args[2]));
    f->Edit([&](FormattedText& t) {
        t.Replace(begin, end, text, format);
        return true;
    });
    return Value();
}

// A change that may move the field's scroll tells onScroller after it.
template <Value (*Change)(CallArgs&)>
Value Watched(CallArgs& a) {
    ScrollWatch watch(a.vm, TextOf(a));
    const Value v = Change(a);
    watch.Tell();
    return v;
}

}  // namespace

void InstallTextFieldMembers(avm1::Vm& vm) {
    avm1::Object* proto = vm.textFieldProto;
    for (const PropDef& d : kProps) {
        if (d.prop == kTabIndex) vm.DefineAccessor(proto, d.name, GetTabIndex, SetTabIndex, kTabIndexUnsigned);
        else if (d.prop == kFilters) vm.DefineAccessor(proto, d.name, GetObjectFilters, SetObjectFilters);
        else if (d.prop == kStyleSheet) vm.DefineAccessor(proto, d.name, nullptr, nullptr);
        else vm.DefineAccessor(proto, d.name, GetProp, Watched<SetProp>, d.prop);
        avm1::Property* p = proto->Find(d.name, false);
        p->flags = uint16_t((p->flags & ~avm1::kDontEnum) | (d.version8 ? avm1::kOnlySwf8Up : 0));
    }
    vm.DefineNative(proto, "removeTextField", RemoveField);
    vm.DefineNative(proto, "setTextFormat", Watched<SetTextFormat>);
    vm.DefineNative(proto, "getTextFormat", GetTextFormat);
    vm.DefineNative(proto, "getNewTextFormat", NewTextFormat, 0);
    vm.DefineNative(proto, "setNewTextFormat", NewTextFormat, 1);
    vm.DefineNative(proto, "replaceSel", Watched<ReplaceSel>);
    vm.DefineNative(proto, "replaceText", Watched<ReplaceText>);
    InstallTextEvents(vm);
}

}  // namespace swf::bind
