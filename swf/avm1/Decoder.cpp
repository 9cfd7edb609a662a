// Two passes: the first splits the bytes into records and notes where each
// starts; the second decodes payloads and turns byte offsets into
// instruction indices through that map.
#include <cstring>

#include "swf/model/FormatCodes.h"
#include "swf/avm1/Program.h"
#include "swf/read/ByteReader.h"

namespace swf::avm1 {

namespace {

constexpr uint8_t kHasLength = 0x80;
constexpr uint32_t kNoInstr = 0xFFFFFFFFu;

struct Record {
    uint8_t code;
    uint32_t offset, next;  // byte offsets of this record and the one after
    const uint8_t* payload;
    uint16_t length;
};

class Decoder {
public:
    Decoder(const uint8_t* data, size_t size, std::vector<std::string>* errors)
        : data_(data), size_(size), errors_(errors) {}

    Program Run() {
        Split();
        startOf_.assign(end_ + 1, kNoInstr);
        for (size_t i = 0; i < records_.size(); ++i) startOf_[records_[i].offset] = static_cast<uint32_t>(i);
        startOf_[end_] = static_cast<uint32_t>(records_.size());
        for (const Record& r : records_) {
            Instr in;
            in.op = r.code;
            ByteReader rd(r.payload, r.length);
            try {
                DecodeOne(r, rd, in);
            } catch (const ReadError& e) {
                Error(r, e.what());
                in = Instr();  // op 0 ends the block when reached
            }
            prog_.code.push_back(in);
        }
        return std::move(prog_);
    }

private:
    void Error(const Record& r, const std::string& what) {
        if (errors_) errors_->push_back("action 0x" + Hex(r.code) + " at " + std::to_string(r.offset) + ": " + what);
    }
    static std::string Hex(uint8_t c) {
        const char* d = "0123456789ABCDEF";
        return {d[c >> 4], d[c & 15]};
    }

    void Split() {
        size_t pos = 0;
        while (pos < size_) {
            Record r{data_[pos], static_cast<uint32_t>(pos), 0, nullptr, 0};
            if (r.code == kActionEnd) break;
            size_t next = pos + 1;
            if (r.code & kHasLength) {
                if (next + 2 > size_) {
                    Error(r, "record header cut short");
                    break;
                }
                r.length = static_cast<uint16_t>(data_[next] | (data_[next + 1] << 8));
                next += 2;
                if (next + r.length > size_) {
                    Error(r, "record longer than the block");
                    break;
                }
                r.payload = data_ + next;
                next += r.length;
            }
            r.next = static_cast<uint32_t>(next);
            records_.push_back(r);
            pos = next;
        }
        end_ = records_.empty() ? 0 : records_.back().next;
    }

    // The instruction starting at byte `offset`, kBadTarget when none does.
    uint32_t At(int64_t offset) const {
        if (offset < 0 || offset > static_cast<int64_t>(end_)) return kBadTarget;
        uint32_t i = startOf_[static_cast<size_t>(offset)];
        return i == kNoInstr ? kBadTarget : i;
    }

    void DecodeOne(const Record& r, ByteReader& rd, Instr& in) {
        switch (r.code) {
        case kOpGotoFrame: in.u16 = rd.U16(); break;
        case kOpGetUrl:
            in.index = static_cast<uint32_t>(prog_.strings.size());
            prog_.strings.push_back(rd.String());
            prog_.strings.push_back(rd.String());
            break;
        case kOpGotoLabel:
        case kOpSetTarget:
            in.index = static_cast<uint32_t>(prog_.strings.size());
            prog_.strings.push_back(rd.String());
            break;
        case kOpWaitForFrame: in.u16 = rd.U16(); in.flags = rd.U8(); break;
        case kOpWaitForFrame2: in.flags = rd.U8(); break;
        case kOpStoreRegister: in.u16 = rd.U8(); break;
        case kOpGetUrl2: in.flags = rd.U8(); break;
        case kOpGotoFrame2:
            in.flags = rd.U8();
            if (in.flags & kGotoFrame2HasBias) in.u16 = rd.U16();
            break;
        case kOpJump:
        case kOpIf: in.target = At(int64_t(r.next) + rd.S16()); break;
        case kOpWith: in.target = At(int64_t(r.next) + rd.U16()); break;
        case kOpConstantPool: {
            size_t count = rd.U16();
            std::vector<std::string> pool;
            for (size_t i = 0; i < count && !rd.AtEnd(); ++i) pool.push_back(rd.String());
            in.index = static_cast<uint32_t>(prog_.pools.size());
            prog_.pools.push_back(std::move(pool));
            break;
        }
        case kOpPush: DecodePush(rd, in); break;
        case kOpDefineFunction:
        case kOpDefineFunction2: DecodeFunction(r, rd, in); break;
        case kOpTry: DecodeTry(r, rd, in); break;
        default: break;
        }
    }

    void DecodePush(ByteReader& rd, Instr& in) {
        std::vector<PushItem> items;
        while (!rd.AtEnd()) {
            PushItem p;
            const uint8_t type = rd.U8();
            switch (type) {
            case kPushString: p.value = Value::String(rd.String()); break;
            case kPushFloat: {
                uint32_t bits = rd.U32();
                float f;
                std::memcpy(&f, &bits, sizeof f);
                p.value = Value::Num(f);
                break;
            }
            case kPushNull: p.value = Value::Null(); break;
            case kPushUndefined: break;
            case kPushRegister: p.kind = PushItem::Kind::Register; p.index = rd.U8(); break;
            case kPushBool: p.value = Value::Bool(rd.U8() != 0); break;
            case kPushDouble: {
                // Two little-endian halves, the high word first.
                uint64_t hi = rd.U32(), lo = rd.U32();
                uint64_t bits = (hi << 32) | lo;
                double d;
                std::memcpy(&d, &bits, sizeof d);
                p.value = Value::Num(d);
                break;
            }
            case kPushInt: p.value = Value::Num(static_cast<int32_t>(rd.U32())); break;
            case kPushConstant8: p.kind = PushItem::Kind::Constant; p.index = rd.U8(); break;
            case kPushConstant16: p.kind = PushItem::Kind::Constant; p.index = rd.U16(); break;
            default: throw ReadError("unknown push type " + std::to_string(type));
            }
            items.push_back(std::move(p));
        }
        in.index = static_cast<uint32_t>(prog_.pushes.size());
        prog_.pushes.push_back(std::move(items));
    }

    void DecodeFunction(const Record& r, ByteReader& rd, Instr& in) {
        FunctionInfo f;
        f.v2 = r.code == kOpDefineFunction2;
        f.name = rd.String();
        const size_t count = rd.U16();
        if (f.v2) {
            f.registerCount = rd.U8();
            f.flags = rd.U16();
        }
        rd.RequireItems(count, f.v2 ? 2 : 1, "parameters");
        for (size_t i = 0; i < count; ++i) {
            f.paramRegisters.push_back(f.v2 ? rd.U8() : 0);
            f.params.push_back(rd.String());
        }
        const uint16_t codeSize = rd.U16();
        f.begin = At(r.next);
        f.end = At(int64_t(r.next) + codeSize);
        in.target = f.end;
        in.index = static_cast<uint32_t>(prog_.functions.size());
        prog_.functions.push_back(std::move(f));
    }

    void DecodeTry(const Record& r, ByteReader& rd, Instr& in) {
        TryInfo t;
        const uint8_t flags = rd.U8();
        t.hasCatch = flags & 1;
        t.hasFinally = flags & 2;
        t.catchInRegister = flags & 4;
        const uint16_t trySize = rd.U16(), catchSize = rd.U16(), finallySize = rd.U16();
        if (t.catchInRegister) t.catchRegister = rd.U8();
        else t.catchName = rd.String();
        const int64_t base = r.next;
        t.tryBegin = At(base);
        t.catchBegin = At(base + trySize);
        t.finallyBegin = At(base + trySize + catchSize);
        t.end = At(base + trySize + catchSize + finallySize);
        const bool bad = t.tryBegin == kBadTarget || t.catchBegin == kBadTarget ||
                         t.finallyBegin == kBadTarget || t.end == kBadTarget;
        in.target = bad ? kBadTarget : t.end;
        in.index = static_cast<uint32_t>(prog_.tries.size());
        prog_.tries.push_back(std::move(t));
    }

    const uint8_t* data_;
    size_t size_;
    std::vector<std::string>* errors_;
    std::vector<Record> records_;
    std::vector<uint32_t> startOf_;
    uint32_t end_ = 0;
    Program prog_;
};

}  // namespace

Program Decode(const uint8_t* data, size_t size, std::vector<std::string>* errors) {
    return Decoder(data, size, errors).Run();
}

}  // namespace swf::avm1
