#include "capture/Capture.h"

#include <memory>
#include <mutex>
#include <string>

#include "capture/CaptureNames.h"
#include "capture/ImageEncoder.h"
#include "framework/Bitmap.h"
#include "framework/DC.h"
#include "framework/GdiplusHandles.h"
#include "framework/Thread.h"
#include "framework/WideText.h"

using namespace gdip;

namespace {

// GDI+ has no name for it in the MinGW headers.
const GUID kEncoderColorDepth = {0x66087055, 0xAD66, 0x4C7C, {0x9A, 0x18, 0x38, 0xA2, 0x31, 0x0B, 0x83, 0x37}};
constexpr LONG kColorDepthBits = 8;
constexpr UINT kKeepPlace = SWP_NOSIZE | SWP_NOMOVE;
constexpr int kSystemRegion = 4;  // SYSRGN of GetRandomRgn: the visible region

// Whether the screen shows all of `clientOnScreen` for this DC: nothing of
// it is off the screen, minimised away or covered by another window.
bool ScreenShowsAll(HDC dc, const RECT& clientOnScreen) {
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT screen = {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT inside;
    if (!::IntersectRect(&inside, &clientOnScreen, &screen) || !::EqualRect(&inside, &clientOnScreen)) return false;
    HRGN visible = ::CreateRectRgn(0, 0, 0, 0);
    if (!visible) return false;
    RECT box = {};
    bool whole = ::GetRandomRgn(dc, visible, kSystemRegion) == 1 && ::GetRgnBox(visible, &box) == SIMPLEREGION &&
                 ::EqualRect(&box, &clientOnScreen);
    ::DeleteObject(visible);
    return whole;
}

// The player's frame as a GDI+ bitmap of its client size. The screen gives
// it when it shows the whole player; otherwise the control draws its frame
// into the bitmap itself (WM_PRINTCLIENT), so a player partly off the
// screen, covered or larger than the screen is still captured whole.
ImagePtr CopyPlayerFrame(HWND player) {
    RECT client;
    if (!player || !::GetClientRect(player, &client)) return nullptr;
    const int width = client.right;
    const int height = client.bottom;
    POINT origin = {0, 0};
    ::ClientToScreen(player, &origin);
    const RECT onScreen = {origin.x, origin.y, origin.x + width, origin.y + height};

    CBitmap bitmap;
    {
        CClientDC screen(player);
        CDC memory;
        if (!screen.m_hDC || !memory.CreateCompatibleDC(&screen) ||
            !bitmap.CreateCompatibleBitmap(&screen, width, height) || !memory.SelectObject(&bitmap))
            return nullptr;
        if (ScreenShowsAll(screen, onScreen)) {
            if (!memory.BitBlt(0, 0, width, height, &screen, 0, 0, SRCCOPY)) return nullptr;
        } else {
            ::SendMessageA(player, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.m_hDC), PRF_CLIENT);
        }
    }  // GDI+ takes the bitmap's pixels once no DC holds it
    GpBitmap* picture = nullptr;
    if (DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &picture) != Ok) return nullptr;
    return ImagePtr(picture);
}

}  // namespace

bool SaveCaptureFile(GpImage* picture, const CString& path) {
    CLSID bmpEncoder;
    if (FindImageEncoder(L"image/bmp", &bmpEncoder) < 0) return false;
    const std::wstring widePath = AfxAnsiToWide(path);
    if (widePath.empty()) return false;
    LONG depth = kColorDepthBits;
    EncoderParameters params;
    params.Count = 1;
    params.Parameter[0].Guid = kEncoderColorDepth;
    params.Parameter[0].NumberOfValues = 1;
    params.Parameter[0].Type = EncoderParameterValueTypeLong;
    params.Parameter[0].Value = &depth;
    return DllExports::GdipSaveImageToFile(picture, widePath.c_str(), &bmpEncoder, &params) == Ok;
}

namespace {

// One capture at a time: each makes the window topmost for its copy and
// non-topmost after, and each sets the caption, so overlapping captures
// would drop the topmost state under another's copy and could leave an
// older count in the caption. The UI thread never takes this lock, so the
// window calls made while holding it cannot deadlock.
std::mutex& CaptureLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

UINT __cdecl CaptureThreadProc(LPVOID param) {
    std::unique_ptr<CaptureTarget> target(static_cast<CaptureTarget*>(param));
    if (!target || !target->count || !::IsWindow(target->window)) return 1;
    std::lock_guard<std::mutex> oneAtATime(CaptureLock());

    ::SetWindowPos(target->window, HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);
    ImagePtr picture = CopyPlayerFrame(target->player);
    // Taken even when the copy failed, so a number is never given twice.
    const LONG number = ::InterlockedIncrement(target->count) - 1;
    const CString path = CaptureFilePath(target->folder, number);
    const bool saved = picture && SaveCaptureFile(picture.get(), path);
    // A half-written file, or one of an earlier movie under this number,
    // must not pass for this capture in the picker.
    if (!saved) ::DeleteFileA(path);
    ::SetWindowPos(target->window, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
    const CString caption =
        saved ? CapturedCaption(target->capturedWord, number + 1) : CaptureFailedCaption(number);
    ::SetWindowTextA(target->window, caption);
    return 1;
}

void StartCapture(const CaptureTarget& target) {
    // The thread object deletes itself when the capture ends; a failure to
    // start one has been shown by AfxBeginThread.
    auto* copy = new CaptureTarget(target);
    if (!AfxBeginThread(CaptureThreadProc, copy, THREAD_PRIORITY_NORMAL, 0, 0, nullptr)) delete copy;
}
