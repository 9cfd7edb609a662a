// Opcodes of ActionScript 3 bytecode, for method bodies written in code by
// tests and benchmarks (AbcWriter takes the bytes as they are).
#pragma once

#include <cstdint>

namespace swfmake::abcop {

enum : uint8_t {
    kThrow = 0x03, kLabel = 0x09, kJump = 0x10, kIfLt = 0x15, kPushNull = 0x20, kPushByte = 0x24, kPop = 0x29,
    kPushString = 0x2C, kPushInt = 0x2D, kPushScope = 0x30, kNewFunction = 0x40, kCallProperty = 0x46,
    kReturnVoid = 0x47, kReturnValue = 0x48, kConstructProp = 0x4A, kCallPropVoid = 0x4F, kNewObject = 0x55,
    kFindPropStrict = 0x5D, kGetLex = 0x60, kSetProperty = 0x61, kGetProperty = 0x66, kDeleteProperty = 0x6A,
    kConvertI = 0x73, kCoerceA = 0x82, kAdd = 0xA0, kMultiply = 0xA2, kDivide = 0xA3, kStrictEquals = 0xAC,
    kIn = 0xB4, kIncLocalI = 0xC2, kAddI = 0xC5, kGetLocal0 = 0xD0, kGetLocal1 = 0xD1, kGetLocal2 = 0xD2,
    kGetLocal3 = 0xD3, kSetLocal1 = 0xD5, kSetLocal2 = 0xD6, kSetLocal3 = 0xD7,
    kPushUndefined = 0x21, kCheckFilter = 0x78, kAsTypeLate = 0x87, kInstanceOf = 0xB1,
    kIfNGt = 0x0E, kPushTrue = 0x26, kPushShort = 0x25, kConstructSuper = 0x49, kNewClass = 0x58,
    kGetScopeObject = 0x65, kInitProperty = 0x68, kCoerce = 0x80, kLessThan = 0xAD, kIsTypeLate = 0xB3,
};

}  // namespace swfmake::abcop
