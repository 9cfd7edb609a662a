#include "framework/DC.h"

#include "framework/Bitmap.h"
#include "framework/Wnd.h"

CDC::~CDC() { DeleteDC(); }

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    DeleteDC();
    m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
    m_owned = m_hDC != nullptr;
    return m_owned;
}

BOOL CDC::DeleteDC() {
    if (!m_owned || !m_hDC) return FALSE;
    if (m_originalBitmap) ::SelectObject(m_hDC, m_originalBitmap);
    BOOL deleted = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_owned = false;
    m_originalBitmap = nullptr;
    return deleted;
}

HBITMAP CDC::SelectObject(CBitmap* bitmap) { return SelectObject(bitmap ? bitmap->m_hObject : nullptr); }

HBITMAP CDC::SelectObject(HBITMAP bitmap) {
    if (!bitmap) return nullptr;
    HBITMAP previous = static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap));
    if (!m_originalBitmap) m_originalBitmap = previous;
    return previous;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX, sourceY, rop);
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
    ::SetBkColor(m_hDC, colour);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
}

SIZE CDC::GetWindowExt() const {
    SIZE size = {};
    ::GetWindowExtEx(m_hDC, &size);
    return size;
}

SIZE CDC::GetViewportExt() const {
    SIZE size = {};
    ::GetViewportExtEx(m_hDC, &size);
    return size;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_ps(), m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    if (m_hDC) ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(HWND hwnd) : m_hWnd(hwnd) { m_hDC = ::GetDC(hwnd); }

CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}
