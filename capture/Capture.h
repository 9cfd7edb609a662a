// Capturing a frame: a worker thread per capture copies the player's frame
// into the next numbered BMP of the capture folder and shows the count in
// the caption of the window that asked.
#pragma once

#include <windows.h>

#include "framework/String.h"

// What a capture works on, handed over by the window that starts it. The
// windows and the count must outlive the worker: the window waits for its
// workers before it goes (AfxWaitForWorkerThreads).
struct CaptureTarget {
    HWND window = nullptr;  // topmost during the copy; its caption shows the count
    HWND player = nullptr;  // the frame is its client area
    CString folder;         // the capture folder, no trailing backslash
    // Captures so far, the next file's number; advanced once per capture,
    // failed ones too, so that no number is given twice.
    volatile LONG* count = nullptr;
    CString capturedWord;   // the caption's first word, "Captured"
};

namespace Gdiplus {
class GpImage;
}

// Starts one capture on a worker thread of its own.
void StartCapture(const CaptureTarget& target);

// The worker: `param` is a CaptureTarget made with new; it is deleted here.
UINT __cdecl CaptureThreadProc(LPVOID param);

// Writes a capture file with the BMP encoder; false when nothing complete
// was written.
bool SaveCaptureFile(Gdiplus::GpImage* picture, const CString& path);
