// Stands in for Paint in tests: a window of Paint's class that records its
// command line and every WM_COMMAND it receives in %TEMP%\paintstub.log,
// one line each ("args <command line>", "command 0x<wParam>"), and exits
// on WM_CLOSE.
#include <windows.h>

#include <cstdio>

namespace {

constexpr const char* kClassName = "MSPaintApp";
constexpr const char* kLogName = "paintstub.log";

char g_logPath[MAX_PATH] = "";

void AppendLine(const char* line) {
    HANDLE file = ::CreateFileA(g_logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    ::WriteFile(file, "\r\n", 2, &written, nullptr);
    ::CloseHandle(file);
}

LRESULT CALLBACK StubProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        char line[64];
        std::snprintf(line, sizeof(line), "command 0x%04llX", static_cast<unsigned long long>(wp));
        AppendLine(line);
        return 0;
    }
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wp, lp);
}

// What follows the program's own name on the command line.
const char* Arguments(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char temp[MAX_PATH] = "";
    if (!::GetTempPathA(MAX_PATH, temp)) return 1;
    std::snprintf(g_logPath, sizeof(g_logPath), "%s%s", temp, kLogName);

    // Recorded before the window can be found, so a test that sees the
    // window also sees the arguments.
    char line[1024];
    std::snprintf(line, sizeof(line), "args %s", Arguments(::GetCommandLineA()));
    AppendLine(line);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = StubProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!::RegisterClassA(&wc)) return 1;
    HWND hwnd = ::CreateWindowA(kClassName, "paintstub", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    ::ShowWindow(hwnd, SW_SHOWNORMAL);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
