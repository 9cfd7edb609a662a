#include "tests/win/about/AboutTestSupport.h"

#include <memory>

namespace {

constexpr DWORD kPollIntervalMs = 10;
// Enough pixels to be text, not noise: the underline alone has more.
constexpr int kMinTextPixels = 20;

struct ReleaseDc {
    HWND hwnd;
    void operator()(HDC dc) const { ::ReleaseDC(hwnd, dc); }
};
struct DeleteDc {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct DeleteGdiObject {
    void operator()(void* object) const { ::DeleteObject(object); }
};

struct FindArgs {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lp) {
    auto* args = reinterpret_cast<FindArgs*>(lp);
    if (::IsWindowVisible(hwnd) && WindowText(hwnd) == args->caption) {
        args->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(kPollIntervalMs);
    }
}

UiThread::UiThread(std::function<void()> body) {
    m_thread = std::thread([this, body] {
        m_id = ::GetCurrentThreadId();
        body();
        m_finished = true;
    });
    PollUntil([this] { return m_id != 0; });
}

UiThread::~UiThread() {
    if (m_thread.joinable()) m_thread.join();
}

HWND UiThread::FindWindowByCaption(const char* caption) const {
    FindArgs args{caption, nullptr};
    ::EnumThreadWindows(m_id, MatchCaption, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

HWND UiThread::WaitForWindow(const char* caption) const {
    HWND found = nullptr;
    PollUntil([&] { return (found = FindWindowByCaption(caption)) != nullptr; });
    return found;
}

HWND UiThread::Capture() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(m_id, &info) ? info.hwndCapture : nullptr;
}

ColourCount CountLinkColours(HWND hwnd) {
    ColourCount count;
    RECT client;
    ::GetClientRect(hwnd, &client);
    int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return count;
    std::unique_ptr<HDC__, ReleaseDc> screen(::GetDC(hwnd), ReleaseDc{hwnd});
    std::unique_ptr<HDC__, DeleteDc> memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    std::unique_ptr<void, DeleteGdiObject> bitmap(
        ::CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return count;
    HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    ::SelectObject(memory.get(), old);
    const DWORD* pixel = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) {
        // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
        DWORD p = pixel[i];
        COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        if (c == kLinkBlue) ++count.link;
        if (c == kHoverRed) ++count.hover;
        if (c == kVisitedBlue) ++count.visited;
    }
    return count;
}

bool ShowsOnly(HWND label, LinkColour colour) {
    ColourCount c = CountLinkColours(label);
    switch (colour) {
    case LinkColour::Link: return c.link >= kMinTextPixels && c.hover == 0 && c.visited == 0;
    case LinkColour::Hover: return c.hover >= kMinTextPixels && c.link == 0 && c.visited == 0;
    case LinkColour::Visited: return c.visited >= kMinTextPixels && c.link == 0 && c.hover == 0;
    }
    return false;
}

bool WaitForColour(HWND label, LinkColour colour) {
    return PollUntil([&] { return ShowsOnly(label, colour); });
}

std::string WindowText(HWND hwnd) {
    char text[256] = "";
    ::GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}
