// Where a picture goes on a printed page: as large as the page allows with
// its shape kept, centred. Printer pixels need not be square, so the page
// is measured in inches (its size in device pixels over its dots per inch).
// Portable: the picker prints with it, native tests check it.
#pragma once

struct PageRect {
    int x = 0, y = 0, width = 0, height = 0;  // device pixels of the page
};

// Empty when the picture or the page has no size.
PageRect FitToPage(int pictureWidth, int pictureHeight, int pageWidth, int pageHeight, int dpiX, int dpiY);

// Whether a capture of `picture` pixels was drawn larger than the player
// showed it (`screen`, the player's picture): only such captures are
// printed by the picker itself, at their own resolution.
bool DrawnLargerThanScreen(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight);
