// Helpers for Windows tests that drive real windows on the test's thread:
// pumping, polling with a deadline, finding and closing dialogs, keys.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace wintest {

constexpr DWORD kDefaultDeadlineMs = 10000;

// Dispatches every message waiting for this thread.
void PumpMessages();

// Pumps messages until `condition` holds or the deadline passes; returns
// whether it held.
bool PollUntil(const std::function<bool()>& condition, DWORD deadlineMs = kDefaultDeadlineMs);

// Pumps until every message posted to `hwnd` before this call was handled.
void Drain(HWND hwnd);

// A visible top-level window of this thread whose caption is `caption`.
HWND FindThreadWindow(const char* caption);

// Every static text of a dialog (a message box's text), joined by '\n'.
std::string DialogText(HWND dialog);

// Posts a key to the window as the keyboard would.
void PostKeyDown(HWND hwnd, UINT vk, bool autoRepeat = false);
void PostSysKeyDown(HWND hwnd, UINT vk);

// While alive, closes every dialog of this thread with one of the captions
// as soon as it shows, from inside whatever modal loop runs, with `answer`
// (IDCANCEL, or IDYES for a Yes/No question), and records what each said.
class DialogCloser {
public:
    struct Seen {
        std::string caption;
        std::string text;
    };
    explicit DialogCloser(std::vector<std::string> captions, int answer = IDCANCEL);
    ~DialogCloser();
    const std::vector<Seen>& SeenDialogs() const { return m_seen; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Check();
    std::vector<std::string> m_captions;
    std::vector<Seen> m_seen;
    int m_answer;
    UINT_PTR m_timer;
};

// Steps run one after another from a timer of this thread, so from inside
// whatever message loop runs (a dialog's modal loop): messages they post go
// through that loop, PreTranslateMessage included. A Wait step runs again
// on each tick until it returns true; past the deadline the script stops,
// records the failure and runs its timeout action (say, closing the dialog).
class LoopScript {
public:
    explicit LoopScript(std::function<void()> onTimeout, DWORD deadlineMs = kDefaultDeadlineMs);
    ~LoopScript();
    LoopScript& Do(std::function<void()> action);
    LoopScript& Wait(std::function<bool()> condition, std::string what);
    void Start();
    bool Finished() const { return m_next >= m_steps.size(); }
    // Empty when every step ran; else what the script was waiting for.
    const std::string& Failure() const { return m_failure; }

private:
    struct Step {
        std::function<bool()> run;
        std::string what;
    };
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();
    std::vector<Step> m_steps;
    size_t m_next = 0;
    std::function<void()> m_onTimeout;
    DWORD m_deadlineMs;
    DWORD m_stepStart = 0;
    UINT_PTR m_timer = 0;
    bool m_running = false;
    std::string m_failure;
};

// A temporary folder of its own, removed with its contents at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return m_path; }
    std::string File(const char* name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// A path the test run was given (an environment variable): a Linux path
// becomes its Z: drive form, a Windows path stays as it is.
std::string HostPath(const std::string& path);

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool FileExists(const std::string& path);
// Names in a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);
// Deletes a folder tree (test clean-up).
void RemoveTree(const std::string& folder);

}  // namespace wintest
