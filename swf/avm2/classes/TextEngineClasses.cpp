// flash.text.engine's descriptions and content: FontDescription and
// ElementFormat (properties with their accepted values, clone, locked),
// TextElement and GroupElement (a tree of text pieces).
#include <cstdlib>
#include <utility>

#include "swf/avm2/classes/Builtins.h"
#include "swf/avm2/classes/DataState.h"

namespace swf::avm2 {

namespace {

enum class Kind { Choice, Number, Uint, Object };

struct Prop {
    const char* name;
    Kind kind;
    const char* initial;  // a choice's default, or a number's
    std::vector<const char*> choices;
};

// Class tables: each record keeps one Value per property, in this order.
const std::vector<Prop> kFontDescription = {
    {"fontName", Kind::Choice, "_serif", {}},
    {"fontWeight", Kind::Choice, "normal", {"normal", "bold"}},
    {"fontPosture", Kind::Choice, "normal", {"normal", "italic"}},
    {"fontLookup", Kind::Choice, "device", {"device", "embeddedCFF"}},
    {"renderingMode", Kind::Choice, "cff", {"cff", "normal"}},
    {"cffHinting", Kind::Choice, "horizontalStem", {"horizontalStem", "none"}},
};

const std::vector<Prop> kElementFormat = {
    {"fontDescription", Kind::Object, nullptr, {}},
    {"fontSize", Kind::Number, "12", {}},
    {"color", Kind::Uint, "0", {}},
    {"alpha", Kind::Number, "1", {}},
    {"textRotation", Kind::Choice, "auto", {"auto", "rotate0", "rotate90", "rotate180", "rotate270"}},
    {"dominantBaseline", Kind::Choice, "roman",
     {"roman", "ascent", "descent", "ideographicTop", "ideographicCenter", "ideographicBottom"}},
    {"alignmentBaseline", Kind::Choice, "useDominantBaseline",
     {"useDominantBaseline", "roman", "ascent", "descent", "ideographicTop", "ideographicCenter", "ideographicBottom"}},
    {"baselineShift", Kind::Number, "0", {}},
    {"kerning", Kind::Choice, "on", {"on", "off", "auto"}},
    {"trackingRight", Kind::Number, "0", {}},
    {"trackingLeft", Kind::Number, "0", {}},
    {"locale", Kind::Choice, "en", {}},
    {"breakOpportunity", Kind::Choice, "auto", {"auto", "any", "none", "all"}},
    {"digitCase", Kind::Choice, "default", {"default", "lining", "oldStyle"}},
    {"digitWidth", Kind::Choice, "default", {"default", "proportional", "tabular"}},
    {"ligatureLevel", Kind::Choice, "common", {"common", "minimum", "uncommon", "exotic", "none"}},
    {"typographicCase", Kind::Choice, "default",
     {"default", "title", "caps", "smallCaps", "uppercase", "lowercase", "capsAndSmallCaps"}},
};

const std::vector<Prop>* const kTables[] = {&kFontDescription, &kElementFormat};

class RecordObject : public Object {
public:
    RecordObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {}
    std::vector<Value> values;
    bool locked = false;
    // Content elements: text, format, the group holding it, and a group's elements.
    std::string text;
    bool hasText = false;
    Value format = Value::Null(), mirror = Value::Null(), userData = Value::Undefined(), group = Value::Null();
    std::string rotation = "rotate0";
    std::vector<Value> elements;
    void Trace(Tracer& t) override {
        Object::Trace(t);
        for (const Value& v : values) t.Mark(v);
        for (const Value& v : elements) t.Mark(v);
        t.Mark(format), t.Mark(mirror), t.Mark(userData), t.Mark(group);
    }
};

Object* AllocRecord(Machine& m, ClassObject* cls) { return m.New<RecordObject>(cls, cls->prototype); }

RecordObject* Self(Machine& m, const Value& v, const char* cls) {
    ClassObject* c = m.FindClass(std::string("flash.text.engine.") + cls);
    if (!c || !v.IsObject() || !v.o->cls || !v.o->cls->IsSubclassOf(c))
        m.TypeError(1034, std::string("Type Coercion failed: cannot convert to flash.text.engine.") + cls + ".");
    return static_cast<RecordObject*>(v.o);
}

const char* const kClassNames[] = {"FontDescription", "ElementFormat"};

Value Convert(Machine& m, const Prop& p, const Value& v) {
    switch (p.kind) {
    case Kind::Number: return Value::Number(m.ToNumber(v));
    case Kind::Uint: return Value::Uint(m.ToUint32(v));
    case Kind::Object: return v.IsNullish() ? Value::Null() : v;
    case Kind::Choice: {
        if (v.IsNullish()) m.TypeError(2007, std::string("Parameter ") + p.name + " must be non-null.");
        std::string s = m.ToStdString(v);
        bool ok = p.choices.empty();
        for (const char* c : p.choices) ok = ok || s == c;
        if (!ok) m.ArgumentError(2008, std::string("Parameter ") + p.name + " must be one of the accepted values.");
        return Value::Str(m.Intern(s));
    }
    }
    return Value::Undefined();
}

void Fill(Machine& m, RecordObject* r, int table, Args args, int argc) {
    const std::vector<Prop>& props = *kTables[table];
    r->values.resize(props.size());
    for (size_t i = 0; i < props.size(); ++i) {
        const Prop& p = props[i];
        if (int(i) < argc) r->values[i] = Convert(m, p, args[i]);
        else if (p.kind == Kind::Object) r->values[i] = Value::Null();
        else if (p.kind == Kind::Choice) r->values[i] = Value::Str(m.Intern(p.initial));
        else r->values[i] = Convert(m, p, Value::Number(std::strtod(p.initial, nullptr)));
    }
}

template <int Table, int Index>
Value Get(Machine& m, Value self, Args, int) {
    RecordObject* r = Self(m, self, kClassNames[Table]);
    return size_t(Index) < r->values.size() ? r->values[Index] : Value::Undefined();
}

template <int Table, int Index>
Value Set(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Self(m, self, kClassNames[Table]);
    if (r->locked) {
        ClassObject* c = m.FindClass("flash.errors.IllegalOperationError");
        m.Throw(c ? c : m.errorClass, 2185, "Cannot modify a locked object.");
    }
    Value v = Convert(m, (*kTables[Table])[Index], Arg(args, argc, 0));
    if (size_t(Index) < r->values.size()) r->values[Index] = v;
    return Value::Undefined();
}

template <int Table, int... I>
void DefineProps(Machine& m, ClassObject* c, std::integer_sequence<int, I...>) {
    (m.DefineGetter(c, (*kTables[Table])[I].name, Get<Table, I>, Set<Table, I>), ...);
}

Value FontDescriptionInit(Machine& m, Value self, Args args, int argc) {
    Fill(m, Self(m, self, "FontDescription"), 0, args, argc);
    return Value::Undefined();
}

Value ElementFormatInit(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Self(m, self, "ElementFormat");
    Fill(m, r, 1, args, argc);
    if (r->values[0].IsNull()) r->values[0] = m.Construct(Value::Obj(m.FindClass("flash.text.engine.FontDescription")), nullptr, 0);
    return Value::Undefined();
}

template <int Table>
Value Clone(Machine& m, Value self, Args, int) {
    RecordObject* r = Self(m, self, kClassNames[Table]);
    Value out = Value::Obj(m.Instantiate(r->cls));
    auto* copy = static_cast<RecordObject*>(out.o);
    copy->values = r->values;  // a clone is never locked
    return out;
}

// FontDescription and ElementFormat share `locked`.
RecordObject* Lockable(Machine& m, const Value& v) {
    for (const char* name : kClassNames) {
        ClassObject* c = m.FindClass(std::string("flash.text.engine.") + name);
        if (c && v.IsObject() && v.o->cls && v.o->cls->IsSubclassOf(c)) return static_cast<RecordObject*>(v.o);
    }
    return nullptr;
}

Value Locked(Machine& m, Value self, Args, int) {
    RecordObject* r = Lockable(m, self);
    return Value::Bool(r && r->locked);
}

Value SetLocked(Machine& m, Value self, Args args, int argc) {
    if (RecordObject* r = Lockable(m, self)) r->locked = m.ToBoolean(Arg(args, argc, 0));
    return Value::Undefined();
}

// Content elements.

RecordObject* Content(Machine& m, const Value& v) { return Self(m, v, "ContentElement"); }

bool IsTextElement(Machine& m, const Value& v) {
    ClassObject* c = m.FindClass("flash.text.engine.TextElement");
    return v.IsObject() && v.o->cls && c && v.o->cls->IsSubclassOf(c);
}

std::string TextOf(Machine& m, const Value& v, int depth = 0) {
    RecordObject* r = Content(m, v);
    if (IsTextElement(m, v)) return r->text;
    std::string out;
    if (depth < 64)
        for (const Value& e : r->elements) out += TextOf(m, e, depth + 1);
    return out;
}

Value ContentInit(Machine& m, RecordObject* r, Args args, int argc, int first) {
    if (argc > first) r->format = Arg(args, argc, first).IsNullish() ? Value::Null() : args[first];
    if (argc > first + 1) r->mirror = args[first + 1].IsNullish() ? Value::Null() : args[first + 1];
    if (argc > first + 2 && !args[first + 2].IsNullish()) r->rotation = m.ToStdString(args[first + 2]);
    return Value::Undefined();
}

Value TextElementInit(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Content(m, self);
    Value t = Arg(args, argc, 0);
    r->hasText = !t.IsNullish();
    r->text = r->hasText ? m.ToStdString(t) : "";
    return ContentInit(m, r, args, argc, 1);
}

// The items of a Vector.<ContentElement> (or any list), or none for null.
std::vector<Value> ItemsOf(Machine& m, const Value& list) {
    std::vector<Value> out;
    if (list.IsNullish()) return out;
    uint32_t n = m.ToUint32(m.GetPublic(list, "length"));
    for (uint32_t i = 0; i < n && i < kMaxDenseLength; ++i) out.push_back(m.GetProperty(list, IndexName(m, i)));
    return out;
}

Value ElementVector(Machine& m, const std::vector<Value>& items) {
    ClassObject* vc = m.ApplyType(m.vectorClass, {Value::Obj(m.FindClass("flash.text.engine.ContentElement"))});
    Value v = m.Construct(Value::Obj(vc), &kNoItems, 1);
    TempRoot keep(m, v);
    for (size_t i = 0; i < items.size(); ++i) m.SetProperty(v, IndexName(m, uint32_t(i)), items[i]);
    return v;
}

void Adopt(Machine& m, const Value& group, RecordObject* g, size_t at, const std::vector<Value>& items) {
    for (const Value& e : items) Content(m, e)->group = group;
    g->elements.insert(g->elements.begin() + std::ptrdiff_t(at), items.begin(), items.end());
}

Value GroupElementInit(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Content(m, self);
    Adopt(m, self, r, 0, ItemsOf(m, Arg(args, argc, 0)));
    return ContentInit(m, r, args, argc, 1);
}

[[noreturn]] void OutOfBounds(Machine& m) { m.RangeError(2006, "The supplied index is out of bounds."); }

Value ElementCount(Machine& m, Value self, Args, int) { return Value::Int(int32_t(Content(m, self)->elements.size())); }

Value GetElementAt(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Content(m, self);
    int32_t i = m.ToInt32(Arg(args, argc, 0));
    if (i < 0 || size_t(i) >= r->elements.size()) OutOfBounds(m);
    return r->elements[size_t(i)];
}

Value ReplaceElements(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Content(m, self);
    int32_t begin = m.ToInt32(Arg(args, argc, 0)), end = m.ToInt32(Arg(args, argc, 1));
    Value with = Arg(args, argc, 2);
    if (with.IsNullish() && begin == end) return Value::Null();
    if (begin < 0 || end < begin || size_t(end) > r->elements.size()) OutOfBounds(m);
    std::vector<Value> removed(r->elements.begin() + begin, r->elements.begin() + end);
    for (const Value& e : removed) Content(m, e)->group = Value::Null();
    r->elements.erase(r->elements.begin() + begin, r->elements.begin() + end);
    Adopt(m, self, r, size_t(begin), ItemsOf(m, with));
    return ElementVector(m, removed);
}

Value SplitTextElement(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Content(m, self);
    int32_t at = m.ToInt32(Arg(args, argc, 0)), split = m.ToInt32(Arg(args, argc, 1));
    if (at < 0 || size_t(at) >= r->elements.size()) OutOfBounds(m);
    Value target = r->elements[size_t(at)];
    if (!IsTextElement(m, target)) m.ArgumentError(2004, "One of the parameters is invalid.");
    RecordObject* t = Content(m, target);
    std::vector<uint32_t> units = Decode(t->text);
    if (split < 0 || size_t(split) > units.size()) OutOfBounds(m);
    Value rest = Value::Obj(m.Instantiate(t->cls));
    TempRoot keep(m, rest);
    RecordObject* tail = Content(m, rest);
    tail->text = EncodeUtf8(units, size_t(split), units.size());
    tail->hasText = true;
    tail->format = t->format;
    t->text = EncodeUtf8(units, 0, size_t(split));
    Adopt(m, self, r, size_t(at) + 1, {rest});
    return rest;
}

Value Text(Machine& m, Value self, Args, int) {
    RecordObject* r = Content(m, self);
    if (IsTextElement(m, self) && !r->hasText) return Value::Null();
    return Value::Str(m.Str(TextOf(m, self)));
}

Value SetText(Machine& m, Value self, Args args, int argc) {
    RecordObject* r = Content(m, self);
    Value t = Arg(args, argc, 0);
    r->hasText = !t.IsNullish();
    r->text = r->hasText ? m.ToStdString(t) : "";
    return Value::Undefined();
}

template <Value RecordObject::*Field>
Value GetField(Machine& m, Value self, Args, int) {
    return Content(m, self)->*Field;
}

template <Value RecordObject::*Field>
Value SetField(Machine& m, Value self, Args args, int argc) {
    Content(m, self)->*Field = Arg(args, argc, 0);
    return Value::Undefined();
}

Value Rotation(Machine& m, Value self, Args, int) { return Value::Str(m.Intern(Content(m, self)->rotation)); }

Value Nothing(Machine&, Value, Args, int) { return Value::Null(); }

}  // namespace

void InstallTextEngine(Machine& m) {
    ClassObject* fd = m.DefineClass("flash.text.engine", "FontDescription", m.objectClass, AllocRecord, true);
    fd->init = m.NewNativeMethod("FontDescription", FontDescriptionInit, 0);
    DefineProps<0>(m, fd, std::make_integer_sequence<int, 6>());
    m.DefineMethod(fd, "clone", Clone<0>, 0);
    m.DefineGetter(fd, "locked", Locked, SetLocked);

    ClassObject* ef = m.DefineClass("flash.text.engine", "ElementFormat", m.objectClass, AllocRecord, true);
    ef->init = m.NewNativeMethod("ElementFormat", ElementFormatInit, 0);
    DefineProps<1>(m, ef, std::make_integer_sequence<int, 17>());
    m.DefineMethod(ef, "clone", Clone<1>, 0);
    m.DefineGetter(ef, "locked", Locked, SetLocked);

    ClassObject* content = m.DefineClass("flash.text.engine", "ContentElement", m.objectClass, AllocRecord, true);
    m.DefineGetter(content, "text", Text);
    m.DefineGetter(content, "rawText", Text);
    m.DefineGetter(content, "elementFormat", GetField<&RecordObject::format>, SetField<&RecordObject::format>);
    m.DefineGetter(content, "eventMirror", GetField<&RecordObject::mirror>, SetField<&RecordObject::mirror>);
    m.DefineGetter(content, "userData", GetField<&RecordObject::userData>, SetField<&RecordObject::userData>);
    m.DefineGetter(content, "groupElement", GetField<&RecordObject::group>);
    m.DefineGetter(content, "textRotation", Rotation);
    m.DefineGetter(content, "textBlock", Nothing);

    ClassObject* text = m.DefineClass("flash.text.engine", "TextElement", content, AllocRecord, true);
    text->init = m.NewNativeMethod("TextElement", TextElementInit, 0);
    m.DefineGetter(text, "text", Text, SetText);

    ClassObject* group = m.DefineClass("flash.text.engine", "GroupElement", content, AllocRecord, true);
    group->init = m.NewNativeMethod("GroupElement", GroupElementInit, 0);
    m.DefineGetter(group, "elementCount", ElementCount);
    m.DefineMethod(group, "getElementAt", GetElementAt, 1);
    m.DefineMethod(group, "replaceElements", ReplaceElements, 3);
    m.DefineMethod(group, "splitTextElement", SplitTextElement, 2);
}

}  // namespace swf::avm2
