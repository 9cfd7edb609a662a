// Runs AVM1 action blocks against clips: the timeline actions (Stop, Play,
// NextFrame, PrevFrame, GotoFrame, GotoLabel, GotoFrame2), GetURL and
// GetURL2 (with Push, ConstantPool and Pop feeding it), SetTarget. Every
// other action is skipped by its length. Host calls are collected, not
// made, so a handler that calls back into the player finds it idle.
#pragma once

#include <string>
#include <vector>

#include "swf/display/MovieClip.h"

namespace swf {

struct HostCall {
    bool fsCommand = false;
    std::string first;   // command, or URL
    std::string second;  // arguments, or target
};

class ActionRunner {
public:
    // Blocks and executed actions one host call may run, so that frames
    // that jump to each other cannot hang the player.
    static constexpr size_t kMaxBlocksPerCall = 256;
    static constexpr size_t kMaxActionsPerCall = 1 << 16;

    ActionRunner(PlayContext& ctx, MovieClip& root, std::vector<HostCall>& hostCalls)
        : ctx_(ctx), root_(root), hostCalls_(hostCalls) {}

    // Runs the queue in order; actions may append to it.
    void RunQueue(ActionQueue& queue);

private:
    struct Value;
    void Run(const ActionBlock& block, uint32_t clipSerial, ActionQueue& queue);
    MovieClip* ResolveTarget(MovieClip& from, const std::string& path) const;

    PlayContext& ctx_;
    MovieClip& root_;
    std::vector<HostCall>& hostCalls_;
    size_t actionsLeft_ = kMaxActionsPerCall;
};

}  // namespace swf
