// CStatic: a static control, usually subclassed from a dialog template.
#pragma once

#include "framework/Wnd.h"

class CStatic : public CWnd {
public:
    CStatic() = default;

    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
};
