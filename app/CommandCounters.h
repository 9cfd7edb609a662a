// How often the main window has asked for each command that another part of
// the program carries out. The window's tests read these to see that a key,
// a menu item or a toolbar event reached the command, whatever the command
// itself then does.
#pragma once

enum class MainCommand { Open, Capture, Picker, kCount };

void CountCommand(MainCommand command);
int CommandCount(MainCommand command);
