#include "framework/GdiplusSession.h"

#include <objidl.h>
#include <propidl.h>
#include <gdiplus.h>

CGdiplusSession::CGdiplusSession() {
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, background thread, external codecs
    // A failed start-up is not reported: the GDI+ work fails later in its own way.
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
}

CGdiplusSession::~CGdiplusSession() { Gdiplus::GdiplusShutdown(m_token); }
