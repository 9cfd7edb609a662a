// pictaro.exe run as a separate process, the way a user starts it, and the
// windows it shows: found by owning process and caption, never by handle
// guesses, always with a deadline.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Wine's first window in a fresh prefix can take seconds to come up.
constexpr DWORD kStartDeadlineMs = 20000;
constexpr DWORD kDeadlineMs = 10000;
// The caption of the question closing asks while captures are unsaved.
constexpr const char kUnsavedQuestion[] = "Unsaved Captures";

// The program built beside this test program: <build>/app/pictaro.exe.
std::string PictaroExePath();

class PictaroProcess {
public:
    PictaroProcess() = default;
    ~PictaroProcess();
    PictaroProcess(const PictaroProcess&) = delete;
    PictaroProcess& operator=(const PictaroProcess&) = delete;

    // Starts the program in its own folder, with `arguments` after its
    // name; false (with `error`) if it could not be started.
    bool Start(const std::string& exePath, std::string* error, const std::string& arguments = std::string());
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    bool Running() const;

    // A visible top-level window of the process with exactly this caption.
    HWND FindWindowByCaption(const std::string& caption) const;
    HWND WaitForWindow(const std::string& caption, DWORD deadlineMs = kDeadlineMs) const;
    // Visible top-level windows of the process, the main window included.
    std::vector<HWND> VisibleWindows() const;

    bool WaitForExit(DWORD deadlineMs = kDeadlineMs);
    DWORD ExitCode() const;
    // Last resort after a failed test: dialogs cancelled, main window
    // closed, and only if that is not enough, the process ended.
    void CloseEverything(HWND mainWindow);

private:
    PROCESS_INFORMATION m_info = {};
};

// The text of a window of another process (WM_GETTEXT is carried across).
std::string WindowText(HWND hwnd);

}  // namespace e2e
