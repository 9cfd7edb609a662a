// The system's fonts for the engine's text, as hosts outside the Win32
// player install them (swfshot, tests, benchmarks): FreeType outlines of the
// faces fontconfig picks; on Windows, GDI's outlines as the player has
// them. "_sans", "_serif" and "_typewriter" map to Arial, Times New Roman
// and Courier New or the faces the system substitutes for them; any other
// family must be installed under that name, or Open returns null and the
// engine falls back to "_sans".
#pragma once

#include <memory>

#include "swf/host/DeviceFont.h"
#include "swf/model/Font.h"

namespace hostfonts {

// Null when the font system cannot start (or on hosts without one).
std::shared_ptr<swf::FontProvider> SystemFontProvider();

}  // namespace hostfonts
