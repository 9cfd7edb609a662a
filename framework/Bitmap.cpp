#include "framework/Bitmap.h"

#include "framework/DC.h"

BOOL CBitmap::LoadBitmap(UINT id) {
    DeleteObject();
    m_hObject = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    return m_hObject != nullptr;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    DeleteObject();
    m_hObject = ::CreateBitmap(width, height, planes, bitsPerPixel, bits);
    return m_hObject != nullptr;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    DeleteObject();
    m_hObject = ::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height);
    return m_hObject != nullptr;
}

BOOL CBitmap::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL deleted = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return deleted;
}

int CBitmap::GetBitmap(BITMAP* info) const {
    return m_hObject ? ::GetObjectA(m_hObject, sizeof(BITMAP), info) : 0;
}
