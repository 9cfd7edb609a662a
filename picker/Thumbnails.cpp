// The thumbnail list: one 120 x 90 picture per capture file, the whole
// capture stretched to that size (the aspect ratio is not kept) and framed
// with a one-pixel grey line on its outermost pixels.
#include "capture/CaptureNames.h"
#include "framework/Bitmap.h"
#include "framework/GdiplusHandles.h"
#include "framework/WideText.h"
#include "picker/PickerDlg.h"

using namespace gdip;

namespace {

constexpr int kThumbWidth = 120;
constexpr int kThumbHeight = 90;
constexpr int kInitialImages = 8;
constexpr int kGrowImages = 4;
constexpr ARGB kFrameColour = 0xFF808080;
constexpr REAL kFrameWidth = 1.0f;
constexpr ARGB kTransparentWhite = 0x00FFFFFF;
constexpr int kNoImage = -1;

// False when the file cannot be decoded or scaled.
bool MakeThumbnail(const CString& path, CBitmap& out) {
    GpBitmap* loaded = nullptr;
    if (DllExports::GdipCreateBitmapFromFile(AfxAnsiToWide(path).c_str(), &loaded) != Ok) return false;
    ImagePtr picture(loaded);
    GpImage* scaled = nullptr;
    if (DllExports::GdipGetImageThumbnail(picture.get(), kThumbWidth, kThumbHeight, &scaled, nullptr, nullptr) != Ok)
        return false;
    ImagePtr thumbnail(scaled);
    {
        GpGraphics* surface = nullptr;
        if (DllExports::GdipGetImageGraphicsContext(thumbnail.get(), &surface) != Ok) return false;
        GraphicsPtr graphics(surface);
        GpPen* framePen = nullptr;
        if (DllExports::GdipCreatePen1(kFrameColour, kFrameWidth, UnitWorld, &framePen) != Ok) return false;
        PenPtr pen(framePen);
        if (DllExports::GdipDrawRectangleI(graphics.get(), pen.get(), 0, 0, kThumbWidth - 1, kThumbHeight - 1) != Ok)
            return false;
    }
    HBITMAP bitmap = nullptr;
    if (DllExports::GdipCreateHBITMAPFromBitmap(static_cast<GpBitmap*>(thumbnail.get()), &bitmap, kTransparentWhite) !=
        Ok)
        return false;
    out.m_hObject = bitmap;
    return true;
}

}  // namespace

// Missing files get no item (a gap in the numbering); files that cannot be
// decoded get an item without a picture. Nothing is reported for either.
void CPickerDlg::FillCaptureList(const CString& captureFolder) {
    if (m_imageList.Create(kThumbWidth, kThumbHeight, ILC_COLOR24, kInitialImages, kGrowImages))
        m_listCaptures.SetImageList(m_imageList, LVSIL_NORMAL);
    for (int number = 0; number < m_nCaptureCount; ++number) {
        CString path = CaptureFilePath(captureFolder, number);
        if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) continue;
        int image = kNoImage;
        if (m_imageList.m_hImageList) {
            CBitmap thumbnail;
            if (MakeThumbnail(path, thumbnail)) image = m_imageList.Add(thumbnail, nullptr);
        }
        CString label = CaptureLabel(number);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = number;
        item.pszText = const_cast<char*>(label.GetString());
        item.iImage = image;
        m_listCaptures.InsertItem(&item);
    }
}
