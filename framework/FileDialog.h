// CFileDialog: the common Open / Save As dialog. The filter is written with
// '|' between the parts ("Text (*.txt)|*.txt|All Files (*.*)|*.*||").
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "framework/Wnd.h"

class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);

    // IDOK or IDCANCEL; a failure of the dialog itself is shown and gives IDCANCEL.
    INT_PTR DoModal();

    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;

    OPENFILENAMEA m_ofn;

private:
    BOOL m_open;
    CWnd* m_parent;
    CString m_defaultExt;
    std::vector<char> m_filter;
    std::vector<char> m_file;
};
