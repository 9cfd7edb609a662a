// CPictaroApp: GDI+ and the program's directory for the whole process, and
// the main window's modal run.
#pragma once

#include <windows.h>

#include "framework/GdiplusSession.h"
#include "framework/WinApp.h"

class CPictaroApp : public CWinApp {
public:
    CPictaroApp();
    ~CPictaroApp() override;

    BOOL InitInstance() override;

    // The folder part of a file path: the text left of its last backslash
    // (empty without one).
    static CString DirectoryOf(const char* path);

    CString m_exeDir;
    CGdiplusSession m_gdiplus;
};
