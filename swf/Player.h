// The engine as a host sees it: load a movie, drive its clock, draw it,
// feed it the pointer, hear its FSCommands. Hosts: the Win32 player control,
// swfshot, the tests and the benchmarks.
//
// Frame numbers are 0-based here (frame 0 is the first frame), as the
// control's FrameNum property reports them; TotalFrames is the count.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "swf/model/Color.h"
#include "swf/model/FrameBuffer.h"
#include "swf/model/Geometry.h"
#include "swf/model/Quality.h"
#include "swf/host/FileReader.h"
#include "swf/host/KeyCodes.h"
#include "swf/host/MouseButton.h"

namespace swf {

class RenderBackend;
class FontProvider;  // system fonts, from the host (swf/host/DeviceFont.h)
class Movie;     // parsed, immutable: header, dictionary, frames
class Timeline;  // the playing state of the root clip and its children

// The control's ScaleMode property values.
enum ScaleMode : int { kShowAll = 0, kNoBorder = 1, kExactFit = 2, kNoScale = 3 };
// The control's AlignMode property: bit flags; 0 centres on both axes.
enum AlignFlags : int { kAlignLeft = 1, kAlignRight = 2, kAlignTop = 4, kAlignBottom = 8 };

// Maps stage twips to target twips (1/20 target pixel) for a target of
// width x height pixels. Pure function; tested on its own.
Matrix ViewMatrix(const Rect& stage, int width, int height, int scaleMode, int alignFlags);
// `view` drawn `to` / `from` times as large (a capture larger than the
// screen): every part of it, translation included, is scaled.
Matrix MagnifyView(const Matrix& view, int to, int from);

using FsCommandHandler = std::function<void(const std::string& command, const std::string& args)>;
// GetURL to anything but "FSCommand:" (a web address, a target window).
using GetUrlHandler = std::function<void(const std::string& url, const std::string& target)>;
// trace() output of scripts, one call per line traced.
using TraceHandler = std::function<void(const std::string& text)>;

class Player {
public:
    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Loading replaces any movie. On a damaged file the player keeps what it
    // could read and still returns true if at least the header was valid;
    // every problem is listed in Errors(). False: nothing playable, and the
    // player is empty.
    bool LoadFile(const std::string& path);
    bool LoadBytes(std::vector<uint8_t> bytes);
    void Unload();
    bool HasMovie() const;
    const std::vector<std::string>& Errors() const;

    // Header facts (0 / empty without a movie).
    Rect StageRect() const;         // twips
    double FrameRate() const;       // frames per second, never 0 with a movie
    int TotalFrames() const;
    Rgba Background() const;        // SetBackgroundColor of the current frame

    // Timeline control. GotoFrame clamps to 0..TotalFrames-1, shows the
    // frame as playing from the start to it shows it (no actions run) and
    // keeps the play state, like the control's FrameNum put.
    int CurrentFrame() const;
    void GotoFrame(int frame);
    void Play();
    void Stop();
    bool IsPlaying() const;

    // Advance the clock by `elapsedMs` of real time; runs as many frames as
    // the frame rate says (at most a few per call, so a stalled host does not
    // replay the whole movie). Returns the frames run.
    int Advance(uint32_t elapsedMs);
    // Run exactly one frame of the root and every sprite, as the clock would.
    void Tick();

    // Sound: the mix of everything the movie plays, 44,100 Hz stereo
    // 16-bit, `frames` frames into `out`. Safe from the host's audio thread.
    void MixAudio(int16_t* out, size_t frames);
    // The host plays the mix as it is made: a movie with a streaming sound
    // then plays its frames at the sound's pace, running late frames
    // without drawing them. Off: frames follow Advance's clock alone.
    void SetAudioClock(bool on);
    // Sounds still playing (their voices in the mix).
    size_t SoundsPlaying() const;
    // The movie defines a sound or streams one: hosts open their audio
    // device only for such movies.
    bool HasSound() const;

    // Pointer in target pixels of the last Render's target size and view.
    void PointerMove(int x, int y);
    void PointerDown(int x, int y, MouseButton button = MouseButton::Left);
    void PointerUp(int x, int y, MouseButton button = MouseButton::Left);
    // True when the pointer is over an enabled button (hand cursor).
    bool PointerOverButton() const;

    // Keyboard, wheel and focus. `keyCode` is a KeyCode (or a letter or
    // digit), `charCode` the character typed (0 for none). Keys reach
    // onClipEvent(keyDown/keyUp), Key's listeners, then the key-press
    // handlers of buttons and clips. The wheel scrolls the text field under
    // the pointer (`lines` > 0: towards the top). Presses on a selectable
    // field focus it and place its caret; dragging selects.
    void KeyDown(int keyCode, int charCode);
    void KeyUp(int keyCode, int charCode);
    void Wheel(int lines);
    void Focus(bool in);
    bool HasFocus() const;

    // View used for rendering and for pointer input. Scripts may set their
    // own scale mode and align (Stage), which win over these.
    void SetScaleMode(int mode);
    void SetAlignMode(int flags);
    int ScaleModeValue() const;
    int AlignModeValue() const;
    // The target's size in pixels, as the host's window changes; under
    // noScale a change tells Stage's listeners (onResize). Render also
    // takes its target's size, without telling anyone.
    void SetViewSize(int width, int height);
    // Scripts hid the pointer (Mouse.hide): the host shows no cursor over
    // the movie.
    bool CursorHidden() const;
    // Instructions one script entry may run (the stand-in for the
    // reference's script timeout); kept across loads. Hosts that play many
    // hostile movies (a fuzzer) lower it.
    void SetScriptBudget(size_t instructions);
    // High unless set; kept across loads.
    void SetQuality(Quality quality);
    Quality GetQuality() const;

    // Draws the current frame into `target` (its size is the control's).
    void Render(FrameBuffer& target);
    // The same through any backend (tests use a null backend).
    void RenderTo(RenderBackend& backend, int width, int height);
    // Draws the current frame as a view of viewWidth x viewHeight shows it,
    // magnified by target.Width() / viewWidth: vectors, text and filters
    // drawn again at that size. Pointer input and scripts keep the view of
    // the last Render.
    void RenderMagnified(FrameBuffer& target, int viewWidth, int viewHeight, Quality quality);

    // System fonts for text that does not embed its glyphs; used from the
    // next load on. Without a provider such text draws nothing.
    void SetFontProvider(std::shared_ptr<FontProvider> provider);

    void SetFsCommandHandler(FsCommandHandler handler);
    void SetGetUrlHandler(GetUrlHandler handler);
    void SetTraceHandler(TraceHandler handler);
    // Where scripts' files come from. LoadFile reads beside the movie's file
    // unless a host reader is set; LoadBytes has none unless one is set.
    void SetFileReader(FileReader reader);

private:
    bool Load(std::vector<uint8_t> bytes, const std::string& path);
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace swf
