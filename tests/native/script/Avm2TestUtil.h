// Shared by the ActionScript 3 script tests: a block built in code, run in a
// fresh machine, and what it traced and reported.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "swf/avm2/Machine.h"
#include "tools/swfmake/AbcOps.h"
#include "tools/swfmake/AbcWriter.h"

namespace avm2test {

using swfmake::AbcWriter;
using Code = std::vector<uint8_t>;

struct Outcome {
    bool loaded = false;
    std::string error;
    std::string traced, reported;  // lines joined with '|'
};

inline Outcome RunAbc(const std::vector<uint8_t>& abc, uint64_t maxSteps = 1000000) {
    Outcome r;
    swf::avm2::Machine m;
    m.limits.maxSteps = maxSteps;
    m.trace = [&](const std::string& s) { r.traced += (r.traced.empty() ? "" : "|") + s; };
    m.report = [&](const std::string& s) { r.reported += (r.reported.empty() ? "" : "|") + s; };
    r.loaded = m.LoadAbc(abc.data(), abc.size(), true, &r.error);
    return r;
}

// A script whose init is `body` between scope setup and returnvoid.
inline std::vector<uint8_t> Script(const std::function<void(AbcWriter&, Code&)>& body,
                                   std::vector<AbcWriter::Exception> exceptions = {}) {
    using namespace swfmake::abcop;
    AbcWriter w;
    Code c;
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    body(w, c);
    AbcWriter::Op(c, kReturnVoid);
    w.Script(w.Method(0, 8, 2, 2, c, exceptions));
    return w.Bytes();
}

// trace(<what `push` pushes>)
inline void Trace(AbcWriter& w, Code& c, const std::function<void()>& push) {
    using namespace swfmake::abcop;
    AbcWriter::Op(c, kFindPropStrict, {w.QName("trace")});
    push();
    AbcWriter::Op(c, kCallPropVoid, {w.QName("trace"), 1});
}

}  // namespace avm2test
