// A player control's current frame drawn again by its engine at a size of
// the caller's: captures larger than the screen.
#pragma once

#include <windows.h>

#include "swf/model/FrameBuffer.h"

// `out` is sized by the caller, the control's client size magnified (its
// width decides the scale). False when `player` is not a player control or
// memory ran out.
bool DrawPlayerPicture(HWND player, swf::FrameBuffer& out);
