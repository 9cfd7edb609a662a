#include "framework/WideText.h"

#include <climits>

std::wstring ToWide(const std::string& text, UINT codePage, DWORD flags) {
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    const int size = static_cast<int>(text.size());
    int length = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    length = ::MultiByteToWideChar(codePage, flags, text.data(), size, &wide[0], length);
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return wide;
}

std::wstring AfxAnsiToWide(const char* text) { return text ? ToWide(text, CP_ACP) : std::wstring(); }

CString AfxWideToAnsi(const std::wstring& text) {
    if (text.empty()) return CString();
    int length = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return CString();
    CString narrow;
    char* buffer = narrow.GetBuffer(length);
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer, length, nullptr, nullptr);
    narrow.ReleaseBuffer();
    return narrow;
}
