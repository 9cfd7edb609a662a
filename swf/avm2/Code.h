// A method body decoded and verified: one Instr per opcode with operands
// resolved (branch targets as instruction indices, constants as values),
// checked stack and scope depths, and the exception table in instruction
// indices. Built once, on the method's first call.
#pragma once

#include <cstdint>
#include <vector>

#include "swf/avm2/Value.h"

namespace swf::avm2 {

class Machine;
struct AbcModule;
struct AbcBody;
class Traits;

enum Op : uint8_t {
    OpBkpt = 0x01, OpNop = 0x02, OpThrow = 0x03, OpGetSuper = 0x04, OpSetSuper = 0x05, OpDxns = 0x06,
    OpDxnsLate = 0x07, OpKill = 0x08, OpLabel = 0x09, OpIfNlt = 0x0C, OpIfNle = 0x0D, OpIfNgt = 0x0E,
    OpIfNge = 0x0F, OpJump = 0x10, OpIfTrue = 0x11, OpIfFalse = 0x12, OpIfEq = 0x13, OpIfNe = 0x14,
    OpIfLt = 0x15, OpIfLe = 0x16, OpIfGt = 0x17, OpIfGe = 0x18, OpIfStrictEq = 0x19, OpIfStrictNe = 0x1A,
    OpLookupSwitch = 0x1B, OpPushWith = 0x1C, OpPopScope = 0x1D, OpNextName = 0x1E, OpHasNext = 0x1F,
    OpPushNull = 0x20, OpPushUndefined = 0x21, OpNextValue = 0x23, OpPushByte = 0x24, OpPushShort = 0x25,
    OpPushTrue = 0x26, OpPushFalse = 0x27, OpPushNaN = 0x28, OpPop = 0x29, OpDup = 0x2A, OpSwap = 0x2B,
    OpPushString = 0x2C, OpPushInt = 0x2D, OpPushUint = 0x2E, OpPushDouble = 0x2F, OpPushScope = 0x30,
    OpPushNamespace = 0x31, OpHasNext2 = 0x32, OpLi8 = 0x35, OpLi16 = 0x36, OpLi32 = 0x37, OpLf32 = 0x38,
    OpLf64 = 0x39, OpSi8 = 0x3A, OpSi16 = 0x3B, OpSi32 = 0x3C, OpSf32 = 0x3D, OpSf64 = 0x3E,
    OpNewFunction = 0x40, OpCall = 0x41, OpConstruct = 0x42, OpCallMethod = 0x43, OpCallStatic = 0x44,
    OpCallSuper = 0x45, OpCallProperty = 0x46, OpReturnVoid = 0x47, OpReturnValue = 0x48,
    OpConstructSuper = 0x49, OpConstructProp = 0x4A, OpCallPropLex = 0x4C, OpCallSuperVoid = 0x4E,
    OpCallPropVoid = 0x4F, OpSxi1 = 0x50, OpSxi8 = 0x51, OpSxi16 = 0x52, OpApplyType = 0x53,
    OpNewObject = 0x55, OpNewArray = 0x56, OpNewActivation = 0x57, OpNewClass = 0x58,
    OpGetDescendants = 0x59, OpNewCatch = 0x5A, OpFindPropStrict = 0x5D, OpFindProperty = 0x5E,
    OpFindDef = 0x5F, OpGetLex = 0x60, OpSetProperty = 0x61, OpGetLocal = 0x62, OpSetLocal = 0x63,
    OpGetGlobalScope = 0x64, OpGetScopeObject = 0x65, OpGetProperty = 0x66, OpGetOuterScope = 0x67,
    OpInitProperty = 0x68, OpDeleteProperty = 0x6A, OpGetSlot = 0x6C, OpSetSlot = 0x6D,
    OpGetGlobalSlot = 0x6E, OpSetGlobalSlot = 0x6F, OpConvertS = 0x70, OpEscXElem = 0x71,
    OpEscXAttr = 0x72, OpConvertI = 0x73, OpConvertU = 0x74, OpConvertD = 0x75, OpConvertB = 0x76,
    OpConvertO = 0x77, OpCheckFilter = 0x78, OpCoerce = 0x80, OpCoerceB = 0x81, OpCoerceA = 0x82,
    OpCoerceI = 0x83, OpCoerceD = 0x84, OpCoerceS = 0x85, OpAsType = 0x86, OpAsTypeLate = 0x87,
    OpCoerceU = 0x88, OpCoerceO = 0x89, OpNegate = 0x90, OpIncrement = 0x91, OpIncLocal = 0x92,
    OpDecrement = 0x93, OpDecLocal = 0x94, OpTypeOf = 0x95, OpNot = 0x96, OpBitNot = 0x97, OpAdd = 0xA0,
    OpSubtract = 0xA1, OpMultiply = 0xA2, OpDivide = 0xA3, OpModulo = 0xA4, OpLShift = 0xA5,
    OpRShift = 0xA6, OpURShift = 0xA7, OpBitAnd = 0xA8, OpBitOr = 0xA9, OpBitXor = 0xAA,
    OpEquals = 0xAB, OpStrictEquals = 0xAC, OpLessThan = 0xAD, OpLessEquals = 0xAE,
    OpGreaterThan = 0xAF, OpGreaterEquals = 0xB0, OpInstanceOf = 0xB1, OpIsType = 0xB2,
    OpIsTypeLate = 0xB3, OpIn = 0xB4, OpIncrementI = 0xC0, OpDecrementI = 0xC1, OpIncLocalI = 0xC2,
    OpDecLocalI = 0xC3, OpNegateI = 0xC4, OpAddI = 0xC5, OpSubtractI = 0xC6, OpMultiplyI = 0xC7,
    OpGetLocal0 = 0xD0, OpGetLocal1 = 0xD1, OpGetLocal2 = 0xD2, OpGetLocal3 = 0xD3, OpSetLocal0 = 0xD4,
    OpSetLocal1 = 0xD5, OpSetLocal2 = 0xD6, OpSetLocal3 = 0xD7, OpDebug = 0xEF, OpDebugLine = 0xF0,
    OpDebugFile = 0xF1, OpBkptLine = 0xF2, OpTimestamp = 0xF3,
};

// getproperty's `b` when its receiver is register 0 as the method got it:
// the name binds as the method's own class sees it (a field a subclass
// declares again is the declaring class's own to its methods).
constexpr int32_t kOnThis = 1;

struct Instr {
    uint8_t op = 0;
    int32_t a = 0;  // register, multiname, branch target, count...
    int32_t b = 0;  // second operand (argument count, switch table)
    Value k;        // pushed constants
};

struct Handler {
    int from = 0, to = 0, target = 0;  // instruction indices [from, to)
    uint32_t type = 0, varName = 0;    // multinames
};

struct Code {
    std::vector<Instr> code;
    std::vector<std::vector<int>> switches;
    std::vector<Handler> handlers;
    uint32_t locals = 0, maxStack = 0, maxScope = 0;
    Traits* activation = nullptr;  // the body's own traits, for newactivation
    // newcatch's scope traits, one per handler, made on first use: a catch
    // in a loop must not make new traits every time round.
    mutable std::vector<Traits*> catchTraits;
};

}  // namespace swf::avm2
