// ActionScript 3 in the player: the movie's ABC, the main timeline's
// object (its class from SymbolClass), frame scripts and enterFrame.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "swf/model/Movie.h"
#include "swf/display/MovieClip.h"

namespace swf {

namespace avm2 {
class Machine;
class ClipObject;
}  // namespace avm2

class Scripts3 {
public:
    Scripts3();
    ~Scripts3();
    Scripts3(const Scripts3&) = delete;
    Scripts3& operator=(const Scripts3&) = delete;

    using Sink = std::function<void(const std::string&)>;
    // Runs the first frame's DoABC blocks (lazy ones only define), then
    // constructs the main timeline's class and runs its first frame script.
    // Nothing happens for a movie without ABC.
    void Start(const Movie& movie, MovieClip& root, Sink trace, Sink report);
    void Reset();
    bool Active() const { return machine_ != nullptr; }
    // Before the timeline moves: enterFrame to every listening display object.
    void EnterFrame();
    // After it moved: the script of the frame the main timeline reached.
    void FrameScripts();
    avm2::Machine* Machine() { return machine_.get(); }

private:
    class RootHost;
    std::unique_ptr<avm2::Machine> machine_;
    std::unique_ptr<RootHost> host_;
    avm2::ClipObject* root_ = nullptr;
    int lastFrame_ = -1;  // whose script ran last
};

}  // namespace swf
