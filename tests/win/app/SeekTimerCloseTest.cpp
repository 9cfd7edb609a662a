// Timer 111, the play/pause button, the seek messages, closing, and the
// application object, on the real main window.
#include <gtest/gtest.h>

#include "app/MainDialog.h"
#include "app/PictaroApp.h"
#include "app/res/resource.h"
#include "player/PlayerControl.h"
#include "tests/win/common/TestMovies.h"
#include "tests/win/common/WinTestUtil.h"

using wintest::LoopScript;

namespace {

constexpr int kFrames = 60;
constexpr double kFps = 30;

class SeekTimerTest : public ::testing::Test {
protected:
    void Run(LoopScript& script) {
        AfxGetApp()->m_pMainWnd = &m_dialog;
        script.Start();
        m_dialog.DoModal();
        AfxGetApp()->m_pMainWnd = nullptr;
        EXPECT_EQ(script.Failure(), "");
    }
    void Close() { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0); }
    swf::Player& Engine() { return PlayerControl::FromWindow(m_dialog.m_player.m_hWnd)->Engine(); }
    void Post(UINT msg, WPARAM wp) { ::PostMessageA(m_dialog.m_hWnd, msg, wp, 0); }
    void ClickPlayPause() {
        HWND button = ::GetDlgItem(m_dialog.m_hWnd, IDC_PLAY_PAUSE);
        ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PLAY_PAUSE, BN_CLICKED),
                       reinterpret_cast<LPARAM>(button));
    }

    CMainDialog m_dialog;
    wintest::TempFolder m_movies;
};

TEST_F(SeekTimerTest, SeekingStopsTheTimerMovesThePlayerAndPlaysOn) {
    std::string path = m_movies.File("frames.swf");
    ASSERT_TRUE(wintest::WriteBytes(path, wintest::FramesMovie(kFrames, kFps)));
    LoopScript script([this] { Close(); });
    script.Do([&] {
        // What opening a movie leaves behind.
        m_dialog.m_player.SetMovie(path.c_str());
        EXPECT_EQ(m_dialog.m_player.GetTotalFrames(), kFrames);
        m_dialog.m_seekSlider.SetRange(0, kFrames, FALSE);
        m_dialog.m_playing = TRUE;
        m_dialog.SetTimer(ID_POSITION_TIMER, 200);
        m_dialog.m_timerRunning = TRUE;
    });
    // The timer copies the playing movie's frame into the slider.
    script.Wait([&] { return m_dialog.m_seekSlider.GetPos() > 0; }, "the slider to follow the movie");
    script.Do([&] { ClickPlayPause(); });
    script.Do([&] {
        EXPECT_FALSE(m_dialog.m_playing);
        EXPECT_FALSE(Engine().IsPlaying());
        m_dialog.m_seekSlider.SetPos(10);
        Post(WM_SEEK_MOVING, IDC_SEEK_SLIDER);
    });
    script.Do([&] {
        EXPECT_FALSE(m_dialog.m_timerRunning);
        EXPECT_EQ(m_dialog.m_player.GetFrameNum(), 10);
        // Another control's message is not a seek.
        m_dialog.m_seekSlider.SetPos(20);
        Post(WM_SEEK_MOVING, IDC_PLAYER);
        Post(WM_SEEK_MOVED, IDC_PLAYER);
    });
    script.Do([&] {
        EXPECT_EQ(m_dialog.m_player.GetFrameNum(), 10);
        EXPECT_FALSE(m_dialog.m_timerRunning);
        EXPECT_FALSE(Engine().IsPlaying());
        Post(WM_SEEK_MOVED, IDC_SEEK_SLIDER);
    });
    script.Do([&] {
        EXPECT_TRUE(m_dialog.m_timerRunning);
        EXPECT_TRUE(Engine().IsPlaying());  // a seek always plays on
        EXPECT_FALSE(m_dialog.m_playing);   // the toggle is the button's alone
        EXPECT_GE(m_dialog.m_player.GetFrameNum(), 20);
    });
    // The restarted timer moves the slider on from the seek position.
    script.Wait([&] { return m_dialog.m_seekSlider.GetPos() > 20; }, "the restarted timer");
    script.Do([&] { ClickPlayPause(); });
    script.Do([&] {
        EXPECT_TRUE(m_dialog.m_playing);  // FALSE -> Play, whatever the player was doing
        EXPECT_TRUE(Engine().IsPlaying());
        ClickPlayPause();
    });
    script.Do([&] {
        EXPECT_FALSE(m_dialog.m_playing);
        EXPECT_FALSE(Engine().IsPlaying());
        Close();
    });
    Run(script);
}

TEST(MainDialogCloseTest, ClosingEmptiesTheCaptureFolderAndKeepsIt) {
    CMainDialog dialog;
    std::string folder = dialog.m_captureFolder.GetString();
    ASSERT_TRUE(wintest::FileExists(folder));
    ASSERT_TRUE(wintest::WriteBytes(folder + "\\capture_00.bmp", {1, 2, 3}));
    ::CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    ASSERT_TRUE(wintest::WriteBytes(folder + "\\sub\\inner.txt", {4}));
    LoopScript script([&] { ::PostMessageA(dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0); });
    script.Do([&] { ::PostMessageA(dialog.m_hWnd, WM_CLOSE, 0, 0); });  // the close box
    AfxGetApp()->m_pMainWnd = &dialog;
    script.Start();
    INT_PTR result = dialog.DoModal();
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(wintest::FileExists(folder));
    EXPECT_TRUE(wintest::FolderEntries(folder).empty());
}

TEST(PictaroAppTest, StartsGdiplusAndKnowsItsFolder) {
    CWinApp* outer = AfxGetApp();
    {
        CPictaroApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        char path[MAX_PATH];
        DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        ASSERT_GT(length, 0u);
        std::string expected(path, length);
        expected = expected.substr(0, expected.rfind('\\'));
        EXPECT_EQ(app.m_exeDir, expected.c_str());
        EXPECT_TRUE(app.m_gdiplus.Started());
    }
    EXPECT_EQ(AfxGetApp(), outer);
    EXPECT_EQ(CPictaroApp::DirectoryOf("C:\\prog.exe"), "C:");
    EXPECT_EQ(CPictaroApp::DirectoryOf("C:\\a\\b\\pictaro.exe"), "C:\\a\\b");
    EXPECT_EQ(CPictaroApp::DirectoryOf("prog.exe"), "");
}

}  // namespace
