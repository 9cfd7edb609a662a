#include "swf/classes/LocalZone.h"

#include <cmath>
#include <ctime>

namespace swf {

int LocalOffsetMinutes(double utcMs) {
    if (!std::isfinite(utcMs)) return 0;
    // Outside what the system's tables know, use the zone at the edge.
    double secs = std::floor(utcMs / 1000);
    if (secs < -2147483648.0) secs = -2147483648.0;
    if (secs > 4102444800.0) secs = 4102444800.0;
    std::time_t t = static_cast<std::time_t>(secs);
    std::tm local{}, utc{};
    if (const std::tm* l = std::localtime(&t)) local = *l; else return 0;
    if (const std::tm* g = std::gmtime(&t)) utc = *g; else return 0;
    // Both read as local standard time: their difference is the zone's
    // whole offset, daylight saving included.
    local.tm_isdst = 0;
    utc.tm_isdst = 0;
    return static_cast<int>(std::difftime(std::mktime(&local), std::mktime(&utc)) / 60);
}

}  // namespace swf
