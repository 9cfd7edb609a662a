#include "picker/PickerRules.h"

#include <cstring>

SaveKind SaveKindForExtension(const CString& extension) {
    if (extension.CompareNoCase("jpg") == 0) return SaveKind::Jpeg;
    if (extension.CompareNoCase("png") == 0) return SaveKind::Png;
    if (extension.CompareNoCase("bmp") == 0) return SaveKind::Copy;
    return SaveKind::Bmp;
}

const wchar_t* MimeTypeForSaveKind(SaveKind kind) {
    switch (kind) {
    case SaveKind::Jpeg: return L"image/jpeg";
    case SaveKind::Png: return L"image/png";
    case SaveKind::Copy:
    case SaveKind::Bmp: break;
    }
    return L"image/bmp";
}

CString ExpandSystemRoot(const CString& programPath, const CString& windowsDir) {
    CString expanded = programPath;
    expanded.Replace("%SystemRoot%", windowsDir);
    return expanded;
}

bool HasUnexpandedVariable(const CString& path) {
    int open = path.Find('%');
    return open >= 0 && path.Find('%', open + 2) > open;
}

CString QuoteArgument(const CString& path) { return "\"" + path + "\""; }

CString RegistryText(const char* buffer, unsigned long size) {
    if (!buffer) return CString();
    // A REG_SZ written without its NUL arrives unterminated: take only
    // what was read.
    const void* nul = std::memchr(buffer, '\0', size);
    size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - buffer) : size;
    CString text(std::string(buffer, length));
    text.TrimLeft();
    text.TrimRight();
    return text;
}

CString SaveFailureText(int failed, int total, const CString& where, const CString& reason) {
    CString text;
    if (total <= 1)
        text.Format("The picture could not be written to %s.", where.GetString());
    else
        text.Format("%d of %d pictures could not be written to %s.", failed, total, where.GetString());
    if (!reason.IsEmpty()) text += "\n\n" + reason;
    return text;
}
