// The framework's window layer driven through real dialogs: reflection of
// notifications to the control, data validation that keeps the dialog open,
// exceptions stopped at the window procedure, nested modal loops, workers
// served while the UI thread waits for them, and message box captions.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "app/res/about.h"
#include "app/res/resource.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/File.h"
#include "framework/MessageBox.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"
#include "picker/resource.h"
#include "tests/win/common/WinTestUtil.h"

using wintest::LoopScript;

namespace {

constexpr UINT kThrowFileError = 40001;
constexpr UINT kThrowStdError = 40002;
constexpr UINT kOpenChild = 40003;
constexpr COLORREF kLabelBack = RGB(0, 200, 0);

// A button that may keep its own click; a label that paints itself.
class OwnClickButton : public CWnd {
public:
    bool keepClicks = true;
    int clicksSeen = 0;

protected:
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM, LRESULT* result) override {
        if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return FALSE;
        ++clicksSeen;
        *result = 0;
        return keepClicks;
    }
};

class GreenLabel : public CWnd {
public:
    GreenLabel() : m_brush(::CreateSolidBrush(kLabelBack)) {}
    ~GreenLabel() override { ::DeleteObject(m_brush); }
    int colorRequests = 0;

protected:
    HBRUSH CtlColor(HDC dc, UINT msg) override {
        if (msg != WM_CTLCOLORSTATIC) return nullptr;
        ++colorRequests;
        ::SetBkColor(dc, kLabelBack);
        return m_brush;
    }

private:
    HBRUSH m_brush;
};

// The About template with framework objects on its controls; it throws or
// opens a nested copy of itself on private commands.
class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(IDD_ABOUTBOX, parent) {}
    OwnClickButton ok;
    GreenLabel label;
    std::unique_ptr<TestDialog> child;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDOK, ok);
        DDX_Control(dx, IDC_MAKER_LINK, label);
    }
    BOOL OnCommand(UINT id, UINT code) override {
        switch (id) {
        case kThrowFileError: throw CFileException(CFileException::Operation::Read, "Z:\\lost.swf", ERROR_HANDLE_EOF);
        case kThrowStdError: throw std::runtime_error("engine out of order");
        case kOpenChild:
            child = std::make_unique<TestDialog>(this);
            child->DoModal();
            return TRUE;
        }
        return CDialog::OnCommand(id, code);
    }
};

void Post(const CWnd& wnd, UINT id) { ::PostMessageA(wnd.m_hWnd, WM_COMMAND, id, 0); }
bool Open(const std::unique_ptr<TestDialog>& dialog) {
    return dialog && dialog->m_hWnd && ::IsWindowVisible(dialog->m_hWnd);
}

TEST(DialogsTest, ControlsSeeTheirOwnNotificationsBeforeTheParent) {
    TestDialog dialog;
    LoopScript script([&] { dialog.EndDialog(IDABORT); });
    script.Do([&] {
        HWND label = dialog.label.m_hWnd;
        ::RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT rect;
        ::GetClientRect(label, &rect);
        HDC dc = ::GetDC(label);
        COLORREF corner = ::GetPixel(dc, rect.right - 2, rect.bottom - 2);
        ::ReleaseDC(label, dc);
        EXPECT_GT(dialog.label.colorRequests, 0);
        EXPECT_EQ(corner, kLabelBack);
        ::SendMessageA(dialog.ok.m_hWnd, BM_CLICK, 0, 0);
    });
    // The button kept its click: OK did not reach the dialog.
    script.Do([&] {
        EXPECT_EQ(dialog.ok.clicksSeen, 1);
        EXPECT_TRUE(dialog.IsModalLoopRunning());
        dialog.ok.keepClicks = false;
        ::SendMessageA(dialog.ok.m_hWnd, BM_CLICK, 0, 0);
    });
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(script.Failure(), "");
    EXPECT_EQ(dialog.ok.clicksSeen, 2);
}

TEST(DialogsTest, AnExceptionInAHandlerIsShownAndTheDialogLivesOn) {
    wintest::DialogCloser closer({AfxGetAppName().GetString()});
    TestDialog dialog;
    LoopScript script([&] { dialog.EndDialog(IDABORT); });
    script.Do([&] { Post(dialog, kThrowFileError); });
    script.Wait([&] { return closer.SeenDialogs().size() == 1; }, "the file error's box");
    script.Do([&] { Post(dialog, kThrowStdError); });
    script.Wait([&] { return closer.SeenDialogs().size() == 2; }, "the internal error's box");
    script.Do([&] { Post(dialog, IDCANCEL); });
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(script.Failure(), "");
    ASSERT_EQ(closer.SeenDialogs().size(), 2u);
    EXPECT_NE(closer.SeenDialogs()[0].text.find("Pictaro could not read the file Z:\\lost.swf."), std::string::npos)
        << closer.SeenDialogs()[0].text;
    EXPECT_NE(closer.SeenDialogs()[1].text.find("engine out of order"), std::string::npos);
}

TEST(DialogsTest, NestedModalDialogsDisableAndReEnableTheirOwners) {
    TestDialog top;
    LoopScript script([&] { top.EndDialog(IDABORT); });
    TestDialog* middle = nullptr;
    script.Do([&] { Post(top, kOpenChild); });
    script.Wait([&] { return Open(top.child); }, "the second dialog");
    script.Do([&] {
        middle = top.child.get();
        EXPECT_FALSE(top.IsWindowEnabled());
        EXPECT_EQ(::GetWindow(middle->m_hWnd, GW_OWNER), top.m_hWnd);
        Post(*middle, kOpenChild);
    });
    script.Wait([&] { return Open(middle->child); }, "the third dialog");
    script.Do([&] {
        EXPECT_FALSE(top.IsWindowEnabled());
        EXPECT_FALSE(middle->IsWindowEnabled());
        Post(*middle->child, IDCANCEL);
    });
    script.Wait([&] { return middle->child->m_hWnd == nullptr; }, "the third dialog to go");
    script.Do([&] {
        EXPECT_TRUE(middle->IsWindowEnabled());
        EXPECT_FALSE(top.IsWindowEnabled());
        Post(*middle, IDCANCEL);
    });
    script.Wait([&] { return middle->m_hWnd == nullptr; }, "the second dialog to go");
    script.Do([&] {
        EXPECT_TRUE(top.IsWindowEnabled());
        Post(top, IDCANCEL);
    });
    script.Start();
    EXPECT_EQ(top.DoModal(), IDCANCEL);
    EXPECT_EQ(script.Failure(), "");
}

// The picker's watermark box with a limit of 5 characters.
class LimitedTextDialog : public CDialog {
public:
    LimitedTextDialog() : CDialog(IDD_PICKER) {}
    CString text;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_WATERMARK, text);
        DDV_MaxChars(dx, text, 5);
    }
};

TEST(DialogsTest, MaxCharsRefusesALongerTextAndTheDialogStaysOpen) {
    wintest::DialogCloser closer({AfxGetAppName().GetString()});
    LimitedTextDialog dialog;
    HWND edit = nullptr;
    LoopScript script([&] { dialog.EndDialog(IDABORT); });
    script.Do([&] {
        edit = ::GetDlgItem(dialog.m_hWnd, IDC_WATERMARK);
        EXPECT_EQ(::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 5);
        ::SetWindowTextA(edit, "toolong");  // a program can put in more than the limit
        Post(dialog, IDOK);
    });
    script.Wait([&] { return closer.SeenDialogs().size() == 1; }, "the refusal");
    script.Do([&] {
        EXPECT_TRUE(dialog.IsModalLoopRunning());
        EXPECT_TRUE(::IsWindow(dialog.m_hWnd));
        ::SetWindowTextA(edit, "short");
        Post(dialog, IDOK);
    });
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(script.Failure(), "");
    ASSERT_EQ(closer.SeenDialogs().size(), 1u);
    EXPECT_NE(closer.SeenDialogs()[0].text.find("Enter no more than 5 characters."), std::string::npos);
    EXPECT_EQ(std::string(dialog.text.GetString()), "short");
}

struct WorkerJob {
    HWND target;
    bool delivered = false;
};

UINT __cdecl SetTextFromWorker(LPVOID param) {
    WorkerJob* job = static_cast<WorkerJob*>(param);
    // SetWindowText with a deadline: a waiter that serves nothing fails
    // this test instead of hanging it.
    DWORD_PTR result = 0;
    job->delivered = ::SendMessageTimeoutA(job->target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("from worker"),
                                           SMTO_NORMAL, wintest::kDefaultDeadlineMs, &result) != 0;
    return 0;
}

TEST(DialogsTest, WaitingForWorkersServesTheirSentMessages) {
    HWND window = ::CreateWindowExA(0, "STATIC", "before", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    WorkerJob jobs[3] = {{window}, {window}, {window}};
    for (WorkerJob& job : jobs) ASSERT_NE(AfxBeginThread(SetTextFromWorker, &job), nullptr);
    AfxWaitForWorkerThreads();
    EXPECT_EQ(AfxGetRunningWorkerCount(), 0);
    for (const WorkerJob& job : jobs) EXPECT_TRUE(job.delivered);
    EXPECT_EQ(CWnd::FromHandle(window)->GetWindowText(), "from worker");
    ::DestroyWindow(window);
}

TEST(DialogsTest, MessageBoxCaptionIsTheProgramNameWithoutExtension) {
    EXPECT_EQ(AfxGetAppName(), "win_framework_tests");
    wintest::DialogCloser closer({"win_framework_tests"});
    AfxMessageBox("Hello from the test.", MB_OK);
    ASSERT_EQ(closer.SeenDialogs().size(), 1u);
    EXPECT_NE(closer.SeenDialogs()[0].text.find("Hello from the test."), std::string::npos);
}

}  // namespace
