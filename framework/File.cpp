#include "framework/File.h"

CString CFileException::Describe() const {
    const char* doing = "open";
    switch (m_operation) {
    case Operation::Open: doing = "open"; break;
    case Operation::Read: doing = "read"; break;
    case Operation::Seek: doing = "seek in"; break;
    case Operation::Length: doing = "get the size of"; break;
    }
    return CString::FormatText("Pictaro could not %s the file %s.\n\n", doing, m_strFileName.GetString()) +
           SystemErrorText(m_lOsError);
}

CFile::CFile(const char* fileName, UINT openFlags) {
    CFileException error(CFileException::Operation::Open, fileName, 0);
    if (!Open(fileName, openFlags, &error)) throw error;
}

CFile::~CFile() { Close(); }

BOOL CFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
    Close();
    m_path = fileName;
    // Only reading is offered; every sharing mode we use is exclusive.
    (void)openFlags;
    HANDLE file = ::CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD err = ::GetLastError();
        if (error) *error = CFileException(CFileException::Operation::Open, fileName, err);
        return FALSE;
    }
    m_hFile = file;
    return TRUE;
}

void CFile::Throw(CFileException::Operation operation) const {
    throw CFileException(operation, m_path, ::GetLastError());
}

UINT CFile::Read(void* buffer, UINT count) {
    if (count == 0) return 0;
    DWORD got = 0;
    if (!::ReadFile(m_hFile, buffer, count, &got, nullptr)) Throw(CFileException::Operation::Read);
    return got;
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!::SetFilePointerEx(m_hFile, distance, &position, from)) Throw(CFileException::Operation::Seek);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hFile, &size)) Throw(CFileException::Operation::Length);
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::Close() {
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}
