// Owners for the GDI+ flat API's objects, so every early return releases
// what was made before it. GDI handles have theirs in DC.h and Bitmap.h.
#pragma once

#include <windows.h>

#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN

#include <gdiplus.h>

#include <memory>

namespace gdip {

using namespace Gdiplus;

template <typename T, GpStatus(WINGDIPAPI* Release)(T*)>
struct Releaser {
    void operator()(T* object) const {
        if (object) Release(object);
    }
};

using ImagePtr = std::unique_ptr<GpImage, Releaser<GpImage, DllExports::GdipDisposeImage>>;
using GraphicsPtr = std::unique_ptr<GpGraphics, Releaser<GpGraphics, DllExports::GdipDeleteGraphics>>;
using PenPtr = std::unique_ptr<GpPen, Releaser<GpPen, DllExports::GdipDeletePen>>;
using FontPtr = std::unique_ptr<GpFont, Releaser<GpFont, DllExports::GdipDeleteFont>>;
using FontFamilyPtr = std::unique_ptr<GpFontFamily, Releaser<GpFontFamily, DllExports::GdipDeleteFontFamily>>;
using StringFormatPtr = std::unique_ptr<GpStringFormat, Releaser<GpStringFormat, DllExports::GdipDeleteStringFormat>>;
using BrushPtr = std::unique_ptr<GpBrush, Releaser<GpBrush, DllExports::GdipDeleteBrush>>;

// "GDI+ status 7 (Win32Error)" and the like, for messages.
inline const char* StatusName(GpStatus status) {
    switch (status) {
    case Ok: return "Ok";
    case GenericError: return "GenericError";
    case InvalidParameter: return "InvalidParameter";
    case OutOfMemory: return "OutOfMemory";
    case Win32Error: return "Win32Error";
    case FileNotFound: return "FileNotFound";
    case AccessDenied: return "AccessDenied";
    case UnknownImageFormat: return "UnknownImageFormat";
    case FontFamilyNotFound: return "FontFamilyNotFound";
    default: return "error";
    }
}

}  // namespace gdip
