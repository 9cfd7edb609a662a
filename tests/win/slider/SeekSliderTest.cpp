// The seek slider on screen: its painting read back from the window, and
// mouse and keys posted to it as the system would, with the notifications
// its parent receives.
#include <gtest/gtest.h>

#include <vector>

#include "app/res/resource.h"
#include "controls/SeekSlider.h"
#include "tests/win/common/WinTestUtil.h"
#include "tests/win/slider/SkinModel.h"

namespace {

constexpr int kSliderId = 1006;
constexpr COLORREF kKeyFromPixel = 0xFF000000;
constexpr int kThumbCentreAtMin = 13;
constexpr int kThumbCentreAtMax = 226;

struct Notification {
    UINT msg;
    WPARAM id;
    LPARAM pos;
    bool operator==(const Notification& o) const { return msg == o.msg && id == o.id && pos == o.pos; }
};

std::vector<Notification> g_received;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SEEK_MOVING || msg == WM_SEEK_MOVED) g_received.push_back({msg, wp, lp});
    return ::DefWindowProcA(hwnd, msg, wp, lp);
}

LPARAM Point(int x, int y) { return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y))); }

Notification Moving(int pos) { return {WM_SEEK_MOVING, kSliderId, pos}; }
Notification Moved(int pos) { return {WM_SEEK_MOVED, kSliderId, pos}; }

class SeekSliderTest : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &ParentProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "PictaroSliderTestParent";
        ::RegisterClassA(&wc);
        // Away from the pointer (which starts mid-screen), so no real mouse
        // move reaches the slider while it has the capture.
        m_parent = ::CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "slider test", WS_POPUP | WS_VISIBLE, 200,
                                     200, 300, 60, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_TRUE(m_parent);
        HWND control = ::CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_BITMAP, 10, 10, 160,
                                         10, m_parent, reinterpret_cast<HMENU>(kSliderId), wc.hInstance, nullptr);
        ASSERT_TRUE(control);
        ASSERT_TRUE(m_slider.SubclassWindow(control));
        // Set up as the main window does.
        ASSERT_TRUE(m_slider.SetTrackBitmaps(IDB_SEEK_TRACK, IDB_SEEK_TRACK_ACTIVE, FALSE, kKeyFromPixel, 0, 0));
        ASSERT_TRUE(m_slider.SetThumbBitmaps(IDB_SEEK_THUMB, IDB_SEEK_THUMB_ACTIVE, TRUE, kKeyFromPixel, 0, 0));
        m_slider.SetFocusRect(FALSE, FALSE);
        m_slider.SetMargins(2, 3, 2, 0);
        m_slider.SetRange(0, 100, FALSE);
        m_slider.EnableSlider(TRUE);
        Settle();
        g_received.clear();
    }

    void TearDown() override {
        if (m_parent) ::DestroyWindow(m_parent);
        g_received.clear();
    }

    void Settle() {
        wintest::Drain(m_slider.m_hWnd);
        wintest::Drain(m_parent);
    }

    void Post(UINT msg, int x) {
        ::PostMessageA(m_slider.m_hWnd, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, Point(x, 8));
        Settle();
    }

    void Key(UINT vk) {
        wintest::PostKeyDown(m_slider.m_hWnd, vk);
        Settle();
    }

    // Polls until the window shows the model's picture; on failure tells
    // the first differing pixel.
    void ExpectPicture(const skin::Picture& expected) {
        skin::Picture shown;
        bool same = wintest::PollUntil([&] {
            ::UpdateWindow(m_slider.m_hWnd);
            shown = skin::CaptureClient(m_slider.m_hWnd, expected.width, expected.height);
            return shown.pixels == expected.pixels;
        }, 3000);
        if (!same) ADD_FAILURE() << skin::FirstDifference(shown, expected);
    }

    HWND m_parent = nullptr;
    CSeekSlider m_slider;
    skin::Skin m_skin;
};

// The artwork as stored: 24-bit bitmaps of the given sizes; the thumbs' 12
// corner pixels are pure red (the key colour) and no other pixel is.
TEST(SkinArtworkTest, SizesDepthAndRedCorners) {
    struct Expected {
        UINT id;
        int width, height;
    };
    for (Expected e : {Expected{IDB_SEEK_TRACK, 240, 17}, Expected{IDB_SEEK_TRACK_ACTIVE, 240, 17},
                       Expected{IDB_SEEK_THUMB, 23, 11}, Expected{IDB_SEEK_THUMB_ACTIVE, 23, 11}}) {
        HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(e.id), MAKEINTRESOURCEA(2));  // RT_BITMAP
        ASSERT_TRUE(found) << e.id;
        const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(nullptr, found)));
        EXPECT_EQ(header->biWidth, e.width) << e.id;
        EXPECT_EQ(header->biHeight, e.height) << e.id;
        EXPECT_EQ(header->biBitCount, 24) << e.id;
        skin::Picture picture = skin::LoadPicture(e.id);
        int red = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                if (picture.At(x, y) == skin::kRed) {
                    ++red;
                    bool endRow = y == 0 || y == picture.height - 1;
                    int fromEdge = x < picture.width / 2 ? x : picture.width - 1 - x;
                    EXPECT_TRUE(fromEdge == 0 || (endRow && fromEdge == 1)) << e.id << " (" << x << ", " << y << ")";
                }
        EXPECT_EQ(red, e.width == 23 ? 12 : 0) << e.id;
    }
}

TEST_F(SeekSliderTest, SizesItselfToTheTrack) {
    RECT client;
    ::GetClientRect(m_slider.m_hWnd, &client);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 17);
}

// Position 0 puts the thumb's left edge at x = 2 and its top at y = 3; its
// red corners let the track show through; left of the thumb's centre the
// track is the active one.
TEST_F(SeekSliderTest, PaintsTrackActiveTrackAndTransparentThumb) {
    skin::Picture atZero = m_skin.Compose(kThumbCentreAtMin, false, true);
    EXPECT_EQ(atZero.At(2, 5), m_skin.thumb.At(0, 2));  // the thumb's left column
    EXPECT_NE(atZero.At(2, 3), skin::kRed);             // its corner is cut away
    ExpectPicture(atZero);
    m_slider.SetPos(50);
    ExpectPicture(m_skin.Compose(119, false, true));
    m_slider.SetPos(100);
    ExpectPicture(m_skin.Compose(kThumbCentreAtMax, false, true));
    m_slider.SetPos(1000);  // clamped to the maximum
    EXPECT_EQ(m_slider.GetPos(), 100);
    m_slider.SetPos(-5);
    EXPECT_EQ(m_slider.GetPos(), 0);
}

TEST_F(SeekSliderTest, PressOffTheThumbJumpsItsCentreUnderThePointer) {
    Post(WM_LBUTTONDOWN, 119);
    EXPECT_EQ(g_received, std::vector<Notification>{Moving(49)});  // 106 / 213 of 100, truncated
    EXPECT_EQ(::GetCapture(), m_slider.m_hWnd);
    // While pressed the active thumb is shown.
    ExpectPicture(m_skin.Compose(2 + 104 + 11, true, true));
    Post(WM_LBUTTONUP, 119);
    EXPECT_EQ(g_received, (std::vector<Notification>{Moving(49), Moved(49)}));
    EXPECT_EQ(::GetCapture(), nullptr);
    ExpectPicture(m_skin.Compose(2 + 104 + 11, false, true));
}

TEST_F(SeekSliderTest, PressOnTheThumbKeepsTheGrabbedPoint) {
    Post(WM_LBUTTONDOWN, kThumbCentreAtMin + 7);  // within 11 pixels of the centre
    EXPECT_TRUE(g_received.empty());
    Post(WM_MOUSEMOVE, kThumbCentreAtMin + 7 + 10);  // thumb centre follows to 23
    EXPECT_EQ(g_received, std::vector<Notification>{Moving(4)});
    EXPECT_EQ(m_slider.GetPos(), 4);
}

TEST_F(SeekSliderTest, DragsStopAtBothEnds) {
    Post(WM_LBUTTONDOWN, kThumbCentreAtMin);
    Post(WM_MOUSEMOVE, 500);
    Post(WM_MOUSEMOVE, 600);  // target 227 still differs from the maximum's 226
    Post(WM_MOUSEMOVE, -50);
    Post(WM_MOUSEMOVE, -60);  // already at the minimum's pixel: nothing new
    Post(WM_LBUTTONUP, -60);
    EXPECT_EQ(g_received, (std::vector<Notification>{Moving(100), Moving(100), Moving(0), Moved(0)}));
}

TEST_F(SeekSliderTest, ReleaseWithoutDragStillNotifies) {
    m_slider.SetPos(30);
    Post(WM_LBUTTONUP, 5);
    EXPECT_EQ(g_received, std::vector<Notification>{Moved(30)});
}

TEST_F(SeekSliderTest, NavigationKeysNotifyEvenAtTheEnds) {
    for (UINT vk : {VK_HOME, VK_LEFT, VK_UP, VK_END, VK_RIGHT, VK_DOWN, VK_PRIOR, VK_NEXT, VK_LEFT}) Key(vk);
    Key('A');  // not a navigation key: nothing
    EXPECT_EQ(g_received, (std::vector<Notification>{Moved(0), Moved(0), Moved(0), Moved(100), Moved(100),
                                                     Moved(100), Moved(80), Moved(100), Moved(99)}));
    // Enter and Escape belong to the slider too, so a dialog does not close.
    EXPECT_EQ(::SendMessageA(m_slider.m_hWnd, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
}

TEST_F(SeekSliderTest, DisabledSliderIgnoresInputAndDrawsThePlainTrack) {
    m_slider.SetPos(40);
    m_slider.EnableSlider(FALSE);
    ExpectPicture(m_skin.Compose(-1, false, false));
    Post(WM_LBUTTONDOWN, 200);
    Post(WM_MOUSEMOVE, 210);
    Post(WM_LBUTTONUP, 210);
    Key(VK_END);
    EXPECT_TRUE(g_received.empty());
    EXPECT_EQ(m_slider.GetPos(), 40);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(SeekSliderTest, DisablingMidDragEndsItQuietly) {
    Post(WM_LBUTTONDOWN, 119);
    g_received.clear();
    m_slider.EnableSlider(FALSE);
    EXPECT_EQ(::GetCapture(), nullptr);
    m_slider.EnableSlider(TRUE);
    Post(WM_MOUSEMOVE, 200);  // the drag is over: no move follows the pointer
    EXPECT_TRUE(g_received.empty());
    ExpectPicture(m_skin.Compose(2 + 104 + 11, false, true));
}

// A movie of 0 frames: the range is 0..0 and the thumb stays at the left.
TEST_F(SeekSliderTest, EmptyRangeKeepsTheThumbAtTheLeft) {
    m_slider.SetRange(0, 0, TRUE);
    m_slider.SetPos(0);
    ExpectPicture(m_skin.Compose(kThumbCentreAtMin, false, true));
    Post(WM_LBUTTONDOWN, 150);
    Post(WM_LBUTTONUP, 150);
    EXPECT_EQ(m_slider.GetPos(), 0);
    ExpectPicture(m_skin.Compose(kThumbCentreAtMin, false, true));
}

}  // namespace
