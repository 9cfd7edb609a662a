// Finding GDI+ encoders by MIME type, with the real GDI+ the test program
// started.
#include <gtest/gtest.h>

#include <windows.h>

#include "capture/ImageEncoder.h"

namespace {

// The class ids GDI+ gives its built-in encoders.
const CLSID kBmpEncoder = {0x557CF400, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID kJpegEncoder = {0x557CF401, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
const CLSID kUntouched = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

TEST(ImageEncoderTest, TheThreeFormatsWeSaveAreFoundWithTheirClassIds) {
    struct Case {
        const WCHAR* mime;
        CLSID expected;
    };
    for (const Case& c : {Case{L"image/bmp", kBmpEncoder}, Case{L"image/jpeg", kJpegEncoder},
                          Case{L"image/png", kPngEncoder}}) {
        CLSID found = kUntouched;
        EXPECT_GE(FindImageEncoder(c.mime, &found), 0);
        EXPECT_TRUE(IsEqualCLSID(found, c.expected));
    }
}

TEST(ImageEncoderTest, NoMatchLeavesTheClassIdAsItWas) {
    for (const WCHAR* mime : {L"IMAGE/BMP", L"image/bmp ", L"image/x-none", L""}) {
        CLSID clsid = kUntouched;
        EXPECT_EQ(FindImageEncoder(mime, &clsid), -1);
        EXPECT_TRUE(IsEqualCLSID(clsid, kUntouched));
    }
}

}  // namespace
