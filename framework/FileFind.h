// CFileFind: walks the entries that match a pattern. FindFile starts the
// search; each FindNextFile moves to the next entry and returns whether a
// further one exists after it, so a loop is
//   BOOL more = finder.FindFile(pattern);
//   while (more) { more = finder.FindNextFile(); ...use the entry... }
#pragma once

#include <windows.h>

#include "framework/String.h"

class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    BOOL FindFile(const char* pattern = "*.*");
    BOOL FindNextFile();
    void Close();

    BOOL IsDots() const;
    BOOL IsDirectory() const;
    BOOL IsReparsePoint() const;
    DWORD GetAttributes() const { return m_current.dwFileAttributes; }
    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetRoot() const { return m_root; }
    ULONGLONG GetLength() const;

private:
    HANDLE m_find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_next = {};
    WIN32_FIND_DATAA m_current = {};
    bool m_hasNext = false;
    CString m_root;  // folder of the pattern, without a trailing backslash
};
