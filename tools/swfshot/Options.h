// swfshot's command line.
#pragma once

#include <string>
#include <vector>

#include "swf/model/Quality.h"
#include "tools/swfshot/FrameList.h"
#include "tools/swfshot/OutputName.h"
#include "tools/swfshot/PngWriter.h"

namespace swfshot {

// Process exit codes, listed in the help text.
enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 2,         // bad option, size, pattern, list or input script
    kExitBadMovie = 3,      // the movie cannot be read
    kExitBadFrames = 4,     // the frame list selects frames the movie lacks
    kExitOutputFailed = 5,  // an image could not be written
};

// Keeps one frame buffer under 256 MB.
constexpr int kMaxSide = 16384;
constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

enum class ImageKind { Png, Svg };

struct Options {
    std::vector<std::string> movies;
    std::string outputPattern;  // empty: the default for the kind and movie count
    bool outputGiven = false;
    // Seeking: -f. Playing: --ticks, --at and --input (any of them plays).
    std::string frameText = "1";
    FrameList frames;
    std::string tickText;
    FrameList ticks;
    std::vector<int> atMs;  // --at, milliseconds
    std::string inputPath;
    int width = 0;  // 0: the stage size
    int height = 0;
    int scalePermille = 1000;  // --scale F, applied to the size
    int scaleMode = 0;         // swf::kShowAll
    swf::Quality quality = swf::Quality::High;
    PngFormat format = PngFormat::Rgb;
    bool transparent = false;
    ImageKind kind = ImageKind::Png;
    std::string apngPath;
    std::string audioPath;  // --audio: the sound of the frames played, as WAV
    bool quiet = false;
    bool progress = false;  // set by main when stderr is a terminal
    bool trace = false;
    bool help = false;
    bool version = false;

    bool Plays() const { return !tickText.empty() || !atMs.empty() || !inputPath.empty(); }
    // Still images are written unless only an animation or the sound was
    // asked for.
    bool WritesImages() const { return (apngPath.empty() && audioPath.empty()) || outputGiven; }
    std::string Pattern() const;
};

// args excludes the program name. False with a message for the user.
bool ParseArgs(const std::vector<std::string>& args, Options* options, std::string* error);
std::string HelpText();
std::string VersionText();

}  // namespace swfshot
