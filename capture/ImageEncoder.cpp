#include "capture/ImageEncoder.h"

#include <windows.h>

#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN

#include <gdiplus.h>

#include <cstdlib>
#include <cwchar>
#include <memory>

namespace {

constexpr int kNotFound = -1;

struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};

}  // namespace

// The list is asked for on every call: it is small, and GDI+ may gain
// codecs while the program runs.
int FindImageEncoder(const WCHAR* mime, CLSID* clsid) {
    using namespace Gdiplus;
    UINT count = 0;
    UINT size = 0;
    if (DllExports::GdipGetImageEncodersSize(&count, &size) != Ok || size == 0) return kNotFound;
    std::unique_ptr<void, FreeDeleter> block(std::malloc(size));
    if (!block) return kNotFound;
    ImageCodecInfo* codecs = static_cast<ImageCodecInfo*>(block.get());
    if (DllExports::GdipGetImageEncoders(count, size, codecs) != Ok) return kNotFound;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, mime) == 0) {
            *clsid = codecs[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return kNotFound;
}
