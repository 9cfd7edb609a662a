// Loading files beside the movie from ActionScript 3: Loader and LoaderInfo,
// URLLoader and URLStream. Loads asked for while scripts run are read
// between frames, each sending its events in one go.
#pragma once

#include <string>

#include "swf/avm2/classes/Builtins.h"
#include "swf/host/FileReader.h"
#include "swf/model/Bitmap.h"

namespace swf::avm2 {

// The movie's URL and the reader of the files beside it; without one every
// load fails with an ioError.
void SetLoadSource(Machine& m, std::string movieUrl, FileReader files);
// Finishes the loads asked for since the last call, and those their
// listeners ask for while it runs (a bounded number).
void RunLoads(Machine& m);
void InstallLoaders(Machine& m);
// A BitmapData holding `pixels` (premultiplied, as decoded); null when it
// cannot be made.
Value NewBitmapDataOf(Machine& m, const Bitmap& pixels);

}  // namespace swf::avm2
