#include "framework/Wnd.h"

#include <commctrl.h>

#include <map>
#include <memory>
#include <mutex>

#include "framework/Dispatch.h"
#include "framework/Errors.h"
#include "framework/WideText.h"
#include "framework/MessageBox.h"

const CWnd wndTop(HWND_TOP);
const CWnd wndBottom(HWND_BOTTOM);
const CWnd wndTopMost(HWND_TOPMOST);
const CWnd wndNoTopMost(HWND_NOTOPMOST);

namespace {

// HWND -> permanent object. Workers look windows up too, hence the lock.
std::mutex& MapLock() {
    static std::mutex lock;
    return lock;
}
std::map<HWND, CWnd*>& PermanentMap() {
    static std::map<HWND, CWnd*> map;
    return map;
}

constexpr size_t kTemporaryPurgeSize = 64;
thread_local std::map<HWND, std::unique_ptr<CWnd>> t_temporaries;
thread_local CWnd* t_creating = nullptr;

void AddPermanent(HWND hwnd, CWnd* wnd) {
    std::lock_guard<std::mutex> guard(MapLock());
    PermanentMap()[hwnd] = wnd;
}

void RemovePermanent(HWND hwnd) {
    std::lock_guard<std::mutex> guard(MapLock());
    PermanentMap().erase(hwnd);
}

void PurgeTemporaries() {
    for (auto it = t_temporaries.begin(); it != t_temporaries.end();) {
        if (::IsWindow(it->first)) {
            ++it;
        } else {
            it->second->m_hWnd = nullptr;
            it = t_temporaries.erase(it);
        }
    }
}

bool IsCtlColor(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

}  // namespace

void AfxRegisterWindow(HWND hwnd, CWnd* wnd) {
    wnd->m_hWnd = hwnd;
    AddPermanent(hwnd, wnd);
}

CWnd::CWnd() = default;

CWnd::CWnd(HWND handle) : m_hWnd(handle) {}

CWnd::~CWnd() {
    if (!m_hWnd) return;
    switch (m_ownership) {
    case Ownership::Created: {
        // The object goes first: the window must not call into it any more.
        HWND hwnd = m_hWnd;
        UnsubclassWindow();
        ::DestroyWindow(hwnd);
        break;
    }
    case Ownership::Subclassed: UnsubclassWindow(); break;
    case Ownership::Attached: Detach(); break;
    case Ownership::None: break;
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    std::lock_guard<std::mutex> guard(MapLock());
    auto it = PermanentMap().find(hwnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hwnd)) return permanent;
    auto it = t_temporaries.find(hwnd);
    if (it != t_temporaries.end()) return it->second.get();
    if (t_temporaries.size() >= kTemporaryPurgeSize) PurgeTemporaries();
    auto& slot = t_temporaries[hwnd];
    slot.reset(new CWnd(hwnd));
    return slot.get();
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return FALSE;
    m_hWnd = hwnd;
    m_ownership = Ownership::Attached;
    AddPermanent(hwnd, this);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd) RemovePermanent(hwnd);
    m_hWnd = nullptr;
    m_ownership = Ownership::None;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
    m_hWnd = hwnd;
    AddPermanent(hwnd, this);
    m_superProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WindowProc)));
    if (!m_superProc) {
        RemovePermanent(hwnd);
        m_hWnd = nullptr;
        return FALSE;
    }
    m_ownership = Ownership::Subclassed;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND control = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
    return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return nullptr;
    if (m_superProc && ::IsWindow(hwnd) &&
        ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::WindowProc)) {
        // Our own classes keep WindowProc as their class procedure: leave it.
        if (m_superProc != ::DefWindowProcA)
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    }
    RemovePermanent(hwnd);
    m_hWnd = nullptr;
    m_superProc = nullptr;
    m_ownership = Ownership::None;
    return hwnd;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, void* createParam) {
    if (m_hWnd) return FALSE;
    CWnd* previous = t_creating;
    t_creating = this;
    HMENU menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND hwnd = ::CreateWindowExA(exStyle, className, windowName, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top,
                                  parent ? parent->m_hWnd : nullptr, menuOrId, ::GetModuleHandleA(nullptr),
                                  createParam);
    t_creating = previous;
    if (!hwnd) return FALSE;
    if (m_hWnd != hwnd) {
        // A class whose procedure is not ours: take it over now.
        if (!m_hWnd) SubclassWindow(hwnd);
    }
    m_ownership = Ownership::Created;
    return TRUE;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id) {
    return CreateEx(0, className, windowName, style, rect, parent, id);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}
BOOL CWnd::OnCommand(UINT, UINT) { return FALSE; }
BOOL CWnd::OnNotify(NMHDR*, LRESULT*) { return FALSE; }
BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }
HBRUSH CWnd::CtlColor(HDC, UINT) { return nullptr; }
BOOL CWnd::OnEvent(UINT, DISPID, const EventArgs&) { return FALSE; }

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd && t_creating && !t_creating->m_hWnd) {
        // First message of a window that CreateEx is making (WM_GETMINMAXINFO
        // can come before WM_NCCREATE).
        wnd = t_creating;
        AfxRegisterWindow(hwnd, wnd);
        wnd->m_superProc = ::DefWindowProcA;
    }
    if (!wnd) return ::DefWindowProcA(hwnd, msg, wp, lp);
    return wnd->Dispatch(msg, wp, lp);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    CurrentMessage current{msg, wp, lp};
    const CurrentMessage* outer = m_current;
    m_current = &current;
    LRESULT result = 0;
    HWND hwnd = m_hWnd;
    try {
        result = OnMessage(msg, wp, lp);
    } catch (...) {
        // The command that met the error ends here; the window lives on.
        ReportCurrentException(::IsWindow(hwnd) ? ::GetAncestor(hwnd, GA_ROOT) : nullptr);
        result = 0;
    }
    m_current = outer;
    if (msg == WM_NCDESTROY) HandleNcDestroy();
    return result;
}

void CWnd::HandleNcDestroy() {
    if (!m_hWnd) return;
    HWND hwnd = m_hWnd;
    WNDPROC super = m_superProc;
    RemovePermanent(hwnd);
    if (super && super != ::DefWindowProcA &&
        ::GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::WindowProc))
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    m_hWnd = nullptr;
    m_superProc = nullptr;
    m_ownership = Ownership::None;
    PostNcDestroy();
}

LRESULT CWnd::Default() {
    if (!m_current || !m_hWnd) return 0;
    WNDPROC super = m_superProc ? m_superProc : ::DefWindowProcA;
    return ::CallWindowProcA(super, m_hWnd, m_current->msg, m_current->wp, m_current->lp);
}

LRESULT CWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) return RouteCommand(wp, lp);
    if (msg == WM_NOTIFY) return RouteNotify(wp, lp);
    if (IsCtlColor(msg)) return RouteCtlColor(msg, wp, lp);
    if (msg == DispEventMessage()) return RouteEvent(lp);
    return Default();
}

LRESULT CWnd::RouteCommand(WPARAM wp, LPARAM lp) {
    HWND control = reinterpret_cast<HWND>(lp);
    if (control) {
        CWnd* child = FromHandlePermanent(control);
        LRESULT result = 0;
        if (child && child != this && child->OnChildNotify(WM_COMMAND, wp, lp, &result)) return result;
    }
    if (OnCommand(LOWORD(wp), HIWORD(wp))) return 0;
    return Default();
}

LRESULT CWnd::RouteNotify(WPARAM wp, LPARAM lp) {
    NMHDR* header = reinterpret_cast<NMHDR*>(lp);
    LRESULT result = 0;
    CWnd* child = header ? FromHandlePermanent(header->hwndFrom) : nullptr;
    if (child && child != this && child->OnChildNotify(WM_NOTIFY, wp, lp, &result)) return result;
    if (header && OnNotify(header, &result)) return result;
    return Default();
}

LRESULT CWnd::RouteCtlColor(UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lp));
    if (child && child != this) {
        if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wp), msg))
            return reinterpret_cast<LRESULT>(brush);
    }
    return Default();
}

LRESULT CWnd::RouteEvent(LPARAM lp) {
    const DispEvent* event = reinterpret_cast<const DispEvent*>(lp);
    if (!event) return FALSE;
    EventArgs args;
    for (const DispValue& value : event->args) {
        args.strings.push_back(value.type == kVtI4 ? CString::FormatText("%ld", static_cast<long>(value.intValue))
                                                   : AfxWideToAnsi(value.text));
        args.ints.push_back(value.intValue);
    }
    return OnEvent(event->ctrlId, event->dispid, args);
}
