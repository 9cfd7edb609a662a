// Calls into control windows and events out of them.
//
// A control window of ours offers "dispatch members" by id, as an automation
// control does. The caller packs one call (member id, kind, argument values)
// into a DispCall and sends it to the control as one registered message, the
// invoke entry point; strings travel as UTF-16. Events go the other way: the
// control sends its parent a DispEvent, and the parent's framework converts
// its strings to 8-bit text and calls the parent's OnEvent.
#pragma once

#include <windows.h>
#include <wtypes.h>

#include <string>
#include <vector>

#include "framework/String.h"

typedef LONG DISPID;

// Parameter description bytes for InvokeHelper.
#define VTS_NONE ""
#define VTS_I4 "\x03"
#define VTS_BSTR "\x0E"  // an 8-bit string, converted to UTF-16 on the way

// Types named by those bytes.
constexpr VARTYPE kVtI4 = VT_I4;
constexpr VARTYPE kVtAnsiString = 0x0E;

struct DispValue {
    VARTYPE type = VT_EMPTY;
    LONG intValue = 0;
    std::wstring text;
};

// The packet behind the invoke entry point. The control sets `handled`
// when it knows the member, and `result` for property gets.
struct DispCall {
    DISPID dispid = 0;
    WORD kind = 0;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT
    std::vector<DispValue> args;
    DispValue result;
    bool handled = false;
};

struct DispEvent {
    UINT ctrlId = 0;
    DISPID dispid = 0;
    std::vector<DispValue> args;
};

// What OnEvent receives: each argument as an integer and as 8-bit text.
struct EventArgs {
    std::vector<CString> strings;
    std::vector<LONG> ints;
    size_t Count() const { return strings.size(); }
};

// Registered message numbers (the same in every window of the process).
UINT DispInvokeMessage();  // lParam: DispCall*
UINT DispEventMessage();   // lParam: const DispEvent*

// Sends an event to the control's parent; returns whether a handler took it.
BOOL FireControlEvent(HWND control, DISPID dispid, const std::vector<DispValue>& args);
