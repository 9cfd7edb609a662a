// CToolTipCtrl: a tool-tip window of the common controls, owned by the
// window it serves and destroyed with the object (or with its owner).
#pragma once

#include "framework/Wnd.h"

class CToolTipCtrl : public CWnd {
public:
    CToolTipCtrl() = default;

    BOOL Create(CWnd* owner, DWORD style = 0);
    // A tool over `rect` of `wnd` (its client area when rect is null).
    BOOL AddTool(CWnd* wnd, const char* text, const RECT* rect, UINT_PTR toolId);
    // Hands a mouse message to the tool tip (TTM_RELAYEVENT).
    void RelayEvent(MSG* msg);
};
