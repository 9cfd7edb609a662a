// Helpers of the About box tests: a dialog run on a thread of its own (so
// the test thread can drive it and read its pixels), polling with a
// deadline, and the link colours painted into a window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

bool PollUntil(const std::function<bool()>& condition);

// Runs `body` (a DoModal) on its own thread; joins on destruction.
class UiThread {
public:
    explicit UiThread(std::function<void()> body);
    ~UiThread() { m_thread.join(); }

    DWORD Id() const { return m_id; }
    bool Finished() const { return m_finished; }
    // A visible top-level window of this thread with this caption.
    HWND WaitForWindow(const char* caption) const;
    HWND Capture() const;

private:
    std::thread m_thread;
    volatile DWORD m_id = 0;
    volatile bool m_finished = false;
};

enum class LinkColour { Link, Hover, Visited };
// The window's text shows this colour and neither of the other two.
bool ShowsOnly(HWND label, LinkColour colour);
bool WaitForColour(HWND label, LinkColour colour);

std::string WindowText(HWND hwnd);

// Client coordinates as a mouse message carries them (negative ones too).
inline LPARAM PointParam(int x, int y) {
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)));
}
