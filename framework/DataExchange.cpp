#include "framework/DataExchange.h"

#include <commctrl.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "framework/Dialog.h"
#include "framework/MessageBox.h"

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_lastControl = control;
    m_lastIsEdit = false;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_lastIsEdit = true;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_lastControl) {
        ::SetFocus(m_lastControl);
        if (m_lastIsEdit) ::SendMessageA(m_lastControl, EM_SETSEL, 0, -1);
    }
    throw Failure();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    HWND hwnd = dx->PrepareCtrl(id);
    if (!hwnd || !control.SubclassWindow(hwnd)) {
        AfxMessageBox(dx->m_pDlgWnd->m_hWnd,
                      CString::FormatText("Pictaro could not attach control %d of its window.", id), MB_OK | MB_ICONSTOP);
        dx->Fail();
    }
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate)
        value = CWnd::FromHandle(control)->GetWindowText();
    else
        ::SetWindowTextA(control, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (!control) return;
    if (!dx->m_bSaveAndValidate) {
        ::SetWindowTextA(control, CString::FormatText("%d", value));
        return;
    }
    CString text = CWnd::FromHandle(control)->GetWindowText();
    text.Trim();
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(text, &end, 10);
    if (text.IsEmpty() || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) {
        AfxMessageBox(dx->m_pDlgWnd->m_hWnd, "Please enter an integer.", MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
    value = static_cast<int>(parsed);
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
    HWND edit = dx->LastControl();
    if (!dx->m_bSaveAndValidate) {
        if (edit) ::SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        return;
    }
    if (value.GetLength() > maxChars) {
        AfxMessageBox(dx->m_pDlgWnd->m_hWnd,
                      CString::FormatText("Enter no more than %d characters.", maxChars), MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
}

void DDX_Slider(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(control, TBM_GETPOS, 0, 0));
    else
        ::SendMessageA(control, TBM_SETPOS, TRUE, value);
}
