// CFile: a binary file. Opening with modeRead (0) opens read-only with
// exclusive sharing: no other program may have the file open. Failures
// throw CFileException, which the window procedure shows to the user and
// which ends only the command that met it.
#pragma once

#include <windows.h>

#include "framework/Errors.h"

class CFileException : public CException {
public:
    enum class Operation { Open, Read, Seek, Length };

    CFileException(Operation operation, const CString& fileName, DWORD osError)
        : m_operation(operation), m_strFileName(fileName), m_lOsError(osError) {}

    CString Describe() const override;

    Operation m_operation;
    CString m_strFileName;
    DWORD m_lOsError;  // 0: the system gave no reason
};

class CFile {
public:
    enum OpenFlags : UINT { modeRead = 0x0000, shareExclusive = 0x0010, typeBinary = 0x8000 };
    enum SeekPosition : UINT { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

    CFile() = default;
    // Throws CFileException when the file cannot be opened.
    CFile(const char* fileName, UINT openFlags);
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE on failure; `error` (if given) then says why.
    BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    // Bytes read; fewer than asked only at the end of the file.
    UINT Read(void* buffer, UINT count);
    ULONGLONG Seek(LONGLONG offset, UINT from);
    ULONGLONG GetLength() const;
    void Close();

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    CString GetFilePath() const { return m_path; }

private:
    [[noreturn]] void Throw(CFileException::Operation operation) const;
    CString m_path;
};
