// ActionScript 3 in the player: the movie's ABC, one script object for
// each engine display object (its class from SymbolClass), frame scripts
// and enterFrame.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "swf/host/FileReader.h"
#include "swf/model/Movie.h"
#include "swf/display/MovieClip.h"

namespace swf {

class Timeline;

namespace avm2 {
class Machine;
class ClipObject;
struct Value;
}  // namespace avm2

class Scripts3 {
public:
    Scripts3();
    ~Scripts3();
    Scripts3(const Scripts3&) = delete;
    Scripts3& operator=(const Scripts3&) = delete;

    using Sink = std::function<void(const std::string&)>;
    // Runs the first frame's DoABC blocks (lazy ones only define), then
    // constructs the objects of the first frame, the main timeline's class
    // last, and runs the first frame scripts. Nothing happens for a movie
    // without ABC.
    void Start(const Movie& movie, Timeline& timeline, Sink trace, Sink report);
    void Reset();
    // The movie's URL and the reader of files beside it, which Loader,
    // URLLoader and URLStream read; kept for the next Start.
    void SetLoadSource(std::string url, FileReader files);
    bool Active() const { return machine_ != nullptr; }
    // After the timeline moved: removed objects hear so, then enterFrame,
    // objects the frame placed are constructed and added, frameConstructed,
    // the scripts of the frames clips reached, exitFrame.
    void Frame();
    avm2::Machine* Machine() { return machine_.get(); }
    // The pointer at `stage` (twips in the stage's space); `primary`: the
    // main button, whose presses count.
    enum { kPointerMove, kPointerDown, kPointerUp };
    void Pointer(int event, Point stage, bool primary);
    void Wheel(int lines);
    // Whether the pointer is over a SimpleButton or a sprite in button mode
    // that wants the hand cursor.
    bool PointerOverButton() const;
    bool CursorHidden() const;  // Mouse.hide()
    void Key(bool down, int keyCode, int charCode);
    // The window lost the keyboard: the object holding the focus loses it.
    void FocusLost();
    class Host;  // natives of the text classes reach the player through it

private:
    std::unique_ptr<avm2::Machine> machine_;
    std::unique_ptr<Host> host_;
    std::string loadUrl_;
    FileReader loadFiles_;
    uint32_t overSerial_ = 0;  // under the pointer; 0: the stage
    uint32_t downSerial_ = 0;  // where the press began
    bool pressed_ = false;
    bool shiftDown_ = false;
    void Render();
    void TabFocus(bool backwards);
    void MouseFocus(uint32_t target);
    avm2::Value TargetOf(uint32_t serial);
    void Mouse(uint32_t serial, const char* type, const avm2::Value& related, int delta = 0);
    std::vector<uint32_t> Chain(uint32_t serial);
    void RollBetween(uint32_t from, uint32_t to);
};

}  // namespace swf
