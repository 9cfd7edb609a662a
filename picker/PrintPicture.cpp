// Printing a capture drawn larger than the screen: Paint would print its
// pixels at screen resolution over several pages, so the picker prints it
// itself, every pixel of the file, as large as the page allows.
#include <windows.h>

#include <cderr.h>
#include <commdlg.h>
#include <winspool.h>

#include "framework/Errors.h"
#include "picker/PickerDlg.h"
#include "picker/PrintFit.h"

namespace {

constexpr const char* kCannotPrintCaption = "Can not print";
constexpr DWORD kBmpHeaderBytes = 26;  // file header and the info header up to biHeight
constexpr DWORD kBmpWidthOffset = 18;
constexpr DWORD kBmpHeightOffset = 22;

int32_t LittleEndian32(const BYTE* p) { return int32_t(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24)); }

// A DIB section of the whole file (GDI reads BMPs itself), released at the end.
struct LoadedPicture {
    HBITMAP bitmap = nullptr;
    DIBSECTION dib = {};
    ~LoadedPicture() {
        if (bitmap) ::DeleteObject(bitmap);
    }
    bool Load(const CString& path) {
        bitmap = static_cast<HBITMAP>(
            ::LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        return bitmap && ::GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits;
    }
};

// Asked first: the Print dialog of some systems has nothing to offer and
// says so in words of its own, or not at all.
bool HasPrinter() {
    DWORD needed = 0, count = 0;
    ::EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    return needed > 0;
}

void SayNoPrinter(HWND owner) {
    ::MessageBoxA(owner, "No printer is installed. Add a printer in Windows, then print again.", kCannotPrintCaption,
                  MB_OK | MB_ICONHAND);
}

}  // namespace

bool ReadBmpSize(const CString& path, int& width, int& height) {
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BYTE header[kBmpHeaderBytes];
    DWORD got = 0;
    const bool read = ::ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header;
    ::CloseHandle(file);
    if (!read || header[0] != 'B' || header[1] != 'M') return false;
    width = LittleEndian32(header + kBmpWidthOffset);
    height = LittleEndian32(header + kBmpHeightOffset);
    if (height < 0) height = -height;  // top-down rows
    return width > 0 && height > 0;
}

// HALFTONE averages the source pixels that fall on one printer dot, so a
// large capture printed small stays smooth rather than dropping rows.
bool DrawFittedPicture(HDC dc, int pageWidth, int pageHeight, int dpiX, int dpiY, const CString& path) {
    LoadedPicture picture;
    if (!picture.Load(path)) return false;
    const BITMAP& bm = picture.dib.dsBm;
    const PageRect place = FitToPage(bm.bmWidth, bm.bmHeight, pageWidth, pageHeight, dpiX, dpiY);
    if (place.width <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader = picture.dib.dsBmih;
    info.bmiHeader.biSizeImage = 0;
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    return ::StretchDIBits(dc, place.x, place.y, place.width, place.height, 0, 0, bm.bmWidth, bm.bmHeight,
                           bm.bmBits, &info, DIB_RGB_COLORS, SRCCOPY) != GDI_ERROR;
}

// The user picks the printer in the common Print dialog; cancelling it is
// not a failure.
bool CPickerDlg::PrintFitted(int item) {
    if (!HasPrinter()) {
        SayNoPrinter(m_hWnd);
        return false;
    }
    PRINTDLGA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = m_hWnd;
    choose.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    choose.nCopies = 1;
    if (!::PrintDlgA(&choose)) {
        const DWORD err = ::CommDlgExtendedError();
        if (err == PDERR_NODEFAULTPRN || err == PDERR_NODEVICES)
            SayNoPrinter(m_hWnd);
        else if (err != 0)
            ShowError(m_hWnd, "Pictaro could not open the Print dialog.", err);
        return false;
    }
    if (choose.hDevMode) ::GlobalFree(choose.hDevMode);
    if (choose.hDevNames) ::GlobalFree(choose.hDevNames);
    HDC printer = choose.hDC;
    if (!printer) return false;
    const CString path = CapturePathOfItem(item);
    const CString title = "Pictaro - " + m_listCaptures.GetItemText(item, 0);
    DOCINFOA doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title;
    bool printed = false;
    DWORD err = 0;
    if (::StartDocA(printer, &doc) > 0) {
        printed = ::StartPage(printer) > 0 &&
                  DrawFittedPicture(printer, ::GetDeviceCaps(printer, HORZRES), ::GetDeviceCaps(printer, VERTRES),
                                    ::GetDeviceCaps(printer, LOGPIXELSX), ::GetDeviceCaps(printer, LOGPIXELSY), path) &&
                  ::EndPage(printer) > 0;
        if (!printed) err = ::GetLastError();
        if (printed) printed = ::EndDoc(printer) > 0;
        else ::AbortDoc(printer);
    } else {
        err = ::GetLastError();
    }
    ::DeleteDC(printer);
    if (!printed) ShowError(m_hWnd, "Pictaro could not print " + path + ".", err);
    return printed;
}
