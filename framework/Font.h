// CFont: an owned GDI font, deleted with the object.
#pragma once

#include <windows.h>

class CFont {
public:
    CFont() = default;
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    operator HFONT() const { return m_hFont; }
    HFONT GetSafeHandle() const { return m_hFont; }

    // Replaces any font held before. FALSE (GetLastError set) on failure.
    BOOL CreateFontIndirect(const LOGFONTA* logFont);
    BOOL DeleteObject();

    // Reads any font's description; FALSE when `font` is not a font.
    static BOOL GetLogFont(HFONT font, LOGFONTA* logFont);

private:
    HFONT m_hFont = nullptr;
};
