// Decodes and verifies a method body; throws VerifyError (through the
// machine) when it is malformed.
#pragma once

#include <memory>

#include "swf/avm2/Code.h"

namespace swf::avm2 {

class Machine;
struct AbcModule;
struct AbcBody;

std::unique_ptr<Code> DecodeBody(Machine& m, const AbcModule& mod, const AbcBody& body, uint32_t methodIndex);

}  // namespace swf::avm2
