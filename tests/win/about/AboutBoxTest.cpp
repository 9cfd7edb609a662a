// The About box opened from the main window's two menu entries, while the
// main window's position timer runs.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "PictaroVersion.h"
#include "app/AboutDialog.h"
#include "app/MainDialog.h"
#include "app/res/resource.h"
#include "framework/WinApp.h"
#include "tests/win/about/AboutTestSupport.h"

namespace {

constexpr char kMainCaption[] = "Pictaro";
constexpr char kAboutCaption[] = "About Pictaro";
constexpr int kTicksWhileOpen = 3;

// Position timer ticks taken from the main window's thread's queue.
std::atomic<int> g_ticks{0};
HWND g_mainWindow = nullptr;

LRESULT CALLBACK CountTicks(int code, WPARAM wp, LPARAM lp) {
    const MSG* msg = reinterpret_cast<const MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && msg->message == WM_TIMER && msg->hwnd == g_mainWindow &&
        msg->wParam == ID_POSITION_TIMER)
        ++g_ticks;
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

// What makes two About boxes the same dialog: the window class and caption,
// and each control's id, class, text and place.
std::vector<std::string> Describe(HWND dialog) {
    std::vector<std::string> parts;
    char className[64] = "";
    ::GetClassNameA(dialog, className, sizeof(className));
    parts.push_back(std::string(className) + "|" + WindowText(dialog));
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        ::GetClassNameA(child, className, sizeof(className));
        char line[512];
        wsprintfA(line, "%d|%s|%s|%ld,%ld,%ld,%ld", ::GetDlgCtrlID(child), className, WindowText(child).c_str(),
                  rect.left, rect.top, rect.right, rect.bottom);
        parts.push_back(line);
    }
    return parts;
}

class AboutBoxTest : public testing::Test {
protected:
    void SetUp() override {
        AfxGetApp()->m_pMainWnd = &m_main;
        m_thread = std::make_unique<UiThread>([this] { m_main.DoModal(); });
        m_window = m_thread->WaitForWindow(kMainCaption);
        ASSERT_NE(nullptr, m_window);
        g_mainWindow = m_window;
        m_hook = ::SetWindowsHookExA(WH_GETMESSAGE, CountTicks, nullptr, m_thread->Id());
        ASSERT_NE(nullptr, m_hook);
        // Letting go of the seek slider is what starts the timer without a movie.
        ::PostMessageA(m_window, WM_SEEK_MOVED, IDC_SEEK_SLIDER, 0);
        ASSERT_TRUE(PollUntil([] { return g_ticks > 0; })) << "the position timer never ticked";
    }

    void TearDown() override {
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        if (m_window && ::IsWindow(m_window)) ::PostMessageA(m_window, WM_COMMAND, IDM_FILE_EXIT, 0);
        EXPECT_TRUE(PollUntil([this] { return m_thread->Finished(); }));
        m_thread.reset();
        AfxGetApp()->m_pMainWnd = nullptr;
        g_mainWindow = nullptr;
    }

    // The box that opened, checked to be the About box running modally over
    // the main window while the timer ticks on.
    HWND ExpectModalAboutBox() {
        HWND about = m_thread->WaitForWindow(kAboutCaption);
        if (!about) {
            ADD_FAILURE() << "no About box";
            return nullptr;
        }
        auto* dialog = dynamic_cast<CAboutDialog*>(CWnd::FromHandlePermanent(about));
        EXPECT_EQ(static_cast<UINT>(IDD_ABOUTBOX), dialog ? dialog->GetTemplateId() : 0);
        EXPECT_EQ(m_window, ::GetWindow(about, GW_OWNER));
        EXPECT_FALSE(::IsWindowEnabled(m_window));
        int ticks = g_ticks;
        EXPECT_TRUE(PollUntil([&] { return g_ticks >= ticks + kTicksWhileOpen; }))
            << "the position timer stopped under the About box";
        return about;
    }

    void ExpectClosed(HWND about) {
        EXPECT_TRUE(PollUntil([&] { return !::IsWindow(about) && ::IsWindowEnabled(m_window); }));
    }

    CMainDialog m_main;
    std::unique_ptr<UiThread> m_thread;
    HWND m_window = nullptr;
    HHOOK m_hook = nullptr;
};

TEST_F(AboutBoxTest, BothMenuEntriesOpenTheSameModalBoxWhileTheTimerTicks) {
    char text[64] = "";
    ::GetMenuStringA(::GetSystemMenu(m_window, FALSE), IDM_ABOUTBOX, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ("&About Pictaro...", text);
    ::GetMenuStringA(::GetMenu(m_window), IDM_HELP_ABOUT, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ("&About Pictaro", text);

    ::PostMessageA(m_window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND fromSystemMenu = ExpectModalAboutBox();
    ASSERT_NE(nullptr, fromSystemMenu);
    std::vector<std::string> first = Describe(fromSystemMenu);
    ASSERT_EQ(5u, first.size()) << "the box and its four controls";
    ::SendMessageA(::GetDlgItem(fromSystemMenu, IDOK), BM_CLICK, 0, 0);
    ExpectClosed(fromSystemMenu);

    ::PostMessageA(m_window, WM_COMMAND, IDM_HELP_ABOUT, 0);
    HWND fromHelpMenu = ExpectModalAboutBox();
    ASSERT_NE(nullptr, fromHelpMenu);
    EXPECT_EQ(first, Describe(fromHelpMenu));
    EXPECT_NE(std::string::npos, first[2].find("|Static|Pictaro Version " PICTARO_VERSION "|")) << first[2];
    EXPECT_EQ("1015|Static|Made by the Pictaro team", first[3].substr(0, first[3].rfind('|')));
    // Escape, as a user would leave it.
    HWND focus = ::GetDlgItem(fromHelpMenu, IDOK);
    ::PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
    ExpectClosed(fromHelpMenu);
}

}  // namespace
