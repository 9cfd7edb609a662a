// The movie's clock for flash.utils.Timer and setTimeout/setInterval.
#pragma once

namespace swf::avm2 {

class Machine;

// One frame of movie time passed: timers due by then fire, earliest first.
void RunTimers(Machine& m);

}  // namespace swf::avm2
