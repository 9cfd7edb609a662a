// Colours and colour transforms.
//
// Rgba is straight (not premultiplied) colour as the file stores it. A
// colour transform multiplies by 8.8 fixed-point factors (256 = 1.0) and then
// adds -255..255 offsets, clamping each channel to 0..255.
#pragma once

#include <algorithm>
#include <cstdint>

namespace swf {

struct Rgba {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    uint8_t a = 255;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Rgba& o) const { return !(*this == o); }
};

struct ColorTransform {
    int16_t rMul = 256, gMul = 256, bMul = 256, aMul = 256;
    int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    bool IsIdentity() const {
        return rMul == 256 && gMul == 256 && bMul == 256 && aMul == 256 && rAdd == 0 &&
               gAdd == 0 && bAdd == 0 && aAdd == 0;
    }
    bool operator==(const ColorTransform& o) const {
        return rMul == o.rMul && gMul == o.gMul && bMul == o.bMul && aMul == o.aMul &&
               rAdd == o.rAdd && gAdd == o.gAdd && bAdd == o.bAdd && aAdd == o.aAdd;
    }

    Rgba Apply(Rgba c) const {
        auto ch = [](int v, int mul, int add) {
            return static_cast<uint8_t>(std::clamp(((v * mul) >> 8) + add, 0, 255));
        };
        return {ch(c.r, rMul, rAdd), ch(c.g, gMul, gAdd), ch(c.b, bMul, bAdd), ch(c.a, aMul, aAdd)};
    }

    // this applied after inner, as nested display objects compose.
    ColorTransform Concat(const ColorTransform& inner) const {
        auto mul = [](int o, int i) {
            return static_cast<int16_t>(std::clamp((o * i) >> 8, -32768, 32767));
        };
        auto add = [](int oMul, int iAdd, int oAdd) {
            return static_cast<int16_t>(std::clamp(((iAdd * oMul) >> 8) + oAdd, -32768, 32767));
        };
        ColorTransform t;
        t.rMul = mul(rMul, inner.rMul);
        t.gMul = mul(gMul, inner.gMul);
        t.bMul = mul(bMul, inner.bMul);
        t.aMul = mul(aMul, inner.aMul);
        t.rAdd = add(rMul, inner.rAdd, rAdd);
        t.gAdd = add(gMul, inner.gAdd, gAdd);
        t.bAdd = add(bMul, inner.bAdd, bAdd);
        t.aAdd = add(aMul, inner.aAdd, aAdd);
        return t;
    }
};

}  // namespace swf
