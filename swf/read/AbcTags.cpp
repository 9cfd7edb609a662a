// DoABC (with its lazy flag and name), the older DoABC without them, and
// SymbolClass: kept on the movie for the script machine, by frame.
#include <algorithm>

#include "swf/read/TagReaders.h"

namespace swf {

namespace {

constexpr uint32_t kDoAbcLazy = 1;
constexpr size_t kMaxAbcBlocks = 4096;

}  // namespace

void ReadDoAbc(ByteReader& r, uint16_t code, ReadContext& ctx) {
    if (ctx.movie.abcBlocks.size() >= kMaxAbcBlocks) throw ReadError("too many DoABC tags");
    AbcBlock block;
    block.frame = int(ctx.movie.root.frames.size());
    if (code == kTagDoAbc) {
        block.lazy = (r.U32() & kDoAbcLazy) != 0;
        block.name = r.String();
    }
    block.bytes.assign(r.Here(), r.Here() + r.Remaining());
    r.Skip(r.Remaining());
    ctx.movie.abcBlocks.push_back(std::move(block));
}

void ReadSymbolClass(ByteReader& r, ReadContext& ctx) {
    uint16_t count = r.U16();
    r.RequireItems(count, 3, "symbols");
    for (uint16_t i = 0; i < count; ++i) {
        uint16_t id = r.U16();
        std::string name = r.String();
        ctx.movie.symbolClasses.push_back({id, name, int(ctx.movie.root.frames.size())});
    }
}

void ReadBinaryData(ByteReader& r, ReadContext& ctx) {
    const uint16_t id = r.U16();
    r.U32();  // reserved
    const uint8_t* p = r.Here();
    ctx.movie.binaryData[id].assign(p, p + r.Remaining());
    r.Skip(r.Remaining());
}

namespace {

// A variable-length unsigned number: 7 bits a byte, low first, at most 5 bytes.
uint32_t EncodedU32(ByteReader& r) {
    uint32_t v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        uint8_t b = r.U8();
        v |= uint32_t(b & 0x7f) << shift;
        if (!(b & 0x80)) break;
    }
    return v;
}

}  // namespace

void ReadSceneData(ByteReader& r, ReadContext& ctx) {
    auto list = [&r](std::vector<std::pair<int, std::string>>& out, const char* what) {
        uint32_t count = EncodedU32(r);
        r.RequireItems(count, 2, what);
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t frame = EncodedU32(r);
            out.emplace_back(int(std::min<uint32_t>(frame, 0x7fffffff)), r.String());
        }
    };
    ctx.movie.scenes.clear();
    ctx.movie.sceneLabels.clear();
    list(ctx.movie.scenes, "scenes");
    list(ctx.movie.sceneLabels, "frame labels");
    ctx.movie.hasSceneData = true;
}

}  // namespace swf
