#include "tests/win/common/TestMovies.h"

#include <cstdlib>

#include "tests/win/common/WinTestUtil.h"
#include "tools/swfmake/SwfWriter.h"

namespace wintest {

namespace {
constexpr uint8_t kVersion = 6;
constexpr int kStageWidth = 200;
constexpr int kStageHeight = 100;
constexpr double kCommandMovieFps = 12;

swf::Rect Stage() {
    swf::Rect stage;
    stage.xMax = kStageWidth * kTwipsPerPixel;
    stage.yMax = kStageHeight * kTwipsPerPixel;
    return stage;
}
}  // namespace

std::vector<uint8_t> FramesMovie(int frames, double fps) {
    swfmake::SwfWriter writer(kVersion, Stage(), fps);
    writer.Tags().SetBackgroundColor(swf::Rgba{0x20, 0x40, 0x80, 0xFF});
    for (int i = 0; i < frames; ++i) writer.Tags().ShowFrame();
    return writer.Write(false);
}

std::vector<uint8_t> FsCommandMovie(const std::vector<std::pair<std::string, std::string>>& commands) {
    swfmake::SwfWriter writer(kVersion, Stage(), kCommandMovieFps);
    swfmake::Actions actions;
    for (const auto& command : commands) actions.FsCommand(command.first, command.second);
    actions.Stop();
    writer.Tags().DoAction(actions);
    writer.Tags().ShowFrame();
    return writer.Write(false);
}

std::string MoviePath(const char* name) {
    const char* folder = std::getenv("PICTARO_MOVIES");
    if (!folder || !*folder) return std::string("Z:\\PICTARO_MOVIES-is-not-set\\") + name;
    return HostPath(folder) + "\\" + name;
}

}  // namespace wintest
