// The ActionScript 3 interpreter: loops of one million iterations doing
// typed int arithmetic (add_i, convert_i), the same untyped (add on `*`
// locals), a property read through a class (Math.PI), a method call
// (Math.abs) and a dynamic-property write. Prints the processor time per
// iteration of each and the heap's bytes after a run and after a second
// (collected: equal figures mean no growth per iteration).
#include <ctime>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "swf/avm2/Machine.h"
#include "tools/swfmake/AbcOps.h"
#include "tools/swfmake/AbcWriter.h"

namespace {

using swfmake::AbcWriter;
using Code = std::vector<uint8_t>;

using namespace swfmake::abcop;

constexpr int kIterations = 1000000;

double CpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

// for (i = 0; i < kIterations; i++) body, with local 2 a number and
// local 3 a fresh object.
std::vector<uint8_t> Loop(const std::function<void(AbcWriter&, Code&)>& body) {
    AbcWriter w;
    Code c;
    AbcWriter::Op(c, kGetLocal0);
    AbcWriter::Op(c, kPushScope);
    AbcWriter::Op(c, kPushByte, {0});
    AbcWriter::Op(c, kSetLocal2);
    AbcWriter::Op(c, kNewObject, {0});
    AbcWriter::Op(c, kSetLocal3);
    AbcWriter::Op(c, kPushByte, {0});
    AbcWriter::Op(c, 0xD5);  // setlocal1
    const size_t top = c.size();
    AbcWriter::Op(c, kLabel);
    body(w, c);
    AbcWriter::Op(c, kIncLocalI, {1});
    AbcWriter::Op(c, kGetLocal1);
    AbcWriter::Op(c, kPushInt, {w.Int(kIterations)});
    const int32_t back = int32_t(top) - int32_t(c.size() + 4);
    c.insert(c.end(), {kIfLt, uint8_t(back), uint8_t(back >> 8), uint8_t(back >> 16)});
    AbcWriter::Op(c, kReturnVoid);
    w.Script(w.Method(0, 8, 4, 2, c));
    return w.Bytes();
}

void Measure(const char* what, const std::function<void(AbcWriter&, Code&)>& body) {
    const std::vector<uint8_t> abc = Loop(body);
    swf::avm2::Machine m;
    std::string reported;
    m.report = [&](const std::string& s) { reported += s; };
    std::string error;
    const double t0 = CpuNs();
    m.LoadAbc(abc.data(), abc.size(), true, &error);
    const double ns = (CpuNs() - t0) / kIterations;
    m.Collect();
    const size_t once = m.heap.Bytes();
    m.LoadAbc(abc.data(), abc.size(), true, &error);
    m.Collect();
    const size_t twice = m.heap.Bytes();
    std::printf("%-34s %7.1f ns/iteration   heap %zu -> %zu bytes%s%s\n", what, ns, once, twice,
                reported.empty() ? "" : "   ", reported.c_str());
}

}  // namespace

int main() {
    std::printf("ActionScript 3, %d iterations each\n", kIterations);
    Measure("int arithmetic, typed", [](AbcWriter&, Code& c) {
        AbcWriter::Op(c, kGetLocal2);
        AbcWriter::Op(c, kGetLocal1);
        AbcWriter::Op(c, kAddI);
        AbcWriter::Op(c, kConvertI);
        AbcWriter::Op(c, kSetLocal2);
    });
    Measure("int arithmetic, untyped", [](AbcWriter&, Code& c) {
        AbcWriter::Op(c, kGetLocal2);
        AbcWriter::Op(c, kGetLocal1);
        AbcWriter::Op(c, kAdd);
        AbcWriter::Op(c, kCoerceA);
        AbcWriter::Op(c, kSetLocal2);
    });
    Measure("class property read (Math.PI)", [](AbcWriter& w, Code& c) {
        AbcWriter::Op(c, kGetLex, {w.QName("Math")});
        AbcWriter::Op(c, kGetProperty, {w.QName("PI")});
        AbcWriter::Op(c, kPop);
    });
    Measure("method call (Math.abs(i))", [](AbcWriter& w, Code& c) {
        AbcWriter::Op(c, kGetLex, {w.QName("Math")});
        AbcWriter::Op(c, kGetLocal1);
        AbcWriter::Op(c, kCallProperty, {w.QName("abs"), 1});
        AbcWriter::Op(c, kPop);
    });
    Measure("dynamic property write (o.x = i)", [](AbcWriter& w, Code& c) {
        AbcWriter::Op(c, kGetLocal3);
        AbcWriter::Op(c, kGetLocal1);
        AbcWriter::Op(c, kSetProperty, {w.QName("x")});
    });
    return 0;
}
