// flash.net.URLLoader and URLStream over files beside the movie, and the
// queue all loads wait in until the next frame. A load hears open, its
// progress and complete, or ioError #2032 when the file cannot be read.
#include <memory>

#include "swf/avm2/classes/ByteArray.h"
#include "swf/avm2/classes/DataState.h"
#include "swf/avm2/classes/LoadQueue.h"
#include "swf/host/FileReader.h"

namespace swf::avm2 {

namespace {

// Loads in one frame past this many wait for the next: listeners that load
// again from complete cannot hold the frame forever.
constexpr size_t kLoadsPerFrame = 64;
constexpr size_t kMaxLoadedFile = size_t(64) << 20;

class LoadStateObject : public Object {
public:
    LoadStateObject() : Object(ObjKind::Plain, nullptr, nullptr) {}
    std::string movieUrl;
    FileReader files;
    std::vector<Value> queue;
    std::vector<Value> waiting;  // passed over this frame
    bool running = false;        // RunLoads is finishing loads
    uint32_t bytesLoads = 0;
    void Trace(Tracer& t) override {
        Object::Trace(t);
        for (const Value& v : queue) t.Mark(v);
        for (const Value& v : waiting) t.Mark(v);
    }
};

LoadStateObject& State(Machine& m) {
    auto& one = DataState(m).singletons;
    ClassObject* key = m.FindClass("flash.net.URLStream");
    auto it = one.find(key);
    if (it != one.end()) return *static_cast<LoadStateObject*>(it->second.o);
    auto* s = m.New<LoadStateObject>();
    one[key] = Value::Obj(s);
    return *s;
}


class UrlLoaderObject : public LoadingObject {
public:
    UrlLoaderObject(ClassObject* cls, Object* proto) : LoadingObject(cls, proto) {}
    Value data = Value::Undefined();
    std::string format = "text";
    Value buffer = Value::Null();  // URLStream: what was read, as a ByteArray
    bool stream = false, connected = false;
    void Trace(Tracer& t) override {
        DispatcherObject::Trace(t);
        t.Mark(data);
        t.Mark(buffer);
    }
    void Finish(Machine& m, bool read, std::vector<uint8_t>& bytes) override;
};

Object* AllocUrlLoader(Machine& m, ClassObject* cls) { return m.New<UrlLoaderObject>(cls, cls->prototype); }

UrlLoaderObject* Self(Machine& m, const Value& v) {
    auto* u = v.IsObject() ? dynamic_cast<UrlLoaderObject*>(v.o) : nullptr;
    if (!u) m.NullError(Value::Null());
    return u;
}

void UrlLoaderObject::Finish(Machine& m, bool read, std::vector<uint8_t>& bytes) {
    const uint32_t mine = ticket;
    if (!read) {
        connected = false;
        SendIoError(m, this, 2032, "Error #2032: Stream Error. URL: " + UrlBeside(m, name));
        return;
    }
    SendEvent(m, this, "open");
    if (ticket != mine) return;
    bytesTotal = bytesLoaded = double(bytes.size());
    if (stream) {
        if (ByteArrayObject* b = AsByteArray(buffer)) b->bytes = bytes;
    } else if (format == "binary") {
        ByteArrayObject* b = NewByteArray(m);
        b->bytes = bytes;
        data = Value::Obj(b);
    } else {
        std::string text = BytesToText(bytes.data(), bytes.size(), false);
        data = Value::Str(m.Str(text));
        if (format == "variables") {
            ClassObject* vars = m.FindClass("flash.net.URLVariables");
            Value arg = data;
            if (vars) data = m.Construct(Value::Obj(vars), &arg, 1);
        }
    }
    SendProgress(m, this, bytesLoaded, bytesTotal);
    if (ticket != mine) return;
    SendHttpStatus(m, this);
    if (ticket != mine) return;
    connected = false;
    SendEvent(m, this, "complete");
}

Value UrlLoaderInit(Machine& m, Value self, Args args, int argc) {
    UrlLoaderObject* u = Self(m, self);
    u->data = Value::Undefined();
    Value request = Arg(args, argc, 0);
    if (!request.IsNullish()) m.CallProperty(self, m.PublicName("load"), &request, 1);
    return Value::Undefined();
}

Value Load(Machine& m, Value self, Args args, int argc) {
    UrlLoaderObject* u = Self(m, self);
    u->name = RequestUrl(m, Arg(args, argc, 0));
    u->bytesLoaded = u->bytesTotal = 0;
    if (u->stream) {
        u->buffer = Value::Obj(NewByteArray(m));
        u->connected = true;
    }
    Enqueue(m, u);
    return Value::Undefined();
}

Value Close(Machine& m, Value self, Args, int) {
    UrlLoaderObject* u = Self(m, self);
    ++u->ticket;
    u->connected = false;
    return Value::Undefined();
}

Value GetData(Machine& m, Value self, Args, int) { return Self(m, self)->data; }
Value SetData(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->data = Arg(args, argc, 0);
    return Value::Undefined();
}
Value GetFormat(Machine& m, Value self, Args, int) { return Value::Str(m.Str(Self(m, self)->format)); }
Value SetFormat(Machine& m, Value self, Args args, int argc) {
    Self(m, self)->format = m.ToStdString(Arg(args, argc, 0));
    return Value::Undefined();
}
Value BytesLoaded(Machine& m, Value self, Args, int) { return Value::Uint(uint32_t(Self(m, self)->bytesLoaded)); }
Value BytesTotal(Machine& m, Value self, Args, int) { return Value::Uint(uint32_t(Self(m, self)->bytesTotal)); }

// URLStream --------------------------------------------------------------------

Object* AllocStream(Machine& m, ClassObject* cls) {
    auto* u = m.New<UrlLoaderObject>(cls, cls->prototype);
    u->stream = true;
    u->buffer = Value::Obj(NewByteArray(m));
    return u;
}

ByteArrayObject* Buffer(Machine& m, const Value& self) {
    UrlLoaderObject* u = Self(m, self);
    ByteArrayObject* b = AsByteArray(u->buffer);
    if (!b) {
        b = NewByteArray(m);
        u->buffer = Value::Obj(b);
    }
    return b;
}

Value Available(Machine& m, Value self, Args, int) {
    ByteArrayObject* b = Buffer(m, self);
    return Value::Uint(b->position < b->bytes.size() ? uint32_t(b->bytes.size() - b->position) : 0);
}
Value Connected(Machine& m, Value self, Args, int) { return Value::Bool(Self(m, self)->connected); }

// The stream reads as its ByteArray does, by the same names.
const char* const kReads[] = {"readBoolean", "readByte", "readUnsignedByte", "readShort", "readUnsignedShort",
                              "readInt", "readUnsignedInt", "readFloat", "readDouble", "readUTF",
                              "readUTFBytes", "readMultiByte", "readBytes", "readObject", "endian",
                              "objectEncoding"};

template <int I>
Value Forward(Machine& m, Value self, Args args, int argc) {
    return m.CallProperty(Value::Obj(Buffer(m, self)), m.PublicName(kReads[I]), args, argc);
}

template <int I>
Value ForwardGet(Machine& m, Value self, Args, int) {
    return m.GetPublic(Value::Obj(Buffer(m, self)), kReads[I]);
}

template <int I>
Value ForwardSet(Machine& m, Value self, Args args, int argc) {
    m.SetPublic(Value::Obj(Buffer(m, self)), kReads[I], Arg(args, argc, 0));
    return Value::Undefined();
}

template <int... I>
void DefineReads(Machine& m, ClassObject* c, std::integer_sequence<int, I...>) {
    (m.DefineMethod(c, kReads[I], Forward<I>, 0), ...);
}

}  // namespace

void SetLoadSource(Machine& m, std::string movieUrl, FileReader files) {
    LoadStateObject& s = State(m);
    s.movieUrl = std::move(movieUrl);
    s.files = std::move(files);
}

std::string MovieUrl(Machine& m) { return State(m).movieUrl; }
uint32_t NextBytesId(Machine& m) { return ++State(m).bytesLoads; }

std::string FileOf(Machine& m, const std::string& url) {
    std::string file = url.substr(0, url.find_first_of("?#"));
    const std::string& base = State(m).movieUrl;
    const std::string dir = base.substr(0, base.find_last_of('/') + 1);
    if (!dir.empty() && file.compare(0, dir.size(), dir) == 0) file.erase(0, dir.size());
    while (file.compare(0, 2, "./") == 0) file.erase(0, 2);
    return file;
}

std::string UrlBeside(Machine& m, const std::string& name) {
    const std::string& base = State(m).movieUrl;
    if (name.find(':') != std::string::npos) return name;
    if (!name.empty() && name[0] == '/') return "file://" + name;
    return base.substr(0, base.find_last_of('/') + 1) + name;
}

void Enqueue(Machine& m, LoadingObject* obj, bool late) {
    LoadStateObject& s = State(m);
    obj->framesToWait = late && !s.running ? 1 : 0;
    ++obj->ticket;
    obj->queuedTicket = obj->ticket;
    s.queue.push_back(Value::Obj(obj));
}

void RunLoads(Machine& m) {
    LoadStateObject& s = State(m);
    size_t done = 0;
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{s.running = true};
    while (!s.queue.empty() && done < kLoadsPerFrame) {
        Value next = s.queue.front();
        s.queue.erase(s.queue.begin());
        auto* obj = static_cast<LoadingObject*>(next.o);
        if (obj->queuedTicket != obj->ticket) continue;  // closed, or loading something newer
        if (obj->framesToWait > 0) {
            --obj->framesToWait;
            s.waiting.push_back(next);
            continue;
        }
        TempRoot keep(m, next);
        ++done;
        std::vector<uint8_t> bytes;
        bool read = true;
        const std::string file = FileOf(m, obj->name);
        if (obj->fromBytes) bytes = obj->given;
        else read = BesideMovie(file) && s.files && s.files(file, kMaxLoadedFile, bytes);
        if (!read && m.report) m.report("load: cannot read " + obj->name + " beside the movie");
        m.Entry([&] { obj->Finish(m, read, bytes); });
    }
    s.queue.insert(s.queue.end(), s.waiting.begin(), s.waiting.end());
    s.waiting.clear();
}

std::string RequestUrl(Machine& m, const Value& request) {
    if (request.IsNullish()) m.TypeError(2007, "Parameter request must be non-null.");
    Value url = m.GetPublic(request, "url");
    return url.IsNullish() ? std::string() : m.ToStdString(url);
}

void SendEvent(Machine& m, DispatcherObject* target, const char* type) {
    EventObject* e = NewEvent(m, type);
    DispatchEvent(m, target, e, true);
}

namespace {
void SendKind(Machine& m, DispatcherObject* target, const char* cls, std::vector<Value> args) {
    ClassObject* c = m.FindClass(cls);
    if (!c) return;
    Value e = m.Construct(Value::Obj(c), args.data(), int(args.size()));
    TempRoot keep(m, e);
    DispatchEvent(m, target, static_cast<EventObject*>(e.o), true);
}
}  // namespace

void SendProgress(Machine& m, DispatcherObject* target, double loaded, double total) {
    SendKind(m, target, "flash.events.ProgressEvent",
             {Value::Str(m.Intern("progress")), Value::Bool(false), Value::Bool(false), Value::Number(loaded),
              Value::Number(total)});
}

void SendIoError(Machine& m, DispatcherObject* target, int id, const std::string& text) {
    SendKind(m, target, "flash.events.IOErrorEvent",
             {Value::Str(m.Intern("ioError")), Value::Bool(false), Value::Bool(false), Value::Str(m.Str(text)),
              Value::Int(id)});
}

void SendHttpStatus(Machine& m, DispatcherObject* target) {
    SendKind(m, target, "flash.events.HTTPStatusEvent",
             {Value::Str(m.Intern("httpStatus")), Value::Bool(false), Value::Bool(false), Value::Int(0)});
}

void InstallUrlLoaders(Machine& m) {
    ClassObject* dispatcher = m.FindClass("flash.events.EventDispatcher");
    ClassObject* u = m.DefineClass("flash.net", "URLLoader", dispatcher, AllocUrlLoader, false);
    u->init = m.NewNativeMethod("URLLoader", UrlLoaderInit, 0);
    m.DefineGetter(u, "data", GetData, SetData);
    m.DefineGetter(u, "dataFormat", GetFormat, SetFormat);
    m.DefineGetter(u, "bytesLoaded", BytesLoaded);
    m.DefineGetter(u, "bytesTotal", BytesTotal);
    m.DefineMethod(u, "load", Load, 1);
    m.DefineMethod(u, "close", Close, 0);

    ClassObject* s = m.DefineClass("flash.net", "URLStream", dispatcher, AllocStream, true);
    m.DefineMethod(s, "load", Load, 1);
    m.DefineMethod(s, "close", Close, 0);
    m.DefineGetter(s, "bytesAvailable", Available);
    m.DefineGetter(s, "connected", Connected);
    DefineReads(m, s, std::make_integer_sequence<int, 14>());
    m.DefineGetter(s, "endian", ForwardGet<14>, ForwardSet<14>);
    m.DefineGetter(s, "objectEncoding", ForwardGet<15>, ForwardSet<15>);

    ClassObject* format = m.DefineClass("flash.net", "URLLoaderDataFormat", m.objectClass, nullptr, true);
    for (auto [name, value] : {std::pair<const char*, const char*>{"TEXT", "text"}, {"BINARY", "binary"},
                               {"VARIABLES", "variables"}})
        m.DefineConstant(format, name, Value::Str(m.Intern(value)));
}

}  // namespace swf::avm2
