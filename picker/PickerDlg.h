// CPickerDlg: the captures of the current movie as thumbnails, and what the
// user does with them: open one in the shell, print it (through Paint, or
// itself for captures drawn larger than the screen), save one or all of
// them (with an optional watermark).
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"

namespace Gdiplus {
class GpImage;
}

class CPickerDlg : public CDialog {
public:
    explicit CPickerDlg(CWnd* parent = nullptr);
    ~CPickerDlg() override;

    // Set by the opener before DoModal: the capture folder (no trailing
    // backslash), whose captures are numbered 0 .. count - 1.
    CString m_strCaptureFolder;
    int m_nCaptureCount;
    // The player's picture size in pixels when the picker opened; captures
    // larger than it are printed fitted to the page by the picker itself.
    // 0 x 0: every capture goes to Paint.
    int m_screenWidth;
    int m_screenHeight;
    // After DoModal: the numbers of the captures that were saved or sent to
    // print without a failure; the opener need not keep them any longer.
    std::set<int> m_keptCaptures;
    CListCtrl m_listCaptures;
    CString m_strWatermark;
    CImageList m_imageList;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(UINT id, UINT code) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

    void OnOpen();
    void OnPrint();
    void OnSave();
    void OnSaveAll();
    void OnDblclkCaptureList(NMHDR* header, LRESULT* result);

private:
    // Thumbnails.cpp
    void FillCaptureList(const CString& captureFolder);

    // SavePictures.cpp. Stamps m_strWatermark in the lower right corner;
    // `argb` is the text's colour.
    void DrawWatermark(Gdiplus::GpImage* picture, DWORD argb);
    // Writes one capture; false with `reason` when nothing was written.
    bool EncodeCapture(const CString& source, const CString& destination, const WCHAR* mime, ULONG quality,
                       DWORD watermarkArgb, CString& reason);

    // The selected item with the lowest index; -1 after telling the user
    // that nothing is selected.
    int SelectedItemOrAsk();
    CString CapturePathOfItem(int item) const;
    void KeepItem(int item);
    void OpenInShell(int item);
    // PrintPicture.cpp: true once the page went to the printer.
    bool PrintFitted(int item);
};

// A registry value as trimmed text, read-only; "" when the key or value is
// missing or cannot be read.
CString ReadRegistryString(HKEY root, const char* subKey, const char* valueName);

// PrintPicture.cpp. The pixel size a BMP file's header gives.
bool ReadBmpSize(const CString& path, int& width, int& height);
// The BMP file's pixels on a page of that size (device pixels and dots per
// inch), fitted and centred.
bool DrawFittedPicture(HDC dc, int pageWidth, int pageHeight, int dpiX, int dpiY, const CString& path);
