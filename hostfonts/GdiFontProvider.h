// The system's fonts for the engine's text through GDI: glyph outlines from
// GetGlyphOutline in the font's design units, so the engine draws them with
// its own rasteriser like embedded glyphs. "_sans", "_serif" and
// "_typewriter" map to Arial, Times New Roman and Courier New (or whatever
// the font mapper puts in their place); any other family must be installed
// under that name, or Open returns null and the engine uses "_sans".
#pragma once

#include <memory>
#include <string>

#include "swf/host/DeviceFont.h"

class GdiFontProvider : public swf::FontProvider {
public:
    std::unique_ptr<swf::DeviceFont> Open(const std::string& family, bool bold, bool italic) override;
};
