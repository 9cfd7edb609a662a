// CBitmap: owns one GDI bitmap; the object is deleted with it.
#pragma once

#include <windows.h>

class CDC;

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() { DeleteObject(); }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    HBITMAP m_hObject = nullptr;
    operator HBITMAP() const { return m_hObject; }

    // A bitmap resource of the program by integer id.
    BOOL LoadBitmap(UINT id);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // Deleting an empty object does nothing.
    BOOL DeleteObject();
    int GetBitmap(BITMAP* info) const;
};
