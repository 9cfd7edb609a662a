#include "picker/FolderBrowser.h"

#include <shlobj.h>

#include <memory>

namespace {

constexpr UINT kDefaultFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;

struct MallocRelease {
    void operator()(IMalloc* allocator) const { allocator->Release(); }
};

}  // namespace

CFolderBrowser::CFolderBrowser() : m_hwndOwner(nullptr), m_uFlags(kDefaultFlags) {}

CFolderBrowser::~CFolderBrowser() = default;

bool CFolderBrowser::Browse(CString& folder) {
    folder.Empty();
    IMalloc* shellMalloc = nullptr;
    if (FAILED(::SHGetMalloc(&shellMalloc)) || !shellMalloc) return false;
    std::unique_ptr<IMalloc, MallocRelease> allocator(shellMalloc);

    char path[MAX_PATH] = "";
    BROWSEINFOA info = {};
    info.hwndOwner = m_hwndOwner;
    info.pszDisplayName = path;
    info.lpszTitle = m_strTitle;
    info.ulFlags = m_uFlags;
    info.lpfn = &CFolderBrowser::FolderBrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&m_strInitialFolder);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&info);
    if (chosen) {
        // A choice without a file-system path (a virtual folder) is no folder.
        if (::SHGetPathFromIDListA(chosen, path)) folder = path;
        allocator->Free(chosen);
    }
    return !folder.IsEmpty();
}

int CALLBACK CFolderBrowser::FolderBrowseCallback(HWND dialog, UINT msg, LPARAM arg, LPARAM data) {
    if (msg == BFFM_INITIALIZED) {
        const CString* initial = reinterpret_cast<const CString*>(data);
        if (initial)
            ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(initial->GetString()));
    } else if (msg == BFFM_SELCHANGED) {
        // The status line shows where the pictures would go.
        char path[MAX_PATH] = "";
        if (::SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(arg), path))
            ::SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    }
    return 0;
}
