#include "framework/String.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

char AsciiLower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }
char AsciiUpper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }
bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f'; }

}  // namespace

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    // Measure first with a copy of the list, then write: any length fits.
    va_list measure;
    va_copy(measure, args);
    int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed < 0) {
        m_text.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    m_text.assign(buffer.data(), static_cast<size_t>(needed));
}

CString CString::FormatText(const char* format, ...) {
    CString result;
    va_list args;
    va_start(args, format);
    result.FormatV(format, args);
    va_end(args);
    return result;
}

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    if (count <= 0) return CString();
    size_t n = static_cast<size_t>(count);
    if (n >= m_text.size()) return *this;
    return CString(m_text.substr(m_text.size() - n));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (count <= 0 || static_cast<size_t>(first) >= m_text.size()) return CString();
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Find(char ch, int start) const {
    if (start < 0) start = 0;
    size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || static_cast<size_t>(start) > m_text.size()) return -1;
    size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
    size_t at = m_text.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(char oldCh, char newCh) {
    int count = 0;
    for (char& ch : m_text) {
        if (ch == oldCh) {
            ch = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const char* oldText, const char* newText) {
    if (!oldText || !*oldText) return 0;
    std::string with = newText ? newText : "";
    size_t oldLength = std::strlen(oldText);
    int count = 0;
    for (size_t at = m_text.find(oldText); at != std::string::npos; at = m_text.find(oldText, at + with.size())) {
        m_text.replace(at, oldLength, with);
        ++count;
    }
    return count;
}

CString& CString::TrimLeft() {
    size_t first = 0;
    while (first < m_text.size() && IsBlank(m_text[first])) ++first;
    m_text.erase(0, first);
    return *this;
}

CString& CString::TrimRight() {
    size_t end = m_text.size();
    while (end > 0 && IsBlank(m_text[end - 1])) --end;
    m_text.erase(end);
    return *this;
}

CString& CString::MakeLower() {
    for (char& ch : m_text) ch = AsciiLower(ch);
    return *this;
}

CString& CString::MakeUpper() {
    for (char& ch : m_text) ch = AsciiUpper(ch);
    return *this;
}

int CString::Compare(const char* other) const { return std::strcmp(m_text.c_str(), other ? other : ""); }

int CString::CompareNoCase(const char* other) const {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_text.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(other ? other : "");
    for (;; ++a, ++b) {
        int ca = static_cast<unsigned char>(AsciiLower(static_cast<char>(*a)));
        int cb = static_cast<unsigned char>(AsciiLower(static_cast<char>(*b)));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
    return &m_text[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) newLength = static_cast<int>(std::strlen(m_text.c_str()));
    m_text.resize(static_cast<size_t>(newLength));
}
