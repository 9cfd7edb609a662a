// The stage rectangle of an SWF file in pixels, for sizing the player.
#pragma once

#include <windows.h>

#include "framework/String.h"

// A missing file is reported ("Can not find SWF:" + path) and gives the zero
// rectangle; so does an empty or damaged file, silently. A file that exists
// but cannot be opened or read throws CFileException, which names the file
// and ends the command that asked (the window procedure tells the user).
RECT ReadSwfStageRect(CString path);
