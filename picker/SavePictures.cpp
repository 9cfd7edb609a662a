// Save and Save All: captures written where the user chooses, as JPEG, PNG
// or BMP, with the watermark text stamped in the lower right corner.
#include <windows.h>

#include <shellapi.h>

#include "capture/CaptureNames.h"
#include "capture/ImageEncoder.h"
#include "framework/Errors.h"
#include "framework/FileDialog.h"
#include "framework/WideText.h"
#include "framework/MessageBox.h"
#include "picker/FolderBrowser.h"
#include "framework/GdiplusHandles.h"
#include "picker/JpegQualityDlg.h"
#include "picker/PickerDlg.h"
#include "picker/PickerRules.h"

using namespace gdip;

namespace {

constexpr ULONG kDefaultQuality = 100;
constexpr ARGB kSaveWatermark = 0x80FFFFFF;
constexpr ARGB kSaveAllWatermark = 0xA0FFFFFF;
constexpr REAL kWatermarkPoints = 20.0f;
constexpr REAL kWatermarkBottomGap = 5.0f;
constexpr const char* kSaveFilter =
    "JPEG Format (*.jpg)|*.jpg|PNG Format (*.png)|*.png|Bitmap Format (*.bmp)|*.bmp|All Files (*.*)|*.*||";
constexpr UINT kStopIcon = MB_OK | MB_ICONHAND;

CString GdiplusFailure(const char* what, GpStatus status) {
    return CString::FormatText("%s (GDI+ status %d, %s).", what, static_cast<int>(status), StatusName(status));
}

// Cancel keeps the best quality: the save still goes on.
ULONG AskJpegQuality(CWnd* owner) {
    CJpegQualityDlg dialog(owner);
    return dialog.DoModal() == IDOK ? static_cast<ULONG>(dialog.m_nQuality) : kDefaultQuality;
}

}  // namespace

// Right-aligned, bold Arial 20 pt; the first line ends 5 pixels above the
// bottom edge, so a wrapped second line shows only its top. The point size
// follows the resolution recorded in the picture. Without Arial no text
// is drawn.
void CPickerDlg::DrawWatermark(GpImage* picture, DWORD argb) {
    GpGraphics* surface = nullptr;
    if (DllExports::GdipGetImageGraphicsContext(picture, &surface) != Ok) return;
    GraphicsPtr graphics(surface);
    DllExports::GdipSetInterpolationMode(graphics.get(), InterpolationModeBicubic);
    UINT height = 0;
    UINT width = 0;
    if (DllExports::GdipGetImageHeight(picture, &height) != Ok || DllExports::GdipGetImageWidth(picture, &width) != Ok)
        return;
    RectF layout(0.0f, 0.0f, static_cast<REAL>(width), static_cast<REAL>(height));
    DllExports::GdipSetTextRenderingHint(graphics.get(), TextRenderingHintAntiAlias);
    std::wstring text = AfxAnsiToWide(m_strWatermark);

    GpFont* createdFont = nullptr;
    {
        GpFontFamily* family = nullptr;
        if (DllExports::GdipCreateFontFamilyFromName(L"Arial", nullptr, &family) != Ok) return;
        FontFamilyPtr arial(family);
        if (DllExports::GdipCreateFont(arial.get(), kWatermarkPoints, FontStyleBold, UnitPoint, &createdFont) != Ok)
            return;
    }
    FontPtr font(createdFont);
    REAL lineHeight = 0.0f;
    if (DllExports::GdipGetFontHeight(font.get(), graphics.get(), &lineHeight) != Ok) return;
    GpStringFormat* createdFormat = nullptr;
    if (DllExports::GdipCreateStringFormat(0, LANG_NEUTRAL, &createdFormat) != Ok) return;
    StringFormatPtr format(createdFormat);
    layout.Y = static_cast<REAL>(height) - lineHeight - kWatermarkBottomGap;
    DllExports::GdipSetStringFormatAlign(format.get(), StringAlignmentFar);
    GpSolidFill* fill = nullptr;
    if (DllExports::GdipCreateSolidFill(argb, &fill) != Ok) return;
    BrushPtr brush(fill);
    DllExports::GdipDrawString(graphics.get(), text.c_str(), static_cast<INT>(text.size()), font.get(), &layout,
                               format.get(), brush.get());
}

bool CPickerDlg::EncodeCapture(const CString& source, const CString& destination, const WCHAR* mime, ULONG quality,
                               DWORD watermarkArgb, CString& reason) {
    GpBitmap* loaded = nullptr;
    GpStatus status = DllExports::GdipCreateBitmapFromFile(AfxAnsiToWide(source).c_str(), &loaded);
    if (status != Ok) {
        reason = GdiplusFailure(CString("Pictaro could not read ") + source, status);
        return false;
    }
    ImagePtr picture(loaded);
    if (!m_strWatermark.IsEmpty()) DrawWatermark(picture.get(), watermarkArgb);
    CLSID encoder;
    if (FindImageEncoder(mime, &encoder) < 0) {
        reason = "Pictaro found no picture encoder for this format.";
        return false;
    }
    EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = EncoderQuality;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = &quality;
    status = DllExports::GdipSaveImageToFile(picture.get(), AfxAnsiToWide(destination).c_str(), &encoder, &parameters);
    if (status != Ok) {
        reason = GdiplusFailure(CString("Pictaro could not write ") + destination, status);
        return false;
    }
    return true;
}

void CPickerDlg::OnSave() {
    if (!UpdateData(TRUE)) return;
    int item = SelectedItemOrAsk();
    if (item < 0) return;
    CFileDialog fileDialog(FALSE, "jpg", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kSaveFilter, this);
    if (fileDialog.DoModal() != IDOK) return;
    CString destination = fileDialog.GetPathName();
    CString source = CapturePathOfItem(item);
    SaveKind kind = SaveKindForExtension(fileDialog.GetFileExt());
    ULONG quality = kind == SaveKind::Jpeg ? AskJpegQuality(this) : kDefaultQuality;

    bool written = false;
    CString reason;
    if (kind == SaveKind::Copy) {
        written = ::CopyFileA(source, destination, FALSE) != 0;
        if (!written) reason = SystemErrorText(::GetLastError());
        // A copy is the capture as it is: no text can be stamped on it.
        if (!m_strWatermark.IsEmpty()) AfxMessageBox(m_hWnd, "Watermark is not support in BMP mode", MB_OK);
    } else {
        written = EncodeCapture(source, destination, MimeTypeForSaveKind(kind), quality, kSaveWatermark, reason);
    }
    if (written) KeepItem(item);
    if (written)
        MessageBox("The Card has been saved successfully", "Save Card", MB_ICONINFORMATION);
    else
        MessageBox(SaveFailureText(1, 1, destination, reason), "Save Card", kStopIcon);
}

void CPickerDlg::OnSaveAll() {
    if (!UpdateData(TRUE)) return;
    CFolderBrowser browser;
    CString folder;
    browser.Browse(folder);
    if (folder.IsEmpty()) return;
    ULONG quality = AskJpegQuality(this);

    int count = m_listCaptures.GetItemCount();
    int failed = 0;
    CString firstReason;
    for (int item = 0; item < count; ++item) {
        CString label = m_listCaptures.GetItemText(item, 0);
        CString destination = folder + "\\" + label + ".jpg";
        CString reason;
        if (EncodeCapture(CapturePathOfItem(item), destination, L"image/jpeg", quality, kSaveAllWatermark, reason))
            KeepItem(item);
        else if (failed++ == 0)
            firstReason = reason;
    }
    if (failed == 0)
        MessageBox("Pictures has been saved successfully", "Save all pictures", MB_ICONINFORMATION);
    else
        MessageBox(SaveFailureText(failed, count, folder, firstReason), "Save all pictures", kStopIcon);
    ::ShellExecuteA(nullptr, "open", folder, nullptr, nullptr, SW_SHOWNORMAL);
}
