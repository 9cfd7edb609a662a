#include "app/CommandLine.h"

#include <windows.h>

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Past one word: a quoted one ends at its closing quote, another at a blank.
const char* SkipWord(const char* p) {
    if (*p == '"') {
        const char* close = std::strchr(p + 1, '"');
        return close ? close + 1 : p + std::strlen(p);
    }
    while (*p && !IsBlank(*p)) ++p;
    return p;
}

}  // namespace

CString MovieArgument(const char* commandLine) {
    if (!commandLine) return CString();
    const char* p = SkipWord(commandLine);
    while (IsBlank(*p)) ++p;
    if (*p == '"') {
        const char* close = std::strchr(p + 1, '"');
        return CString(std::string(p + 1, close ? static_cast<size_t>(close - p - 1) : std::strlen(p + 1)));
    }
    return CString(p).TrimRight();
}

CString FullPathOf(const CString& path) {
    if (path.IsEmpty()) return path;
    char full[MAX_PATH] = "";
    DWORD length = ::GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? CString(full) : path;
}
