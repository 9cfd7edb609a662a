// Hosts without FreeType (the Windows builds of the tools): no system
// fonts; the Win32 player installs its own GDI provider instead.
#include "tools/fonts/SystemFonts.h"

namespace hostfonts {

std::shared_ptr<swf::FontProvider> SystemFontProvider() { return nullptr; }

}  // namespace hostfonts
