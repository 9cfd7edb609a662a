// flash.display.Loader and LoaderInfo. A Loader reads a picture beside the
// movie (or given as bytes) between frames and shows it as a Bitmap child;
// its LoaderInfo hears open, progress (nothing, then everything), init,
// httpStatus and complete, or ioError for a missing or unknown file. What
// describes a movie is refused with #2099 until it has loaded.
#include <unordered_map>

#include "swf/avm2/classes/ByteArray.h"
#include "swf/avm2/classes/DataState.h"
#include "swf/avm2/classes/LoadQueue.h"
#include "swf/decode/ImageDecode.h"
#include "swf/read/MovieReader.h"

namespace swf::avm2 {

namespace {

constexpr size_t kMaxPictureBytes = size_t(ImageLimits::kMaxPixels) * 4;

class LoaderInfoObject : public LoadingObject {
public:
    LoaderInfoObject(ClassObject* cls, Object* proto) : LoadingObject(cls, proto) {}
    Value loader = Value::Null(), content = Value::Null(), bytes = Value::Null();
    Value parameters = Value::Null(), sharedEvents = Value::Null();
    std::string url, contentType;  // empty: null
    std::string loaderUrl;         // of the movie holding the Loader; empty: the host movie's
    bool loaded = false;           // init was sent: the movie's facts are known
    bool movie = false;            // what loaded is a movie, with its own facts
    bool ofRoot = false;           // the movie's own: its content is the root
    uint32_t rootSerial = 0;       // the loaded movie's root
    double width = 0, height = 0, frameRate = 0;
    int swfVersion = 0;
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        t.Mark(loader);
        t.Mark(content);
        t.Mark(bytes);
        t.Mark(parameters);
        t.Mark(sharedEvents);
    }
    void Finish(Machine& m, bool read, std::vector<uint8_t>& data) override;
    // The URL of the movie the Loader is in: a loaded movie's, else the host's.
    std::string HostUrl(Machine& m);
    // The file has come: its progress is heard; false when a listener
    // began another load.
    bool Arrive(Machine& m, const std::vector<uint8_t>& data);
    void FinishMovie(Machine& m, const std::vector<uint8_t>& data, const std::string& shownUrl);
    // The content is shown: it joins the Loader, then init, httpStatus and
    // complete are heard; false when a listener began another load.
    void Shown(Machine& m, uint32_t mine);
};

class LoaderObject : public DispatcherObject {
public:
    LoaderObject(ClassObject* cls, Object* proto) : DispatcherObject(cls, proto) {}
    Value info = Value::Null();
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        t.Mark(info);
    }
};

// The movie's own LoaderInfo objects and the facts they give, per machine.
class MovieInfoObject : public Object {
public:
    MovieInfoObject() : Object(ObjKind::Plain, nullptr, nullptr) {}
    MovieFacts facts;
    Value root = Value::Null(), stage = Value::Null();
    // The roots of movies Loaders loaded, by serial, to their LoaderInfo:
    // theirs wherever they are moved, and while they are being built.
    std::unordered_map<uint32_t, Value> loadedRoots;
    void Trace(Tracer& t) override {
        Object::Trace(t);
        t.Mark(root);
        t.Mark(stage);
        for (auto& [serial, info] : loadedRoots) t.Mark(info);
    }
};

MovieInfoObject& MovieInfo(Machine& m) {
    auto& one = DataState(m).singletons;
    ClassObject* key = m.FindClass("flash.display.LoaderInfo");
    auto it = one.find(key);
    if (it != one.end()) return *static_cast<MovieInfoObject*>(it->second.o);
    auto* s = m.New<MovieInfoObject>();
    one[key] = Value::Obj(s);
    return *s;
}

Object* AllocInfo(Machine& m, ClassObject* cls) { return m.New<LoaderInfoObject>(cls, cls->prototype); }

Object* AllocLoader(Machine& m, ClassObject* cls) {
    auto* l = m.New<LoaderObject>(cls, cls->prototype);
    AttachEngineObject(m, l);
    return l;
}

LoaderInfoObject* Info(Machine& m, const Value& v) {
    auto* i = v.IsObject() ? dynamic_cast<LoaderInfoObject*>(v.o) : nullptr;
    if (!i) m.NullError(Value::Null());
    return i;
}

LoaderObject* Self(Machine& m, const Value& v) {
    auto* l = v.IsObject() ? dynamic_cast<LoaderObject*>(v.o) : nullptr;
    if (!l) m.NullError(Value::Null());
    return l;
}

Value StrOrNull(Machine& m, const std::string& s) { return s.empty() ? Value::Null() : Value::Str(m.Str(s)); }

[[noreturn]] void NotLoaded(Machine& m) {
    m.Throw(m.errorClass, 2099, "The loading object is not sufficiently loaded to provide this information.");
}

const char* PictureType(ImageFormat f) {
    switch (f) {
    case ImageFormat::Jpeg: return "image/jpeg";
    case ImageFormat::Png: return "image/png";
    case ImageFormat::Gif: return "image/gif";
    case ImageFormat::Unknown: break;
    }
    return "";
}

bool Decode(ImageFormat f, const std::vector<uint8_t>& data, Bitmap& out) {
    std::string error;
    switch (f) {
    case ImageFormat::Jpeg: return DecodeJpeg(data.data(), data.size(), kMaxPictureBytes, out, error);
    case ImageFormat::Png: return DecodePng(data.data(), data.size(), kMaxPictureBytes, out, error);
    case ImageFormat::Gif: return DecodeGif(data.data(), data.size(), kMaxPictureBytes, out, error);
    case ImageFormat::Unknown: break;
    }
    return false;
}

bool IsMovie(const std::vector<uint8_t>& b) {
    return b.size() >= 8 && b[1] == 'W' && b[2] == 'S' && (b[0] == 'F' || b[0] == 'C' || b[0] == 'Z');
}

// %XX escapes read as bytes, '+' as a space.
std::string Unescape(const std::string& s) {
    auto hex = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') out += ' ';
        else if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out += char(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else out += s[i];
    }
    return out;
}

// The name=value pairs of the URL's query, once the file has come.
void SetQueryParameters(Machine& m, LoaderInfoObject* i) {
    const size_t q = i->name.find('?');
    if (q == std::string::npos || !i->parameters.IsObject()) return;
    std::string query = i->name.substr(q + 1, i->name.find('#', q) - q - 1);
    size_t at = 0;
    while (at <= query.size()) {
        size_t end = std::min(query.find('&', at), query.size());
        std::string pair = query.substr(at, end - at);
        if (!pair.empty()) {
            size_t eq = pair.find('=');
            std::string key = Unescape(pair.substr(0, eq));
            std::string value = eq == std::string::npos ? std::string() : Unescape(pair.substr(eq + 1));
            m.SetProperty(i->parameters, m.PublicName(key), Value::Str(m.Str(value)));
        }
        at = end + 1;
    }
}

// Takes what the LoaderInfo describes back to before any load.
void Clear(Machine& m, LoaderInfoObject* i) {
    ++i->ticket;
    if (i->rootSerial) MovieInfo(m).loadedRoots.erase(i->rootSerial);
    i->rootSerial = 0;
    i->content = Value::Null();
    i->bytes = Value::Null();
    i->url.clear();
    i->loaderUrl.clear();
    i->contentType.clear();
    i->loaded = i->movie = false;
    i->bytesLoaded = i->bytesTotal = 0;
    i->width = i->height = i->frameRate = 0;
    i->swfVersion = 0;
    i->parameters = Value::Obj(m.NewObject());
}

// The content leaves the Loader; "unload" is heard when there was some.
void Unload(Machine& m, LoaderObject* l) {
    LoaderInfoObject* i = Info(m, l->info);
    Value content = i->content;
    bool had = i->loaded;
    DispatcherObject* c = AsDisplay(m, content);
    if (c && c->serial && m.display && l->serial) m.display->RemoveChild(l->serial, c->serial);
    Clear(m, i);
    if (had) SendEvent(m, i, "unload");
}

std::string LoaderInfoObject::HostUrl(Machine& m) {
    Value above = LoaderInfoOf(m, loader);
    auto* i = above.IsObject() ? dynamic_cast<LoaderInfoObject*>(above.o) : nullptr;
    return i && i != this && i->loaded && !i->ofRoot ? i->url : MovieUrl(m);
}

bool LoaderInfoObject::Arrive(Machine& m, const std::vector<uint8_t>& data) {
    const uint32_t mine = ticket;
    bytesTotal = double(data.size());
    SendProgress(m, this, 0, bytesTotal);
    if (ticket != mine) return false;
    bytesLoaded = bytesTotal;
    const bool movie = IsMovie(data);
    if (movie || SniffImage(data.data(), data.size()) != ImageFormat::Unknown) {
        if (ByteArrayObject* b = AsByteArray(bytes)) b->bytes = movie ? ExpandMovie(data) : data;
    }
    SetQueryParameters(m, this);
    SendProgress(m, this, bytesLoaded, bytesTotal);
    return ticket == mine;
}

void LoaderInfoObject::Finish(Machine& m, bool read, std::vector<uint8_t>& data) {
    const std::string full = fromBytes ? std::string() : UrlBeside(m, name);
    if (!read) {
        SendIoError(m, this, 2035, "Error #2035: URL Not Found. URL: " + full);
        return;
    }
    const uint32_t mine = ticket;
    if (!fromBytes) {
        SendEvent(m, this, "open");
        if (ticket != mine || !Arrive(m, data)) return;
    }
    const ImageFormat format = SniffImage(data.data(), data.size());
    const bool movie = IsMovie(data);
    loaderUrl = HostUrl(m);
    const std::string shownUrl = fromBytes ? loaderUrl + "/[[DYNAMIC]]/" + std::to_string(NextBytesId(m)) : full;
    if (movie) {
        FinishMovie(m, data, shownUrl);
        return;
    }
    Bitmap pixels;
    if (format == ImageFormat::Unknown || !Decode(format, data, pixels)) {
        SendIoError(m, this, 2124, "Error #2124: Loaded file is an unknown type. URL: " + full);
        return;
    }
    Value bitmapData = NewBitmapDataOf(m, pixels);
    ClassObject* bitmapClass = m.FindClass("flash.display.Bitmap");
    if (bitmapData.IsNullish() || !bitmapClass) return;
    Value shown = m.Construct(Value::Obj(bitmapClass), &bitmapData, 1);
    if (ticket != mine) return;
    content = shown;
    url = shownUrl;
    contentType = PictureType(format);
    // A picture is the root of what it loaded, as a movie's root is.
    if (DispatcherObject* c = AsDisplay(m, shown); c && c->serial) {
        rootSerial = c->serial;
        MovieInfo(m).loadedRoots[rootSerial] = Value::Obj(this);
    }
    width = pixels.width;
    height = pixels.height;
    loaded = true;
    Shown(m, mine);
}

void LoaderInfoObject::Shown(Machine& m, uint32_t mine) {
    LoaderObject* l = loader.IsObject() ? dynamic_cast<LoaderObject*>(loader.o) : nullptr;
    DispatcherObject* c = AsDisplay(m, content);
    if (l && c && c->serial && l->serial && m.display) m.display->AddChild(l->serial, c->serial, 0);
    if (ticket != mine) return;
    // The movie's first frame has run by the time its loader hears init.
    if (movie && c && c->serial && m.display) m.display->RunFrameScriptsUnder(c->serial);
    if (ticket != mine) return;
    SendEvent(m, this, "init");
    if (ticket != mine) return;
    if (!fromBytes) SendHttpStatus(m, this);
    if (ticket != mine) return;
    SendEvent(m, this, "complete");
}

// A movie is read and its root built (its document class constructed) out
// of any tree; its facts are known from then on.
void LoaderInfoObject::FinishMovie(Machine& m, const std::vector<uint8_t>& data, const std::string& shownUrl) {
    const uint32_t mine = ticket;
    DisplayHost::LoadedMovie lm;
    if (m.display) lm = m.display->ReadMovie(data, shownUrl);
    if (!lm.root) {
        if (m.report) m.report("Loader: " + shownUrl + ": the movie cannot be played");
        return;
    }
    movie = true;
    swfVersion = lm.swfVersion;
    frameRate = lm.frameRate;
    width = lm.width;
    height = lm.height;
    rootSerial = lm.root;
    MovieInfo(m).loadedRoots[lm.root] = Value::Obj(this);
    Value shown = m.display->Wrap(lm.root);
    if (ticket != mine || !AsDisplay(m, shown)) return;
    content = shown;
    url = shownUrl;
    contentType = "application/x-shockwave-flash";
    loaded = true;
    Shown(m, mine);
}

// Loader ------------------------------------------------------------------------

Value LoaderInit(Machine& m, Value self, Args args, int argc) {
    LoaderObject* l = Self(m, self);
    if (ClassObject* base = l->cls ? m.FindClass("flash.display.DisplayObjectContainer") : nullptr)
        if (base->init) m.Invoke(base->init, base, nullptr, self, args, argc);
    auto* i = static_cast<LoaderInfoObject*>(m.Instantiate(m.FindClass("flash.display.LoaderInfo")));
    i->loader = self;
    Clear(m, i);
    l->info = Value::Obj(i);
    return Value::Undefined();
}

Value ContentLoaderInfo(Machine& m, Value self, Args, int) { return Self(m, self)->info; }
Value Content(Machine& m, Value self, Args, int) { return Info(m, Self(m, self)->info)->content; }

Value Load(Machine& m, Value self, Args args, int argc) {
    LoaderObject* l = Self(m, self);
    std::string url = RequestUrl(m, Arg(args, argc, 0));
    Unload(m, l);
    LoaderInfoObject* i = Info(m, l->info);
    i->name = url;
    i->fromBytes = false;
    i->given.clear();
    i->bytes = Value::Obj(NewByteArray(m));
    Enqueue(m, i);
    return Value::Undefined();
}

Value LoadBytes(Machine& m, Value self, Args args, int argc) {
    LoaderObject* l = Self(m, self);
    ByteArrayObject* b = AsByteArray(Arg(args, argc, 0));
    if (!b) m.TypeError(2007, "Parameter bytes must be non-null.");
    std::vector<uint8_t> copy = b->bytes;
    Unload(m, l);
    LoaderInfoObject* i = Info(m, l->info);
    i->name.clear();
    i->fromBytes = true;
    i->given = std::move(copy);
    i->bytes = Value::Obj(NewByteArray(m));
    Enqueue(m, i, true);
    i->Arrive(m, i->given);  // given bytes arrive at once
    return Value::Undefined();
}

Value UnloadMethod(Machine& m, Value self, Args, int) {
    Unload(m, Self(m, self));
    return Value::Undefined();
}

Value Close(Machine& m, Value self, Args, int) {
    ++Info(m, Self(m, self)->info)->ticket;
    return Value::Undefined();
}

Value NotImplemented(Machine& m, Value, Args, int) {
    ClassObject* c = m.FindClass("flash.errors.IllegalOperationError");
    m.Throw(c ? c : m.errorClass, 2069, "The Loader class does not implement this method.");
}

// LoaderInfo ----------------------------------------------------------------------

Value InfoInit(Machine& m, Value, Args, int) {
    m.ArgumentError(2012, "LoaderInfo class cannot be instantiated.");
}

Value InfoLoader(Machine& m, Value self, Args, int) { return Info(m, self)->loader; }
Value InfoContent(Machine& m, Value self, Args, int) {
    LoaderInfoObject* i = Info(m, self);
    if (i->ofRoot) return m.display ? m.display->Wrap(m.display->Root()) : Value::Null();
    return i->content;
}
Value InfoBytes(Machine& m, Value self, Args, int) { return Info(m, self)->bytes; }
Value InfoLoaded(Machine& m, Value self, Args, int) { return Value::Uint(uint32_t(Info(m, self)->bytesLoaded)); }
Value InfoTotal(Machine& m, Value self, Args, int) { return Value::Uint(uint32_t(Info(m, self)->bytesTotal)); }
Value InfoUrl(Machine& m, Value self, Args, int) {
    LoaderInfoObject* i = Info(m, self);
    return i->loaded ? Value::Str(m.Str(i->url)) : Value::Null();
}
Value InfoContentType(Machine& m, Value self, Args, int) { return StrOrNull(m, Info(m, self)->contentType); }
Value InfoParameters(Machine& m, Value self, Args, int) { return Info(m, self)->parameters; }
Value InfoLoaderUrl(Machine& m, Value self, Args, int) {
    const std::string& mine = Info(m, self)->loaderUrl;
    return StrOrNull(m, mine.empty() ? MovieUrl(m) : mine);
}

// What only a loaded file can tell.
template <int Which>
Value InfoFact(Machine& m, Value self, Args, int) {
    LoaderInfoObject* i = Info(m, self);
    if (!i->loaded) NotLoaded(m);
    switch (Which) {
    case 0: return Value::Int(int32_t(i->width));
    case 1: return Value::Int(int32_t(i->height));
    default: return Value::Bool(true);  // the same domain, both ways
    }
}

// What only a loaded movie can tell.
template <int Which>
Value InfoMovieFact(Machine& m, Value self, Args, int) {
    LoaderInfoObject* i = Info(m, self);
    if (!i->loaded) NotLoaded(m);
    if (!i->movie)
        m.Throw(m.errorClass, 2098, "The loading object is not a .swf file, you cannot request SWF properties from it.");
    switch (Which) {
    case 0: return Value::Uint(3);  // actionScriptVersion
    case 1: return Value::Uint(uint32_t(i->swfVersion));
    default: return Value::Number(i->frameRate);
    }
}

Value InfoSharedEvents(Machine& m, Value self, Args, int) {
    LoaderInfoObject* i = Info(m, self);
    if (i->sharedEvents.IsNull())
        if (ClassObject* c = m.FindClass("flash.events.EventDispatcher")) i->sharedEvents = m.Construct(Value::Obj(c), nullptr, 0);
    return i->sharedEvents;
}

// The movie's own LoaderInfo; the stage's has no content type.
Value MovieInfoValue(Machine& m, bool forStage) {
    MovieInfoObject& mi = MovieInfo(m);
    Value& slot = forStage ? mi.stage : mi.root;
    if (!slot.IsNull()) return slot;
    ClassObject* c = m.FindClass("flash.display.LoaderInfo");
    if (!c) return Value::Null();
    auto* i = static_cast<LoaderInfoObject*>(m.Instantiate(c));
    TempRoot keep(m, Value::Obj(i));
    Clear(m, i);
    const MovieFacts& f = mi.facts;
    i->ofRoot = i->loaded = i->movie = true;
    i->url = MovieUrl(m);
    if (!forStage) i->contentType = "application/x-shockwave-flash";
    i->bytesLoaded = i->bytesTotal = f.bytes;
    i->swfVersion = f.swfVersion;
    i->frameRate = f.frameRate;
    i->width = f.width;
    i->height = f.height;
    slot = Value::Obj(i);
    return slot;
}

// Known once a file has loaded.
Value InfoDomain(Machine& m, Value self, Args, int) {
    if (!Info(m, self)->loaded) return Value::Null();
    ClassObject* c = m.FindClass("flash.system.ApplicationDomain");
    return c ? m.GetPublic(Value::Obj(c), "currentDomain") : Value::Null();
}

Value False(Machine&, Value, Args, int) { return Value::Bool(false); }

}  // namespace

void SetMovieFacts(Machine& m, const MovieFacts& facts) { MovieInfo(m).facts = facts; }

Value LoaderInfoOf(Machine& m, const Value& displayObject) {
    DispatcherObject* d = AsDisplay(m, displayObject);
    if (!d || !m.display) return Value::Null();
    if (d->isStage) return MovieInfoValue(m, true);
    uint32_t s = d->serial;
    if (!s) return Value::Null();
    const auto& loadedRoots = MovieInfo(m).loadedRoots;
    constexpr int kMaxDepth = 1024;
    int depth = 0;
    for (uint32_t p = m.display->Parent(s); depth < kMaxDepth; s = p, p = m.display->Parent(s), ++depth) {
        auto known = loadedRoots.find(s);
        if (known != loadedRoots.end()) return known->second;
        if (!p) break;
        Value above = m.display->Wrap(p);
        if (auto* l = above.IsObject() ? dynamic_cast<LoaderObject*>(above.o) : nullptr) return l->info;
    }
    return s == m.display->Root() || s == m.display->StageSerial() ? MovieInfoValue(m, false) : Value::Null();
}

uint32_t LoadedRootAbove(Machine& m, uint32_t serial) {
    const auto& loadedRoots = MovieInfo(m).loadedRoots;
    if (loadedRoots.empty() || !m.display) return 0;
    constexpr int kMaxDepth = 1024;
    int depth = 0;
    for (uint32_t s = serial; s && depth < kMaxDepth; s = m.display->Parent(s), ++depth)
        if (loadedRoots.count(s)) return s;
    return 0;
}

void InstallLoaders(Machine& m) {
    ClassObject* dispatcher = m.FindClass("flash.events.EventDispatcher");
    ClassObject* info = m.DefineClass("flash.display", "LoaderInfo", dispatcher, AllocInfo, true);
    info->init = m.NewNativeMethod("LoaderInfo", InfoInit, 0);
    m.DefineGetter(info, "loader", InfoLoader);
    m.DefineGetter(info, "content", InfoContent);
    m.DefineGetter(info, "bytes", InfoBytes);
    m.DefineGetter(info, "bytesLoaded", InfoLoaded);
    m.DefineGetter(info, "bytesTotal", InfoTotal);
    m.DefineGetter(info, "url", InfoUrl);
    m.DefineGetter(info, "loaderURL", InfoLoaderUrl);
    m.DefineGetter(info, "contentType", InfoContentType);
    m.DefineGetter(info, "parameters", InfoParameters);
    m.DefineGetter(info, "applicationDomain", InfoDomain);
    m.DefineGetter(info, "isURLInaccessible", False);
    m.DefineGetter(info, "width", InfoFact<0>);
    m.DefineGetter(info, "height", InfoFact<1>);
    m.DefineGetter(info, "childAllowsParent", InfoFact<2>);
    m.DefineGetter(info, "parentAllowsChild", InfoFact<2>);
    m.DefineGetter(info, "sameDomain", InfoFact<2>);
    m.DefineGetter(info, "actionScriptVersion", InfoMovieFact<0>);
    m.DefineGetter(info, "swfVersion", InfoMovieFact<1>);
    m.DefineGetter(info, "frameRate", InfoMovieFact<2>);
    m.DefineGetter(info, "sharedEvents", InfoSharedEvents);

    ClassObject* container = m.FindClass("flash.display.DisplayObjectContainer");
    ClassObject* loader = m.DefineClass("flash.display", "Loader", container, AllocLoader, true);
    loader->init = m.NewNativeMethod("Loader", LoaderInit, 0);
    m.DefineGetter(loader, "content", Content);
    m.DefineGetter(loader, "contentLoaderInfo", ContentLoaderInfo);
    m.DefineMethod(loader, "load", Load, 1);
    m.DefineMethod(loader, "loadBytes", LoadBytes, 1);
    m.DefineMethod(loader, "unload", UnloadMethod, 0);
    m.DefineMethod(loader, "unloadAndStop", UnloadMethod, 0);
    m.DefineMethod(loader, "close", Close, 0);
    for (const char* name : {"addChild", "addChildAt", "removeChild", "removeChildAt", "setChildIndex"})
        m.DefineMethod(loader, name, NotImplemented, 1);
    InstallUrlLoaders(m);
    InstallLoaderContexts(m);
}

}  // namespace swf::avm2
