// The player's side of the script interpreter: ids are the serials of the
// scriptable display objects (movie clips, buttons, edit text fields, all
// in PlayContext::scriptables), timeline actions go to MovieClip::Goto
// (queueing the frames' actions on the running queue), and calls out to the
// host (GetURL, FSCommand, trace) are collected, not made, so a handler that
// calls back into the player finds it idle.
//
// Natives bound to display objects (swf/bind) reach the player through
// this class: bind::HostOf(vm) gives it back from any native.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <optional>

#include "swf/host/FileReader.h"
#include "swf/model/Quality.h"
#include "swf/avm1/Host.h"
#include "swf/display/MovieClip.h"
#include "swf/classes/Drag.h"

namespace swf {

namespace avm1 {
class Vm;
}

struct HostCall {
    bool fsCommand = false;
    bool trace = false;
    std::string first;   // command, URL or traced text
    std::string second;  // arguments, or target
};

// The roots of _level1 and up, by level.
using LevelRoots = std::map<int, std::unique_ptr<MovieClip>>;

class ScriptHost : public avm1::Host {
public:
    ScriptHost(PlayContext& ctx, std::unique_ptr<MovieClip>& root, LevelRoots& levels)
        : ctx_(ctx), root_(root), levels_(levels) {}

    // What the actions of one host call queue and call.
    void Begin(ActionQueue* queue, std::vector<HostCall>* calls) {
        queue_ = queue;
        calls_ = calls;
        dropping_ = false;
    }
    // The player's own lines (PlayContext::warnings) join the host calls.
    void PassWarnings();
    void SetNow(double ms) { now_ = ms; }
    void SetVm(avm1::Vm* vm) { vm_ = vm; }
    // The pointer in stage twips (_xmouse, _ymouse, drags).
    void SetPointer(Point stage) { pointer_ = stage; }
    // The movie's _url and where files beside it are read.
    // The stage quality: the host sets it, scripts read and set it
    // (_quality, _highquality), and the renderer draws at it.
    Quality StageQuality() const { return quality_; }
    void SetStageQuality(Quality quality) { quality_ = quality; }
    void SetLoadSource(std::string url, FileReader files) {
        url_ = std::move(url);
        files_ = std::move(files);
    }
    // Loads (Loads.cpp): a file beside the movie is read once the frame's
    // actions have run (Timeline::FinishLoads); any other address goes to the host
    // as a GetURL.
    void LoadVariables(avm1::ClipId clip, const std::string& url, int method);
    // LoadVars and XML: `object` gets onData(text) at the end of the frame, or
    // onData(undefined) when the file is missing or not beside the movie.
    void LoadData(const avm1::Value& object, const std::string& url, int method);
    struct Load {
        avm1::ClipId clip = 0;    // loadVariables
        avm1::Value object;       // LoadData
        std::string key;          // of `object` in the pending list, which keeps it alive
        std::string name;         // beside the movie; empty: goes nowhere
    };
    std::vector<Load> TakeLoads();
    // Members of LoadData objects that scripts see and cannot delete: the
    // size of what they loaded, and of what they load once it arrived.
    static constexpr const char* kLoadedBytes = "_bytesLoaded";
    static constexpr const char* kTotalBytes = "_bytesTotal";
    // loadMovieNum and unloadMovieNum of files beside the movie (an empty
    // name unloads): the timeline plays them in _level1 and up
    // (Timeline::FinishLevelLoads); a load into _level0 replaces the whole
    // movie, which the player does.
    static constexpr int kMaxLevel = 16;
    struct LevelLoad {
        int level = 0;
        std::string name;
    };
    // True when `target` names a level and the request was kept.
    bool LoadLevel(const std::string& url, const std::string& target);
    // The requests for _level0 (`level0`) or for the others.
    std::vector<LevelLoad> TakeLevelLoads(bool level0);
    // The level `clip` is the root of; -1: none.
    int LevelOf(avm1::ClipId clip) const;
    // loadMovie into a clip (an empty name unloads it), done on the next
    // frame by Timeline::FinishClipLoads; other addresses go to the host.
    // A MovieClipLoader `loader` hears how the load went (kept alive in
    // the pending list under `key` until then).
    struct ClipLoad {
        avm1::ClipId clip = 0;
        std::string name;
        avm1::Value loader;
        std::string key;
    };
    // False when the load could not be started.
    bool LoadClip(avm1::ClipId clip, const std::string& url, int method, const avm1::Value& loader = avm1::Value());
    std::vector<ClipLoad> TakeClipLoads() {
        std::vector<ClipLoad> out = std::move(clipLoads_);
        clipLoads_.clear();
        return out;
    }
    // Lets a taken LoadData object or loader go.
    void Release(const std::string& key);
    // The bytes of a file beside the movie, at most `limit`.
    bool ReadBeside(const std::string& name, size_t limit, std::vector<uint8_t>& bytes) const {
        return files_ && files_(name, limit, bytes);
    }
    const std::string& Url() const { return url_; }
    void SetDropTarget(const std::string& slashPath) { dropTarget_ = slashPath; }
    // _droptarget: what is under the pointer besides `dragged`.
    void UpdateDropTarget(const DisplayObject* dragged);

    // For the bindings.
    PlayContext& Context() { return ctx_; }
    MovieClip* Root() { return root_.get(); }
    avm1::Vm& VmRef() { return *vm_; }
    // Null outside a host call: what actions queue (frames entered by gotos).
    ActionQueue* Queue() { return queue_; }
    Point Pointer() const { return pointer_; }
    bool FocusRect() const { return focusRect_; }  // _focusrect
    void SetFocusRect(bool on) { focusRect_ = on; }
    // Set for good once SWF 8 code asks for bounds: from then on an empty
    // clip's bounds in another clip's space come out as 2^27 twips.
    bool wholeNowhere = false;
    DisplayObject* Object(avm1::ClipId id) const { return id ? ctx_.FindObject(id) : nullptr; }
    MovieClip* Clip(avm1::ClipId id) const { return id ? ctx_.FindClip(id) : nullptr; }
    // The scriptable object `obj` belongs to: itself when scriptable, else
    // the nearest scriptable ancestor (0 for none).
    avm1::ClipId IdOf(const DisplayObject* obj) const;

    // Tree edits of scripts (ScriptTreeEdits.cpp). Duplicate reports a
    // refusal (depth, budget) in the Vm's errors; Remove destroys `obj`
    // when scripts may remove it.
    DisplayObject* Duplicate(DisplayObject& obj, const std::string& name, double depth);
    void Remove(DisplayObject& obj);
    // Whether `obj` or a clip in it handles unload (onClipEvent or an
    // onUnload set on the object itself).
    bool HasUnloadHandler(DisplayObject& obj);
    // Called for every object scripts create, once it is in the tree: a
    // clip's load event follows the actions queued so far.
    void Created(DisplayObject& obj);
    void BeginDrag(DisplayObject& obj, bool lockCenter, std::optional<GeomRect> limits);
    // Moves the dragged object after the pointer (the player calls it on moves).
    void FollowDrag();
    // The pointer in `space`'s coordinates (pixels); null: the stage's.
    GeomPoint PointerIn(const DisplayObject* space) const;

    avm1::ClipId Level(int n) override;
    bool IsLevel(avm1::ClipId clip) override { return LevelOf(clip) >= 0; }
    avm1::ObjectKind KindOf(avm1::ClipId clip) override;
    bool InTree(avm1::ClipId clip) override;
    int VersionOf(avm1::ClipId clip) override;
    avm1::ClipId Parent(avm1::ClipId clip) override;
    avm1::ClipId Child(avm1::ClipId clip, const std::string& name, bool caseInsensitive) override;
    std::vector<std::string> ChildNames(avm1::ClipId clip) override;
    std::string PathOf(avm1::ClipId clip) override;
    uint32_t TreeVersion() override { return ctx_.treeEdits; }
    int CurrentFrame(avm1::ClipId clip) override;
    int TotalFrames(avm1::ClipId clip) override;
    int FindLabel(avm1::ClipId clip, const std::string& label) override;
    void Goto(avm1::ClipId clip, int frame, bool play) override;
    void SetPlaying(avm1::ClipId clip, bool playing) override;
    std::vector<const ActionBlock*> FrameActions(avm1::ClipId clip, int frame) override;
    // Both go to ClipProperties for what the display side knows; writes
    // mark the object scripted there.
    avm1::Value GetProperty(avm1::ClipId clip, int index) override;
    void SetProperty(avm1::ClipId clip, int index, const avm1::Value& value) override;
    void CloneSprite(avm1::ClipId clip, const std::string& name, int depth) override;
    void RemoveSprite(avm1::ClipId clip) override;
    void StartDrag(avm1::ClipId clip, bool lockCenter) override;
    void StopDrag() override;
    void GetUrl(const std::string& url, const std::string& target, int method) override;
    void Trace(const std::string& text) override;
    static constexpr size_t kMaxQueuedCalls = 1 << 16;
    void StopSounds() override;
    double Now() override { return now_; }
    double WallClock() override;
    int LocalOffsetMinutes(double utcMs) override;
    double StageWidth() override { return ctx_.movie.header.stage.Width() / 20.0; }
    double StageHeight() override { return ctx_.movie.header.stage.Height() / 20.0; }

private:
    bool OwnFocusRect(const DisplayObject& o) const;
    // _name, _quality and _focusrect, which take their value unconverted.
    void SetNamedProperty(DisplayObject& o, int index, const avm1::Value& value);
    PlayContext& ctx_;
    std::unique_ptr<MovieClip>& root_;
    LevelRoots& levels_;
    avm1::Vm* vm_ = nullptr;
    ActionQueue* queue_ = nullptr;
    std::vector<HostCall>* calls_ = nullptr;
    bool QueueHasRoom();
    // Holds `object` alive in the pending list; the key to release it by.
    std::string Keep(const avm1::Value& object);
    bool dropping_ = false;
    double now_ = 0;
    Point pointer_;
    Drag drag_;
    Quality quality_ = Quality::High;
    std::string url_;
    FileReader files_;
    std::vector<Load> loads_;
    uint32_t loadSerial_ = 0;
    std::vector<LevelLoad> levelLoads_;
    std::vector<ClipLoad> clipLoads_;
    std::string dropTarget_;  // slash path of what a drag last dropped on
    bool focusRect_ = true;
    int32_t soundBufTime_ = 5;  // _soundbuftime, seconds
};

}  // namespace swf
