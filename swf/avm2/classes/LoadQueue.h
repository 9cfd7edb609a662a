// What Loader, URLLoader and URLStream share: a queue of objects waiting
// for their files, the reader of files beside the movie, and the events
// loads send.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/Loading.h"

namespace swf::avm2 {

// A dispatcher that loads: Finish runs between frames with what was read.
class LoadingObject : public DispatcherObject {
public:
    LoadingObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    std::string name;             // as the request gave it
    std::vector<uint8_t> given;   // loadBytes: the bytes themselves
    bool fromBytes = false;
    uint32_t ticket = 0;          // bumped by close/unload: a queued load is dropped
    uint32_t queuedTicket = 0;
    int framesToWait = 0;         // queued loads passed over before this one finishes
    double bytesLoaded = 0, bytesTotal = 0;
    // `read`: the file was found (always for loadBytes).
    virtual void Finish(Machine& m, bool read, std::vector<uint8_t>& bytes) = 0;
};

// Puts `obj` in the queue for the next RunLoads, which comes at the end of
// the frame; an earlier queued load of it is dropped. A Loader's given
// bytes (`late`) wait for the end of the frame after, unless loads are
// finishing now.
void Enqueue(Machine& m, LoadingObject* obj, bool late = false);
// The URL of the movie itself; empty when the host gave none.
std::string MovieUrl(Machine& m);
// Counts the loads of given bytes, which name their content by number.
uint32_t NextBytesId(Machine& m);
// The file a URL beside the movie names: its query, "./" and the movie's
// own folder left out.
std::string FileOf(Machine& m, const std::string& url);
// The absolute URL of `name` beside the movie ("file:///dir/name").
std::string UrlBeside(Machine& m, const std::string& name);
// Sends a plain Event, a ProgressEvent, an IOErrorEvent or an
// HTTPStatusEvent to `target` alone.
void SendEvent(Machine& m, DispatcherObject* target, const char* type);
void SendProgress(Machine& m, DispatcherObject* target, double loaded, double total);
void SendIoError(Machine& m, DispatcherObject* target, int id, const std::string& text);
void SendHttpStatus(Machine& m, DispatcherObject* target);
// The request's url, or TypeError #2007 for a null request.
std::string RequestUrl(Machine& m, const Value& request);
void InstallUrlLoaders(Machine& m);

}  // namespace swf::avm2
