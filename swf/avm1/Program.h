// Decoded action blocks: typed instructions with resolved branch targets.
//
// An action block is decoded once. Every branch (If, Jump) and every body
// (DefineFunction, With, Try) is turned from a byte offset into an
// instruction index; a target that does not fall on an instruction
// boundary becomes kBadTarget, which ends the running block. Bodies are
// ranges [begin, end) of the same instruction list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/avm1/Value.h"

namespace swf::avm1 {

enum Op : uint8_t {
    kOpNextFrame = 0x04, kOpPrevFrame = 0x05, kOpPlay = 0x06, kOpStop = 0x07,
    kOpToggleQuality = 0x08, kOpStopSounds = 0x09,
    kOpAdd = 0x0A, kOpSubtract = 0x0B, kOpMultiply = 0x0C, kOpDivide = 0x0D,
    kOpEquals = 0x0E, kOpLess = 0x0F, kOpAnd = 0x10, kOpOr = 0x11, kOpNot = 0x12,
    kOpStringEquals = 0x13, kOpStringLength = 0x14, kOpStringExtract = 0x15,
    kOpPop = 0x17, kOpToInteger = 0x18, kOpGetVariable = 0x1C, kOpSetVariable = 0x1D,
    kOpSetTarget2 = 0x20, kOpStringAdd = 0x21, kOpGetProperty = 0x22, kOpSetProperty = 0x23,
    kOpCloneSprite = 0x24, kOpRemoveSprite = 0x25, kOpTrace = 0x26, kOpStartDrag = 0x27,
    kOpEndDrag = 0x28, kOpStringLess = 0x29, kOpThrow = 0x2A, kOpCastOp = 0x2B,
    kOpImplementsOp = 0x2C, kOpRandomNumber = 0x30, kOpMBStringLength = 0x31,
    kOpCharToAscii = 0x32, kOpAsciiToChar = 0x33, kOpGetTime = 0x34,
    kOpMBStringExtract = 0x35, kOpMBCharToAscii = 0x36, kOpMBAsciiToChar = 0x37,
    kOpDelete = 0x3A, kOpDelete2 = 0x3B, kOpDefineLocal = 0x3C, kOpCallFunction = 0x3D,
    kOpReturn = 0x3E, kOpModulo = 0x3F, kOpNewObject = 0x40, kOpDefineLocal2 = 0x41,
    kOpInitArray = 0x42, kOpInitObject = 0x43, kOpTypeOf = 0x44, kOpTargetPath = 0x45,
    kOpEnumerate = 0x46, kOpAdd2 = 0x47, kOpLess2 = 0x48, kOpEquals2 = 0x49,
    kOpToNumber = 0x4A, kOpToString = 0x4B, kOpPushDuplicate = 0x4C, kOpStackSwap = 0x4D,
    kOpGetMember = 0x4E, kOpSetMember = 0x4F, kOpIncrement = 0x50, kOpDecrement = 0x51,
    kOpCallMethod = 0x52, kOpNewMethod = 0x53, kOpInstanceOf = 0x54, kOpEnumerate2 = 0x55,
    kOpBitAnd = 0x60, kOpBitOr = 0x61, kOpBitXor = 0x62, kOpBitLShift = 0x63,
    kOpBitRShift = 0x64, kOpBitURShift = 0x65, kOpStrictEquals = 0x66, kOpGreater = 0x67,
    kOpStringGreater = 0x68, kOpExtends = 0x69,
    kOpGotoFrame = 0x81, kOpGetUrl = 0x83, kOpStoreRegister = 0x87, kOpConstantPool = 0x88,
    kOpWaitForFrame = 0x8A, kOpSetTarget = 0x8B, kOpGotoLabel = 0x8C, kOpWaitForFrame2 = 0x8D,
    kOpDefineFunction2 = 0x8E, kOpTry = 0x8F, kOpWith = 0x94, kOpPush = 0x96, kOpJump = 0x99,
    kOpGetUrl2 = 0x9A, kOpDefineFunction = 0x9B, kOpIf = 0x9D, kOpCall = 0x9E, kOpGotoFrame2 = 0x9F,
};

constexpr uint32_t kBadTarget = 0xFFFFFFFFu;

struct PushItem {
    enum class Kind : uint8_t { Value, Register, Constant };
    Kind kind = Kind::Value;
    uint16_t index = 0;
    Value value;
};

// DefineFunction2 flags: what is preloaded into registers or suppressed.
enum FunctionFlags : uint16_t {
    kPreloadThis = 0x01, kSuppressThis = 0x02, kPreloadArguments = 0x04,
    kSuppressArguments = 0x08, kPreloadSuper = 0x10, kSuppressSuper = 0x20,
    kPreloadRoot = 0x40, kPreloadParent = 0x80, kPreloadGlobal = 0x100,
};

struct FunctionInfo {
    std::string name;
    std::vector<std::string> params;
    std::vector<uint8_t> paramRegisters;  // DefineFunction2: 0 = not in a register
    bool v2 = false;
    uint8_t registerCount = 0;
    uint16_t flags = 0;
    uint32_t begin = 0, end = 0;
};

struct TryInfo {
    bool catchInRegister = false;
    uint8_t catchRegister = 0;
    std::string catchName;
    bool hasCatch = false, hasFinally = false;
    uint32_t tryBegin = 0, catchBegin = 0, finallyBegin = 0, end = 0;
};

struct Instr {
    uint8_t op = 0;
    uint8_t flags = 0;   // GetURL2 method bits, GotoFrame2 play flag
    uint16_t u16 = 0;    // frame, register, bias
    uint32_t target = 0; // If/Jump: instruction; With: body end
    uint32_t index = 0;  // into the side tables below, by op
};

struct Program {
    std::vector<Instr> code;
    std::vector<std::vector<PushItem>> pushes;
    std::vector<std::string> strings;  // GotoLabel, SetTarget, GetURL (two)
    std::vector<std::vector<std::string>> pools;
    std::vector<FunctionInfo> functions;
    std::vector<TryInfo> tries;
};

// Decodes a complete action list (records up to an End code or the end of
// the bytes). Malformed records end the list where they start; what came
// before them runs. `errors` gets a line per problem.
Program Decode(const uint8_t* data, size_t size, std::vector<std::string>* errors = nullptr);

}  // namespace swf::avm1
