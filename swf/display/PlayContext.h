// What every display object of one playing movie shares: the movie, its
// fonts, the serial counter, the live movie clips by serial, the live
// scriptable objects (clips, buttons, edit text fields) by serial, and the
// work budgets that bound one call from the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "swf/model/Movie.h"
#include "swf/classes/ScriptBitmaps.h"

namespace swf {

class MovieClip;
class DisplayObject;
class FontLibrary;
class ScriptBitmaps;
class BitmapSource;
class SoundSystem;

// Where objects built from one movie find their characters, fonts and
// bitmap fills: the playing movie's, or those of a movie loaded into a clip.
struct MovieAssets {
    const Movie* movie = nullptr;
    FontLibrary* fonts = nullptr;
    const BitmapSource* bitmaps = nullptr;  // null: the renderer's own
    std::string url;  // of a loaded movie; empty: the host movie's
    // Sprites whose DoInitAction ran: per movie, as a loaded movie's ids
    // are its own.
    mutable std::set<uint16_t> initDone;
};

struct QueuedActions {
    uint32_t clipSerial = 0;
    const ActionBlock* block = nullptr;
    uint16_t initFor = 0;  // DoInitAction: the sprite it initialises, run once
    // Not a block but an event (a ClipEventFlags bit): the object's
    // onClipEvent handlers for it, then its handler property. Serial 0:
    // the event's listeners (Mouse, Key, Stage).
    uint32_t event = 0;
    uint8_t keyCode = 0;  // keyPress events: the key
};
using ActionQueue = std::vector<QueuedActions>;

struct PlayContext {
    static constexpr int kMaxNesting = 32;
    static constexpr size_t kMaxLiveClips = 1 << 16;
    // Work (clip ticks plus the objects they carry) one host call may spend
    // advancing sprites silently; past it, sprites stop where they are.
    static constexpr size_t kSilentWorkBudget = 1 << 20;
    // Objects one host call may create. Buttons and sprites can contain each
    // other (or themselves) many times over, so nesting alone would still let
    // a small file ask for an exponential number of objects.
    static constexpr size_t kBuildBudget = 1 << 15;
    // The same bound on one host call's ticks that run actions (playing):
    // a tree of buttons and sprites nested many times over is still walked
    // only this many objects' worth.
    static constexpr size_t kPlayWorkBudget = 1 << 20;

    explicit PlayContext(const Movie& m) : movie(m), as3(!m.abcBlocks.empty()) { assets.movie = &m; }
    const Movie& movie;
    MovieAssets assets;  // the playing movie's; fonts set with `fonts`
    uint32_t nextSerial = 1;
    uint32_t instancesMade = 0;
    // The movie is scripted in ActionScript 3: every unnamed object is
    // numbered (instanceN) as it is made, shapes too, where AVM1 numbers
    // only what scripts can address; buttons keep their states as objects.
    bool as3 = false;
    std::unordered_map<uint32_t, MovieClip*> liveClips;
    // Every object scripts can name (a superset of liveClips): each kind
    // adds itself on construction and leaves on destruction.
    std::unordered_map<uint32_t, DisplayObject*> scriptables;
    // Counts the edits that can change what a name or path finds (objects
    // placed, removed, freed, renamed, moved in depth): scripts keep what a
    // path found while it stays the same.
    uint32_t treeEdits = 1;
    size_t silentWorkLeft = kSilentWorkBudget;
    size_t buildsLeft = kBuildBudget;
    uint32_t focus = 0;  // serial of the object with keyboard focus, 0: none
    // The focus rectangle shows: Tab or a script gave the focus, and no
    // pointer event has hidden it since.
    bool focusRectShown = false;
    // While a playing tick walks the clips newest first, each clip advances
    // its own timeline only, never the clips it holds.
    bool clipsTickApart = false;
    // Lines the player prints among the traces (a placement it refused),
    // passed on in order with them by the script host.
    std::vector<std::string> warnings;
    FontLibrary* fonts = nullptr;  // never null once the timeline exists
    ScriptBitmaps* bitmaps = nullptr;  // BitmapData's, never null once the timeline exists
    SoundSystem* sounds = nullptr;     // never null once the timeline exists
    size_t playWorkLeft = kPlayWorkBudget;
    // Movies loaded into clips that are gone: kept until `leaving` is
    // freed, since objects in it may still be built from them.
    std::vector<std::shared_ptr<MovieAssets>> retired;
    // Whether a clip (or one in it) handles unload: set by the timeline,
    // which knows the scripts; unset, none does.
    std::function<bool(DisplayObject&)> handlesUnload;
    // Clips that left with unload handlers to run: still in their parent,
    // below every depth in use, until the next frame starts (serials).
    std::vector<uint32_t> unloading;
    // Objects taken out of the tree by a host call that runs actions: kept
    // (and still found by serial) until their unload handlers ran, then
    // freed at the end of the call. Declared last: freed first.
    std::vector<std::shared_ptr<DisplayObject>> leaving;

    // Every entry from the host starts with fresh budgets.
    void BeginHostCall() {
        silentWorkLeft = kSilentWorkBudget;
        buildsLeft = kBuildBudget;
        playWorkLeft = kPlayWorkBudget;
        if (bitmaps) bitmaps->BeginHostCall();
    }

    // Takes `cost` from the budget of silent or of playing ticks; false
    // (and the budget emptied) when it is short.
    bool ChargeWork(bool playing, size_t cost) {
        size_t& left = playing ? playWorkLeft : silentWorkLeft;
        if (left < cost) {
            left = 0;
            return false;
        }
        left -= cost;
        return true;
    }

    MovieClip* FindClip(uint32_t serial) const {
        auto it = liveClips.find(serial);
        return it == liveClips.end() ? nullptr : it->second;
    }
    DisplayObject* FindObject(uint32_t serial) const {
        auto it = scriptables.find(serial);
        return it == scriptables.end() ? nullptr : it->second;
    }
};

}  // namespace swf
