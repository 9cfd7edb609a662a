#include "capture/CaptureFolder.h"

#include <windows.h>

#include "framework/FileFind.h"

namespace {

// Shorter paths are roots or near-roots ("C:\", "C:\a"): emptying one by
// mistake would be a disaster, so they are refused.
constexpr int kShortestFolderPath = 7;

// A junction or symbolic link is an entry of its own: deleting it removes
// the link and leaves what it points to alone. A directory link goes with
// RemoveDirectoryA, a file link with DeleteFileA; walking into one would
// delete the target's files, which may lie anywhere on the disk.
void RemoveLink(const CFileFind& entry) {
    if (entry.IsDirectory())
        ::RemoveDirectoryA(entry.GetFilePath());
    else
        ::DeleteFileA(entry.GetFilePath());
}

}  // namespace

void DeleteFolderContents(CString folder) {
    if (folder.GetLength() < kShortestFolderPath) return;
    CString pattern = folder;
    if (pattern.Right(1) != "\\") pattern += "\\";
    pattern += "*.*";

    CFileFind finder;
    BOOL more = finder.FindFile(pattern);
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots()) continue;
        // Failures are skipped so that one locked file (a viewer holding
        // it open) does not keep the rest from going.
        if (finder.IsReparsePoint()) {
            RemoveLink(finder);
        } else if (finder.IsDirectory()) {
            DeleteFolderContents(finder.GetFilePath());
            ::RemoveDirectoryA(finder.GetFilePath());
        } else {
            ::DeleteFileA(finder.GetFilePath());
        }
    }
    finder.Close();
}
