// Capture time by size: the photo card (550 x 400, bitmaps smoothed,
// masks, a shape tween) captured at the screen size (the window's pixels
// copied), 2 x, 4 x and print width (drawn again by the engine), split into
// drawing and saving; then Every Frame's time per frame, seeking as the
// dialog does. Median of a few runs; prints figures, never fails.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/PictaroApp.h"
#include "capture/Capture.h"
#include "capture/CaptureSize.h"
#include "capture/RenderedCapture.h"
#include "player/PlayerDispatch.h"
#include "player/PlayerPicture.h"
#include "player/ShockwaveFlash.h"
#include "tools/moviegen/Movies.h"

namespace {

constexpr int kWidth = 550, kHeight = 400;
constexpr int kRuns = 5;
constexpr long kShownFrame = 100;
constexpr int kEveryStep = 10;  // frames 1, 11, 21, ... of the 240

double Now() {
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * counter.QuadPart / frequency.QuadPart;
}

double MedianMs(const std::function<void()>& run, int runs = kRuns) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        run();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::string TempPath(const char* name) {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

}  // namespace

int main() {
    CPictaroApp app;
    AfxEnableControlContainer();
    const std::string movie = TempPath("capture_size_bench.swf");
    const std::string folder = TempPath("capture_size_bench");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    if (!WriteFileBytes(movie, moviegen::PhotoMovie().Write(false))) {
        std::printf("cannot write %s\n", movie.c_str());
        return 0;
    }
    HWND window = ::CreateWindowExA(0, "STATIC", "Bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
    HWND playerWindow = ::CreateWindowExA(0, kPlayerClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                          window, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    CShockwaveFlash player;
    player.Attach(playerWindow);
    player.SetMovie(movie.c_str());
    player.Stop();
    player.SetFrameNum(kShownFrame);
    ::UpdateWindow(playerWindow);
    Pump();

    volatile LONG count = 0;
    CaptureTarget target;
    target.window = window;
    target.player = playerWindow;
    target.folder = folder.c_str();
    target.count = &count;
    target.capturedWord = "Captured";

    std::printf("capture of frame %ld of photos.swf, %d x %d on screen (median of %d):\n", kShownFrame, kWidth,
                kHeight, kRuns);
    const double screenMs = MedianMs([&] { CaptureThreadProc(new CaptureTarget(target)); });
    std::printf("  %-7s %5d x %-5d copy and save %7.1f ms\n", "screen", kWidth, kHeight, screenMs);
    const struct {
        const char* name;
        CaptureSize size;
    } sizes[] = {{"2 x", CaptureSize::Double}, {"4 x", CaptureSize::Quadruple}, {"print", CaptureSize::Print}};
    for (const auto& s : sizes) {
        const PixelSize picture = CapturePixels(s.size, {kWidth, kHeight});
        const double drawMs = MedianMs([&] {
            swf::FrameBuffer frame(picture.width, picture.height);
            DrawPlayerPicture(playerWindow, frame);
        });
        const double totalMs = MedianMs([&] { CaptureRenderedFrame(target, picture); });
        std::printf("  %-7s %5d x %-5d draw %7.1f ms, draw and save %7.1f ms\n", s.name, picture.width,
                    picture.height, drawMs, totalMs);
    }

    const int frames = player.GetTotalFrames();
    std::printf("every frame, frames 1-%d step %d, seeking each:\n", frames, kEveryStep);
    for (CaptureSize size : {CaptureSize::Screen, CaptureSize::Double}) {
        const PixelSize picture = CapturePixels(size, {kWidth, kHeight});
        int captured = 0;
        const double start = Now();
        for (int frame = 1; frame <= frames; frame += kEveryStep) {
            player.SetFrameNum(frame - 1);
            captured += CaptureRenderedFrame(target, picture) ? 1 : 0;
        }
        const double perFrame = captured ? (Now() - start) / captured : 0;
        std::printf("  %5d x %-5d %3d frames, %7.1f ms a frame\n", picture.width, picture.height, captured, perFrame);
    }

    player.Detach();
    ::DestroyWindow(window);
    char pattern[MAX_PATH];
    std::snprintf(pattern, sizeof pattern, "%s\\*.bmp", folder.c_str());
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do ::DeleteFileA((folder + "\\" + found.cFileName).c_str());
        while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder.c_str());
    ::DeleteFileA(movie.c_str());
    return 0;
}
