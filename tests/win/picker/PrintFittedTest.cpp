// Captures drawn larger than the screen are printed by the picker itself:
// the file's own pixels, fitted to the page and centred. The page is a
// memory bitmap here (Wine has no printer); the Print button's road is
// checked as far as this machine has one.
#include <gtest/gtest.h>

#include <windows.h>

#include <winspool.h>

#include <fstream>
#include <string>

#include "picker/PickerDlg.h"
#include "tests/win/picker/PickerTestUtil.h"

using namespace pickertest;

namespace {

constexpr int kPrint = 1002;
constexpr int kList = 1007;
constexpr uint32_t kPageGrey = 0x808080;
constexpr int kDpi = 96;

// A 32-bit top-down page filled with grey, drawn on through a memory DC.
class Page {
public:
    Page(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bitmap);
        std::fill(m_bits, m_bits + size_t(width) * height, kPageGrey);
    }
    ~Page() {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    uint32_t At(int x, int y) const {
        ::GdiFlush();
        return m_bits[size_t(y) * m_width + x] & 0xFFFFFF;
    }

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

// One-pixel stripes: a picture scaled up from a smaller one could not
// give them back pixel for pixel.
uint32_t Stripes(int x, int y) { return (x + y / 10) % 2 ? 0xFFFFFFFF : 0xFF000000; }

class PrintFittedTest : public testing::Test {
protected:
    void SetUp() override { RemoveCaptures(); }
    void TearDown() override { RemoveCaptures(); }
};

}  // namespace

TEST_F(PrintFittedTest, TheFilesOwnPixelsFillThePageWidthCentredDownIt) {
    ASSERT_TRUE(WriteCapture(CapturePath(0), 300, 200, Stripes));
    int width = 0, height = 0;
    ASSERT_TRUE(ReadBmpSize(CapturePath(0), width, height));
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 200);

    Page page(300, 400);
    ASSERT_TRUE(DrawFittedPicture(page.Dc(), 300, 400, kDpi, kDpi, CapturePath(0)));
    EXPECT_EQ(page.At(150, 99), kPageGrey);  // margins above and below
    EXPECT_EQ(page.At(150, 300), kPageGrey);
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) wrong += page.At(x, 100 + y) != (Stripes(x, y) & 0xFFFFFF);
    EXPECT_EQ(wrong, 0);
}

TEST_F(PrintFittedTest, ATallPictureFillsThePageHeightAndGrowsToIt) {
    // Left half red, right half blue; twice as large on the page.
    ASSERT_TRUE(WriteCapture(CapturePath(0), 50, 100, [](int x, int) { return x < 25 ? 0xFFFF0000 : 0xFF0000FF; }));
    Page page(400, 200);
    ASSERT_TRUE(DrawFittedPicture(page.Dc(), 400, 200, kDpi, kDpi, CapturePath(0)));
    EXPECT_EQ(page.At(149, 100), kPageGrey);
    EXPECT_EQ(page.At(160, 100), 0xFF0000u);
    EXPECT_EQ(page.At(240, 100), 0x0000FFu);
    EXPECT_EQ(page.At(250, 100), kPageGrey);
    EXPECT_FALSE(DrawFittedPicture(page.Dc(), 400, 200, kDpi, kDpi, CapturePath(1)));  // no file
}

// Wine has no printer: the user hears so, and Paint is not started for a
// capture that Paint would print at screen size over several pages.
TEST_F(PrintFittedTest, ALargeCaptureGoesToThePrinterNotToPaint) {
    DWORD needed = 0, count = 0;
    ::EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    if (needed > 0) GTEST_SKIP() << "this machine has a printer: its Print dialog is the user's to answer";
    ASSERT_TRUE(WriteSolidCapture(0, 160, 120, 0xFF204060));
    MessageBoxSeen seen;
    std::set<int> kept = RunPicker(
        1,
        [&](HWND picker) {
            SelectItems(::GetDlgItem(picker, kList), {0});
            PressButton(picker, kPrint);
            seen = AnswerMessageBox("Can not print");
        },
        {80, 60});
    EXPECT_EQ(seen.text, "No printer is installed. Add a printer in Windows, then print again.");
    EXPECT_TRUE(seen.stopIcon);
    EXPECT_TRUE(kept.empty());
    EXPECT_EQ(::FindWindowA("MSPaintApp", nullptr), nullptr);
}
