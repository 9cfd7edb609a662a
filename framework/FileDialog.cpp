#include "framework/FileDialog.h"

#include <cstring>

#include "framework/Errors.h"
#include "framework/MessageBox.h"
#include "framework/WinApp.h"

namespace {

// Long paths are rare but legal in the dialog's buffer.
constexpr size_t kFileBufferSize = 32768;

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_ofn(), m_open(openFileDialog), m_parent(parent), m_defaultExt(defaultExt), m_file(kFileBufferSize, '\0') {
    if (fileName) std::strncpy(m_file.data(), fileName, m_file.size() - 1);
    if (filter) {
        // The common dialog wants NUL between the parts and two at the end.
        m_filter.assign(filter, filter + std::strlen(filter));
        for (char& ch : m_filter)
            if (ch == '|') ch = '\0';
        m_filter.push_back('\0');
        m_filter.push_back('\0');
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_file.size());
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrDefExt = m_defaultExt.IsEmpty() ? nullptr : m_defaultExt.GetString();
    m_ofn.hInstance = ::GetModuleHandleA(nullptr);
}

INT_PTR CFileDialog::DoModal() {
    HWND owner = m_parent ? m_parent->m_hWnd : nullptr;
    if (!owner && AfxGetMainWnd()) owner = AfxGetMainWnd()->m_hWnd;
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    m_ofn.hwndOwner = owner;
    BOOL ok = m_open ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    if (ok) return IDOK;
    DWORD err = ::CommDlgExtendedError();
    if (err != 0)
        AfxMessageBox(owner, CString::FormatText("Pictaro could not show the file dialog (error 0x%04lX).",
                                                 static_cast<unsigned long>(err)), MB_OK | MB_ICONSTOP);
    return IDCANCEL;
}

CString CFileDialog::GetPathName() const { return m_file.data(); }

CString CFileDialog::GetFileName() const {
    CString path = GetPathName();
    return path.Mid(path.ReverseFind('\\') + 1);
}

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot >= 0 ? name.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot >= 0 ? name.Left(dot) : name;
}
