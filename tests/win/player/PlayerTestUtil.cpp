#include "tests/win/player/PlayerTestUtil.h"

#include <cstdint>
#include <cstdlib>

#include "framework/Dispatch.h"
#include "framework/WideText.h"
#include "player/PlayerDispatch.h"
#include "tests/win/common/WinTestUtil.h"

namespace playertest {

namespace {

constexpr const char* kHostClass = "PictaroPlayerTestHost";
constexpr int kHostWidth = 1200;
constexpr int kHostHeight = 900;
constexpr UINT kFirstPlayerId = 2000;

std::vector<RaisedEvent>& RecordedEvents() {
    static std::vector<RaisedEvent> events;
    return events;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == DispEventMessage() && lp) {
        const DispEvent* event = reinterpret_cast<const DispEvent*>(lp);
        RaisedEvent raised{event->ctrlId, event->dispid, {}};
        for (const DispValue& value : event->args) raised.strings.push_back(AfxWideToAnsi(value.text).GetString());
        RecordedEvents().push_back(raised);
        return TRUE;
    }
    return ::DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

PlayerHost::PlayerHost() {
    RecordedEvents().clear();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &HostProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHostClass;
    ::RegisterClassA(&wc);  // fails harmlessly when an earlier test registered it
    m_hwnd = ::CreateWindowExA(WS_EX_TOPMOST, kHostClass, "Player host", WS_POPUP | WS_VISIBLE, 0, 0, kHostWidth,
                               kHostHeight, nullptr, nullptr, wc.hInstance, nullptr);
    wintest::PumpMessages();
}

PlayerHost::~PlayerHost() {
    for (auto& player : m_players) player->Detach();
    if (m_hwnd) ::DestroyWindow(m_hwnd);
    wintest::PumpMessages();
}

CShockwaveFlash& PlayerHost::AddPlayer(int x, int y, int width, int height) {
    UINT id = kFirstPlayerId + static_cast<UINT>(m_players.size());
    HWND control = ::CreateWindowExA(0, kPlayerClassName, "", WS_CHILD | WS_VISIBLE, x, y, width, height, m_hwnd,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                     ::GetModuleHandleA(nullptr), nullptr);
    m_players.push_back(std::make_unique<CShockwaveFlash>());
    m_players.back()->Attach(control);
    return *m_players.back();
}

const std::vector<RaisedEvent>& PlayerHost::Events() const { return RecordedEvents(); }

COLORREF PixelAt(HWND hwnd, int x, int y) {
    ::UpdateWindow(hwnd);
    HDC dc = ::GetDC(hwnd);
    COLORREF color = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return color;
}

std::vector<COLORREF> PrintedPixels(HWND hwnd) {
    RECT rect;
    ::GetClientRect(hwnd, &rect);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = rect.right;
    info.bmiHeader.biHeight = -rect.bottom;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    std::vector<COLORREF> pixels;
    if (bitmap && ::PrintWindow(hwnd, memory, PW_CLIENTONLY)) {
        ::GdiFlush();
        const uint8_t* p = static_cast<const uint8_t*>(bits);
        for (long i = 0; i < static_cast<long>(rect.right) * rect.bottom; ++i, p += 4)
            pixels.push_back(RGB(p[2], p[1], p[0]));
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    if (bitmap) ::DeleteObject(bitmap);
    return pixels;
}

COLORREF PrintedPixelAt(HWND hwnd, int x, int y) {
    RECT rect;
    ::GetClientRect(hwnd, &rect);
    std::vector<COLORREF> pixels = PrintedPixels(hwnd);
    if (pixels.empty() || x < 0 || y < 0 || x >= rect.right || y >= rect.bottom) return CLR_INVALID;
    return pixels[static_cast<size_t>(y) * rect.right + x];
}

}  // namespace playertest
