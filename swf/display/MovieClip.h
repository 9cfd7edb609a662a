// A movie clip: the root or a sprite, with its own frames, frame position,
// play state and children by depth.
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

#include <map>
#include <memory>

#include "swf/display/DisplayObject.h"
#include "swf/display/NameIndex.h"

namespace swf {

class Drawing;

class MovieClip : public DisplayObject {
public:
    // `def` is null for the root, whose frames are the movie's own. Its
    // children are built from `from` (null: the playing movie).
    MovieClip(PlayContext& ctx, const TimelineData& data, int nesting, uint16_t id = 0,
              const SpriteCharacter* def = nullptr, const MovieAssets* from = nullptr);
    ~MovieClip() override;

    uint32_t Serial() const { return serial; }
    int CurrentFrame() const { return current_; }
    int TotalFrames() const { return static_cast<int>(data_.frames.size()); }
    // Counts the times it moved to a frame (Start included).
    uint32_t FramesEntered() const { return framesEntered_; }
    bool IsPlaying() const { return playing_; }
    void SetPlaying(bool playing) { playing_ = playing; }
    const TimelineData& Data() const { return data_; }
    const DisplayList& List() const { return list_; }
    DisplayList& List() { return list_; }
    // Puts `obj` at `depth` in place of what was there.
    DisplayObject& Put(int32_t depth, std::unique_ptr<DisplayObject> obj);
    // `child` took a new name or depth (Put covers the ones it places).
    void Renamed(const DisplayObject& child);
    // The first child in depth order called `name` that `want` accepts.
    DisplayObject* Named(const std::string& name, bool caseInsensitive, bool (*want)(const DisplayObject&)) const {
        return names_.Find(list_, name, caseInsensitive, want);
    }
    int Nesting() const { return nesting_; }
    const MovieAssets& Assets() const { return *from_; }
    // A clip a movie was loaded into owns it (and is built from it).
    void Own(std::shared_ptr<MovieAssets> loaded) {
        owned_ = std::move(loaded);
        from_ = owned_.get();
    }
    bool Loaded() const { return owned_ != nullptr; }

    // Enters frame 0 of a fresh clip (its first frame's commands).
    void Start(ActionQueue* queue);
    // Goes to `target` (clamped); see the header comment.
    void Goto(int target, int keptTicks, ActionQueue* queue);
    // One clock tick: the next frame when playing (after the last the file
    // holds, frame 0 if the timeline loops), and every child ticks too.
    void Tick(ActionQueue* queue);

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    bool HitTest(const Matrix& m, Point point) const override;
    // Whether what scripts drew (not the children) covers the point.
    bool DrawingHit(const Matrix& m, Point point) const;
    void AddBounds(const Matrix& m, Rect& box, bool& any) const override;
    bool Animates() const override { return true; }
    void Tick(PlayContext&, ActionQueue* queue) override { Tick(queue); }
    // What scripts drew with the drawing API, under the children.
    Drawing& Graphics();
    std::unique_ptr<Drawing> drawing;
    // Its registered class's constructor has run (or it has none).
    bool constructed = false;
    MovieClip* AsClip() override { return this; }
    const MovieClip* AsClip() const override { return this; }

private:
    struct Pending;
    void Merge(int from, int to, bool forward, bool warn, std::map<int32_t, Pending>& pending) const;

    PlayContext& ctx_;
    const MovieAssets* from_;
    std::shared_ptr<MovieAssets> owned_;  // before the children, which it outlives
    const TimelineData& data_;
    int nesting_;
    int current_ = -1;  // -1 until Start
    uint32_t framesEntered_ = 0;
    bool playing_ = true;
    DisplayList list_;
    NameIndex names_;
};

}  // namespace swf
