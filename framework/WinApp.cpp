#include "framework/WinApp.h"

#include <commctrl.h>

#include <vector>

#include "framework/Errors.h"

namespace {

CWinApp* g_app = nullptr;

std::vector<BOOL (*)()>& ControlClasses() {
    static std::vector<BOOL (*)()> registrars;
    return registrars;
}

}  // namespace

CWinApp::CWinApp(const char* appName)
    : m_pszAppName(appName), m_hInstance(::GetModuleHandleA(nullptr)), m_previousApp(g_app) {
    g_app = this;
    m_nThreadID = ::GetCurrentThreadId();
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = m_previousApp;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run() {
    MSG msg;
    BOOL got;
    while ((got = ::GetMessageA(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->GetMainWnd() : nullptr; }

bool AfxAddControlClass(BOOL (*registerClass)()) {
    ControlClasses().push_back(registerClass);
    return true;
}

BOOL AfxEnableControlContainer() {
    AfxInitCommonControls();
    BOOL ok = TRUE;
    for (auto registerClass : ControlClasses())
        if (!registerClass()) ok = FALSE;
    return ok;
}

BOOL AfxInitCommonControls() {
    INITCOMMONCONTROLSEX init = {};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES;
    return ::InitCommonControlsEx(&init);
}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = instance;
    AfxInitCommonControls();
    int result;
    try {
        result = app->InitInstance() ? app->Run() : app->ExitInstance();
    } catch (...) {
        ReportCurrentException(nullptr);
        result = 1;
    }
    return result;
}
