// Helpers for driving the picker as a user does: the dialog runs its modal
// loop on the test's thread while a driver thread finds windows, sets their
// controls and presses their buttons. Every wait polls with a deadline.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "framework/String.h"

namespace pickertest {

constexpr DWORD kDeadlineMs = 20000;

// Polls `done` until it holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& done, DWORD deadlineMs = kDeadlineMs);

// A visible top-level window of this process with that caption.
HWND FindTopWindow(const char* caption);
HWND WaitForTopWindow(const char* caption, DWORD deadlineMs = kDeadlineMs);
CString WindowText(HWND hwnd);

// Posts BM_CLICK to the dialog's button: what a mouse click on it does.
void PressButton(HWND dialog, int id);

struct MessageBoxSeen {
    bool shown = false;
    CString caption;
    CString text;
    bool stopIcon = false;
    bool infoIcon = false;
};
// Waits for a message box with that caption (any caption when null),
// reads it and presses OK.
MessageBoxSeen AnswerMessageBox(const char* caption, DWORD deadlineMs = kDeadlineMs);

// Types the path into the Save As dialog and presses Save.
bool AnswerSaveAs(const CString& path);
// Sets the quality dialog's track bar (kLeaveQuality: not touched) and
// presses OK or Cancel. Returns the position the dialog opened with, -1
// when it did not come.
constexpr int kLeaveQuality = -1;
int AnswerQuality(int position, bool ok);
// The name of the folder selected in the shell's folder browser.
CString FolderBrowserSelection(HWND dialog);
// Selects the folder in the shell's folder browser and presses OK.
bool AnswerFolderBrowser(const CString& folder);

// Waits for a window of another process (the shell's) whose title holds
// `name`, and closes it. False when none came.
bool CloseShellWindow(const char* name);

// Closes whatever dialogs of this process are still open, innermost first,
// so a failed driver never leaves the modal loop of the test waiting.
void CloseAllDialogs();

// Runs the picker over `count` captures of CaptureFolder(); `drive` gets
// the picker's window on the driver thread; `screen` is the player's
// picture size it is told (0 x 0: unknown). Returns the captures the picker
// reported as kept.
std::set<int> RunPicker(int count, const std::function<void(HWND picker)>& drive, SIZE screen = {0, 0});

CString CaptureFolder();
CString CapturePath(int number);
void RemoveCaptures();

// GDI+-written BMP capture; `colour(x, y)` gives 0xAARRGGBB.
bool WriteCapture(const CString& path, int width, int height, const std::function<uint32_t(int, int)>& colour);
bool WriteSolidCapture(int number, int width, int height, uint32_t argb);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top to bottom
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
bool LoadPicture(const CString& path, Picture& picture);

std::vector<unsigned char> ReadBytes(const CString& path);
bool StartsWith(const std::vector<unsigned char>& bytes, const char* magic, size_t length);

// A scratch folder under the temporary directory, emptied first.
CString FreshFolder(const char* name);

// List view state read from the driver thread.
int ListItemCount(HWND list);
CString ListItemText(HWND list, int item);
int ListItemImage(HWND list, int item);
int SelectedCount(HWND list);
void SelectItems(HWND list, const std::vector<int>& items);

// Sets a registry value (REG_SZ) or removes it (value null) and puts the
// old one back when it goes.
class RegistryValueGuard {
public:
    RegistryValueGuard(HKEY root, const char* subKey, const char* value);
    ~RegistryValueGuard();

private:
    HKEY m_root;
    std::string m_subKey;
    bool m_hadValue = false;
    DWORD m_type = 0;
    std::vector<BYTE> m_old;
};

}  // namespace pickertest
