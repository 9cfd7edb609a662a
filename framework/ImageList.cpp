#include "framework/ImageList.h"

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

int CImageList::Add(HBITMAP bitmap, HBITMAP mask) { return ::ImageList_Add(m_hImageList, bitmap, mask); }

HIMAGELIST CImageList::Detach() {
    HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    BOOL ok = ::ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return ok;
}
