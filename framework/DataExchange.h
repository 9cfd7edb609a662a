// Data exchange between a dialog's controls and its members. Filling
// (m_bSaveAndValidate FALSE) writes members into controls; saving reads the
// controls back and validates them. A validation that fails has told the
// user and put the focus on the control; the exchange then stops.
#pragma once

#include "framework/Wnd.h"

class CDialog;

class CDataExchange {
public:
    // Thrown by Fail(); caught by CDialog::UpdateData.
    struct Failure {};

    CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // The control of the current exchange (for DDV_ after its DDX_).
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    HWND LastControl() const { return m_lastControl; }
    [[noreturn]] void Fail();

private:
    HWND m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

// Subclasses the control to `control` the first time; later calls keep it.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
// Sets the edit box's limit when filling; refuses a longer text when saving.
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
// Track bar position (TBM_GETPOS / TBM_SETPOS).
void DDX_Slider(CDataExchange* dx, int id, int& value);
