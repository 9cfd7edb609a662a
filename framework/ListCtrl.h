// CListCtrl: a list view, usually subclassed from a dialog template.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/Wnd.h"

class CListCtrl : public CWnd {
public:
    CListCtrl() = default;

    int GetItemCount() const;
    // LVM_GETNEXTITEM: -1 when no item after `start` has the flags.
    int GetNextItem(int start, UINT flags) const;
    CString GetItemText(int item, int subItem) const;
    // -1 on failure.
    int InsertItem(const LVITEMA* item);
    // The previous image list of that kind.
    HIMAGELIST SetImageList(HIMAGELIST imageList, int kind);
};
