// CDC: a device context. A DC made by CreateCompatibleDC is deleted with
// the object, after the bitmap it had at creation is selected back, so a
// bitmap still selected into it is never leaked or deleted while in use.
// CPaintDC: BeginPaint / EndPaint for one WM_PAINT.
// CClientDC: GetDC / ReleaseDC of a window's client area.
#pragma once

#include <windows.h>

class CBitmap;
class CWnd;

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }

    // Compatible with `dc`, or with the screen when `dc` is null.
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();

    // The previously selected bitmap, to select back.
    HBITMAP SelectObject(CBitmap* bitmap);
    HBITMAP SelectObject(HBITMAP bitmap);

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop);
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
    COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
    // Leaves the background colour set to `colour`.
    void FillSolidRect(const RECT* rect, COLORREF colour);
    void DrawFocusRect(const RECT* rect) { ::DrawFocusRect(m_hDC, rect); }

    int GetMapMode() const { return ::GetMapMode(m_hDC); }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    SIZE GetWindowExt() const;
    SIZE GetViewportExt() const;
    void SetWindowExt(SIZE size) { ::SetWindowExtEx(m_hDC, size.cx, size.cy, nullptr); }
    void SetViewportExt(SIZE size) { ::SetViewportExtEx(m_hDC, size.cx, size.cy, nullptr); }
    void SetWindowOrg(int x, int y) { ::SetWindowOrgEx(m_hDC, x, y, nullptr); }

private:
    bool m_owned = false;
    HBITMAP m_originalBitmap = nullptr;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hwnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
