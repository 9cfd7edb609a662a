// Captures drawn by the engine at a size of their own: the player's frame
// made larger (2 x, 4 x, print width) rather than copied from the screen.
// They run on the player's thread, which owns the engine, one at a time.
#pragma once

#include "capture/Capture.h"
#include "capture/CaptureSize.h"

// Draws the player's frame as `picture` pixels and saves it as the next
// capture of `target`, showing the count in the caption as a copied
// capture does. False when nothing was saved; the number is used up all
// the same and the caption says which file failed.
bool CaptureRenderedFrame(const CaptureTarget& target, PixelSize picture);
