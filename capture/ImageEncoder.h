// Finding a GDI+ encoder by MIME type ("image/bmp", "image/jpeg", "image/png").
#pragma once

#include <windows.h>

// The index of the first encoder GDI+ lists for `mime` (compared exactly,
// case-sensitive) and its class id in *clsid; -1 when none matches or the
// list cannot be had, and *clsid is then left as it was.
int FindImageEncoder(const WCHAR* mime, CLSID* clsid);
