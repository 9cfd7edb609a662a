// The capture folder: numbered BMP captures under the temporary directory
// (names in capture/CaptureNames.h). The main window creates it and empties
// it when it closes; the folder itself stays for the next run.
#pragma once

#include "framework/String.h"

// Deletes every file and sub-folder inside `folder`; the folder stays.
// Links inside it (junctions, symbolic links) are removed as links, never
// followed. A path under 7 characters (a drive root, a stray "C:\") is left
// alone. Failures are skipped: what cannot be deleted stays.
void DeleteFolderContents(CString folder);
