// moviegen: writes our sample and test movies into the folder given.
//   moviegen <folder>
#include <cstdio>
#include <functional>
#include <string>

#include "tools/moviegen/Movies.h"

namespace {

struct MovieFile {
    const char* name;
    bool compressed;
    std::function<swfmake::SwfWriter()> make;
};

constexpr int kStageWidth = 550;
constexpr int kStageHeight = 400;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: moviegen <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const MovieFile files[] = {
        {"action.swf", false, moviegen::ActionMovie},
        {"sample.swf", true, moviegen::SampleMovie},
        {"photos.swf", true, moviegen::PhotoMovie},
        {"bitmap_seed.swf", false, moviegen::BitmapSeedMovie},
        {"script_seed.swf", false, moviegen::ScriptSeedMovie},
        {"sound_seed.swf", false, moviegen::SoundSeedMovie},
        {"abc_seed.swf", false, moviegen::AbcSeedMovie},
        {"card3.swf", true, moviegen::Card3Movie},
        {"stage550x400.swf", false, [] { return moviegen::StageMovie(kStageWidth, kStageHeight); }},
        {"stage550x400_cws.swf", true, [] { return moviegen::StageMovie(kStageWidth, kStageHeight); }},
        {"pattern.swf", false, moviegen::PatternMovie},
        {"frames100.swf", false, moviegen::Frames100Movie},
        {"text.swf", false, moviegen::TextFieldMovie},
    };
    for (const MovieFile& f : files) {
        std::string path = folder + "/" + f.name;
        if (!f.make().WriteFile(path, f.compressed)) {
            std::fprintf(stderr, "moviegen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
