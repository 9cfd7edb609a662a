// The thumbnail list: one 120 x 90 picture per capture file, the whole
// capture stretched to that size (the aspect ratio is not kept) and framed
// with a one-pixel grey line on its outermost pixels.
#include <algorithm>

#include "capture/CaptureNames.h"
#include "framework/Bitmap.h"
#include "framework/GdiplusHandles.h"
#include "framework/WideText.h"
#include "picker/BmpThumbnail.h"
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

// Our own captures, however large, are read once and scaled on the way
// (BmpThumbnail); the frame is drawn into the pixels.
bool MakeBmpThumbnail(const CString& path, CBitmap& out) {
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    auto read = [file](uint64_t offset, size_t size, uint8_t* bytes) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD got = 0;
        return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
               ::ReadFile(file, bytes, static_cast<DWORD>(size), &got, nullptr) && got == size;
    };
    Thumbnail thumbnail;
    const bool made = BmpThumbnail(read, kThumbWidth, kThumbHeight, thumbnail);
    ::CloseHandle(file);
    if (!made) return false;
    const uint32_t grey = kFrameColour & 0xFFFFFF;
    for (int x = 0; x < kThumbWidth; ++x)
        thumbnail.pixels[x] = thumbnail.pixels[size_t(kThumbHeight - 1) * kThumbWidth + x] = grey;
    for (int y = 0; y < kThumbHeight; ++y)
        thumbnail.pixels[size_t(y) * kThumbWidth] = thumbnail.pixels[size_t(y) * kThumbWidth + kThumbWidth - 1] = grey;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = kThumbWidth;
    format.bmiHeader.biHeight = -kThumbHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return false;
    std::copy(thumbnail.pixels.begin(), thumbnail.pixels.end(), static_cast<uint32_t*>(bits));
    out.DeleteObject();
    out.m_hObject = bitmap;
    return true;
}

// Other pictures through GDI+. False when the file cannot be decoded or
// scaled.
bool MakeThumbnail(const CString& path, CBitmap& out) {
    if (MakeBmpThumbnail(path, out)) return true;
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
