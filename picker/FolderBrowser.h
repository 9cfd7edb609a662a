// CFolderBrowser: the shell's folder browse dialog, rooted at the desktop.
#pragma once

#include <windows.h>

#include "framework/String.h"

class CFolderBrowser {
public:
    CFolderBrowser();
    virtual ~CFolderBrowser();

    HWND m_hwndOwner;
    CString m_strInitialFolder;
    CString m_strTitle;
    UINT m_uFlags;

    // True with the chosen folder's full path; false with `folder` empty
    // when the user cancelled or the shell could not run the dialog.
    bool Browse(CString& folder);

    static int CALLBACK FolderBrowseCallback(HWND dialog, UINT msg, LPARAM arg, LPARAM data);
};
