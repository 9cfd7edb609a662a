// What a user does to the windows of another process: clicks, keys,
// buttons, typing into the common file dialog, picking list items. List
// views take pointers, so their messages go through memory lent inside the
// target process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Moves onto the point (client coordinates), presses and releases the left
// button there.
void ClickAt(HWND window, int x, int y);
void PressKey(HWND window, UINT vk);
// As a click on the dialog's button with this id.
void PressButton(HWND dialog, int id);
// Types the path into the file name box of an Open or Save As dialog and
// presses its default button.
void ChooseFile(HWND fileDialog, const std::string& path);
// Every static text of a dialog (a message box's text), joined by '\n'.
std::string DialogText(HWND dialog);

// Drops the files on the window as the shell does: WM_DROPFILES with a
// DROPFILES block made inside `process` (the program frees it, as it frees
// any drop, with DragFinish).
bool DropFiles(HANDLE process, HWND window, const std::vector<std::string>& paths);
// Selects `folder` in the folder browser of `process` and presses OK.
bool ChooseFolder(HANDLE process, HWND browser, const std::string& folder);
// Closes every visible top-level window whose caption contains `part`
// (the shell's window of a folder); false when none showed in time.
bool CloseWindowsNamed(const std::string& part);

// Item texts of a list view in `process`, in item order.
std::vector<std::string> ListItemTexts(HANDLE process, HWND list);
// Makes `index` the one selected and focused item.
bool SelectListItem(HANDLE process, HWND list, int index);

}  // namespace e2e
