// Paths scripts give to getProperty, tellTarget and eval, read by the rules
// of the movie's version.
#include "MovieScriptUtil.h"

namespace {

using namespace enginetest;

constexpr uint16_t kBox = 1, kChild = 2, kSprite = 3;
constexpr int kNameProperty = 13;

// A sprite "s" holding a sprite "c"; the root runs `script`.
std::string Traces(const std::string& script, int version) {
    swfmake::SwfWriter w(static_cast<uint8_t>(version), kStage, 12);
    auto& t = w.Tags();
    t.DefineShape(kBox, Square(200));
    swfmake::TagList child;
    child.PlaceObject(kBox, 1);
    child.ShowFrame();
    t.DefineSprite(kChild, child);
    swfmake::TagList sprite;
    swfmake::Placement c = swfmake::NewPlacement(1, kChild);
    c.name = "c";
    sprite.PlaceObject2(c);
    sprite.ShowFrame();
    t.DefineSprite(kSprite, sprite);
    swfmake::Placement s = swfmake::NewPlacement(1, kSprite, swf::Matrix::Translate(800, 400));
    s.name = "s";
    t.PlaceObject2(s);
    t.DoAction(Asm(script));
    t.ShowFrame();
    ScriptedMovie m(w);
    return m.loaded ? m.log.Joined() : "not loaded";
}

std::string NameAt(const std::string& path) {
    return Trace(Str(path) + "; push " + std::to_string(kNameProperty) + "; getproperty");
}

// SWF 4 splits paths at slashes only and has no _root, _parent or this.
TEST(TargetPathsTest, Swf4PathsAreSlashSeparatedNames) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"s/c", "c"},
        {"s/..", ""},             // the root's name
        {"_flash0/s", "s"},       // _flashN is _levelN
        {"_level0:s:c", ""},      // a level's digits end its name: the rest is ignored
        {"s:c", "undefined"},     // a colon is part of the name
        {"/_level0", "undefined"},
        {"_root", "undefined"},
        {"this", "undefined"},
    };
    for (const auto& c : cases) EXPECT_EQ(Traces(NameAt(c.path), 4), c.name) << c.path;
}

// SWF 4 has no clip values; "path:variable" reads a clip's variable, and a
// colon with no path before it names none.
TEST(TargetPathsTest, Swf4EvalReadsVariablesButNoClips) {
    const std::string setup = Lines({SetV("/s:v", Str("in s")), SetV("v", Str("in root"))});
    const struct {
        const char* name;
        const char* type;
    } cases[] = {
        {"s", "undefined"}, {"/s", "undefined"}, {"/s:v", "string"},
        {"/:v", "string"},  {":v", "undefined"}, {"_level0:v", "string"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Traces(setup + Trace(Str(c.name) + "; getvariable; typeof"), 4), c.type) << c.name;
}

}  // namespace
