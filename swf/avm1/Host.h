// What the interpreter needs from the player, and nothing more: finding
// clips, their timelines, their properties by index, calls out to the host
// (GetURL, FSCommand, trace) and the clock. The player implements it over
// its display tree; the tests implement it with a fake.
//
// Display objects scripts can name (movie clips, buttons, edit text fields;
// "clips" below) are named by ids the host hands out (0: none). An id stays
// valid until the host reports the object gone (Vm::ClipRemoved, or
// ForgetClips). KindOf tells which prototype the object's script object
// gets; the timeline calls (frames, gotos) only mean something for movie
// clips and do nothing on the others.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/avm1/Value.h"

namespace swf {
struct ActionBlock;
}

namespace swf::avm1 {

using ClipId = uint32_t;

enum class ObjectKind : uint8_t { None, Clip, Button, TextField };

class Host {
public:
    virtual ~Host() = default;

    // Tree.
    virtual ClipId Level(int n) = 0;  // _level0 is the root
    // Whether `clip` is the root of a level (_root of what is in it).
    virtual bool IsLevel(ClipId clip) { return clip && clip == Level(0); }
    virtual ObjectKind KindOf(ClipId clip) { return clip ? ObjectKind::Clip : ObjectKind::None; }
    virtual ClipId Parent(ClipId clip) = 0;
    // False once the object left the display list, even while still found.
    virtual bool InTree(ClipId clip) { return clip != 0; }
    // The SWF version of the movie the object came from, whose rules its
    // code runs by; 0: unknown (the first movie's).
    virtual int VersionOf(ClipId) { return 0; }
    // A child instance by name (case-insensitive before SWF 7), of any kind.
    virtual ClipId Child(ClipId clip, const std::string& name, bool caseInsensitive) = 0;
    // Names of the named child instances, for for-in over a clip.
    virtual std::vector<std::string> ChildNames(ClipId) { return {}; }
    // "_level0.a.b"
    virtual std::string PathOf(ClipId clip) = 0;
    // Changes whenever what a path finds may have changed; 0: the host does
    // not count, so every path is walked again on each use.
    virtual uint32_t TreeVersion() { return 0; }

    // Timeline. Frames are 0-based.
    virtual int CurrentFrame(ClipId clip) = 0;
    virtual int TotalFrames(ClipId clip) = 0;
    virtual int FindLabel(ClipId clip, const std::string& label) = 0;  // -1: none
    virtual void Goto(ClipId clip, int frame, bool play) = 0;
    virtual void SetPlaying(ClipId clip, bool playing) = 0;
    // The action blocks of a frame, for the Call action.
    virtual std::vector<const ActionBlock*> FrameActions(ClipId clip, int frame) = 0;

    // Properties by the index GetProperty/SetProperty use (_x is 0).
    virtual Value GetProperty(ClipId clip, int index) = 0;
    virtual void SetProperty(ClipId clip, int index, const Value& value) = 0;
    virtual void CloneSprite(ClipId, const std::string& /*name*/, int /*depth*/) {}
    virtual void RemoveSprite(ClipId) {}
    virtual void StartDrag(ClipId, bool /*lockCenter*/) {}
    virtual void StopDrag() {}

    // Out to the host. `url` may be "FSCommand:..."; `method` is the GetURL2
    // send method (0 none, 1 GET, 2 POST) with its load-target and
    // load-variables flags.
    virtual void GetUrl(const std::string& url, const std::string& target, int method) = 0;
    virtual void Trace(const std::string& text) = 0;
    virtual void ToggleQuality() {}
    virtual void StopSounds() {}

    // The player's clock in ms since the movie started: drives intervals
    // and getTimer, so a seek or a capture gives the same results each run.
    virtual double Now() = 0;
    // Wall time for Date: ms since 1970 (UTC) and the local offset in minutes.
    virtual double WallClock() = 0;
    virtual int LocalOffsetMinutes(double /*utcMs*/) { return 0; }
    // The movie's stage size in pixels (Stage.width and Stage.height).
    virtual double StageWidth() { return 0; }
    virtual double StageHeight() { return 0; }
};

}  // namespace swf::avm1
