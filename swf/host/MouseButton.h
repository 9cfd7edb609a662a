// Which mouse button a press or release came from. Only the left one
// presses buttons and fields; the others still move the pointer.
#pragma once

#include <cstdint>

namespace swf {

enum class MouseButton : uint8_t { Left, Right, Middle };

}  // namespace swf
