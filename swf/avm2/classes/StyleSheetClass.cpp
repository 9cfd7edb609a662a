// flash.text.StyleSheet: styles by lower-case selector, each a shallow copy
// of a plain object; parseCSS reads the player's loose CSS, and transform
// turns a style into a TextFormat.
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>

#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/TextClasses.h"

namespace swf::avm2 {

namespace {

class StyleSheetObject : public DispatcherObject {
public:
    StyleSheetObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    std::map<std::string, Value> styles;
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        for (auto& [name, v] : styles) t.Mark(v);
    }
};

Object* AllocStyleSheet(Machine& m, ClassObject* cls) { return m.New<StyleSheetObject>(cls, cls->prototype); }

StyleSheetObject* Self(Machine& m, const Value& v) {
    ClassObject* c = m.FindClass("flash.text.StyleSheet");
    if (!c || !v.IsObject() || !v.o->cls || !v.o->cls->IsSubclassOf(c))
        m.TypeError(1034, "Type Coercion failed: cannot convert to flash.text.StyleSheet.");
    return static_cast<StyleSheetObject*>(v.o);
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

// A plain object with `v`'s enumerable properties; anything else gives an
// empty one.
Value ShallowCopy(Machine& m, const Value& v) {
    Object* out = m.NewObject();
    TempRoot keep(m, Value::Obj(out));
    if (v.IsObject()) {
        Object* o = v.o;
        for (int p = o->NextIndex(m, 0); p; p = o->NextIndex(m, p))
            m.SetProperty(Value::Obj(out), m.PublicName(m.ToString(o->NameAt(m, p))), o->ValueAt(m, p));
    }
    return Value::Obj(out);
}

bool Space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

using Rule = std::pair<std::string, std::string>;
using Block = std::vector<Rule>;

// The player's CSS: selectors (one word each, comma separated, lower-cased),
// then `name: value` pairs up to `;`, `}` or a line end. Names run to the
// colon, may hold anything but inner spaces, and lose each dash while the
// letter after it is raised. A malformed sheet changes nothing.
class CssReader {
public:
    explicit CssReader(const std::string& s) : s_(s) {}

    std::optional<std::vector<std::pair<std::string, Block>>> Read() {
        std::vector<std::pair<std::string, Block>> out;
        while (true) {
            if (!SkipBlank()) return std::nullopt;
            if (pos_ >= s_.size()) return out;
            std::vector<std::string> selectors;
            while (true) {
                size_t from = pos_;
                while (pos_ < s_.size() && !Space(s_[pos_]) && s_[pos_] != ',' && s_[pos_] != '{') ++pos_;
                selectors.push_back(Lower(s_.substr(from, pos_ - from)));
                SkipSpace();
                if (pos_ >= s_.size()) return std::nullopt;
                char c = s_[pos_++];
                if (c == '{') break;
                if (c != ',') return std::nullopt;
                SkipSpace();
            }
            std::optional<Block> block = ReadBlock();
            if (!block) return std::nullopt;
            for (const std::string& sel : selectors) out.emplace_back(sel, *block);
        }
    }

private:
    const std::string& s_;
    size_t pos_ = 0;

    void SkipSpace() {
        while (pos_ < s_.size() && Space(s_[pos_])) ++pos_;
    }
    // Spaces and comments; false on an unclosed comment.
    bool SkipBlank() {
        while (true) {
            SkipSpace();
            if (s_.compare(pos_, 2, "/*") != 0) return true;
            size_t end = s_.find("*/", pos_ + 2);
            if (end == std::string::npos) return false;
            pos_ = end + 2;
        }
    }

    std::optional<Block> ReadBlock() {
        Block block;
        while (true) {
            SkipSpace();
            if (pos_ >= s_.size()) return block;  // an unclosed last block stands
            if (s_[pos_] == '}') {
                ++pos_;
                return block;
            }
            size_t colon = s_.find(':', pos_);
            if (colon == std::string::npos) return std::nullopt;
            std::string raw = s_.substr(pos_, colon - pos_);
            size_t lastWord = raw.find_last_not_of(" \t\r\n");
            if (lastWord != std::string::npos && raw.find_first_of(" \t\r\n") < lastWord) return std::nullopt;
            pos_ = colon + 1;
            SkipSpace();
            size_t from = pos_;
            while (pos_ < s_.size() && s_[pos_] != ';' && s_[pos_] != '}' && s_[pos_] != '\r' && s_[pos_] != '\n') ++pos_;
            if (pos_ >= s_.size()) return std::nullopt;
            std::string value = s_.substr(from, pos_ - from);
            if (s_[pos_] == ';') ++pos_;
            block.emplace_back(PropertyName(raw), value);
        }
    }

    static std::string PropertyName(const std::string& raw) {
        std::string out;
        bool raise = false;
        for (char c : raw) {
            if (c == '-' && !raise) {
                raise = true;
                continue;
            }
            out += raise && c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
            raise = false;
        }
        return out;
    }
};

void Store(Machine& m, StyleSheetObject* sheet, const std::string& name, const Value& style) {
    sheet->styles[Lower(name)] = ShallowCopy(m, style);
}

Value GetStyle(Machine& m, Value self, Args args, int argc) {
    StyleSheetObject* sheet = Self(m, self);
    auto it = sheet->styles.find(Lower(m.ToStdString(Arg(args, argc, 0))));
    return ShallowCopy(m, it == sheet->styles.end() ? Value::Undefined() : it->second);
}

Value SetStyle(Machine& m, Value self, Args args, int argc) {
    Store(m, Self(m, self), m.ToStdString(Arg(args, argc, 0)), Arg(args, argc, 1));
    return Value::Undefined();
}

Value Clear(Machine& m, Value self, Args, int) {
    Self(m, self)->styles.clear();
    return Value::Undefined();
}

Value StyleNames(Machine& m, Value self, Args, int) {
    StyleSheetObject* sheet = Self(m, self);
    ArrayObject* out = m.NewArray();
    for (auto& [name, v] : sheet->styles) out->items.push_back(Value::Str(m.Str(name)));
    return Value::Obj(out);
}

Value ParseCss(Machine& m, Value self, Args args, int argc) {
    StyleSheetObject* sheet = Self(m, self);
    std::string text = m.ToStdString(Arg(args, argc, 0));
    auto parsed = CssReader(text).Read();
    if (!parsed) return Value::Undefined();
    for (auto& [selector, block] : *parsed) {
        Object* style = m.NewObject();
        TempRoot keep(m, Value::Obj(style));
        for (auto& [name, value] : block) m.SetProperty(Value::Obj(style), m.PublicName(name), Value::Str(m.Str(value)));
        sheet->styles[selector] = Value::Obj(style);
    }
    return Value::Undefined();
}

// The number at the start after spaces, as parseInt (or parseFloat) reads
// it; NaN if none.
double LeadingNumber(const std::string& s, bool fraction) {
    size_t i = s.find_first_not_of(" \t\r\n");
    if (i == std::string::npos) return NAN;
    // Only a decimal number's characters, so "0x1" or "inf" read as parseFloat reads them.
    size_t end = i;
    if (end < s.size() && (s[end] == '+' || s[end] == '-')) ++end;
    auto digits = [&] {
        size_t from = end;
        while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
        return end > from;
    };
    bool any = digits();
    if (!fraction) return any ? std::strtod(s.substr(i, end - i).c_str(), nullptr) : NAN;
    if (end < s.size() && s[end] == '.') {
        ++end;
        any = digits() || any;
    }
    if (!any) return NAN;
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
        size_t mark = end++;
        if (end < s.size() && (s[end] == '+' || s[end] == '-')) ++end;
        if (!digits()) end = mark;
    }
    return std::strtod(s.substr(i, end - i).c_str(), nullptr);
}

// The player casts NaN and numbers out of range to the smallest int.
Value IntOf(double d) {
    return Value::Int(std::isnan(d) || d <= double(INT32_MIN) - 1 || d >= double(INT32_MAX) + 1 ? INT32_MIN : int32_t(d));
}

Value ColorOf(const std::string& s) {
    std::string t = s.substr(0, s.find_last_not_of(" \t\r\n") + 1);
    if (t.empty() || t[0] != '#' || t.size() > 7) return Value::Uint(0);
    uint32_t c = 0;
    for (size_t i = 1; i < t.size(); ++i) {
        char ch = t[i];
        int d = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10 : -1;
        if (d < 0) return Value::Uint(0);
        c = c * 16 + uint32_t(d);
    }
    return Value::Uint(c);
}

std::string FontList(const std::string& s) {
    std::string out;
    size_t from = 0;
    while (from <= s.size()) {
        size_t comma = s.find(',', from);
        if (comma == std::string::npos) comma = s.size();
        std::string item = s.substr(from, comma - from);
        size_t lead = item.find_first_not_of(" \t\r\n");
        item = lead == std::string::npos ? "" : item.substr(lead);
        if (item == "mono") item = "_typewriter";
        else if (item == "sans-serif") item = "_sans";
        else if (item == "serif") item = "_serif";
        if (!item.empty()) out += (out.empty() ? "" : ",") + item;
        from = comma + 1;
    }
    return out;
}

// Two words for true and false; anything else leaves the property unset.
Value Choice(const std::string& s, const char* yes, const char* no) {
    if (s == yes) return Value::Bool(true);
    if (s == no) return Value::Bool(false);
    return Value::Null();
}

Value Transform(Machine& m, Value self, Args args, int argc) {
    (void)self;
    Value style = Arg(args, argc, 0);
    if (style.IsNullish()) return Value::Null();
    if (!style.IsObject()) m.ReferenceError(1069, "Property color not found on " + m.TypeName(style) + " and there is no default value.");
    TextFormatObject* f = NewTextFormat(m);
    Value out = Value::Obj(f);
    TempRoot keep(m, out);
    auto read = [&](const char* name, std::string& s) {
        Value v = m.GetPublic(style, name);
        if (v.IsUndefined()) return false;
        s = m.ToStdString(v);
        return true;
    };
    std::string s;
    if (read("color", s) && !s.empty()) f->props[kTfColor] = ColorOf(s);
    if (read("display", s) && !s.empty())
        f->props[kTfDisplay] = s == "inline" || s == "block" || s == "none" ? Value::Str(m.Intern(s)) : Value::Null();
    if (read("fontFamily", s) && !s.empty()) f->props[kTfFont] = Value::Str(m.Str(FontList(s)));
    if (read("fontSize", s) && !s.empty()) {
        double d = LeadingNumber(s, false);
        if (d >= 1) f->props[kTfSize] = IntOf(d);
    }
    if (read("fontStyle", s)) f->props[kTfItalic] = Choice(s, "italic", "normal");
    if (read("fontWeight", s)) f->props[kTfBold] = Choice(s, "bold", "normal");
    bool kerning = false;
    if (read("kerning", s)) {
        double d = LeadingNumber(s, false);
        kerning = s == "true" || (!std::isnan(d) && d != 0);
    }
    f->props[kTfKerning] = Value::Bool(kerning);
    if (read("leading", s) && !s.empty()) f->props[kTfLeading] = IntOf(LeadingNumber(s, false));
    if (read("letterSpacing", s) && !s.empty()) f->props[kTfLetterSpacing] = Value::Number(LeadingNumber(s, true));
    if (read("marginLeft", s) && !s.empty()) f->props[kTfLeftMargin] = IntOf(LeadingNumber(s, false));
    if (read("marginRight", s) && !s.empty()) f->props[kTfRightMargin] = IntOf(LeadingNumber(s, false));
    if (read("textAlign", s) && !s.empty()) m.SetPublic(out, "align", Value::Str(m.Str(s)));
    if (read("textDecoration", s)) f->props[kTfUnderline] = Choice(s, "underline", "none");
    if (read("textIndent", s) && !s.empty()) f->props[kTfIndent] = IntOf(LeadingNumber(s, false));
    return out;
}

}  // namespace

Value StyleSheetFormat(Machine& m, const Value& sheet, const std::string& selector) {
    StyleSheetObject* s = Self(m, sheet);
    auto it = s->styles.find(Lower(selector));
    if (it == s->styles.end()) return Value::Null();
    Value style = it->second;
    return m.CallProperty(sheet, m.PublicName("transform"), &style, 1);
}

void InstallStyleSheet(Machine& m) {
    ClassObject* c = m.DefineClass("flash.text", "StyleSheet", m.FindClass("flash.events.EventDispatcher"), AllocStyleSheet);
    m.DefineMethod(c, "getStyle", GetStyle, 1);
    m.DefineMethod(c, "setStyle", SetStyle, 2);
    m.DefineMethod(c, "clear", Clear, 0);
    m.DefineMethod(c, "parseCSS", ParseCss, 1);
    m.DefineMethod(c, "transform", Transform, 1);
    m.DefineGetter(c, "styleNames", StyleNames);
}

}  // namespace swf::avm2
