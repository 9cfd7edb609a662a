// CWnd: one window object per window handle.
//
// Message flow: the framework's window procedure finds the object (kept from
// WM_NCCREATE for our own classes, from subclassing for controls, from
// WM_INITDIALOG for dialogs) and calls the virtual OnMessage. A class
// overrides OnMessage with a switch that hands each case to a named handler
// and passes the rest to its base; the base ends in Default(), the window's
// original procedure. Commands arrive in OnCommand (the class's command map),
// WM_NOTIFY in OnNotify, control events in OnEvent. Controls see their own
// WM_COMMAND / WM_NOTIFY / WM_CTLCOLOR* first, through OnChildNotify and
// CtlColor (message reflection). No exception leaves the window procedure.
#pragma once

#include <windows.h>
#include <wtypes.h>

#include <vector>

#include "framework/String.h"

struct EventArgs;
typedef LONG DISPID;

class CWnd {
public:
    CWnd();
    // Wraps a handle without owning it (the wndTop family, temporaries).
    explicit CWnd(HWND handle);
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Permanent objects are those that own or subclass their window; for any
    // other handle FromHandle gives a temporary wrapper owned by the calling
    // thread, valid until that window is gone (do not keep it).
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);

    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Our own window classes (registered with CWnd::WindowProc as procedure).
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, void* createParam = nullptr);
    BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();

    // Called for every message the modal loop is about to dispatch to this
    // window or a descendant; TRUE means it was handled and is not dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Called once the object is attached by subclassing.
    virtual void PreSubclassWindow();

    // Window calls (thin wrappers).
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void SetWindowText(const char* text);
    CString GetWindowText() const;
    void GetWindowText(CString& text) const { text = GetWindowText(); }
    int GetWindowTextLength() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    BOOL ShowWindow(int cmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const;
    BOOL IsWindow() const;
    void CenterWindow(CWnd* alternateOwner = nullptr);
    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void UpdateWindow();
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void ScreenToClient(RECT* rect) const;
    void ScreenToClient(POINT* point) const;
    void ClientToScreen(RECT* rect) const;
    void ClientToScreen(POINT* point) const;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT_PTR id);
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static BOOL ReleaseCapture();
    HMENU GetSystemMenu(BOOL revert) const;
    HMENU GetMenu() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    HFONT GetFont() const;
    void SetFont(HFONT font, BOOL redraw = TRUE);
    void SetIcon(HICON icon, BOOL bigIcon);
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    // Calls a dispatch member of a control window (see framework/Dispatch.h):
    // InvokeHelper(dispid, DISPATCH_*, VT_EMPTY or VT_I4, result, VTS_* bytes, args...).
    void InvokeHelper(DISPID dispid, WORD flags, VARTYPE resultType, void* result, const BYTE* paramInfo, ...);

    // The procedure registered for our own classes and installed on subclassed
    // windows and dialogs.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

protected:
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // TRUE when handled; the class's command map.
    virtual BOOL OnCommand(UINT id, UINT code);
    virtual BOOL OnNotify(NMHDR* header, LRESULT* result);
    // A control's chance to handle its own notification (reflection).
    virtual BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // Reflected WM_CTLCOLOR*: return a brush to take over the painting colours.
    virtual HBRUSH CtlColor(HDC dc, UINT ctlColorMsg);
    // A control's event (framework/Dispatch.h); TRUE when handled.
    virtual BOOL OnEvent(UINT ctrlId, DISPID dispid, const EventArgs& args);
    // After WM_NCDESTROY, when the object no longer has a window.
    virtual void PostNcDestroy();

    // The original procedure with the message being handled.
    LRESULT Default();

    WNDPROC m_superProc = nullptr;

private:
    struct CurrentMessage {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT RouteCommand(WPARAM wp, LPARAM lp);
    LRESULT RouteNotify(WPARAM wp, LPARAM lp);
    LRESULT RouteCtlColor(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT RouteEvent(LPARAM lp);
    void HandleNcDestroy();

    enum class Ownership { None, Attached, Subclassed, Created };
    Ownership m_ownership = Ownership::None;
    const CurrentMessage* m_current = nullptr;

    friend class CDialog;
    friend void AfxRegisterWindow(HWND, CWnd*);
};

// Insert-after values for SetWindowPos.
extern const CWnd wndTop;
extern const CWnd wndBottom;
extern const CWnd wndTopMost;
extern const CWnd wndNoTopMost;

// Binds an object to a window created with lpCreateParams == the object,
// before WM_NCCREATE is handled (used by CreateEx).
void AfxRegisterWindow(HWND hwnd, CWnd* wnd);
