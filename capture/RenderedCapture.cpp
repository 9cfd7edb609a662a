#include "capture/RenderedCapture.h"

#include <new>

#include "capture/CaptureNames.h"
#include "framework/GdiplusHandles.h"
#include "player/PlayerPicture.h"

using namespace gdip;

namespace {

constexpr INT kBytesPerPixel = 4;

// The frame buffer's rows as they are (B, G, R, A top-down is GDI+'s
// 32bpp layout); the pixels are not copied.
bool SaveFrame(swf::FrameBuffer& frame, const CString& path) {
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromScan0(frame.Width(), frame.Height(), frame.Width() * kBytesPerPixel,
                                              PixelFormat32bppRGB, reinterpret_cast<BYTE*>(frame.Data()),
                                              &bitmap) != Ok)
        return false;
    ImagePtr picture(bitmap);
    return SaveCaptureFile(picture.get(), path);
}

bool DrawAndSave(HWND player, PixelSize size, const CString& path) {
    try {
        swf::FrameBuffer frame(size.width, size.height);
        return DrawPlayerPicture(player, frame) && SaveFrame(frame, path);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

bool CaptureRenderedFrame(const CaptureTarget& target, PixelSize picture) {
    if (!target.count) return false;
    const LONG number = ::InterlockedIncrement(target.count) - 1;
    const CString path = CaptureFilePath(target.folder, number);
    const bool saved = picture.width > 0 && picture.height > 0 && DrawAndSave(target.player, picture, path);
    // As for copied captures: no half-written or older file under this number.
    if (!saved) ::DeleteFileA(path);
    if (target.window)
        ::SetWindowTextA(target.window, saved ? CapturedCaption(target.capturedWord, number + 1)
                                              : CaptureFailedCaption(number));
    return saved;
}
