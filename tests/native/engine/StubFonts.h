// A stub system font for text tests: every character but the space and
// '#' (which no font has) is a box 400 wide from the baseline up to the
// ascent; em 1000, advance 500, ascent 800, descent 200. Only "_sans"
// exists.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "swf/host/DeviceFont.h"
#include "tools/swfmake/ShapeBuilder.h"

namespace enginetest {

class StubFont : public swf::DeviceFont {
public:
    swf::DeviceFontMetrics Metrics() const override { return {1000, 800, 200, 0}; }
    bool LoadGlyph(char32_t code, swf::DeviceGlyph* out) override {
        if (code == U'#') return false;  // a character no font has
        out->advance = 500;
        if (code != U' ') {
            swfmake::ShapeBuilder b;
            b.FillRect({0, 400, -800, 0}, b.AddSolidFill({0, 0, 0, 255}));
            out->outline = b.Build();
        }
        ++loads;
        return true;
    }
    int loads = 0;
};

class StubProvider : public swf::FontProvider {
public:
    std::unique_ptr<swf::DeviceFont> Open(const std::string& family, bool, bool) override {
        requests.push_back(family);
        if (family != "_sans") return nullptr;
        return std::make_unique<StubFont>();
    }
    std::vector<std::string> requests;
};

}  // namespace enginetest
