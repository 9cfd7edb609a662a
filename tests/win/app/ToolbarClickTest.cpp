// The toolbar strip as the user meets it: the real main window plays the
// real action.swf, and mouse clicks on its buttons end in what each command
// does (a capture file, the "Capture Cards First" box, the open dialog, the
// sound toggle, which the Steps menu shares and the registry keeps).
#include <gtest/gtest.h>

#include "app/CommandCounters.h"
#include "app/MainDialog.h"
#include "app/Settings.h"
#include "app/res/resource.h"
#include "framework/WinApp.h"
#include "tests/win/app/SettingGuard.h"
#include "tests/win/common/WinTestUtil.h"
#include "tests/win/common/TestMovies.h"

using wintest::LoopScript;

namespace {

// Button centres in the strip (tools/moviegen/ActionMovie.cpp: 84 x 40 px
// buttons from x = 8, 8 px apart, 5 px from the top, then the 40 px
// speaker), drawn unscaled.
constexpr POINT kOpenButton = {50, 25};
constexpr POINT kCaptureButton = {142, 25};
constexpr POINT kPrintButton = {234, 25};
constexpr POINT kSpeakerButton = {304, 25};
constexpr POINT kBackdrop = {450, 25};
constexpr int kNarrowToolbarWidth = 330;
constexpr int kBandHeight = 50;

void PostClick(HWND hwnd, POINT at) {
    LPARAM lp = MAKELPARAM(at.x, at.y);
    ::PostMessageA(hwnd, WM_MOUSEMOVE, 0, lp);
    ::PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    ::PostMessageA(hwnd, WM_LBUTTONUP, 0, lp);
}

HCURSOR CursorAt(HWND hwnd, POINT at) {
    ::SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
}

RECT ChildRect(HWND parent, HWND child) {
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class ToolbarClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The window loads the strip from beside the program, as pictaro.exe does.
        std::string source = wintest::MoviePath("action.swf");
        std::string target = std::string(m_dialog.m_exeDir.GetString()) + "\\action.swf";
        ASSERT_TRUE(::CopyFileA(source.c_str(), target.c_str(), FALSE)) << source << " -> " << target;
        m_firstCapture = std::string(m_dialog.m_captureFolder.GetString()) + "\\capture_00.bmp";
        ::DeleteFileA(m_firstCapture.c_str());
    }
    void Run(LoopScript& script) {
        AfxGetApp()->m_pMainWnd = &m_dialog;
        script.Start();
        m_dialog.DoModal();
        AfxGetApp()->m_pMainWnd = nullptr;
        EXPECT_EQ(script.Failure(), "");
    }
    void Close() { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0); }
    HWND Toolbar() const { return m_dialog.m_toolbar.m_hWnd; }

    bool MenuChecked(UINT id) {
        return (::GetMenuState(::GetMenu(m_dialog.m_hWnd), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    // What the window shows of the setting, and what it keeps.
    void ExpectMuted(bool muted) {
        EXPECT_EQ(m_dialog.m_player.GetMuted(), muted);
        EXPECT_EQ(MenuChecked(IDM_STEPS_MUTE), muted);
        EXPECT_EQ(m_dialog.m_toolbar.GetFrameNum(), muted ? 1 : 0);
        EXPECT_EQ(ReadSetting(kMutedSetting, -1), muted ? 1 : 0);
    }

    SettingGuard m_mutedSetting{kMutedSetting, 0};  // before the window, which reads it
    CMainDialog m_dialog;
    std::string m_firstCapture;
    // The captures clicked here are never saved: closing asks, and may.
    wintest::DialogCloser m_unsavedCaptures{{kUnsavedCapturesCaption}, IDYES};
};

TEST_F(ToolbarClickTest, ButtonsShowTheHandAndTheirClicksReachTheCommands) {
    int pickers = CommandCount(MainCommand::Picker);
    int captures = CommandCount(MainCommand::Capture);
    int opens = CommandCount(MainCommand::Open);
    HWND box = nullptr;
    std::string boxText;
    LoopScript script([this] { Close(); });
    script.Do([&] {
        ASSERT_GT(m_dialog.m_toolbar.GetTotalFrames(), 0) << "action.swf did not load";
        ::UpdateWindow(Toolbar());
        EXPECT_EQ(CursorAt(Toolbar(), kOpenButton), ::LoadCursor(nullptr, IDC_HAND));
        EXPECT_EQ(CursorAt(Toolbar(), kBackdrop), ::LoadCursor(nullptr, IDC_ARROW));
        EXPECT_EQ(CursorAt(Toolbar(), kPrintButton), ::LoadCursor(nullptr, IDC_HAND));
        PostClick(Toolbar(), kPrintButton);
    });
    // No capture yet: Print asks for one first.
    script.Wait([&] { return (box = wintest::FindThreadWindow("Capture Cards First")) != nullptr; },
                "the Capture Cards First box");
    script.Do([&] {
        boxText = wintest::DialogText(box);
        ::PostMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    script.Wait([&] { return !::IsWindow(box); }, "the box to close on OK");
    script.Do([&] { PostClick(Toolbar(), kCaptureButton); });
    script.Wait([&] { return wintest::FileExists(m_firstCapture); }, "capture_00.bmp");
    script.Do([&] { PostClick(Toolbar(), kOpenButton); });
    script.Wait([&] { return (box = wintest::FindThreadWindow("Open")) != nullptr; }, "the open file dialog");
    script.Do([&] { ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
    script.Wait([&] { return ChildRect(m_dialog.m_hWnd, Toolbar()).right == kNarrowToolbarWidth; },
                "the toolbar to narrow");
    script.Do([this] { Close(); });
    Run(script);

    EXPECT_NE(boxText.find("Please capture at least one card to continue."), std::string::npos) << boxText;
    EXPECT_EQ(CommandCount(MainCommand::Picker), pickers + 1);
    EXPECT_EQ(CommandCount(MainCommand::Capture), captures + 1);
    EXPECT_EQ(CommandCount(MainCommand::Open), opens + 1);
}

// A press whose mouse capture is taken away clicks nothing.
TEST_F(ToolbarClickTest, APressThatLosesTheMouseClicksNothing) {
    int captures = CommandCount(MainCommand::Capture);
    LoopScript script([this] { Close(); });
    script.Do([&] {
        ::UpdateWindow(Toolbar());
        LPARAM at = MAKELPARAM(kCaptureButton.x, kCaptureButton.y);
        ::SendMessageA(Toolbar(), WM_MOUSEMOVE, 0, at);
        ::SendMessageA(Toolbar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        EXPECT_EQ(::GetCapture(), Toolbar());
        ::SetCapture(m_dialog.m_hWnd);
        ::ReleaseCapture();
        ::SendMessageA(Toolbar(), WM_LBUTTONUP, 0, at);
        // A click that does count, to know the strip's events have been delivered.
        PostClick(Toolbar(), kCaptureButton);
    });
    script.Wait([&] { return CommandCount(MainCommand::Capture) > captures; }, "the second click");
    script.Do([&] { EXPECT_EQ(CommandCount(MainCommand::Capture), captures + 1); });
    script.Do([this] { Close(); });
    Run(script);
}

// The speaker on the strip and "Mute Sound" on the Steps menu are one
// setting: either turns it over, both show it, the registry keeps it.
TEST_F(ToolbarClickTest, TheSpeakerAndTheMenuMuteTheMovieAndTheChoiceIsKept) {
    LoopScript script([this] { Close(); });
    script.Do([&] {
        ExpectMuted(false);
        EXPECT_EQ(CursorAt(Toolbar(), kSpeakerButton), ::LoadCursor(nullptr, IDC_HAND));
        PostClick(Toolbar(), kSpeakerButton);
    });
    script.Wait([&] { return m_dialog.m_player.GetMuted(); }, "the speaker to mute the movie");
    script.Do([&] {
        ExpectMuted(true);
        PostClick(Toolbar(), kSpeakerButton);  // now the crossed-out speaker
    });
    script.Wait([&] { return !m_dialog.m_player.GetMuted(); }, "the speaker to turn the sound on");
    script.Do([&] {
        ExpectMuted(false);
        ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDM_STEPS_MUTE, 0);
    });
    script.Wait([&] { return m_dialog.m_player.GetMuted(); }, "the menu to mute the movie");
    script.Do([&] { ExpectMuted(true); });
    script.Do([this] { Close(); });
    Run(script);
}

TEST_F(ToolbarClickTest, AWindowStartsMutedWhenTheSettingSaysSo) {
    WriteSetting(kMutedSetting, 1);
    CMainDialog dialog;
    AfxGetApp()->m_pMainWnd = &dialog;
    LoopScript script([&] { ::PostMessageA(dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0); });
    script.Do([&] {
        EXPECT_TRUE(dialog.m_player.GetMuted());
        EXPECT_TRUE((::GetMenuState(::GetMenu(dialog.m_hWnd), IDM_STEPS_MUTE, MF_BYCOMMAND) & MF_CHECKED) != 0);
        EXPECT_EQ(dialog.m_toolbar.GetFrameNum(), 1);
        ::PostMessageA(dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    });
    script.Start();
    dialog.DoModal();
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(script.Failure(), "");
}

}  // namespace
