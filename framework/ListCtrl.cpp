#include "framework/ListCtrl.h"

namespace {

// Labels here are short; longer ones are cut, never overrun.
constexpr int kMaxItemText = 260;

}  // namespace

int CListCtrl::GetItemCount() const { return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0)); }

int CListCtrl::GetNextItem(int start, UINT flags) const {
    return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    char text[kMaxItemText] = {};
    LVITEMA lvItem = {};
    lvItem.iSubItem = subItem;
    lvItem.pszText = text;
    lvItem.cchTextMax = kMaxItemText;
    LRESULT length = ::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvItem));
    return CString(text, static_cast<int>(length));
}

int CListCtrl::InsertItem(const LVITEMA* item) {
    return static_cast<int>(::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item)));
}

HIMAGELIST CListCtrl::SetImageList(HIMAGELIST imageList, int kind) {
    return reinterpret_cast<HIMAGELIST>(
        ::SendMessageA(m_hWnd, LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(imageList)));
}
