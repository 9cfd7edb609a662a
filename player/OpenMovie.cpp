// Opening a movie: choose the file, size the player to its stage (growing
// the main window when the stage does not fit the start-up client area),
// load it, and start the slider, the position timer and a new capture count.
#include "app/MainDialog.h"
#include "app/res/resource.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "player/ReadSwfStageRect.h"

namespace {

constexpr UINT kPositionTimerMs = 200;
constexpr DWORD kOpenFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

}  // namespace

void CMainDialog::OpenMovie() {
    CString filter =
        CString::FormatText("%s (*.swf)|*.swf|%s (*.*)|*.*||", "Shockwave Flash File", "All Files");
    // The dialog does not insist that the file exists: a typed name that does
    // not is reported by the header reader.
    CFileDialog dialog(TRUE, "swf", nullptr, kOpenFlags, filter);
    if (dialog.DoModal() != IDOK) return;
    CString path = dialog.GetPathName();

    // Throws, before anything has changed, when the file cannot be read.
    m_movieRect = ReadSwfStageRect(path);
    // A stage whose edges are swapped has no area rather than a negative one.
    int width = Width(m_movieRect) > 0 ? Width(m_movieRect) : 0;
    int height = Height(m_movieRect) > 0 ? Height(m_movieRect) : 0;

    RECT playerRect;
    m_player.GetWindowRect(&playerRect);
    ScreenToClient(&playerRect);
    int playerTop = playerRect.top;
    m_player.SetWindowPos(&wndTop, 0, 0, width, height, SWP_NOMOVE);

    // Strictly larger only: the window grows but never shrinks here.
    if (width > Width(m_clientRectAtStart) || height > Height(m_clientRectAtStart)) {
        int windowWidth = width + 2 * ::GetSystemMetrics(SM_CXFRAME);
        int windowHeight = height + ::GetSystemMetrics(SM_CYCAPTION) + playerTop + ::GetSystemMetrics(SM_CYMENU) +
                           2 * ::GetSystemMetrics(SM_CYFRAME);
        SetWindowPos(&wndTopMost, 0, 0, windowWidth, windowHeight, SWP_NOMOVE);
        CenterWindow();
    }

    m_player.SetMovie(path);
    m_seekSlider.SetRange(0, m_player.GetTotalFrames(), FALSE);
    m_seekSlider.EnableSlider(TRUE);
    m_playing = TRUE;
    if (!m_timerRunning) {
        SetTimer(ID_POSITION_TIMER, kPositionTimerMs);
        m_timerRunning = TRUE;
    }
    SetWindowText(LoadResString(IDS_READY_TO_PRINT) + path);
    ::InterlockedExchange(&m_captureCount, 0);
    if (CWnd* playPause = GetDlgItem(IDC_PLAY_PAUSE)) playPause->ShowWindow(SW_SHOWNORMAL);
    m_seekSlider.ShowWindow(SW_SHOWNORMAL);
}
