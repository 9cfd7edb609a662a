#include "app/PictaroApp.h"

#include <objidl.h>
#include <propidl.h>
#include <gdiplus.h>

#include "app/CommandLine.h"
#include "app/MainDialog.h"

namespace {
constexpr DWORD kModulePathSize = 1024;
}

CPictaroApp::GdiplusGuard::GdiplusGuard() : m_token(0) {
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, external codecs
    // A failed start-up is not reported: the GDI+ work fails later in its own way.
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

CPictaroApp::GdiplusGuard::~GdiplusGuard() { Gdiplus::GdiplusShutdown(m_token); }

CPictaroApp::CPictaroApp() : CWinApp(nullptr) {
    char path[kModulePathSize];
    DWORD length = ::GetModuleFileNameA(nullptr, path, kModulePathSize);
    if (length == 0 || length >= kModulePathSize) length = 0;
    path[length] = '\0';
    m_exeDir = DirectoryOf(path);
}

CPictaroApp::~CPictaroApp() = default;

CString CPictaroApp::DirectoryOf(const char* path) {
    CString full(path);
    int slash = full.ReverseFind('\\');
    return slash >= 0 ? full.Left(slash) : CString();
}

BOOL CPictaroApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControls();
    CMainDialog dialog;
    dialog.m_startMovie = FullPathOf(MovieArgument(::GetCommandLineA()));
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
