// What scripts do to a clip's children by depth: look up, find the next free
// depth, swap, create empty clips, duplicate and remove.
//
// Depths as scripts number them are the engine's minus kScriptDepthOffset:
// the file's depth 1 reads as -16383, and scripts create at 0 and above.
// Objects at script depths 0 and above belong to scripts: a timeline that
// rewinds leaves them alone, and only they can be removed by script.
// Everything created here counts against the movie's build budget and live
// clip limit, so a script attaching clips in a loop stops at them.
#pragma once

#include <string>

#include "swf/display/MovieClip.h"

namespace swf {

class EditTextObject;

constexpr int32_t kScriptDepthOffset = 16384;
constexpr int32_t kMinScriptDepth = -16384;
constexpr int32_t kMaxScriptDepth = 2130690044;
constexpr int32_t kMaxRemovableDepth = 2130690031;

inline int32_t ScriptDepth(const DisplayObject& obj) { return obj.depth - kScriptDepthOffset; }

DisplayObject* InstanceAtDepth(const MovieClip& parent, double scriptDepth);
// One above the highest script depth in use, never below 0.
int32_t NextHighestDepth(const MovieClip& parent);
// Moves `obj` to `scriptDepth`, and what was there to obj's old depth.
// False when the depth is out of range or obj is not parent's child.
bool SwapDepths(MovieClip& parent, DisplayObject& obj, double scriptDepth);

// Both replace what sits at the depth. Null when the depth is out of range
// or a budget is spent.
MovieClip* CreateEmptyClip(PlayContext& ctx, MovieClip& parent, const std::string& name, double scriptDepth);
// A fresh instance of obj's character with obj's placement (and drawing),
// in obj's parent; it starts at its first frame.
DisplayObject* DuplicateClip(PlayContext& ctx, DisplayObject& obj, const std::string& name,
                             double scriptDepth);
// A new instance of a character (attachMovie), its first frame's actions
// queued on `queue`; null past the depth range, the budget or the nesting limit.
DisplayObject* AttachCharacter(PlayContext& ctx, MovieClip& parent, uint16_t characterId, const std::string& name,
                               double scriptDepth, ActionQueue* queue);
// An empty text field `bounds` (twips) big, as createTextField makes it.
EditTextObject* CreateEmptyField(PlayContext& ctx, MovieClip& parent, const std::string& name, double scriptDepth,
                                 const Rect& bounds);
// Puts an object scripts made (attachBitmap) at a depth; null (and `obj`
// dropped) when the depth is out of range or the build budget is spent.
DisplayObject* PlaceAtDepth(PlayContext& ctx, MovieClip& parent, std::unique_ptr<DisplayObject> obj,
                            double scriptDepth);
// Only objects at script depths 0..kMaxRemovableDepth go; true when removed.
// `obj` is destroyed, or with a queue, leaves (below).
bool RemoveClip(DisplayObject& obj, PlayContext* ctx = nullptr, ActionQueue* queue = nullptr);

// An object out of the tree: without a queue it is destroyed at once; with
// one, the unload events of it and every clip in it (outer first) go into
// the queue at `at`, and it lives on in ctx.leaving until they ran. Returns
// the entries queued.
size_t Leave(PlayContext& ctx, std::unique_ptr<DisplayObject> obj, ActionQueue* queue, size_t at);

// Takes the child at `it` out of `parent`. With a queue, a clip that
// handles unload (ctx.handlesUnload) is not gone yet: it moves below every
// other depth, to -1 - depth (script depth -32769 - depth), where names
// still find it, and goes when the next frame starts (DropUnloaded). The
// rest leaves (Leave). Adds the unload events queued to `at`; returns the
// child after the one taken.
DisplayList::iterator TakeOut(PlayContext& ctx, MovieClip& parent, DisplayList::iterator it, ActionQueue* queue,
                              size_t& at);
// The clips kept by TakeOut leave for good.
void DropUnloaded(PlayContext& ctx);

// The empty timeline of clips made by script: one frame, nothing in it.
const TimelineData& EmptyTimeline();

// A timeline command gave the object `was` a new character of the same
// kind: in a movie with ActionScript 3 it stays the same object for
// scripts, only its looks change. `fresh`, built from the new character,
// takes over who `was` is; false when the kinds differ.
bool ReplaceInPlace(DisplayObject& was, DisplayObject& fresh);

}  // namespace swf
