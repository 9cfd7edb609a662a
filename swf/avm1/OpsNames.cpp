// Names: variables through the scope chain, slash and dot paths, members,
// clip properties by index, Delete, Enumerate and the literals that build
// arrays and objects.
//
// A variable is looked up in the scope chain from the innermost entry (with
// objects, the function's locals, the closures it was defined in) out to
// the timeline's clip, then in _global. Assigning a name no scope has
// creates it on the timeline's clip, as movies expect.
#include <cmath>

#include "swf/avm1/Frame.h"

namespace swf::avm1 {

namespace {

constexpr size_t kMaxLiteral = 1 << 16;

// "a/b:c" and "/a:c" name variable c of clip a/b.
bool SlashVariable(const std::string& name, std::string& path, std::string& var) {
    size_t colon = name.rfind(':');
    if (colon == std::string::npos) return false;
    path = name.substr(0, colon);
    var = name.substr(colon + 1);
    return true;
}

// The last dot that is not half of "..", or npos.
size_t LastLoneDot(const std::string& name) {
    for (size_t i = name.size(); i-- > 0;) {
        if (name[i] != '.') continue;
        const bool pair = (i > 0 && name[i - 1] == '.') || (i + 1 < name.size() && name[i + 1] == '.');
        if (!pair) return i;
        if (i > 0 && name[i - 1] == '.') --i;
    }
    return std::string::npos;
}

}  // namespace

// The value a special or dotted name starts from; false when `name` is a
// plain name to look up in the scope chain.
bool Vm::SplitPath(Frame& f, const std::string& name, Value& base, std::string& member) {
    std::string path;
    if (SlashVariable(name, path, member)) {
        // ":a" names no clip.
        base = path.empty() ? Value() : ClipValue(ResolveTarget(ClipOf(f.target), path));
        return true;
    }
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size() || version_ < 5) return false;
    // "a.b.c": the value of a.b, then member c.
    base = GetVariable(f, name.substr(0, dot));
    member = name.substr(dot + 1);
    return true;
}

Object* Vm::FindScope(Frame& f, const std::string& name) {
    for (size_t i = f.scope.size(); i-- > 0;)
        if (f.scope[i] && HasProperty(f.scope[i], name)) return f.scope[i];
    return nullptr;
}

Value Vm::GetVariable(Frame& f, const std::string& name) {
    if (version_ >= 5) return GetPathVariable(f, name);
    // SWF 4 has no clip values: a name or path that finds a clip reads as
    // undefined.
    if (name.find(':') == std::string::npos && name.find('/') != std::string::npos) return Value();
    Value v = GetPathVariable(f, name);
    return v.IsClip() ? Value() : v;
}

Value Vm::GetPathVariable(Frame& f, const std::string& name) {
    if (name.empty()) return Value();
    // A function given `this` in a register leaves the name to its timeline.
    if (EqualNames(name, "this", Ci())) return f.thisInRegister ? f.target : f.thisv;
    // SWF 5 timelines do not know the name; its functions do.
    if (EqualNames(name, "_global", Ci()) && (version_ >= 6 || f.callee)) return Value::Obj(global);
    if (f.callee && EqualNames(name, "super", Ci())) return Value::Obj(MakeSuper(f));
    if (version_ >= 5 && name.find_first_of("/:") != std::string::npos) {
        // A path names its variable after its last colon or dot, those of
        // ".." too: "a/b:c" and "a/b.c" are c of clip a/b, while "a/.."
        // and "a/../b" name nothing; a path with neither is the clip.
        const size_t cut = name.find_last_of(":.");
        if (cut == std::string::npos) return ClipValue(ResolveTarget(ClipOf(f.target), name));
        // ":a" names no clip, nor does a path ending in a colon.
        if (cut == 0 || cut + 1 == name.size() || name[cut - 1] == ':') return Value();
        const ClipId clip = ResolveTarget(ClipOf(f.target), name.substr(0, cut));
        return clip ? GetMember(ClipValue(clip), name.substr(cut + 1)) : Value();
    }
    if (name.find('/') != std::string::npos && name.find(':') == std::string::npos) {
        // "a/b.c" is member c of clip a/b; "a/b" the clip itself.
        const size_t cut = LastLoneDot(name);
        if (cut == std::string::npos) return ClipValue(ResolveTarget(ClipOf(f.target), name));
        const ClipId clip = ResolveTarget(ClipOf(f.target), name.substr(0, cut));
        return clip ? GetMember(ClipValue(clip), name.substr(cut + 1)) : Value();
    }
    Value base;
    std::string member;
    if (SplitPath(f, name, base, member)) return GetMember(base, member);
    // "a." and "a.." are paths whose last name is empty: they name nothing.
    if (version_ >= 5 && name.size() > 1 && name.back() == '.') return Value();
    if (Object* scope = FindScope(f, name)) {
        Value self = scope->cls == ObjClass::Clip ? ClipValue(scope->clip) : Value::Obj(scope);
        return Get(scope, name, self);
    }
    if (HasProperty(global, name)) return Get(global, name, Value::Obj(global));
    // _root, _parent and _levelN from the current target even when the
    // scope chain's clip is another one.
    if (ClipId target = ClipOf(f.target)) {
        Value out;
        if (ClipGet(ClipObject(target), name, out)) return out;
    }
    return Value();
}

void Vm::SetVariable(Frame& f, const std::string& name, const Value& v) {
    if (EqualNames(name, "this", Ci())) {  // `this` can be set, for the rest of the call
        f.thisv = v;
        return;
    }
    Value base;
    std::string member;
    if (SplitPath(f, name, base, member)) {
        SetMember(base, member, v);
        return;
    }
    Object* scope = FindScope(f, name);
    if (!scope) scope = f.scope.empty() ? nullptr : f.scope[0];
    if (scope) Put(scope, name, v);
}

// delete "a", "o.a", "o:b", "o.c:d": a path's last part is deleted from
// the object the rest names.
bool Vm::DeleteVariable(Frame& f, const std::string& name) {
    const size_t cut = name.find_last_of(".:");
    if (cut == std::string::npos || cut == 0 || cut + 1 == name.size() || version_ < 5) {
        Object* o = FindScope(f, name);
        if (!o && global->Find(name, Ci())) o = global;
        return o && DeleteMember(o, name);
    }
    std::string path = name.substr(0, cut);
    Value base;
    if (path.find('/') != std::string::npos) {
        base = ClipValue(ResolveTarget(ClipOf(f.target), path));
    } else {
        for (char& c : path)
            if (c == ':') c = '.';
        base = GetVariable(f, path);
    }
    const std::string member = name.substr(cut + 1);
    switch (base.kind) {
    case Value::Kind::Object: return DeleteMember(base.o, member);
    case Value::Kind::Clip: return ClipOf(base) && DeleteMember(ClipObject(ClipOf(base)), member);
    case Value::Kind::String:
    case Value::Kind::Number:
    case Value::Kind::Bool:
        // The player's own warning, printed with the movie's traces.
        host_.Trace("Parameters of primitive types are no longer coerced into the required type - Object.");
        return false;
    default: return false;
    }
}

bool Vm::StepNames(Frame& f, const Instr& in) {
    switch (in.op) {
    case kOpGetVariable: {
        Str name = ToStr(Pop(f));
        Push(GetVariable(f, *name));
        return true;
    }
    case kOpSetVariable: {
        Value v = Pop(f);
        Str name = ToStr(Pop(f));
        SetVariable(f, *name, v);
        return true;
    }
    case kOpDefineLocal:
    case kOpDefineLocal2: {
        Value v = in.op == kOpDefineLocal ? Pop(f) : Value();
        Str name = ToStr(Pop(f));
        Object* locals = f.activation ? f.activation : (f.scope.empty() ? nullptr : f.scope[0]);
        if (!locals) return true;
        // An inherited member counts as defined too.
        if (in.op == kOpDefineLocal2 && HasProperty(locals, *name)) return true;
        Put(locals, *name, v);
        return true;
    }
    case kOpGetMember: {
        Str name = ToStr(Pop(f));
        Value obj = Pop(f);
        Push(GetMember(obj, *name));
        return true;
    }
    case kOpSetMember: {
        Value v = Pop(f);
        Str name = ToStr(Pop(f));
        Value obj = Pop(f);
        SetMember(obj, *name, v);
        return true;
    }
    case kOpDelete: {
        Str name = ToStr(Pop(f));
        Value obj = Pop(f);
        Object* o = obj.IsClip() ? ClipObject(ClipOf(obj)) : obj.IsObject() ? obj.o : nullptr;
        Push(Value::Bool(o && DeleteMember(o, *name)));
        return true;
    }
    case kOpDelete2: {
        Str name = ToStr(Pop(f));
        Push(Value::Bool(DeleteVariable(f, *name)));
        return true;
    }
    case kOpGetProperty: {
        double index = std::trunc(ToNumber(Pop(f)));  // -0.8 is 0
        Str path = ToStr(Pop(f));
        ClipId clip = ResolveTarget(ClipOf(f.target), *path);
        Push(clip && index >= 0 && index < 22 ? host_.GetProperty(clip, static_cast<int>(index)) : Value());
        return true;
    }
    case kOpSetProperty: {
        Value v = Pop(f);
        double index = std::trunc(ToNumber(Pop(f)));
        Str path = ToStr(Pop(f));
        ClipId clip = ResolveTarget(ClipOf(f.target), *path);
        if (clip && index >= 0 && index < 22) host_.SetProperty(clip, static_cast<int>(index), v);
        return true;
    }
    case kOpTargetPath: {
        Value v = Pop(f);
        ClipId clip = ClipOf(v);
        Push(clip ? Value::String(host_.PathOf(clip)) : Value());
        return true;
    }
    case kOpEnumerate:
    case kOpEnumerate2: {
        Value v = Pop(f);
        if (in.op == kOpEnumerate) v = GetVariable(f, *ToStr(v));
        Object* o = v.IsClip() ? ClipObject(ClipOf(v)) : v.IsObject() ? v.o : nullptr;
        Push(Value());  // the end marker for-in loops test for
        if (!o) return true;
        // Children are older than the clip's variables, so they come out last.
        if (v.IsClip()) {
            for (const std::string& n : host_.ChildNames(ClipOf(v)))
                if (!o->Find(n, Ci())) Push(Value::String(n));  // unless a variable hides it
        }
        for (const std::string& n : EnumNames(o)) Push(Value::String(n));
        return true;
    }
    case kOpInitArray: {
        double count = ToNumber(Pop(f));
        // A count no array can have leaves the stack alone: undefined.
        if (!(count >= 0 && count <= double(INT32_MAX))) {
            Push(Value());
            return true;
        }
        size_t n = count > 0 ? static_cast<size_t>(std::min(count, double(kMaxLiteral))) : 0;
        std::vector<Value> elems;
        elems.reserve(n);
        for (size_t i = 0; i < n; ++i) elems.push_back(Pop(f));
        Push(Value::Obj(NewArray(std::move(elems))));
        return true;
    }
    case kOpInitObject: {
        double count = ToNumber(Pop(f));
        size_t n = count > 0 ? static_cast<size_t>(std::min(count, double(kMaxLiteral))) : 0;
        Object* o = NewObject();
        for (size_t i = 0; i < n; ++i) {
            Value v = Pop(f);
            Str name = ToStr(Pop(f));
            Put(o, *name, v);
        }
        Push(Value::Obj(o));
        return true;
    }
    default: return false;
    }
}

}  // namespace swf::avm1
