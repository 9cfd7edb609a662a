#include "framework/FileFind.h"

CFileFind::~CFileFind() { Close(); }

BOOL CFileFind::FindFile(const char* pattern) {
    Close();
    CString path = pattern ? pattern : "*.*";
    int slash = path.ReverseFind('\\');
    m_root = slash >= 0 ? path.Left(slash) : CString();
    m_find = ::FindFirstFileA(path, &m_next);
    m_hasNext = m_find != INVALID_HANDLE_VALUE;
    return m_hasNext;
}

BOOL CFileFind::FindNextFile() {
    if (!m_hasNext) return FALSE;
    m_current = m_next;
    m_hasNext = ::FindNextFileA(m_find, &m_next) != FALSE;
    return m_hasNext;
}

void CFileFind::Close() {
    if (m_find != INVALID_HANDLE_VALUE) ::FindClose(m_find);
    m_find = INVALID_HANDLE_VALUE;
    m_hasNext = false;
}

BOOL CFileFind::IsDots() const {
    const char* name = m_current.cFileName;
    return IsDirectory() && name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

BOOL CFileFind::IsDirectory() const { return (m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

BOOL CFileFind::IsReparsePoint() const { return (m_current.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

CString CFileFind::GetFileName() const { return m_current.cFileName; }

CString CFileFind::GetFilePath() const {
    return m_root.IsEmpty() ? GetFileName() : m_root + "\\" + GetFileName();
}

ULONGLONG CFileFind::GetLength() const {
    return (static_cast<ULONGLONG>(m_current.nFileSizeHigh) << 32) | m_current.nFileSizeLow;
}
