// Reporting failures of system calls: what Pictaro was doing, then the
// system's own text for the error (or its code in hex when it has none).
#pragma once

#include <windows.h>

#include <exception>

#include "framework/String.h"

// The system text for an error code; 0 reads as "unknown error".
CString SystemErrorText(DWORD err);

// Shows "what" + the system text in a message box with the stop icon,
// owned by `owner` (or the main window). Returns FALSE so callers can
// `return ShowError(...)`.
BOOL ShowError(HWND owner, const char* what, DWORD err);

// Base of the framework's exceptions: it knows how to tell the user.
class CException : public std::exception {
public:
    virtual CString Describe() const = 0;
    const char* what() const noexcept override { return "Pictaro error"; }
};

// For catch blocks at window procedure and thread boundaries: tells the user
// about the exception being handled. Call only inside a catch handler.
void ReportCurrentException(HWND owner);
