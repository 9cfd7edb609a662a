#include "swf/bind/ScriptHost.h"

#include <chrono>
#include <cctype>
#include <cmath>
#include <limits>

#include "swf/classes/LocalZone.h"
#include "swf/model/FormatCodes.h"
#include "swf/avm1/Object.h"
#include "swf/avm1/Vm.h"
#include "swf/bind/Focus.h"
#include "swf/display/ButtonObject.h"
#include "swf/display/ClipGeometry.h"
#include "swf/display/ClipProperties.h"
#include "swf/sound/SoundSystem.h"

namespace swf {

namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    const std::string p = prefix;
    return s.size() >= p.size() && avm1::EqualNames(s.substr(0, p.size()), p, true);
}

bool Named(const DisplayObject&) { return true; }

bool Scriptable(const DisplayObject& obj) {
    switch (obj.Kind()) {
    case DisplayKind::MovieClip:
    case DisplayKind::Button:
    case DisplayKind::EditText: return true;
    default: return false;
    }
}

// Out of range and infinities give the lowest int, as the reference's
// conversion does.
int32_t Int32Of(double d) {
    return d >= -2147483648.0 && d < 2147483648.0 ? static_cast<int32_t>(d) : std::numeric_limits<int32_t>::min();
}

double NumberOf(const avm1::Value& value) {
    if (value.IsNumber()) return value.n;
    if (value.IsString()) return avm1::StringToNumber(value.Text(), 7);
    return value.kind == avm1::Value::Kind::Bool ? (value.b ? 1.0 : 0.0) : std::nan("");
}

// The object's slash path ("/a/b"; the root is "/"; in another level
// "_level1/a").
std::string SlashPath(const std::string& dotted) {
    const size_t dot = dotted.find('.');
    const std::string first = dotted.substr(0, dot);
    const bool otherLevel = first != "_level0" && first.compare(0, 6, "_level") == 0;
    std::string slash = otherLevel ? first : "/";
    if (dot != std::string::npos) slash += (otherLevel ? "/" : "") + dotted.substr(dot + 1);
    for (char& ch : slash)
        if (ch == '.') ch = '/';
    return slash;
}

}  // namespace

avm1::ClipId ScriptHost::IdOf(const DisplayObject* obj) const {
    for (; obj; obj = obj->parent)
        if (Scriptable(*obj) && ctx_.FindObject(obj->serial) == obj) return obj->serial;
    return 0;
}

avm1::ClipId ScriptHost::Level(int n) {
    if (n == 0) return root_ ? root_->Serial() : 0;
    auto it = levels_.find(n);
    return it == levels_.end() ? 0 : it->second->Serial();
}

int ScriptHost::LevelOf(avm1::ClipId clip) const {
    if (!clip) return -1;
    if (root_ && clip == root_->serial) return 0;
    for (const auto& [n, level] : levels_)
        if (level->serial == clip) return n;
    return -1;
}

bool ScriptHost::InTree(avm1::ClipId clip) {
    const DisplayObject* o = Object(clip);
    if (!o) return false;
    for (const DisplayObject* p = o; p && !ctx_.leaving.empty(); p = p->parent)
        for (const auto& gone : ctx_.leaving)
            if (gone.get() == p) return false;
    return true;
}

int ScriptHost::VersionOf(avm1::ClipId clip) {
    for (const DisplayObject* o = Object(clip); o; o = o->parent)
        if (const MovieClip* c = o->AsClip()) {
            const Movie* movie = c->Assets().movie;
            return movie ? movie->header.version : 0;
        }
    return 0;
}

avm1::ObjectKind ScriptHost::KindOf(avm1::ClipId clip) {
    DisplayObject* o = Object(clip);
    if (!o) return avm1::ObjectKind::None;
    switch (o->Kind()) {
    case DisplayKind::Button: return avm1::ObjectKind::Button;
    case DisplayKind::EditText: return avm1::ObjectKind::TextField;
    default: return avm1::ObjectKind::Clip;
    }
}

avm1::ClipId ScriptHost::Parent(avm1::ClipId clip) {
    DisplayObject* o = Object(clip);
    return o ? IdOf(o->parent) : 0;
}

avm1::ClipId ScriptHost::Child(avm1::ClipId clip, const std::string& name, bool caseInsensitive) {
    MovieClip* c = Clip(clip);
    // A named shape or static text stands for the clip that holds it.
    const DisplayObject* child = c ? c->Named(name, caseInsensitive, Named) : nullptr;
    const DisplayObject* o = c ? nullptr : Object(clip);
    if (const ButtonObject* button = o ? o->AsButton() : nullptr) {
        // A button's state holds few children: indexed on each lookup.
        NameIndex index;
        for (const auto& entry : button->Children()) index.Note(*entry.second, button->Children());
        child = index.Find(button->Children(), name, caseInsensitive, Scriptable);
    }
    return child ? IdOf(child) : 0;
}

std::vector<std::string> ScriptHost::ChildNames(avm1::ClipId clip) {
    std::vector<std::string> names;
    if (MovieClip* c = Clip(clip))
        for (const auto& entry : c->List())
            if (Scriptable(*entry.second) && !entry.second->name.empty()) names.push_back(entry.second->name);
    return names;
}

std::string ScriptHost::PathOf(avm1::ClipId clip) {
    DisplayObject* o = Object(clip);
    if (!o) return std::string();
    if (!o->parent) {
        const int level = LevelOf(clip);
        if (level >= 0) return "_level" + std::to_string(level);
    }
    const std::string name = o->name.empty() && !o->instance ? "instance" + std::to_string(o->serial) : o->ScriptName();
    avm1::ClipId parent = Parent(clip);
    return parent ? PathOf(parent) + "." + name : name;
}

int ScriptHost::CurrentFrame(avm1::ClipId clip) {
    MovieClip* c = Clip(clip);
    return c ? c->CurrentFrame() : 0;
}

int ScriptHost::TotalFrames(avm1::ClipId clip) {
    MovieClip* c = Clip(clip);
    return c ? c->TotalFrames() : 0;
}

int ScriptHost::FindLabel(avm1::ClipId clip, const std::string& label) {
    MovieClip* c = Clip(clip);
    if (!c) return -1;
    auto it = c->Data().labels.find(label);
    if (it != c->Data().labels.end()) return it->second;
    for (const auto& l : c->Data().labels)  // labels match in any case
        if (avm1::EqualNames(l.first, label, true)) return l.second;
    return -1;
}

void ScriptHost::Goto(avm1::ClipId clip, int frame, bool play) {
    MovieClip* c = Clip(clip);
    if (!c) return;
    c->SetPlaying(play);
    if (frame >= c->TotalFrames()) return;  // past the last frame: stays where it is
    c->Goto(frame, 0, queue_);
}

void ScriptHost::SetPlaying(avm1::ClipId clip, bool playing) {
    if (MovieClip* c = Clip(clip)) c->SetPlaying(playing);
}

std::vector<const ActionBlock*> ScriptHost::FrameActions(avm1::ClipId clip, int frame) {
    std::vector<const ActionBlock*> out;
    MovieClip* c = Clip(clip);
    if (!c || frame < 0 || frame >= c->TotalFrames()) return out;
    for (const ActionBlock& b : c->Data().frames[static_cast<size_t>(frame)].actions) out.push_back(&b);
    return out;
}

// From version 6 each object has its own _focusrect, unset until a
// script sets it; before, and on a level's root, it is the movie's.
bool ScriptHost::OwnFocusRect(const DisplayObject& o) const {
    constexpr int kOwnFocusRectFrom = 6;
    return ctx_.movie.header.version >= kOwnFocusRectFrom && o.parent;
}

avm1::Value ScriptHost::GetProperty(avm1::ClipId clip, int index) {
    using avm1::Value;
    DisplayObject* o = Object(clip);
    if (!o) return Value();
    if (std::optional<double> d = GetTransformProperty(*o, index)) return Value::Num(*d);
    MovieClip* c = o->AsClip();
    switch (index) {
    case kPropCurrentFrame: return c ? Value::Num(c->CurrentFrame() + 1) : Value();
    case kPropTotalFrames:
    case kPropFramesLoaded: return c ? Value::Num(c->TotalFrames()) : Value();
    case kPropVisible: return Value::Bool(o->visible);
    case kPropTarget: return Value::String(SlashPath(PathOf(clip)));
    case kPropName: return Value::String(o->ScriptName());
    case kPropDropTarget: return Value::String(dropTarget_);
    case kPropUrl:
        for (const DisplayObject* p = o; p; p = p->parent)
            if (const MovieClip* from = p->AsClip(); from && !from->Assets().url.empty())
                return Value::String(from->Assets().url);
        return Value::String(url_);
    case kPropHighQuality: return Value::Num(quality_ == Quality::Low ? 0 : quality_ == Quality::Best ? 2 : 1);
    case kPropFocusRect:
        if (OwnFocusRect(*o)) return o->focusRect ? Value::Bool(*o->focusRect) : Value::Null();
        // Version 5 movies read the movie's flag as a number.
        if (ctx_.movie.header.version < 6) return Value::Num(focusRect_ ? 1 : 0);
        return Value::Bool(focusRect_);
    case kPropSoundBufTime: return Value::Num(soundBufTime_);
    case kPropQuality: {
        std::string name = QualityName(quality_);  // scripts read it in capitals
        for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return Value::String(name);
    }
    case kPropXMouse:
    case kPropYMouse: {
        // The clip's place counts in whole pixels here; a clip scaled to
        // nothing reads the stage's pointer a twentieth as far.
        GeomMatrix m = GeomMatrix::FromEngine(ToStage(*o));
        m.tx = std::floor(m.tx + 0.5);
        m.ty = std::floor(m.ty + 0.5);
        const GeomPoint stage{pointer_.x / double(kTwipsPerPixel), pointer_.y / double(kTwipsPerPixel)};
        auto twips = [](double px) { return std::floor(px * kTwipsPerPixel + 0.5) / kTwipsPerPixel; };
        GeomPoint p{stage.x / kTwipsPerPixel, stage.y / kTwipsPerPixel};
        if (m.Invert()) {
            // The way back moves by whole twips too.
            m.tx = twips(m.tx);
            m.ty = twips(m.ty);
            p = m.TransformPoint(stage);
        }
        // In whole twips of the clip's own space.
        return Value::Num(twips(index == kPropXMouse ? p.x : p.y));
    }
    default: return Value();
    }
}

void ScriptHost::SetProperty(avm1::ClipId clip, int index, const avm1::Value& value) {
    DisplayObject* o = Object(clip);
    if (!o) return;
    // An object goes through its valueOf, as a script's own conversion
    // would; names and qualities through its toString; the focus flag
    // takes an object as false without asking it.
    auto number = [&] { return value.IsObject() && vm_ ? vm_->ToNumber(value) : NumberOf(value); };
    if (index == kPropName || index == kPropQuality || index == kPropFocusRect) {
        SetNamedProperty(*o, index, value);
        return;
    }
    const double d = number();
    if (SetTransformProperty(*o, index, d)) return;
    // Numbers that are no number leave the rest as they were.
    if (std::isnan(d)) return;
    switch (index) {
    case kPropVisible:
        o->visible = d != 0;
        // What is hidden gives up the focus at once.
        if (!o->visible && vm_ && ctx_.focus == o->serial) bind::SetFocus(*vm_, nullptr);
        break;
    case kPropHighQuality: quality_ = d >= 2 ? Quality::Best : d != 0 ? Quality::High : Quality::Low; break;
    case kPropSoundBufTime: soundBufTime_ = Int32Of(d); break;
    default: break;
    }
}

void ScriptHost::SetNamedProperty(DisplayObject& o, int index, const avm1::Value& value) {
    switch (index) {
    case kPropName:
        // A number that is no number names the object 0.
        o.name = value.IsNumber() && std::isnan(value.n) ? "0" : vm_ ? vm_->ToString(value) : value.Text();
        if (MovieClip* parent = o.parent ? o.parent->AsClip() : nullptr) parent->Renamed(o);
        break;
    case kPropQuality: QualityFromName(vm_ ? vm_->ToString(value) : value.Text(), quality_); break;
    case kPropFocusRect:
        if (OwnFocusRect(o)) {
            if (value.IsNullish()) o.focusRect.reset();
            else o.focusRect = vm_ ? vm_->ToBool(value) : NumberOf(value) != 0;
        } else if (value.IsObject()) {
            focusRect_ = false;
        } else if (const double d = NumberOf(value); !std::isnan(d)) {
            focusRect_ = d != 0;  // null, undefined and words leave it
        }
        break;
    default: break;
    }
}

void ScriptHost::GetUrl(const std::string& url, const std::string& target, int flags) {
    const int method = flags & (kGetUrl2SendGet | kGetUrl2SendPost);
    if ((flags & kGetUrl2LoadVariables) && vm_) {  // loadVariables(Num) actions name their clip
        if (const avm1::ClipId clip = vm_->ResolvePath(Level(0), target)) LoadVariables(clip, url, method);
        return;
    }
    if (LoadLevel(url, target)) return;  // loadMovieNum, or loadMovie into "_levelN"
    if ((flags & kGetUrl2LoadTarget) && vm_) {  // loadMovie and unloadMovie into a clip path
        if (const avm1::ClipId clip = vm_->ResolvePath(Level(0), target)) LoadClip(clip, url, method);
        return;
    }
    if (!QueueHasRoom()) return;
    if (StartsWithNoCase(url, kFsCommandPrefix))
        calls_->push_back({true, false, url.substr(sizeof kFsCommandPrefix - 1), target});
    else
        calls_->push_back({false, false, url, target});
}

// A script looping on trace or getURL until its budget runs out would queue
// millions of calls for the host; past the bound they are dropped, said once.
bool ScriptHost::QueueHasRoom() {
    if (!calls_) return false;
    PassWarnings();
    if (calls_->size() < kMaxQueuedCalls) return true;
    if (!dropping_ && vm_) vm_->Report("more than " + std::to_string(kMaxQueuedCalls) + " trace and getURL calls at once: the rest dropped");
    dropping_ = true;
    return false;
}

void ScriptHost::PassWarnings() {
    if (!calls_ || ctx_.warnings.empty()) return;
    std::vector<std::string> lines;
    lines.swap(ctx_.warnings);
    for (std::string& line : lines)
        if (calls_->size() < kMaxQueuedCalls) calls_->push_back({false, true, std::move(line), std::string()});
}

void ScriptHost::StopSounds() {
    if (ctx_.sounds) ctx_.sounds->StopAll();
}

void ScriptHost::Trace(const std::string& text) {
    if (QueueHasRoom()) calls_->push_back({false, true, text, std::string()});
}

double ScriptHost::WallClock() {
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

int ScriptHost::LocalOffsetMinutes(double utcMs) { return swf::LocalOffsetMinutes(utcMs); }

}  // namespace swf
