// The link label as the user meets it: the maker's line of a real About
// box, its colours read back from the painted pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/AboutDialog.h"
#include "app/res/about.h"
#include "controls/UrlLabel.h"
#include "tests/win/about/AboutTestSupport.h"

namespace {

// Client coordinates just past the label's right edge.
constexpr int kOutsideMargin = 5;

std::string WindowsFolder() {
    char folder[MAX_PATH] = "";
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

class UrlLabelTest : public testing::Test {
protected:
    void SetUp() override {
        // The help viewer where the label looks for its hand: Wine's has no
        // cursors, the case where the label must find a hand elsewhere.
        char system[MAX_PATH] = "";
        ::GetSystemDirectoryA(system, MAX_PATH);
        m_viewerCopied = ::CopyFileA((std::string(system) + "\\winhlp32.exe").c_str(), m_viewer.c_str(), TRUE);

        m_thread = std::make_unique<UiThread>([this] { m_about.DoModal(); });
        m_dialog = m_thread->WaitForWindow("About Pictaro");
        ASSERT_NE(nullptr, m_dialog);
        m_label = ::GetDlgItem(m_dialog, IDC_MAKER_LINK);
        ASSERT_NE(nullptr, m_label);
        ::GetClientRect(m_label, &m_client);
    }

    void TearDown() override {
        if (m_dialog && ::IsWindow(m_dialog)) ::PostMessageA(m_dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(PollUntil([this] { return m_thread->Finished(); }));
        m_thread.reset();
        if (m_viewerCopied) ::DeleteFileA(m_viewer.c_str());
    }

    CUrlLabel& Label() const { return dynamic_cast<CUrlLabel&>(*CWnd::FromHandlePermanent(m_label)); }
    void MoveInside() const { ::PostMessageA(m_label, WM_MOUSEMOVE, 0, PointParam(1, 1)); }
    void MoveOutside() const {
        ::PostMessageA(m_label, WM_MOUSEMOVE, 0, PointParam(m_client.right + kOutsideMargin, 1));
    }
    void Click() const {
        ::PostMessageA(m_label, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(1, 1));
        ::PostMessageA(m_label, WM_LBUTTONUP, 0, PointParam(1, 1));
    }
    bool Hovered() const {
        return PollUntil([this] { return m_thread->Capture() == m_label; });
    }
    bool Left() const {
        return PollUntil([this] { return m_thread->Capture() != m_label; });
    }
    // The pointer the dialog's thread shows once `hwnd` has answered
    // WM_SETCURSOR, read through a shared input state.
    HCURSOR CursorSetBy(HWND hwnd) const {
        if (!::AttachThreadInput(::GetCurrentThreadId(), m_thread->Id(), TRUE)) return nullptr;
        ::SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        HCURSOR shown = ::GetCursor();
        ::AttachThreadInput(::GetCurrentThreadId(), m_thread->Id(), FALSE);
        return shown;
    }

    std::string m_viewer = WindowsFolder() + "\\Winhlp32.exe";
    bool m_viewerCopied = false;
    CAboutDialog m_about;
    std::unique_ptr<UiThread> m_thread;
    HWND m_dialog = nullptr;
    HWND m_label = nullptr;
    RECT m_client = {};
};

TEST_F(UrlLabelTest, FreshLabelIsBlueAndUnderlined) {
    EXPECT_TRUE(WaitForColour(m_label, LinkColour::Link));
    EXPECT_TRUE(::GetWindowLongPtrA(m_label, GWL_STYLE) & SS_NOTIFY) << "clicks would never be reported";
    LOGFONTA font = {};
    ASSERT_TRUE(::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(m_label, WM_GETFONT, 0, 0)), sizeof(font), &font));
    EXPECT_TRUE(font.lfUnderline);
}

TEST_F(UrlLabelTest, PointerOnTurnsRedAtOnceAndOffTurnsBlueAgain) {
    MoveInside();
    ASSERT_TRUE(Hovered()) << "the label must hold the capture while the pointer is over it";
    // Repainted before the capture was taken: no waiting for a WM_PAINT.
    EXPECT_TRUE(ShowsOnly(m_label, LinkColour::Hover));
    MoveInside();
    MoveOutside();
    ASSERT_TRUE(Left());
    EXPECT_TRUE(WaitForColour(m_label, LinkColour::Link));
    MoveInside();
    ASSERT_TRUE(Hovered());
    EXPECT_TRUE(ShowsOnly(m_label, LinkColour::Hover));
}

// A press on the OK button takes the mouse from the label, which will then
// never see the pointer leave: it must not stay lit.
TEST_F(UrlLabelTest, LosingTheCaptureToAnotherWindowEndsTheHover) {
    HWND ok = ::GetDlgItem(m_dialog, IDOK);
    MoveInside();
    ASSERT_TRUE(Hovered());
    ::PostMessageA(ok, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(1, 1));
    ASSERT_TRUE(PollUntil([&] { return m_thread->Capture() == ok; }));
    EXPECT_TRUE(WaitForColour(m_label, LinkColour::Link));
    // Released away from the button: no click, the box stays.
    ::PostMessageA(ok, WM_LBUTTONUP, 0, PointParam(-kOutsideMargin, -kOutsideMargin));
    ASSERT_TRUE(PollUntil([&] { return m_thread->Capture() == nullptr; }));
    EXPECT_TRUE(::IsWindow(m_dialog));
}

TEST_F(UrlLabelTest, ClickWithEmptyUrlMarksVisitedWhetherHoveredOrNot) {
    Label().SetUrl("");
    MoveInside();
    ASSERT_TRUE(Hovered());
    Click();
    EXPECT_TRUE(WaitForColour(m_label, LinkColour::Visited));
    MoveOutside();
    ASSERT_TRUE(Left());
    EXPECT_TRUE(WaitForColour(m_label, LinkColour::Visited));
    MoveInside();
    ASSERT_TRUE(Hovered());
    EXPECT_TRUE(ShowsOnly(m_label, LinkColour::Visited));
}

// Whatever the shell tells the user about a target it cannot open, the
// link counts as followed.
TEST_F(UrlLabelTest, ClickOnATargetTheShellCannotOpenStillMarksVisited) {
    char temp[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
    Label().SetUrl(CString(temp) + "pictaro-no-such-folder\\no-such-page.html");
    Click();
    EXPECT_TRUE(PollUntil([&] {
        for (HWND hwnd = ::GetTopWindow(nullptr); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
            if (hwnd != m_dialog && ::IsWindowVisible(hwnd) &&
                ::GetWindowThreadProcessId(hwnd, nullptr) == m_thread->Id())
                ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
        }
        return ShowsOnly(m_label, LinkColour::Visited);
    }));
}

TEST_F(UrlLabelTest, PointerOverTheLabelIsAHand) {
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    ASSERT_EQ(arrow, CursorSetBy(m_dialog)) << "the dialog's own pointer";
    HCURSOR shown = CursorSetBy(m_label);
    EXPECT_NE(nullptr, shown);
    EXPECT_NE(arrow, shown);
    // A viewer copied from Wine has no hand: the system's stands in.
    if (m_viewerCopied) {
        EXPECT_EQ(::LoadCursor(nullptr, IDC_HAND), shown);
    }
}

TEST(UrlLabelFontTest, ControlWithoutAFontGetsAnUnderlinedOne) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr, nullptr, nullptr);
    HWND control = ::CreateWindowExA(0, "STATIC", "link", WS_CHILD, 0, 0, 100, 20, owner, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, control);
    ASSERT_EQ(0, ::SendMessageA(control, WM_GETFONT, 0, 0));
    {
        CUrlLabel label;
        ASSERT_TRUE(label.SubclassWindow(control));
        LOGFONTA font = {};
        EXPECT_TRUE(::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof(font),
                                 &font));
        EXPECT_TRUE(font.lfUnderline);
    }
    ::DestroyWindow(owner);
}

}  // namespace
