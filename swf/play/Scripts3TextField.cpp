// TextField's properties: the text as plain text and HTML, the field's
// settings, its scroll and measures, and the selection.
#include <algorithm>
#include <cmath>

#include "swf/play/Scripts3Host.h"
#include "swf/play/Scripts3Text.h"
#include "swf/text/FieldEditor.h"
#include "swf/text/Html.h"

namespace swf {

using avm2::Args;
using avm2::Machine;
using avm2::Value;

EditTextObject* FieldOf(Machine& m, const Value& self) {
    avm2::DispatcherObject* d = avm2::AsDisplay(m, self);
    if (!d || !d->serial || !m.display) return nullptr;
    DisplayObject* o = static_cast<Scripts3::Host*>(m.display)->Object(d->serial);
    return o ? o->AsEditText() : nullptr;
}

TextFieldObject* TextFieldOf(Machine& m, const Value& self) {
    avm2::ClassObject* c = m.FindClass("flash.text.TextField");
    if (c && self.IsObject() && self.o->cls && self.o->cls->IsSubclassOf(c)) return static_cast<TextFieldObject*>(self.o);
    return nullptr;
}

void TextFieldObject::Trace(avm2::Tracer& t) {
    DispatcherObject::Trace(t);
    t.Mark(styleSheet);
}

namespace {

enum Prop {
    kText, kHtmlText, kLength, kType, kBorder, kBorderColor, kBackground, kBackgroundColor, kTextColor,
    kAutoSize, kWordWrap, kMultiline, kSelectable, kPassword, kEmbedFonts, kMaxChars, kRestrict,
    kMouseWheel, kScrollV, kMaxScrollV, kBottomScrollV, kScrollH, kMaxScrollH, kTextWidth, kTextHeight,
    kNumLines, kCaretIndex, kSelBegin, kSelEnd, kSelectedText, kDefaultFormat, kCondenseWhite,
    kAlwaysShowSelection, kRichClipboard, kAntiAlias, kGridFit, kSharpness, kThickness, kStyleSheet,
};

struct PropName {
    const char* name;
    Prop prop;
    bool readOnly;
};

constexpr PropName kProps[] = {
    {"text", kText, false}, {"htmlText", kHtmlText, false}, {"length", kLength, true},
    {"type", kType, false}, {"border", kBorder, false}, {"borderColor", kBorderColor, false},
    {"background", kBackground, false}, {"backgroundColor", kBackgroundColor, false},
    {"textColor", kTextColor, false}, {"autoSize", kAutoSize, false}, {"wordWrap", kWordWrap, false},
    {"multiline", kMultiline, false}, {"selectable", kSelectable, false},
    {"displayAsPassword", kPassword, false}, {"embedFonts", kEmbedFonts, false},
    {"maxChars", kMaxChars, false}, {"restrict", kRestrict, false},
    {"mouseWheelEnabled", kMouseWheel, false}, {"scrollV", kScrollV, false},
    {"maxScrollV", kMaxScrollV, true}, {"bottomScrollV", kBottomScrollV, true},
    {"scrollH", kScrollH, false}, {"maxScrollH", kMaxScrollH, true}, {"textWidth", kTextWidth, true},
    {"textHeight", kTextHeight, true}, {"numLines", kNumLines, true}, {"caretIndex", kCaretIndex, true},
    {"selectionBeginIndex", kSelBegin, true}, {"selectionEndIndex", kSelEnd, true},
    {"selectedText", kSelectedText, true}, {"defaultTextFormat", kDefaultFormat, false},
    {"condenseWhite", kCondenseWhite, false}, {"alwaysShowSelection", kAlwaysShowSelection, false},
    {"useRichTextClipboard", kRichClipboard, false}, {"antiAliasType", kAntiAlias, false},
    {"gridFitType", kGridFit, false}, {"sharpness", kSharpness, false}, {"thickness", kThickness, false},
    {"styleSheet", kStyleSheet, false},
};

Value Rgb(Rgba c) { return Value::Uint((uint32_t(c.r) << 16) | (c.g << 8) | c.b); }

Rgba ToRgb(Machine& m, const Value& v) {
    const uint32_t c = m.ToUint32(v);
    return {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
}

Value String(Machine& m, const std::string& s) { return Value::Str(m.Str(s)); }

[[noreturn]] void NotAccepted(Machine& m, const char* param) {
    m.ArgumentError(2008, std::string("Parameter ") + param + " must be one of the accepted values.");
}

Value Get(Machine& m, const Value& self, Prop prop) {
    EditTextObject* obj = FieldOf(m, self);
    TextFieldObject* extra = TextFieldOf(m, self);
    if (!obj || !extra) return Value::Undefined();
    EditTextField& f = obj->Field();
    const FieldSettings& s = f.Settings();
    switch (prop) {
    case kText: return String(m, f.Text());
    case kHtmlText: return String(m, extra->hasStyledSource ? extra->styledSource : f.HtmlText());
    case kLength: return Value::Int(int(f.Content().Size()));
    case kType: return Value::Str(m.Intern(s.input ? "input" : "dynamic"));
    case kBorder: return Value::Bool(s.border);
    case kBorderColor: return Rgb(s.borderColor);
    case kBackground: return Value::Bool(s.background);
    case kBackgroundColor: return Rgb(s.backgroundColor);
    case kTextColor: return Rgb(f.Content().Empty() ? f.DefaultFormat().color : f.Content().FormatAt(0).color);
    case kAutoSize: return Value::Str(m.Intern(AutoSizeName(s.autoSize)));
    case kWordWrap: return Value::Bool(s.wordWrap);
    case kMultiline: return Value::Bool(s.multiline);
    case kSelectable: return Value::Bool(s.selectable);
    case kPassword: return Value::Bool(s.password);
    case kEmbedFonts: return Value::Bool(s.embedFonts);
    case kMaxChars: return Value::Int(int(s.maxChars));
    case kRestrict: return s.hasRestrict ? String(m, s.restrict) : Value::Null();
    case kMouseWheel: return Value::Bool(s.mouseWheel);
    case kScrollV: return Value::Int(f.Scroll() + 1);
    case kMaxScrollV: return Value::Int(f.MaxScroll() + 1);
    case kBottomScrollV: return Value::Int(f.BottomScroll() + 1);
    case kScrollH: return Value::Int(f.HScroll());
    case kMaxScrollH: return Value::Int(f.MaxHScroll());
    case kTextWidth: return Value::Number(f.Layout().textWidth / 20.0);
    case kTextHeight: return Value::Number(f.Layout().textHeight / 20.0);
    case kNumLines: return Value::Int(std::max<int>(1, int(f.Layout().lines.size())));
    case kCaretIndex: return Value::Int(int(f.Caret()));
    case kSelBegin: return Value::Int(int(std::min(f.Caret(), f.Anchor())));
    case kSelEnd: return Value::Int(int(std::max(f.Caret(), f.Anchor())));
    case kSelectedText: {
        const std::u32string& c = f.Content().Chars();
        size_t b = std::min({f.Caret(), f.Anchor(), c.size()}), e = std::min(std::max(f.Caret(), f.Anchor()), c.size());
        std::u32string sel = c.substr(b, e - b);
        for (char32_t& ch : sel)
            if (ch == U'\n') ch = U'\r';
        return String(m, EncodeUtf8(sel));
    }
    case kDefaultFormat: return FormatValue(m, FormatPatch::Of(f.DefaultFormat()));
    case kCondenseWhite: return Value::Bool(f.Settings().condenseWhite);
    case kAlwaysShowSelection: return Value::Bool(extra->alwaysShowSelection);
    case kRichClipboard: return Value::Bool(extra->useRichTextClipboard);
    case kAntiAlias: return String(m, extra->antiAliasType);
    case kGridFit: return String(m, extra->gridFitType);
    case kSharpness: return Value::Number(extra->sharpness);
    case kThickness: return Value::Number(extra->thickness);
    case kStyleSheet: return extra->styleSheet;
    }
    return Value::Undefined();
}

std::string NonNullText(Machine& m, const Value& v) {
    if (v.IsNullish()) m.TypeError(2007, "Parameter text must be non-null.");
    return m.ToStdString(v);
}

// With a style sheet, each tag takes the style of its name and then of its
// class, as the sheet's transform makes them.
void SetHtml(Machine& m, EditTextField& f, const Value& sheet, const std::string& html) {
    if (!sheet.IsObject()) return f.SetHtmlText(html);
    auto apply = [&](const std::string& selector, TextFormat& format) {
        const Value style = avm2::StyleSheetFormat(m, sheet, selector);
        avm2::TempRoot keep(m, style);
        if (const avm2::TextFormatObject* t = avm2::AsTextFormat(m, style)) PatchOf(m, *t).ApplyTo(format);
    };
    FormattedText content;
    HtmlReadOptions o;
    o.multiline = f.Settings().multiline;
    o.condenseWhite = f.Settings().condenseWhite;
    o.styler = [&](const std::string& tag, const std::string& cls, TextFormat& format) {
        if (!tag.empty()) apply(tag, format);
        if (!cls.empty()) apply("." + cls, format);
    };
    ParseHtml(html, f.DefaultFormat(), content, o);
    f.Edit([&](FormattedText& t) {
        t = std::move(content);
        return true;
    });
}

void Set(Machine& m, const Value& self, Prop prop, const Value& v) {
    EditTextObject* obj = FieldOf(m, self);
    TextFieldObject* extra = TextFieldOf(m, self);
    if (!obj || !extra) return;
    EditTextField& f = obj->Field();
    FieldSettings s = f.Settings();
    switch (prop) {
    case kText:
    case kHtmlText: {
        // With a style sheet on, plain text is read as HTML too, and the
        // same source set again is not parsed again.
        const std::string text = NonNullText(m, v);
        if (!extra->styleSheet.IsObject()) {
            extra->hasStyledSource = false;
            return prop == kText ? f.SetText(text) : SetHtml(m, f, Value::Null(), text);
        }
        if (extra->hasStyledSource && extra->styledSource == text) return;
        extra->styledSource = text;
        extra->hasStyledSource = true;
        return SetHtml(m, f, extra->styleSheet, text);
    }
    case kTextColor: {
        const Rgba c = ToRgb(m, v);
        TextFormat d = f.DefaultFormat();
        d.color = c;
        f.SetDefaultFormat(d);
        f.Edit([&](FormattedText& t) {
            t.ChangeFormats(0, t.Size(), [&](TextFormat& x) { x.color = c; });
            return true;
        });
        return;
    }
    case kScrollV: f.SetScroll(m.ToInt32(v) - 1); return;
    case kScrollH: f.SetHScroll(m.ToInt32(v)); return;
    case kDefaultFormat: {
        avm2::TextFormatObject* t = avm2::AsTextFormat(m, v);
        if (!t) m.TypeError(2007, "Parameter format must be non-null.");
        TextFormat d = f.DefaultFormat();
        PatchOf(m, *t).ApplyTo(d);
        f.SetDefaultFormat(d);
        return;
    }
    case kType: {
        const std::string t = m.ToStdString(v);
        if (t != "input" && t != "dynamic") NotAccepted(m, "type");
        s.input = t == "input";
        break;
    }
    case kAutoSize: {
        const std::string n = m.ToStdString(v);
        if (n == "left") s.autoSize = AutoSize::Left;
        else if (n == "center") s.autoSize = AutoSize::Center;
        else if (n == "right") s.autoSize = AutoSize::Right;
        else if (n == "none") s.autoSize = AutoSize::None;
        else NotAccepted(m, "autoSize");
        break;
    }
    case kAntiAlias: {
        const std::string n = m.ToStdString(v);
        if (n == "normal" || n == "advanced") extra->antiAliasType = n;
        return;
    }
    case kGridFit: {
        const std::string n = m.ToStdString(v);
        if (n == "none" || n == "pixel" || n == "subpixel") extra->gridFitType = n;
        return;
    }
    case kSharpness: extra->sharpness = std::clamp(m.ToNumber(v), -400.0, 400.0); return;
    case kThickness: extra->thickness = std::clamp(m.ToNumber(v), -200.0, 200.0); return;
    case kCondenseWhite: s.condenseWhite = m.ToBoolean(v); break;
    case kAlwaysShowSelection: extra->alwaysShowSelection = m.ToBoolean(v); return;
    case kRichClipboard: extra->useRichTextClipboard = m.ToBoolean(v); return;
    case kStyleSheet:
        extra->styleSheet = v.IsObject() ? v : Value::Null();
        if (!v.IsObject()) extra->hasStyledSource = false;
        else if (extra->hasStyledSource) SetHtml(m, f, v, extra->styledSource);
        return;
    case kBorder: s.border = m.ToBoolean(v); break;
    case kBorderColor: s.borderColor = ToRgb(m, v); break;
    case kBackground: s.background = m.ToBoolean(v); break;
    case kBackgroundColor: s.backgroundColor = ToRgb(m, v); break;
    case kWordWrap: s.wordWrap = m.ToBoolean(v); break;
    case kMultiline: s.multiline = m.ToBoolean(v); break;
    case kSelectable: s.selectable = m.ToBoolean(v); break;
    case kPassword: s.password = m.ToBoolean(v); break;
    case kEmbedFonts: s.embedFonts = m.ToBoolean(v); break;
    case kMaxChars: s.maxChars = size_t(std::max(0, m.ToInt32(v))); break;
    case kRestrict:
        s.hasRestrict = !v.IsNullish();
        s.restrict = s.hasRestrict ? m.ToStdString(v) : "";
        break;
    case kMouseWheel: s.mouseWheel = m.ToBoolean(v); break;
    default: return;
    }
    f.SetSettings(s);
}

template <int P>
Value Getter(Machine& m, Value self, Args, int) {
    return Get(m, self, Prop(P));
}

template <int P>
Value Setter(Machine& m, Value self, Args args, int argc) {
    Set(m, self, Prop(P), avm2::Arg(args, argc, 0));
    return Value::Undefined();
}

template <size_t... I>
void DefineAll(Machine& m, avm2::ClassObject* c, std::index_sequence<I...>) {
    (m.DefineGetter(c, kProps[I].name, Getter<kProps[I].prop>, kProps[I].readOnly ? nullptr : Setter<kProps[I].prop>),
     ...);
}

avm2::Object* AllocTextField(Machine& m, avm2::ClassObject* cls) {
    auto* d = m.New<TextFieldObject>(cls, cls->prototype);
    avm2::AttachEngineObject(m, d);
    return d;
}

}  // namespace

void InstallTextFieldProperties(Machine& m) {
    avm2::ClassObject* c = m.FindClass("flash.text.TextField");
    if (!c) return;
    c->allocate = AllocTextField;
    DefineAll(m, c, std::make_index_sequence<std::size(kProps)>());
}

}  // namespace swf
