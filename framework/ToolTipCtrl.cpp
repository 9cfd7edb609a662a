#include "framework/ToolTipCtrl.h"

#include <commctrl.h>

#include "framework/WinApp.h"

BOOL CToolTipCtrl::Create(CWnd* owner, DWORD style) {
    // Tests and early callers may come before the application set the
    // common controls up; registering twice is harmless.
    AfxInitCommonControls();
    RECT none = {};
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, none, owner, 0);
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, const char* text, const RECT* rect, UINT_PTR toolId) {
    TOOLINFOA info = {};
    info.cbSize = sizeof(info);
    // No TTF_SUBCLASS: the owner relays its messages (RelayEvent), and a
    // second subclass would sit in front of the framework's.
    info.uFlags = 0;
    info.hwnd = wnd->m_hWnd;
    info.uId = toolId;
    if (rect)
        info.rect = *rect;
    else
        ::GetClientRect(wnd->m_hWnd, &info.rect);
    // The control only reads the text; the cast is the header's.
    info.lpszText = const_cast<char*>(text ? text : "");
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
    if (m_hWnd) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}
