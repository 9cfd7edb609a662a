// 8-bit text to UTF-16 and back, for the edges where Windows or GDI+ wants
// wide strings. The program's own strings are in the system code page.
#pragma once

#include <windows.h>

#include <string>

#include "framework/String.h"

// `text` in `codePage`; empty when it is empty or does not convert (with
// MB_ERR_INVALID_CHARS in `flags`, also when a byte is not of the page).
std::wstring ToWide(const std::string& text, UINT codePage, DWORD flags = 0);

// System code page; a null pointer is the empty string.
std::wstring AfxAnsiToWide(const char* text);
CString AfxWideToAnsi(const std::wstring& text);
