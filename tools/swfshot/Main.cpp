// swfshot: renders chosen frames of a movie to PNG files (see --help).
#include <iostream>
#include <string>
#include <vector>

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
    return swfshot::RunSwfshot(options, std::cout, std::cerr);
}
