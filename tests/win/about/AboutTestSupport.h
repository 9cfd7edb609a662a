// Helpers of the About box tests: a dialog run on a thread of its own (so
// the test thread can drive it and read its pixels), polling with a
// deadline, and the colours painted into a window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

constexpr DWORD kDeadlineMs = 10000;

// True once `condition` holds; false when the deadline passed first.
bool PollUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDeadlineMs);

// Runs `body` (typically a DoModal) on its own thread; joins on destruction.
class UiThread {
public:
    explicit UiThread(std::function<void()> body);
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    DWORD Id() const { return m_id; }
    bool Finished() const { return m_finished; }
    // The visible top-level window of this thread with the given caption.
    HWND FindWindowByCaption(const char* caption) const;
    HWND WaitForWindow(const char* caption) const;
    HWND Capture() const;

private:
    std::thread m_thread;
    volatile DWORD m_id = 0;
    volatile bool m_finished = false;
};

// Pixels of exactly these colours in the window's client area.
struct ColourCount {
    int link = 0;
    int hover = 0;
    int visited = 0;
};
ColourCount CountLinkColours(HWND hwnd);

constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr COLORREF kHoverRed = RGB(255, 0, 0);
constexpr COLORREF kVisitedBlue = RGB(5, 34, 143);
enum class LinkColour { Link, Hover, Visited };
// The text shows one of the three colours and none of the other two.
bool ShowsOnly(HWND label, LinkColour colour);
bool WaitForColour(HWND label, LinkColour colour);

std::string WindowText(HWND hwnd);

// Client coordinates as a mouse message carries them (negative ones too).
inline LPARAM PointParam(int x, int y) {
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)));
}
