// CSliderCtrl: a track bar, usually subclassed from a dialog template.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/Wnd.h"

class CSliderCtrl : public CWnd {
public:
    CSliderCtrl() = default;

    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    int GetPos() const;
    void SetPos(int position);
    void SetTicFreq(int frequency);
};
