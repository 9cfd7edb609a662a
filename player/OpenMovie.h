// Opening a movie: choosing the file, and fitting the player (and, when the
// stage does not fit, the window that holds it) to the movie's stage. The
// window then loads the movie and starts its own slider, timer and caption.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

// The open-file dialog for SWF files; false when the user did not press OK.
bool ChooseMovieFile(CString& path);

// Reads the stage of the movie at `path` (ReadSwfStageRect: a missing file
// is reported and gives the zero rectangle, an unreadable one throws before
// anything changes), sizes `player` to it, and grows `window` when the
// stage is wider or higher than `clientRectAtStart`: then the window becomes
// topmost and is centred. Returns the stage rectangle in pixels.
RECT FitPlayerToMovie(CWnd& window, CWnd& player, const RECT& clientRectAtStart, const CString& path);
