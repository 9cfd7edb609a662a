// The swfshot batch: load the movie, then for each chosen frame seek to it,
// render it at the requested size and write a PNG.
#pragma once

#include <ostream>

#include "tools/swfshot/Options.h"

namespace swfshot {

// Returns the process exit code; progress goes to `out`, problems to `err`.
int RunSwfshot(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace swfshot
