// CWinApp: the one application object. The framework's WinMain (AppMain.cpp)
// calls its InitInstance; FALSE ends the program after ExitInstance, TRUE
// runs a message loop until WM_QUIT.
#pragma once

#include "framework/Thread.h"
#include "framework/Wnd.h"

class CWinApp : public CWinThread {
public:
    // No name: the display name is the program file's name (AfxGetAppName).
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // Kept for the call; controls take the system's look.
    void Enable3dControls() {}

    const char* m_pszAppName;
    HINSTANCE m_hInstance;

private:
    // A second object (a test's) stands in until it goes.
    CWinApp* m_previousApp;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// Lets dialog templates hold the program's own control classes: registers
// every class added with AfxAddControlClass. FALSE when one failed (shown).
BOOL AfxEnableControlContainer();
// Registrars return FALSE after showing their own failure.
bool AfxAddControlClass(BOOL (*registerClass)());

// Common controls version 6 classes (list view, track bar, tool tips).
BOOL AfxInitCommonControls();

// The framework's entry point behind WinMain.
int AfxWinMain(HINSTANCE instance);
