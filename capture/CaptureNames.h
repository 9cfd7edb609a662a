// Names of capture files. Captures are numbered from 00 for each opened
// movie and written as "capture_%02d.bmp" in the capture folder: two digits
// at least, as many as needed beyond 99 (capture_100.bmp). Portable: the
// picker and the capture worker share these, and native tests check them.
#pragma once

#include "framework/String.h"

// "capture_07": the picker's list label, the file name without ".bmp".
CString CaptureLabel(int number);

// The way back from a label to its number: 7 for "capture_07"; -1 for any
// text CaptureLabel does not make.
int CaptureNumberOfLabel(const CString& label);

// "capture_07.bmp".
CString CaptureFileName(int number);

// folder + "\" + file name; the folder has no trailing backslash.
CString CaptureFilePath(const CString& folder, int number);

// folder + "\" + label + ".bmp", the way back from a list label to its file.
CString CapturePathFromLabel(const CString& folder, const CString& label);

// The main window's caption after a capture: "Captured: 03" from the
// string-table word and the count the capture advanced to.
CString CapturedCaption(const char* word, int count);

// The caption when capture `number` could not be written.
CString CaptureFailedCaption(int number);
