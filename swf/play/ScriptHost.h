// The player's side of the script interpreter: clips are movie clips by
// serial, timeline actions go to MovieClip::Goto (queueing the frames'
// actions on the running queue), and calls out to the host (GetURL,
// FSCommand, trace) are collected, not made, so a handler that calls back
// into the player finds it idle.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "swf/avm1/Host.h"
#include "swf/display/MovieClip.h"

namespace swf {

struct HostCall {
    bool fsCommand = false;
    bool trace = false;
    std::string first;   // command, URL or traced text
    std::string second;  // arguments, or target
};

class ScriptHost : public avm1::Host {
public:
    ScriptHost(PlayContext& ctx, std::unique_ptr<MovieClip>& root) : ctx_(ctx), root_(root) {}

    // What the actions of one host call queue and call.
    void Begin(ActionQueue* queue, std::vector<HostCall>* calls) {
        queue_ = queue;
        calls_ = calls;
    }
    void SetNow(double ms) { now_ = ms; }

    avm1::ClipId Level(int n) override;
    avm1::ClipId Parent(avm1::ClipId clip) override;
    avm1::ClipId Child(avm1::ClipId clip, const std::string& name, bool caseInsensitive) override;
    std::string PathOf(avm1::ClipId clip) override;
    int CurrentFrame(avm1::ClipId clip) override;
    int TotalFrames(avm1::ClipId clip) override;
    int FindLabel(avm1::ClipId clip, const std::string& label) override;
    void Goto(avm1::ClipId clip, int frame, bool play) override;
    void SetPlaying(avm1::ClipId clip, bool playing) override;
    std::vector<const ActionBlock*> FrameActions(avm1::ClipId clip, int frame) override;
    avm1::Value GetProperty(avm1::ClipId clip, int index) override;
    void SetProperty(avm1::ClipId clip, int index, const avm1::Value& value) override;
    void GetUrl(const std::string& url, const std::string& target, int method) override;
    void Trace(const std::string& text) override;
    double Now() override { return now_; }
    double WallClock() override;
    int LocalOffsetMinutes(double utcMs) override;

private:
    MovieClip* Find(avm1::ClipId clip) const { return clip ? ctx_.FindClip(clip) : nullptr; }

    PlayContext& ctx_;
    std::unique_ptr<MovieClip>& root_;
    ActionQueue* queue_ = nullptr;
    std::vector<HostCall>* calls_ = nullptr;
    double now_ = 0;
};

}  // namespace swf
