// System fonts as the engine sees them: the host opens a family by name and
// style and hands out glyph outlines, advances and metrics, so text in
// system fonts is drawn by the same rasteriser as everything else.
//
// Units: outlines, advances and metrics are in the font's em units
// (Metrics().emSquare per em), y pointing down, baseline at y = 0. An
// outline is one layer whose ink is fill 1 (nonzero winding, either
// direction per contour as long as fill0/fill1 say which side is ink).
// Hosts: FreeType natively (hostfonts/), GDI in the Windows player.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "swf/model/Shape.h"

namespace swf {

struct DeviceFontMetrics {
    int32_t emSquare = 1024;
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t leading = 0;
};

struct DeviceGlyph {
    Shape outline;
    int32_t advance = 0;
};

class DeviceFont {
public:
    virtual ~DeviceFont() = default;
    virtual DeviceFontMetrics Metrics() const = 0;
    // False when the font has no glyph for `code`.
    virtual bool LoadGlyph(char32_t code, DeviceGlyph* out) = 0;
    virtual int32_t Kerning(char32_t left, char32_t right) {
        (void)left;
        (void)right;
        return 0;
    }
};

// The families "_sans", "_serif" and "_typewriter" name the system's
// sans-serif, serif and monospace faces. Open returns null for a family
// the system lacks; the engine then falls back to "_sans".
class FontProvider {
public:
    virtual ~FontProvider() = default;
    virtual std::unique_ptr<DeviceFont> Open(const std::string& family, bool bold, bool italic) = 0;
};

}  // namespace swf
