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

constexpr char kAboutCaption[] = "About Pictaro";
// Client coordinates just past the label's right edge.
constexpr int kOutsideMargin = 5;
constexpr WORD kHelpViewerHandCursor = 106;

std::string HelpViewerPath() {
    char windowsDir[MAX_PATH] = "";
    ::GetWindowsDirectoryA(windowsDir, MAX_PATH);
    return std::string(windowsDir) + "\\Winhlp32.exe";
}

bool HelpViewerHasHand() {
    HMODULE viewer = ::LoadLibraryExA(HelpViewerPath().c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!viewer) return false;
    bool found = ::FindResourceA(viewer, MAKEINTRESOURCEA(kHelpViewerHandCursor), RT_GROUP_CURSOR) != nullptr;
    ::FreeLibrary(viewer);
    return found;
}

class UrlLabelTest : public testing::Test {
protected:
    void SetUp() override {
        m_thread = std::make_unique<UiThread>([this] { m_about.DoModal(); });
        m_dialog = m_thread->WaitForWindow(kAboutCaption);
        ASSERT_NE(m_dialog, nullptr);
        m_label = ::GetDlgItem(m_dialog, IDC_MAKER_LINK);
        ASSERT_NE(m_label, nullptr);
        ::GetClientRect(m_label, &m_client);
    }

    void TearDown() override {
        if (m_dialog && ::IsWindow(m_dialog)) ::PostMessageA(m_dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(PollUntil([this] { return m_thread->Finished(); }));
        m_thread.reset();
    }

    CUrlLabel* Label() const { return dynamic_cast<CUrlLabel*>(CWnd::FromHandlePermanent(m_label)); }

    void MoveInside() const { ::PostMessageA(m_label, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)); }
    void MoveOutside() const {
        ::PostMessageA(m_label, WM_MOUSEMOVE, 0, PointParam(m_client.right + kOutsideMargin, 1));
    }
    void Click() const {
        ::PostMessageA(m_label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
        ::PostMessageA(m_label, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    }
    bool Hovered() const {
        return PollUntil([this] { return m_thread->Capture() == m_label; });
    }
    bool Left() const {
        return PollUntil([this] { return m_thread->Capture() != m_label; });
    }
    // The pointer the dialog's thread shows once `hwnd` has answered
    // WM_SETCURSOR, read through a shared input state.
    HCURSOR CursorAfterSetCursor(HWND hwnd) const {
        if (!::AttachThreadInput(::GetCurrentThreadId(), m_thread->Id(), TRUE)) return nullptr;
        ::SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        HCURSOR shown = ::GetCursor();
        ::AttachThreadInput(::GetCurrentThreadId(), m_thread->Id(), FALSE);
        return shown;
    }

    CAboutDialog m_about;
    std::unique_ptr<UiThread> m_thread;
    HWND m_dialog = nullptr;
    HWND m_label = nullptr;
    RECT m_client = {};
};

TEST_F(UrlLabelTest, FreshLabelIsBlueUnderlinedInTheDialogsFont) {
    EXPECT_TRUE(WaitForColour(m_label, LinkColour::Link));
    EXPECT_EQ("Made by the Pictaro team", WindowText(m_label));
    EXPECT_TRUE(::GetWindowLongPtrA(m_label, GWL_STYLE) & SS_NOTIFY) << "clicks would never be reported";

    LOGFONTA labelFont = {}, dialogFont = {};
    ASSERT_TRUE(::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(m_label, WM_GETFONT, 0, 0)),
                             sizeof(labelFont), &labelFont));
    ASSERT_TRUE(::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(m_dialog, WM_GETFONT, 0, 0)),
                             sizeof(dialogFont), &dialogFont));
    EXPECT_TRUE(labelFont.lfUnderline);
    EXPECT_STREQ(dialogFont.lfFaceName, labelFont.lfFaceName);
    EXPECT_EQ(dialogFont.lfHeight, labelFont.lfHeight);
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

// A press on the OK button takes the mouse from the label: the label must
// not stay lit, since it will never see the pointer leave.
TEST_F(UrlLabelTest, LosingTheCaptureToAnotherWindowEndsTheHover) {
    HWND ok = ::GetDlgItem(m_dialog, IDOK);
    MoveInside();
    ASSERT_TRUE(Hovered());
    ::PostMessageA(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    ASSERT_TRUE(PollUntil([&] { return m_thread->Capture() == ok; }));
    EXPECT_TRUE(WaitForColour(m_label, LinkColour::Link));
    // Released away from the button: no click, the box stays.
    ::PostMessageA(ok, WM_LBUTTONUP, 0, PointParam(-kOutsideMargin, -kOutsideMargin));
    ASSERT_TRUE(PollUntil([&] { return m_thread->Capture() == nullptr; }));
    EXPECT_TRUE(::IsWindow(m_dialog));
}

TEST_F(UrlLabelTest, ClickWithEmptyUrlMarksVisitedWhetherHoveredOrNot) {
    ASSERT_NE(Label(), nullptr);
    Label()->SetUrl("");
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

// The shell cannot open the target; whatever it tells the user, the link
// counts as followed.
TEST_F(UrlLabelTest, ClickOnATargetTheShellCannotOpenStillMarksVisited) {
    char temp[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
    Label()->SetUrl(CString(temp) + "pictaro-no-such-folder\\no-such-page.html");
    Click();
    bool visited = PollUntil([&] {
        // Any window but the About box is the shell's complaint: close it.
        for (HWND hwnd = ::GetTopWindow(nullptr); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
            if (hwnd != m_dialog && ::IsWindowVisible(hwnd) &&
                ::GetWindowThreadProcessId(hwnd, nullptr) == m_thread->Id())
                ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
        }
        return ShowsOnly(m_label, LinkColour::Visited);
    });
    EXPECT_TRUE(visited);
}

TEST_F(UrlLabelTest, PointerOverTheLabelIsAHand) {
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    EXPECT_EQ(arrow, CursorAfterSetCursor(m_dialog)) << "the dialog's own pointer";
    HCURSOR shown = CursorAfterSetCursor(m_label);
    EXPECT_NE(nullptr, shown);
    EXPECT_NE(arrow, shown);
    // Where the help viewer has no hand of its own (as under Wine), the
    // system's hand stands in.
    if (!HelpViewerHasHand()) {
        EXPECT_EQ(::LoadCursor(nullptr, IDC_HAND), shown);
    }
}

// A help viewer file without the hand cursor (Wine's) must not leave the
// label with no pointer at all.
class UrlLabelBesideHelpViewerTest : public UrlLabelTest {
protected:
    void SetUp() override {
        char system[MAX_PATH];
        ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 0u);
        std::string source = std::string(system) + "\\winhlp32.exe";
        if (::GetFileAttributesA(HelpViewerPath().c_str()) == INVALID_FILE_ATTRIBUTES) {
            ASSERT_TRUE(::CopyFileA(source.c_str(), HelpViewerPath().c_str(), TRUE)) << ::GetLastError();
            m_copied = true;
        }
        UrlLabelTest::SetUp();
    }
    void TearDown() override {
        UrlLabelTest::TearDown();
        if (m_copied) ::DeleteFileA(HelpViewerPath().c_str());
    }
    bool m_copied = false;
};

TEST_F(UrlLabelBesideHelpViewerTest, PointerIsAHandWhetherOrNotTheViewerHasOne) {
    HCURSOR shown = CursorAfterSetCursor(m_label);
    EXPECT_NE(nullptr, shown);
    if (HelpViewerHasHand()) {
        EXPECT_NE(::LoadCursor(nullptr, IDC_ARROW), shown);
    } else {
        EXPECT_EQ(::LoadCursor(nullptr, IDC_HAND), shown);
    }
}

// A static control that was never given a font still gets an underlined one.
TEST(UrlLabelFontTest, ControlWithoutAFontGetsAnUnderlinedFont) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    HWND control = ::CreateWindowExA(0, "STATIC", "link", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, owner, nullptr,
                                     nullptr, nullptr);
    ASSERT_NE(nullptr, control);
    ASSERT_EQ(nullptr, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    {
        CUrlLabel label;
        ASSERT_TRUE(label.SubclassWindow(control));
        LOGFONTA font = {};
        HFONT given = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
        ASSERT_NE(nullptr, given);
        ASSERT_TRUE(::GetObjectA(given, sizeof(font), &font));
        EXPECT_TRUE(font.lfUnderline);
        EXPECT_NE(0, font.lfHeight);
    }
    ::DestroyWindow(owner);
}

}  // namespace
