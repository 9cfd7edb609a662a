// DefineButton, DefineButton2 and DefineButtonCxform.
//
// DefineButton's one action list runs on release over the button, so it is
// stored as a DefineButton2 condition list with OverDownToOverUp.
#include "swf/read/TagReaders.h"

namespace swf {

namespace {

enum ButtonRecordFlags : uint8_t {
    kRecordStates = 0x0F,
    kRecordHasFilters = 0x10,
    kRecordHasBlendMode = 0x20,
};

void ReadRecords(ByteReader& r, bool version2, ReadContext& ctx, ButtonCharacter& b) {
    for (;;) {
        uint8_t flags = r.U8();
        if (flags == 0) return;
        ButtonRecord rec;
        rec.states = flags & kRecordStates;
        rec.characterId = r.U16();
        rec.depth = r.U16();
        rec.matrix = r.ReadMatrix();
        if (version2) {
            rec.cxform = r.ReadCxform(true);
            if (flags & kRecordHasFilters) rec.filters = ReadFilterList(r);
            if (flags & kRecordHasBlendMode) rec.blendMode = r.U8();
        }
        if (ctx.commandsLeft == 0) throw ReadError("too many button records in the movie");
        --ctx.commandsLeft;
        b.records.push_back(rec);
    }
}

// Adds an action list run on `conditions`; on damage it keeps the actions
// before it, and the error goes on to the tag loop.
void ReadButtonAction(ByteReader& r, ReadContext& ctx, uint16_t conditions, ButtonCharacter& b) {
    ButtonAction action;
    action.conditions = conditions;
    try {
        ReadActionBlock(r, ctx, action.actions);
    } catch (const ReadError&) {
        b.actions.push_back(std::move(action));
        throw;
    }
    b.actions.push_back(std::move(action));
}

void ReadConditionActions(ByteReader& r, ReadContext& ctx, ButtonCharacter& b) {
    while (r.Remaining() >= kButtonCondHeaderBytes) {
        uint16_t size = r.U16();
        uint8_t low = r.U8();
        uint8_t high = r.U8();
        uint16_t conditions = static_cast<uint16_t>(low | (high << 8));
        bool last = size == 0;
        if (!last && size < kButtonCondHeaderBytes) throw ReadError("button condition size is too small");
        ByteReader body = r.Slice(last ? r.Remaining() : size - kButtonCondHeaderBytes);
        ReadButtonAction(body, ctx, conditions, b);
        if (last) return;
    }
}

}  // namespace

void ReadDefineButton(ByteReader& r, uint16_t code, ReadContext& ctx) {
    const bool version2 = code == kTagDefineButton2;
    uint16_t id = r.U16();
    auto b = std::make_unique<ButtonCharacter>();
    if (version2) {
        b->trackAsMenu = (r.U8() & kButton2TrackAsMenu) != 0;
        r.U16();  // ActionOffset: the actions follow the records directly
    }
    // A damaged record list loses the button; a damaged action list keeps
    // the button and the actions before the damage.
    ReadRecords(r, version2, ctx, *b);
    ButtonCharacter& button = *b;
    ctx.Define(id, std::move(b));
    if (version2) {
        ReadConditionActions(r, ctx, button);
    } else {
        ReadButtonAction(r, ctx, kCondOverDownToOverUp, button);
    }
}

void ReadDefineButtonCxform(ByteReader& r, ReadContext& ctx) {
    uint16_t id = r.U16();
    ColorTransform t = r.ReadCxform(false);
    auto it = ctx.movie.dictionary.find(id);
    if (it == ctx.movie.dictionary.end() || it->second->kind != CharacterKind::Button)
        throw ReadError("character " + std::to_string(id) + " is not a button");
    for (ButtonRecord& rec : static_cast<ButtonCharacter&>(*it->second).records) rec.cxform = t;
}

}  // namespace swf
