// No capture is lost on a stray key: Enter never closes the program,
// Escape asks while captures are unsaved (No keeps them, Yes deletes them),
// and once Save All has kept them Escape closes at once.
#include <gtest/gtest.h>

#include "app/res/resource.h"
#include "picker/resource.h"
#include "tests/win/e2e/PictaroSession.h"
#include "tests/win/e2e/UserActions.h"

namespace e2e {
namespace {

constexpr int kCaptures = 3;
constexpr DWORD kSettleMs = 1000;
const char kThreeUnsaved[] = "3 captures have not been saved. Close Pictaro and delete them?";

class KeepCaptures : public PictaroSession {
protected:
    // Open the sample and take three captures, all unsaved.
    void TakeThreeCaptures() {
        ASSERT_TRUE(OpenThroughToolbar(m_sample));
        ASSERT_TRUE(WaitForMoviePicture());
        ASSERT_TRUE(CaptureWithF2(kCaptures));
        ASSERT_TRUE(WaitForCaptureFiles(kCaptures));
    }
    // Nothing closes in a while: the program still runs, no question shows.
    bool StaysOpen() {
        ::Sleep(kSettleMs);
        return m_app.Running() && ::IsWindow(m_main) && !m_app.FindWindowByCaption(kUnsavedQuestion);
    }
    std::vector<std::string> Captures() const { return wintest::FolderEntries(CaptureFolder()); }
};

TEST_F(KeepCaptures, EnterNeverClosesTheWindowWithOrWithoutCaptures) {
    PressKey(m_main, VK_RETURN);
    EXPECT_TRUE(StaysOpen()) << "Enter closed the program before any capture";
    TakeThreeCaptures();
    PressKey(m_main, VK_RETURN);
    EXPECT_TRUE(StaysOpen()) << "Enter closed the program or asked to";
    EXPECT_EQ(Captures().size(), static_cast<size_t>(kCaptures));
    EXPECT_TRUE(CloseWithCloseBox(true));
}

TEST_F(KeepCaptures, EscapeAsksNoKeepsEverythingYesClosesAndEmptiesTheFolder) {
    TakeThreeCaptures();
    PressKey(m_main, VK_ESCAPE);
    HWND question = WaitForUnsavedQuestion();
    ASSERT_NE(question, nullptr) << "Escape with unsaved captures did not ask";
    EXPECT_EQ(DialogText(question), kThreeUnsaved);
    PressKey(question, VK_RETURN);  // No is the default button
    EXPECT_TRUE(wintest::PollUntil([&] { return !::IsWindow(question); }));
    EXPECT_TRUE(StaysOpen()) << "No closed the program";
    EXPECT_EQ(Captures().size(), static_cast<size_t>(kCaptures));
    EXPECT_EQ(Caption(), "Captured: 03");

    PressKey(m_main, VK_ESCAPE);
    question = WaitForUnsavedQuestion();
    ASSERT_NE(question, nullptr) << "the second Escape did not ask";
    PressButton(question, IDYES);
    ASSERT_TRUE(m_app.WaitForExit()) << "Yes did not close the program";
    EXPECT_EQ(Captures(), std::vector<std::string>{});
}

TEST_F(KeepCaptures, AfterSaveAllEscapeClosesAtOnce) {
    TakeThreeCaptures();
    ::PostMessageA(m_main, WM_COMMAND, IDM_STEPS_SAVE, 0);
    HWND picker = m_app.WaitForWindow("Pick and Print / Save");
    ASSERT_NE(picker, nullptr);
    PressButton(picker, IDC_PICKER_SAVE_ALL);
    HWND browser = m_app.WaitForWindow("Browse for Folder");
    ASSERT_NE(browser, nullptr) << "Save All showed no folder browser";
    std::string folder = m_files.File("kept");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(ChooseFolder(m_app.Handle(), browser, folder));
    HWND quality = m_app.WaitForWindow("Set the quality of JPEG");
    ASSERT_NE(quality, nullptr) << "no JPEG quality dialog";
    PressButton(quality, IDOK);
    HWND done = m_app.WaitForWindow("Save all pictures");
    ASSERT_NE(done, nullptr) << "no message after Save All";
    EXPECT_EQ(DialogText(done), "Pictures has been saved successfully");
    PressButton(done, IDOK);
    CloseWindowsNamed("kept");  // the shell shows the folder
    EXPECT_EQ(wintest::FolderEntries(folder),
              (std::vector<std::string>{"capture_00.jpg", "capture_01.jpg", "capture_02.jpg"}));
    PressButton(picker, IDOK);
    ASSERT_TRUE(wintest::PollUntil([&] { return !::IsWindow(picker); }));

    PressKey(m_main, VK_ESCAPE);
    EXPECT_TRUE(m_app.WaitForExit()) << "Escape after Save All did not close at once";
    EXPECT_EQ(Captures(), std::vector<std::string>{});
}

}  // namespace
}  // namespace e2e
