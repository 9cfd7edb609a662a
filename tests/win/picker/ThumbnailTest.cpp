// The picker's list as the user sees it when it opens: one framed thumbnail
// per capture file of the current count, in capture order.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <fstream>

#include "tests/win/picker/PickerTestUtil.h"

using namespace pickertest;

namespace {

constexpr int kList = 1007;
constexpr int kWatermarkEdit = 1012;
constexpr int kThumbWidth = 120;
constexpr int kThumbHeight = 90;
constexpr uint32_t kGrey = 0x808080;
constexpr int kEdgeInset = 6;

struct ListSeen {
    std::vector<CString> labels;
    std::vector<int> images;
    int selected = -1;
    int imageCount = -1;
    int iconWidth = 0;
    int iconHeight = 0;
    std::vector<Picture> thumbnails;  // by item; empty without a picture
    CString watermark = "unread";
    LRESULT watermarkLimit = 0;
};

Picture ThumbnailOf(HIMAGELIST images, int index) {
    Picture picture;
    IMAGEINFO info = {};
    if (index < 0 || !ImageList_GetImageInfo(images, index, &info)) return picture;
    BITMAP bitmap = {};
    ::GetObjectA(info.hbmImage, sizeof(bitmap), &bitmap);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> all(static_cast<size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    HDC dc = ::GetDC(nullptr);
    ::GetDIBits(dc, info.hbmImage, 0, bitmap.bmHeight, all.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    picture.width = info.rcImage.right - info.rcImage.left;
    picture.height = info.rcImage.bottom - info.rcImage.top;
    for (int y = info.rcImage.top; y < info.rcImage.bottom; ++y)
        for (int x = info.rcImage.left; x < info.rcImage.right; ++x)
            picture.pixels.push_back(all[static_cast<size_t>(y) * bitmap.bmWidth + x] & 0xFFFFFF);
    return picture;
}

ListSeen ReadList(HWND picker) {
    ListSeen seen;
    HWND list = ::GetDlgItem(picker, kList);
    WaitUntil([&] { return ListItemCount(list) >= 0; });
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    seen.imageCount = images ? ImageList_GetImageCount(images) : -1;
    if (images) ImageList_GetIconSize(images, &seen.iconWidth, &seen.iconHeight);
    for (int item = 0; item < ListItemCount(list); ++item) {
        seen.labels.push_back(ListItemText(list, item));
        seen.images.push_back(ListItemImage(list, item));
        seen.thumbnails.push_back(ThumbnailOf(images, seen.images.back()));
    }
    seen.selected = SelectedCount(list);
    HWND edit = ::GetDlgItem(picker, kWatermarkEdit);
    seen.watermark = WindowText(edit);
    seen.watermarkLimit = ::SendMessageA(edit, EM_GETLIMITTEXT, 0, 0);
    return seen;
}

// Every outermost pixel grey; inside, the capture's colour right up to the
// frame (stretched, no bars).
void ExpectFramedThumbnail(const Picture& thumb, uint32_t rgb, const char* what) {
    ASSERT_EQ(thumb.width, kThumbWidth) << what;
    ASSERT_EQ(thumb.height, kThumbHeight) << what;
    int wrongFrame = 0;
    for (int x = 0; x < kThumbWidth; ++x)
        wrongFrame += (thumb.At(x, 0) != kGrey) + (thumb.At(x, kThumbHeight - 1) != kGrey);
    for (int y = 0; y < kThumbHeight; ++y)
        wrongFrame += (thumb.At(0, y) != kGrey) + (thumb.At(kThumbWidth - 1, y) != kGrey);
    EXPECT_EQ(wrongFrame, 0) << what;
    EXPECT_EQ(thumb.At(kThumbWidth / 2, kThumbHeight / 2), rgb) << what;
    // Scaling may blend the outermost few pixels; bars would be far wider.
    EXPECT_EQ(thumb.At(kEdgeInset, kEdgeInset), rgb) << what;
    EXPECT_EQ(thumb.At(kThumbWidth - 1 - kEdgeInset, kThumbHeight - 1 - kEdgeInset), rgb) << what;
}

class ThumbnailTest : public testing::Test {
protected:
    void SetUp() override { RemoveCaptures(); }
    void TearDown() override { RemoveCaptures(); }
};

}  // namespace

TEST_F(ThumbnailTest, CapturesOfTheCountAreListedInOrderEachWithItsOwnFramedPicture) {
    // Wide, tall, flat and tiny captures all fill the whole 120 x 90.
    struct Capture { int width, height; uint32_t rgb; };
    const Capture captures[] = {
        {550, 400, 0xFF0000}, {100, 300, 0x00FF00}, {400, 50, 0x0000FF}, {550, 400, 0xFFFF00}, {30, 20, 0xFF00FF}};
    for (int n = 0; n < 5; ++n)
        ASSERT_TRUE(WriteSolidCapture(n, captures[n].width, captures[n].height, 0xFF000000 | captures[n].rgb));
    // Left over from an earlier movie: beyond the count, not listed.
    ASSERT_TRUE(WriteSolidCapture(5, 50, 50, 0xFF00FFFF));

    ListSeen seen;
    RunPicker(5, [&](HWND picker) { seen = ReadList(picker); });

    ASSERT_EQ(seen.labels.size(), 5u);
    for (int n = 0; n < 5; ++n) EXPECT_EQ(seen.labels[n], CString::FormatText("capture_%02d", n));
    EXPECT_EQ(seen.selected, 0);
    EXPECT_EQ(seen.imageCount, 5);
    EXPECT_EQ(seen.iconWidth, kThumbWidth);
    EXPECT_EQ(seen.iconHeight, kThumbHeight);
    for (int n = 0; n < 5; ++n) ExpectFramedThumbnail(seen.thumbnails[n], captures[n].rgb, seen.labels[n]);
    EXPECT_EQ(seen.watermark, "");
    EXPECT_EQ(seen.watermarkLimit, 100);
}

TEST_F(ThumbnailTest, MissingFilesLeaveGapsAndUndecodableFilesHaveNoPicture) {
    ASSERT_TRUE(WriteSolidCapture(0, 64, 48, 0xFFFF0000));
    ASSERT_TRUE(WriteSolidCapture(1, 64, 48, 0xFF00FF00));
    ASSERT_TRUE(WriteSolidCapture(3, 64, 48, 0xFF0000FF));
    std::ofstream(CapturePath(4).GetString()) << "not a picture";

    ListSeen seen;
    RunPicker(5, [&](HWND picker) { seen = ReadList(picker); });

    ASSERT_EQ(seen.labels.size(), 4u);
    EXPECT_EQ(seen.labels[0], "capture_00");
    EXPECT_EQ(seen.labels[1], "capture_01");
    EXPECT_EQ(seen.labels[2], "capture_03");
    EXPECT_EQ(seen.labels[3], "capture_04");
    EXPECT_EQ(seen.imageCount, 3);
    ExpectFramedThumbnail(seen.thumbnails[2], 0x0000FF, "capture_03");
    EXPECT_LT(seen.images[3], 0) << "an undecodable file has no picture";
}

TEST_F(ThumbnailTest, CaptureNumbersBeyond99GetThreeDigitLabels) {
    ASSERT_TRUE(WriteSolidCapture(99, 64, 64, 0xFF202020));
    ASSERT_TRUE(WriteSolidCapture(100, 64, 64, 0xFF404040));

    ListSeen seen;
    RunPicker(101, [&](HWND picker) { seen = ReadList(picker); });

    ASSERT_EQ(seen.labels.size(), 2u);
    EXPECT_EQ(seen.labels[0], "capture_99");
    EXPECT_EQ(seen.labels[1], "capture_100");
    ExpectFramedThumbnail(seen.thumbnails[1], 0x404040, "capture_100");
}
