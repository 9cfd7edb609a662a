#include "tests/win/common/WinTestUtil.h"

#include <algorithm>
#include <map>

namespace wintest {

namespace {

constexpr UINT kCloserIntervalMs = 50;
constexpr int kMaxCaption = 512;
const UINT kDrainMarker = ::RegisterWindowMessageA("PictaroTests.Drain");

std::map<UINT_PTR, DialogCloser*>& Closers() {
    static std::map<UINT_PTR, DialogCloser*> closers;
    return closers;
}

std::string WindowText(HWND hwnd) {
    char text[kMaxCaption] = "";
    ::GetWindowTextA(hwnd, text, kMaxCaption);
    return text;
}

struct FindArgs {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindByCaption(HWND hwnd, LPARAM lp) {
    FindArgs* args = reinterpret_cast<FindArgs*>(lp);
    if (::IsWindowVisible(hwnd) && WindowText(hwnd) == args->caption) {
        args->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM lp) {
    char cls[64] = "";
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Static") == 0) {
        std::string text = WindowText(hwnd);
        if (!text.empty()) {
            std::string* all = reinterpret_cast<std::string*>(lp);
            if (!all->empty()) *all += "\n";
            *all += text;
        }
    }
    return TRUE;
}

}  // namespace

void PumpMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool PollUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (::GetTickCount() - start > deadlineMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void Drain(HWND hwnd) {
    // Our marker lands behind everything posted so far; its arrival (seen by
    // a peek loop) means the rest was dispatched.
    bool seen = false;
    ::PostMessageA(hwnd, kDrainMarker, 0, 0);
    PollUntil([&] {
        MSG msg;
        if (::PeekMessageA(&msg, hwnd, kDrainMarker, kDrainMarker, PM_NOREMOVE)) return false;
        seen = true;
        return true;
    });
    (void)seen;
}

HWND FindThreadWindow(const char* caption) {
    FindArgs args{caption, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindByCaption, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

std::string DialogText(HWND dialog) {
    std::string all;
    ::EnumChildWindows(dialog, &CollectStatic, reinterpret_cast<LPARAM>(&all));
    return all;
}

void PostKeyDown(HWND hwnd, UINT vk, bool autoRepeat) {
    UINT scan = ::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM lp = 1 | (static_cast<LPARAM>(scan) << 16) | (autoRepeat ? (1L << 30) : 0);
    ::PostMessageA(hwnd, WM_KEYDOWN, vk, lp);
}

void PostSysKeyDown(HWND hwnd, UINT vk) {
    UINT scan = ::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM lp = 1 | (static_cast<LPARAM>(scan) << 16) | (1L << 29);  // context: Alt held
    ::PostMessageA(hwnd, WM_SYSKEYDOWN, vk, lp);
}

DialogCloser::DialogCloser(std::vector<std::string> captions, int answer)
    : m_captions(std::move(captions)), m_answer(answer) {
    m_timer = ::SetTimer(nullptr, 0, kCloserIntervalMs, &DialogCloser::OnTimer);
    Closers()[m_timer] = this;
}

DialogCloser::~DialogCloser() {
    ::KillTimer(nullptr, m_timer);
    Closers().erase(m_timer);
}

void CALLBACK DialogCloser::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Closers().find(id);
    if (it != Closers().end()) it->second->Check();
}

void DialogCloser::Check() {
    for (const std::string& caption : m_captions) {
        HWND dialog = FindThreadWindow(caption.c_str());
        if (!dialog || !::IsWindowEnabled(dialog)) continue;
        m_seen.push_back({caption, DialogText(dialog)});
        ::PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(m_answer), 0);
        ::PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

namespace {
constexpr UINT kScriptTickMs = 20;
std::map<UINT_PTR, LoopScript*>& Scripts() {
    static std::map<UINT_PTR, LoopScript*> scripts;
    return scripts;
}
}  // namespace

LoopScript::LoopScript(std::function<void()> onTimeout, DWORD deadlineMs)
    : m_onTimeout(std::move(onTimeout)), m_deadlineMs(deadlineMs) {}

LoopScript::~LoopScript() {
    if (m_timer) {
        ::KillTimer(nullptr, m_timer);
        Scripts().erase(m_timer);
    }
}

LoopScript& LoopScript::Do(std::function<void()> action) {
    m_steps.push_back({[action] {
                           action();
                           return true;
                       },
                       "action"});
    return *this;
}

LoopScript& LoopScript::Wait(std::function<bool()> condition, std::string what) {
    m_steps.push_back({std::move(condition), std::move(what)});
    return *this;
}

void LoopScript::Start() {
    m_stepStart = ::GetTickCount();
    m_timer = ::SetTimer(nullptr, 0, kScriptTickMs, &LoopScript::OnTimer);
    Scripts()[m_timer] = this;
}

void CALLBACK LoopScript::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Scripts().find(id);
    if (it != Scripts().end()) it->second->Tick();
}

void LoopScript::Tick() {
    if (m_running) return;  // a step that runs a modal loop of its own
    m_running = true;
    while (m_next < m_steps.size()) {
        if (!m_steps[m_next].run()) {
            if (::GetTickCount() - m_stepStart > m_deadlineMs) {
                m_failure = "timed out waiting for " + m_steps[m_next].what;
                m_next = m_steps.size();
                if (m_onTimeout) m_onTimeout();
            }
            break;
        }
        ++m_next;
        m_stepStart = ::GetTickCount();
        if (m_next < m_steps.size()) break;  // one step per tick: posted messages get through
    }
    if (m_next >= m_steps.size() && m_timer) {
        ::KillTimer(nullptr, m_timer);
        Scripts().erase(m_timer);
        m_timer = 0;
    }
    m_running = false;
}

TempFolder::TempFolder() {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    // Wine reuses process ids, and an earlier program killed mid-test leaves
    // its folder behind: take only a folder this call creates.
    static int counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        m_path = std::string(temp) + "pictaro-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(++counter);
        if (::CreateDirectoryA(m_path.c_str(), nullptr) || ::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

std::string HostPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string windowsPath = "Z:" + path;
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    return windowsPath;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = bytes.empty() || (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                                written == bytes.size());
    ::CloseHandle(file);
    return ok;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& folder) {
    for (const std::string& name : FolderEntries(folder)) {
        std::string path = folder + "\\" + name;
        DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            RemoveTree(path);
        else
            ::DeleteFileA(path.c_str());
    }
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace wintest
