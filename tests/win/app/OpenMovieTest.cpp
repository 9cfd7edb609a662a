// Opening a movie through the real main window and the real file dialog:
// the script picks "1. Open SWF", finds the dialog, types the path and
// presses Open, as a user would.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "app/MainDialog.h"
#include "app/res/resource.h"
#include "framework/MessageBox.h"
#include "framework/WinApp.h"
#include "tests/win/common/WinTestUtil.h"
#include "tests/win/app/StageMovies.h"

using wintest::LoopScript;

namespace {

constexpr int kFileNameEdit = 0x480;   // edt1 of the common dialog
constexpr int kFileNameCombo = 0x47C;  // cmb13, its newer form
constexpr int kPlayerTop = 50;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

struct Snapshot {
    RECT window = {};
    RECT player = {};
    bool topmost = false;
    std::string caption;
    bool sliderShown = false;
    bool playShown = false;
    LONG captureCount = -1;
    BOOL timerRunning = FALSE;
    BOOL playing = FALSE;
};

class OpenMovieTest : public testing::Test {
protected:
    std::string Movie(const char* name, int width, int height, int frames = 1) {
        std::string path = m_folder.File(name);
        EXPECT_TRUE(wintest::WriteBytes(path, opentest::StageMovie(width, height, frames)));
        return path;
    }

    // Picks the menu command, waits for the file dialog, types `path` (read
    // when the step runs, so an earlier step may fill it) and presses Open;
    // then waits until `done` holds.
    void AddOpen(LoopScript& script, const std::string& path, std::function<bool()> done) {
        script.Do([this] { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDM_STEPS_OPEN, 0); });
        script.Wait([] { return wintest::FindThreadWindow("Open") != nullptr; }, "the Open dialog");
        script.Do([&path] {
            HWND open = wintest::FindThreadWindow("Open");
            ::SetDlgItemTextA(open, kFileNameEdit, path.c_str());
            ::SetDlgItemTextA(open, kFileNameCombo, path.c_str());
            ::PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(open, IDOK)));
        });
        script.Wait(std::move(done), "the open to finish");
    }
    void AddOpenAndWaitForCaption(LoopScript& script, const std::string& path) {
        AddOpen(script, path, [this, &path] { return Caption() == "Ready to print" + path; });
    }

    std::string Caption() { return m_dialog.GetWindowText().GetString(); }

    Snapshot Take() {
        Snapshot s;
        HWND hwnd = m_dialog.m_hWnd;
        ::GetWindowRect(hwnd, &s.window);
        ::GetWindowRect(m_dialog.m_player.m_hWnd, &s.player);
        s.topmost = (::GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        s.caption = Caption();
        s.sliderShown = ::IsWindowVisible(m_dialog.m_seekSlider.m_hWnd);
        s.playShown = ::IsWindowVisible(::GetDlgItem(hwnd, IDC_PLAY_PAUSE));
        s.captureCount = m_dialog.m_captureCount;
        s.timerRunning = m_dialog.m_timerRunning;
        s.playing = m_dialog.m_playing;
        return s;
    }

    // The slider's maximum: a position far above it is clamped to it.
    int SliderMax() {
        m_dialog.m_seekSlider.SetPos(INT_MAX);
        return m_dialog.m_seekSlider.GetPos();
    }

    void Run(LoopScript& script) {
        AfxGetApp()->m_pMainWnd = &m_dialog;
        script.Do([this] { Close(); });
        script.Start();
        m_dialog.DoModal();
        AfxGetApp()->m_pMainWnd = nullptr;
        EXPECT_EQ(script.Failure(), "");
    }
    void Close() {
        if (HWND open = wintest::FindThreadWindow("Open")) ::PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    }

    wintest::TempFolder m_folder;
    CMainDialog m_dialog;
    Snapshot m_before, m_after;
};

TEST_F(OpenMovieTest, StageThatFitsSizesOnlyThePlayer) {
    std::string path = Movie("card.swf", 550, 400, 7);
    LoopScript script([this] { Close(); });
    int sliderMax = -1;
    script.Do([this] { m_before = Take(); });
    AddOpenAndWaitForCaption(script, path);
    script.Do([&] {
        m_after = Take();
        sliderMax = SliderMax();
    });
    Run(script);
    EXPECT_EQ(Width(m_after.player), 550);
    EXPECT_EQ(Height(m_after.player), 400);
    EXPECT_EQ(m_after.player.left, m_before.player.left);  // not moved
    EXPECT_EQ(m_after.player.top, m_before.player.top);
    EXPECT_TRUE(EqualRect(&m_after.window, &m_before.window));
    EXPECT_FALSE(m_after.topmost);
    EXPECT_EQ(m_after.caption, "Ready to print" + path);
    EXPECT_EQ(sliderMax, 7);
    EXPECT_TRUE(m_after.sliderShown);
    EXPECT_TRUE(m_after.playShown);
    EXPECT_TRUE(m_after.timerRunning);
    EXPECT_TRUE(m_after.playing);
    EXPECT_EQ(m_after.captureCount, 0);
    EXPECT_EQ(m_dialog.m_movieRect.right, 550);
}

// The comparison with the start-up client area is strict: equal fits.
TEST_F(OpenMovieTest, StageExactlyTheStartUpClientSizeFits) {
    LoopScript script([this] { Close(); });
    std::string path;
    script.Do([&] {
        m_before = Take();
        path = Movie("exact.swf", Width(m_dialog.m_clientRectAtStart), Height(m_dialog.m_clientRectAtStart));
    });
    AddOpenAndWaitForCaption(script, path);
    script.Do([this] { m_after = Take(); });
    Run(script);
    EXPECT_TRUE(EqualRect(&m_after.window, &m_before.window));
    EXPECT_FALSE(m_after.topmost);
    EXPECT_EQ(Width(m_after.player), Width(m_dialog.m_clientRectAtStart));
}

TEST_F(OpenMovieTest, WiderStageEnlargesCentresAndRaisesTheWindowAndASmallerOneKeepsIt) {
    LoopScript script([this] { Close(); });
    std::string wide, small = Movie("small.swf", 550, 400);
    int stageWidth = 0, stageHeight = 0;
    Snapshot afterSmall;
    script.Do([&] {
        stageWidth = Width(m_dialog.m_clientRectAtStart) + 1;
        stageHeight = Height(m_dialog.m_clientRectAtStart);  // fits, yet the height grows too
        wide = Movie("wide.swf", stageWidth, stageHeight);
    });
    AddOpenAndWaitForCaption(script, wide);
    script.Do([this] { m_after = Take(); });
    AddOpenAndWaitForCaption(script, small);
    script.Do([&] { afterSmall = Take(); });
    Run(script);
    EXPECT_EQ(Width(m_after.window), stageWidth + 2 * ::GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(Height(m_after.window), stageHeight + ::GetSystemMetrics(SM_CYCAPTION) + kPlayerTop +
                                          ::GetSystemMetrics(SM_CYMENU) + 2 * ::GetSystemMetrics(SM_CYFRAME));
    EXPECT_TRUE(m_after.topmost);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoA(::MonitorFromRect(&m_after.window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR((m_after.window.left + m_after.window.right) / 2.0,
                (monitor.rcWork.left + monitor.rcWork.right) / 2.0, 1.0);
    EXPECT_NEAR((m_after.window.top + m_after.window.bottom) / 2.0,
                (monitor.rcWork.top + monitor.rcWork.bottom) / 2.0, 1.0);
    EXPECT_EQ(Width(m_after.player), stageWidth);

    EXPECT_EQ(Width(afterSmall.player), 550);
    EXPECT_EQ(Height(afterSmall.player), 400);
    EXPECT_TRUE(EqualRect(&afterSmall.window, &m_after.window));
    EXPECT_EQ(afterSmall.caption, "Ready to print" + small);
}

TEST_F(OpenMovieTest, MissingFileIsReportedOnceAndOpenGoesOn) {
    std::string path = m_folder.File("gone.swf");
    wintest::DialogCloser closer({AfxGetAppName().GetString()});
    LoopScript script([this] { Close(); });
    AddOpenAndWaitForCaption(script, path);
    script.Do([this] { m_after = Take(); });
    Run(script);
    ASSERT_EQ(closer.SeenDialogs().size(), 1u);
    EXPECT_EQ(closer.SeenDialogs()[0].text, "Can not find SWF:" + path);
    EXPECT_EQ(Width(m_after.player), 0);
    EXPECT_EQ(Height(m_after.player), 0);
    EXPECT_TRUE(m_after.timerRunning);
    EXPECT_TRUE(m_after.sliderShown);
}

// A file another program holds open: one message naming the file, and the
// open ends before anything changed.
TEST_F(OpenMovieTest, FileThatCannotBeOpenedChangesNothing) {
    std::string path = Movie("locked.swf", 550, 400);
    HANDLE holder = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    wintest::DialogCloser closer({AfxGetAppName().GetString()});
    LoopScript script([this] { Close(); });
    script.Do([this] {
        m_dialog.m_captureCount = 3;
        m_before = Take();
    });
    AddOpen(script, path, [&] { return !closer.SeenDialogs().empty(); });
    script.Do([this] { m_after = Take(); });
    Run(script);
    ::CloseHandle(holder);
    ASSERT_EQ(closer.SeenDialogs().size(), 1u);
    EXPECT_NE(closer.SeenDialogs()[0].text.find(path), std::string::npos) << closer.SeenDialogs()[0].text;
    EXPECT_EQ(m_after.caption, "Pictaro");
    EXPECT_EQ(m_after.captureCount, 3);
    EXPECT_TRUE(EqualRect(&m_after.player, &m_before.player));
    EXPECT_FALSE(m_after.sliderShown);
    EXPECT_FALSE(m_after.timerRunning);
    EXPECT_FALSE(m_after.playing);
}

TEST_F(OpenMovieTest, CancelledDialogChangesNothing) {
    LoopScript script([this] { Close(); });
    script.Do([this] {
        m_dialog.m_captureCount = 2;
        m_before = Take();
        ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDM_STEPS_OPEN, 0);
    });
    script.Wait([] { return wintest::FindThreadWindow("Open") != nullptr; }, "the Open dialog");
    script.Do([] { ::PostMessageA(wintest::FindThreadWindow("Open"), WM_COMMAND, IDCANCEL, 0); });
    script.Wait([] { return wintest::FindThreadWindow("Open") == nullptr; }, "the Open dialog to close");
    script.Do([this] { m_after = Take(); });
    Run(script);
    EXPECT_EQ(m_after.caption, "Pictaro");
    EXPECT_EQ(m_after.captureCount, 2);
    EXPECT_TRUE(EqualRect(&m_after.player, &m_before.player));
    EXPECT_FALSE(m_after.sliderShown);
}

}  // namespace
