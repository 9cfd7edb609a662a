#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/Errors.h"
#include "framework/WinApp.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_templateId(templateId) {}

CDialog::~CDialog() = default;

// The owner of a modal dialog is a top-level window: the given parent's, or
// the application's main window when none was given.
HWND CDialog::ModalOwner() const {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this) owner = main->m_hWnd;
    }
    if (owner && !::IsWindow(owner)) owner = nullptr;
    return owner ? ::GetAncestor(owner, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = ModalOwner();
    m_modalResult = -1;
    m_endModal = false;
    HWND hwnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        DWORD err = ::GetLastError();
        ShowError(owner, CString::FormatText("Pictaro could not create dialog %u.", m_templateId), err);
        return -1;
    }
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    // OnInitDialog may already have ended the dialog.
    if (!m_endModal && !(GetStyle() & WS_VISIBLE)) ShowWindow(SW_SHOWNORMAL);

    m_inModalLoop = true;
    MSG msg;
    while (!m_endModal) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT ends every loop: pass it on to the outer one.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (!WalkPreTranslate(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_inModalLoop = false;

    // Enable the owner before the dialog goes so activation returns to it.
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    return m_modalResult;
}

// From the message's window up through its parents to its top-level window:
// each framework object gets PreTranslateMessage until one takes it.
bool CDialog::WalkPreTranslate(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd) {
            BOOL taken = FALSE;
            try {
                taken = wnd->PreTranslateMessage(msg);
            } catch (...) {
                ReportCurrentException(m_hWnd);
                return true;
            }
            if (taken) return true;
        }
        if (!(::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_endModal = true;
    // Wakes the loop when this was called from outside a dispatched message.
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_INITDIALOG) return FALSE;
    CDialog* dialog = reinterpret_cast<CDialog*>(lp);
    return dialog ? dialog->HandleInitDialog(hwnd) : TRUE;
}

BOOL CDialog::HandleInitDialog(HWND hwnd) {
    // From here on the framework's procedure sits in front of the dialog
    // manager's, which stays the default.
    if (!SubclassWindow(hwnd)) return TRUE;
    m_ownership = Ownership::Created;
    try {
        return OnInitDialog();
    } catch (...) {
        ReportCurrentException(hwnd);
        EndDialog(IDCANCEL);
        return TRUE;
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;  // the failing exchange has told the user and set the focus
    }
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(UINT id, UINT) {
    switch (id) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    }
    return FALSE;
}

LRESULT CDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The dialog manager's default for WM_CLOSE is IDCANCEL: that reaches
    // OnCommand and ends our loop.
    return CWnd::OnMessage(msg, wp, lp);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    bool keyOrMouse = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                      (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    return keyOrMouse && m_hWnd && ::IsDialogMessageA(m_hWnd, msg);
}
