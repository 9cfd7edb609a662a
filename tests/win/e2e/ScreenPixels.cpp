#include "tests/win/e2e/ScreenPixels.h"

#include <objidl.h>  // gdiplus.h needs it under WIN32_LEAN_AND_MEAN

#include <gdiplus.h>

#include <memory>
#include <set>

namespace e2e {

namespace {

using namespace Gdiplus;

constexpr int kSampleGrid = 16;  // samples per side when counting colours
constexpr uint32_t kRgbMask = 0x00FFFFFF;
constexpr WORD kBitsPerPixel = 32;

struct ScreenDc {
    HDC dc = ::GetDC(nullptr);
    ~ScreenDc() {
        if (dc) ::ReleaseDC(nullptr, dc);
    }
};
struct MemoryDc {
    HDC dc;
    explicit MemoryDc(HDC like) : dc(::CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc) ::DeleteDC(dc);
    }
};
struct Selected {
    HDC dc;
    HGDIOBJ old;
    Selected(HDC d, HGDIOBJ object) : dc(d), old(::SelectObject(d, object)) {}
    ~Selected() {
        if (old) ::SelectObject(dc, old);
    }
};
struct GdiObject {
    HGDIOBJ handle;
    ~GdiObject() {
        if (handle) ::DeleteObject(handle);
    }
};
struct ImageDeleter {
    void operator()(GpImage* image) const { DllExports::GdipDisposeImage(image); }
};

}  // namespace

bool GrabScreen(HWND window, Pixels* out) {
    RECT rect;
    if (!::GetWindowRect(window, &rect)) return false;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    ScreenDc screen;
    if (!screen.dc) return false;
    MemoryDc memory(screen.dc);
    if (!memory.dc) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject bitmap{::CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)};
    if (!bitmap.handle || !bits) return false;
    Selected selected(memory.dc, bitmap.handle);
    if (!::BitBlt(memory.dc, 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY)) return false;
    ::GdiFlush();
    const uint32_t* rows = static_cast<const uint32_t*>(bits);
    out->width = width;
    out->height = height;
    out->rgb.assign(rows, rows + static_cast<size_t>(width) * height);
    for (uint32_t& pixel : out->rgb) pixel &= kRgbMask;
    return true;
}

int CountDifferentFromRow(const Pixels& pixels, const RECT& area, int referenceX) {
    int different = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (pixels.At(x, y) != pixels.At(referenceX, y)) ++different;
    return different;
}

ImageFile ReadImageFile(const std::string& path) {
    ImageFile file;
    std::wstring wide(path.begin(), path.end());  // test paths are ASCII
    GpBitmap* loaded = nullptr;
    if (DllExports::GdipCreateBitmapFromFile(wide.c_str(), &loaded) != Ok || !loaded) return file;
    std::unique_ptr<GpImage, ImageDeleter> image(loaded);
    if (DllExports::GdipGetImageWidth(image.get(), &file.width) != Ok ||
        DllExports::GdipGetImageHeight(image.get(), &file.height) != Ok ||
        DllExports::GdipGetImageRawFormat(image.get(), &file.format) != Ok || file.width == 0 || file.height == 0)
        return file;
    std::set<ARGB> colours;
    for (int gy = 0; gy < kSampleGrid; ++gy) {
        for (int gx = 0; gx < kSampleGrid; ++gx) {
            ARGB colour = 0;
            INT x = static_cast<INT>(file.width * gx / kSampleGrid);
            INT y = static_cast<INT>(file.height * gy / kSampleGrid);
            if (DllExports::GdipBitmapGetPixel(loaded, x, y, &colour) != Ok) return file;
            file.samples.push_back(colour);
            colours.insert(colour);
        }
    }
    file.distinctSampled = static_cast<int>(colours.size());
    file.decoded = true;
    return file;
}

std::string FileHead(const std::string& path, size_t count) {
    std::string head(count, '\0');
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    DWORD read = 0;
    BOOL ok = ::ReadFile(file, &head[0], static_cast<DWORD>(count), &read, nullptr);
    ::CloseHandle(file);
    head.resize(ok ? read : 0);
    return head;
}

}  // namespace e2e
