// The main window's commands that other parts of the program carry out:
// opening a movie (player/OpenMovie.h), the picker (picker/PickerDlg.h) and
// the sound toggle (the player); capturing is in CaptureCommands.cpp. Each
// is handed what it works on.
#include "app/CommandCounters.h"
#include "app/MainDialog.h"
#include "app/Settings.h"
#include "app/res/resource.h"
#include "capture/CaptureNames.h"
#include "framework/MessageBox.h"
#include "framework/Thread.h"
#include "picker/PickerDlg.h"
#include "player/OpenMovie.h"

namespace {
constexpr UINT kPositionTimerMs = 200;
}  // namespace

void CMainDialog::OpenMovie() {
    CString path;
    if (ChooseMovieFile(path)) OpenMovieFile(path);
}

// Sizes, loads and starts the movie, and starts a new capture count. An
// unreadable file throws out of the sizing before anything has changed.
void CMainDialog::OpenMovieFile(const CString& path) {
    m_movieRect = FitPlayerToMovie(*this, m_player, m_clientRectAtStart, path);
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
    m_keptCaptures.clear();
    if (CWnd* playPause = GetDlgItem(IDC_PLAY_PAUSE)) playPause->ShowWindow(SW_SHOWNORMAL);
    m_seekSlider.ShowWindow(SW_SHOWNORMAL);
}

void CMainDialog::OpenPicker() {
    CountCommand(MainCommand::Picker);
    if (m_captureCount == 0) {
        ::MessageBoxA(m_hWnd, LoadResString(IDS_CAPTURE_FIRST), "Capture Cards First", MB_OK | MB_ICONHAND);
        return;
    }
    m_player.Stop();
    CPickerDlg picker;
    picker.m_strCaptureFolder = m_captureFolder;
    picker.m_nCaptureCount = m_captureCount;
    RECT screen = {};
    m_player.GetClientRect(&screen);
    picker.m_screenWidth = screen.right;
    picker.m_screenHeight = screen.bottom;
    picker.DoModal();
    m_keptCaptures.insert(picker.m_keptCaptures.begin(), picker.m_keptCaptures.end());
}

// Captures of this movie whose file is there and was neither saved nor
// printed: closing would delete them.
int CMainDialog::UnsavedCaptureCount() const {
    int unsaved = 0;
    for (int number = 0; number < m_captureCount; ++number) {
        if (m_keptCaptures.count(number)) continue;
        if (::GetFileAttributesA(CaptureFilePath(m_captureFolder, number)) != INVALID_FILE_ATTRIBUTES) ++unsaved;
    }
    return unsaved;
}

// True when the window may close: nothing would be lost, or the user said
// so. No is the default button, so a stray Enter keeps the captures.
bool CMainDialog::ConfirmClose() {
    AfxWaitForWorkerThreads();  // a capture still being written counts too
    const int unsaved = UnsavedCaptureCount();
    if (unsaved == 0) return true;
    const CString text =
        unsaved == 1 ? CString("1 capture has not been saved. Close Pictaro and delete it?")
                     : CString::FormatText("%d captures have not been saved. Close Pictaro and delete them?", unsaved);
    return ::MessageBoxA(m_hWnd, text, kUnsavedCapturesCaption, MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

// The movie plays on at the sound's pace while muted; only the device is
// given silence.
void CMainDialog::SetMuted(bool muted) {
    m_muted = muted;
    WriteSetting(kMutedSetting, muted ? 1 : 0);
    m_player.SetMuted(muted);
    ShowMuted();
}

// The toolbar's second frame is the strip with its speaker crossed out.
void CMainDialog::ShowMuted() {
    ::CheckMenuItem(GetMenu(), IDM_STEPS_MUTE, MF_BYCOMMAND | (m_muted ? MF_CHECKED : MF_UNCHECKED));
    m_toolbar.SetFrameNum(m_muted ? 1 : 0);
}
