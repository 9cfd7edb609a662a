// The movies moviegen writes. Each function builds one movie in memory;
// Main.cpp writes them into the output folder.
#pragma once

#include "tools/swfmake/SwfWriter.h"

namespace moviegen {

constexpr uint8_t kSwfVersion = 8;
constexpr int32_t kTwips = 20;  // per pixel

// "action.swf": the main window's 600 x 50 toolbar strip.
swfmake::SwfWriter ActionMovie();
// "sample.swf": the animated card shown in the README.
swfmake::SwfWriter SampleMovie();
// "photos.swf": photos, masks and a shape tween, 550 x 400, for the bench.
swfmake::SwfWriter PhotoMovie();
// "bitmap_seed.swf": every bitmap and morph tag once, small: a fuzzer seed.
swfmake::SwfWriter BitmapSeedMovie();
// "script_seed.swf": scripts calling clip methods, drawing, events and
// timers, small: a fuzzer seed.
swfmake::SwfWriter ScriptSeedMovie();
// "abc_seed.swf": an ActionScript 3 block that loops, calls, throws and
// catches, small: a fuzzer seed.
swfmake::SwfWriter AbcSeedMovie();
// "card3.swf": an ActionScript 3 card (TestMovies.h: Card3Facts).
swfmake::SwfWriter Card3Movie();
// "sound_seed.swf": every sound tag and codec once, short: a fuzzer seed.
swfmake::SwfWriter SoundSeedMovie();
// "stage550x400.swf" (and its compressed twin): a plain 550 x 400 movie.
swfmake::SwfWriter StageMovie(int widthPx, int heightPx);
// "pattern.swf": quadrants and a centred square, for pixel tests.
swfmake::SwfWriter PatternMovie();
// "frames100.swf": 100 frames, frame n shows a bar n * 5 pixels long.
swfmake::SwfWriter Frames100Movie();
// text.swf (TestMovies.h: TextFieldFacts).
swfmake::SwfWriter TextFieldMovie();

}  // namespace moviegen
