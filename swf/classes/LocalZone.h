// The host's local time zone, as both script machines' Date sees it.
#pragma once

namespace swf {

// Minutes the local zone is ahead of UTC at UTC time `utcMs` (daylight
// saving included); 0 when the system cannot tell.
int LocalOffsetMinutes(double utcMs);

}  // namespace swf
