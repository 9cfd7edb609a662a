// Decodes and verifies a method body; throws VerifyError (through the
// machine) when it is malformed.
#pragma once

#include <memory>
#include <string>

#include "swf/avm2/Code.h"

namespace swf::avm2 {

class Machine;
struct AbcModule;
struct AbcBody;

// `label` names the method in errors ("Test/f").
std::unique_ptr<Code> DecodeBody(Machine& m, const AbcModule& mod, const AbcBody& body, uint32_t methodIndex,
                                 const std::string& label);

}  // namespace swf::avm2
