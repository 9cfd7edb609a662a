// "card3.swf": a card made the ActionScript 3 way, a document class that
// builds what the card shows and answers the user's clicks and keys. Written as bytecode.
#include <functional>
#include <string>
#include <vector>

#include "tools/moviegen/Movies.h"
#include "tools/moviegen/TestMovies.h"
#include "tools/swfmake/AbcOps.h"
#include "tools/swfmake/AbcWriter.h"
#include "tools/swfmake/ShapeBuilder.h"

namespace moviegen {

namespace {

using swfmake::AbcWriter;
using namespace swfmake::abcop;
using F = Card3Facts;

// One method body, written as a script author reads it.
class Body {
public:
    explicit Body(AbcWriter& w) : w_(w) { Local(0).Op(kPushScope); }
    Body& Op(uint8_t op, std::initializer_list<uint32_t> operands = {}) {
        AbcWriter::Op(code_, op, operands);
        return *this;
    }
    Body& Local(int r) { return Op(uint8_t(kGetLocal0 + r)); }
    Body& SetLocal(int r) { return Op(uint8_t(0xD4 + r)); }
    Body& Int(int v) {
        if (v >= -128 && v < 128) return Op(kPushByte, {uint32_t(v & 0xff)});
        if (v >= 0 && v < 32768) return Op(kPushShort, {uint32_t(v)});
        return Op(kPushInt, {w_.Int(v)});
    }
    Body& Str(const std::string& s) { return Op(kPushString, {w_.String(s)}); }
    Body& Get(const std::string& name) { return Op(kGetProperty, {w_.QName(name)}); }
    Body& Set(const std::string& name) { return Op(kSetProperty, {w_.QName(name)}); }
    Body& Call(const std::string& name, uint32_t argc) { return Op(kCallPropVoid, {w_.QName(name), argc}); }
    Body& New(const std::string& cls, const std::string& pkg) {
        const uint32_t name = w_.QName(cls, pkg);
        return Op(kFindPropStrict, {name}).Op(kConstructProp, {name, 0});
    }
    // r.graphics: a filled rectangle of `rgb` from (0, 0).
    Body& FillRect(const std::function<void()>& pushShape, int rgb, int width, int height) {
        pushShape();
        Get("graphics").Int(rgb).Call("beginFill", 1);
        pushShape();
        Get("graphics").Int(0).Int(0).Int(width).Int(height).Call("drawRect", 4);
        return *this;
    }
    size_t Size() const { return code_.size(); }
    // A forward branch, patched by Land.
    size_t Branch(uint8_t op) {
        Op(op);
        code_.insert(code_.end(), 3, 0);
        return code_.size();
    }
    void Land(size_t from) {
        const int32_t offset = int32_t(code_.size() - from);
        for (int i = 0; i < 3; ++i) code_[from - 3 + i] = uint8_t(offset >> (8 * i));
    }
    uint32_t Method(uint32_t params, uint32_t locals) {
        Op(kReturnVoid);
        return w_.Method(params, 10, locals, 4, code_);
    }

private:
    AbcWriter& w_;
    std::vector<uint8_t> code_;
};

std::vector<uint8_t> CardAbc() {
    AbcWriter w;
    // new Card(): stop on "front"; a text field, a button and a ball.
    Body init(w);
    init.Local(0).Op(kConstructSuper, {0});
    init.Local(0).Call("stop", 0);
    init.New("TextField", "flash.text").SetLocal(1);
    init.Local(1).Int(F::kTextLeft).Set("x").Local(1).Int(F::kTextTop).Set("y");
    init.Local(1).Int(F::kTextWidth).Set("width").Local(1).Int(F::kTextHeight).Set("height");
    init.Local(1).Op(kPushTrue).Set("background").Local(1).Int(int(F::kTextRgb)).Set("backgroundColor");
    init.Local(1).Str("Hello from a script").Set("text");
    init.Local(0).Local(1).Call("addChild", 1);
    init.Local(0).Local(1).Set("field");
    init.New("Sprite", "flash.display").SetLocal(2);
    init.FillRect([&] { init.Local(2); }, int(F::kButtonRgb), F::kButtonWidth, F::kButtonHeight);
    init.Local(2).Int(F::kButtonLeft).Set("x").Local(2).Int(F::kButtonTop).Set("y");
    init.Local(2).Op(kPushTrue).Set("buttonMode");
    init.Local(2).Str("click").Local(0).Get("onClick").Call("addEventListener", 2);
    init.Local(0).Local(2).Call("addChild", 1);
    init.Local(0).New("Shape", "flash.display").Set("ball");
    init.FillRect([&] { init.Local(0).Get("ball"); }, int(F::kBallRgb), F::kBallSize, F::kBallSize);
    init.Local(0).Get("ball").Int(F::kBallTop).Set("y");
    init.Local(0).Local(0).Get("ball").Call("addChild", 1);
    init.Local(0).Str("enterFrame").Local(0).Get("onTick").Call("addEventListener", 2);
    init.Local(0).Get("stage").Str("keyDown").Local(0).Get("onKey").Call("addEventListener", 2);
    const uint32_t iinit = init.Method(0, 3);

    // onTick: ball.x += step; past the turn it starts again from 0.
    Body tick(w);
    tick.Local(0).Get("ball").Local(0).Get("ball").Get("x").Int(F::kBallStep).Op(kAdd).Set("x");
    tick.Local(0).Get("ball").Get("x").Int(F::kBallTurn);
    const size_t stay = tick.Branch(kIfNGt);
    tick.Local(0).Get("ball").Int(0).Set("x");
    tick.Land(stay);
    const uint32_t onTick = tick.Method(1, 2);

    Body click(w);
    click.Local(0).Str("back").Call("gotoAndStop", 1);
    const uint32_t onClick = click.Method(1, 2);

    // Any key recolours the field.
    Body key(w);
    key.Local(0).Get("field").Int(int(F::kTextKeyRgb)).Set("backgroundColor");
    const uint32_t onKey = key.Method(1, 2);

    const uint32_t cinit = Body(w).Method(0, 1);
    AbcWriter::ClassDef card{w.QName("Card"), w.QName("MovieClip", "flash.display"), iinit, cinit, {}, {}};
    card.instanceTraits = {{w.QName("ball"), AbcWriter::Trait::kSlot},
                           {w.QName("field"), AbcWriter::Trait::kSlot},
                           {w.QName("onKey"), AbcWriter::Trait::kMethod, onKey},
                           {w.QName("onTick"), AbcWriter::Trait::kMethod, onTick},
                           {w.QName("onClick"), AbcWriter::Trait::kMethod, onClick}};
    const uint32_t cardClass = w.Class(card);

    Body script(w);
    script.Op(kGetScopeObject, {0}).Op(kGetLex, {w.QName("MovieClip", "flash.display")});
    script.Op(kNewClass, {cardClass}).Op(kInitProperty, {w.QName("Card")});
    w.Script(script.Method(0, 1), {{w.QName("Card"), AbcWriter::Trait::kClass, cardClass}});
    return w.Bytes();
}

uint16_t Backdrop(swfmake::SwfWriter& movie, swf::Rgba colour) {
    swfmake::ShapeBuilder fill;
    fill.FillRect({0, F::kWidth * kTwips, 0, F::kHeight * kTwips}, fill.AddSolidFill(colour));
    const uint16_t id = movie.NextId();
    movie.Tags().DefineShape(id, fill.Build());
    return id;
}

}  // namespace

swfmake::SwfWriter Card3Movie() {
    constexpr uint8_t kVersion = 10;
    constexpr uint16_t kFileAttributes = 69, kDoAbc = 82, kSymbolClass = 76;
    constexpr uint8_t kUsesAbc = 0x08;
    constexpr uint16_t kBackdropDepth = 1;
    swfmake::SwfWriter movie(kVersion, swf::Rect{0, F::kWidth * kTwips, 0, F::kHeight * kTwips}, 24);
    swfmake::TagList& t = movie.Tags();
    t.Raw(kFileAttributes, {kUsesAbc, 0, 0, 0});
    t.SetBackgroundColor({255, 255, 255, 255});
    const uint16_t front = Backdrop(movie, F::kFront);
    const uint16_t back = Backdrop(movie, F::kBack);
    t.Raw(kDoAbc, swfmake::DoAbcBody(CardAbc(), false, "card"), true);
    t.Raw(kSymbolClass, swfmake::SymbolClassBody({{0, "Card"}}));
    t.PlaceObject2(swfmake::NewPlacement(kBackdropDepth, front));
    t.FrameLabel("front");
    t.ShowFrame();
    swfmake::Placement p = swfmake::NewPlacement(kBackdropDepth, back);
    p.move = true;
    t.PlaceObject2(p);
    t.FrameLabel("back");
    t.ShowFrame();
    return movie;
}

}  // namespace moviegen
