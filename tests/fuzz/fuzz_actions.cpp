// libFuzzer over the script interpreter: any bytes as an action block, run
// against a small clip tree with a tight instruction budget, then run again
// after a clip is gone, then the timers.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/avm1/Vm.h"

namespace {

namespace avm1 = swf::avm1;

// _level0 with one child "a" (id 2), which has a child "b" (id 3).
class FuzzHost : public avm1::Host {
public:
    avm1::ClipId Level(int n) override { return n == 0 ? 1 : 0; }
    avm1::ClipId Parent(avm1::ClipId c) override { return c > 1 && c <= last ? c - 1 : 0; }
    avm1::ClipId Child(avm1::ClipId c, const std::string& name, bool ci) override {
        if (c == 1 && last >= 2 && avm1::EqualNames(name, "a", ci)) return 2;
        if (c == 2 && last >= 3 && avm1::EqualNames(name, "b", ci)) return 3;
        return 0;
    }
    std::string PathOf(avm1::ClipId c) override {
        return c == 1 ? "_level0" : c == 2 ? "_level0.a" : c == 3 ? "_level0.a.b" : "";
    }
    int CurrentFrame(avm1::ClipId) override { return frame; }
    int TotalFrames(avm1::ClipId) override { return 5; }
    int FindLabel(avm1::ClipId, const std::string& l) override { return l == "x" ? 2 : -1; }
    void Goto(avm1::ClipId, int f, bool) override { frame = f < 0 ? 0 : f > 4 ? 4 : f; }
    void SetPlaying(avm1::ClipId, bool) override {}
    std::vector<const swf::ActionBlock*> FrameActions(avm1::ClipId, int) override { return {}; }
    avm1::Value GetProperty(avm1::ClipId, int index) override { return avm1::Value::Num(index); }
    void SetProperty(avm1::ClipId, int, const avm1::Value&) override {}
    void GetUrl(const std::string&, const std::string&, int) override {}
    void Trace(const std::string&) override {}
    double Now() override { return now; }
    double WallClock() override { return 1e12; }

    avm1::ClipId last = 3;
    int frame = 0;
    double now = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kBudget = 200000;
    FuzzHost host;
    for (int version : {6, 7}) {
        avm1::Vm vm(host, version);
        vm.SetBudget(kBudget);
        auto prog = std::make_shared<const avm1::Program>(avm1::Decode(data, size));
        vm.RunProgram(prog, 2);
        host.last = 1;  // a and b are removed
        vm.ClipRemoved(3);
        vm.ClipRemoved(2);
        vm.BeginHostCall();
        vm.RunProgram(prog, 1);
        host.now += 1000;
        vm.BeginHostCall();
        vm.RunTimers();
        host.last = 3;
    }
    return 0;
}
