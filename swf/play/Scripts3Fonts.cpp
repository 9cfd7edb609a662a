// Font over the movie's embedded fonts (a font's class is its symbol
// class), StaticText's text, TextLineMetrics and the flash.text constants.
#include <algorithm>
#include <cctype>
#include <tuple>

#include "swf/play/Scripts3Host.h"
#include "swf/play/Scripts3Text.h"

namespace swf {

using avm2::Args;
using avm2::Machine;
using avm2::Value;

namespace {

class FontObject : public avm2::Object {
public:
    FontObject(avm2::ClassObject* cls, avm2::Object* proto) : Object(avm2::ObjKind::Plain, cls, proto) {}
    uint16_t id = 0;  // 0: found from the class when first asked
};

avm2::Object* AllocFont(Machine& m, avm2::ClassObject* cls) { return m.New<FontObject>(cls, cls->prototype); }

Scripts3::Host* HostOf(Machine& m) { return static_cast<Scripts3::Host*>(m.display); }

const FontData* FontFor(Machine& m, const Value& self) {
    avm2::ClassObject* fontClass = m.FindClass("flash.text.Font");
    if (!self.IsObject() || !self.o->cls || !fontClass || !self.o->cls->IsSubclassOf(fontClass) || !m.display)
        return nullptr;
    auto* f = static_cast<FontObject*>(self.o);
    if (!f->id) f->id = HostOf(m)->SymbolOf(f->cls);
    const Character* c = HostOf(m)->MovieOf().Find(f->id);
    return c && c->kind == CharacterKind::Font ? &static_cast<const FontCharacter*>(c)->font : nullptr;
}

Value FontName(Machine& m, Value self, Args, int) {
    const FontData* f = FontFor(m, self);
    return f ? Value::Str(m.Str(f->name)) : Value::Null();
}

const char* StyleOf(const FontData& f) {
    return f.bold && f.italic ? "boldItalic" : f.bold ? "bold" : f.italic ? "italic" : "regular";
}

Value FontStyle(Machine& m, Value self, Args, int) {
    const FontData* f = FontFor(m, self);
    return f ? Value::Str(m.Intern(StyleOf(*f))) : Value::Null();
}

Value FontType(Machine& m, Value self, Args, int) {
    const FontData* f = FontFor(m, self);
    return f ? Value::Str(m.Intern(f->IsDeviceOnly() ? "device" : "embedded")) : Value::Null();
}

Value HasGlyphs(Machine& m, Value self, Args args, int argc) {
    const FontData* f = FontFor(m, self);
    if (!f) return Value::Bool(false);
    for (uint32_t c : avm2::Decode(m.ToStdString(avm2::Arg(args, argc, 0))))
        if (f->IndexOf(c) < 0) return Value::Bool(false);
    return Value::Bool(true);
}

Value RegisterFont(Machine& m, Value, Args args, int argc) {
    Value v = avm2::Arg(args, argc, 0);
    avm2::ClassObject* fontClass = m.FindClass("flash.text.Font");
    if (!v.IsObject() || v.o->kind != avm2::ObjKind::Class || !static_cast<avm2::ClassObject*>(v.o)->IsSubclassOf(fontClass))
        m.ArgumentError(1508, "The value specified for argument font is invalid.");
    if (m.display) {
        uint16_t id = HostOf(m)->SymbolOf(static_cast<avm2::ClassObject*>(v.o));
        auto& fonts = HostOf(m)->registeredFonts;
        if (id && std::find(fonts.begin(), fonts.end(), id) == fonts.end()) fonts.push_back(id);
    }
    return Value::Undefined();
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The fonts registered, by name in any case.
Value EnumerateFonts(Machine& m, Value, Args, int) {
    avm2::ArrayObject* out = m.NewArray();
    Value result = Value::Obj(out);
    avm2::TempRoot keep(m, result);
    if (!m.display) return result;
    std::vector<std::pair<std::string, uint16_t>> fonts;
    for (uint16_t id : HostOf(m)->registeredFonts) {
        const Character* c = HostOf(m)->MovieOf().Find(id);
        if (c && c->kind == CharacterKind::Font) fonts.push_back({Lower(static_cast<const FontCharacter*>(c)->font.name), id});
    }
    std::stable_sort(fonts.begin(), fonts.end(), [](auto& a, auto& b) { return a.first < b.first; });
    avm2::ClassObject* fontClass = m.FindClass("flash.text.Font");
    for (auto& [name, id] : fonts) {
        auto* f = static_cast<FontObject*>(m.Instantiate(fontClass));
        f->id = id;
        out->items.push_back(Value::Obj(f));
    }
    return result;
}

// StaticText --------------------------------------------------------------------

Value StaticTextText(Machine& m, Value self, Args, int) {
    avm2::DispatcherObject* d = avm2::AsDisplay(m, self);
    DisplayObject* o = d && d->serial && m.display ? HostOf(m)->Object(d->serial) : nullptr;
    const Movie& movie = HostOf(m)->MovieOf();
    const Character* c = o ? movie.Find(o->characterId) : nullptr;
    if (!c || c->kind != CharacterKind::StaticText) return Value::Str(m.Intern(""));
    std::u32string text;
    bool first = true;
    int32_t y = 0;
    for (const TextRun& run : static_cast<const StaticTextCharacter*>(c)->text.runs) {
        // A run on a new baseline starts a new line.
        if (!first && run.y != y) text.push_back(U'\r');
        first = false;
        y = run.y;
        const Character* fc = movie.Find(run.fontId);
        const FontData* font = fc && fc->kind == CharacterKind::Font ? &static_cast<const FontCharacter*>(fc)->font : nullptr;
        for (const StaticGlyph& g : run.glyphs)
            if (font && g.index < font->glyphs.size()) text.push_back(font->glyphs[g.index].code);
    }
    return Value::Str(m.Str(EncodeUtf8(text)));
}

// TextLineMetrics ------------------------------------------------------------------

const char* const kMetrics[] = {"x", "width", "height", "ascent", "descent", "leading"};

Value MetricsInit(Machine& m, Value self, Args args, int argc) {
    for (int i = 0; i < int(std::size(kMetrics)); ++i)
        m.SetPublic(self, kMetrics[i], Value::Number(i < argc ? m.ToNumber(args[i]) : 0));
    return Value::Undefined();
}

const char* const kRunFields[] = {"beginIndex", "endIndex", "textFormat"};

Value RunInit(Machine& m, Value self, Args args, int argc) {
    for (int i = 0; i < int(std::size(kRunFields)); ++i) m.SetPublic(self, kRunFields[i], avm2::Arg(args, argc, i));
    return Value::Undefined();
}

void Constants(Machine& m, const char* name, std::initializer_list<std::pair<const char*, const char*>> values) {
    avm2::ClassObject* c = m.DefineClass("flash.text", name, m.objectClass, nullptr, true);
    for (auto [k, v] : values) m.DefineConstant(c, k, Value::Str(m.Intern(v)));
}

}  // namespace

void InstallFonts(Machine& m) {
    avm2::ClassObject* font = m.DefineClass("flash.text", "Font", m.objectClass, AllocFont, true);
    m.DefineGetter(font, "fontName", FontName);
    m.DefineGetter(font, "fontStyle", FontStyle);
    m.DefineGetter(font, "fontType", FontType);
    m.DefineMethod(font, "hasGlyphs", HasGlyphs, 1);
    m.DefineStatic(font, "registerFont", RegisterFont, 1);
    m.DefineStatic(font, "enumerateFonts", EnumerateFonts, 0);
    if (avm2::ClassObject* st = m.FindClass("flash.text.StaticText")) m.DefineGetter(st, "text", StaticTextText);
    avm2::ClassObject* metrics = m.DefineClass("flash.text", "TextLineMetrics", m.objectClass, nullptr, false);
    metrics->init = m.NewNativeMethod("TextLineMetrics", MetricsInit, 6);
    avm2::ClassObject* run = m.DefineClass("flash.text", "TextRun", m.objectClass, nullptr, false);
    run->init = m.NewNativeMethod("TextRun", RunInit, 3);
    Constants(m, "TextFieldType", {{"DYNAMIC", "dynamic"}, {"INPUT", "input"}});
    Constants(m, "TextFieldAutoSize", {{"CENTER", "center"}, {"LEFT", "left"}, {"NONE", "none"}, {"RIGHT", "right"}});
    Constants(m, "AntiAliasType", {{"ADVANCED", "advanced"}, {"NORMAL", "normal"}});
    Constants(m, "GridFitType", {{"NONE", "none"}, {"PIXEL", "pixel"}, {"SUBPIXEL", "subpixel"}});
    Constants(m, "FontStyle", {{"BOLD", "bold"}, {"BOLD_ITALIC", "boldItalic"}, {"ITALIC", "italic"}, {"REGULAR", "regular"}});
    Constants(m, "FontType", {{"DEVICE", "device"}, {"EMBEDDED", "embedded"}, {"EMBEDDED_CFF", "embeddedCFF"}});
}

}  // namespace swf
