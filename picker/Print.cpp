// Printing: the capture is opened in Paint, found through its registered
// application path, and Paint's own File Print command is posted to it.
// Captures drawn larger than the screen are printed by the picker itself
// (PrintPicture.cpp).
#include <windows.h>

#include <shellapi.h>

#include "picker/PickerDlg.h"
#include "picker/PickerRules.h"
#include "picker/PrintFit.h"

namespace {

constexpr const char* kPaintAppPathKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\pbrush.exe";
constexpr const char* kPaintWindowClass = "MSPaintApp";
constexpr WPARAM kFilePrintCommand = 0xE107;
constexpr int kWindowLookups = 10000;
constexpr DWORD kLookupPauseMs = 10;
constexpr DWORD kRegistryBufferSize = 2048;
constexpr INT_PTR kShellExecuteFailedLimit = 32;

// Paint is started once it is found and left running; the program does
// not follow its Print dialog.
HWND WaitForPaintWindow() {
    for (int lookup = 0; lookup < kWindowLookups; ++lookup) {
        HWND paint = ::FindWindowA(kPaintWindowClass, nullptr);
        ::Sleep(kLookupPauseMs);
        if (paint) return paint;
    }
    return nullptr;
}

}  // namespace

// Read-only and never created: printing needs no right to change the
// machine's registry, and must not change it.
CString ReadRegistryString(HKEY root, const char* subKey, const char* valueName) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return CString();
    char buffer[kRegistryBufferSize];
    DWORD size = sizeof(buffer);
    LONG status = ::RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) return CString();
    return RegistryText(buffer, size);
}

void CPickerDlg::OnPrint() {
    int item = SelectedItemOrAsk();
    if (item < 0) return;
    int width = 0, height = 0;
    if (ReadBmpSize(CapturePathOfItem(item), width, height) &&
        DrawnLargerThanScreen(width, height, m_screenWidth, m_screenHeight)) {
        if (PrintFitted(item)) KeepItem(item);
        return;
    }
    CString program = ReadRegistryString(HKEY_LOCAL_MACHINE, kPaintAppPathKey, "");
    char windowsDir[MAX_PATH] = "";
    UINT length = ::GetWindowsDirectoryA(windowsDir, MAX_PATH);
    if (length > 0 && length < MAX_PATH) program = ExpandSystemRoot(program, windowsDir);
    CString arguments = QuoteArgument(CapturePathOfItem(item));

    INT_PTR started = 0;
    if (!HasUnexpandedVariable(program))
        started = reinterpret_cast<INT_PTR>(::ShellExecuteA(m_hWnd, "open", program, arguments, nullptr, SW_SHOWNORMAL));
    HWND paint = started > kShellExecuteFailedLimit ? WaitForPaintWindow() : nullptr;
    if (!paint) {
        MessageBox("Can not find any print program", "Can not print", MB_OK | MB_ICONHAND);
        return;
    }
    if (::PostMessageA(paint, WM_COMMAND, kFilePrintCommand, 0)) KeepItem(item);
}
