#include "capture/CaptureSize.h"

#include <algorithm>

namespace {

constexpr int kPixelsPerMegapixel = 1000 * 1000;
const char kTooLargeFormat[] =
    "A capture of %d x %d pixels would be larger than %d megapixels, the most Pictaro captures.\n"
    "Choose a smaller capture size on the Steps menu.";

int Times(int value, int factor) {
    return static_cast<int>(std::min<int64_t>(int64_t(value) * factor, INT32_MAX));
}

}  // namespace

PixelSize CapturePixels(CaptureSize size, PixelSize screen) {
    switch (size) {
    case CaptureSize::Double: return {Times(screen.width, 2), Times(screen.height, 2)};
    case CaptureSize::Quadruple: return {Times(screen.width, 4), Times(screen.height, 4)};
    case CaptureSize::Print: {
        if (screen.width <= 0 || screen.height <= 0) return {0, 0};
        const int64_t height = (int64_t(screen.height) * kPrintWidth * 2 + screen.width) / (2 * int64_t(screen.width));
        return {kPrintWidth, static_cast<int>(std::clamp<int64_t>(height, 1, INT32_MAX))};
    }
    case CaptureSize::Screen: break;
    }
    return screen;
}

bool WithinCaptureLimit(PixelSize picture) {
    return int64_t(picture.width) * picture.height <= kMaxCapturePixels;
}

CString CaptureTooLargeText(PixelSize picture) {
    return CString::FormatText(kTooLargeFormat, picture.width, picture.height,
                               static_cast<int>(kMaxCapturePixels / kPixelsPerMegapixel));
}

int CaptureSizeSetting(CaptureSize size) { return static_cast<int>(size); }

CaptureSize CaptureSizeFromSetting(int value) {
    for (CaptureSize size : {CaptureSize::Screen, CaptureSize::Double, CaptureSize::Quadruple, CaptureSize::Print})
        if (CaptureSizeSetting(size) == value) return size;
    return CaptureSize::Screen;
}
