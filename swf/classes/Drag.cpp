#include "swf/classes/Drag.h"

#include <algorithm>

namespace swf {

void Drag::Start(uint32_t clipSerial, GeomPoint clipPos, GeomPoint pointer, bool lockCenter,
                 std::optional<GeomRect> limits) {
    active_ = true;
    serial_ = clipSerial;
    offset_ = lockCenter ? GeomPoint{} : GeomPoint{clipPos.x - pointer.x, clipPos.y - pointer.y};
    limits_.reset();
    if (limits) {
        // Stored normalised: x..x+width with a width of at least 0.
        const double l = std::min(limits->x, limits->Right()), r = std::max(limits->x, limits->Right());
        const double t = std::min(limits->y, limits->Bottom()), b = std::max(limits->y, limits->Bottom());
        limits_ = GeomRect{l, t, r - l, b - t};
    }
}

GeomPoint Drag::Follow(GeomPoint pointer) const {
    GeomPoint p{pointer.x + offset_.x, pointer.y + offset_.y};
    if (limits_) {
        p.x = std::clamp(p.x, limits_->x, limits_->Right());
        p.y = std::clamp(p.y, limits_->y, limits_->Bottom());
    }
    return p;
}

}  // namespace swf
