// A small assembler for action lists, so tests and generated movies can
// write scripts as text. One instruction per line (or separated by ';'),
// mnemonics are the action names in any case, labels end with ':', and
// '#' starts a comment line.
//
//   push 'n', 0          # strings in quotes, numbers, true, false, null,
//   setvariable          # undefined, r:N (register), c:N (constant)
//   loop:
//   push 'n'
//   getvariable
//   push 10
//   less2
//   not
//   if done             ; If and Jump take a label
//   ...
//   jump loop
//   done:
//
// Bodies end at a label: `definefunction f(a, b) end`,
// `definefunction2 f 4 0x2a (1:a, 0:b) end` (registers, flags, params as
// register:name), `with end`, `try e catch finally end` (e or r:N for the
// caught value; '-' for a missing catch or finally part).
// Other operands: gotoframe N, gotolabel 'l', geturl 'url' 'target',
// settarget 'path', gotoframe2 play|stop [bias], geturl2 N, storeregister N,
// constantpool 'a' 'b' ...
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace swfmake {

struct AsmError : std::runtime_error {
    explicit AsmError(const std::string& what) : std::runtime_error(what) {}
};

// The action records (no end flag); throws AsmError naming the line.
std::vector<uint8_t> Assemble(const std::string& text);

}  // namespace swfmake
