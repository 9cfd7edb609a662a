// One user session with a fresh pictaro.exe: the capture folder emptied
// first (so every file seen was made by this run), the program started, its
// main window found; at the end the program is closed and must exit.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/win/common/WinTestUtil.h"
#include "tests/win/e2e/PictaroProcess.h"

namespace e2e {

struct Pixels;

// Where the toolbar movie draws its Open button (client pixels of the
// toolbar): the first of three 84 x 40 buttons from (8, 5), 8 apart (the
// narrower speaker follows them).
constexpr int kToolbarButtonLeft = 8;
constexpr int kToolbarButtonTop = 5;
constexpr int kToolbarButtonWidth = 84;
constexpr int kToolbarButtonHeight = 40;
constexpr int kToolbarButtonGap = 8;
constexpr int kToolbarButtons = 3;

constexpr int kStageWidth = 550;  // sample.swf
constexpr int kStageHeight = 400;

class PictaroSession : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // What the program is started with, and the caption its main window
    // is found by.
    virtual std::string Arguments() const { return std::string(); }
    virtual std::string StartCaption() const { return "Pictaro"; }

    // %TEMP%\Pictaro, as the program names it.
    static std::string CaptureFolder();
    std::string Caption() const { return WindowText(m_main); }
    bool WaitForCaption(const std::string& caption, DWORD deadlineMs = kDeadlineMs) const;
    HWND Control(int id) const { return ::GetDlgItem(m_main, id); }
    // A child's rectangle in the main window's client coordinates.
    RECT ControlRect(int id) const;
    RECT ToolbarButton(int index) const;

    // The toolbar's Open button, the file dialog, the path typed and
    // confirmed; done when the caption names the movie.
    testing::AssertionResult OpenThroughToolbar(const std::string& path);
    // True once the player shows a picture of more than one colour per row.
    bool WaitForMoviePicture(Pixels* shown = nullptr) const;
    // Alt+`mnemonic` on the menu bar: true when a popup menu shows; the
    // menu is closed again either way.
    bool MenuPopupOpensFor(char mnemonic) const;
    // F2 `count` times; done when the caption shows the new count.
    testing::AssertionResult CaptureWithF2(int count);
    // capture_NN.bmp of the capture folder.
    static std::string CaptureFile(int n);
    // The workers write after the caption may already show the count:
    // done when captures 0 .. count - 1 decode, player-sized, not blank.
    testing::AssertionResult WaitForCaptureFiles(int count) const;
    // The close box; done when the process has ended. With `confirm`, the
    // question about unsaved captures must come and is answered Yes.
    testing::AssertionResult CloseWithCloseBox(bool confirm = false);
    // The question closing asks while captures are unsaved, once it shows.
    HWND WaitForUnsavedQuestion() const { return m_app.WaitForWindow(kUnsavedQuestion); }

    PictaroProcess m_app;
    HWND m_main = nullptr;
    wintest::TempFolder m_files;
    std::string m_sample;  // sample.swf, written for this test

private:
    testing::AssertionResult PrepareMovies();
    HWND MenuPopup() const;
};

}  // namespace e2e
