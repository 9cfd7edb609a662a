// Message boxes captioned with the application's display name.
#pragma once

#include <windows.h>

#include "framework/String.h"

// The program file's name without its extension ("pictaro" for pictaro.exe).
CString AfxGetAppName();

// Owned by the active window of the main window's family, as a command's
// message should be; caption: the display name.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = 0);
// With an explicit owner (nullptr: the same choice as above).
int AfxMessageBox(HWND owner, const char* text, UINT type);

// A string-table entry of the program; empty when missing.
CString LoadResString(UINT id);
