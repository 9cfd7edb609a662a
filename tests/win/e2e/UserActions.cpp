#include "tests/win/e2e/UserActions.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include "tests/win/common/WinTestUtil.h"
#include "tests/win/e2e/PictaroProcess.h"

namespace e2e {

namespace {

constexpr int kFileNameEdit = 0x480;   // edt1 of the common dialog
constexpr int kFileNameCombo = 0x47C;  // cmb13, its explorer-style form
constexpr int kMaxItemText = 260;
constexpr int kMaxClassName = 64;
constexpr UINT kListTimeoutMs = 2000;
constexpr int kFolderSelections = 5;
constexpr DWORD kFolderSettleMs = 300;

// Memory lent inside another process for one message's pointer.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, size_t size)
        : m_process(process), m_address(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                                         PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (m_address) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Valid() const { return m_address != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(m_address) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        SIZE_T done = 0;
        return ::WriteProcessMemory(m_process, At(offset), data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return ::ReadProcessMemory(m_process, At(offset), data, size, &done) && done == size;
    }

private:
    HANDLE m_process;
    void* m_address;
};

LRESULT SendWithTimeout(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* ok) {
    DWORD_PTR result = 0;
    *ok = ::SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kListTimeoutMs, &result) != 0;
    return static_cast<LRESULT>(result);
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM lp) {
    char cls[kMaxClassName] = "";
    ::GetClassNameA(hwnd, cls, kMaxClassName);
    if (lstrcmpiA(cls, "Static") != 0) return TRUE;
    std::string text = WindowText(hwnd);
    if (text.empty()) return TRUE;
    std::string* all = reinterpret_cast<std::string*>(lp);
    if (!all->empty()) *all += "\n";
    *all += text;
    return TRUE;
}

struct NamedWindows {
    std::string part;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectNamed(HWND hwnd, LPARAM lp) {
    NamedWindows* args = reinterpret_cast<NamedWindows*>(lp);
    if (::IsWindowVisible(hwnd) && WindowText(hwnd).find(args->part) != std::string::npos)
        args->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

void ClickAt(HWND window, int x, int y) {
    ::PostMessageA(window, WM_MOUSEMOVE, 0, Point(x, y));
    ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
    ::PostMessageA(window, WM_LBUTTONUP, 0, Point(x, y));
}

void PressKey(HWND window, UINT vk) {
    wintest::PostKeyDown(window, vk);
    UINT scan = ::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    // Key-up: repeat count 1, previous state down, transition up.
    LPARAM up = 1 | (static_cast<LPARAM>(scan) << 16) | (1L << 30) | (1L << 31);
    ::PostMessageA(window, WM_KEYUP, vk, up);
}

void PressButton(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void ChooseFile(HWND fileDialog, const std::string& path) {
    // Wine's dialog has the combo box; older templates the plain edit.
    for (int id : {kFileNameCombo, kFileNameEdit}) {
        if (HWND box = ::GetDlgItem(fileDialog, id))
            ::SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }
    PressButton(fileDialog, IDOK);
}

std::string DialogText(HWND dialog) {
    std::string all;
    ::EnumChildWindows(dialog, &CollectStatic, reinterpret_cast<LPARAM>(&all));
    return all;
}

bool DropFiles(HANDLE process, HWND window, const std::vector<std::string>& paths) {
    std::vector<char> block(sizeof(DROPFILES));
    for (const std::string& path : paths) block.insert(block.end(), path.c_str(), path.c_str() + path.size() + 1);
    block.push_back('\0');
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = FALSE;
    std::memcpy(block.data(), &header, sizeof(header));
    // Left to the program: DragFinish releases it there.
    void* remote = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    SIZE_T written = 0;
    if (!remote || !::WriteProcessMemory(process, remote, block.data(), block.size(), &written) ||
        written != block.size())
        return false;
    return ::PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != FALSE;
}

bool ChooseFolder(HANDLE process, HWND browser, const std::string& folder) {
    RemoteBlock block(process, folder.size() + 1);
    if (!block.Valid() || !block.Write(0, folder.c_str(), folder.size() + 1)) return false;
    // The browser fills its tree as it goes; selecting again, as a user
    // would, lets the last selection hold.
    for (int i = 0; i < kFolderSelections; ++i) {
        bool ok = false;
        SendWithTimeout(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(block.At(0)), &ok);
        ::Sleep(kFolderSettleMs);
    }
    PressButton(browser, IDOK);
    return wintest::PollUntil([&] { return !::IsWindow(browser); });
}

bool CloseWindowsNamed(const std::string& part) {
    NamedWindows args{part, {}};
    bool shown = wintest::PollUntil([&] {
        args.found.clear();
        ::EnumWindows(&CollectNamed, reinterpret_cast<LPARAM>(&args));
        return !args.found.empty();
    });
    for (HWND hwnd : args.found) ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return shown;
}

std::vector<std::string> ListItemTexts(HANDLE process, HWND list) {
    std::vector<std::string> texts;
    bool ok = false;
    LRESULT count = SendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0, &ok);
    RemoteBlock block(process, sizeof(LVITEMA) + kMaxItemText);
    if (!ok || !block.Valid()) return texts;
    for (LRESULT i = 0; i < count; ++i) {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = block.At(sizeof(LVITEMA));
        item.cchTextMax = kMaxItemText;
        char text[kMaxItemText] = "";
        if (!block.Write(0, &item, sizeof(item))) break;
        LRESULT length = SendWithTimeout(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(block.At(0)), &ok);
        if (!ok || length < 0 || length >= kMaxItemText || !block.Read(sizeof(LVITEMA), text, kMaxItemText)) break;
        texts.emplace_back(text, static_cast<size_t>(length));
    }
    return texts;
}

bool SelectListItem(HANDLE process, HWND list, int index) {
    RemoteBlock block(process, sizeof(LVITEMA));
    if (!block.Valid()) return false;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    bool ok = false;
    // Index -1 addresses every item: clear all, then select the one.
    if (!block.Write(0, &item, sizeof(item))) return false;
    SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(block.At(0)), &ok);
    if (!ok) return false;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!block.Write(0, &item, sizeof(item))) return false;
    LRESULT done = SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(block.At(0)), &ok);
    return ok && done != FALSE;
}

}  // namespace e2e
