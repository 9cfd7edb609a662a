#include "framework/MessageBox.h"

#include "framework/WinApp.h"

namespace {

constexpr int kMaxResString = 4096;

HWND DefaultOwner() {
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->m_hWnd || !::IsWindow(main->m_hWnd)) return nullptr;
    // A modal dialog over the main window is the right owner while it runs.
    HWND active = ::GetActiveWindow();
    if (active && ::GetWindowThreadProcessId(active, nullptr) == ::GetCurrentThreadId()) return active;
    return main->m_hWnd;
}

}  // namespace

CString AfxGetAppName() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "Pictaro";
    CString name(path, static_cast<int>(length));
    name = name.Mid(name.ReverseFind('\\') + 1);
    int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

int AfxMessageBox(HWND owner, const char* text, UINT type) {
    if (!owner) owner = DefaultOwner();
    return ::MessageBoxA(owner, text, AfxGetAppName(), type);
}

int AfxMessageBox(const char* text, UINT type, UINT) { return AfxMessageBox(nullptr, text, type); }

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    return AfxMessageBox(LoadResString(stringId), type, helpId);
}

CString LoadResString(UINT id) {
    char buffer[kMaxResString];
    int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, kMaxResString);
    return length > 0 ? CString(buffer, length) : CString();
}
