// Movies scripts load into _level1 and up (loadMovieNum): each plays on its
// own timeline and script machine, drawn above _level0 in level order on
// _level0's stage. Requests wait for the next frame, and their number is
// bounded, so a movie that loads itself over and over costs one load per
// level and frame.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swf/host/DeviceFont.h"
#include "swf/host/FileReader.h"
#include "swf/bind/ScriptHost.h"

namespace swf {

class Timeline;
class RenderBackend;

class Levels {
public:
    static constexpr int kMaxLevel = 16;
    static constexpr size_t kMaxMovieFile = 16u << 20;

    Levels();
    ~Levels();
    Levels(const Levels&) = delete;
    Levels& operator=(const Levels&) = delete;

    // The requests `timeline` made since the last call are kept for Apply.
    void Collect(Timeline& timeline);
    // Loads or unloads what was asked. A level-0 load is handed back (its
    // bytes and name) for the player to replace the whole movie with.
    struct Level0 {
        std::vector<uint8_t> bytes;
        std::string name;
    };
    std::vector<HostCall> Apply(const FileReader& files, const std::string& baseUrl,
                                const std::shared_ptr<FontProvider>& fonts, std::vector<std::string>& errors,
                                Level0& level0);
    // One frame of every level.
    std::vector<HostCall> Tick();
    void Render(RenderBackend& backend, const Matrix& view) const;
    void Clear();
    bool Empty() const { return levels_.empty(); }

private:
    struct Level;
    std::map<int, std::unique_ptr<Level>> levels_;
    std::vector<ScriptHost::LevelLoad> requests_;
};

}  // namespace swf
