#include "player/ShockwaveFlash.h"

#include "framework/WinApp.h"
#include "player/PlayerDispatch.h"

namespace {

// Dialog templates can create the control once the container is enabled.
const bool kRegistered = AfxAddControlClass(&RegisterPlayerControlClass);

}  // namespace

long CShockwaveFlash::GetTotalFrames() {
    LONG result = 0;
    InvokeHelper(kDispIdTotalFrames, DISPATCH_PROPERTYGET, VT_I4, &result, nullptr);
    return result;
}

void CShockwaveFlash::SetScaleMode(long mode) {
    static const BYTE params[] = VTS_I4;
    InvokeHelper(kDispIdScaleMode, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, static_cast<LONG>(mode));
}

void CShockwaveFlash::SetAlignMode(long mode) {
    static const BYTE params[] = VTS_I4;
    InvokeHelper(kDispIdAlignMode, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, static_cast<LONG>(mode));
}

void CShockwaveFlash::SetMovie(const char* path) {
    static const BYTE params[] = VTS_BSTR;
    InvokeHelper(kDispIdMovie, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, path);
}

long CShockwaveFlash::GetFrameNum() {
    LONG result = 0;
    InvokeHelper(kDispIdFrameNum, DISPATCH_PROPERTYGET, VT_I4, &result, nullptr);
    return result;
}

void CShockwaveFlash::SetFrameNum(long frame) {
    static const BYTE params[] = VTS_I4;
    InvokeHelper(kDispIdFrameNum, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, static_cast<LONG>(frame));
}

void CShockwaveFlash::Play() { InvokeHelper(kDispIdPlay, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }

BOOL CShockwaveFlash::IsPlaying() {
    LONG result = 0;
    InvokeHelper(kDispIdPlaying, DISPATCH_PROPERTYGET, VT_I4, &result, nullptr);
    return result != 0;
}

void CShockwaveFlash::Stop() { InvokeHelper(kDispIdStop, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }

void CShockwaveFlash::LoadMovie(long layer, const char* url) {
    static const BYTE params[] = VTS_I4 VTS_BSTR;
    InvokeHelper(kDispIdLoadMovie, DISPATCH_METHOD, VT_EMPTY, nullptr, params, static_cast<LONG>(layer), url);
}

long CShockwaveFlash::GetQuality() {
    LONG result = 0;
    InvokeHelper(kDispIdQuality, DISPATCH_PROPERTYGET, VT_I4, &result, nullptr);
    return result;
}

void CShockwaveFlash::SetQuality(long quality) {
    static const BYTE params[] = VTS_I4;
    InvokeHelper(kDispIdQuality, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, static_cast<LONG>(quality));
}

void CShockwaveFlash::SetQuality2(const char* name) {
    static const BYTE params[] = VTS_BSTR;
    InvokeHelper(kDispIdQuality2, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, name);
}

bool CShockwaveFlash::GetMuted() {
    LONG result = 0;
    InvokeHelper(kDispIdMuted, DISPATCH_PROPERTYGET, VT_I4, &result, nullptr);
    return result != 0;
}

void CShockwaveFlash::SetMuted(bool muted) {
    static const BYTE params[] = VTS_I4;
    InvokeHelper(kDispIdMuted, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, static_cast<LONG>(muted ? 1 : 0));
}
