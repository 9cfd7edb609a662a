// Capturing a frame: a worker thread per capture copies the player window's
// pixels into the next numbered BMP of the capture folder and shows the
// count in the main window's caption. Started by CMainDialog::StartCapture.
#pragma once

#include <windows.h>

// The worker: one capture, then the thread ends. The parameter is unused;
// the main window is found through the application object.
UINT __cdecl CaptureThreadProc(LPVOID param);
