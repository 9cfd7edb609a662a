// The player control's window class and its dispatch members.
#pragma once

#include "framework/Dispatch.h"

constexpr const char* kPlayerClassName = "PictaroPlayer";

constexpr DISPID kDispIdMovie = 0x66;
constexpr DISPID kDispIdQuality = 0x69;  // long (player/PlayerQuality.h)
constexpr DISPID kDispIdFrameNum = 0x6B;
constexpr DISPID kDispIdPlay = 0x70;
constexpr DISPID kDispIdStop = 0x71;
constexpr DISPID kDispIdScaleMode = 0x78;
constexpr DISPID kDispIdAlignMode = 0x79;
constexpr DISPID kDispIdTotalFrames = 0x7C;
constexpr DISPID kDispIdPlaying = 0x7D;  // long: 1 while the movie plays
constexpr DISPID kDispIdQuality2 = 0x8D;  // string
constexpr DISPID kDispIdLoadMovie = 0x8E;
// Ours: bool, the movie's sound off (it still paces the movie).
constexpr DISPID kDispIdMuted = 0x200;
// Event: a movie's FSCommand (command, arguments).
constexpr DISPID kDispIdFsCommand = 150;

// Registers the window class; shows and returns FALSE on failure.
BOOL RegisterPlayerControlClass();
