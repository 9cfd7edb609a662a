// flash.utils.ByteArray: bytes with a read/write position, an endianness and
// the object encoding its readObject/writeObject use (AMF0 or AMF3).
#pragma once

#include <cstdint>
#include <vector>

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

class ByteArrayObject : public Object {
public:
    ByteArrayObject(ClassObject* cls, Object* proto) : Object(ObjKind::ByteArray, cls, proto) {}
    std::vector<uint8_t> bytes;
    uint32_t position = 0;
    bool littleEndian = false;
    uint32_t objectEncoding = 3;

    bool GetIndexed(Machine& m, const Value& key, Value& out) override;
    bool SetIndexed(Machine& m, const Value& key, const Value& v) override;
    bool DeleteIndexed(Machine& m, const Value& key, bool& result) override;
    bool HasIndexed(Machine& m, const Value& key, bool& result) override;
};

// Byte arrays past this size are refused with MemoryError #1000.
constexpr size_t kMaxByteArray = size_t(1) << 28;

ByteArrayObject* NewByteArray(Machine& m);
ByteArrayObject* AsByteArray(const Value& v);
// Bytes read as text the way the reference does: UTF-8 where it is
// valid, other bytes one character each; a NUL ends the text.
std::string BytesToText(const uint8_t* p, size_t n, bool stopAtNul);
// Checks `n` bytes are left, else EOFError #2030.
void NeedBytes(Machine& m, ByteArrayObject* b, size_t n);
void WriteBytesAt(Machine& m, ByteArrayObject* b, const void* p, size_t n);

// AMF: values to bytes and back, version 0 or 3.
void WriteAmf(Machine& m, ByteArrayObject* b, const Value& v, uint32_t version);
Value ReadAmf(Machine& m, ByteArrayObject* b, uint32_t version);
void InstallByteArray(Machine& m);
void InstallAmfAliases(Machine& m);

}  // namespace swf::avm2
