#include "player/PlayerControl.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "framework/Errors.h"
#include "framework/WideText.h"
#include "hostfonts/GdiFontProvider.h"
#include "player/PlayerDispatch.h"
#include "player/PlayerPicture.h"
#include "player/PlayerQuality.h"

namespace {

constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kMinFrameIntervalMs = 10;
constexpr double kMsPerSecond = 1000.0;
// Posted to itself so that FSCommands reach the parent after the engine
// call that raised them has returned (the handler may run a modal loop).
constexpr UINT kDeliverEventsMessage = WM_APP + 1;
// Sent by DrawPlayerPicture, so that the engine is only used on its thread.
constexpr UINT kDrawPictureMessage = WM_APP + 2;
// A pointer position no button can be under (pixels; the engine clamps).
constexpr int kNowhere = -100000;

// Movies of version 6 and later store UTF-8; older ones the ANSI page.
std::wstring Utf8OrAnsiToWide(const std::string& text) {
    std::wstring wide = ToWide(text, CP_UTF8, MB_ERR_INVALID_CHARS);
    return wide.empty() ? ToWide(text, CP_ACP) : wide;
}

// Dialog templates hand the creation data either at the block itself or at
// the 16-bit size in front of it; the block always starts with a 32-bit 0.
bool FindCreationData(const void* params, const uint8_t** data, size_t* size) {
    if (!params) return false;
    const uint8_t* p = static_cast<const uint8_t*>(params);
    uint16_t first = static_cast<uint16_t>(p[0] | (p[1] << 8));
    if (first != 0) {
        *data = p + sizeof(uint16_t);
        *size = first;
        return true;
    }
    return false;  // a bare block carries no size: nothing safe to read
}

}  // namespace

BOOL RegisterPlayerControlClass() {
    WNDCLASSA wc = {};
    if (::GetClassInfoA(::GetModuleHandleA(nullptr), kPlayerClassName, &wc)) return TRUE;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &PlayerControl::WindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPlayerClassName;
    if (!::RegisterClassA(&wc)) {
        DWORD err = ::GetLastError();
        return ShowError(nullptr, "Pictaro could not register its movie player window class.", err);
    }
    return TRUE;
}

PlayerControl::PlayerControl(HWND hwnd) : m_hwnd(hwnd) {
    m_engine.SetFontProvider(std::make_shared<GdiFontProvider>());
    m_engine.SetFsCommandHandler(
        [this](const std::string& command, const std::string& args) { QueueFsCommand(command, args); });
}

PlayerControl* PlayerControl::FromWindow(HWND hwnd) {
    char name[64];
    if (!::GetClassNameA(hwnd, name, sizeof(name)) || lstrcmpiA(name, kPlayerClassName) != 0) return nullptr;
    return reinterpret_cast<PlayerControl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK PlayerControl::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    PlayerControl* control = reinterpret_cast<PlayerControl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    try {
        if (msg == WM_NCCREATE && !control) {
            control = new PlayerControl(hwnd);
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        }
        if (!control) return ::DefWindowProcA(hwnd, msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            delete control;
            return ::DefWindowProcA(hwnd, msg, wp, lp);
        }
        return control->Handle(msg, wp, lp);
    } catch (...) {
        // The clock or the next paint would meet the same failure again:
        // the movie goes, and the user hears of it once.
        if (control) control->DropMovie();
        ReportCurrentException(::GetAncestor(hwnd, GA_ROOT));
        return 0;
    }
}

LRESULT PlayerControl::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == DispInvokeMessage()) {
        OnInvoke(reinterpret_cast<DispCall*>(lp));
        return 0;
    }
    switch (msg) {
    case WM_CREATE: OnCreate(reinterpret_cast<const CREATESTRUCTA*>(lp)); return 0;
    case WM_ERASEBKGND: return TRUE;  // the paint covers everything
    case WM_PAINT: OnPaint(); return 0;
    case WM_PRINTCLIENT: PaintTo(reinterpret_cast<HDC>(wp)); return 0;
    case WM_SIZE: OnSize(); return 0;
    case WM_TIMER:
        if (wp == kClockTimer) OnClockTick();
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
        ::SetFocus(m_hwnd);  // keys go to the movie that was clicked
        OnPointer(msg, lp);
        return 0;
    case WM_LBUTTONUP: OnPointer(msg, lp); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: OnKey(msg, wp); return 0;
    case WM_MOUSEWHEEL: OnWheel(wp); return 0;
    case WM_SETFOCUS: OnFocus(true); return 0;
    case WM_KILLFOCUS: OnFocus(false); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(reinterpret_cast<HWND>(lp)); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(wp, lp)) return TRUE;
        break;
    // Arrows reach the movie; Tab, Enter and Escape stay the dialog's.
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTARROWS;
    case kDeliverEventsMessage: DeliverEvents(); return 0;
    case kDrawPictureMessage: return OnDrawPicture(reinterpret_cast<swf::FrameBuffer*>(lp)) ? TRUE : FALSE;
    }
    return ::DefWindowProcA(m_hwnd, msg, wp, lp);
}

void PlayerControl::OnCreate(const CREATESTRUCTA* create) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (create && FindCreationData(create->lpCreateParams, &data, &size))
        ParsePlayerProperties(data, size, m_properties);
    m_engine.SetScaleMode(ScaleModeFromName(m_properties.scaleMode));
    swf::Quality quality;
    if (swf::QualityFromName(m_properties.quality, quality)) m_engine.SetQuality(quality);
    if (m_properties.movie.empty()) return;
    Load(Utf8OrAnsiToWide(m_properties.movie));
    if (!m_properties.playing) m_engine.Stop();
}

void PlayerControl::OnInvoke(DispCall* call) {
    if (!call) return;
    const auto& args = call->args;
    auto intArg = [&](size_t i) { return i < args.size() ? args[i].intValue : 0; };
    auto textArg = [&](size_t i) { return i < args.size() ? args[i].text : std::wstring(); };
    bool get = (call->kind & DISPATCH_PROPERTYGET) != 0;
    call->handled = true;
    switch (call->dispid) {
    case kDispIdTotalFrames: call->result.type = VT_I4; call->result.intValue = m_engine.TotalFrames(); break;
    case kDispIdFrameNum:
        if (get) {
            call->result.type = VT_I4;
            call->result.intValue = m_engine.CurrentFrame();
        } else {
            m_engine.GotoFrame(intArg(0));
            Refresh();
        }
        break;
    case kDispIdScaleMode: m_engine.SetScaleMode(intArg(0)); Refresh(); break;
    case kDispIdAlignMode: m_engine.SetAlignMode(intArg(0)); Refresh(); break;
    case kDispIdMovie: Load(textArg(0)); break;
    case kDispIdLoadMovie:
        // Only the base layer exists in this player; other layers are ignored.
        if (intArg(0) == 0) Load(textArg(1));
        break;
    case kDispIdQuality: OnQuality(call, false); break;
    case kDispIdQuality2: OnQuality(call, true); break;
    case kDispIdPlaying: call->result.type = VT_I4; call->result.intValue = m_engine.IsPlaying() ? 1 : 0; break;
    case kDispIdPlay: m_engine.Play(); break;
    case kDispIdStop: m_engine.Stop(); break;
    case kDispIdMuted:
        if (get) {
            call->result.type = VT_I4;
            call->result.intValue = m_muted ? 1 : 0;
        } else {
            m_muted = intArg(0) != 0;
            m_audio.SetMuted(m_muted);
        }
        break;
    default: call->handled = false; break;
    }
}

// Unknown numbers and names change nothing. The engine keeps the quality
// across loads.
void PlayerControl::OnQuality(DispCall* call, bool byName) {
    if (call->kind & DISPATCH_PROPERTYGET) {
        if (byName) {
            call->result.type = VT_BSTR;
            call->result.text = ToWide(swf::QualityName(m_engine.GetQuality()), CP_ACP);
        } else {
            call->result.type = VT_I4;
            call->result.intValue = QualityNumber(m_engine.GetQuality());
        }
        return;
    }
    if (call->args.empty()) return;
    swf::Quality quality;
    bool known = byName ? swf::QualityFromName(AfxWideToAnsi(call->args[0].text).GetString(), quality)
                        : QualityFromNumber(call->args[0].intValue, quality);
    if (!known) return;
    m_engine.SetQuality(quality);
    Refresh();
}

// A capture worth printing is smoothed even when the screen is not: the
// player's quality or High, whichever is better. Memory running out fails
// the capture, not the movie.
bool PlayerControl::OnDrawPicture(swf::FrameBuffer* out) {
    RECT client;
    if (!out || !::GetClientRect(m_hwnd, &client) || client.right <= 0 || client.bottom <= 0) return false;
    try {
        m_engine.RenderMagnified(*out, client.right, client.bottom, std::max(m_engine.GetQuality(), swf::Quality::High));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool DrawPlayerPicture(HWND player, swf::FrameBuffer& out) {
    return PlayerControl::FromWindow(player) &&
           ::SendMessageA(player, kDrawPictureMessage, 0, reinterpret_cast<LPARAM>(&out)) != FALSE;
}

// A missing or unreadable movie leaves the player empty; the program does
// not report it.
void PlayerControl::Load(const std::wstring& path) {
    m_moviePath = path;
    OnSize();  // scripts of the first frame read the window's size
    // Paths reach the control from the program's 8-bit strings, so the
    // system code page holds them without loss.
    if (path.empty() || !m_engine.LoadFile(AfxWideToAnsi(path).GetString())) m_engine.Unload();
    m_pressed = false;
    m_engine.Focus(::GetFocus() == m_hwnd);
    m_lastTick = ::GetTickCount();
    if (m_engine.HasMovie()) {
        StartSound();
        StartClock();
    } else {
        ::KillTimer(m_hwnd, kClockTimer);
    }
    Refresh();
}

// The device opens with the first movie that has sound and stays open; with
// none (Wine in our tests) the movie plays silently, paced by the clock.
void PlayerControl::StartSound() {
    if (!m_engine.HasSound()) return;
    m_audio.SetMuted(m_muted);
    m_engine.SetAudioClock(m_audio.Start([this](int16_t* out, size_t frames) { m_engine.MixAudio(out, frames); }));
}

void PlayerControl::DropMovie() {
    ::KillTimer(m_hwnd, kClockTimer);
    m_engine.Unload();
    m_pressed = false;
    Refresh();
}

void PlayerControl::StartClock() {
    double rate = m_engine.FrameRate();
    UINT interval = rate > 0 ? static_cast<UINT>(std::lround(kMsPerSecond / rate)) : kMinFrameIntervalMs;
    if (!::SetTimer(m_hwnd, kClockTimer, std::max(interval, kMinFrameIntervalMs), nullptr)) {
        DWORD err = ::GetLastError();
        ShowError(::GetAncestor(m_hwnd, GA_ROOT), "Pictaro could not start the movie's clock.", err);
    }
}

// Timer messages come late and merge under load; the engine is given the
// real time that passed, so the movie keeps its rate.
void PlayerControl::OnClockTick() {
    DWORD now = ::GetTickCount();
    DWORD elapsed = now - m_lastTick;
    m_lastTick = now;
    if (m_engine.Advance(elapsed) > 0) Refresh();
}

void PlayerControl::Refresh() {
    m_frameDirty = true;
    ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

// The whole picture depends on the size (scale and alignment), not only the
// uncovered strip that Windows invalidates by itself.
// The engine hears the new size at once: movies that do not scale lay
// themselves out again (Stage's onResize).
void PlayerControl::OnSize() {
    RECT client;
    ::GetClientRect(m_hwnd, &client);
    m_engine.SetViewSize(client.right - client.left, client.bottom - client.top);
    Refresh();
}

// Renders only when the movie changed: paints for uncovering the window and
// captures copy the frame that is already there.
void PlayerControl::RenderIfNeeded() {
    RECT client;
    ::GetClientRect(m_hwnd, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (!m_engine.HasMovie() || width <= 0 || height <= 0) return;
    if (m_frame.Width() != width || m_frame.Height() != height) {
        m_frame.Resize(width, height);
        m_frameDirty = true;
    }
    if (!m_frameDirty) return;
    m_engine.Render(m_frame);
    m_frameDirty = false;
}

void PlayerControl::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hwnd, &ps);
    if (!dc) return;
    // EndPaint even when drawing fails, or the window would ask again forever.
    struct PaintEnd {
        HWND hwnd;
        PAINTSTRUCT* ps;
        ~PaintEnd() { ::EndPaint(hwnd, ps); }
    } end{m_hwnd, &ps};
    PaintTo(dc);
}

// One copy of the frame buffer (a 32-bpp top-down DIB) onto the window.
void PlayerControl::PaintTo(HDC dc) {
    RenderIfNeeded();
    RECT client;
    ::GetClientRect(m_hwnd, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (!m_engine.HasMovie() || m_frame.Width() != width || m_frame.Height() != height) {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as the frame buffer
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, m_frame.Data(), &info, DIB_RGB_COLORS);
}

// Client pixels; the engine maps them through the view of the last render,
// so that render must be of the current size.
void PlayerControl::OnPointer(UINT msg, LPARAM lp) {
    if (!m_engine.HasMovie()) return;
    RenderIfNeeded();
    int x = GET_X_LPARAM(lp);  // signed: captured moves can be left of or above the window
    int y = GET_Y_LPARAM(lp);
    switch (msg) {
    case WM_MOUSEMOVE:
        m_engine.PointerMove(x, y);
        if (!m_trackingLeave) {
            TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hwnd, 0};
            m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
        }
        break;
    case WM_LBUTTONDOWN:
        m_engine.PointerMove(x, y);
        m_engine.PointerDown(x, y);
        m_pressed = true;
        ::SetCapture(m_hwnd);
        break;
    case WM_LBUTTONUP:
        // Released before ReleaseCapture, whose WM_CAPTURECHANGED would
        // otherwise cancel the press.
        m_pressed = false;
        m_engine.PointerUp(x, y);
        if (::GetCapture() == m_hwnd) ::ReleaseCapture();
        break;
    }
    // A click's handler may have hidden the pointer or left the button.
    if (msg != WM_MOUSEMOVE) ShowEngineCursor();
    Refresh();
}

// A press whose capture was taken away (a message box, Alt+Tab) ends away
// from every button, so it clicks nothing.
void PlayerControl::OnCaptureChanged(HWND newCapture) {
    if (!m_pressed || newCapture == m_hwnd) return;
    m_pressed = false;
    if (!m_engine.HasMovie()) return;
    m_engine.PointerUp(kNowhere, kNowhere);
    Refresh();
}

void PlayerControl::OnMouseLeave() {
    m_trackingLeave = false;
    if (m_pressed || !m_engine.HasMovie()) return;
    m_engine.PointerMove(kNowhere, kNowhere);
    Refresh();
}

BOOL PlayerControl::OnSetCursor(WPARAM, LPARAM lp) {
    if (LOWORD(lp) != HTCLIENT || !m_engine.HasMovie()) return FALSE;
    ShowEngineCursor();
    return TRUE;
}

// Scripts may hide the pointer (Mouse.hide); buttons and clips acting as
// buttons show the hand.
void PlayerControl::ShowEngineCursor() {
    if (m_engine.CursorHidden()) ::SetCursor(nullptr);
    else ::SetCursor(::LoadCursor(nullptr, m_engine.PointerOverButton() ? IDC_HAND : IDC_ARROW));
}

void PlayerControl::QueueFsCommand(const std::string& command, const std::string& args) {
    std::vector<DispValue> values(2);
    values[0].type = VT_BSTR;
    values[0].text = Utf8OrAnsiToWide(command);
    values[1].type = VT_BSTR;
    values[1].text = Utf8OrAnsiToWide(args);
    m_pendingEvents.push_back(std::move(values));
    ::PostMessageA(m_hwnd, kDeliverEventsMessage, 0, 0);
}

void PlayerControl::DeliverEvents() {
    // The parent may destroy this window while it handles an event, so only
    // locals are used once the first event is out.
    std::vector<std::vector<DispValue>> events;
    events.swap(m_pendingEvents);
    HWND hwnd = m_hwnd;
    for (const auto& args : events) {
        if (!::IsWindow(hwnd)) return;
        FireControlEvent(hwnd, kDispIdFsCommand, args);
    }
}

// The character a key types is already queued (TranslateMessage ran before
// the key-down was dispatched), so it goes to the engine with its key.
void PlayerControl::OnKey(UINT msg, WPARAM wp) {
    const UINT key = static_cast<UINT>(wp) & 0xFF;
    if (msg == WM_KEYDOWN) {
        wchar_t typed = 0;
        MSG next;
        if (::PeekMessageA(&next, m_hwnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
            char ansi = static_cast<char>(next.wParam);
            if (::MultiByteToWideChar(CP_ACP, 0, &ansi, 1, &typed, 1) != 1) typed = 0;
        }
        m_keyChars[key] = typed;
        if (m_engine.HasMovie()) m_engine.KeyDown(static_cast<int>(key), typed);
    } else if (m_engine.HasMovie()) {
        m_engine.KeyUp(static_cast<int>(key), m_keyChars[key]);
    }
    Refresh();
}

void PlayerControl::OnWheel(WPARAM wp) {
    UINT linesPerNotch = 3;
    ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    const int delta = GET_WHEEL_DELTA_WPARAM(wp);
    if (m_engine.HasMovie()) m_engine.Wheel(delta * static_cast<int>(linesPerNotch) / WHEEL_DELTA);
    Refresh();
}

void PlayerControl::OnFocus(bool in) {
    m_engine.Focus(in);
    Refresh();
}
