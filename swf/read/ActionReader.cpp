// Action lists (DoAction, button actions): records of a code and, for codes
// from 0x80, a 16-bit length and payload. They are kept as bytes; the
// runner decodes the few it knows and skips the rest by their length.
#include "swf/read/TagReaders.h"

namespace swf {

void ReadActionBlock(ByteReader& r, ReadContext& ctx, ActionBlock& out) {
    while (!r.AtEnd()) {
        ActionRecord a;
        a.code = r.U8();
        if (a.code == kActionEnd) return;
        if (a.code & kActionHasLength) {
            uint16_t length = r.U16();
            if (length > r.Remaining()) throw ReadError("action length exceeds the data");
            a.payload.assign(r.Here(), r.Here() + length);
            r.Skip(length);
        }
        if (ctx.actionsLeft == 0) throw ReadError("too many actions in the movie");
        --ctx.actionsLeft;
        out.records.push_back(std::move(a));
    }
}

}  // namespace swf
