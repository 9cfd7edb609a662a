import os
R='/work/wt/avm2/'
def sub(p,a,b):
    s=open(R+p).read()
    assert a in s, (p,a[:50])
    s=s.replace(a,b,1); open(R+p,'w').write(s)
sub('swf/FormatCodes.h',"    kTagDefineBitsJpeg4 = 90,\n","    kTagDefineBitsJpeg4 = 90,\n    kTagDoAbcPlain = 72,  // DoABC without flags and name\n    kTagSymbolClass = 76,\n    kTagDoAbc = 82,\n")
sub('swf/Movie.h',"struct MovieHeader {","""// An ActionScript 3 block (DoABC): run when its frame is reached; a lazy
// one only defines its scripts until something needs them.
struct AbcBlock {
    int frame = 0;
    bool lazy = false;
    std::string name;
    std::vector<uint8_t> bytes;
};

// SymbolClass: a character (0: the main timeline) and its class name.
struct SymbolClassEntry {
    uint16_t id = 0;
    std::string className;
    int frame = 0;
};

struct MovieHeader {""")
sub('swf/Movie.h',"    std::map<std::string, uint16_t> exports;\n","    std::map<std::string, uint16_t> exports;\n    std::vector<AbcBlock> abcBlocks;\n    std::vector<SymbolClassEntry> symbolClasses;\n")
sub('swf/read/TagReaders.h',"void ReadDefineMorphShape(ByteReader& r, uint16_t code, ReadContext& ctx);\n","void ReadDefineMorphShape(ByteReader& r, uint16_t code, ReadContext& ctx);\n// DoABC and SymbolClass, root timeline only (AbcTags.cpp).\nvoid ReadDoAbc(ByteReader& r, uint16_t code, ReadContext& ctx);\nvoid ReadSymbolClass(ByteReader& r, ReadContext& ctx);\n")
sub('swf/read/MovieReader.cpp',"    case kTagFrameLabel: tl.SetLabel(r.String()); return;\n","""    case kTagFrameLabel: tl.SetLabel(r.String()); return;
    case kTagDoAbc:
    case kTagDoAbcPlain:
        if (!isSprite) ReadDoAbc(r, code, ctx);
        return;
    case kTagSymbolClass:
        if (!isSprite) ReadSymbolClass(r, ctx);
        return;
""")
sub('swf/read/MovieReader.cpp','    case kTagDefineFontName: return "DefineFontName";\n','    case kTagDefineFontName: return "DefineFontName";\n    case kTagDoAbc: return "DoABC";\n    case kTagDoAbcPlain: return "DoABC";\n    case kTagSymbolClass: return "SymbolClass";\n')
sub('swf/Player.cpp',"struct Player::State {\n    std::unique_ptr<Movie> movie;  // declared before the timeline that plays it\n","struct Player::State {\n    std::unique_ptr<Movie> movie;  // declared before the timeline that plays it\n    std::unique_ptr<avm2::Machine> as3;  // for movies with DoABC\n")
sub('swf/Player.cpp',"    state_->ShareView();\n    state_->Dispatch(state_->timeline->Start());\n","    state_->ShareView();\n    StartScripts3(*state_);\n    state_->Dispatch(state_->timeline->Start());\n")
sub('swf/Player.cpp',"Player::Player() : state_(std::make_unique<State>()) {}","""// ActionScript 3: the first frame's DoABC blocks run (lazy ones only
// define), then the main timeline's class is constructed.
void Player::StartScripts3(State& s) {
    s.as3.reset();
    if (s.movie->abcBlocks.empty()) return;
    s.as3 = std::make_unique<avm2::Machine>();
    avm2::Machine& m = *s.as3;
    m.swfVersion = s.movie->header.version;
    m.trace = [&s](const std::string& text) {
        TraceHandler h = s.trace;
        if (h) h(text);
    };
    m.report = [&s](const std::string& text) {
        constexpr size_t kMaxErrors = 256;
        if (s.errors.size() < kMaxErrors) s.errors.push_back("actions: " + text);
    };
    for (const AbcBlock& b : s.movie->abcBlocks) {
        if (b.frame != 0) continue;
        std::string error;
        if (!m.LoadAbc(b.bytes.data(), b.bytes.size(), !b.lazy, &error) && !error.empty())
            s.errors.push_back("DoABC " + b.name + ": " + error);
    }
    for (const SymbolClassEntry& e : s.movie->symbolClasses) {
        if (e.id != 0) continue;
        m.Entry([&] {
            if (avm2::ClassObject* c = m.FindClass(e.className)) m.Construct(avm2::Value::Obj(c), nullptr, 0);
        });
    }
}

Player::Player() : state_(std::make_unique<State>()) {}""")
sub('swf/Player.h',"    bool Load(std::vector<uint8_t> bytes, const std::string& path);\n    struct State;\n","    bool Load(std::vector<uint8_t> bytes, const std::string& path);\n    struct State;\n    static void StartScripts3(State& s);\n")
sub('swf/Player.cpp','#include "swf/play/Levels.h"\n','#include "swf/avm2/Machine.h"\n#include "swf/play/Levels.h"\n')
sub('swf/Player.cpp',"    state_->levels.Clear();\n    state_->timeline.reset();\n","    state_->levels.Clear();\n    state_->timeline.reset();\n    state_->as3.reset();\n")
