// Captures taken from the real main window: F2 goes through its modal loop,
// each capture runs on its own worker, and the files are read back with
// GDI+. A movie is shown the way opening one leaves the player: sized to
// the stage, loaded, the count back at 0.
#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include "app/MainDialog.h"
#include "capture/Capture.h"
#include "capture/CaptureNames.h"
#include "framework/Dispatch.h"
#include "framework/WideText.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"
#include "player/PlayerDispatch.h"
#include "player/ShockwaveFlash.h"
#include "tests/win/common/WinTestUtil.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

using namespace Gdiplus::DllExports;
using wintest::FileExists;
using wintest::LoopScript;

namespace {

constexpr int kTwips = 20;
constexpr int kBandHeight = 50;  // the toolbar strip above the player
constexpr DWORD kManyCapturesMs = 60000;
constexpr COLORREF kQuadrants[4] = {RGB(220, 40, 40), RGB(40, 180, 60), RGB(40, 70, 220), RGB(240, 200, 30)};
constexpr COLORREF kSquare = RGB(255, 255, 255);

swf::Rgba Rgba(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c), 255}; }

// Four solid quadrants and a centred square, as solid fills with no edge
// inside the sampled points, so every sample is exact.
std::vector<uint8_t> PatternMovie(int width, int height) {
    swfmake::SwfWriter movie(6, {0, width * kTwips, 0, height * kTwips}, 12);
    swfmake::ShapeBuilder shape;
    const int w = width * kTwips, h = height * kTwips;
    const swf::Rect quads[4] = {{0, w / 2, 0, h / 2}, {w / 2, w, 0, h / 2}, {0, w / 2, h / 2, h}, {w / 2, w, h / 2, h}};
    for (int i = 0; i < 4; ++i) shape.FillRect(quads[i], shape.AddSolidFill(Rgba(kQuadrants[i])));
    shape.NewLayer();
    shape.FillRect({w * 2 / 5, w * 3 / 5, h * 2 / 5, h * 3 / 5}, shape.AddSolidFill(Rgba(kSquare)));
    movie.Tags().DefineShape(1, shape.Build());
    movie.Tags().PlaceObject2(swfmake::NewPlacement(1, 1));
    movie.Tags().ShowFrame();
    return movie.Write(false);
}

// Where the pattern's regions are, as fractions of the picture.
struct Sample {
    double x, y;
    COLORREF color;
};
const Sample kSamples[] = {{0.1, 0.1, kQuadrants[0]}, {0.9, 0.1, kQuadrants[1]}, {0.1, 0.9, kQuadrants[2]},
                           {0.9, 0.9, kQuadrants[3]}, {0.5, 0.5, kSquare}};

// A capture file as GDI+ reads it: its size and the colours at kSamples.
struct Picture {
    bool read = false;
    UINT width = 0, height = 0;
    std::vector<COLORREF> colors;
};

Picture ReadPicture(const CString& path) {
    Picture picture;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromFile(AfxAnsiToWide(path).c_str(), &bitmap) != Gdiplus::Ok) return picture;
    GdipGetImageWidth(bitmap, &picture.width);
    GdipGetImageHeight(bitmap, &picture.height);
    for (const Sample& s : kSamples) {
        Gdiplus::ARGB argb = 0;
        GdipBitmapGetPixel(bitmap, static_cast<INT>(s.x * picture.width), static_cast<INT>(s.y * picture.height), &argb);
        picture.colors.push_back(RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF));
    }
    GdipDisposeImage(bitmap);
    picture.read = true;
    return picture;
}

void ExpectPattern(const Picture& picture, UINT width, UINT height) {
    ASSERT_TRUE(picture.read);
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    for (size_t i = 0; i < picture.colors.size(); ++i) EXPECT_EQ(picture.colors[i], kSamples[i].color) << i;
}

class CaptureTest : public ::testing::Test {
protected:
    CaptureTest() {
        // Start from an empty folder, whatever an earlier run left.
        wintest::RemoveTree(m_dialog.m_captureFolder.GetString());
        ::CreateDirectoryA(m_dialog.m_captureFolder, nullptr);
    }
    void Run(LoopScript& script) {
        AfxGetApp()->m_pMainWnd = &m_dialog;
        script.Start();
        m_dialog.DoModal();
        AfxGetApp()->m_pMainWnd = nullptr;
        EXPECT_EQ(script.Failure(), "");
        EXPECT_EQ(AfxGetRunningWorkerCount(), 0);
    }
    void Close() { ::PostMessageA(m_dialog.m_hWnd, WM_COMMAND, IDCANCEL, 0); }
    // What an open leaves: the player sized to the stage, the movie in it,
    // the count back at 0.
    void ShowMovie(int width, int height) {
        std::string path = m_movies.File(("movie" + std::to_string(++m_movieCount) + ".swf").c_str());
        ASSERT_TRUE(wintest::WriteBytes(path, PatternMovie(width, height)));
        m_dialog.m_player.MoveWindow(0, kBandHeight, width, height);
        m_dialog.m_player.LoadMovie(0, path.c_str());
        m_dialog.m_captureCount = 0;
    }
    bool PlayerShowsPattern() {
        RECT rect;
        ::GetClientRect(m_dialog.m_player, &rect);
        HDC dc = ::GetDC(m_dialog.m_player);
        COLORREF centre = ::GetPixel(dc, rect.right / 2, rect.bottom / 2);
        COLORREF corner = ::GetPixel(dc, rect.right / 10, rect.bottom / 10);
        ::ReleaseDC(m_dialog.m_player, dc);
        return centre == kSquare && corner == kQuadrants[0];
    }
    void PressF2(int times) {
        for (int i = 0; i < times; ++i) wintest::PostKeyDown(m_dialog.m_hWnd, VK_F2);
    }
    // Every capture ended and the caption tells it.
    std::function<bool()> CaptionIs(const char* caption) {
        return [this, caption] { return AfxGetRunningWorkerCount() == 0 && m_dialog.GetWindowText() == caption; };
    }
    CString File(int number) const { return CaptureFilePath(m_dialog.m_captureFolder, number); }

    CMainDialog m_dialog;
    wintest::TempFolder m_movies;
    int m_movieCount = 0;
    // Closing with captures asks first; these tests close on purpose.
    wintest::DialogCloser m_closeAnyway{{kUnsavedCapturesCaption}, IDYES};
};

TEST_F(CaptureTest, ThreeCapturesAreNumberedFromZeroAndHoldThePlayersPixels) {
    LoopScript script([this] { Close(); });
    script.Do([this] { ShowMovie(550, 400); })
        .Wait([this] { return PlayerShowsPattern(); }, "the movie on screen")
        .Do([this] { PressF2(3); })
        .Wait(CaptionIs("Captured: 03"), "three captures")
        .Do([this] {
            for (int n = 0; n < 3; ++n) ExpectPattern(ReadPicture(File(n)), 550, 400);
            EXPECT_FALSE(FileExists(File(3).GetString()));
            EXPECT_EQ(m_dialog.m_captureCount, 3);
            EXPECT_FALSE(m_dialog.GetExStyle() & WS_EX_TOPMOST);
            Close();
        });
    Run(script);
}

TEST_F(CaptureTest, NumbersWidenPastNinetyNine) {
    LoopScript script([this] { Close(); });
    script.Do([this] {
              ShowMovie(550, 400);
              m_dialog.m_captureCount = 99;
              PressF2(2);
          })
        .Wait(CaptionIs("Captured: 101"), "captures 99 and 100")
        .Do([this] {
            EXPECT_TRUE(FileExists(File(99).GetString()));
            EXPECT_TRUE(ReadPicture(m_dialog.m_captureFolder + "\\capture_100.bmp").read);
            Close();
        });
    Run(script);
}

TEST_F(CaptureTest, ANewMovieStartsAgainAtZeroAndOverwritesItsFile) {
    LoopScript script([this] { Close(); });
    script.Do([this] { ShowMovie(550, 400); })
        .Wait([this] { return PlayerShowsPattern(); }, "the first movie")
        .Do([this] { PressF2(2); })
        .Wait(CaptionIs("Captured: 02"), "two captures of the first movie")
        .Do([this] { ShowMovie(300, 200); })
        .Wait([this] { return PlayerShowsPattern(); }, "the second movie")
        .Do([this] { PressF2(1); })
        .Wait(CaptionIs("Captured: 01"), "a capture of the second movie")
        .Do([this] {
            ExpectPattern(ReadPicture(File(0)), 300, 200);
            ExpectPattern(ReadPicture(File(1)), 550, 400);  // left over, no longer counted
            Close();
        });
    Run(script);
}

TEST_F(CaptureTest, FiftyCapturesInARowGiveFiftyCompleteFiles) {
    LoopScript script([this] { Close(); }, kManyCapturesMs);
    script.Do([this] { ShowMovie(550, 400); })
        .Wait([this] { return PlayerShowsPattern(); }, "the movie on screen")
        .Do([this] { PressF2(50); })
        .Wait(CaptionIs("Captured: 50"), "fifty captures")
        .Do([this] {
            for (int n = 0; n < 50; ++n) ExpectPattern(ReadPicture(File(n)), 550, 400);
            EXPECT_FALSE(FileExists(File(50).GetString()));
            Close();
        });
    Run(script);
}

TEST_F(CaptureTest, AFailedCaptureSaysSoAndStillUsesUpItsNumber) {
    wintest::TempFolder root;
    LoopScript script([this] { Close(); });
    script.Do([this, &root] {
              m_dialog.m_captureFolder = root.File("missing").c_str();
              PressF2(2);
          })
        .Wait(CaptionIs("Capture failed: capture_01.bmp"), "two failed captures")
        .Do([this] {
            EXPECT_EQ(m_dialog.m_captureCount, 2);
            EXPECT_FALSE(FileExists(File(0).GetString()));
            Close();
        });
    Run(script);
}

TEST_F(CaptureTest, ClosingWhileCapturesRunWaitsForThemAndEmptiesTheFolder) {
    const std::string folder = m_dialog.m_captureFolder.GetString();
    LoopScript script([this] { Close(); });
    script.Do([this] { ShowMovie(550, 400); })
        .Wait([this] { return PlayerShowsPattern(); }, "the movie on screen")
        .Do([this] {
            PressF2(10);
            Close();  // queued behind the keys: the captures have started
        });
    Run(script);
    EXPECT_EQ(m_dialog.m_captureCount, 10);
    EXPECT_TRUE(FileExists(folder));
    EXPECT_TRUE(wintest::FolderEntries(folder).empty());
}

// The capture on its own, handed a window and a player as the main window
// hands them: with half of the player left of the screen, the screen has
// no pixels for that half, and the player draws the whole frame itself.
TEST(CaptureTargetTest, APlayerHalfOffTheScreenIsCapturedWhole) {
    constexpr int kWidth = 300, kHeight = 200;
    wintest::TempFolder folder, movies;
    const std::string movie = movies.File("pattern.swf");
    ASSERT_TRUE(wintest::WriteBytes(movie, PatternMovie(kWidth, kHeight)));
    HWND window = ::CreateWindowExA(0, "STATIC", "Host", WS_POPUP | WS_VISIBLE, -kWidth / 2, 100, kWidth, kHeight,
                                    nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HWND playerWindow = ::CreateWindowExA(0, kPlayerClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                          window, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(playerWindow, nullptr);
    CShockwaveFlash player;
    player.Attach(playerWindow);
    player.SetMovie(movie.c_str());
    player.Stop();
    wintest::PumpMessages();

    volatile LONG count = 0;
    auto* target = new CaptureTarget;
    target->window = window;
    target->player = playerWindow;
    target->folder = folder.Path().c_str();
    target->count = &count;
    target->capturedWord = "Captured";
    CaptureThreadProc(target);  // on this thread, so the window calls are direct

    EXPECT_EQ(count, 1);
    char caption[32] = "";
    ::GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Captured: 01");
    ExpectPattern(ReadPicture(CaptureFilePath(folder.Path().c_str(), 0)), kWidth, kHeight);
    player.Detach();
    ::DestroyWindow(window);
}

}  // namespace
