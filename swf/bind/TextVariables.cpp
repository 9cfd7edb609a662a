// Fields bound to variables: after each run of actions, a variable that
// changed since the last look shows in its field, and a field whose text
// changed (typed, or set through the field) is written to its variable.
// An undefined variable takes the field's text.
#include "swf/bind/Bindings.h"
#include "swf/display/TextObjects.h"

namespace swf::bind {

void SyncTextVariable(avm1::Vm& vm, EditTextObject& field) {
    ScriptHost& host = HostOf(vm);
    EditTextField& f = field.Field();
    const std::string var = f.VariableName();
    if (var.empty()) return;
    avm1::ClipId owner = host.IdOf(field.parent);
    std::string name = var;
    const size_t cut = var.find_last_of(".:");
    if (cut != std::string::npos) {
        owner = vm.ResolvePath(owner, var.substr(0, cut));
        name = var.substr(cut + 1);
    }
    if (!owner || name.empty()) return;
    const avm1::Value holder = vm.ClipValue(owner);
    const avm1::Value v = vm.GetMember(holder, name);
    const std::string text = f.Text();
    std::string& seen = f.BoundValue();
    if (!v.IsUndefined() && vm.ToString(v) != seen) {
        seen = vm.ToString(v);
        if (seen != text) f.SetScriptText(seen, f.Settings().html);
    } else if (v.IsUndefined() || text != seen) {
        seen = text;
        vm.SetMember(holder, name, avm1::Value::String(text));
    }
}

void SyncTextVariables(avm1::Vm& vm) {
    ScriptHost& host = HostOf(vm);
    std::vector<uint32_t> fields;
    for (const auto& entry : host.Context().scriptables)
        if (entry.second->Kind() == DisplayKind::EditText) fields.push_back(entry.first);
    for (uint32_t serial : fields) {
        // Scripts run below may remove fields; look each up again.
        DisplayObject* obj = host.Object(serial);
        if (EditTextObject* field = obj ? obj->AsEditText() : nullptr) SyncTextVariable(vm, *field);
    }
}

}  // namespace swf::bind
