#include "tests/win/picker/PickerTestUtil.h"

#include <windows.h>

#include <objidl.h>

#include <commctrl.h>
#include <gdiplus.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "capture/CaptureNames.h"
#include "capture/ImageEncoder.h"
#include "framework/WideText.h"
#include "framework/WinApp.h"
#include "picker/PickerDlg.h"

using namespace Gdiplus;

namespace pickertest {

namespace {

constexpr DWORD kPollMs = 20;
constexpr int kMessageTextId = 0xFFFF;  // the static holding a message box's text
constexpr int kFileNameCombo = 0x47C;   // cmb13 of the explorer-style Save As dialog
constexpr int kFileNameEdit = 0x480;    // edt1
constexpr int kQualitySlider = 1003;
constexpr int kMaxCaptureNumber = 128;
constexpr DWORD kReselectMs = 1000;

struct FindArgs {
    const char* caption;
    HWND found;
};

// Visible, and of this process (`own`) or of another.
bool VisibleOf(HWND hwnd, bool own) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    return ::IsWindowVisible(hwnd) && (pid == ::GetCurrentProcessId()) == own;
}

BOOL CALLBACK FindProc(HWND hwnd, LPARAM lp) {
    FindArgs* args = reinterpret_cast<FindArgs*>(lp);
    if (!VisibleOf(hwnd, true)) return TRUE;
    if (args->caption && WindowText(hwnd) != args->caption) return TRUE;
    args->found = hwnd;
    return FALSE;
}

// A message box has a static text control of its own id.
BOOL CALLBACK FindMessageBoxProc(HWND hwnd, LPARAM lp) {
    return ::GetDlgItem(hwnd, kMessageTextId) ? FindProc(hwnd, lp) : TRUE;
}

HWND FindMessageBox(const char* caption) {
    FindArgs args{caption, nullptr};
    ::EnumWindows(FindMessageBoxProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

// Another process's window whose caption holds the text in `caption`.
BOOL CALLBACK FindShellWindowProc(HWND hwnd, LPARAM lp) {
    FindArgs* a = reinterpret_cast<FindArgs*>(lp);
    if (!VisibleOf(hwnd, false) || WindowText(hwnd).Find(a->caption) < 0) return TRUE;
    a->found = hwnd;
    return FALSE;
}

BOOL CALLBACK FindEnabledWindowProc(HWND hwnd, LPARAM lp) {
    if (VisibleOf(hwnd, true) && ::IsWindowEnabled(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD deadlineMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (done()) return true;
        if (::GetTickCount() - start > deadlineMs) return false;
        ::Sleep(kPollMs);
    }
}

CString WindowText(HWND hwnd) {
    char text[1024] = "";
    ::GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

HWND FindTopWindow(const char* caption) {
    FindArgs args{caption, nullptr};
    ::EnumWindows(FindProc, reinterpret_cast<LPARAM>(&args));
    return args.found;
}

HWND WaitForTopWindow(const char* caption, DWORD deadlineMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(caption)) != nullptr; }, deadlineMs);
    return found;
}

void PressButton(HWND dialog, int id) { ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

MessageBoxSeen AnswerMessageBox(const char* caption, DWORD deadlineMs) {
    MessageBoxSeen seen;
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox(caption)) != nullptr; }, deadlineMs)) return seen;
    seen.shown = true;
    seen.caption = WindowText(box);
    char text[2048] = "";
    ::GetDlgItemTextA(box, kMessageTextId, text, sizeof(text));
    seen.text = text;
    // The icon is the one static that holds an icon.
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        HICON icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
        if (!icon || !::IsWindowVisible(child)) continue;
        seen.stopIcon = icon == ::LoadIconA(nullptr, IDI_HAND);
        seen.infoIcon = icon == ::LoadIconA(nullptr, IDI_ASTERISK);
    }
    PressButton(box, IDOK);
    WaitUntil([&] { return !::IsWindow(box); });
    return seen;
}

bool AnswerSaveAs(const CString& path) {
    HWND dialog = WaitForTopWindow("Save As");
    if (!dialog) return false;
    HWND name = ::GetDlgItem(dialog, kFileNameCombo);
    if (!name) name = ::GetDlgItem(dialog, kFileNameEdit);
    if (!name) return false;
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.GetString()));
    PressButton(dialog, IDOK);
    return WaitUntil([&] { return !::IsWindow(dialog); });
}

int AnswerQuality(int position, bool ok) {
    HWND dialog = WaitForTopWindow("Set the quality of JPEG");
    if (!dialog) return -1;
    HWND slider = ::GetDlgItem(dialog, kQualitySlider);
    int opened = static_cast<int>(::SendMessageA(slider, TBM_GETPOS, 0, 0));
    if (position != kLeaveQuality) ::SendMessageA(slider, TBM_SETPOS, TRUE, position);
    PressButton(dialog, ok ? IDOK : IDCANCEL);
    WaitUntil([&] { return !::IsWindow(dialog); });
    return opened;
}

namespace {

CString TreeSelectionText(HWND tree) {
    char text[MAX_PATH] = "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    if (!item.hItem || !::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return CString();
    return text;
}

}  // namespace

CString FolderBrowserSelection(HWND dialog) {
    HWND tree = ::FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
    return tree ? TreeSelectionText(tree) : CString();
}

// The dialog selects its initial folder when it has initialised; a
// selection made before that would be undone, so wait for the tree first.
bool AnswerFolderBrowser(const CString& folder) {
    HWND dialog = WaitForTopWindow("Browse for Folder");
    if (!dialog) return false;
    HWND tree = nullptr;
    if (!WaitUntil([&] { return (tree = ::FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr)) != nullptr; }))
        return false;
    CString name = folder.Mid(folder.ReverseFind('\\') + 1);
    auto selected = [&] { return TreeSelectionText(tree).CompareNoCase(name) == 0; };
    // Selecting again, as a user would, until the selection holds.
    bool holds = WaitUntil([&] {
        ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.GetString()));
        return WaitUntil(selected, kReselectMs);
    });
    if (!holds) return false;
    PressButton(dialog, IDOK);
    return WaitUntil([&] { return !::IsWindow(dialog); });
}

bool CloseShellWindow(const char* name) {
    FindArgs args{name, nullptr};
    if (!WaitUntil([&] {
            return !::EnumWindows(FindShellWindowProc, reinterpret_cast<LPARAM>(&args)) || args.found;
        }))
        return false;
    ::PostMessageA(args.found, WM_CLOSE, 0, 0);
    return true;
}

void CloseAllDialogs() {
    for (int round = 0; round < 10; ++round) {
        HWND active = FindTopWindow(nullptr);
        if (!active) return;
        // Innermost first: the enabled window is the one the user could use.
        HWND target = nullptr;
        ::EnumWindows(FindEnabledWindowProc, reinterpret_cast<LPARAM>(&target));
        if (!target) return;
        ::PostMessageA(target, WM_COMMAND, IDCANCEL, 0);
        WaitUntil([&] { return !::IsWindow(target) || !::IsWindowVisible(target); }, 2000);
    }
}

std::set<int> RunPicker(int count, const std::function<void(HWND picker)>& drive, SIZE screen) {
    std::thread driver([&] {
        HWND picker = WaitForTopWindow("Pick and Print / Save");
        if (picker) drive(picker);
        CloseAllDialogs();
    });
    CPickerDlg picker;
    picker.m_strCaptureFolder = CaptureFolder();
    picker.m_nCaptureCount = count;
    picker.m_screenWidth = screen.cx;
    picker.m_screenHeight = screen.cy;
    picker.DoModal();
    driver.join();
    return picker.m_keptCaptures;
}

CString CaptureFolder() {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    CString folder = CString(temp) + "Pictaro";
    ::CreateDirectoryA(folder, nullptr);
    return folder;
}

CString CapturePath(int number) { return CaptureFilePath(CaptureFolder(), number); }

void RemoveCaptures() {
    for (int number = 0; number <= kMaxCaptureNumber; ++number) ::DeleteFileA(CapturePath(number));
}

bool WriteCapture(const CString& path, int width, int height, const std::function<uint32_t(int, int)>& colour) {
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &bitmap) != Ok)
        return false;
    Rect all(0, 0, width, height);
    BitmapData data = {};
    bool ok = DllExports::GdipBitmapLockBits(bitmap, &all, ImageLockModeWrite, PixelFormat32bppARGB, &data) == Ok;
    if (ok) {
        for (int y = 0; y < height; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
            for (int x = 0; x < width; ++x) row[x] = colour(x, y);
        }
        DllExports::GdipBitmapUnlockBits(bitmap, &data);
        CLSID bmp;
        ok = FindImageEncoder(L"image/bmp", &bmp) >= 0 &&
             DllExports::GdipSaveImageToFile(bitmap, AfxAnsiToWide(path).c_str(), &bmp, nullptr) == Ok;
    }
    DllExports::GdipDisposeImage(bitmap);
    return ok;
}

bool WriteSolidCapture(int number, int width, int height, uint32_t argb) {
    return WriteCapture(CapturePath(number), width, height, [argb](int, int) { return argb; });
}

bool LoadPicture(const CString& path, Picture& picture) {
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromFile(AfxAnsiToWide(path).c_str(), &bitmap) != Ok) return false;
    UINT width = 0;
    UINT height = 0;
    DllExports::GdipGetImageWidth(bitmap, &width);
    DllExports::GdipGetImageHeight(bitmap, &height);
    Rect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData data = {};
    bool ok = DllExports::GdipBitmapLockBits(bitmap, &all, ImageLockModeRead, PixelFormat32bppARGB, &data) == Ok;
    if (ok) {
        picture.width = static_cast<int>(width);
        picture.height = static_cast<int>(height);
        picture.pixels.resize(static_cast<size_t>(width) * height);
        for (UINT y = 0; y < height; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
            std::copy(row, row + width, picture.pixels.begin() + static_cast<size_t>(y) * width);
        }
        DllExports::GdipBitmapUnlockBits(bitmap, &data);
    }
    DllExports::GdipDisposeImage(bitmap);
    return ok;
}

std::vector<unsigned char> ReadBytes(const CString& path) {
    std::ifstream file(path.GetString(), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool StartsWith(const std::vector<unsigned char>& bytes, const char* magic, size_t length) {
    return bytes.size() >= length && std::equal(magic, magic + length, bytes.begin(),
                                                [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; });
}

CString FreshFolder(const char* name) {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    CString folder = CString(temp) + name;
    ::CreateDirectoryA(folder, nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(folder + "\\*", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            CString entry = folder + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (found.cFileName[0] != '.') ::RemoveDirectoryA(entry);
            } else {
                ::DeleteFileA(entry);
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    return folder;
}

int ListItemCount(HWND list) { return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

CString ListItemText(HWND list, int item) {
    char text[260] = "";
    LVITEMA lvItem = {};
    lvItem.pszText = text;
    lvItem.cchTextMax = sizeof(text);
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvItem));
    return text;
}

int ListItemImage(HWND list, int item) {
    LVITEMA lvItem = {};
    lvItem.mask = LVIF_IMAGE;
    lvItem.iItem = item;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvItem));
    return lvItem.iImage;
}

int SelectedCount(HWND list) { return static_cast<int>(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)); }

void SelectItems(HWND list, const std::vector<int>& items) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED;
    for (int item : items) {
        state.state = LVIS_SELECTED;
        ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
    }
}

RegistryValueGuard::RegistryValueGuard(HKEY root, const char* subKey, const char* value)
    : m_root(root), m_subKey(subKey) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    DWORD size = 0;
    if (::RegQueryValueExA(key, "", nullptr, &m_type, nullptr, &size) == ERROR_SUCCESS) {
        m_old.resize(size);
        m_hadValue = ::RegQueryValueExA(key, "", nullptr, &m_type, m_old.data(), &size) == ERROR_SUCCESS;
    }
    if (value)
        ::RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), lstrlenA(value) + 1);
    else
        ::RegDeleteValueA(key, "");
    ::RegCloseKey(key);
}

RegistryValueGuard::~RegistryValueGuard() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(m_root, m_subKey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    if (m_hadValue)
        ::RegSetValueExA(key, "", 0, m_type, m_old.data(), static_cast<DWORD>(m_old.size()));
    else
        ::RegDeleteValueA(key, "");
    ::RegCloseKey(key);
}

}  // namespace pickertest
