// The runtime objects scripts share with the player: Key, Mouse and Stage
// (broadcasters), System, Sound and SharedObject. The player feeds input
// into RuntimeState and asks Broadcast to tell the listeners; the order of
// events against clip handlers is the player's business.
#pragma once

#include <string>
#include <vector>

#include "swf/avm1/Vm.h"
#include "swf/classes/KeyState.h"

namespace swf::avm1 {

// How the movie is shown, as Stage reads and sets it. Modes and align
// flags are the player's values (swf/Player.h: ScaleMode, AlignFlags).
struct StageView {
    int hostScaleMode = 0, hostAlign = 0;  // what the host set
    int scriptScaleMode = -1, scriptAlign = -1;  // what scripts set; -1: none
    int width = 0, height = 0;  // the view in pixels
    int ScaleMode() const { return scriptScaleMode >= 0 ? scriptScaleMode : hostScaleMode; }
    int Align() const { return scriptAlign >= 0 ? scriptAlign : hostAlign; }
};

struct RuntimeState {
    KeyState keys;
    bool mouseHidden = false;
    StageView stage;
};

// Calls `event` on every listener of the global object `source` ("Key",
// "Mouse", "Stage") with `args`, over a copy of the list so listeners may
// add or remove themselves.
void Broadcast(Vm& vm, const std::string& source, const std::string& event, const std::vector<Value>& args = {});

// Makes `o` a broadcaster: addListener, removeListener, broadcastMessage and
// an empty _listeners array, all hidden.
void MakeBroadcaster(Vm& vm, Object* o);

// Installers, one per file.
void InstallBroadcasterKeyMouse(Vm& vm);  // BuiltinInput.cpp
void InstallStageAndSystem(Vm& vm);       // BuiltinStage.cpp
void InstallSoundAndSharedObject(Vm& vm);  // BuiltinSound.cpp

}  // namespace swf::avm1
