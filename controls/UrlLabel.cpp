#include "controls/UrlLabel.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

namespace {

constexpr char kHelpViewerFile[] = "Winhlp32.exe";
// The help viewer's pointing hand.
constexpr WORD kHelpViewerHandCursor = 106;
constexpr UINT_PTR kToolId = 1001;

}  // namespace

CUrlLabel::~CUrlLabel() {
    if (!m_ownsCursor || !m_linkCursor) return;
    // A cursor still on screen must not be destroyed.
    if (::GetCursor() == m_linkCursor) ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    ::DestroyCursor(m_linkCursor);
}

void CUrlLabel::PreSubclassWindow() {
    // Without SS_NOTIFY a static control is transparent to the mouse and
    // never reports clicks.
    ModifyStyle(0, SS_NOTIFY);
    UseUnderlinedFont();
    LoadLinkCursor();
    CStatic::PreSubclassWindow();
    CreateToolTip();
}

void CUrlLabel::UseUnderlinedFont() {
    HFONT current = GetFont();
    // A control that was never given a font draws with the system font.
    if (!current) current = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTA logFont;
    if (!CFont::GetLogFont(current, &logFont)) return;
    logFont.lfUnderline = TRUE;
    // Without a font of its own the label still works, only not underlined.
    if (m_underlineFont.CreateFontIndirect(&logFont)) SetFont(m_underlineFont, TRUE);
}

// The help viewer's hand where that file exists (loaded as resources only,
// so none of its code runs), otherwise the system's hand.
void CUrlLabel::LoadLinkCursor() {
    char windowsDir[MAX_PATH];
    UINT length = ::GetWindowsDirectoryA(windowsDir, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        CString path(windowsDir);
        if (path.Right(1) != "\\") path += '\\';
        path += kHelpViewerFile;
        HMODULE module = ::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module) {
            // Not shared: the copy outlives the module we free at once.
            m_linkCursor = static_cast<HCURSOR>(
                ::LoadImageA(module, MAKEINTRESOURCEA(kHelpViewerHandCursor), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
            m_ownsCursor = m_linkCursor != nullptr;
            ::FreeLibrary(module);
        }
    }
    if (!m_linkCursor) m_linkCursor = ::LoadCursor(nullptr, IDC_HAND);
}

void CUrlLabel::CreateToolTip() {
    // The tool carries no text, so the tip never shows; a label without it
    // works the same, hence no complaint when the control cannot be made.
    if (!m_toolTip.Create(this, TTS_ALWAYSTIP)) return;
    m_toolTip.AddTool(this, "", nullptr, kToolId);
    m_toolTip.ShowWindow(SW_HIDE);
}

BOOL CUrlLabel::PreTranslateMessage(MSG* msg) {
    m_toolTip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

LRESULT CUrlLabel::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_MOUSEMOVE: {
        LRESULT result = Default();
        OnMouseMove(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
        return result;
    }
    case WM_SETCURSOR: return OnSetCursor() ? TRUE : Default();
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lp)); return Default();
    }
    return CStatic::OnMessage(msg, wp, lp);
}

// The first move over the label takes the capture, so that the move that
// leaves it arrives here too.
void CUrlLabel::OnMouseMove(POINT point) {
    if (!m_hover) {
        m_hover = true;
        Redraw(true);
        SetCapture();
        return;
    }
    RECT client;
    GetClientRect(&client);
    if (::PtInRect(&client, point)) return;
    m_hover = false;
    ReleaseCapture();
    Redraw(true);
}

// Another window took the mouse (a press elsewhere, a switch to another
// program): the label would never see the pointer leave, and would stay
// lit until the next visit.
void CUrlLabel::OnCaptureChanged(HWND newCapture) {
    if (!m_hover || newCapture == m_hWnd) return;
    m_hover = false;
    Redraw(true);
}

BOOL CUrlLabel::OnSetCursor() {
    if (!m_linkCursor) return FALSE;
    ::SetCursor(m_linkCursor);
    return TRUE;
}

BOOL CUrlLabel::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    if (msg != WM_COMMAND || HIWORD(wp) != STN_CLICKED) return CStatic::OnChildNotify(msg, wp, lp, result);
    OnClicked();
    *result = 0;
    return TRUE;
}

void CUrlLabel::OnClicked() {
    // An empty target would make the shell open the current folder. The
    // shell's result is not examined: when it cannot open the address it
    // tells the user itself, and the link has been followed either way.
    // The page opens minimised, leaving the dialog in front.
    if (!m_url.IsEmpty()) ::ShellExecuteA(nullptr, "open", m_url, nullptr, nullptr, SW_SHOWMINIMIZED);
    m_visited = true;
    Redraw(false);
}

HBRUSH CUrlLabel::CtlColor(HDC dc, UINT) {
    COLORREF colour = m_visited ? m_visitedColor : (m_hover ? m_hoverColor : m_linkColor);
    ::SetTextColor(dc, colour);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

// The label paints no background of its own (hollow brush): the dialog must
// repaint the area beneath it first, or the previous colour would linger in
// the edges of the glyphs drawn over it.
void CUrlLabel::Redraw(bool now) {
    HWND parent = ::GetParent(m_hWnd);
    if (!parent) {
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | (now ? RDW_UPDATENOW : 0));
        return;
    }
    RECT area;
    GetWindowRect(&area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | (now ? RDW_UPDATENOW : 0);
    ::RedrawWindow(parent, &area, nullptr, flags);
}
