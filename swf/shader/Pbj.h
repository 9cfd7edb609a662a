// Pixel shaders in the movie format's compiled shader form (the bytecode
// scripts hand to `Shader`): a header of tagged records (version, name,
// kernel metadata, parameters with their metadata, input images) followed by
// fixed-size instructions over two banks of four-lane registers, floats and
// ints (bools live in the int bank as 0 and 1).
//
// Encoding, as stored: one opcode byte per record. Instructions are 8 bytes
// (select is 16): destination register (u16 LE, bit 15 marks the int bank),
// a byte whose high nibble is the write mask (r=8 g=4 b=2 a=1) and whose low
// two bits are the source width minus one, the source register (u16) and a
// swizzle byte (two bits per lane, first lane in the top bits). Constants
// are a big-endian float or a little-endian int. Metadata floats are
// big-endian, metadata ints and bools 16-bit little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf::shader {

enum class ParamType : uint8_t {
    Float = 1, Float2, Float3, Float4, Float2x2, Float3x3, Float4x4,
    Int, Int2, Int3, Int4, String, Bool, Bool2, Bool3, Bool4,
};

// Lanes of a value of type `t` (16 for a 4x4 matrix); 0 for strings.
int LaneCount(ParamType t);
bool IsIntType(ParamType t);   // ints and bools
bool IsBoolType(ParamType t);
bool IsMatrixType(ParamType t);
// The name scripts see: "float2", "bool", "float3x3"...
const char* TypeName(ParamType t);

struct MetaValue {
    std::string name;
    ParamType type = ParamType::Float;
    std::string text;             // a String value
    std::vector<double> numbers;  // the lanes of any other value
};

struct Param {
    std::string name;
    bool output = false;
    ParamType type = ParamType::Float;
    uint16_t reg = 0;   // bit 15: int bank
    uint8_t mask = 0;   // lanes for vectors (r=8 ... a=1); matrix size for matrices
    std::vector<MetaValue> meta;
    const MetaValue* Meta(const std::string& key) const;
};

struct Texture {
    std::string name;
    uint8_t index = 0;
    uint8_t channels = 4;
};

enum class Op : uint8_t {
    Nop = 0x00, Add, Sub, Mul, Rcp, Div, Atan2, Pow, Mod, Min, Max, Step, Sin, Cos, Tan, Asin, Acos, Atan,
    Exp, Exp2, Log, Log2, Sqrt, RSqrt, Abs, Sign, Floor, Ceil, Fract, Mov, FloatToInt, IntToFloat,
    MatMatMul, VecMatMul, MatVecMul, Normalize, Length, Distance, Dot, Cross,
    Equal, NotEqual, LessThan, LessThanEqual, LogicalNot, LogicalAnd, LogicalOr, LogicalXor,
    SampleNearest, SampleLinear, LoadConstant, Select, If, Else, EndIf,
    FloatToBool, BoolToFloat, IntToBool, BoolToInt, VectorEqual, VectorNotEqual, Any, All,
};

struct Operand {
    uint16_t reg = 0;
    uint8_t swizzle = 0;
};

struct Instr {
    Op op = Op::Nop;
    uint16_t dst = 0;
    uint8_t mask = 0;       // write mask, r=8 g=4 b=2 a=1
    uint8_t width = 1;      // source lanes
    uint8_t matrix = 0;     // matrix size of the operands (2..4), 0 for vectors
    Operand src, cond, src2;  // cond: select's condition and if's value
    uint8_t texture = 0;    // sampling: the input image
    uint32_t constant = 0;  // LoadConstant: the raw bits
};

struct Program {
    int version = 0;
    std::string name;
    std::vector<MetaValue> meta;
    std::vector<Param> params;
    std::vector<Texture> textures;
    std::vector<Instr> code;
    int floatRegs = 0, intRegs = 0;  // registers the program touches
};

// Reads and checks a compiled shader. A malformed or inconsistent one (an
// unknown record, an operand of the wrong bank, unbalanced if/else, more
// registers than a shader may have) is refused with `error` set.
bool ReadProgram(const uint8_t* data, size_t size, Program& out, std::string& error);

}  // namespace swf::shader
