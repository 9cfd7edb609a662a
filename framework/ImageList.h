// CImageList: owns an image list until Detach hands it to its new owner
// (a list view without LVS_SHAREIMAGELISTS destroys its lists itself).
#pragma once

#include <windows.h>

#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // The new image's index, or -1.
    int Add(HBITMAP bitmap, HBITMAP mask);
    HIMAGELIST Detach();
    BOOL DeleteImageList();
};
