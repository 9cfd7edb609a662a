// TextField's methods: edits, formats over ranges, and what scripts ask
// of its lines and characters.
#include <algorithm>
#include <cmath>

#include "swf/play/Scripts3Text.h"
#include "swf/text/FieldEditor.h"

namespace swf {

using avm2::Args;
using avm2::Machine;
using avm2::TextFormatObject;
using avm2::Value;

namespace {

constexpr int32_t kPx = TextFormat::kTwipsPerPixelForText;

int32_t ToTwips(Machine& m, const Value& v) { return ScriptPixelsToTwips(m.ToNumber(v)); }

}  // namespace

FormatPatch PatchOf(Machine& m, const TextFormatObject& t) {
    FormatPatch p;
    auto has = [&](int i) { return !t.props[i].IsNullish(); };
    const Value* v = t.props;
    // An empty font name leaves the font as it was.
    if (has(avm2::kTfFont) && !m.ToStdString(v[avm2::kTfFont]).empty()) p.font = m.ToStdString(v[avm2::kTfFont]);
    if (has(avm2::kTfSize)) p.size = ToTwips(m, v[avm2::kTfSize]);
    if (has(avm2::kTfColor)) {
        const uint32_t c = m.ToUint32(v[avm2::kTfColor]);
        p.color = Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
    }
    if (has(avm2::kTfBold)) p.bold = m.ToBoolean(v[avm2::kTfBold]);
    if (has(avm2::kTfItalic)) p.italic = m.ToBoolean(v[avm2::kTfItalic]);
    if (has(avm2::kTfUnderline)) p.underline = m.ToBoolean(v[avm2::kTfUnderline]);
    if (has(avm2::kTfBullet)) p.bullet = m.ToBoolean(v[avm2::kTfBullet]);
    if (has(avm2::kTfKerning)) p.kerning = m.ToBoolean(v[avm2::kTfKerning]);
    if (has(avm2::kTfUrl)) p.url = m.ToStdString(v[avm2::kTfUrl]);
    if (has(avm2::kTfTarget)) p.target = m.ToStdString(v[avm2::kTfTarget]);
    if (has(avm2::kTfAlign)) {
        const std::string a = m.ToStdString(v[avm2::kTfAlign]);
        p.align = a == "right" || a == "end" ? TextAlign::Right
                : a == "center"               ? TextAlign::Center
                : a == "justify"              ? TextAlign::Justify
                                              : TextAlign::Left;
    }
    if (has(avm2::kTfLeftMargin)) p.leftMargin = ToTwips(m, v[avm2::kTfLeftMargin]);
    if (has(avm2::kTfRightMargin)) p.rightMargin = ToTwips(m, v[avm2::kTfRightMargin]);
    if (has(avm2::kTfIndent)) p.indent = ToTwips(m, v[avm2::kTfIndent]);
    if (has(avm2::kTfBlockIndent)) p.blockIndent = ToTwips(m, v[avm2::kTfBlockIndent]);
    if (has(avm2::kTfLeading)) p.leading = ToTwips(m, v[avm2::kTfLeading]);
    if (has(avm2::kTfLetterSpacing)) p.letterSpacing = ToTwips(m, v[avm2::kTfLetterSpacing]);
    if (has(avm2::kTfTabStops) && v[avm2::kTfTabStops].IsObject() && v[avm2::kTfTabStops].o->kind == avm2::ObjKind::Array) {
        std::vector<int32_t> stops;
        for (const Value& s : static_cast<avm2::ArrayObject*>(v[avm2::kTfTabStops].o)->items) stops.push_back(ToTwips(m, s));
        p.tabStops = stops;
    }
    return p;
}

Value FormatValue(Machine& m, const FormatPatch& p) {
    TextFormatObject* t = avm2::NewTextFormat(m);
    Value out = Value::Obj(t);
    avm2::TempRoot keep(m, out);
    Value* v = t->props;
    auto px = [](int32_t twips) { return Value::Number(twips / double(kPx)); };
    if (p.font) v[avm2::kTfFont] = Value::Str(m.Str(*p.font));
    if (p.size) v[avm2::kTfSize] = px(*p.size);
    if (p.color) v[avm2::kTfColor] = Value::Uint((uint32_t(p.color->r) << 16) | (p.color->g << 8) | p.color->b);
    if (p.bold) v[avm2::kTfBold] = Value::Bool(*p.bold);
    if (p.italic) v[avm2::kTfItalic] = Value::Bool(*p.italic);
    if (p.underline) v[avm2::kTfUnderline] = Value::Bool(*p.underline);
    if (p.bullet) v[avm2::kTfBullet] = Value::Bool(*p.bullet);
    if (p.kerning) v[avm2::kTfKerning] = Value::Bool(*p.kerning);
    if (p.url) v[avm2::kTfUrl] = Value::Str(m.Str(*p.url));
    if (p.target) v[avm2::kTfTarget] = Value::Str(m.Str(*p.target));
    if (p.align) v[avm2::kTfAlign] = Value::Str(m.Intern(AlignName(*p.align)));
    if (p.leftMargin) v[avm2::kTfLeftMargin] = px(*p.leftMargin);
    if (p.rightMargin) v[avm2::kTfRightMargin] = px(*p.rightMargin);
    if (p.indent) v[avm2::kTfIndent] = px(*p.indent);
    if (p.blockIndent) v[avm2::kTfBlockIndent] = px(*p.blockIndent);
    if (p.leading) v[avm2::kTfLeading] = px(*p.leading);
    if (p.letterSpacing) v[avm2::kTfLetterSpacing] = px(*p.letterSpacing);
    if (p.tabStops) {
        avm2::ArrayObject* a = m.NewArray();
        for (int32_t s : *p.tabStops) a->items.push_back(px(s));
        v[avm2::kTfTabStops] = Value::Obj(a);
    }
    return out;
}

namespace {

[[noreturn]] void OutOfBounds(Machine& m) { m.RangeError(2006, "The supplied index is out of bounds."); }

EditTextField* Field(Machine& m, const Value& self) {
    EditTextObject* o = FieldOf(m, self);
    return o ? &o->Field() : nullptr;
}

std::u32string Chars(EditTextField& f, Machine& m, const Value& v) { return f.ScriptChars(m.ToStdString(v)); }

// A range given as (begin = -1, end = -1): -1 is the text's start and end,
// a begin alone one character.
bool Range(Machine& m, EditTextField& f, Args args, int argc, int first, size_t& begin, size_t& end) {
    const int32_t n = int32_t(f.Content().Size());
    int32_t b = argc > first ? m.ToInt32(args[first]) : -1;
    int32_t e = argc > first + 1 ? m.ToInt32(args[first + 1]) : -1;
    if (b == -1 && e == -1) b = 0, e = n;
    else if (e == -1) e = b + 1;
    if (b < 0 || e < b || e > n) OutOfBounds(m);
    begin = size_t(b);
    end = size_t(e);
    return true;
}

Value AppendText(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Undefined();
    const std::u32string add = Chars(*f, m, avm2::Arg(args, argc, 0));
    const TextFormat fmt = f->Content().Empty() ? f->DefaultFormat() : f->Content().FormatAt(f->Content().Size() - 1);
    f->Edit([&](FormattedText& t) {
        t.Replace(t.Size(), t.Size(), add, fmt);
        return true;
    });
    return Value::Undefined();
}

Value ReplaceText(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Undefined();
    const int32_t n = int32_t(f->Content().Size());
    const int32_t b = m.ToInt32(avm2::Arg(args, argc, 0)), e = m.ToInt32(avm2::Arg(args, argc, 1));
    if (b < 0 || e < b || b > n) OutOfBounds(m);
    const std::u32string text = Chars(*f, m, avm2::Arg(args, argc, 2));
    const TextFormat fmt = f->Content().Empty() ? f->DefaultFormat() : f->Content().FormatAt(std::min<size_t>(b, n - 1));
    f->Edit([&](FormattedText& t) {
        t.Replace(size_t(b), std::min<size_t>(e, n), text, fmt);
        return true;
    });
    return Value::Undefined();
}

Value ReplaceSelectedText(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (f) FieldEditor(*f).ReplaceSelection(Chars(*f, m, avm2::Arg(args, argc, 0)), f->DefaultFormat());
    return Value::Undefined();
}

Value SetSelection(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Undefined();
    const int32_t n = int32_t(f->Content().Size());
    auto at = [&](int i) { return size_t(std::clamp(m.ToInt32(avm2::Arg(args, argc, i)), 0, n)); };
    f->SetSelection(at(0), at(1));
    return Value::Undefined();
}

Value GetTextFormat(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Null();
    size_t begin, end;
    Range(m, *f, args, argc, 0, begin, end);
    // Nothing to read from: every property unset. An empty range of a
    // text that has characters is out of bounds.
    if (begin == end && (f->Content().Empty() || argc == 0)) return Value::Obj(avm2::NewTextFormat(m));
    if (begin == end) OutOfBounds(m);
    return FormatValue(m, FormatPatch::Common(f->Content(), begin, end, f->DefaultFormat()));
}

Value SetTextFormat(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Undefined();
    TextFormatObject* t = avm2::AsTextFormat(m, avm2::Arg(args, argc, 0));
    if (!t) m.TypeError(2007, "Parameter format must be non-null.");
    size_t begin, end;
    Range(m, *f, args, argc, 1, begin, end);
    const FormatPatch p = PatchOf(m, *t);
    f->Edit([&](FormattedText& x) {
        x.ChangeFormats(begin, end, [&](TextFormat& one) { p.ApplyTo(one); });
        return true;
    });
    return Value::Undefined();
}

// Runs of characters sharing one format, as TextRun objects.
Value GetTextRuns(Machine& m, Value self, Args, int) {
    avm2::ArrayObject* out = m.NewArray();
    Value result = Value::Obj(out);
    avm2::TempRoot keep(m, result);
    EditTextField* f = Field(m, self);
    avm2::ClassObject* run = m.FindClass("flash.text.TextRun");
    if (!f || !run) return result;
    const FormattedText& t = f->Content();
    for (size_t begin = 0, end = 0; begin < t.Size(); begin = end) {
        end = begin + 1;
        while (end < t.Size() && t.FormatAt(end) == t.FormatAt(begin)) ++end;
        Value format = FormatValue(m, FormatPatch::Of(t.FormatAt(begin)));
        avm2::TempRoot keepFormat(m, format);
        Value args[3] = {Value::Int(int(begin)), Value::Int(int(end)), format};
        out->items.push_back(m.Construct(Value::Obj(run), args, 3));
    }
    return result;
}

Value GetRawText(Machine& m, Value self, Args, int) {
    EditTextField* f = Field(m, self);
    return f ? Value::Str(m.Str(f->Text())) : Value::Str(m.Intern(""));
}

// Lines -----------------------------------------------------------------------

const LaidOutLine& LineArg(Machine& m, EditTextField& f, Args args, int argc) {
    const TextLayout& l = f.Layout();
    const int32_t i = m.ToInt32(avm2::Arg(args, argc, 0));
    if (i < 0 || size_t(i) >= l.lines.size()) OutOfBounds(m);
    return l.lines[size_t(i)];
}

Value GetLineText(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Null();
    const LaidOutLine& line = LineArg(m, *f, args, argc);
    const std::u32string& c = f->Content().Chars();
    std::u32string s = c.substr(std::min(line.firstChar, c.size()), line.endChar - line.firstChar);
    for (char32_t& ch : s)
        if (ch == U'\n') ch = U'\r';
    return Value::Str(m.Str(EncodeUtf8(s)));
}

Value GetLineLength(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Int(0);
    const LaidOutLine& line = LineArg(m, *f, args, argc);
    return Value::Int(int(line.endChar - line.firstChar));
}

Value GetLineOffset(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Int(0);
    return Value::Int(int(LineArg(m, *f, args, argc).firstChar));
}

// A line break belongs to the line it ends.
int LineOfChar(const TextLayout& l, size_t index) {
    int line = -1;
    for (size_t i = 0; i < l.lines.size() && l.lines[i].firstChar <= index; ++i) line = int(i);
    return line;
}

Value GetLineIndexOfChar(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Int(-1);
    const int32_t i = m.ToInt32(avm2::Arg(args, argc, 0));
    if (i < 0 || size_t(i) >= f->Content().Size()) return Value::Int(-1);
    return Value::Int(LineOfChar(f->Layout(), size_t(i)));
}

Value GetFirstCharInParagraph(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Int(-1);
    const std::u32string& c = f->Content().Chars();
    const int32_t i = m.ToInt32(avm2::Arg(args, argc, 0));
    if (i < 0 || size_t(i) > c.size()) return Value::Int(-1);
    size_t at = size_t(i);
    while (at > 0 && c[at - 1] != U'\n') --at;
    return Value::Int(int(at));
}

Value GetParagraphLength(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Int(-1);
    const std::u32string& c = f->Content().Chars();
    const int32_t i = m.ToInt32(avm2::Arg(args, argc, 0));
    if (i < 0 || size_t(i) > c.size()) return Value::Int(-1);
    size_t first = size_t(i), last = size_t(i);
    while (first > 0 && c[first - 1] != U'\n') --first;
    while (last < c.size() && c[last] != U'\n') ++last;
    // The paragraph's break counts, and asked from the text's end, so does
    // the end.
    if (last < c.size() || size_t(i) == c.size()) ++last;
    return Value::Int(int(last - first));
}

Value NewObject(Machine& m, const char* cls, std::initializer_list<double> args) {
    avm2::ClassObject* c = m.FindClass(cls);
    if (!c) return Value::Null();
    std::vector<Value> v;
    for (double d : args) v.push_back(Value::Number(d));
    return m.Construct(Value::Obj(c), v.data(), int(v.size()));
}

// The line's height: its glyphs' and its leading, the last line's too.
int32_t LineHeight(const TextLayout& l, size_t i) {
    const LaidOutLine& line = l.lines[i];
    return line.bottom - line.top + line.leading;
}

Value GetLineMetrics(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Null();
    const LaidOutLine& line = LineArg(m, *f, args, argc);
    const TextLayout& l = f->Layout();
    const size_t i = size_t(&line - l.lines.data());
    const int32_t ascent = line.baseline - line.top, descent = line.bottom - line.baseline;
    return NewObject(m, "flash.text.TextLineMetrics", {line.left / 20.0, line.width / 20.0, LineHeight(l, i) / 20.0,
                                                       ascent / 20.0, descent / 20.0, line.leading / 20.0});
}

// Where character `i` of `line` ends: the next one starts there, unless
// the line ends first.
int32_t CharRight(const TextLayout& l, const LaidOutLine& line, size_t i) {
    return i + 1 < line.endChar ? l.charX[i + 1] : line.penEnd;
}

Value GetCharBoundaries(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Null();
    const TextLayout& l = f->Layout();
    const int32_t i = m.ToInt32(avm2::Arg(args, argc, 0));
    if (i < 0 || size_t(i) >= f->Content().Size() || size_t(i) + 1 >= l.charX.size()) return Value::Null();
    const int line = LineOfChar(l, size_t(i));
    if (line < 0 || f->Content().Chars()[size_t(i)] == U'\n') return Value::Null();
    // Lines scrolled off the top have no boundaries; the others are placed
    // as scrolled vertically, but not sideways.
    const int scroll = f->Scroll();
    if (line < scroll) return Value::Null();
    const LaidOutLine& ln = l.lines[size_t(line)];
    const int32_t y = ln.top - (l.lines[size_t(scroll)].top - l.lines[0].top);
    const int32_t x0 = l.charX[size_t(i)], x1 = CharRight(l, ln, size_t(i));
    // As tall as the line's glyphs, its leading left out.
    return NewObject(m, "flash.geom.Rectangle", {x0 / 20.0, y / 20.0, (x1 - x0) / 20.0, (ln.bottom - ln.top) / 20.0});
}

Value GetLineIndexAtPoint(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Int(-1);
    const TextLayout& l = f->Layout();
    const double x = m.ToNumber(avm2::Arg(args, argc, 0)) * 20, y = m.ToNumber(avm2::Arg(args, argc, 1)) * 20;
    if (!(x >= l.bounds.xMin && x < l.bounds.xMax)) return Value::Int(-1);
    for (size_t i = size_t(f->Scroll()); i < l.lines.size(); ++i)
        if (y >= l.lines[i].top && y < l.lines[i].top + LineHeight(l, i)) return Value::Int(int(i));
    return Value::Int(-1);
}

Value GetCharIndexAtPoint(Machine& m, Value self, Args args, int argc) {
    EditTextField* f = Field(m, self);
    if (!f) return Value::Int(-1);
    const Value line = GetLineIndexAtPoint(m, self, args, argc);
    if (line.IsUndefined() || m.ToInt32(line) < 0) return Value::Int(-1);
    const TextLayout& l = f->Layout();
    const LaidOutLine& ln = l.lines[size_t(m.ToInt32(line))];
    const double x = m.ToNumber(avm2::Arg(args, argc, 0)) * 20;
    for (size_t c = ln.firstChar; c < ln.endChar && c + 1 < l.charX.size(); ++c)
        if (x >= l.charX[c] && x < CharRight(l, ln, c)) return Value::Int(int(c));
    return Value::Int(-1);
}

}  // namespace

void InstallTextFieldMethods(Machine& m) {
    avm2::ClassObject* c = m.FindClass("flash.text.TextField");
    if (!c) return;
    m.DefineMethod(c, "appendText", AppendText, 1);
    m.DefineMethod(c, "replaceText", ReplaceText, 3);
    m.DefineMethod(c, "replaceSelectedText", ReplaceSelectedText, 1);
    m.DefineMethod(c, "setSelection", SetSelection, 2);
    m.DefineMethod(c, "getTextFormat", GetTextFormat, 0);
    m.DefineMethod(c, "setTextFormat", SetTextFormat, 1);
    m.DefineMethod(c, "getRawText", GetRawText, 0);
    m.DefineMethod(c, "getTextRuns", GetTextRuns, 0);
    m.DefineMethod(c, "getLineText", GetLineText, 1);
    m.DefineMethod(c, "getLineLength", GetLineLength, 1);
    m.DefineMethod(c, "getLineOffset", GetLineOffset, 1);
    m.DefineMethod(c, "getLineIndexOfChar", GetLineIndexOfChar, 1);
    m.DefineMethod(c, "getFirstCharInParagraph", GetFirstCharInParagraph, 1);
    m.DefineMethod(c, "getParagraphLength", GetParagraphLength, 1);
    m.DefineMethod(c, "getLineMetrics", GetLineMetrics, 1);
    m.DefineMethod(c, "getCharBoundaries", GetCharBoundaries, 1);
    m.DefineMethod(c, "getLineIndexAtPoint", GetLineIndexAtPoint, 2);
    m.DefineMethod(c, "getCharIndexAtPoint", GetCharIndexAtPoint, 2);
}

}  // namespace swf
