// Clips as scripts see them: a clip object per live clip holds its
// timeline variables; the built-in properties (_x, _currentframe, ...) go
// to the host by index; child instances are members by name. Clip values
// are paths, found again through the host on each use.
#include <algorithm>
#include <cstdlib>
#include <limits>

#include "swf/avm1/Runtime.h"
#include "swf/avm1/Vm.h"

namespace swf::avm1 {

namespace {

// The built-in clip properties in GetProperty/SetProperty index order.
const char* const kPropertyNames[] = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
    "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse",
};
constexpr int kPropertyCount = static_cast<int>(sizeof kPropertyNames / sizeof kPropertyNames[0]);

int PropertyIndex(const std::string& name) {
    if (name.empty() || name[0] != '_') return -1;
    for (int i = 0; i < kPropertyCount; ++i)
        if (EqualNames(name, kPropertyNames[i], true)) return i;
    return -1;
}

// "_level7" (or "_flash7") -> 7, else -1. The digits are read as a 32-bit
// int, wrapping, up to the first non-digit and the rest is ignored:
// "_level0undefined" and "_level" are level 0, "_level4294967297" level 1,
// "_level-1" and "_level2147483648" none.
int LevelNumber(const std::string& name) {
    constexpr size_t kPrefix = 6;
    if (name.size() < kPrefix) return -1;
    const std::string prefix = name.substr(0, kPrefix);
    if (!EqualNames(prefix, "_level", true) && !EqualNames(prefix, "_flash", true)) return -1;
    size_t at = kPrefix;
    const bool negative = at < name.size() && name[at] == '-';
    if (negative) ++at;
    uint32_t n = 0;
    for (; at < name.size() && name[at] >= '0' && name[at] <= '9'; ++at) n = n * 10 + uint32_t(name[at] - '0');
    if (negative) n = 0u - n;
    return n > uint32_t(std::numeric_limits<int32_t>::max()) ? -1 : int(n);
}

}  // namespace

Object* Vm::ClipObject(ClipId clip) {
    if (!clip) return nullptr;
    auto it = clipObjects_.find(clip);
    if (it != clipObjects_.end()) return it->second;
    // The classes of the family of the clip's own movie.
    const int version = host_.VersionOf(clip);
    const Realm& realm = version ? RealmFor(version) : RealmFor(version_);
    Object* proto = realm.clipProto;
    switch (host_.KindOf(clip)) {
    case ObjectKind::None: return nullptr;
    case ObjectKind::Button: proto = realm.buttonProto; break;
    case ObjectKind::TextField: proto = realm.textFieldProto; break;
    case ObjectKind::Clip: break;
    }
    Object* o = heap_.New(ObjClass::Clip, proto);
    o->clip = clip;
    clipObjects_.emplace(clip, o);
    if (proto == realm.textFieldProto && proto) {
        // A field broadcasts its events, to itself first.
        MakeBroadcaster(*this, o);
        if (const Property* list = o->Find("_listeners", false); list && list->value.IsObject())
            ArrayPush(list->value.o, ClipValue(clip));
    }
    return o;
}

Value Vm::ClipValue(ClipId clip) {
    if (!clip) return Value();
    const uint32_t version = host_.TreeVersion();
    if (!version) return Value::ClipPath(host_.PathOf(clip));
    // Entries outlive tree edits (a script making clips in a loop edits the
    // tree between most instructions) and are checked again when next used;
    // the table is emptied only when it grows big.
    if (clipRefs_.size() > kMaxClipRefs) clipRefs_.clear();
    ClipRef& ref = clipRefs_[clip];
    if (ref.at != version) {
        std::string path = host_.PathOf(clip);
        if (!ref.path || *ref.path != path) ref.path = MakeStr(std::move(path));
        ref.found = host_.InTree(clip) ? clip : ResolvePath(0, *ref.path);
        ref.at = version;
    }
    Value v;
    v.kind = Value::Kind::Clip;
    v.s = ref.path;
    v.clipId = ref.found;
    v.clipAt = version;
    return v;
}

ClipId Vm::ClipOf(const Value& v) {
    if (v.IsClip()) {
        const uint32_t version = host_.TreeVersion();
        if (version && v.clipAt == version) return v.clipId;
        // The clip itself while it lives, even when another of the same
        // name comes first; once gone, whatever its path names now.
        ClipId found = v.clipId && host_.InTree(v.clipId) ? v.clipId : ResolvePath(0, *v.s);
        v.clipId = found;
        v.clipAt = version;
        return found;
    }
    if (v.IsObject() && v.o->cls == ObjClass::Clip) return v.o->clip;
    return 0;
}

void Vm::ClipRemoved(ClipId clip) {
    auto it = clipObjects_.find(clip);
    if (it == clipObjects_.end()) return;
    it->second->clip = 0;
    clipObjects_.erase(it);
}

void Vm::ForgetClips(const std::function<bool(ClipId)>& alive) {
    for (auto it = clipObjects_.begin(); it != clipObjects_.end();) {
        if (alive(it->first)) {
            ++it;
        } else {
            it->second->clip = 0;
            it = clipObjects_.erase(it);
        }
    }
}

ClipId Vm::ResolvePath(ClipId from, const std::string& path) {
    if (path.empty()) return from;
    if (path.find("//") != std::string::npos) return 0;  // an empty name between slashes
    // A removed clip has no parent or root to go from any more.
    const bool lost = from && !host_.InTree(from);
    ClipId clip = lost ? 0 : from;
    size_t pos = 0;
    char before = 0;  // the separator in front of the part being read
    if (path[0] == '/') {
        clip = host_.Level(0);
        pos = 1;
        before = '/';
    }
    while (pos <= path.size()) {
        // After a slash a name runs to the next slash or colon, dots and
        // all; elsewhere a dot ends it too.
        size_t end;
        if (path.compare(pos, 2, "..") == 0 && (pos + 2 == path.size() || path[pos + 2] == '/' || path[pos + 2] == ':'))
            end = pos + 2;
        else
            end = path.find_first_of(before == '/' ? "/:" : "/:.", pos);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(pos, end - pos);
        before = end < path.size() ? path[end] : 0;
        pos = end + 1;
        if (part.empty() || part == "." || EqualNames(part, "this", true)) {
            if (!clip && part == "this") return 0;
            continue;
        }
        int level = LevelNumber(part);
        if (EqualNames(part, "_root", true)) clip = lost ? 0 : RootOf(clip);
        else if (level >= 0) clip = host_.Level(level);
        else if (!clip) return 0;
        else if (part == ".." || EqualNames(part, "_parent", true)) clip = host_.Parent(clip);
        else clip = host_.Child(clip, part, Ci());
        if (!clip) return 0;
    }
    return clip;
}

// SWF 4 knows slashes only: names between them are taken whole, dots and
// colons included; ".." goes up, and a first name "_levelN" or "_flashN"
// (its digits read up to the first non-digit) starts at that level.
// There is no _root, _parent or this.
ClipId Vm::ResolveSwf4Path(ClipId from, const std::string& path) {
    if (path.empty()) return from;
    if (path.find("//") != std::string::npos) return 0;
    ClipId clip = from && host_.InTree(from) ? from : 0;
    size_t pos = 0;
    if (path[0] == '/') {
        clip = host_.Level(0);
        pos = 1;
    } else {
        const size_t end = std::min(path.find('/'), path.size());
        std::string first = path.substr(0, end);
        if (first.size() > 6 && EqualNames(first.substr(0, 6), "_flash", true)) first.replace(0, 6, "_level");
        const int level = LevelNumber(first);
        if (level >= 0) {
            clip = host_.Level(level);
            pos = end + 1;
        }
    }
    while (clip && pos < path.size()) {
        const size_t end = std::min(path.find('/', pos), path.size());
        const std::string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part == "..") clip = host_.Parent(clip);
        else if (!part.empty()) clip = host_.Child(clip, part, true);
    }
    return clip;
}

ClipId Vm::ResolveTarget(ClipId from, const std::string& path) {
    return version_ < 5 ? ResolveSwf4Path(from, path) : ResolvePath(from, path);
}

ClipId Vm::RootOf(ClipId clip) {
    constexpr int kMaxHops = 64;
    int hops = 0;
    ClipId top = 0;
    for (ClipId c = clip; c && hops < kMaxHops; c = host_.Parent(c), ++hops) {
        top = c;
        auto it = clipObjects_.find(c);
        if (it == clipObjects_.end()) continue;
        const Property* lock = it->second->Find("_lockroot", Ci());
        if (lock && !lock->getter && ToBool(lock->value)) return c;
    }
    // A clip in another level has that level's root for _root.
    return host_.IsLevel(top) ? top : host_.Level(0);
}

// A clip's own members come first, then _parent, _root and the levels,
// then its children by name (over the built-in properties), then the
// built-ins, then what its prototypes hold.
bool Vm::ClipGet(Object* o, const std::string& name, Value& out) {
    const ClipId clip = o->clip;
    if (Property* prop = o->Find(name, Ci())) {
        out = prop->getter ? ReadProperty(o, *prop, name, ClipValue(clip)) : prop->value;
        return true;
    }
    if (!clip) return false;
    if (EqualNames(name, "_parent", true)) {
        out = ClipValue(host_.Parent(clip));
        return true;
    }
    if (EqualNames(name, "_root", true)) {
        out = ClipValue(RootOf(clip));
        return true;
    }
    int level = LevelNumber(name);
    if (level >= 0) {
        out = ClipValue(host_.Level(level));
        return true;
    }
    if (ClipId child = host_.Child(clip, name, Ci())) {
        out = ClipValue(child);
        return true;
    }
    int index = PropertyIndex(name);
    if (index >= 0) {
        out = host_.GetProperty(clip, index);
        return true;
    }
    return false;
}

bool Vm::ClipSet(Object* o, const std::string& name, const Value& v) {
    int index = PropertyIndex(name);
    if (index < 0) return false;
    if (o->clip) host_.SetProperty(o->clip, index, v);
    return true;
}

}  // namespace swf::avm1
