// swfshot: renders chosen frames of movies to image files (see --help).
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define SWFSHOT_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define SWFSHOT_ISATTY(fd) isatty(fd)
#endif

#include "tools/swfshot/Options.h"
#include "tools/swfshot/Renderer.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    swfshot::Options options;
    std::string error;
    if (!swfshot::ParseArgs(args, &options, &error)) {
        std::cerr << "swfshot: " << error << "\n(swfshot --help lists the options)\n";
        return swfshot::kExitUsage;
    }
    if (options.help) {
        std::cout << swfshot::HelpText();
        return swfshot::kExitOk;
    }
    if (options.version) {
        std::cout << swfshot::VersionText();
        return swfshot::kExitOk;
    }
    const int kStderr = 2;
    options.progress = SWFSHOT_ISATTY(kStderr) != 0;
    return swfshot::RunSwfshot(options, std::cout, std::cerr);
}
