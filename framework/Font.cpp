#include "framework/Font.h"

CFont::~CFont() { DeleteObject(); }

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont) {
    HFONT font = ::CreateFontIndirectA(logFont);
    if (!font) return FALSE;
    DeleteObject();
    m_hFont = font;
    return TRUE;
}

BOOL CFont::DeleteObject() {
    if (!m_hFont) return FALSE;
    BOOL ok = ::DeleteObject(m_hFont);
    m_hFont = nullptr;
    return ok;
}

BOOL CFont::GetLogFont(HFONT font, LOGFONTA* logFont) {
    return font && ::GetObjectA(font, sizeof(LOGFONTA), logFont) == static_cast<int>(sizeof(LOGFONTA));
}
