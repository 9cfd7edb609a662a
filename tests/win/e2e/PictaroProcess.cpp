#include "tests/win/e2e/PictaroProcess.h"

#include "tests/win/common/WinTestUtil.h"

namespace e2e {

namespace {

constexpr int kMaxText = 1024;
constexpr UINT kTextTimeoutMs = 2000;
constexpr DWORD kKillWaitMs = 5000;
constexpr int kStartAttempts = 3;
constexpr DWORD kStartRetryMs = 500;

struct EnumArgs {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM lp) {
    EnumArgs* args = reinterpret_cast<EnumArgs*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == args->processId && ::IsWindowVisible(hwnd)) args->windows.push_back(hwnd);
    return TRUE;
}

void PressYes(HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDYES, 0); }

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string SystemText(DWORD err) {
    char text[kMaxText] = "";
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, err, 0,
                                    text, kMaxText, nullptr);
    return length ? std::string(text, length) : "error " + std::to_string(err);
}

}  // namespace

std::string PictaroExePath() {
    char self[MAX_PATH] = "";
    DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    // This program is <build>\tests\win\win_e2e_tests.exe.
    std::string relative = FolderOf(self) + "\\..\\..\\app\\pictaro.exe";
    char full[MAX_PATH] = "";
    length = ::GetFullPathNameA(relative.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(full);
}

PictaroProcess::~PictaroProcess() {
    if (!m_info.hProcess) return;
    if (Running()) {
        ::TerminateProcess(m_info.hProcess, 1);
        ::WaitForSingleObject(m_info.hProcess, kKillWaitMs);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

bool PictaroProcess::Start(const std::string& exePath, std::string* error, const std::string& arguments) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    std::string commandLine = "\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::string folder = FolderOf(exePath);
    // Under a loaded Wine a start right after the previous program ended can
    // fail with ERROR_INTERNAL_ERROR; a later try succeeds.
    BOOL started = FALSE;
    DWORD err = 0;
    for (int attempt = 0; attempt < kStartAttempts && !started; ++attempt) {
        if (attempt > 0) ::Sleep(kStartRetryMs);
        started = ::CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &m_info);
        err = started ? 0 : ::GetLastError();
        if (!started && err != ERROR_INTERNAL_ERROR) break;
    }
    if (!started) {
        *error = "Cannot start " + exePath + ": " + SystemText(err);
        m_info = {};
        return false;
    }
    return true;
}

bool PictaroProcess::Running() const {
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> PictaroProcess::VisibleWindows() const {
    EnumArgs args{m_info.dwProcessId, {}};
    ::EnumWindows(&CollectVisible, reinterpret_cast<LPARAM>(&args));
    return args.windows;
}

HWND PictaroProcess::FindWindowByCaption(const std::string& caption) const {
    for (HWND hwnd : VisibleWindows())
        if (WindowText(hwnd) == caption) return hwnd;
    return nullptr;
}

HWND PictaroProcess::WaitForWindow(const std::string& caption, DWORD deadlineMs) const {
    HWND found = nullptr;
    wintest::PollUntil([&] { return (found = FindWindowByCaption(caption)) != nullptr; }, deadlineMs);
    return found;
}

bool PictaroProcess::WaitForExit(DWORD deadlineMs) {
    return wintest::PollUntil([this] { return !Running(); }, deadlineMs);
}

DWORD PictaroProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_info.hProcess) ::GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

void PictaroProcess::CloseEverything(HWND mainWindow) {
    if (!Running()) return;
    // Modal dialogs first: the main window cannot close under them.
    wintest::PollUntil(
        [&] {
            bool dialogs = false;
            for (HWND hwnd : VisibleWindows()) {
                if (hwnd == mainWindow) continue;
                dialogs = true;
                ::PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
                ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
            }
            return !dialogs;
        },
        kDeadlineMs);
    if (mainWindow) ::PostMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    // Captures left unsaved: the program asks first, and is told to go on.
    bool ended = wintest::PollUntil(
        [&] {
            if (HWND question = FindWindowByCaption(kUnsavedQuestion)) PressYes(question);
            return !Running();
        },
        kDeadlineMs);
    if (!ended) ::TerminateProcess(m_info.hProcess, 1);
}

std::string WindowText(HWND hwnd) {
    char text[kMaxText] = "";
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(hwnd, WM_GETTEXT, kMaxText, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                               kTextTimeoutMs, &copied))
        return std::string();
    return std::string(text, static_cast<size_t>(copied));
}

}  // namespace e2e
