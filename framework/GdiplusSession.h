// GDI+ started for the lifetime of the object (one per process, held by the
// application object).
#pragma once

#include <windows.h>

class CGdiplusSession {
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    bool Started() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};
