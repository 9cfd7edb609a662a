// The movie named on the command line ("pictaro.exe movie.swf", or the
// quoted path of "Open with").
#pragma once

#include "framework/String.h"

// From a whole command line as GetCommandLineA gives it (the program's own
// name first): the first argument without its quotes, or, unquoted, the
// rest of the line, so that a path with spaces needs no quotes. Empty when
// there is none.
CString MovieArgument(const char* commandLine);

// The path made absolute against the current folder, as the open dialog
// gives it; unchanged when Windows cannot.
CString FullPathOf(const CString& path);
