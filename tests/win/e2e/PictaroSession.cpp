#include "tests/win/e2e/PictaroSession.h"

#include <cstdio>

#include "app/res/resource.h"
#include "tests/win/e2e/ScreenPixels.h"
#include "tests/win/e2e/UserActions.h"
#include "tools/moviegen/Movies.h"

namespace e2e {

namespace {

constexpr int kMaxCaptureCaption = 64;
constexpr int kMaxClassName = 64;
const char kMenuPopupClass[] = "#32768";

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

}  // namespace

std::string PictaroSession::CaptureFolder() {
    char temp[MAX_PATH] = "";
    DWORD length = ::GetTempPathA(MAX_PATH, temp);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(temp) + "Pictaro";
}

// The program needs action.swf beside it; the build copies it there when
// the movies were made first, else the test writes the same movie.
testing::AssertionResult PictaroSession::PrepareMovies() {
    std::string action = FolderOf(PictaroExePath()) + "\\action.swf";
    if (!wintest::FileExists(action) && !wintest::WriteBytes(action, moviegen::ActionMovie().Write(false)))
        return testing::AssertionFailure() << "cannot write " << action;
    m_sample = m_files.File("sample.swf");
    if (!wintest::WriteBytes(m_sample, moviegen::SampleMovie().Write(true)))
        return testing::AssertionFailure() << "cannot write " << m_sample;
    return testing::AssertionSuccess();
}

void PictaroSession::SetUp() {
    std::string exe = PictaroExePath();
    ASSERT_TRUE(wintest::FileExists(exe)) << "pictaro.exe not built: " << exe;
    ASSERT_TRUE(PrepareMovies());
    std::string folder = CaptureFolder();
    ASSERT_FALSE(folder.empty());
    for (const std::string& name : wintest::FolderEntries(folder)) {
        std::string path = folder + "\\" + name;
        DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            wintest::RemoveTree(path);
        else
            ::DeleteFileA(path.c_str());
    }
    ASSERT_TRUE(wintest::FolderEntries(folder).empty()) << "stale files in " << folder;

    std::string error;
    ASSERT_TRUE(m_app.Start(exe, &error, Arguments())) << error;
    m_main = m_app.WaitForWindow(StartCaption(), kStartDeadlineMs);
    ASSERT_NE(m_main, nullptr) << "no main window \"" << StartCaption() << "\"";
}

void PictaroSession::TearDown() {
    if (!m_app.Running()) return;
    m_app.CloseEverything(m_main);
    EXPECT_FALSE(m_app.Running()) << "pictaro.exe did not end when closed";
}

bool PictaroSession::WaitForCaption(const std::string& caption, DWORD deadlineMs) const {
    return wintest::PollUntil([&] { return Caption() == caption; }, deadlineMs);
}

RECT PictaroSession::ControlRect(int id) const {
    RECT rect = {};
    HWND control = Control(id);
    if (!control || !::GetWindowRect(control, &rect)) return RECT{};
    ::MapWindowPoints(HWND_DESKTOP, m_main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT PictaroSession::ToolbarButton(int index) const {
    int left = kToolbarButtonLeft + index * (kToolbarButtonWidth + kToolbarButtonGap);
    return RECT{left, kToolbarButtonTop, left + kToolbarButtonWidth, kToolbarButtonTop + kToolbarButtonHeight};
}

testing::AssertionResult PictaroSession::OpenThroughToolbar(const std::string& path) {
    HWND toolbar = Control(IDC_TOOLBAR);
    RECT open = ToolbarButton(0);
    ClickAt(toolbar, (open.left + open.right) / 2, (open.top + open.bottom) / 2);
    HWND dialog = m_app.WaitForWindow("Open");
    if (!dialog) return testing::AssertionFailure() << "the Open button showed no file dialog";
    ChooseFile(dialog, path);
    if (!WaitForCaption("Ready to print" + path))
        return testing::AssertionFailure() << "caption after the open: \"" << Caption() << "\"";
    return testing::AssertionSuccess();
}

bool PictaroSession::WaitForMoviePicture(Pixels* shown) const {
    Pixels pixels;
    bool pictured = wintest::PollUntil([&] {
        if (!GrabScreen(Control(IDC_PLAYER), &pixels)) return false;
        RECT all{0, 0, pixels.width, pixels.height};
        return CountDifferentFromRow(pixels, all, 0) > 0;
    });
    if (shown) *shown = pixels;
    return pictured;
}

HWND PictaroSession::MenuPopup() const {
    for (HWND hwnd : m_app.VisibleWindows()) {
        char name[kMaxClassName] = "";
        if (::GetClassNameA(hwnd, name, kMaxClassName) && lstrcmpA(name, kMenuPopupClass) == 0) return hwnd;
    }
    return nullptr;
}

bool PictaroSession::MenuPopupOpensFor(char mnemonic) const {
    ::PostMessageA(m_main, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(mnemonic));
    bool shown = wintest::PollUntil([this] { return MenuPopup() != nullptr; });
    // Escape would only step back to the bar; WM_CANCELMODE ends the menu.
    wintest::PollUntil([this] {
        ::PostMessageA(m_main, WM_CANCELMODE, 0, 0);
        return MenuPopup() == nullptr;
    });
    return shown;
}

testing::AssertionResult PictaroSession::CaptureWithF2(int count) {
    int before = 0;
    std::sscanf(Caption().c_str(), "Captured: %d", &before);
    for (int i = 0; i < count; ++i) PressKey(m_main, VK_F2);
    char expected[kMaxCaptureCaption];
    std::snprintf(expected, sizeof(expected), "Captured: %02d", before + count);
    if (!WaitForCaption(expected))
        return testing::AssertionFailure() << "caption after F2: \"" << Caption() << "\", not " << expected;
    return testing::AssertionSuccess();
}

std::string PictaroSession::CaptureFile(int n) {
    char name[kMaxCaptureCaption];
    std::snprintf(name, sizeof(name), "\\capture_%02d.bmp", n);
    return CaptureFolder() + name;
}

testing::AssertionResult PictaroSession::WaitForCaptureFiles(int count) const {
    std::vector<ImageFile> files;
    bool complete = wintest::PollUntil([&] {
        files.clear();
        for (int n = 0; n < count; ++n) {
            files.push_back(ReadImageFile(CaptureFile(n)));
            if (!files.back().decoded) return false;
        }
        return true;
    });
    if (!complete) return testing::AssertionFailure() << "capture files missing or unreadable";
    for (int n = 0; n < count; ++n) {
        const ImageFile& file = files[static_cast<size_t>(n)];
        if (file.width != kStageWidth || file.height != kStageHeight)
            return testing::AssertionFailure() << CaptureFile(n) << " is " << file.width << " x " << file.height;
        if (file.distinctSampled < 2) return testing::AssertionFailure() << CaptureFile(n) << " is blank";
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult PictaroSession::CloseWithCloseBox(bool confirm) {
    // The close box sends SC_CLOSE, as the caption's X does.
    ::PostMessageA(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (confirm) {
        HWND question = WaitForUnsavedQuestion();
        if (!question) return testing::AssertionFailure() << "closing did not ask about the unsaved captures";
        PressButton(question, IDYES);
    }
    if (!m_app.WaitForExit()) return testing::AssertionFailure() << "pictaro.exe still runs after its close box";
    return testing::AssertionSuccess();
}

}  // namespace e2e
