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
void InstallLoaderContexts(Machine& m);

// What the movie itself tells its scripts through the LoaderInfo its root
// and the stage share the facts of.
struct MovieFacts {
    double bytes = 0;  // the file's length as stored
    int swfVersion = 0;
    double frameRate = 0;
    int width = 0, height = 0;  // the stage, pixels
};
void SetMovieFacts(Machine& m, const MovieFacts& facts);
// The LoaderInfo of the file `displayObject` came from: the movie's for
// what is under the root (and the stage's own for the stage), a Loader's
// for what it loaded; null for objects on no display list.
Value LoaderInfoOf(Machine& m, const Value& displayObject);
// The root of the loaded movie `serial` is in (itself included); 0: none.
uint32_t LoadedRootAbove(Machine& m, uint32_t serial);
// A BitmapData holding `pixels` (premultiplied, as decoded); null when it
// cannot be made.
Value NewBitmapDataOf(Machine& m, const Bitmap& pixels);

}  // namespace swf::avm2
