// The playing state of a movie: the root clip and everything under it, the
// pointer's button tracking, and the render walk.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swf/model/Movie.h"
#include "swf/render/RenderBackend.h"
#include "swf/avm1/Runtime.h"
#include "swf/avm1/Vm.h"
#include "swf/host/MouseButton.h"
#include "swf/display/ButtonObject.h"
#include "swf/display/MovieClip.h"
#include "swf/display/TextObjects.h"
#include "swf/text/FontLibrary.h"
#include "swf/bind/ScriptHost.h"
#include "swf/classes/ScriptBitmaps.h"
#include "swf/sound/SoundSystem.h"

namespace swf {

enum class PointerEvent { Move, Down, Up };
// Not a clip event: heard by Stage's listeners only (onResize).
constexpr uint32_t kStageResizeEvent = 1u << 31;

class Timeline {
public:
    // Text in system fonts asks `fonts` (none: such text draws nothing).
    explicit Timeline(const Movie& movie, std::shared_ptr<FontProvider> fonts = nullptr);
    ~Timeline();
    // Enters frame 0 and runs its actions; returns the host calls made.
    std::vector<HostCall> Start();
    Timeline(const Timeline&) = delete;
    Timeline& operator=(const Timeline&) = delete;

    MovieClip& Root() { return *root_; }
    PlayContext& Context() { return ctx_; }
    const MovieClip& Root() const { return *root_; }
    // What ActionScript 3 scripts put on the stage beside the root: drawn
    // above it, made on first use.
    MovieClip& StageLayer();
    Rgba Background() const;

    // A host seek: shows `frame` as playing from the start shows it, without
    // running actions (rules at the definition).
    void Seek(int frame);
    // One clock tick with actions; returns the host calls they made.
    std::vector<HostCall> Tick();
    // Pointer at `point` (target twips) seen through `view`. Presses of
    // other buttons than the left one only move the pointer.
    std::vector<HostCall> Pointer(PointerEvent event, Point point, const Matrix& view,
                                  MouseButton button = MouseButton::Left);
    bool PointerOverButton() const;
    // The wheel turned `lines` (forward: positive) over the movie: the text
    // field under the pointer scrolls (unless its mouseWheelEnabled is off).
    std::vector<HostCall> Wheel(int lines);
    // A key press: runs the actions of every button and clip listening for
    // `code` (a button key-press code).
    std::vector<HostCall> KeyPress(uint8_t code);
    // A key going down or up: onClipEvent(keyDown/keyUp) handlers, the
    // handler properties and Key's listeners. `code` is the key code
    // scripts see, `ascii` the character (0: none).
    std::vector<HostCall> Key(bool down, int code, int ascii);
    // What scripts read of the keyboard and the pointer (Key.isDown,
    // Mouse.hide); the player keeps it current.
    avm1::RuntimeState& ScriptRuntime() { return vm_.Runtime(); }
    // Instructions a script entry may run before it is stopped.
    void SetScriptBudget(size_t instructions) { vm_.SetBudget(instructions); }
    // The view changed size under noScale: Stage's listeners hear onResize.
    std::vector<HostCall> StageResized();
    // A key for the focus: Tab moves it, the focused input field edits.
    std::vector<HostCall> FocusKey(int keyCode, int charCode, bool shift, bool ctrl);

    // A whole frame: `above` (other levels) is drawn over the movie, under
    // the focus rectangle.
    void Render(RenderBackend& backend, const Matrix& view, const std::function<void()>& above = {}) const;
    // The movie's objects only, over what is drawn (a level above _level0).
    void RenderLayer(RenderBackend& backend, const Matrix& view) const;
    // The yellow rectangle round a button or clip that Tab focused.
    void RenderFocusRect(RenderBackend& backend, const Matrix& view) const;
    void HideFocusRect() { ctx_.focusRectShown = false; }
    // The movie's _url and the reader of files beside it, which scripts
    // may load (loadVariables, LoadVars, XML).
    Quality StageQuality() const { return scriptHost_.StageQuality(); }
    void SetStageQuality(Quality quality) { scriptHost_.SetStageQuality(quality); }
    // The movie's _focusrect, which outlives a movie loaded into level 0.
    bool FocusRect() const { return scriptHost_.FocusRect(); }
    void SetFocusRect(bool on) { scriptHost_.SetFocusRect(on); }
    void SetLoadSource(std::string url, FileReader files) { scriptHost_.SetLoadSource(std::move(url), std::move(files)); }

    // A movie read from elsewhere, to be played by a clip that owns it: its
    // own fonts and bitmaps (then the scripts' bitmaps); `url` is its address.
    std::shared_ptr<MovieAssets> AdoptMovie(std::unique_ptr<Movie> movie, std::string url);

    // An ActionScript 1/2 movie an ActionScript 3 Loader shows plays in this
    // machine: its root is its own _root and its first frame's actions run
    // now, their host calls coming with the next tick's.
    void StartLoaded(MovieClip& clip);

    // Movies scripts asked to load into _level0, which replace this one:
    // the player loads them.
    std::vector<ScriptHost::LevelLoad> TakeLevel0Loads() { return scriptHost_.TakeLevelLoads(true); }
    // The most a movie file read from beside the movie may hold.
    static constexpr size_t kMaxMovieFile = 16u << 20;
    // Problems scripts ran into since the last call (bad records, limits).
    std::vector<std::string> TakeScriptErrors();
    // Sounds that failed to decode since the last call.
    std::vector<std::string> TakeSoundErrors();
    SoundSystem& Sounds() { return sounds_; }

private:
    // A button, or a clip acting as one (Buttons.cpp).
    struct ButtonRef {
        DisplayObject* object = nullptr;
        MovieClip* parent = nullptr;
    };
    template <typename F>
    void ForEachButton(F&& visit, bool hidden = false);
    bool ActsAsButton(const MovieClip& clip);
    ButtonRef FindButton(uint32_t serial);
    uint32_t ButtonAt();
    // The clip set as `obj`'s hitArea (null: none).
    const DisplayObject* HitAreaOf(const DisplayObject& obj);
    ButtonPhase PhaseOf(const ButtonRef& ref) const;
    bool TrackAsMenu(const ButtonRef& ref);
    void SetPhase(ButtonRef ref, ButtonPhase phase, uint16_t condition, ActionQueue& queue);
    void TrackEnterLeave(uint32_t hit, ActionQueue& queue);
    // Buttons that came under the pointer or left it without a move (shown,
    // hidden, moved by the timeline) roll over or out once a tick.
    void TrackPointer(ActionQueue& queue);
    // The focus moves to `serial` (0: none): what was over rolls out (held
    // down, it only hears so), and a button taking the focus rolls over as
    // if the pointer came.
    void FocusMoved(uint32_t serial, ActionQueue& queue);
    // A button whose script set `enabled` false takes no events.
    bool ButtonEnabled(const DisplayObject& obj);
    // Text fields under the pointer (TextPointer.cpp).
    EditTextObject* FieldAt();
    size_t IndexUnderPointer(EditTextObject& field);
    void FieldPointer(PointerEvent event, bool onButton);
    void BlinkCaret();
    // Events (ClipEvents.cpp): `event` for every clip that may handle it,
    // then for its listeners.
    void QueueEvent(uint32_t event, ActionQueue& queue, uint8_t keyCode = 0);
    // True when a handler ran.
    bool RunEvent(const QueuedActions& q);
    // Loads scripts asked for since the last tick, with their data events
    // and handlers (Loads.cpp).
    std::vector<HostCall> FinishLoads();
    // Movies and pictures loaded into clips (ClipLoads.cpp).
    std::vector<HostCall> FinishClipLoads();
    // Movies loaded into _level1 and up, and levels unloaded (TimelineLevels.cpp).
    std::vector<HostCall> FinishLevelLoads();
    bool IsLevelRoot(const DisplayObject& obj) const;
    std::shared_ptr<MovieAssets> ReadLoaded(const std::string& name);
    // A member of the object's script object as stored, never running a
    // getter (the host asks outside any script); undefined without one.
    avm1::Value PlainMember(uint32_t serial, const char* name);
    avm1::Value PlainGlobal(const char* name);
    // The objects in `owner`'s _listeners array (Mouse, Key, Stage).
    std::vector<avm1::Value> Listeners(const char* owner);
    std::vector<HostCall> RunActions(ActionQueue& queue, bool timers = false);
    void RunQueued(ActionQueue& queue, size_t& next);
    // Whether `obj` is out of the tree (in PlayContext::leaving) or kept
    // only for its unload handlers.
    bool Left(const DisplayObject& obj) const;
    void TickClips(ActionQueue& queue);
    void Rebuild(int frame);

    FontLibrary fonts_;  // declared first: outlives every text object
    PlayContext ctx_;    // outlives every clip
    ScriptBitmaps bitmaps_;  // outlives the clips and script objects showing them
    std::vector<std::string> soundErrors_;
    SoundSystem sounds_{soundErrors_};
    std::unique_ptr<MovieClip> root_;
    // _level1 and up: each a root playing its own movie, drawn above the
    // levels below it, its scripts in this machine with the built-ins of
    // its movie's version.
    LevelRoots levels_;
    std::unique_ptr<MovieClip> stageLayer_;
    ScriptHost scriptHost_;
    avm1::Vm vm_;
    uint64_t ticks_ = 0;           // the script clock counts frames
    std::vector<HostCall> pendingCalls_;  // of actions run between ticks
    size_t errorsTaken_ = 0;
    Matrix view_;      // of the last pointer event
    Point pointer_;    // target twips, of the last pointer event
    std::map<uint32_t, ButtonPhase> clipPhases_;  // clips acting as buttons, when not Idle
    // The button taken as under the pointer: the one found there, or the
    // one Tab gave the focus until the pointer moves or what is under it
    // changes.
    uint32_t overSerial_ = 0;
    uint32_t foundSerial_ = 0;    // the button last found under the pointer
    uint32_t pressedSerial_ = 0;  // button the press started on
    bool pointerDown_ = false;
    bool pointerSeen_ = false;  // a pointer event came: buttons under it are tracked every tick
    uint32_t textDrag_ = 0;  // field a press started selecting in
    struct Press {
        uint32_t serial = 0;
        size_t index = 0;
        double ms = 0;
    } lastPress_;  // for double clicks
    double blinkFrom_ = 0;  // script clock of the caret's last move
    // The state is what playing from the start shows at the root's frame:
    // no action has run, the root has only gone forward, no button changed.
    bool asPlayed_ = true;
};

}  // namespace swf
