// The picker's decisions that need no window: which encoder a chosen file
// name gets, Paint's command line, the text of the registry value and the
// wording of failed saves.
#pragma once

#include "framework/String.h"

enum class SaveKind {
    Copy,  // "bmp": the capture file itself, unchanged
    Jpeg,  // "jpg": asks for the quality first
    Png,
    Bmp,   // any other extension: BMP-encoded under the chosen name
};

// Case-insensitive, as typed in the Save As dialog.
SaveKind SaveKindForExtension(const CString& extension);
// The encoder's MIME type for an encoded save ("image/bmp" for Copy too).
const wchar_t* MimeTypeForSaveKind(SaveKind kind);

// Replaces every exact "%SystemRoot%" (case-sensitive) with windowsDir.
CString ExpandSystemRoot(const CString& programPath, const CString& windowsDir);
// Whether "%NAME%" is left in the path: such a program is not started,
// since only "%SystemRoot%" is ours to expand (some shells would expand
// the rest on their own, others fail on it).
bool HasUnexpandedVariable(const CString& path);
// One argument in double quotes, so paths with spaces stay one argument.
CString QuoteArgument(const CString& path);

// The value as text: never reads past `size` bytes, stops at the first NUL,
// and trims white space at both ends.
CString RegistryText(const char* buffer, unsigned long size);

// What the user reads after a save in which some pictures were not written.
// `reason` may be empty; otherwise it ends the text on its own line.
CString SaveFailureText(int failed, int total, const CString& where, const CString& reason);
