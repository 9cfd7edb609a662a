#include "framework/Dispatch.h"

#include <cstdarg>

#include "framework/WideText.h"
#include "framework/Wnd.h"

UINT DispInvokeMessage() {
    static const UINT message = ::RegisterWindowMessageA("Pictaro.DispInvoke");
    return message;
}

UINT DispEventMessage() {
    static const UINT message = ::RegisterWindowMessageA("Pictaro.DispEvent");
    return message;
}

void CWnd::InvokeHelper(DISPID dispid, WORD flags, VARTYPE resultType, void* result, const BYTE* paramInfo, ...) {
    DispCall call;
    call.dispid = dispid;
    call.kind = flags;
    va_list args;
    va_start(args, paramInfo);
    for (const BYTE* p = paramInfo; p && *p; ++p) {
        DispValue value;
        if (*p == kVtI4) {
            value.type = VT_I4;
            value.intValue = va_arg(args, LONG);
        } else if (*p == kVtAnsiString) {
            value.type = VT_BSTR;
            value.text = AfxAnsiToWide(va_arg(args, const char*));
        } else {
            break;  // a type this framework never passes
        }
        call.args.push_back(std::move(value));
    }
    va_end(args);
    if (m_hWnd) ::SendMessageA(m_hWnd, DispInvokeMessage(), 0, reinterpret_cast<LPARAM>(&call));
    if (result && resultType == VT_I4) *static_cast<LONG*>(result) = call.handled ? call.result.intValue : 0;
}

BOOL FireControlEvent(HWND control, DISPID dispid, const std::vector<DispValue>& args) {
    HWND parent = ::GetParent(control);
    if (!parent) return FALSE;
    DispEvent event;
    event.ctrlId = static_cast<UINT>(::GetDlgCtrlID(control));
    event.dispid = dispid;
    event.args = args;
    return static_cast<BOOL>(::SendMessageA(parent, DispEventMessage(), 0, reinterpret_cast<LPARAM>(&event)));
}
