// The road of a picture from the player to a file the user keeps: F2
// captures, the picker lists them, Save writes one as PNG; closing the
// program leaves the capture folder empty.
#include <gtest/gtest.h>

#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN

#include <gdiplus.h>

#include "app/res/resource.h"
#include "picker/resource.h"
#include "tests/win/e2e/PictaroSession.h"
#include "tests/win/e2e/ScreenPixels.h"
#include "tests/win/e2e/UserActions.h"

namespace e2e {
namespace {

constexpr int kCaptures = 3;
constexpr int kChosenCapture = 1;
const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr size_t kPngSignatureSize = sizeof(kPngSignature) - 1;

using Captures = PictaroSession;

TEST_F(Captures, F2WritesNumberedPlayerSizedBitmapsAndCountsThemInTheCaption) {
    ASSERT_TRUE(OpenThroughToolbar(m_sample));
    ASSERT_TRUE(WaitForMoviePicture());
    ASSERT_TRUE(CaptureWithF2(kCaptures));
    EXPECT_EQ(Caption(), "Captured: 03");
    EXPECT_TRUE(WaitForCaptureFiles(kCaptures));
    EXPECT_EQ(wintest::FolderEntries(CaptureFolder()),
              (std::vector<std::string>{"capture_00.bmp", "capture_01.bmp", "capture_02.bmp"}));
    EXPECT_TRUE(CloseWithCloseBox(true));
}

TEST_F(Captures, PickerSavesTheSelectedCaptureAsPng) {
    ASSERT_TRUE(OpenThroughToolbar(m_sample));
    ASSERT_TRUE(WaitForMoviePicture());
    ASSERT_TRUE(CaptureWithF2(kCaptures));
    ASSERT_TRUE(WaitForCaptureFiles(kCaptures));

    ::PostMessageA(m_main, WM_COMMAND, IDM_STEPS_SAVE, 0);  // "3. Save Photos"
    HWND picker = m_app.WaitForWindow("Pick and Print / Save");
    ASSERT_NE(picker, nullptr) << "Save Photos showed no picker";
    HWND list = ::GetDlgItem(picker, IDC_CAPTURE_LIST);
    std::vector<std::string> labels;
    wintest::PollUntil([&] { return (labels = ListItemTexts(m_app.Handle(), list)).size() == kCaptures; });
    EXPECT_EQ(labels, (std::vector<std::string>{"capture_00", "capture_01", "capture_02"}));

    ASSERT_TRUE(SelectListItem(m_app.Handle(), list, kChosenCapture));
    PressButton(picker, IDC_PICKER_SAVE);
    HWND saveAs = m_app.WaitForWindow("Save As");
    ASSERT_NE(saveAs, nullptr) << "Save showed no Save As dialog";
    std::string shot = m_files.File("shot.png");
    ChooseFile(saveAs, shot);
    HWND saved = m_app.WaitForWindow("Save Card");
    ASSERT_NE(saved, nullptr) << "no \"Save Card\" message after the save";
    EXPECT_EQ(DialogText(saved), "The Card has been saved successfully");
    PressButton(saved, IDOK);
    EXPECT_TRUE(wintest::PollUntil([&] { return !::IsWindow(saved); })) << "the message did not close";

    EXPECT_EQ(FileHead(shot, kPngSignatureSize), std::string(kPngSignature, kPngSignatureSize));
    ImageFile png = ReadImageFile(shot);
    ASSERT_TRUE(png.decoded) << shot << " does not decode";
    EXPECT_TRUE(::IsEqualGUID(png.format, Gdiplus::ImageFormatPNG));
    EXPECT_EQ(png.width, static_cast<UINT>(kStageWidth));
    EXPECT_EQ(png.height, static_cast<UINT>(kStageHeight));
    // Lossless and without watermark: the chosen capture's pixels.
    EXPECT_EQ(png.samples, ReadImageFile(CaptureFile(kChosenCapture)).samples);

    PressButton(picker, IDOK);  // "Close"
    EXPECT_TRUE(wintest::PollUntil([&] { return !::IsWindow(picker); })) << "the picker did not close";
    EXPECT_TRUE(CloseWithCloseBox(true));  // two of the three were not saved
}

TEST_F(Captures, ClosingTheProgramEmptiesButKeepsTheCaptureFolder) {
    ASSERT_TRUE(OpenThroughToolbar(m_sample));
    ASSERT_TRUE(WaitForMoviePicture());
    ASSERT_TRUE(CaptureWithF2(kCaptures));
    ASSERT_TRUE(WaitForCaptureFiles(kCaptures));
    // A folder put there by hand goes too.
    std::string byHand = CaptureFolder() + "\\by-hand";
    ASSERT_TRUE(::CreateDirectoryA(byHand.c_str(), nullptr));
    ASSERT_TRUE(wintest::WriteBytes(byHand + "\\note.txt", {'h', 'i'}));

    ASSERT_TRUE(CloseWithCloseBox(true));
    DWORD attributes = ::GetFileAttributesA(CaptureFolder().c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "the capture folder is gone";
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(wintest::FolderEntries(CaptureFolder()), std::vector<std::string>{});
}

}  // namespace
}  // namespace e2e
