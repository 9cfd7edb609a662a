// The JPEG quality dialog and the folder chooser, each run modally and
// answered as a user answers them.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <thread>

#include "picker/FolderBrowser.h"
#include "picker/JpegQualityDlg.h"
#include "tests/win/picker/PickerTestUtil.h"

using namespace pickertest;

namespace {

constexpr int kSlider = 1003;

struct QualitySeen {
    LRESULT minimum = -1, maximum = -1, ticks = -1;
    bool okHasFocus = false;
};

}  // namespace

TEST(JpegQualityDialogTest, OpensAtTheBestQualityAndKeepsTheValueOnlyOnOk) {
    QualitySeen seen;
    struct Run { int position; bool ok; INT_PTR result; int quality; } runs[] = {
        {kLeaveQuality, true, 0, 0}, {0, true, 0, 0}, {30, false, 0, 0}};
    for (Run& run : runs) {
        CJpegQualityDlg dialog;
        std::thread driver([&] {
            HWND hwnd = WaitForTopWindow("Set the quality of JPEG");
            if (!hwnd) return;
            HWND slider = ::GetDlgItem(hwnd, kSlider);
            seen.minimum = ::SendMessageA(slider, TBM_GETRANGEMIN, 0, 0);
            seen.maximum = ::SendMessageA(slider, TBM_GETRANGEMAX, 0, 0);
            seen.ticks = ::SendMessageA(slider, TBM_GETNUMTICS, 0, 0);
            GUITHREADINFO gui = {};
            gui.cbSize = sizeof(gui);
            ::GetGUIThreadInfo(::GetWindowThreadProcessId(hwnd, nullptr), &gui);
            seen.okHasFocus = gui.hwndFocus == ::GetDlgItem(hwnd, IDOK);
            AnswerQuality(run.position, run.ok);
            CloseAllDialogs();
        });
        run.result = dialog.DoModal();
        run.quality = dialog.m_nQuality;
        driver.join();
    }
    EXPECT_EQ(seen.minimum, 0);
    EXPECT_EQ(seen.maximum, 100);
    EXPECT_EQ(seen.ticks, 11) << "a tick every 10";
    EXPECT_TRUE(seen.okHasFocus) << "Enter accepts at once";
    EXPECT_EQ(runs[0].result, IDOK);
    EXPECT_EQ(runs[0].quality, 100);
    EXPECT_EQ(runs[1].result, IDOK);
    EXPECT_EQ(runs[1].quality, 0);
    EXPECT_EQ(runs[2].result, IDCANCEL);
    EXPECT_EQ(runs[2].quality, 0) << "Cancel leaves the value alone";
}

TEST(FolderBrowserTest, GivesTheChosenFolderOrNothingOnCancel) {
    CString folder = FreshFolder("pictaro-browse");
    CString chosen = "unset", initial = "unset", cancelled = "unset";
    bool chosenOk = false, initialOk = false, cancelledOk = true, openedOnInitial = false;
    {
        CFolderBrowser browser;
        std::thread driver([&] { AnswerFolderBrowser(folder); CloseAllDialogs(); });
        chosenOk = browser.Browse(chosen);
        driver.join();
    }
    {
        CFolderBrowser browser;
        browser.m_strInitialFolder = folder;
        std::thread driver([&] {
            HWND dialog = WaitForTopWindow("Browse for Folder");
            openedOnInitial =
                dialog && WaitUntil([&] { return FolderBrowserSelection(dialog) == "pictaro-browse"; });
            if (dialog) PressButton(dialog, IDOK);
            CloseAllDialogs();
        });
        initialOk = browser.Browse(initial);
        driver.join();
    }
    {
        CFolderBrowser browser;
        std::thread driver([&] {
            HWND dialog = WaitForTopWindow("Browse for Folder");
            if (dialog) PressButton(dialog, IDCANCEL);
            CloseAllDialogs();
        });
        cancelledOk = browser.Browse(cancelled);
        driver.join();
    }
    EXPECT_TRUE(chosenOk);
    EXPECT_EQ(chosen.CompareNoCase(folder), 0) << chosen;
    EXPECT_TRUE(openedOnInitial);
    EXPECT_TRUE(initialOk) << "opens on the initial folder";
    EXPECT_EQ(initial.CompareNoCase(folder), 0) << initial;
    EXPECT_FALSE(cancelledOk);
    EXPECT_EQ(cancelled, "");
}
