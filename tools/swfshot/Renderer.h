// The swfshot batch: for each movie, load it, reach each chosen picture by
// seeking (-f) or by playing from load (--ticks, --at, --input), draw it at
// the requested size and write it as PNG or SVG, or into an animated PNG.
#pragma once

#include <ostream>

#include "tools/swfshot/Options.h"

namespace swfshot {

// Returns the process exit code; file names and trace output go to `out`,
// problems and the progress line to `err`.
int RunSwfshot(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace swfshot
