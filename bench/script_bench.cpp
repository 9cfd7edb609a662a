// Script interpreter: a loop of one million iterations doing arithmetic, a
// property read and a function call. Prints the time per iteration and the
// heap's live objects after 100 thousand and after one million iterations
// (collected first; equal counts: no growth per iteration), and the process's
// peak memory. Time is the process's processor time, so a busy machine
// slows the figure little.
#include <sys/resource.h>

#include <ctime>
#include <cstdio>
#include <memory>
#include <string>

#include "swf/avm1/Vm.h"
#include "tools/swfmake/ActionAsm.h"

namespace {

namespace avm1 = swf::avm1;

constexpr long long kModulus = 999983;

// What the script must trace: the same loop in C++.
long long Expected(int iterations) {
    long long sum = 0;
    for (long long i = 0; i < iterations; ++i) sum = (sum + i * 2 + 3 + 1) % kModulus;
    return sum;
}

double CpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e9 + t.tv_nsec;
}

// A stage of one clip: enough for frame scripts.
class BenchHost : public avm1::Host {
public:
    avm1::ClipId Level(int n) override { return n == 0 ? 1 : 0; }
    avm1::ClipId Parent(avm1::ClipId) override { return 0; }
    avm1::ClipId Child(avm1::ClipId, const std::string&, bool) override { return 0; }
    std::string PathOf(avm1::ClipId) override { return "_level0"; }
    int CurrentFrame(avm1::ClipId) override { return 0; }
    int TotalFrames(avm1::ClipId) override { return 1; }
    int FindLabel(avm1::ClipId, const std::string&) override { return -1; }
    void Goto(avm1::ClipId, int, bool) override {}
    void SetPlaying(avm1::ClipId, bool) override {}
    std::vector<const swf::ActionBlock*> FrameActions(avm1::ClipId, int) override { return {}; }
    avm1::Value GetProperty(avm1::ClipId, int) override { return avm1::Value(); }
    void SetProperty(avm1::ClipId, int, const avm1::Value&) override {}
    void GetUrl(const std::string&, const std::string&, int) override {}
    void Trace(const std::string& text) override { last = text; }
    double Now() override { return 0; }
    double WallClock() override { return 0; }
    std::string last;
};

// function f(x) { return x + 1; }  (registers, no this/arguments/super, as
// compilers emit it)
// var o = {k: 3}; var sum = 0;
// for (var i = 0; i < N; i++) { sum = sum + i * 2 + o.k; sum = f(sum) % 999983; }
// trace(sum);
std::string Script(int iterations) {
    return R"(
        constantpool 'f' 'x' 'o' 'k' 'sum' 'i'
        definefunction2 f 2 0x2a (1:x) fend
          push r:1, 1; add2; return
        fend:
        push c:2, c:3, 3, 1; initobject; setvariable
        push c:4, 0; setvariable
        push 0; storeregister 1; pop
        top:
        push r:1, )" + std::to_string(iterations) + R"(; less2; not; if done
        push c:4, c:4; getvariable; push r:1, 2; multiply; add2
        push c:2; getvariable; push c:3; getmember; add2; setvariable
        push c:4; push c:4; getvariable; push 1, c:0; callfunction; push )" + std::to_string(kModulus) + R"(; modulo; setvariable
        push r:1; increment; storeregister 1; pop
        jump top
        done:
        push c:4; getvariable; trace)";
}

double RunOnce(int iterations, size_t& liveAfter, std::string& result) {
    BenchHost host;
    avm1::Vm vm(host, 7);
    vm.SetBudget(size_t(1) << 32);
    std::vector<uint8_t> bytes = swfmake::Assemble(Script(iterations));
    auto prog = std::make_shared<const avm1::Program>(avm1::Decode(bytes.data(), bytes.size()));
    const double start = CpuNs();
    vm.RunProgram(prog, 1);
    const double end = CpuNs();
    vm.Collect();
    liveAfter = vm.LiveObjects();
    result = host.last;
    for (const std::string& e : vm.Errors()) std::fprintf(stderr, "script error: %s\n", e.c_str());
    return (end - start) / iterations;
}

}  // namespace

int main() {
    size_t liveSmall = 0, liveLarge = 0;
    std::string small, large;
    RunOnce(100000, liveSmall, small);
    const double ns = RunOnce(1000000, liveLarge, large);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("script loop: %.1f ns of processor time per iteration (1,000,000 iterations)\n", ns);
    std::printf("traced %s, expected %lld%s\n", large.c_str(), Expected(1000000),
                large == std::to_string(Expected(1000000)) ? "" : "  MISMATCH");
    std::printf("heap live objects: %zu after 100,000 iterations, %zu after 1,000,000\n", liveSmall, liveLarge);
    std::printf("peak resident memory: %ld KiB\n", usage.ru_maxrss);
    return 0;
}
