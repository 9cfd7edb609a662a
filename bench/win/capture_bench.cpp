// Capture latency: from the F2 key-down posted to the main window until
// the capture file is complete on disk (its writer has closed it and its
// length is the one its header gives). A 550 x 400 movie, fifty captures,
// one at a time; prints the median and the worst.
//
// The main window runs modally on this thread, as in the program; a second
// thread posts the keys and watches the files, so the modal loop is never
// held up by the measuring.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/PictaroApp.h"
#include "capture/CaptureNames.h"
#include "framework/Thread.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

constexpr int kCaptures = 50;
constexpr int kWidth = 550;
constexpr int kHeight = 400;
constexpr int kTwips = 20;
constexpr int kBandHeight = 50;
constexpr DWORD kPollMs = 1;
constexpr DWORD kGiveUpMs = 10000;
constexpr DWORD kBmpHeaderSize = 14;
constexpr UINT_PTR kSetUpTimer = 1;

struct Bench {
    CMainDialog* dialog = nullptr;
    std::string moviePath;
    HANDLE ready = nullptr;  // the movie is on screen
    std::vector<double> latenciesMs;
};
Bench g_bench;

std::vector<uint8_t> StageMovie() {
    swfmake::SwfWriter movie(6, {0, kWidth * kTwips, 0, kHeight * kTwips}, 12);
    swfmake::ShapeBuilder box;
    box.FillRect({kWidth * kTwips / 4, kWidth * kTwips * 3 / 4, kHeight * kTwips / 4, kHeight * kTwips * 3 / 4},
                 box.AddSolidFill({60, 90, 160, 255}));
    movie.Tags().SetBackgroundColor({255, 255, 255, 255});
    movie.Tags().DefineShape(1, box.Build());
    movie.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    movie.Tags().ShowFrame();
    return movie.Write(false);
}

// Complete: nobody writes it any more and it is as long as its header says.
bool FileComplete(const CString& path) {
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BYTE header[kBmpHeaderSize] = {};
    DWORD read = 0;
    LARGE_INTEGER size = {};
    bool complete = ::ReadFile(file, header, sizeof(header), &read, nullptr) && read == sizeof(header) &&
                    header[0] == 'B' && header[1] == 'M' && ::GetFileSizeEx(file, &size) &&
                    *reinterpret_cast<const DWORD*>(header + 2) == size.QuadPart;
    ::CloseHandle(file);
    return complete;
}

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * ticks / frequency.QuadPart;
}

bool WaitFor(bool (*condition)(int), int arg) {
    DWORD start = ::GetTickCount();
    while (!condition(arg)) {
        if (::GetTickCount() - start > kGiveUpMs) return false;
        ::Sleep(kPollMs);
    }
    return true;
}

bool CaptureDone(int number) { return FileComplete(CaptureFilePath(g_bench.dialog->m_captureFolder, number)); }
bool WorkersIdle(int) { return AfxGetRunningWorkerCount() == 0; }
bool UnsavedQuestionShown(int) { return ::FindWindowA(nullptr, kUnsavedCapturesCaption) != nullptr; }

DWORD WINAPI Driver(LPVOID) {
    ::WaitForSingleObject(g_bench.ready, INFINITE);
    HWND window = g_bench.dialog->GetSafeHwnd();
    const LPARAM f2Down = 1 | (static_cast<LPARAM>(::MapVirtualKeyA(VK_F2, MAPVK_VK_TO_VSC)) << 16);
    for (int n = 0; n < kCaptures; ++n) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        ::PostMessageA(window, WM_KEYDOWN, VK_F2, f2Down);
        if (!WaitFor(CaptureDone, n)) {
            std::printf("capture %d did not arrive\n", n);
            break;
        }
        ::QueryPerformanceCounter(&end);
        g_bench.latenciesMs.push_back(Milliseconds(end.QuadPart - start.QuadPart));
        WaitFor(WorkersIdle, 0);
    }
    ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    // The captures were never saved: closing asks, and the bench says yes.
    if (WaitFor(UnsavedQuestionShown, 0))
        ::PostMessageA(::FindWindowA(nullptr, kUnsavedCapturesCaption), WM_COMMAND, IDYES, 0);
    return 0;
}

// Runs inside the modal loop: the movie is loaded on the window's thread.
void CALLBACK SetUp(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(hwnd, id);
    CMainDialog& dialog = *g_bench.dialog;
    dialog.m_player.MoveWindow(0, kBandHeight, kWidth, kHeight);
    dialog.m_player.LoadMovie(0, g_bench.moviePath.c_str());
    dialog.m_captureCount = 0;
    ::UpdateWindow(dialog.m_player);
    ::SetEvent(g_bench.ready);
}

void Report() {
    std::vector<double> sorted = g_bench.latenciesMs;
    if (sorted.empty()) {
        std::printf("no capture measured\n");
        return;
    }
    std::sort(sorted.begin(), sorted.end());
    std::printf("capture latency, F2 key-down to complete %dx%d BMP, %zu captures:\n", kWidth, kHeight, sorted.size());
    std::printf("  median %.1f ms, worst %.1f ms, best %.1f ms\n", sorted[sorted.size() / 2], sorted.back(),
                sorted.front());
}

}  // namespace

int main() {
    CPictaroApp app;
    AfxEnableControlContainer();
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    g_bench.moviePath = std::string(temp) + "capture_bench.swf";
    std::vector<uint8_t> movie = StageMovie();
    HANDLE file = ::CreateFileA(g_bench.moviePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !::WriteFile(file, movie.data(), static_cast<DWORD>(movie.size()), &written, nullptr)) {
        std::printf("cannot write %s\n", g_bench.moviePath.c_str());
        return 0;
    }
    ::CloseHandle(file);

    CMainDialog dialog;
    g_bench.dialog = &dialog;
    g_bench.ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    app.m_pMainWnd = &dialog;
    HANDLE driver = ::CreateThread(nullptr, 0, &Driver, nullptr, 0, nullptr);
    ::SetTimer(nullptr, kSetUpTimer, USER_TIMER_MINIMUM, &SetUp);
    dialog.DoModal();
    app.m_pMainWnd = nullptr;
    ::WaitForSingleObject(driver, INFINITE);
    ::CloseHandle(driver);
    ::DeleteFileA(g_bench.moviePath.c_str());
    Report();
    return 0;
}
