// Captures larger than the screen and "Capture Every Frame", driven through
// the real main window as a user would: the Steps menu's commands, F2, the
// dialog's boxes and buttons. The files are read back with GDI+.
#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include "app/MainDialog.h"
#include "app/Settings.h"
#include "app/res/resource.h"
#include "capture/CaptureNames.h"
#include "capture/resource.h"
#include "framework/Thread.h"
#include "framework/WideText.h"
#include "framework/WinApp.h"
#include "tests/win/app/SettingGuard.h"
#include "tests/win/common/WinTestUtil.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

using namespace Gdiplus::DllExports;
using wintest::FileExists;
using wintest::LoopScript;

namespace {

constexpr int kTwips = 20;
constexpr int kBandHeight = 50;
constexpr int kStageWidth = 200, kStageHeight = 100;
constexpr COLORREF kRed = RGB(255, 0, 0), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
constexpr int kBits = 6;  // frame numbers up to 63
constexpr int kFrames = 60;
constexpr DWORD kLongRunMs = 60000;
constexpr DWORD kSettleMs = 300;  // long enough for a stray frame to show
constexpr const char* kEveryFrameCaption = "Capture Every Frame";
constexpr const char* kTooLargeCaption = "Capture Too Large";

swfmake::SwfWriter WhiteStage(int frames) {
    swfmake::SwfWriter movie(6, {0, kStageWidth * kTwips, 0, kStageHeight * kTwips}, 12);
    movie.SetFrameCount(static_cast<uint16_t>(frames));
    movie.Tags().SetBackgroundColor({255, 255, 255, 255});
    return movie;
}

swf::Shape Box(int left, int top, int right, int bottom, swf::Rgba color) {
    swfmake::ShapeBuilder shape;
    shape.FillRect({left * kTwips, right * kTwips, top * kTwips, bottom * kTwips}, shape.AddSolidFill(color));
    return shape.Build();
}

// A red square from (50, 40) to (100, 80) pixels.
std::vector<uint8_t> SquareMovie() {
    swfmake::SwfWriter movie = WhiteStage(1);
    movie.Tags().DefineShape(1, Box(50, 40, 100, 80, {255, 0, 0, 255}));
    movie.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    movie.Tags().ShowFrame();
    return movie.Write(false);
}

// Bit i of a frame's number (counted from 1) is a black box at BitCentre(i).
POINT BitCentre(int bit) { return {20 + 30 * bit, 50}; }

std::vector<uint8_t> NumberedMovie() {
    swfmake::SwfWriter movie = WhiteStage(kFrames);
    for (int bit = 0; bit < kBits; ++bit) {
        const POINT c = BitCentre(bit);
        movie.Tags().DefineShape(static_cast<uint16_t>(bit + 1), Box(c.x - 10, c.y - 10, c.x + 10, c.y + 10, {0, 0, 0, 255}));
    }
    for (int frame = 1; frame <= kFrames; ++frame) {
        for (int bit = 0; bit < kBits; ++bit) {
            const bool now = (frame >> bit) & 1, before = ((frame - 1) >> bit) & 1;
            const auto depth = static_cast<uint16_t>(bit + 1);
            if (now && !before) movie.Tags().PlaceObject2(swfmake::NewPlacement(depth, depth));
            if (!now && before) movie.Tags().RemoveObject2(depth);
        }
        movie.Tags().ShowFrame();
    }
    return movie.Write(false);
}

// A capture file opened with GDI+; pixels in picture coordinates.
class Picture {
public:
    explicit Picture(const CString& path) { GdipCreateBitmapFromFile(AfxAnsiToWide(path).c_str(), &m_bitmap); }
    ~Picture() {
        if (m_bitmap) GdipDisposeImage(m_bitmap);
    }
    bool Read() const { return m_bitmap != nullptr; }
    UINT Width() const {
        UINT width = 0;
        GdipGetImageWidth(m_bitmap, &width);
        return width;
    }
    UINT Height() const {
        UINT height = 0;
        GdipGetImageHeight(m_bitmap, &height);
        return height;
    }
    COLORREF At(int x, int y) const {
        Gdiplus::ARGB argb = 0;
        GdipBitmapGetPixel(m_bitmap, x, y, &argb);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    // The frame number NumberedMovie drew, read at the picture's scale;
    // -1 when a bit is neither black nor white.
    int FrameNumber() const {
        const int scale = static_cast<int>(Width()) / kStageWidth;
        int number = 0;
        for (int bit = 0; bit < kBits; ++bit) {
            const COLORREF c = At(BitCentre(bit).x * scale, BitCentre(bit).y * scale);
            if (c != kBlack && c != kWhite) return -1;
            if (c == kBlack) number |= 1 << bit;
        }
        return number;
    }

private:
    Gdiplus::GpBitmap* m_bitmap = nullptr;
};

class CaptureSizeTest : public ::testing::Test {
protected:
    CaptureSizeTest() {
        wintest::RemoveTree(m_dialog.m_captureFolder.GetString());
        ::CreateDirectoryA(m_dialog.m_captureFolder, nullptr);
    }
    void Run(LoopScript& script) {
        AfxGetApp()->m_pMainWnd = &m_dialog;
        script.Start();
        m_dialog.DoModal();
        AfxGetApp()->m_pMainWnd = nullptr;
        EXPECT_EQ(script.Failure(), "");
    }
    void Close() {
        if (HWND everyFrame = wintest::FindThreadWindow(kEveryFrameCaption))
            ::PostMessageA(everyFrame, WM_COMMAND, IDCANCEL, 0);
        ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    }
    void Command(UINT id) { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, id, 0); }
    void ShowMovie(const std::vector<uint8_t>& bytes) {
        const std::string path = m_movies.File("movie.swf");
        ASSERT_TRUE(wintest::WriteBytes(path, bytes));
        m_dialog.m_player.MoveWindow(0, kBandHeight, kStageWidth, kStageHeight);
        m_dialog.m_player.LoadMovie(0, path.c_str());
        m_dialog.m_player.Stop();
        m_dialog.m_captureCount = 0;
    }
    // The Every Frame dialog, once it shows.
    std::function<bool()> EveryFrameShown() {
        return [this] { return (m_everyFrame = wintest::FindThreadWindow(kEveryFrameCaption)) != nullptr; };
    }
    void StartEveryFrame(const char* step) {
        ::SetDlgItemTextA(m_everyFrame, IDC_EVERY_STEP, step);
        ::PostMessageA(m_everyFrame, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    CString File(int number) const { return CaptureFilePath(m_dialog.m_captureFolder, number); }
    int Count() const { return static_cast<int>(m_dialog.m_captureCount); }

    SettingGuard m_setting{kCaptureSizeSetting, 0};  // before the window, which reads it
    CMainDialog m_dialog;
    wintest::TempFolder m_movies;
    HWND m_everyFrame = nullptr;
    wintest::DialogCloser m_closeAnyway{{kUnsavedCapturesCaption}, IDYES};
    wintest::DialogCloser m_tooLarge{{kTooLargeCaption}};
};

TEST_F(CaptureSizeTest, FourTimesIsTheFrameDrawnFourTimesAsLargeAndTheChoiceIsKept) {
    LoopScript script([this] { Close(); });
    script.Do([this] { ShowMovie(SquareMovie()); })
        .Do([this] {
            Command(IDM_CAPTURE_SIZE_QUADRUPLE);
            wintest::PostKeyDown(m_dialog.m_hWnd, VK_F2);
        })
        .Wait([this] { return m_dialog.GetWindowText() == "Captured: 01"; }, "the capture")
        .Do([this] {
            Picture picture(File(0));
            ASSERT_TRUE(picture.Read());
            EXPECT_EQ(picture.Width(), 4u * kStageWidth);
            EXPECT_EQ(picture.Height(), 4u * kStageHeight);
            // The square's edges land on pixel boundaries four times as far out.
            EXPECT_EQ(picture.At(199, 240), kWhite);
            EXPECT_EQ(picture.At(200, 240), kRed);
            EXPECT_EQ(picture.At(399, 319), kRed);
            EXPECT_EQ(picture.At(400, 240), kWhite);
            EXPECT_EQ(picture.At(300, 159), kWhite);
            EXPECT_EQ(ReadSetting(kCaptureSizeSetting, -1), 2);
            HMENU menu = m_dialog.GetMenu();
            EXPECT_TRUE(::GetMenuState(menu, IDM_CAPTURE_SIZE_QUADRUPLE, MF_BYCOMMAND) & MF_CHECKED);
            EXPECT_FALSE(::GetMenuState(menu, IDM_CAPTURE_SIZE_SCREEN, MF_BYCOMMAND) & MF_CHECKED);
            Close();
        });
    Run(script);
    CMainDialog nextRun;
    EXPECT_EQ(nextRun.m_captureSize, CaptureSize::Quadruple);
}

TEST_F(CaptureSizeTest, APictureBeyondTheLimitIsRefusedWithAMessageAndNoFile) {
    LoopScript script([this] { Close(); });
    script.Do([this] { ShowMovie(SquareMovie()); })
        .Do([this] {
            // Print width of a tall player: 3000 x 75000 pixels.
            m_dialog.m_player.MoveWindow(0, kBandHeight, kStageWidth, 5000);
            Command(IDM_CAPTURE_SIZE_PRINT);
            wintest::PostKeyDown(m_dialog.m_hWnd, VK_F2);
        })
        .Wait([this] { return !m_tooLarge.SeenDialogs().empty(); }, "the message")
        .Do([this] {
            EXPECT_NE(m_tooLarge.SeenDialogs()[0].text.find("3000 x 75000"), std::string::npos);
            EXPECT_EQ(Count(), 0);
            EXPECT_TRUE(wintest::FolderEntries(m_dialog.m_captureFolder.GetString()).empty());
            Close();
        });
    Run(script);
}

TEST_F(CaptureSizeTest, EveryFifthFrameGivesTwelveFilesOfThoseFramesAndThePausedMovieStaysPut) {
    LoopScript script([this] { Close(); }, kLongRunMs);
    script.Do([this] {
              ShowMovie(NumberedMovie());
              m_dialog.m_player.SetFrameNum(29);
              Command(IDM_CAPTURE_SIZE_DOUBLE);
              Command(IDM_STEPS_EVERY_FRAME);
          })
        .Wait(EveryFrameShown(), "the dialog")
        .Do([this] {
            EXPECT_EQ(::GetDlgItemInt(m_everyFrame, IDC_EVERY_FROM, nullptr, FALSE), 1u);
            EXPECT_EQ(::GetDlgItemInt(m_everyFrame, IDC_EVERY_TO, nullptr, FALSE), static_cast<UINT>(kFrames));
            EXPECT_EQ(::GetDlgItemInt(m_everyFrame, IDC_EVERY_STEP, nullptr, FALSE), 1u);
            StartEveryFrame("5");
        })
        .Wait([this] { return !::IsWindow(m_everyFrame); }, "the run to end")
        .Do([this] {
            ASSERT_EQ(Count(), 12);
            EXPECT_EQ(m_dialog.GetWindowText(), "Captured: 12");
            for (int n = 0; n < 12; ++n) {
                Picture picture(File(n));
                ASSERT_TRUE(picture.Read()) << n;
                EXPECT_EQ(picture.Width(), 2u * kStageWidth);
                EXPECT_EQ(picture.FrameNumber(), 1 + 5 * n) << n;
            }
            EXPECT_EQ(m_dialog.m_player.GetFrameNum(), 29);
            EXPECT_FALSE(m_dialog.m_player.IsPlaying());
            Close();
        });
    Run(script);
    // Closing counted them as unsaved captures.
    ASSERT_EQ(m_closeAnyway.SeenDialogs().size(), 1u);
    EXPECT_NE(m_closeAnyway.SeenDialogs()[0].text.find("12 captures"), std::string::npos);
}

TEST_F(CaptureSizeTest, CancelStopsTheRunAndKeepsWhatWasCaptured) {
    int kept = 0;
    DWORD stoppedAt = 0;
    LoopScript script([this] { Close(); }, kLongRunMs);
    script.Do([this] {
              ShowMovie(NumberedMovie());
              Command(IDM_CAPTURE_SIZE_PRINT);
              Command(IDM_STEPS_EVERY_FRAME);
          })
        .Wait(EveryFrameShown(), "the dialog")
        .Do([this] { StartEveryFrame("1"); })
        .Wait([this] { return Count() >= 2; }, "two frames")
        .Do([this] { ::PostMessageA(m_everyFrame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); })
        .Wait([this] { return !::IsWindow(m_everyFrame); }, "the dialog to close")
        .Do([this, &kept, &stoppedAt] {
            stoppedAt = ::GetTickCount();
            kept = Count();
            EXPECT_LT(kept, kFrames);
            for (int n = 0; n < kept; ++n) EXPECT_EQ(Picture(File(n)).FrameNumber(), n + 1) << n;
            EXPECT_FALSE(FileExists(File(kept).GetString()));
        })
        .Wait([&stoppedAt] { return ::GetTickCount() - stoppedAt > kSettleMs; }, "a moment")
        .Do([this, &kept] {
            EXPECT_EQ(Count(), kept);
            Close();
        });
    Run(script);
}

}  // namespace
