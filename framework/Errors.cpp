#include "framework/Errors.h"

#include "framework/MessageBox.h"

CString SystemErrorText(DWORD err) {
    if (err == 0) return "Unknown error.";
    char* text = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = FormatMessageA(flags, nullptr, err, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    CString result;
    if (length == 0 || !text) {
        result.Format("Error 0x%08lX.", static_cast<unsigned long>(err));
    } else {
        result = CString(text, static_cast<int>(length));
        result.TrimRight();
    }
    if (text) LocalFree(text);
    return result;
}

BOOL ShowError(HWND owner, const char* what, DWORD err) {
    CString text = CString(what) + "\n\n" + SystemErrorText(err);
    AfxMessageBox(owner, text, MB_OK | MB_ICONSTOP);
    return FALSE;
}

void ReportCurrentException(HWND owner) {
    try {
        throw;
    } catch (const CException& e) {
        AfxMessageBox(owner, e.Describe(), MB_OK | MB_ICONSTOP);
    } catch (const std::bad_alloc&) {
        AfxMessageBox(owner, "Pictaro ran out of memory.", MB_OK | MB_ICONSTOP);
    } catch (const std::exception& e) {
        AfxMessageBox(owner, CString("Pictaro met an internal error: ") + e.what(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        AfxMessageBox(owner, "Pictaro met an internal error.", MB_OK | MB_ICONSTOP);
    }
}
