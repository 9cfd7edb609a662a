// CUrlLabel: a static text control made into a web link. The text is
// underlined and coloured (blue, red while the pointer is over it, dark blue
// once followed), the pointer is a hand over it, and a click asks the shell
// to open the label's URL.
#pragma once

#include "framework/Font.h"
#include "framework/Static.h"
#include "framework/ToolTipCtrl.h"

class CUrlLabel : public CStatic {
public:
    CUrlLabel() = default;
    ~CUrlLabel() override;

    void SetUrl(const CString& url) { m_url = url; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void PreSubclassWindow() override;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;
    HBRUSH CtlColor(HDC dc, UINT ctlColorMsg) override;

private:
    void OnMouseMove(POINT point);
    BOOL OnSetCursor();
    void OnCaptureChanged(HWND newCapture);
    void OnClicked();

    void UseUnderlinedFont();
    void LoadLinkCursor();
    void CreateToolTip();
    void Redraw(bool now);

    HCURSOR m_linkCursor = nullptr;
    bool m_hover = false;
    bool m_visited = false;
    CFont m_underlineFont;
    CToolTipCtrl m_toolTip;
    CString m_url;
    COLORREF m_hoverColor = RGB(255, 0, 0);
    COLORREF m_linkColor = RGB(0, 0, 255);
    COLORREF m_visitedColor = RGB(5, 34, 143);
    // The cursor came from the help viewer's file and is ours to destroy;
    // the system's shared hand cursor is not.
    bool m_ownsCursor = false;
};
