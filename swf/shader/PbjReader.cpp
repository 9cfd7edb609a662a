// Reading a compiled shader: the header records, then the instructions, each
// checked for register banks and widths so the interpreter never has to.
#include <cstring>

#include "swf/shader/Pbj.h"

namespace swf::shader {

namespace {

constexpr uint8_t kKernelMeta = 0xA0, kParam = 0xA1, kParamMeta = 0xA2, kTexture = 0xA3, kName = 0xA4,
                  kVersion = 0xA5;
constexpr uint16_t kIntBank = 0x8000;
// Far more than any compiled shader uses; bounds the interpreter's banks.
constexpr int kMaxRegisters = 4096;

struct Bad {
    std::string what;
};

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : p_(p), end_(p + n) {}
    bool AtEnd() const { return p_ >= end_; }
    uint8_t U8() {
        Need(1);
        return *p_++;
    }
    uint16_t U16() {
        Need(2);
        uint16_t v = uint16_t(p_[0] | p_[1] << 8);
        p_ += 2;
        return v;
    }
    uint32_t U32() {
        Need(4);
        uint32_t v = uint32_t(p_[0]) | uint32_t(p_[1]) << 8 | uint32_t(p_[2]) << 16 | uint32_t(p_[3]) << 24;
        p_ += 4;
        return v;
    }
    uint32_t U32Big() {
        Need(4);
        uint32_t v = uint32_t(p_[0]) << 24 | uint32_t(p_[1]) << 16 | uint32_t(p_[2]) << 8 | uint32_t(p_[3]);
        p_ += 4;
        return v;
    }
    std::string CString() {
        const uint8_t* start = p_;
        while (p_ < end_ && *p_) ++p_;
        if (p_ >= end_) throw Bad{"unterminated name"};
        std::string s(reinterpret_cast<const char*>(start), size_t(p_ - start));
        ++p_;
        return s;
    }
    std::string Text(size_t n) {
        Need(n);
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }

private:
    void Need(size_t n) const {
        if (size_t(end_ - p_) < n) throw Bad{"truncated"};
    }
    const uint8_t* p_;
    const uint8_t* end_;
};

float FloatBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

bool ValidType(uint8_t t) { return t >= uint8_t(ParamType::Float) && t <= uint8_t(ParamType::Bool4); }

MetaValue ReadMeta(Reader& r) {
    MetaValue m;
    uint8_t t = r.U8();
    if (!ValidType(t)) throw Bad{"metadata of unknown type"};
    m.type = ParamType(t);
    m.name = r.CString();
    if (m.type == ParamType::String) {
        m.text = r.CString();
        return m;
    }
    for (int i = 0, n = LaneCount(m.type); i < n; ++i) {
        if (IsIntType(m.type)) m.numbers.push_back(double(int16_t(r.U16())));
        else m.numbers.push_back(double(FloatBits(r.U32Big())));
    }
    return m;
}

bool IsInt(uint16_t reg) { return reg & kIntBank; }

// What an instruction's operands must be: the bank of the destination and of
// the sources.
enum class Banks { FloatOnly, Same, IntToFloat, FloatToInt, Compare, Logic, BoolOut, BoolIn };

Banks BanksOf(Op op) {
    switch (op) {
    case Op::Add: case Op::Sub: case Op::Mul: case Op::Div: case Op::Min: case Op::Max: case Op::Abs:
    case Op::Mov:
        return Banks::Same;
    case Op::IntToFloat: return Banks::IntToFloat;
    case Op::FloatToInt: return Banks::FloatToInt;
    case Op::Equal: case Op::NotEqual: case Op::LessThan: case Op::LessThanEqual:
    case Op::VectorEqual: case Op::VectorNotEqual:
        return Banks::Compare;
    case Op::LogicalNot: case Op::LogicalAnd: case Op::LogicalOr: case Op::LogicalXor: case Op::IntToBool:
    case Op::BoolToInt: case Op::Any: case Op::All:
        return Banks::Logic;
    case Op::FloatToBool: return Banks::BoolOut;
    case Op::BoolToFloat: return Banks::BoolIn;
    default: return Banks::FloatOnly;
    }
}

void Check(const Instr& in) {
    const bool dstInt = IsInt(in.dst), srcInt = IsInt(in.src.reg);
    bool ok = true;
    switch (in.op) {
    case Op::Select:
        ok = IsInt(in.cond.reg) && dstInt == srcInt && srcInt == IsInt(in.src2.reg);
        break;
    case Op::If: ok = IsInt(in.cond.reg); break;
    case Op::Else: case Op::EndIf: case Op::Nop: break;
    case Op::LoadConstant: break;
    case Op::SampleNearest: case Op::SampleLinear: ok = !dstInt && !srcInt; break;
    default:
        switch (BanksOf(in.op)) {
        case Banks::FloatOnly: ok = !dstInt && !srcInt; break;
        case Banks::Same: case Banks::Compare: ok = dstInt == srcInt; break;
        case Banks::IntToFloat: case Banks::BoolIn: ok = !dstInt && srcInt; break;
        case Banks::FloatToInt: case Banks::BoolOut: ok = dstInt && !srcInt; break;
        case Banks::Logic: ok = dstInt && srcInt; break;
        }
    }
    if (!ok) throw Bad{"operand of the wrong kind"};
}

Operand ReadOperand(Reader& r) {
    Operand o;
    o.reg = r.U16();
    o.swizzle = r.U8();
    return o;
}

Instr ReadInstr(Reader& r, uint8_t opcode) {
    if (opcode > uint8_t(Op::All)) throw Bad{"unknown instruction"};
    Instr in;
    in.op = Op(opcode);
    switch (in.op) {
    case Op::If:
        r.U16(), r.U8();
        in.cond = ReadOperand(r);
        r.U8();
        return in;
    case Op::Else: case Op::EndIf: case Op::Nop:
        r.U32(), r.U16(), r.U8();
        return in;
    default: break;
    }
    in.dst = r.U16();
    const uint8_t m = r.U8();
    in.mask = m >> 4;
    in.width = uint8_t((m & 3) + 1);
    in.matrix = (m >> 2) & 3 ? uint8_t(((m >> 2) & 3) + 1) : 0;
    if (in.op == Op::LoadConstant) {
        in.constant = IsInt(in.dst) ? r.U32() : r.U32Big();
        return in;
    }
    if (in.op == Op::Select) {
        in.cond = ReadOperand(r);
        r.U8();
        in.src = ReadOperand(r);
        r.U8();
        in.src2 = ReadOperand(r);
        r.U8();
        return in;
    }
    in.src = ReadOperand(r);
    in.texture = r.U8();
    return in;
}

void Count(Program& p, uint16_t reg, int lanesOrRegs) {
    int& n = IsInt(reg) ? p.intRegs : p.floatRegs;
    const int last = int(reg & ~kIntBank) + lanesOrRegs;
    if (last > kMaxRegisters) throw Bad{"register out of range"};
    if (last > n) n = last;
}

}  // namespace

bool ReadProgram(const uint8_t* data, size_t size, Program& out, std::string& error) {
    Program p;
    Reader r(data, size);
    int depth = 0;
    try {
        while (!r.AtEnd()) {
            const uint8_t opcode = r.U8();
            switch (opcode) {
            case kVersion: p.version = int(r.U32()); break;
            case kName: p.name = r.Text(r.U16()); break;
            case kKernelMeta: p.meta.push_back(ReadMeta(r)); break;
            case kParam: {
                Param param;
                param.output = r.U8() == 2;
                const uint8_t t = r.U8();
                if (!ValidType(t) || ParamType(t) == ParamType::String) throw Bad{"parameter of unknown type"};
                param.type = ParamType(t);
                param.reg = r.U16();
                param.mask = r.U8();
                param.name = r.CString();
                if (IsIntType(param.type) != IsInt(param.reg)) throw Bad{"parameter in the wrong bank"};
                // A matrix's mask is its size; a vector's names up to four lanes.
                const int matrixSize = int(param.type) - int(ParamType::Float2x2) + 2;
                if (IsMatrixType(param.type) ? param.mask != matrixSize : param.mask > 0x0F)
                    throw Bad{"parameter of a bad shape"};
                Count(p, param.reg, IsMatrixType(param.type) && param.mask > 2 ? param.mask : 1);
                p.params.push_back(std::move(param));
                break;
            }
            case kParamMeta:
                if (p.params.empty()) throw Bad{"metadata before any parameter"};
                p.params.back().meta.push_back(ReadMeta(r));
                break;
            case kTexture: {
                Texture t;
                t.index = r.U8();
                t.channels = r.U8();
                t.name = r.CString();
                if (t.channels < 1 || t.channels > 4) throw Bad{"input of bad channel count"};
                p.textures.push_back(std::move(t));
                break;
            }
            default: {
                Instr in = ReadInstr(r, opcode);
                Check(in);
                if (in.op == Op::If) ++depth;
                if ((in.op == Op::Else || in.op == Op::EndIf) && depth == 0) throw Bad{"else or endif without if"};
                if (in.op == Op::EndIf) --depth;
                if (in.op != Op::If && in.op != Op::Else && in.op != Op::EndIf && in.op != Op::Nop) {
                    const int regs = in.matrix > 2 ? in.matrix : 1;
                    Count(p, in.dst, regs);
                    if (in.op != Op::LoadConstant) Count(p, in.src.reg, regs);
                }
                if (in.op == Op::Select) Count(p, in.cond.reg, 1), Count(p, in.src2.reg, 1);
                if (in.op == Op::If) Count(p, in.cond.reg, 1);
                p.code.push_back(in);
            }
            }
        }
        if (depth) throw Bad{"if without endif"};
    } catch (const Bad& b) {
        error = b.what;
        return false;
    }
    // Comparisons write the int register 0.
    if (p.intRegs < 1) p.intRegs = 1;
    out = std::move(p);
    return true;
}

const MetaValue* Param::Meta(const std::string& key) const {
    for (const MetaValue& m : meta)
        if (m.name == key) return &m;
    return nullptr;
}

int LaneCount(ParamType t) {
    switch (t) {
    case ParamType::Float: case ParamType::Int: case ParamType::Bool: return 1;
    case ParamType::Float2: case ParamType::Int2: case ParamType::Bool2: return 2;
    case ParamType::Float3: case ParamType::Int3: case ParamType::Bool3: return 3;
    case ParamType::Float4: case ParamType::Int4: case ParamType::Bool4: case ParamType::Float2x2: return 4;
    case ParamType::Float3x3: return 9;
    case ParamType::Float4x4: return 16;
    case ParamType::String: return 0;
    }
    return 0;
}

bool IsIntType(ParamType t) { return t >= ParamType::Int && t != ParamType::String; }
bool IsBoolType(ParamType t) { return t >= ParamType::Bool; }
bool IsMatrixType(ParamType t) { return t >= ParamType::Float2x2 && t <= ParamType::Float4x4; }

const char* TypeName(ParamType t) {
    static const char* const kNames[] = {"float", "float2", "float3", "float4", "matrix2x2", "matrix3x3",
                                         "matrix4x4", "int", "int2", "int3", "int4", "string",
                                         "bool", "bool2", "bool3", "bool4"};
    return kNames[uint8_t(t) - 1];
}

}  // namespace swf::shader
