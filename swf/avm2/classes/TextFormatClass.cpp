// flash.text.TextFormat: properties that are each set or null. Setters
// convert as the field will read them; the constructor sets what it is given.
#include "swf/avm2/classes/TextClasses.h"

#include <cmath>
#include <utility>

namespace swf::avm2 {

namespace {

// Longer font names are cut (the field's own HTML keeps them whole).
constexpr size_t kMaxFontName = 64;

enum class Conv { String, Int, EvenInt, Uint, Number, Bool, Align, Tabs };

struct PropInfo {
    const char* name;
    Conv conv;
};

const PropInfo kInfo[kTfCount] = {
    {"align", Conv::Align},     {"blockIndent", Conv::Int}, {"bold", Conv::Bool},
    {"bullet", Conv::Bool},     {"color", Conv::Uint},      {"display", Conv::String},
    {"font", Conv::String},     {"indent", Conv::EvenInt},      {"italic", Conv::Bool},
    {"kerning", Conv::Bool},    {"leading", Conv::Int},     {"leftMargin", Conv::Int},
    {"letterSpacing", Conv::Number}, {"rightMargin", Conv::Int}, {"size", Conv::Int},
    {"tabStops", Conv::Tabs},   {"target", Conv::String},   {"underline", Conv::Bool},
    {"url", Conv::String},
};

Object* AllocTextFormat(Machine& m, ClassObject* cls) {
    auto* t = m.New<TextFormatObject>(cls, cls->prototype);
    t->props[kTfDisplay] = Value::Str(m.Intern("block"));
    return t;
}

TextFormatObject* Self(Machine& m, const Value& v) {
    TextFormatObject* t = AsTextFormat(m, v);
    if (!t) m.TypeError(1034, "Type Coercion failed: cannot convert to flash.text.TextFormat.");
    return t;
}

bool ValidAlign(const std::string& a) {
    return a == "left" || a == "right" || a == "center" || a == "justify" || a == "start" || a == "end";
}

Value Convert(Machine& m, int prop, const Value& v) {
    if (v.IsNullish()) return Value::Null();
    switch (kInfo[prop].conv) {
    case Conv::String: {
        std::string s = m.ToStdString(v);
        if (prop == kTfFont && s.size() > kMaxFontName) {
            // Cut on a character boundary.
            size_t n = kMaxFontName;
            while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
            s.resize(n);
        }
        return Value::Str(m.Str(s));
    }
    case Conv::Align: {
        std::string s = m.ToStdString(v);
        if (!ValidAlign(s)) m.ArgumentError(2008, "Parameter align must be one of the accepted values.");
        return Value::Str(m.Intern(s));
    }
    case Conv::Int: return Value::Int(m.ToInt32(v));
    case Conv::EvenInt: {
        // The indent rounds to the nearest pixel, halves to even.
        const double n = m.ToNumber(v);
        return Value::Int(std::isfinite(n) ? m.ToInt32(Value::Number(std::nearbyint(n))) : 0);
    }
    case Conv::Uint: return Value::Uint(m.ToUint32(v));
    case Conv::Number: return Value::Number(m.ToNumber(v));
    case Conv::Bool: return Value::Bool(m.ToBoolean(v));
    case Conv::Tabs: {
        // Any array-like: its items as whole numbers.
        ArrayObject* out = m.NewArray();
        TempRoot keep(m, Value::Obj(out));
        if (v.IsObject() && v.o->kind == ObjKind::Array) {
            auto* a = static_cast<ArrayObject*>(v.o);
            for (size_t i = 0; i < a->items.size(); ++i) out->items.push_back(Value::Int(m.ToInt32(ItemAt(m, a, i))));
        }
        return Value::Obj(out);
    }
    }
    return Value::Null();
}

Value Copy(Machine& m, const Value& v) {
    // Tab stops read back as a copy, so editing it changes nothing here.
    if (!v.IsObject() || v.o->kind != ObjKind::Array) return v;
    auto* a = static_cast<ArrayObject*>(v.o);
    ArrayObject* out = m.NewArray();
    out->items = a->items;
    return Value::Obj(out);
}

template <int Prop>
Value Get(Machine& m, Value self, Args, int) {
    return Copy(m, Self(m, self)->props[Prop]);
}

template <int Prop>
Value Set(Machine& m, Value self, Args args, int argc) {
    TextFormatObject* t = Self(m, self);
    t->props[Prop] = Convert(m, Prop, Arg(args, argc, 0));
    return Value::Undefined();
}

// The constructor's parameters, in order.
const int kCtorOrder[] = {kTfFont,   kTfSize,      kTfColor,       kTfBold,   kTfItalic,   kTfUnderline, kTfUrl,
                          kTfTarget, kTfAlign,     kTfLeftMargin,  kTfRightMargin, kTfIndent, kTfLeading};

Value Init(Machine& m, Value self, Args args, int argc) {
    TextFormatObject* t = AsTextFormat(m, self);
    if (!t) return Value::Undefined();
    for (int i = 0; i < argc && i < int(std::size(kCtorOrder)); ++i) t->props[kCtorOrder[i]] = Convert(m, kCtorOrder[i], args[i]);
    return Value::Undefined();
}

template <int... P>
void DefineAll(Machine& m, ClassObject* c, std::integer_sequence<int, P...>) {
    (m.DefineGetter(c, kInfo[P].name, Get<P>, Set<P>), ...);
}

}  // namespace

void TextFormatObject::Trace(Tracer& t) {
    Object::Trace(t);
    for (const Value& v : props) t.Mark(v);
}

TextFormatObject* AsTextFormat(Machine& m, const Value& v) {
    ClassObject* c = m.FindClass("flash.text.TextFormat");
    if (c && v.IsObject() && v.o->cls && v.o->cls->IsSubclassOf(c)) return static_cast<TextFormatObject*>(v.o);
    return nullptr;
}

TextFormatObject* NewTextFormat(Machine& m) {
    ClassObject* c = m.FindClass("flash.text.TextFormat");
    return static_cast<TextFormatObject*>(m.Instantiate(c));
}

void InstallTextFormat(Machine& m) {
    ClassObject* c = m.DefineClass("flash.text", "TextFormat", m.objectClass, AllocTextFormat, true);
    c->init = m.NewNativeMethod("TextFormat", Init, 0);
    DefineAll(m, c, std::make_integer_sequence<int, kTfCount>());
    ClassObject* align = m.DefineClass("flash.text", "TextFormatAlign", m.objectClass, nullptr, true);
    for (auto [name, value] : {std::pair<const char*, const char*>{"CENTER", "center"}, {"END", "end"}, {"JUSTIFY", "justify"},
                               {"LEFT", "left"}, {"RIGHT", "right"}, {"START", "start"}})
        m.DefineConstant(align, name, Value::Str(m.Intern(value)));
}

}  // namespace swf::avm2
