#include "app/PictaroApp.h"

#include "app/CommandLine.h"
#include "app/MainDialog.h"

namespace {
constexpr DWORD kModulePathSize = 1024;
}

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
