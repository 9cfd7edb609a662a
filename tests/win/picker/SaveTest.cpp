// Save and Save All driven through the real dialogs: Save As, the JPEG
// quality track bar, the folder browser and the message boxes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "framework/MessageBox.h"
#include "tests/win/picker/PickerTestUtil.h"

using namespace pickertest;

namespace {

constexpr int kList = 1007;
constexpr int kSave = 1004;
constexpr int kSaveAll = 1010;
constexpr int kWatermarkEdit = 1012;
constexpr const char* kSaved = "The Card has been saved successfully";
constexpr const char* kAllSaved = "Pictures has been saved successfully";

void TypeWatermark(HWND picker, const char* text) {
    ::SendMessageA(::GetDlgItem(picker, kWatermarkEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void SelectOnly(HWND picker, int item) { SelectItems(::GetDlgItem(picker, kList), {item}); }

// Save As with `path`; the quality dialog is answered when `quality` is
// not kLeaveQuality... or left untouched with OK when asked to.
struct SaveRun {
    int qualityOpenedAt = -1;
    MessageBoxSeen result;
};

SaveRun SaveSelected(HWND picker, const CString& path) {
    SaveRun run;
    PressButton(picker, kSave);
    AnswerSaveAs(path);
    run.result = AnswerMessageBox("Save Card");
    return run;
}

// Compares red; `typical` is the most frequent red of the changed pixels,
// the text's inside (edges blend, and JPEG rings around them).
int ChangedPixels(const Picture& a, const Picture& b, RECT* bounds, int* typical) {
    int changed = 0;
    *bounds = RECT{a.width, a.height, -1, -1};
    std::vector<int> histogram(256, 0);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            uint32_t pa = a.At(x, y), pb = b.At(x, y);
            int red = (pb >> 16) & 0xFF;
            if (std::abs(static_cast<int>((pa >> 16) & 0xFF) - red) <= 8) continue;
            ++changed;
            ++histogram[red];
            bounds->left = std::min<LONG>(bounds->left, x);
            bounds->top = std::min<LONG>(bounds->top, y);
            bounds->right = std::max<LONG>(bounds->right, x);
            bounds->bottom = std::max<LONG>(bounds->bottom, y);
        }
    *typical = static_cast<int>(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
    return changed;
}

class SaveTest : public testing::Test {
protected:
    void SetUp() override {
        RemoveCaptures();
        out = FreshFolder("pictaro-save");
    }
    void TearDown() override { RemoveCaptures(); }
    CString out;
};

}  // namespace

TEST_F(SaveTest, TheExtensionChoosesTheFormatAndOnlyJpegAsksForTheQuality) {
    ASSERT_TRUE(WriteSolidCapture(0, 320, 240, 0xFF3050A0));
    bool qualityForPng = true;
    MessageBoxSeen jpg, png, notice, bmp, gif;
    int qualityForJpg = -1;
    RunPicker(1, [&](HWND picker) {
        SelectOnly(picker, 0);
        PressButton(picker, kSave);
        AnswerSaveAs(out + "\\shot.JPG");
        qualityForJpg = AnswerQuality(50, true);
        jpg = AnswerMessageBox("Save Card");

        PressButton(picker, kSave);
        AnswerSaveAs(out + "\\shot.png");
        png = AnswerMessageBox(nullptr);
        qualityForPng = png.caption == "Set the quality of JPEG";

        TypeWatermark(picker, "Pictaro");
        PressButton(picker, kSave);
        AnswerSaveAs(out + "\\shot.bmp");
        notice = AnswerMessageBox(AfxGetAppName());
        bmp = AnswerMessageBox("Save Card");

        gif = SaveSelected(picker, out + "\\shot.gif").result;
    });

    EXPECT_EQ(qualityForJpg, 100) << "the quality dialog opens at 100";
    EXPECT_EQ(jpg.text, kSaved);
    EXPECT_TRUE(jpg.infoIcon);
    EXPECT_TRUE(StartsWith(ReadBytes(out + "\\shot.JPG"), "\xFF\xD8\xFF", 3));

    EXPECT_FALSE(qualityForPng);
    EXPECT_EQ(png.text, kSaved);
    EXPECT_TRUE(StartsWith(ReadBytes(out + "\\shot.png"), "\x89PNG", 4));

    EXPECT_EQ(notice.text, "Watermark is not support in BMP mode");
    EXPECT_EQ(bmp.text, kSaved);
    EXPECT_EQ(ReadBytes(out + "\\shot.bmp"), ReadBytes(CapturePath(0))) << "a copy, byte for byte";

    EXPECT_EQ(gif.text, kSaved);
    EXPECT_TRUE(StartsWith(ReadBytes(out + "\\shot.gif"), "BM", 2));
    Picture capture, stamped;
    ASSERT_TRUE(LoadPicture(CapturePath(0), capture));
    ASSERT_TRUE(LoadPicture(out + "\\shot.gif", stamped));
    RECT bounds;
    int brightest;
    EXPECT_GT(ChangedPixels(capture, stamped, &bounds, &brightest), 0) << "other extensions carry the watermark";
}

// Wine's JPEG encoder writes one quality whatever it is given, so only the
// outcome can be checked here: the save goes on, as at the best quality.
TEST_F(SaveTest, CancellingTheQualityDialogStillSaves) {
    ASSERT_TRUE(WriteSolidCapture(0, 200, 150, 0xFF336699));
    MessageBoxSeen cancelled;
    RunPicker(1, [&](HWND picker) {
        SelectOnly(picker, 0);
        PressButton(picker, kSave);
        AnswerSaveAs(out + "\\best.jpg");
        AnswerQuality(kLeaveQuality, true);
        AnswerMessageBox("Save Card");
        PressButton(picker, kSave);
        AnswerSaveAs(out + "\\cancel.jpg");
        AnswerQuality(0, false);
        cancelled = AnswerMessageBox("Save Card");
    });
    EXPECT_EQ(cancelled.text, kSaved);
    std::vector<unsigned char> best = ReadBytes(out + "\\best.jpg");
    EXPECT_TRUE(StartsWith(best, "\xFF\xD8\xFF", 3));
    EXPECT_EQ(ReadBytes(out + "\\cancel.jpg"), best);
}

TEST_F(SaveTest, TheWatermarkLiesBottomRightHalfOpaqueForSaveMoreForSaveAll) {
    const int width = 400, height = 300;
    ASSERT_TRUE(WriteSolidCapture(0, width, height, 0xFF404040));
    CString folder = FreshFolder("pictaro-save-all");
    MessageBoxSeen all;
    RunPicker(1, [&](HWND picker) {
        SelectOnly(picker, 0);
        SaveSelected(picker, out + "\\plain.png");
        TypeWatermark(picker, "Pictaro");
        SaveSelected(picker, out + "\\marked.png");
        PressButton(picker, kSaveAll);
        AnswerFolderBrowser(folder);
        AnswerQuality(kLeaveQuality, true);
        all = AnswerMessageBox("Save all pictures");
        CloseShellWindow("pictaro-save-all");
    });
    Picture plain, marked, allMarked;
    ASSERT_TRUE(LoadPicture(out + "\\plain.png", plain));
    ASSERT_TRUE(LoadPicture(out + "\\marked.png", marked));
    ASSERT_TRUE(LoadPicture(folder + "\\capture_00.jpg", allMarked));
    EXPECT_EQ(all.text, kAllSaved);

    Picture capture;
    ASSERT_TRUE(LoadPicture(CapturePath(0), capture));
    RECT bounds;
    int brightest;
    EXPECT_EQ(ChangedPixels(capture, plain, &bounds, &brightest), 0) << "no text without a watermark";
    ASSERT_GT(ChangedPixels(plain, marked, &bounds, &brightest), 50);
    // Right-aligned on one line that ends 5 pixels above the bottom edge.
    EXPECT_GT(bounds.left, width / 2);
    EXPECT_GE(bounds.right, width - 12);
    EXPECT_GT(bounds.top, height - 40);
    EXPECT_LT(bounds.bottom, height - 5);
    // White at alpha 128 over 0x40 gives about 160; at alpha 160, about 184.
    EXPECT_NEAR(brightest, 160, 2);
    ASSERT_GT(ChangedPixels(plain, allMarked, &bounds, &brightest), 50);
    EXPECT_NEAR(brightest, 184, 8);
    EXPECT_GT(bounds.left, width / 2);
    EXPECT_LT(bounds.bottom, height - 5);
}

TEST_F(SaveTest, SaveAllWritesEveryItemWhateverTheSelection) {
    for (int n = 0; n < 3; ++n) ASSERT_TRUE(WriteSolidCapture(n, 120, 90, 0xFF102030 + n * 0x101010));
    CString folder = FreshFolder("pictaro-save-all");
    MessageBoxSeen all;
    bool folderOpened = false;
    std::set<int> kept = RunPicker(3, [&](HWND picker) {
        SelectOnly(picker, 1);
        PressButton(picker, kSaveAll);
        AnswerFolderBrowser(folder);
        AnswerQuality(kLeaveQuality, true);
        all = AnswerMessageBox("Save all pictures");
        folderOpened = CloseShellWindow("pictaro-save-all");
    });
    EXPECT_EQ(all.text, kAllSaved);
    EXPECT_EQ(kept, (std::set<int>{0, 1, 2})) << "every capture written counts as kept";
    EXPECT_TRUE(folderOpened);
    EXPECT_TRUE(all.infoIcon);
    for (int n = 0; n < 3; ++n)
        EXPECT_TRUE(StartsWith(ReadBytes(folder + CString::FormatText("\\capture_%02d.jpg", n)), "\xFF\xD8\xFF", 3))
            << n;
}

TEST_F(SaveTest, PicturesThatCannotBeWrittenAreReportedNeverAsSuccess) {
    for (int n = 0; n < 3; ++n) ASSERT_TRUE(WriteSolidCapture(n, 120, 90, 0xFF808080));
    CString folder = FreshFolder("pictaro-save-all");
    // A folder where one picture should go: that file cannot be written.
    ASSERT_TRUE(::CreateDirectoryA(folder + "\\capture_01.jpg", nullptr));
    MessageBoxSeen all, lostPng, lostBmp;
    bool folderOpened = false;
    std::set<int> kept = RunPicker(3, [&](HWND picker) {
        PressButton(picker, kSaveAll);
        AnswerFolderBrowser(folder);
        AnswerQuality(kLeaveQuality, true);
        all = AnswerMessageBox("Save all pictures");
        folderOpened = CloseShellWindow("pictaro-save-all");

        // The capture file goes away while the picker shows it.
        ::DeleteFileA(CapturePath(2));
        SelectOnly(picker, 2);
        lostPng = SaveSelected(picker, out + "\\lost.png").result;
        lostBmp = SaveSelected(picker, out + "\\lost.bmp").result;
    });
    EXPECT_EQ(all.text.Find("1 of 3 pictures could not be written to " + folder + ".\n"), 0) << all.text;
    EXPECT_TRUE(all.stopIcon);
    EXPECT_EQ(kept, (std::set<int>{0, 2})) << "a capture that was not written is not kept";
    EXPECT_TRUE(folderOpened) << "the folder opens after a partial failure too";
    EXPECT_TRUE(StartsWith(ReadBytes(folder + "\\capture_00.jpg"), "\xFF\xD8\xFF", 3));
    EXPECT_TRUE(StartsWith(ReadBytes(folder + "\\capture_02.jpg"), "\xFF\xD8\xFF", 3));

    for (const MessageBoxSeen* lost : {&lostPng, &lostBmp}) {
        EXPECT_TRUE(lost->shown);
        EXPECT_EQ(lost->text.Find("The picture could not be written to " + out + "\\lost."), 0) << lost->text;
        EXPECT_TRUE(lost->stopIcon);
    }
}
