// Shared by the script tests: a fake host (a small clip tree with frames,
// labels and properties) and a runner that assembles a script, runs it in a
// fresh machine and returns what it traced.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swf/model/Movie.h"
#include "swf/avm1/Program.h"
#include "swf/avm1/Vm.h"
#include "tools/swfmake/ActionAsm.h"

namespace scripttest {

using swf::avm1::ClipId;
using swf::avm1::Value;

struct FakeClip {
    std::string name;
    ClipId parent = 0;
    std::vector<ClipId> children;
    int frame = 0, total = 10;
    bool playing = true;
    std::map<std::string, int> labels;
    std::map<int, Value> props;
};

class FakeHost : public swf::avm1::Host {
public:
    FakeHost() { clips[1].name = "_level0"; }

    ClipId Add(ClipId parent, const std::string& name) {
        ClipId id = next++;
        clips[id].name = name;
        clips[id].parent = parent;
        clips[parent].children.push_back(id);
        return id;
    }
    void Remove(ClipId id) {
        auto& siblings = clips[clips[id].parent].children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
        clips.erase(id);
    }

    ClipId Level(int n) override { return n == 0 ? 1 : 0; }
    ClipId Parent(ClipId c) override { return clips.count(c) ? clips[c].parent : 0; }
    ClipId Child(ClipId c, const std::string& name, bool ci) override {
        if (!clips.count(c)) return 0;
        for (ClipId k : clips[c].children)
            if (swf::avm1::EqualNames(clips[k].name, name, ci)) return k;
        return 0;
    }
    std::vector<std::string> ChildNames(ClipId c) override {
        std::vector<std::string> names;
        for (ClipId k : clips[c].children) names.push_back(clips[k].name);
        return names;
    }
    std::string PathOf(ClipId c) override {
        if (c == 1) return "_level0";
        return clips.count(c) ? PathOf(clips[c].parent) + "." + clips[c].name : "";
    }
    int CurrentFrame(ClipId c) override { return clips[c].frame; }
    int TotalFrames(ClipId c) override { return clips[c].total; }
    int FindLabel(ClipId c, const std::string& l) override {
        auto it = clips[c].labels.find(l);
        return it == clips[c].labels.end() ? -1 : it->second;
    }
    void Goto(ClipId c, int frame, bool play) override {
        clips[c].frame = std::max(0, std::min(frame, clips[c].total - 1));
        clips[c].playing = play;
        log.push_back("goto " + PathOf(c) + " " + std::to_string(clips[c].frame) + (play ? " play" : ""));
    }
    void SetPlaying(ClipId c, bool p) override { clips[c].playing = p; }
    std::vector<const swf::ActionBlock*> FrameActions(ClipId c, int frame) override {
        auto it = frameActions.find({c, frame});
        if (it == frameActions.end()) return {};
        return {&it->second};
    }
    Value GetProperty(ClipId c, int index) override {
        if (index == 13) return Value::String(clips[c].name);
        if (index == 4) return Value::Num(clips[c].frame + 1);
        auto it = clips[c].props.find(index);
        return it == clips[c].props.end() ? Value::Num(0) : it->second;
    }
    void SetProperty(ClipId c, int index, const Value& v) override { clips[c].props[index] = v; }
    void GetUrl(const std::string& url, const std::string& target, int) override {
        log.push_back("url " + url + " " + target);
    }
    void Trace(const std::string& text) override { traces.push_back(text); }
    double Now() override { return now; }
    double WallClock() override { return wall; }

    std::map<ClipId, FakeClip> clips;
    std::map<std::pair<ClipId, int>, swf::ActionBlock> frameActions;
    std::vector<std::string> traces, log;
    double now = 0, wall = 1e12;
    ClipId next = 2;
};

// Traces joined by '|'.
inline std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) out += (i ? "|" : "") + lines[i];
    return out;
}

// Assembles and runs `text` on the root clip of a fresh machine.
struct Machine {
    explicit Machine(int version = 7) : vm(host, version) {}
    std::string Run(const std::string& text, ClipId clip = 1) {
        host.traces.clear();
        std::vector<uint8_t> bytes = swfmake::Assemble(text);
        auto prog = std::make_shared<const swf::avm1::Program>(swf::avm1::Decode(bytes.data(), bytes.size()));
        vm.BeginHostCall();
        vm.RunProgram(prog, clip);
        return Joined(host.traces);
    }
    FakeHost host;
    swf::avm1::Vm vm;
};

struct Case {
    const char* script;
    const char* expected;
};

// Runs each case in its own machine of `version`; failures name the script.
inline void RunTable(const std::vector<Case>& cases, int version = 7) {
    for (const Case& c : cases) {
        Machine m(version);
        EXPECT_EQ(m.Run(c.script), c.expected) << "SWF " << version << ": " << c.script;
    }
}

// The same for cases built as strings: {script, expected}.
inline void RunPairs(const std::vector<std::pair<std::string, std::string>>& cases, int version = 7) {
    for (const auto& c : cases) {
        Machine m(version);
        EXPECT_EQ(m.Run(c.first), c.second) << "SWF " << version << ": " << c.first;
    }
}

}  // namespace scripttest
