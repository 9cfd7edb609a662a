// The Sound object's playing half: attachSound, start, stop, loadSound
// (with the file's tags as id3), the transforms and onSoundComplete, over the movie's SoundSystem. The
// members scripts read back (getVolume, getPan, getTransform, the
// properties) stay as BuiltinSound.cpp defines them; these natives keep
// the same hidden fields and add the sound.
//  1. A Sound made with a clip acts on the sounds that clip (and its
//     children) play; one made without acts on every sound.
//  2. Voices a Sound started are kept in Sound._playing by voice id until
//     they end, so the object lives while it plays; each tick sets their
//     `position` and calls onSoundComplete for those that ran out.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "swf/bind/Bindings.h"
#include "swf/display/MovieClip.h"
#include "swf/sound/Id3Tags.h"
#include "swf/sound/Mp3File.h"
#include "swf/sound/SoundSystem.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Object;
using avm1::Value;

constexpr size_t kMaxLoadedBytes = size_t(32) << 20;

SoundSystem* Sounds(avm1::Vm& vm) { return HostOf(vm).Context().sounds; }

// The clip a Sound acts on (null: the whole movie).
MovieClip* TargetOf(CallArgs& a) {
    if (!a.self.IsObject()) return nullptr;
    return ClipOf(a.vm, a.vm.GetMember(a.self, "_target"));
}

uint32_t OwnerOf(CallArgs& a) {
    MovieClip* c = TargetOf(a);
    return c ? c->serial : 0;
}

const Movie& MovieOf(CallArgs& a) {
    MovieClip* c = TargetOf(a);
    if (c) return *c->Assets().movie;
    return HostOf(a.vm).Context().movie;
}

// The exported sound a linkage name gives, 0 for none.
uint16_t SoundIdOf(const Movie& movie, const std::string& linkage) {
    auto it = movie.exports.find(linkage);
    if (it == movie.exports.end()) return 0;
    const Character* c = movie.Find(it->second);
    return c && c->kind == CharacterKind::Sound ? it->second : 0;
}

Object* PlayingTable(avm1::Vm& vm) {
    Value ctor = vm.GetMember(Value::Obj(vm.global), "Sound");
    if (!ctor.IsObject()) return nullptr;
    Value table = vm.GetMember(ctor, "_playing");
    if (table.IsObject()) return table.o;
    Object* made = vm.NewObject();
    vm.SetHidden(ctor.o, "_playing", Value::Obj(made));
    return made;
}

void Track(CallArgs& a, uint32_t voice) {
    a.vm.SetHidden(a.self.o, "_voice", Value::Num(voice));
    if (Object* table = PlayingTable(a.vm)) a.vm.SetHidden(table, std::to_string(voice), a.self);
}

Value AttachSound(CallArgs& a) {
    SoundSystem* sounds = Sounds(a.vm);
    if (!a.self.IsObject() || !sounds) return Value();
    const std::string linkage = a.vm.ToString(a.Arg(0));
    const Movie& movie = MovieOf(a);
    const uint16_t id = SoundIdOf(movie, linkage);
    if (!id) return Value();
    a.vm.SetHidden(a.self.o, "_linkage", Value::String(linkage));
    a.vm.SetHidden(a.self.o, "_loaded", Value());
    a.vm.SetMember(a.self, "duration", Value::Num(sounds->DurationMs(movie, id)));
    a.vm.SetMember(a.self, "position", Value::Num(0));
    return Value();
}

Value Start(CallArgs& a) {
    SoundSystem* sounds = Sounds(a.vm);
    if (!a.self.IsObject() || !sounds) return Value();
    const double offset = a.args.empty() ? 0 : a.vm.ToNumber(a.Arg(0));
    const double loops = a.args.size() < 2 ? 1 : a.vm.ToNumber(a.Arg(1));
    const int count = std::isfinite(loops) && loops > 1 ? int(std::min(loops, 65535.0)) : 1;
    uint32_t voice = 0;
    const Value loaded = a.vm.GetMember(a.self, "_loaded");
    if (loaded.IsNumber()) {
        voice = sounds->StartLoaded(uint32_t(loaded.n), OwnerOf(a), offset, count);
    } else {
        const Movie& movie = MovieOf(a);
        const uint16_t id = SoundIdOf(movie, a.vm.ToString(a.vm.GetMember(a.self, "_linkage")));
        if (id) voice = sounds->StartSound(movie, id, OwnerOf(a), offset, count);
    }
    if (voice) Track(a, voice);
    return Value();
}

Value Stop(CallArgs& a) {
    SoundSystem* sounds = Sounds(a.vm);
    if (!a.self.IsObject() || !sounds) return Value();
    if (!a.args.empty()) {
        const Movie& movie = MovieOf(a);
        if (const uint16_t id = SoundIdOf(movie, a.vm.ToString(a.Arg(0)))) sounds->StopSound(movie, id);
        return Value();
    }
    sounds->StopOwnedBy(OwnerOf(a));
    return Value();
}

// A new id3 object when the file has tags; onID3 hears of it. The object
// has no prototype (it prints as undefined), and a frame that repeats
// becomes an array of its values in file order.
void ShareTags(CallArgs& a, const std::vector<uint8_t>& file) {
    const Id3Tags tags = ReadId3Tags(file);
    if (tags.Empty()) return;
    avm1::PinGuard pin(a.vm);
    Object* id3 = a.vm.NewObject(a.vm.objectProto);
    id3->proto = nullptr;
    for (const auto& [name, text] : tags.fields) {
        avm1::Property* p = id3->Find(name, a.vm.Ci());
        if (!p) {
            id3->Put(name, a.vm.Ci()).value = Value::String(text);
        } else if (p->value.IsObject()) {
            a.vm.ArrayPush(p->value.o, Value::String(text));
        } else {
            Object* list = a.vm.NewArray({p->value, Value::String(text)});
            id3->Find(name, a.vm.Ci())->value = Value::Obj(list);
        }
    }
    a.vm.SetMember(a.self, "id3", Value::Obj(id3));
    a.vm.CallHandler(a.self, "onID3", {Value::Bool(true)});
}

// An MP3 file beside the movie, decoded whole; streaming ones start at once.
Value LoadSound(CallArgs& a) {
    SoundSystem* sounds = Sounds(a.vm);
    if (!a.self.IsObject() || !sounds) return Value();
    std::vector<uint8_t> file;
    const bool read = HostOf(a.vm).ReadBeside(a.vm.ToString(a.Arg(0)), kMaxLoadedBytes, file);
    std::string error;
    std::shared_ptr<const PcmBuffer> pcm = read ? DecodeMp3File(file, error) : nullptr;
    const bool ok = pcm && pcm->Frames() > 0;
    if (read) ShareTags(a, file);
    if (ok) {
        const uint32_t handle = sounds->AddLoaded(pcm);
        a.vm.SetHidden(a.self.o, "_loaded", Value::Num(handle));
        a.vm.SetMember(a.self, "duration", Value::Num(sounds->LoadedDurationMs(handle)));
        if (a.vm.ToBool(a.Arg(1))) {
            if (const uint32_t voice = sounds->StartLoaded(handle, OwnerOf(a), 0, 1)) Track(a, voice);
        }
    }
    a.vm.CallHandler(a.self, "onLoad", {Value::Bool(ok)});
    return Value();
}

// Volume and pan as BuiltinSound keeps them, then the transform they make;
// only for objects Sound made (its constructor gives each a _target).
void Apply(CallArgs& a) {
    SoundSystem* sounds = Sounds(a.vm);
    if (!sounds || !a.self.o->Find("_target", false)) return;
    SoundTransform t;
    const Value volume = a.vm.GetMember(a.self, "_volume");
    if (volume.IsNumber() && std::isfinite(volume.n)) t.volume = volume.n;
    const Value pan = a.vm.GetMember(a.self, "_pan");
    if (pan.IsNumber() && std::isfinite(pan.n)) {
        const double p = std::clamp(pan.n, -100.0, 100.0);
        t.ll = p > 0 ? 100 - p : 100;
        t.rr = p < 0 ? 100 + p : 100;
    }
    const Value tr = a.vm.GetMember(a.self, "_transform");
    if (tr.IsObject()) {
        auto field = [&](const char* name, double& out) {
            const double v = a.vm.ToNumber(a.vm.GetMember(tr, name));
            if (std::isfinite(v)) out = v;
        };
        field("ll", t.ll);
        field("lr", t.lr);
        field("rr", t.rr);
        field("rl", t.rl);
    }
    sounds->SetTransform(OwnerOf(a), t);
}

// magic: 0 volume, 1 pan, 2 transform (BuiltinSound's fields).
const char* const kField[] = {"_volume", "_pan", "_transform"};

Value Set(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    const int which = a.callee->fn->magic;
    a.vm.SetHidden(a.self.o, kField[which], which == 2 ? a.Arg(0) : Value::Num(a.vm.ToNumber(a.Arg(0))));
    Apply(a);
    return Value();
}

}  // namespace

void InstallSound(avm1::Vm& vm) {
    Value ctor = vm.GetMember(Value::Obj(vm.global), "Sound");
    Value proto = ctor.IsObject() ? vm.GetMember(ctor, "prototype") : Value();
    if (!proto.IsObject()) return;
    vm.DefineNative(proto.o, "attachSound", AttachSound);
    vm.DefineNative(proto.o, "start", Start);
    vm.DefineNative(proto.o, "stop", Stop);
    vm.DefineNative(proto.o, "loadSound", LoadSound);
    vm.DefineNative(proto.o, "setVolume", Set, 0);
    vm.DefineNative(proto.o, "setPan", Set, 1);
    vm.DefineNative(proto.o, "setTransform", Set, 2);
}

void UpdateSounds(avm1::Vm& vm) {
    SoundSystem* sounds = Sounds(vm);
    Object* table = sounds ? PlayingTable(vm) : nullptr;
    if (!table) return;
    const std::vector<uint32_t> finished = sounds->TakeFinished();
    std::vector<Value> complete;
    std::vector<std::string> gone;
    for (const avm1::Property& p : table->Props()) {
        const uint32_t voice = uint32_t(std::strtoul(p.name.c_str(), nullptr, 10));
        if (std::find(finished.begin(), finished.end(), voice) != finished.end()) {
            complete.push_back(p.value);
            gone.push_back(p.name);
        } else if (sounds->Output() && sounds->Output()->Playing(voice)) {
            vm.SetMember(p.value, "position", Value::Num(sounds->PositionMs(voice)));
        } else {
            gone.push_back(p.name);
        }
    }
    for (const std::string& name : gone) vm.DeleteMember(table, name);
    for (const Value& s : complete) {
        vm.SetMember(s, "position", vm.GetMember(s, "duration"));
        vm.CallHandler(s, "onSoundComplete");
    }
}

}  // namespace swf::bind
