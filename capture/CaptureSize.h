// Capture sizes: the screen's picture, or the frame drawn again larger by
// the engine, bounded so that a capture's bitmap never threatens the
// process. Portable: the menu, the captures and native tests share these.
#pragma once

#include <cstdint>

#include "framework/String.h"

// Values as kept in the registry (CaptureSizeSetting).
enum class CaptureSize { Screen = 0, Double = 1, Quadruple = 2, Print = 3 };

struct PixelSize {
    int width = 0;
    int height = 0;
};

constexpr int kPrintWidth = 3000;
// 4 bytes a pixel: 256 MB, a quarter of what a 32-bit process can hold.
constexpr int64_t kMaxCapturePixels = 64LL * 1000 * 1000;

// The picture for a player view of `screen` pixels: the view itself, two or
// four times it, or 3000 pixels wide with the height in proportion
// (rounded to nearest, at least 1).
PixelSize CapturePixels(CaptureSize size, PixelSize screen);
bool WithinCaptureLimit(PixelSize picture);
// What the user is told when a picture passes the limit.
CString CaptureTooLargeText(PixelSize picture);

int CaptureSizeSetting(CaptureSize size);
// Anything but a known value is the screen size.
CaptureSize CaptureSizeFromSetting(int value);
