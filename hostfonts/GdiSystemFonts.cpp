// The Windows builds of the tools draw device text as the player control
// does: glyph outlines through GDI.
#include "hostfonts/GdiFontProvider.h"
#include "hostfonts/SystemFonts.h"

namespace hostfonts {

std::shared_ptr<swf::FontProvider> SystemFontProvider() { return std::make_shared<GdiFontProvider>(); }

}  // namespace hostfonts
