// Picker benchmark under Wine: opening the picker over 100 captures of
// 550 x 400 (until the list is filled and shown), and Save All of those 100
// as JPEG, in milliseconds per picture. Prints figures; never fails.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/PictaroApp.h"
#include "picker/PickerDlg.h"
#include "tests/win/picker/PickerTestUtil.h"

using namespace pickertest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kCaptures = 100;
constexpr int kWidth = 550;
constexpr int kHeight = 400;
constexpr int kOpenings = 3;
constexpr int kList = 1007;
constexpr int kSaveAll = 1010;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

}  // namespace

int main() {
    CPictaroApp app;
    AfxEnableControlContainer();

    RemoveCaptures();
    for (int n = 0; n < kCaptures; ++n)
        WriteCapture(CapturePath(n), kWidth, kHeight, [n](int x, int y) {
            return 0xFF000000u | static_cast<uint32_t>((((x + n) & 0xFF) << 16) | (((y * 2) & 0xFF) << 8) | ((x ^ y) & 0xFF));
        });
    CString folder = FreshFolder("pictaro-bench");

    std::vector<double> openings;
    double saveAllMs = -1;
    for (int run = 0; run < kOpenings; ++run) {
        Clock::time_point start = Clock::now();
        Clock::time_point filled = start;
        bool last = run == kOpenings - 1;
        std::thread driver([&] {
            HWND picker = nullptr;
            WaitUntil([&] {
                picker = FindTopWindow("Pick and Print / Save");
                return picker && ::SendMessageA(::GetDlgItem(picker, kList), LVM_GETITEMCOUNT, 0, 0) == kCaptures;
            }, 120000);
            filled = Clock::now();
            if (picker && last) {
                PressButton(picker, kSaveAll);
                if (!AnswerFolderBrowser(folder)) std::printf("the folder browser did not answer\n");
                if (AnswerQuality(kLeaveQuality, true) < 0) std::printf("no quality dialog\n");
                Clock::time_point saving = Clock::now();
                if (AnswerMessageBox("Save all pictures", 600000).shown) saveAllMs = Ms(Clock::now() - saving);
                CloseShellWindow("pictaro-bench");
            }
            CloseAllDialogs();
        });
        CPickerDlg picker;
        picker.m_strCaptureFolder = CaptureFolder();
        picker.m_nCaptureCount = kCaptures;
        picker.DoModal();
        driver.join();
        openings.push_back(Ms(filled - start));
    }
    std::sort(openings.begin(), openings.end());
    std::printf("picker open, %d captures of %dx%d: median %.0f ms (%.1f ms per picture), best %.0f ms\n", kCaptures,
                kWidth, kHeight, openings[kOpenings / 2], openings[kOpenings / 2] / kCaptures, openings[0]);
    if (saveAllMs >= 0)
        std::printf("Save All as JPEG, %d pictures: %.0f ms (%.1f ms per picture)\n", kCaptures, saveAllMs,
                    saveAllMs / kCaptures);
    else
        std::printf("Save All did not finish\n");
    RemoveCaptures();
    app.m_pMainWnd = nullptr;
    return 0;
}
