// Capturing from the main window: F2, the menu and the toolbar capture the
// current frame at the size chosen on the Steps menu; "Capture Every
// Frame" captures a range of frames the same way.
#include "app/MainDialog.h"
#include "app/Settings.h"
#include "app/res/resource.h"
#include "capture/EveryFrameDlg.h"
#include "capture/RenderedCapture.h"
#include "framework/MessageBox.h"

namespace {
constexpr const char* kTooLargeCaption = "Capture Too Large";
constexpr const char* kEveryFrameCaption = "Capture Every Frame";
}  // namespace

CaptureTarget CMainDialog::MakeCaptureTarget() {
    CaptureTarget target;
    target.window = m_hWnd;
    target.player = m_player.GetSafeHwnd();
    target.folder = m_captureFolder;
    target.count = &m_captureCount;
    target.capturedWord = LoadResString(IDS_CAPTURED);
    return target;
}

// The screen size copies the player's pixels on a worker, as always; the
// larger sizes are drawn by the engine on this thread, which owns it.
void CMainDialog::StartCapture() {
    const CaptureTarget target = MakeCaptureTarget();
    if (m_captureSize == CaptureSize::Screen) {
        ::StartCapture(target);
        return;
    }
    PixelSize picture;
    if (PictureSizeAllowed(picture)) CaptureRenderedFrame(target, picture);
}

bool CMainDialog::PictureSizeAllowed(PixelSize& picture) {
    RECT client = {};
    m_player.GetClientRect(&client);
    picture = CapturePixels(m_captureSize, {client.right, client.bottom});
    if (WithinCaptureLimit(picture)) return true;
    ::MessageBoxA(m_hWnd, CaptureTooLargeText(picture), kTooLargeCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CMainDialog::SetCaptureSize(CaptureSize size) {
    m_captureSize = size;
    WriteSetting(kCaptureSizeSetting, CaptureSizeSetting(size));
    ShowCaptureSize();
}

void CMainDialog::ShowCaptureSize() {
    ::CheckMenuRadioItem(GetMenu(), IDM_CAPTURE_SIZE_SCREEN, IDM_CAPTURE_SIZE_PRINT,
                         IDM_CAPTURE_SIZE_SCREEN + CaptureSizeSetting(m_captureSize), MF_BYCOMMAND);
}

// Frames are sought as the slider seeks them and drawn by the engine at the
// chosen size (the screen size too, so that no frame waits for a paint).
// Afterwards the movie is back on its frame, paused or playing as before.
void CMainDialog::CaptureEveryFrame() {
    const long total = m_player.GetTotalFrames();
    if (total <= 0) {
        ::MessageBoxA(m_hWnd, "Please open a movie first.", kEveryFrameCaption, MB_OK | MB_ICONHAND);
        return;
    }
    PixelSize picture;
    if (!PictureSizeAllowed(picture)) return;
    const BOOL wasPlaying = m_player.IsPlaying();
    const long startFrame = m_player.GetFrameNum();
    m_player.Stop();
    const CaptureTarget target = MakeCaptureTarget();
    CEveryFrameDlg dialog;
    dialog.m_lastFrame = total;
    dialog.m_captureFrame = [&](int frame) {
        m_player.SetFrameNum(frame - 1);
        m_seekSlider.SetPos(frame - 1);
        return CaptureRenderedFrame(target, picture);
    };
    dialog.DoModal();
    m_player.SetFrameNum(startFrame);
    m_seekSlider.SetPos(startFrame);
    if (wasPlaying) m_player.Play();
}
