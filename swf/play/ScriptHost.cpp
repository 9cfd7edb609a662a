#include "swf/play/ScriptHost.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "swf/FormatCodes.h"
#include "swf/avm1/Object.h"

namespace swf {

namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    const std::string p = prefix;
    return s.size() >= p.size() && avm1::EqualNames(s.substr(0, p.size()), p, true);
}

// The built-in clip properties the player has today, by index.
enum PropertyIndex { kX = 0, kY = 1, kXScale = 2, kYScale = 3, kCurrentFrame = 4, kTotalFrames = 5, kAlpha = 6,
                     kVisible = 7, kRotation = 10, kTarget = 11, kFramesLoaded = 12, kName = 13, kUrl = 15,
                     kQuality = 19 };

}  // namespace

avm1::ClipId ScriptHost::Level(int n) { return n == 0 && root_ ? root_->Serial() : 0; }

avm1::ClipId ScriptHost::Parent(avm1::ClipId clip) {
    MovieClip* c = Find(clip);
    for (DisplayObject* p = c ? c->parent : nullptr; p; p = p->parent)
        if (MovieClip* pc = p->AsClip()) return pc->Serial();
    return 0;
}

avm1::ClipId ScriptHost::Child(avm1::ClipId clip, const std::string& name, bool caseInsensitive) {
    MovieClip* c = Find(clip);
    if (!c) return 0;
    for (const auto& entry : c->List()) {
        MovieClip* child = entry.second->AsClip();
        if (child && avm1::EqualNames(child->name, name, caseInsensitive)) return child->Serial();
    }
    return 0;
}

std::string ScriptHost::PathOf(avm1::ClipId clip) {
    MovieClip* c = Find(clip);
    if (!c) return std::string();
    if (c == root_.get()) return "_level0";
    const std::string name = c->name.empty() ? "instance" + std::to_string(c->Serial()) : c->name;
    avm1::ClipId parent = Parent(clip);
    return parent ? PathOf(parent) + "." + name : name;
}

int ScriptHost::CurrentFrame(avm1::ClipId clip) {
    MovieClip* c = Find(clip);
    return c ? c->CurrentFrame() : 0;
}

int ScriptHost::TotalFrames(avm1::ClipId clip) {
    MovieClip* c = Find(clip);
    return c ? c->TotalFrames() : 0;
}

int ScriptHost::FindLabel(avm1::ClipId clip, const std::string& label) {
    MovieClip* c = Find(clip);
    if (!c) return -1;
    auto it = c->Data().labels.find(label);
    if (it != c->Data().labels.end()) return it->second;
    for (const auto& l : c->Data().labels)  // labels match in any case
        if (avm1::EqualNames(l.first, label, true)) return l.second;
    return -1;
}

void ScriptHost::Goto(avm1::ClipId clip, int frame, bool play) {
    MovieClip* c = Find(clip);
    if (!c) return;
    c->SetPlaying(play);
    c->Goto(frame, 0, queue_);
}

void ScriptHost::SetPlaying(avm1::ClipId clip, bool playing) {
    if (MovieClip* c = Find(clip)) c->SetPlaying(playing);
}

std::vector<const ActionBlock*> ScriptHost::FrameActions(avm1::ClipId clip, int frame) {
    std::vector<const ActionBlock*> out;
    MovieClip* c = Find(clip);
    if (!c || frame < 0 || frame >= c->TotalFrames()) return out;
    for (const ActionBlock& b : c->Data().frames[static_cast<size_t>(frame)].actions) out.push_back(&b);
    return out;
}

avm1::Value ScriptHost::GetProperty(avm1::ClipId clip, int index) {
    using avm1::Value;
    MovieClip* c = Find(clip);
    if (!c) return Value();
    const Matrix& m = c->matrix;
    switch (index) {
    case kX: return Value::Num(m.tx / double(kTwipsPerPixel));
    case kY: return Value::Num(m.ty / double(kTwipsPerPixel));
    case kXScale: return Value::Num(std::hypot(m.a, m.b) * 100 / kFixedOne);
    case kYScale: return Value::Num(std::hypot(m.c, m.d) * 100 / kFixedOne);
    case kCurrentFrame: return Value::Num(c->CurrentFrame() + 1);
    case kTotalFrames:
    case kFramesLoaded: return Value::Num(c->TotalFrames());
    case kAlpha: return Value::Num(c->cxform.aMul * 100.0 / 256);
    case kVisible: return Value::Bool(c->visible);
    case kRotation: return Value::Num(std::atan2(m.b, m.a) * 180 / 3.141592653589793);
    case kTarget: {
        std::string path = PathOf(clip);
        std::string slash = "/";
        size_t dot = path.find('.');
        if (dot != std::string::npos) slash += path.substr(dot + 1);
        for (char& ch : slash)
            if (ch == '.') ch = '/';
        return Value::String(slash);
    }
    case kName: return Value::String(c == root_.get() ? std::string() : c->name);
    case kUrl: return Value::String(std::string());
    case kQuality: return Value::String("HIGH");
    default: return Value();  // the rest come with the movie-clip step
    }
}

void ScriptHost::SetProperty(avm1::ClipId clip, int index, const avm1::Value& value) {
    MovieClip* c = Find(clip);
    if (!c) return;
    auto number = [&value] {
        if (value.IsNumber()) return value.n;
        if (value.IsString()) return avm1::StringToNumber(value.Text(), 7);
        return value.kind == avm1::Value::Kind::Bool ? (value.b ? 1.0 : 0.0) : std::nan("");
    };
    const double d = number();
    switch (index) {
    case kX: if (std::isfinite(d)) c->matrix.tx = static_cast<int32_t>(std::lround(d * kTwipsPerPixel)); break;
    case kY: if (std::isfinite(d)) c->matrix.ty = static_cast<int32_t>(std::lround(d * kTwipsPerPixel)); break;
    case kVisible: c->visible = std::isnan(d) ? !value.Text().empty() : d != 0; break;
    case kName: if (value.IsString()) c->name = value.Text(); break;
    default: break;
    }
}

void ScriptHost::GetUrl(const std::string& url, const std::string& target, int) {
    if (!calls_) return;
    if (StartsWithNoCase(url, kFsCommandPrefix))
        calls_->push_back({true, false, url.substr(sizeof kFsCommandPrefix - 1), target});
    else
        calls_->push_back({false, false, url, target});
}

void ScriptHost::Trace(const std::string& text) {
    if (calls_) calls_->push_back({false, true, text, std::string()});
}

double ScriptHost::WallClock() {
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

int ScriptHost::LocalOffsetMinutes(double utcMs) {
    if (!std::isfinite(utcMs)) return 0;
    std::time_t t = static_cast<std::time_t>(std::floor(utcMs / 1000));
    std::tm local{}, utc{};
    if (const std::tm* l = std::localtime(&t)) local = *l; else return 0;
    if (const std::tm* g = std::gmtime(&t)) utc = *g; else return 0;
    // Both read as local: their difference is the zone's offset.
    local.tm_isdst = 0;
    utc.tm_isdst = 0;
    return static_cast<int>(std::difftime(std::mktime(&local), std::mktime(&utc)) / 60);
}

}  // namespace swf
