#include "app/MainDialog.h"

#include <shellapi.h>

#include "app/AboutDialog.h"
#include "app/CommandCounters.h"
#include "app/MakerSite.h"
#include "app/PictaroApp.h"
#include "app/Settings.h"
#include "app/res/resource.h"
#include "capture/CaptureFolder.h"
#include "framework/DataExchange.h"
#include "framework/MessageBox.h"
#include "framework/Thread.h"
#include "player/PlayerDispatch.h"

namespace {

constexpr int kWindowWidth = 600;
constexpr int kWindowHeight = 500;
constexpr int kBandHeight = 50;  // the toolbar strip above the player
constexpr int kToolbarNarrowWidth = 330;
constexpr int kPlayerHeight = 400;
constexpr UINT kSeekRestartMs = 100;
constexpr DWORD kTempPathSize = 260;
constexpr COLORREF kKeyFromPixel = 0xFF000000;
constexpr int kThumbMarginLeft = 2;
constexpr int kThumbMarginTop = 3;
constexpr int kThumbMarginRight = 2;
constexpr int kThumbMarginBottom = 0;
constexpr long kToolbarAlignLeft = 1;
constexpr long kToolbarNoScale = 3;
constexpr UINT kSysCommandMask = 0xFFF0;
// Posted to itself by OnInitDialog: the command line's movie opens once the
// window shows, so its messages (a missing file) come over the window.
constexpr UINT kOpenStartMovieMessage = WM_APP + 1;

}  // namespace

CMainDialog::CMainDialog(CWnd* parent)
    : CDialog(IDD_PICTARO_DIALOG, parent), m_movieRect(), m_clientRectAtStart(), m_captureCount(0),
      m_timerRunning(FALSE), m_playing(FALSE), m_hIcon(nullptr),
      m_captureSize(CaptureSizeFromSetting(ReadSetting(kCaptureSizeSetting, CaptureSizeSetting(CaptureSize::Screen)))),
      m_muted(ReadSetting(kMutedSetting, 0) != 0) {
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    char temp[kTempPathSize] = "";
    ::GetTempPathA(kTempPathSize, temp);
    m_captureFolder = CString(temp) + "Pictaro";
    // An existing folder (left by an earlier run) is simply used again.
    ::CreateDirectoryA(m_captureFolder, nullptr);
    CPictaroApp* app = static_cast<CPictaroApp*>(AfxGetApp());
    if (app) m_exeDir = app->m_exeDir;
}

CMainDialog::~CMainDialog() = default;

void CMainDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SEEK_SLIDER, m_seekSlider);
    DDX_Control(dx, IDC_PLAYER, m_player);
    DDX_Control(dx, IDC_TOOLBAR, m_toolbar);
}

BOOL CMainDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutToSystemMenu();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    GetClientRect(&m_clientRectAtStart);
    SetUpSeekSlider();
    ShowCaptureSize();
    // The button stays hidden until a movie is open; enabled, it then works.
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_PLAY_PAUSE), TRUE);

    SetWindowPos(&wndTop, 0, 0, kWindowWidth, kWindowHeight, SWP_NOMOVE);
    m_toolbar.SetWindowPos(&wndTop, 0, 0, kWindowWidth, kBandHeight, 0);
    m_toolbar.LoadMovie(0, m_exeDir + "\\action.swf");
    m_toolbar.SetAlignMode(kToolbarAlignLeft);
    m_toolbar.SetScaleMode(kToolbarNoScale);
    m_player.SetWindowPos(&wndTop, 0, kBandHeight, kWindowWidth, kPlayerHeight, 0);
    m_player.SetMuted(m_muted);
    ShowMuted();
    SetWindowText("Pictaro");
    ::DragAcceptFiles(m_hWnd, TRUE);
    if (!m_startMovie.IsEmpty()) PostMessage(kOpenStartMovieMessage, 0, 0);
    return TRUE;
}

void CMainDialog::AddAboutToSystemMenu() {
    HMENU systemMenu = GetSystemMenu(FALSE);
    CString aboutText = LoadResString(IDS_ABOUTBOX);
    if (!systemMenu || aboutText.IsEmpty()) return;
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
}

void CMainDialog::SetUpSeekSlider() {
    m_seekSlider.SetTrackBitmaps(IDB_SEEK_TRACK, IDB_SEEK_TRACK_ACTIVE, FALSE, kKeyFromPixel, 0, 0);
    m_seekSlider.SetThumbBitmaps(IDB_SEEK_THUMB, IDB_SEEK_THUMB_ACTIVE, TRUE, kKeyFromPixel, 0, 0);
    m_seekSlider.SetFocusRect(FALSE, FALSE);
    m_seekSlider.SetMargins(kThumbMarginLeft, kThumbMarginTop, kThumbMarginRight, kThumbMarginBottom);
    m_seekSlider.EnableSlider(FALSE);
}

// Captures may still be writing into the folder and using this window:
// they end first, then the folder is emptied, then the window goes.
BOOL CMainDialog::DestroyWindow() {
    AfxWaitForWorkerThreads();
    DeleteFolderContents(CString(m_captureFolder));
    return CWnd::DestroyWindow();
}

// Every key-down of F2 (auto-repeats too) starts a capture; Alt+F2 arrives
// as WM_SYSKEYDOWN and does not. The key is not swallowed.
BOOL CMainDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && msg->wParam == VK_F2 &&
        msg->message == WM_KEYDOWN) {
        CountCommand(MainCommand::Capture);
        StartCapture();
    }
    if (OnFrameKey(*msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

LRESULT CMainDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SYSCOMMAND: return OnSysCommand(static_cast<UINT>(wp));
    case WM_PAINT: return OnPaint();
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_TIMER: OnTimer(wp); return Default();
    case WM_SEEK_MOVED: return OnSeekMoved(wp, lp);
    case WM_SEEK_MOVING: return OnSeekMoving(wp, lp);
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wp)); return 0;
    case WM_QUERYENDSESSION: return ConfirmClose() ? TRUE : FALSE;
    case WM_ENDSESSION: OnEndSession(static_cast<BOOL>(wp)); return 0;
    case kOpenStartMovieMessage: OpenMovieFile(m_startMovie); return 0;
    }
    return CDialog::OnMessage(msg, wp, lp);
}

BOOL CMainDialog::OnCommand(UINT id, UINT code) {
    switch (id) {
    case IDOK: return TRUE;  // Enter: the window has no default button, and never closes on it
    case IDC_PLAY_PAUSE:
        if (code != BN_CLICKED) return FALSE;
        OnPlayPause();
        return TRUE;
    case IDM_FILE_EXIT: OnOK(); return TRUE;
    case IDM_STEPS_OPEN: CountCommand(MainCommand::Open); OpenMovie(); return TRUE;
    case IDM_STEPS_CAPTURE: CountCommand(MainCommand::Capture); StartCapture(); return TRUE;
    case IDM_STEPS_SAVE: OpenPicker(); return TRUE;
    case IDM_CAPTURE_SIZE_SCREEN: SetCaptureSize(CaptureSize::Screen); return TRUE;
    case IDM_CAPTURE_SIZE_DOUBLE: SetCaptureSize(CaptureSize::Double); return TRUE;
    case IDM_CAPTURE_SIZE_QUADRUPLE: SetCaptureSize(CaptureSize::Quadruple); return TRUE;
    case IDM_CAPTURE_SIZE_PRINT: SetCaptureSize(CaptureSize::Print); return TRUE;
    case IDM_STEPS_EVERY_FRAME: CaptureEveryFrame(); return TRUE;
    case IDM_STEPS_MUTE: SetMuted(!m_muted); return TRUE;
    case IDM_HELP_HOWTO: OnHelpHowTo(); return TRUE;
    case IDM_HELP_ABOUT: ShowAboutBox(); return TRUE;
    }
    return CDialog::OnCommand(id, code);
}

BOOL CMainDialog::OnEvent(UINT ctrlId, DISPID dispid, const EventArgs& args) {
    if (ctrlId == IDC_TOOLBAR && dispid == kDispIdFsCommand && args.Count() == 2) {
        OnFSCommand(args.strings[0], args.strings[1]);
        return TRUE;
    }
    return CDialog::OnEvent(ctrlId, dispid, args);
}

LRESULT CMainDialog::OnSysCommand(UINT id) {
    if ((id & kSysCommandMask) == IDM_ABOUTBOX) {
        ShowAboutBox();
        return 0;
    }
    return Default();
}

// Minimised, the client area is tiny: the icon is drawn centred in it.
LRESULT CMainDialog::OnPaint() {
    if (!IsIconic()) return Default();
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (!dc) return 0;
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

void CMainDialog::OnOK() {
    if (ConfirmClose()) CDialog::OnOK();
}

void CMainDialog::OnCancel() {
    if (ConfirmClose()) CDialog::OnCancel();
}

// The session ends without the window being destroyed: the captures go now.
void CMainDialog::OnEndSession(BOOL ending) {
    if (!ending) return;
    AfxWaitForWorkerThreads();
    DeleteFolderContents(CString(m_captureFolder));
}

// The first file dropped opens as if chosen with "1. Open SWF".
void CMainDialog::OnDropFiles(HDROP drop) {
    char path[MAX_PATH] = "";
    UINT length = ::DragQueryFileA(drop, 0, path, MAX_PATH);
    ::DragFinish(drop);
    if (length > 0 && length < MAX_PATH) OpenMovieFile(path);
}

// Keys for the slider, or for a movie the user clicked into, are theirs; no
// key steps before a movie is open.
bool CMainDialog::OnFrameKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.hwnd == m_seekSlider.m_hWnd || msg.hwnd == m_player.m_hWnd ||
        !::IsWindowEnabled(m_seekSlider.m_hWnd))
        return false;
    const UINT key = static_cast<UINT>(msg.wParam);
    if (key != VK_LEFT && key != VK_RIGHT && key != VK_HOME && key != VK_END) return false;
    const long last = m_player.GetTotalFrames() - 1;
    if (last < 0) return true;
    long frame = m_player.GetFrameNum();
    switch (key) {
    case VK_LEFT: frame = frame > 0 ? frame - 1 : 0; break;
    case VK_RIGHT: frame = frame < last ? frame + 1 : last; break;
    case VK_HOME: frame = 0; break;
    case VK_END: frame = last; break;
    }
    // Stepping pauses: the play button then plays on from here.
    m_player.Stop();
    m_playing = FALSE;
    m_player.SetFrameNum(frame);
    m_seekSlider.SetPos(frame);
    return true;
}

void CMainDialog::OnTimer(UINT_PTR id) {
    if (id == ID_POSITION_TIMER) m_seekSlider.SetPos(m_player.GetFrameNum());
}

// A plain toggle: what the player is doing does not matter.
void CMainDialog::OnPlayPause() {
    if (m_playing)
        m_player.Stop();
    else
        m_player.Play();
    m_playing = !m_playing;
}

// Posted messages can be stale: the slider's own position is the truth.
LRESULT CMainDialog::OnSeekMoving(WPARAM wp, LPARAM) {
    if (wp != IDC_SEEK_SLIDER) return 0;
    if (m_timerRunning) {
        KillTimer(ID_POSITION_TIMER);
        m_timerRunning = FALSE;
    }
    m_player.SetFrameNum(m_seekSlider.GetPos());
    return 0;
}

LRESULT CMainDialog::OnSeekMoved(WPARAM wp, LPARAM) {
    if (wp != IDC_SEEK_SLIDER) return 0;
    if (!m_timerRunning) {
        SetTimer(ID_POSITION_TIMER, kSeekRestartMs);
        m_timerRunning = TRUE;
    }
    m_player.SetFrameNum(m_seekSlider.GetPos());
    m_player.Play();
    return 0;
}

// The toolbar movie's protocol: command "action" exactly; its argument in
// any letter case.
void CMainDialog::OnFSCommand(const char* command, const char* args) {
    if (CString(command).Compare("action") != 0) return;
    CString what(args);
    if (what.CompareNoCase("open") == 0) {
        CountCommand(MainCommand::Open);
        OpenMovie();
        // Uncovers the play button and the slider, whatever the dialog gave.
        m_toolbar.SetWindowPos(&wndTop, 0, 0, kToolbarNarrowWidth, kBandHeight, 0);
    } else if (what.CompareNoCase("capture") == 0) {
        CountCommand(MainCommand::Capture);
        StartCapture();
    } else if (what.CompareNoCase("print") == 0) {
        OpenPicker();
    } else if (what.CompareNoCase("mute") == 0 || what.CompareNoCase("unmute") == 0) {
        SetMuted(what.CompareNoCase("mute") == 0);
    }
}

void CMainDialog::OnHelpHowTo() {
    // A failure to start the browser is ignored.
    ::ShellExecuteA(nullptr, "open", kHelpPageUrl, nullptr, nullptr, SW_SHOW);
}

void CMainDialog::ShowAboutBox() {
    CAboutDialog about;
    about.DoModal();
}
