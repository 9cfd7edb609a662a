// startDrag's arithmetic: where the dragged clip goes for a pointer
// position, both in the clip's parent space (pixels). One clip is dragged
// at a time; a new startDrag replaces the old one.
#pragma once

#include <cstdint>
#include <optional>

#include "swf/classes/Geom.h"

namespace swf {

class Drag {
public:
    // `lockCenter`: the clip's origin sits under the pointer; otherwise it
    // keeps its distance from where the pointer was at the start. The
    // limits may come in any order.
    void Start(uint32_t clipSerial, GeomPoint clipPos, GeomPoint pointer, bool lockCenter,
               std::optional<GeomRect> limits);
    void Stop() { active_ = false; }
    bool Active() const { return active_; }
    uint32_t Clip() const { return serial_; }
    // Where the clip goes for the pointer at `pointer`.
    GeomPoint Follow(GeomPoint pointer) const;

private:
    bool active_ = false;
    uint32_t serial_ = 0;
    GeomPoint offset_;
    std::optional<GeomRect> limits_;
};

}  // namespace swf
