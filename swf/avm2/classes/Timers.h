// What the player tells the data classes about the movie: its clock for
// flash.utils.Timer and setTimeout/setInterval, and its version.
#pragma once

namespace swf::avm2 {

class Machine;

// One frame of movie time passed: timers due by then fire, earliest first.
void RunTimers(Machine& m);
// Hides the definitions the movie's version of the player does not have.
void ApplySwfVersion(Machine& m);

}  // namespace swf::avm2
