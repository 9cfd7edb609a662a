// Files scripts load from beside the movie: variables into clips, and text
// for LoadVars and XML objects. Requests are collected while actions run
// and finished once the frame's actions have run: a file beside the movie
// arrives by the end of the frame that asked for it, so captures and seeks
// see the same thing on every run.
#include "swf/model/FormatCodes.h"
#include "swf/avm1/Object.h"
#include "swf/bind/Bindings.h"
#include "swf/play/Timeline.h"
#include "swf/classes/UrlVars.h"
#include "swf/host/FileReader.h"

namespace swf {

namespace {

constexpr size_t kMaxPendingLoads = 64;
constexpr size_t kMaxLoadedText = 1 << 20;
const char kPendingList[] = "$loading";

}  // namespace

void ScriptHost::LoadVariables(avm1::ClipId clip, const std::string& url, int method) {
    if (!BesideMovie(url)) GetUrl(url, PathOf(clip), method);
    else if (loads_.size() < kMaxPendingLoads) loads_.push_back({clip, avm1::Value(), std::string(), url});
    else if (vm_) vm_->Report("loadVariables: too many loads at once, " + url + " dropped");
}

void ScriptHost::LoadData(const avm1::Value& object, const std::string& url, int method) {
    if (!vm_ || !object.IsObject()) return;
    if (loads_.size() >= kMaxPendingLoads) {
        vm_->Report("load: too many loads at once, " + url + " dropped");
        return;
    }
    const bool beside = BesideMovie(url);
    if (!beside) GetUrl(url, std::string(), method);
    loads_.push_back({0, object, Keep(object), beside ? url : std::string()});
}

std::string ScriptHost::Keep(const avm1::Value& object) {
    avm1::Value list = vm_->global->Find(kPendingList, vm_->Ci()) ? vm_->global->Find(kPendingList, vm_->Ci())->value
                                                                   : avm1::Value();
    if (!list.IsObject()) {
        list = avm1::Value::Obj(vm_->NewObject());
        vm_->SetHidden(vm_->global, kPendingList, list);
    }
    std::string key = std::to_string(++loadSerial_);
    list.o->Put(key, vm_->Ci()).value = object;
    return key;
}

bool ScriptHost::LoadLevel(const std::string& url, const std::string& target) {
    constexpr size_t kPrefix = 6;  // "_level"
    if (target.size() <= kPrefix || target.size() > kPrefix + 2 || !avm1::EqualNames(target.substr(0, kPrefix), "_level", true))
        return false;
    int level = 0;
    for (size_t i = kPrefix; i < target.size(); ++i) {
        if (target[i] < '0' || target[i] > '9') return false;
        level = level * 10 + (target[i] - '0');
    }
    if (level > kMaxLevel || (!url.empty() && !BesideMovie(url))) return false;
    if (levelLoads_.size() < kMaxPendingLoads) levelLoads_.push_back({level, url});
    return true;
}

std::vector<ScriptHost::LevelLoad> ScriptHost::TakeLevelLoads(bool level0) {
    std::vector<LevelLoad> taken, kept;
    for (LevelLoad& l : levelLoads_) ((l.level == 0) == level0 ? taken : kept).push_back(std::move(l));
    levelLoads_ = std::move(kept);
    return taken;
}

bool ScriptHost::LoadClip(avm1::ClipId clip, const std::string& url, int method, const avm1::Value& loader) {
    if (!url.empty() && !BesideMovie(url)) {
        GetUrl(url, PathOf(clip), method);
        return loader.IsUndefined();
    }
    if (const int level = LevelOf(clip); level >= 0) {  // a level's root: a load into the level
        if (levelLoads_.size() >= kMaxPendingLoads) return false;
        levelLoads_.push_back({level, url});
        return true;
    }
    if (clipLoads_.size() >= kMaxPendingLoads) {
        if (vm_) vm_->Report("loadMovie: too many loads at once, " + url + " dropped");
        return false;
    }
    const bool heard = vm_ && loader.IsObject();
    clipLoads_.push_back({clip, url, heard ? loader : avm1::Value(), heard ? Keep(loader) : std::string()});
    return true;
}

std::vector<ScriptHost::Load> ScriptHost::TakeLoads() {
    std::vector<Load> out = std::move(loads_);
    loads_.clear();
    return out;
}

void ScriptHost::Release(const std::string& key) {
    if (!vm_ || key.empty()) return;
    if (avm1::Property* list = vm_->global->Find(kPendingList, vm_->Ci()))
        if (list->value.IsObject()) list->value.o->Remove(key, vm_->Ci());
}

std::vector<HostCall> Timeline::FinishLoads() {
    std::vector<HostCall> calls;
    std::vector<ScriptHost::Load> loads = scriptHost_.TakeLoads();
    if (loads.empty()) return calls;
    ActionQueue queue;
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    for (const ScriptHost::Load& load : loads) {
        std::vector<uint8_t> bytes;
        const bool read = !load.name.empty() && scriptHost_.ReadBeside(load.name, kMaxLoadedText, bytes);
        if (!read && !load.name.empty()) vm_.Report("load: cannot read " + load.name + " beside the movie");
        const std::string text(bytes.begin(), bytes.end());
        if (!load.object.IsUndefined()) {
            if (read) {
                const avm1::Value size = avm1::Value::Num(double(bytes.size()));
                bind::SetLoadedBytes(vm_, load.object.o, size, size);
            }
            vm_.CallHandler(load.object, "onData", {read ? avm1::Value::String(text) : avm1::Value()});
            scriptHost_.Release(load.key);
            continue;
        }
        if (!read || !ctx_.FindObject(load.clip)) continue;
        try {
            for (const UrlVar& v : DecodeUrlVars(text))
                vm_.SetMember(vm_.ClipValue(load.clip), v.first, avm1::Value::String(v.second));
        } catch (const avm1::ScriptAbort& a) {
            vm_.Report("loadVariables stopped: " + a.why);
        } catch (const avm1::ScriptThrow&) {
            vm_.Report("loadVariables: a watcher threw");
        }
        queue.push_back({load.clip, nullptr, 0, kClipData});
    }
    std::vector<HostCall> more = RunActions(queue);
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

}  // namespace swf
