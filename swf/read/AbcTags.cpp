// DoABC (with its lazy flag and name), the older DoABC without them, and
// SymbolClass: kept on the movie for the script machine, by frame.
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

}  // namespace swf
