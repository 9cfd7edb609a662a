// swfshot's command line.
#pragma once

#include <string>
#include <vector>

#include "swf/Quality.h"
#include "tools/swfshot/FrameList.h"
#include "tools/swfshot/PngWriter.h"

namespace swfshot {

// Process exit codes, listed in the help text.
enum ExitCode : int {
    kExitOk = 0,
    kExitUsage = 2,         // bad option, size, pattern or frame list syntax
    kExitBadMovie = 3,      // the movie cannot be read
    kExitBadFrames = 4,     // the frame list selects frames the movie lacks
    kExitOutputFailed = 5,  // an image could not be written
};

struct Options {
    std::string movie;
    std::string outputPattern = "frame_%04d.png";
    std::string frameText = "1";
    FrameList frames;
    int width = 0;   // 0: the stage size
    int height = 0;
    int scaleMode = 0;  // swf::kShowAll
    swf::Quality quality = swf::Quality::High;
    PngFormat format = PngFormat::Rgb;
    bool quiet = false;
    bool help = false;
};

// args excludes the program name. False with a message for the user.
bool ParseArgs(const std::vector<std::string>& args, Options* options, std::string* error);
std::string HelpText();

// Checks a pattern: exactly one %d, %Nd or %0Nd, and %% for a percent sign.
bool CheckOutputPattern(const std::string& pattern, std::string* error);
// The pattern with the (1-based) frame number filled in; the pattern must
// have passed CheckOutputPattern. User text never reaches printf.
std::string FormatOutputName(const std::string& pattern, int frame);

}  // namespace swfshot
