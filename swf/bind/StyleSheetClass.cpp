// TextField.StyleSheet: named styles (plain objects of CSS properties under
// their script names) set one by one or read from CSS text, loaded from
// beside the movie as LoadVars loads. A style is copied in and out, so a
// script's object never aliases the sheet's.
#include "swf/bind/Bindings.h"
#include "swf/classes/StyleSheet.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Object;
using avm1::Value;

constexpr const char* kStyles = "$styles";

// The sheet's styles by selector, made on first use.
Object* StylesOf(CallArgs& a) {
    if (!a.self.IsObject()) return nullptr;
    const avm1::Property* p = a.self.o->Find(kStyles, a.vm.Ci());
    if (p && p->value.IsObject()) return p->value.o;
    Object* styles = a.vm.NewObject();
    a.vm.SetHidden(a.self.o, kStyles, Value::Obj(styles));
    return styles;
}

// A plain copy of an object's own enumerable members.
Object* CopyStyle(avm1::Vm& vm, Object* from) {
    Object* copy = vm.NewObject();
    for (const avm1::Property& p : from->Props())
        if (!(p.flags & avm1::kDontEnum)) copy->Put(p.name, vm.Ci()).value = p.value;
    return copy;
}

Value SheetCtor(CallArgs&) { return Value(); }

Value GetStyle(CallArgs& a) {
    Object* styles = StylesOf(a);
    if (!styles) return Value();
    const avm1::Property* p = styles->Find(a.vm.ToString(a.Arg(0)), a.vm.Ci());
    if (!p || !p->value.IsObject()) return Value::Null();
    avm1::PinGuard pin(a.vm);
    return Value::Obj(CopyStyle(a.vm, p->value.o));
}

// setStyle(name, style): a copy of the object; null or undefined removes it.
Value SetStyle(CallArgs& a) {
    Object* styles = StylesOf(a);
    if (!styles) return Value();
    const std::string name = a.vm.ToString(a.Arg(0));
    if (!a.Arg(1).IsObject()) {
        styles->Remove(name, a.vm.Ci());
        return Value();
    }
    avm1::PinGuard pin(a.vm);
    Object* copy = CopyStyle(a.vm, a.Arg(1).o);
    styles->Put(name, a.vm.Ci()).value = Value::Obj(copy);
    return Value();
}

Value GetStyleNames(CallArgs& a) {
    Object* styles = StylesOf(a);
    if (!styles) return Value();
    std::vector<Value> names;
    for (const avm1::Property& p : styles->Props()) names.push_back(Value::String(p.name));
    return Value::Obj(a.vm.NewArray(std::move(names)));
}

Value Clear(CallArgs& a) {
    if (a.self.IsObject()) a.vm.SetHidden(a.self.o, kStyles, Value::Obj(a.vm.NewObject()));
    return Value();
}

// parseCSS(text) and parse(text): a rule replaces each of its selectors'
// styles whole; a sheet that does not parse changes nothing.
Value ParseText(CallArgs& a) {
    Object* styles = StylesOf(a);
    if (!styles) return Value();
    std::vector<CssRule> rules;
    if (!ParseCss(a.vm.ToString(a.Arg(0)), rules)) return Value::Bool(false);
    avm1::PinGuard pin(a.vm);
    for (const CssRule& rule : rules)
        for (const std::string& selector : rule.selectors) {
            Object* style = a.vm.NewObject();
            for (const auto& [name, value] : rule.declarations)
                style->Put(name, a.vm.Ci()).value = Value::String(value);
            styles->Put(selector, a.vm.Ci()).value = Value::Obj(style);
        }
    return Value::Bool(true);
}

// The default onData: the loaded text goes through parse, and onLoad
// hears whether it was a style sheet.
Value SheetOnData(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    avm1::PinGuard pin(a.vm);
    if (a.Arg(0).IsUndefined()) {
        a.vm.CallMethod(a.self, "onLoad", {Value::Bool(false)});
        return Value();
    }
    const bool parsed = a.vm.ToBool(a.vm.CallMethod(a.self, "parse", {a.Arg(0)}));
    a.vm.SetHidden(a.self.o, "loaded", Value::Bool(true));
    a.vm.CallMethod(a.self, "onLoad", {Value::Bool(parsed)});
    return Value();
}

Value Transform(CallArgs& a) { return TextFormatFromStyle(a.vm, a.Arg(0)); }

}  // namespace

void InstallStyleSheet(avm1::Vm& vm) {
    const Value textField = vm.GetMember(Value::Obj(vm.global), "TextField");
    if (!textField.IsObject()) return;
    Object* proto = vm.NewObject();
    vm.DefineClassIn(textField.o, "StyleSheet", SheetCtor, proto);
    const std::pair<const char*, avm1::NativeFn> methods[] = {
        {"getStyle", GetStyle}, {"setStyle", SetStyle}, {"getStyleNames", GetStyleNames},
        {"clear", Clear},       {"parseCSS", ParseText}, {"parse", ParseText},
        {"load", DataLoad},     {"onData", SheetOnData}, {"getBytesLoaded", LoadedBytes},
        {"transform", Transform},
    };
    for (const auto& [name, fn] : methods) vm.DefineNative(proto, name, fn);
    vm.DefineNative(proto, "getBytesTotal", LoadedBytes, 1);
}

}  // namespace swf::bind
