// The slider's skin as plain pixels, and the picture the slider should show
// composed from it the simple way, pixel by pixel.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skin {

constexpr COLORREF kRed = RGB(255, 0, 0);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A bitmap resource of the program.
Picture LoadPicture(UINT id);
// What the window's client area shows now.
Picture CaptureClient(HWND hwnd, int width, int height);
std::string FirstDifference(const Picture& shown, const Picture& expected);

struct Skin {
    Skin();
    // Thumb centred at `centre`, margins 2 / 3 as the main window sets them;
    // disabled: the plain track only.
    Picture Compose(int centre, bool dragging, bool enabled) const;

    Picture track, trackActive, thumb, thumbActive;
};

}  // namespace skin
