#include "capture/Capture.h"

#include <windows.h>

#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN

#include <gdiplus.h>

#include <mutex>
#include <string>

#include "app/MainDialog.h"
#include "app/res/resource.h"
#include "capture/CaptureNames.h"
#include "capture/ImageEncoder.h"
#include "framework/Dispatch.h"
#include "framework/MessageBox.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"

namespace {

using Gdiplus::GpBitmap;

// GDI+ has no name for it in the MinGW headers.
const GUID kEncoderColorDepth = {0x66087055, 0xAD66, 0x4C7C, {0x9A, 0x18, 0x38, 0xA2, 0x31, 0x0B, 0x83, 0x37}};
constexpr LONG kColorDepthBits = 8;
constexpr UINT kKeepPlace = SWP_NOSIZE | SWP_NOMOVE;

class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~WindowDC() { if (m_dc) ::ReleaseDC(m_hwnd, m_dc); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

class MemoryDC {
public:
    explicit MemoryDC(HDC like) : m_dc(::CreateCompatibleDC(like)) {}
    ~MemoryDC() { if (m_dc) ::DeleteDC(m_dc); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

class GdiBitmap {
public:
    GdiBitmap(HDC like, int width, int height) : m_bitmap(::CreateCompatibleBitmap(like, width, height)) {}
    ~GdiBitmap() { if (m_bitmap) ::DeleteObject(m_bitmap); }
    GdiBitmap(const GdiBitmap&) = delete;
    GdiBitmap& operator=(const GdiBitmap&) = delete;
    HBITMAP Get() const { return m_bitmap; }

private:
    HBITMAP m_bitmap;
};

class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ~Selection() { if (m_old && m_old != HGDI_ERROR) ::SelectObject(m_dc, m_old); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool Ok() const { return m_old && m_old != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

class Picture {
public:
    Picture() = default;
    ~Picture() { if (m_bitmap) Gdiplus::DllExports::GdipDisposeImage(m_bitmap); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    GpBitmap** Out() { return &m_bitmap; }
    GpBitmap* Get() const { return m_bitmap; }

private:
    GpBitmap* m_bitmap = nullptr;
};

// Copies what the player window shows into `picture`. The GDI bitmap is
// deselected before GDI+ takes its pixels, as GDI+ asks.
bool CopyWindowPixels(HWND player, Picture& picture) {
    RECT rect;
    if (!player || !::GetWindowRect(player, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    WindowDC screen(player);
    if (!screen.Get()) return false;
    MemoryDC memory(screen.Get());
    GdiBitmap bitmap(screen.Get(), width, height);
    if (!memory.Get() || !bitmap.Get()) return false;
    {
        Selection selected(memory.Get(), bitmap.Get());
        if (!selected.Ok()) return false;
        if (!::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY)) return false;
    }
    return Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap.Get(), nullptr, picture.Out()) == Gdiplus::Ok;
}

bool SaveAsBmp(GpBitmap* picture, const CString& path) {
    CLSID bmpEncoder;
    if (FindImageEncoder(L"image/bmp", &bmpEncoder) < 0) return false;
    const std::wstring widePath = AfxAnsiToWide(path);
    if (widePath.empty()) return false;
    LONG depth = kColorDepthBits;
    Gdiplus::EncoderParameters params;
    params.Count = 1;
    params.Parameter[0].Guid = kEncoderColorDepth;
    params.Parameter[0].NumberOfValues = 1;
    params.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    params.Parameter[0].Value = &depth;
    return Gdiplus::DllExports::GdipSaveImageToFile(picture, widePath.c_str(), &bmpEncoder, &params) ==
           Gdiplus::Ok;
}

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

UINT __cdecl CaptureThreadProc(LPVOID) {
    CMainDialog* main = static_cast<CMainDialog*>(AfxGetMainWnd());
    if (!main || !main->GetSafeHwnd()) return 1;
    std::lock_guard<std::mutex> oneAtATime(CaptureLock());

    main->SetWindowPos(&wndTopMost, 0, 0, 0, 0, kKeepPlace);
    Picture picture;
    const bool copied = CopyWindowPixels(main->m_player.GetSafeHwnd(), picture);
    // Taken even when the copy failed, so a number is never given twice.
    const LONG number = ::InterlockedIncrement(&main->m_captureCount) - 1;
    const CString path = CaptureFilePath(main->m_captureFolder, number);
    const bool saved = copied && SaveAsBmp(picture.Get(), path);
    // A half-written file, or one of an earlier movie under this number,
    // must not pass for this capture in the picker.
    if (!saved) ::DeleteFileA(path);
    main->SetWindowPos(&wndNoTopMost, 0, 0, 0, 0, kKeepPlace);
    main->SetWindowText(saved ? CapturedCaption(LoadResString(IDS_CAPTURED), number + 1)
                              : CaptureFailedCaption(number));
    return 1;
}

void CMainDialog::StartCapture() {
    // The thread object deletes itself when the capture ends; a failure to
    // start one has been shown by AfxBeginThread.
    AfxBeginThread(CaptureThreadProc, nullptr, THREAD_PRIORITY_NORMAL, 0, 0, nullptr);
}
