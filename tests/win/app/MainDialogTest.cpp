// The main window run for real, modally, as the application runs it; each
// test drives it with a script from inside its modal loop.
#include <gtest/gtest.h>

#include "app/CommandCounters.h"
#include "app/MainDialog.h"
#include "app/res/resource.h"
#include "framework/WideText.h"
#include "framework/WinApp.h"
#include "player/PlayerControl.h"
#include "tests/win/common/TestMovies.h"
#include "tests/win/common/WinTestUtil.h"

using wintest::LoopScript;

namespace {

RECT ChildRect(HWND parent, int id) {
    RECT rect;
    ::GetWindowRect(::GetDlgItem(parent, id), &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string MenuText(HMENU menu, UINT position) {
    char text[128] = "";
    ::GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

class MainDialogTest : public ::testing::Test {
protected:
    // Runs the window until the script closes it (or times out and closes it).
    void Run(LoopScript& script) {
        AfxGetApp()->m_pMainWnd = &m_dialog;
        script.Start();
        m_result = m_dialog.DoModal();
        AfxGetApp()->m_pMainWnd = nullptr;
        EXPECT_EQ(script.Failure(), "");
    }
    void Close() { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0); }
    void LoadToolbar(const std::vector<std::pair<std::string, std::string>>& commands) {
        std::string path = m_movies.File(("toolbar" + std::to_string(++m_movieCount) + ".swf").c_str());
        ASSERT_TRUE(wintest::WriteBytes(path, wintest::FsCommandMovie(commands)));
        m_dialog.m_toolbar.LoadMovie(0, path.c_str());
    }
    int Count(MainCommand command) const { return CommandCount(command); }

    CMainDialog m_dialog;
    INT_PTR m_result = 0;
    wintest::TempFolder m_movies;
    // Captures the tests take are never saved: closing asks, and may.
    wintest::DialogCloser m_unsavedCaptures{{kUnsavedCapturesCaption}, IDYES};
    int m_movieCount = 0;
};

TEST_F(MainDialogTest, LaysOutTheWindowAndItsControlsInPixels) {
    LoopScript script([this] { Close(); });
    script.Do([this] {
        HWND hwnd = m_dialog.m_hWnd;
        RECT window;
        ::GetWindowRect(hwnd, &window);
        EXPECT_EQ(window.right - window.left, 600);
        EXPECT_EQ(window.bottom - window.top, 500);
        RECT toolbar = ChildRect(hwnd, IDC_TOOLBAR);
        EXPECT_EQ(toolbar.left, 0);
        EXPECT_EQ(toolbar.top, 0);
        EXPECT_EQ(toolbar.right, 600);
        EXPECT_EQ(toolbar.bottom, 50);
        RECT player = ChildRect(hwnd, IDC_PLAYER);
        EXPECT_EQ(player.left, 0);
        EXPECT_EQ(player.top, 50);
        EXPECT_EQ(player.right - player.left, 600);
        EXPECT_EQ(player.bottom - player.top, 400);
        EXPECT_EQ(m_dialog.GetWindowText(), "Pictaro");
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hwnd, IDC_PLAY_PAUSE)));
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hwnd, IDC_SEEK_SLIDER)));
        // The client area as the template made it, before the resize.
        RECT templateSize = {0, 0, 419, 303};
        ::MapDialogRect(hwnd, &templateSize);
        EXPECT_EQ(m_dialog.m_clientRectAtStart.right, templateSize.right);
        EXPECT_EQ(m_dialog.m_clientRectAtStart.bottom, templateSize.bottom);
        EXPECT_TRUE(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        // Both players start from the template's properties.
        for (HWND control : {m_dialog.m_player.m_hWnd, m_dialog.m_toolbar.m_hWnd}) {
            PlayerControl* player = PlayerControl::FromWindow(control);
            ASSERT_NE(player, nullptr);
            EXPECT_EQ(player->Properties().scaleMode, "ShowAll");
            EXPECT_EQ(player->Properties().quality, "High");
            EXPECT_EQ(player->Properties().windowMode, "Window");
        }
        EXPECT_EQ(PlayerControl::FromWindow(m_dialog.m_toolbar.m_hWnd)->Properties().extentWidth, 5689);
        // The toolbar is asked for action.swf beside the program, unscaled, left-aligned.
        PlayerControl* toolbarControl = PlayerControl::FromWindow(m_dialog.m_toolbar.m_hWnd);
        std::wstring expected = AfxAnsiToWide(m_dialog.m_exeDir + "\\action.swf");
        EXPECT_TRUE(toolbarControl->MoviePath() == expected);
        EXPECT_EQ(toolbarControl->Engine().ScaleModeValue(), 3);
        EXPECT_EQ(toolbarControl->Engine().AlignModeValue(), 1);
    });
    script.Do([this] { Close(); });
    Run(script);
    EXPECT_EQ(m_result, IDCANCEL);
    EXPECT_EQ(m_dialog.m_hWnd, nullptr);
}

// The slider's static is a bitmap static whose template image is the track.
TEST_F(MainDialogTest, SeekSliderTemplateImageIsTheTrackBitmap) {
    LoopScript script([this] { Close(); });
    script.Do([this] {
        HWND slider = ::GetDlgItem(m_dialog.m_hWnd, IDC_SEEK_SLIDER);
        LONG_PTR style = ::GetWindowLongPtrA(slider, GWL_STYLE);
        EXPECT_EQ(style & SS_TYPEMASK, SS_BITMAP);
        EXPECT_TRUE(style & SS_NOTIFY);
        auto image = reinterpret_cast<HBITMAP>(::SendMessageA(slider, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(image, nullptr);
        BITMAP info = {};
        ASSERT_NE(::GetObjectA(image, sizeof info, &info), 0);
        EXPECT_EQ(info.bmWidth, 240);
        EXPECT_EQ(info.bmHeight, 17);
    });
    script.Do([this] { Close(); });
    Run(script);
}

TEST_F(MainDialogTest, MenuAndSystemMenuHoldTheCommands) {
    LoopScript script([this] { Close(); });
    script.Do([this] {
        HMENU bar = ::GetMenu(m_dialog.m_hWnd);
        ASSERT_EQ(::GetMenuItemCount(bar), 3);
        EXPECT_EQ(MenuText(bar, 0), "&File");
        EXPECT_EQ(MenuText(bar, 1), "&Steps");
        EXPECT_EQ(MenuText(bar, 2), "&Help");
        HMENU file = ::GetSubMenu(bar, 0), steps = ::GetSubMenu(bar, 1), help = ::GetSubMenu(bar, 2);
        EXPECT_EQ(::GetMenuItemID(file, 0), static_cast<UINT>(IDM_FILE_EXIT));
        EXPECT_EQ(MenuText(file, 0), "&Exit");
        ASSERT_EQ(::GetMenuItemCount(steps), 8);
        EXPECT_EQ(MenuText(steps, 0), "1. Open SWF");
        EXPECT_EQ(MenuText(steps, 1), "2. Capture SWF\t(F2)");
        EXPECT_EQ(MenuText(steps, 2), "3. Save Photos");
        EXPECT_EQ(::GetMenuItemID(steps, 0), 32771u);
        EXPECT_EQ(::GetMenuItemID(steps, 1), 32772u);
        EXPECT_EQ(::GetMenuItemID(steps, 2), 32773u);
        EXPECT_EQ(::GetMenuState(steps, 3, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
        EXPECT_EQ(MenuText(steps, 4), "Capture &Size");
        HMENU sizes = ::GetSubMenu(steps, 4);
        ASSERT_EQ(::GetMenuItemCount(sizes), 4);
        const char* sizeTexts[] = {"&Screen", "&2 x", "&4 x", "&Print (3000 pixels wide)"};
        for (UINT i = 0; i < 4; ++i) {
            EXPECT_EQ(MenuText(sizes, i), sizeTexts[i]);
            EXPECT_EQ(::GetMenuItemID(sizes, i), static_cast<UINT>(IDM_CAPTURE_SIZE_SCREEN) + i);
        }
        EXPECT_EQ(MenuText(steps, 5), "Capture &Every Frame...");
        EXPECT_EQ(::GetMenuItemID(steps, 5), static_cast<UINT>(IDM_STEPS_EVERY_FRAME));
        EXPECT_EQ(::GetMenuState(steps, 6, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
        EXPECT_EQ(MenuText(steps, 7), "&Mute Sound");
        EXPECT_EQ(::GetMenuItemID(steps, 7), static_cast<UINT>(IDM_STEPS_MUTE));
        ASSERT_EQ(::GetMenuItemCount(help), 3);
        EXPECT_EQ(MenuText(help, 0), "How &to...");
        EXPECT_EQ(::GetMenuItemID(help, 0), 32774u);
        EXPECT_EQ(::GetMenuState(help, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
        EXPECT_EQ(MenuText(help, 2), "&About Pictaro");
        EXPECT_EQ(::GetMenuItemID(help, 2), 32777u);

        HMENU system = ::GetSystemMenu(m_dialog.m_hWnd, FALSE);
        int count = ::GetMenuItemCount(system);
        ASSERT_GE(count, 2);
        EXPECT_EQ(::GetMenuState(system, count - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
        EXPECT_EQ(MenuText(system, count - 1), "&About Pictaro...");
        EXPECT_EQ(::GetMenuItemID(system, count - 1), 16u);
    });
    script.Do([this] { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDM_FILE_EXIT, 0); });
    Run(script);
    EXPECT_EQ(m_result, IDOK);  // Exit ends like OK
}

TEST_F(MainDialogTest, EveryF2KeyDownStartsACaptureButAltF2DoesNot) {
    int before = Count(MainCommand::Capture);
    LoopScript script([this] { Close(); });
    script.Do([&] {
        wintest::PostKeyDown(m_dialog.m_hWnd, VK_F2);
        wintest::PostKeyDown(m_dialog.m_player.m_hWnd, VK_F2, true);  // auto-repeat, on a child
        wintest::PostSysKeyDown(m_dialog.m_hWnd, VK_F2);
        wintest::PostKeyDown(m_dialog.m_hWnd, VK_F3);
        wintest::PostKeyDown(m_dialog.m_toolbar.m_hWnd, VK_F2);
    });
    // Posted messages go before timer ticks: by now all five were handled.
    script.Do([&] { EXPECT_EQ(Count(MainCommand::Capture), before + 3); });
    script.Do([&] { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDM_STEPS_CAPTURE, 0); });
    script.Do([&] { EXPECT_EQ(Count(MainCommand::Capture), before + 4); });
    script.Do([this] { Close(); });
    Run(script);
}

TEST_F(MainDialogTest, ToolbarFsCommandActionIsCaseSensitiveItsArgumentIsNot) {
    int captures = Count(MainCommand::Capture), opens = Count(MainCommand::Open);
    wintest::DialogCloser closer({"Open"});
    LoopScript script([this] { Close(); });
    script.Do([&] { LoadToolbar({{"Action", "open"}, {"ACTION", "capture"}, {"action", "bogus"}, {"action", "CaPtUrE"}}); });
    script.Wait([&] { return Count(MainCommand::Capture) == captures + 1; }, "the capture command");
    script.Do([&] {
        EXPECT_EQ(Count(MainCommand::Open), opens);
        RECT toolbar = ChildRect(m_dialog.m_hWnd, IDC_TOOLBAR);
        EXPECT_EQ(toolbar.right, 600);
        LoadToolbar({{"action", "OpEn"}});
    });
    script.Wait([&] { return Count(MainCommand::Open) == opens + 1; }, "the open command");
    script.Do([&] {
        // Narrowed whatever the file dialog gave.
        RECT toolbar = ChildRect(m_dialog.m_hWnd, IDC_TOOLBAR);
        EXPECT_EQ(toolbar.left, 0);
        EXPECT_EQ(toolbar.top, 0);
        EXPECT_EQ(toolbar.right, 330);
        EXPECT_EQ(toolbar.bottom, 50);
        // The menu's open never touches the toolbar.
        m_dialog.m_toolbar.SetWindowPos(&wndTop, 0, 0, 600, 50, 0);
        ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDM_STEPS_OPEN, 0);
    });
    script.Wait([&] { return Count(MainCommand::Open) == opens + 2; }, "the menu's open");
    script.Do([&] { EXPECT_EQ(ChildRect(m_dialog.m_hWnd, IDC_TOOLBAR).right, 600); });
    script.Do([this] { Close(); });
    Run(script);
}

TEST_F(MainDialogTest, PrintWithoutCapturesAsksForACaptureFirst) {
    wintest::DialogCloser closer({"Capture Cards First"});
    int pickers = Count(MainCommand::Picker);
    LoopScript script([this] { Close(); });
    script.Do([&] { LoadToolbar({{"action", "Print"}}); });
    script.Wait([&] { return !closer.SeenDialogs().empty(); }, "the message box");
    script.Do([&] { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDM_STEPS_SAVE, 0); });
    script.Wait([&] { return closer.SeenDialogs().size() == 2; }, "the second message box");
    script.Do([this] { Close(); });
    Run(script);
    EXPECT_EQ(Count(MainCommand::Picker), pickers + 2);
    for (const auto& seen : closer.SeenDialogs())
        EXPECT_NE(seen.text.find("Please capture at least one card to continue."), std::string::npos) << seen.text;
}

TEST_F(MainDialogTest, EventsOfTheMoviePlayerAreNotCommands) {
    int captures = Count(MainCommand::Capture);
    std::string path = m_movies.File("player.swf");
    ASSERT_TRUE(wintest::WriteBytes(path, wintest::FsCommandMovie({{"action", "capture"}})));
    LoopScript script([this] { Close(); });
    script.Do([&] { m_dialog.m_player.SetMovie(path.c_str()); });
    script.Wait([&] { return !PlayerControl::FromWindow(m_dialog.m_player.m_hWnd)->Engine().IsPlaying(); },
                "the movie's action");
    script.Do([&] { LoadToolbar({{"action", "capture"}}); });
    script.Wait([&] { return Count(MainCommand::Capture) > captures; }, "the toolbar's capture");
    script.Do([&] { EXPECT_EQ(Count(MainCommand::Capture), captures + 1); });
    script.Do([this] { Close(); });
    Run(script);
}

}  // namespace
