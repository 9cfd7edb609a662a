// loadMovieNum into _level1 and up: the movie beside this one becomes the
// level's root on the next frame, replacing what played there (its unload
// events run first); an empty name unloads the level. A level plays in
// this movie's script machine, so scripts reach it by name (_level1), yet
// its code runs by its own movie's version and sees that version's
// built-ins: a version 8 movie in _level2 of a version 6 one has another
// MovieClip.prototype.
#include "swf/display/DepthOps.h"
#include "swf/play/Timeline.h"

namespace swf {

bool Timeline::IsLevelRoot(const DisplayObject& obj) const {
    if (&obj == root_.get()) return true;
    if (obj.parent) return false;
    for (const auto& level : levels_)
        if (level.second.get() == &obj) return true;
    return false;
}

std::vector<HostCall> Timeline::FinishLevelLoads() {
    std::vector<ScriptHost::LevelLoad> loads = scriptHost_.TakeLevelLoads(false);
    if (loads.empty()) return {};
    ActionQueue queue;
    std::vector<HostCall> calls;
    scriptHost_.Begin(&queue, &calls);
    vm_.BeginHostCall();
    for (const ScriptHost::LevelLoad& load : loads) {
        std::shared_ptr<MovieAssets> loaded;
        if (!load.name.empty()) {
            if (ctx_.buildsLeft == 0 || ctx_.liveClips.size() >= PlayContext::kMaxLiveClips) {
                vm_.Report("loadMovieNum: " + load.name + " not loaded, too many clips");
                continue;
            }
            loaded = ReadLoaded(load.name);
            if (!loaded) continue;  // the level stays as it was
        }
        if (auto at = levels_.find(load.level); at != levels_.end()) {
            std::unique_ptr<DisplayObject> gone = std::move(at->second);
            levels_.erase(at);
            Leave(ctx_, std::move(gone), &queue, queue.size());
        }
        if (!loaded) continue;
        --ctx_.buildsLeft;
        auto root = std::make_unique<MovieClip>(ctx_, loaded->movie->root, 0);
        root->Own(std::move(loaded));
        MovieClip& clip = *root;
        levels_[load.level] = std::move(root);
        ++ctx_.treeEdits;
        clip.Start(&queue);
    }
    std::vector<HostCall> more = RunActions(queue);
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

}  // namespace swf
