#include "tests/win/slider/SkinModel.h"

#include "app/res/resource.h"

namespace skin {

namespace {

constexpr int kMarginTop = 3;

Picture FromDC(HDC source, int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(source);
    HGDIOBJ old = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    const BYTE* p = static_cast<const BYTE*>(bits);
    for (int i = 0; i < width * height; ++i, p += 4) picture.pixels.push_back(RGB(p[2], p[1], p[0]));
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(dib);
    return picture;
}

}  // namespace

Picture LoadPicture(UINT id) {
    HBITMAP bitmap = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    BITMAP info = {};
    ::GetObjectA(bitmap, sizeof(info), &info);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    Picture picture = FromDC(dc, info.bmWidth, info.bmHeight);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(bitmap);
    return picture;
}

Picture CaptureClient(HWND hwnd, int width, int height) {
    HDC dc = ::GetDC(hwnd);
    Picture picture = FromDC(dc, width, height);
    ::ReleaseDC(hwnd, dc);
    return picture;
}

std::string FirstDifference(const Picture& shown, const Picture& expected) {
    if (shown.pixels.size() != expected.pixels.size()) return "sizes differ";
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (shown.At(x, y) != expected.At(x, y)) {
                char text[128];
                wsprintfA(text, "pixel (%d, %d): shown %06lX, expected %06lX", x, y,
                          static_cast<unsigned long>(shown.At(x, y)), static_cast<unsigned long>(expected.At(x, y)));
                return text;
            }
    return "same";
}

Skin::Skin()
    : track(LoadPicture(IDB_SEEK_TRACK)),
      trackActive(LoadPicture(IDB_SEEK_TRACK_ACTIVE)),
      thumb(LoadPicture(IDB_SEEK_THUMB)),
      thumbActive(LoadPicture(IDB_SEEK_THUMB_ACTIVE)) {}

Picture Skin::Compose(int centre, bool dragging, bool enabled) const {
    Picture out = track;
    if (!enabled) return out;
    const Picture& face = dragging ? thumbActive : thumb;
    int left = centre - face.width / 2;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            COLORREF colour = x < centre ? trackActive.At(x, y) : track.At(x, y);
            int tx = x - left, ty = y - kMarginTop;
            if (tx >= 0 && tx < face.width && ty >= 0 && ty < face.height && face.At(tx, ty) != kRed)
                colour = face.At(tx, ty);
            out.pixels[static_cast<size_t>(y) * out.width + x] = colour;
        }
    }
    return out;
}

}  // namespace skin
