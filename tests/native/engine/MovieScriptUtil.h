// Scripted fixture movies: expressions written as assembler snippets that
// leave one value on the stack, so tests read close to the script they
// stand for. Var("a.b") is a.b, CallM(Var("a"), "f", {Num(1)}) is a.f(1).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "EngineTestUtil.h"
#include "tools/swfmake/ActionAsm.h"

namespace enginetest {

inline swfmake::Actions Asm(const std::string& text) { return swfmake::Actions().Raw(swfmake::Assemble(text)); }

inline std::string Str(const std::string& s) { return "push '" + s + "'"; }
inline std::string Num(double n) {
    std::string s = std::to_string(n);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return "push " + s;
}
inline std::string Var(const std::string& dotted) {
    size_t dot = dotted.find('.');
    std::string out = "push '" + dotted.substr(0, dot) + "'; getvariable";
    while (dot != std::string::npos) {
        size_t next = dotted.find('.', dot + 1);
        out += "; push '" + dotted.substr(dot + 1, next == std::string::npos ? std::string::npos : next - dot - 1) +
               "'; getmember";
        dot = next;
    }
    return out;
}
inline std::string Member(const std::string& obj, const std::string& name) {
    return obj + "; push '" + name + "'; getmember";
}
inline std::string CallM(const std::string& obj, const std::string& method, const std::vector<std::string>& args = {}) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + "; " + obj + "; push '" + method + "'; callmethod";
}
inline std::string CallF(const std::string& fn, const std::vector<std::string>& args = {}) {
    std::string out;
    for (auto it = args.rbegin(); it != args.rend(); ++it) out += *it + "; ";
    return out + "push " + std::to_string(args.size()) + ", '" + fn + "'; callfunction";
}
// Statements.
inline std::string Trace(const std::string& expr) { return expr + "; trace"; }
inline std::string Do(const std::string& expr) { return expr + "; pop"; }
inline std::string SetM(const std::string& obj, const std::string& name, const std::string& value) {
    return obj + "; push '" + name + "'; " + value + "; setmember";
}
inline std::string SetV(const std::string& name, const std::string& value) {
    return "push '" + name + "'; " + value + "; setvariable";
}
// function() { body } as a value.
inline std::string Fn(const std::string& body, const std::string& params = "") {
    static int n = 0;
    const std::string end = "fnend" + std::to_string(++n);
    return "definefunction -(" + params + ") " + end + "; " + body + "; " + end + ":";
}
inline std::string Lines(const std::vector<std::string>& statements) {
    std::string out;
    for (const std::string& s : statements) out += s + "\n";
    return out;
}

struct Traced {
    std::vector<std::string> lines;
    void Attach(swf::Player& p) {
        p.SetTraceHandler([this](const std::string& s) { lines.push_back(s); });
    }
    std::string Joined() const {
        std::string out;
        for (size_t i = 0; i < lines.size(); ++i) out += (i ? "|" : "") + lines[i];
        return out;
    }
    std::string Take() {
        std::string out = Joined();
        lines.clear();
        return out;
    }
};

// A sprite "s" holding a 10-pixel red square, placed at (20, 20) at depth
// 1, with `script` in frame 1; `frame2` adds a second frame that moves it.
inline swfmake::SwfWriter SquareClipScene(const std::string& script,
                                          const std::optional<swf::Matrix>& frame2 = std::nullopt) {
    constexpr int32_t tw = swf::kTwipsPerPixel;
    swfmake::SwfWriter w(8, kStage, 12);
    auto& t = w.Tags();
    t.SetBackgroundColor({255, 255, 255, 255});
    t.DefineShape(1, Square(10 * tw));
    swfmake::TagList sprite;
    sprite.PlaceObject(1, 1);
    sprite.ShowFrame();
    t.DefineSprite(2, sprite);
    swfmake::Placement p = swfmake::NewPlacement(1, 2, swf::Matrix::Translate(20 * tw, 20 * tw));
    p.name = "s";
    t.PlaceObject2(p);
    if (!script.empty()) t.DoAction(Asm(script));
    t.ShowFrame();
    if (frame2) {
        t.PlaceObject2(swfmake::MovePlacement(1, *frame2));
        t.ShowFrame();
    }
    return w;
}

// A player with its trace log.
struct ScriptedMovie {
    swf::Player player;
    Traced log;
    explicit ScriptedMovie(const swfmake::SwfWriter& w) {
        log.Attach(player);
        loaded = Load(player, w);
    }
    bool loaded = false;
};

}  // namespace enginetest

namespace enginetest {

// The movie's stage at 1:1 into a frame buffer.
inline swf::FrameBuffer Pixels(swf::Player& p) {
    swf::FrameBuffer fb(kStage.Width() / swf::kTwipsPerPixel, kStage.Height() / swf::kTwipsPerPixel);
    p.SetScaleMode(swf::kExactFit);
    p.Render(fb);
    return fb;
}

constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;

}  // namespace enginetest
