#include "tests/win/about/AboutTestSupport.h"

#include <memory>
#include <vector>

namespace {

constexpr DWORD kDeadlineMs = 10000;
constexpr DWORD kPollIntervalMs = 10;
// Enough pixels to be text, not noise: the underline alone has more.
constexpr int kMinTextPixels = 20;
constexpr int kColourCount = 3;
// In LinkColour order: link, hover, visited.
constexpr COLORREF kColours[kColourCount] = {RGB(0, 0, 255), RGB(255, 0, 0), RGB(5, 34, 143)};

struct DeleteDc {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct DeleteGdiObject {
    void operator()(void* object) const { ::DeleteObject(object); }
};

// Counts of exact link, hover and visited pixels in the client area.
std::vector<int> CountColours(HWND hwnd) {
    std::vector<int> counts(kColourCount, 0);
    RECT client;
    ::GetClientRect(hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0) return counts;
    HDC screen = ::GetDC(hwnd);
    std::unique_ptr<HDC__, DeleteDc> memory(::CreateCompatibleDC(screen));
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    std::unique_ptr<void, DeleteGdiObject> bitmap(
        ::CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
        HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
        ::SelectObject(memory.get(), old);
        const DWORD* pixel = static_cast<const DWORD*>(bits);
        for (int i = 0; i < client.right * client.bottom; ++i) {
            // DIB pixels are 0x00RRGGBB; COLORREF is 0x00BBGGRR.
            COLORREF c = RGB((pixel[i] >> 16) & 0xFF, (pixel[i] >> 8) & 0xFF, pixel[i] & 0xFF);
            for (int k = 0; k < kColourCount; ++k) counts[k] += c == kColours[k];
        }
    }
    ::ReleaseDC(hwnd, screen);
    return counts;
}

}  // namespace

bool PollUntil(const std::function<bool()>& condition) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > kDeadlineMs) return false;
        ::Sleep(kPollIntervalMs);
    }
    return true;
}

UiThread::UiThread(std::function<void()> body) {
    m_thread = std::thread([this, body] {
        m_id = ::GetCurrentThreadId();
        body();
        m_finished = true;
    });
    PollUntil([this] { return m_id != 0; });
}

namespace {

struct CaptionSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<CaptionSearch*>(lp);
    if (!::IsWindowVisible(hwnd) || WindowText(hwnd) != s->caption) return TRUE;
    s->found = hwnd;
    return FALSE;
}

}  // namespace

HWND UiThread::WaitForWindow(const char* caption) const {
    CaptionSearch search{caption, nullptr};
    PollUntil([&] {
        ::EnumThreadWindows(m_id, MatchCaption, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

HWND UiThread::Capture() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(m_id, &info) ? info.hwndCapture : nullptr;
}

bool ShowsOnly(HWND label, LinkColour colour) {
    std::vector<int> counts = CountColours(label);
    int wanted = static_cast<int>(colour);
    for (int k = 0; k < kColourCount; ++k)
        if (k == wanted ? counts[k] < kMinTextPixels : counts[k] != 0) return false;
    return true;
}

bool WaitForColour(HWND label, LinkColour colour) {
    return PollUntil([&] { return ShowsOnly(label, colour); });
}

std::string WindowText(HWND hwnd) {
    char text[256] = "";
    ::GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}
