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

// Item texts of a list view in `process`, in item order.
std::vector<std::string> ListItemTexts(HANDLE process, HWND list);
// Makes `index` the one selected and focused item.
bool SelectListItem(HANDLE process, HWND list, int index);

}  // namespace e2e
