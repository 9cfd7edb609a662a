// The playing state: display objects by depth and the clips (root and
// sprites) that own them.
//
// A clip moves between frames only through Goto, which implements both
// playing (one frame on) and seeking:
//  1. Frames are deltas. Going forward replays the commands of the frames
//     after the current one on top of the current list; going backward
//     replays frames 0..target from an empty list.
//  2. The commands are merged per depth first and applied once. An object
//     is kept (not re-created) when the merge says it survived: going
//     forward, when no command in between removed or replaced it; going
//     backward, when the target list has the same character at its depth.
//     A kept sprite keeps its own frame position and play state: the goto
//     of actions. Host seeks rebuild instead (Timeline::Seek).
//  3. A sprite created at frame p of a goto to frame t is advanced t - p
//     ticks without actions, and kept sprites `keptTicks` ticks, so that
//     a forward goto from a played state shows what playing to t shows.
//  4. Frame actions are queued only when an ActionQueue is given (playing
//     and gotos from actions); host seeks pass none and run no actions.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/Movie.h"

namespace swf {

class Clip;

enum class DisplayKind : uint8_t { Shape, Sprite, Button };  // later: Bitmap, Text, Morph

// Pointer phases of a button; the drawn state follows from the phase.
enum class ButtonPhase : uint8_t { Idle, OverUp, OverDown, OutDown };

struct DisplayObject;
using DisplayList = std::map<uint16_t, DisplayObject>;  // by depth, drawn in order

struct DisplayObject {
    DisplayKind kind = DisplayKind::Shape;
    uint32_t serial = 0;  // unique per instance, for identity across gotos
    uint16_t depth = 0;
    uint16_t characterId = 0;
    const Character* character = nullptr;
    Matrix matrix;
    ColorTransform cxform;
    uint16_t ratio = 0;
    // Objects up to this depth are masked by this one. Masks are not drawn
    // yet (a later step draws them as clips); the masked objects draw
    // unmasked.
    uint16_t clipDepth = 0;
    uint8_t blendMode = 0;
    std::string name;
    std::unique_ptr<Clip> clip;  // sprites (null when over a nesting limit)
    ButtonPhase phase = ButtonPhase::Idle;
    DisplayList buttonChildren;  // the characters of the button's drawn state
};

struct QueuedActions {
    uint32_t clipSerial = 0;
    const ActionBlock* block = nullptr;
};
using ActionQueue = std::vector<QueuedActions>;

// Shared by every clip of one playing movie.
struct PlayContext {
    static constexpr int kMaxNesting = 32;
    static constexpr size_t kMaxLiveClips = 1 << 16;
    // Work (clip ticks plus the objects they carry) one host call may spend
    // advancing sprites silently; past it, sprites stop where they are.
    static constexpr size_t kSilentWorkBudget = 1 << 20;
    // Objects one host call may create. Buttons and sprites can contain each
    // other (or themselves) many times over, so nesting alone would still let
    // a small file ask for an exponential number of objects.
    static constexpr size_t kBuildBudget = 1 << 18;

    explicit PlayContext(const Movie& m) : movie(m) {}
    const Movie& movie;
    uint32_t nextSerial = 1;
    std::unordered_map<uint32_t, Clip*> liveClips;
    size_t silentWorkLeft = kSilentWorkBudget;
    size_t buildsLeft = kBuildBudget;

    // Every entry from the host starts with fresh budgets.
    void BeginHostCall() {
        silentWorkLeft = kSilentWorkBudget;
        buildsLeft = kBuildBudget;
    }

    Clip* FindClip(uint32_t serial) const {
        auto it = liveClips.find(serial);
        return it == liveClips.end() ? nullptr : it->second;
    }
};

class Clip {
public:
    Clip(PlayContext& ctx, const TimelineData& data, int nesting);
    ~Clip();
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;

    uint32_t Serial() const { return serial_; }
    int CurrentFrame() const { return current_; }
    int TotalFrames() const { return static_cast<int>(data_.frames.size()); }
    bool IsPlaying() const { return playing_; }
    void SetPlaying(bool playing) { playing_ = playing; }
    const TimelineData& Data() const { return data_; }
    const DisplayList& List() const { return list_; }
    DisplayList& List() { return list_; }
    int Nesting() const { return nesting_; }

    // Enters frame 0 of a fresh clip (its first frame's commands).
    void Start(ActionQueue* queue);
    // Goes to `target` (clamped); see the header comment.
    void Goto(int target, int keptTicks, ActionQueue* queue);
    // One clock tick: the next frame when playing (frame 0 after the last),
    // and every child sprite ticks too.
    void Tick(ActionQueue* queue);

private:
    struct Pending;
    void Merge(int from, int to, bool forward, std::map<uint16_t, Pending>& pending) const;
    DisplayObject Create(const Pending& p, ActionQueue* queue);
    void TickChildren(DisplayList& list, ActionQueue* queue);
    void Advance(DisplayObject& obj, int ticks, ActionQueue* queue);

    PlayContext& ctx_;
    const TimelineData& data_;
    int nesting_;
    uint32_t serial_;
    int current_ = -1;  // -1 until Start
    bool playing_ = true;
    DisplayList list_;
};

// A new display object of a character (sprites get their clip, started at
// frame 0; buttons their Up state). Unknown ids give an empty object that
// still holds its depth.
DisplayObject Instantiate(PlayContext& ctx, uint16_t characterId, int nesting, ActionQueue* queue);
// Rebuilds the children of a button for its current phase.
void BuildButtonChildren(PlayContext& ctx, DisplayObject& button, int nesting);

}  // namespace swf
