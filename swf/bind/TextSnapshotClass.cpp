// TextSnapshot: the characters of a clip's static texts, read once when the
// snapshot is made, for scripts to read and search. MovieClip's
// getTextSnapshot makes one through whatever _global.TextSnapshot is then.
#include <algorithm>
#include <cmath>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "swf/bind/Bindings.h"
#include "swf/display/MovieClip.h"
#include "swf/model/Movie.h"
#include "swf/text/FormattedText.h"

namespace swf::bind {

namespace {

using avm1::CallArgs;
using avm1::Value;

// Where one character sits and how it is drawn, for getTextRunInfo and
// hitTestTextNearPos.
struct GlyphPlace {
    Point origin;  // on the baseline, twips in the clip's space
    std::string font;
    uint32_t color = 0;
    double height = 0;  // twips per em
    Matrix matrix;      // the text's matrix
};

struct Snapshot : avm1::NativeData {
    std::u32string chars;
    std::vector<bool> lineStarts;  // a character that begins a new line of text
    std::vector<GlyphPlace> places;
    std::vector<bool> selected;
    uint32_t selectColor = 0xFFFF00;
};

// The static texts directly in `clip`, in depth order; a run on a new
// baseline, or the next text, starts a line.
void Collect(const MovieClip& clip, Snapshot& out) {
    const Movie* movie = clip.Assets().movie;
    if (!movie) return;
    for (const auto& [depth, obj] : clip.List()) {
        if (!obj || obj->Kind() != DisplayKind::StaticText || !obj->character) continue;
        const auto& text = static_cast<const StaticTextCharacter&>(*obj->character).text;
        bool first = true;
        int32_t lastY = 0;
        for (const TextRun& run : text.runs) {
            const Character* c = movie->Find(run.fontId);
            const FontData* font =
                c && c->kind == CharacterKind::Font ? &static_cast<const FontCharacter*>(c)->font : nullptr;
            bool startsLine = first || run.y != lastY;
            first = false;
            lastY = run.y;
            for (const StaticGlyph& g : run.glyphs) {
                const char32_t code = font && g.index < font->glyphs.size() ? font->glyphs[g.index].code : U'\0';
                out.chars.push_back(code);
                out.lineStarts.push_back(startsLine);
                startsLine = false;
                const uint32_t rgb = (uint32_t(run.color.r) << 16) | (uint32_t(run.color.g) << 8) | run.color.b;
                out.places.push_back({obj->matrix.Apply(text.matrix.Apply(Point{g.x, run.y})),
                                      font ? font->name : std::string(), rgb, double(run.height), text.matrix});
            }
        }
    }
}

Snapshot* SnapshotOf(CallArgs& a) {
    if (!a.self.IsObject()) return nullptr;
    return dynamic_cast<Snapshot*>(a.self.o->native.get());
}

// Index arguments: NaN counts as 0, fractions are cut.
double IndexArg(CallArgs& a, size_t i) {
    const double d = a.vm.ToNumber(a.Arg(i));
    return std::isnan(d) ? 0 : std::trunc(d);
}

char32_t Fold(char32_t c) {
    return c < 0x10000 ? char32_t(std::towlower(wint_t(c))) : c;
}

Value SnapshotCtor(CallArgs& a) {
    if (!a.self.IsObject()) return Value();
    auto snap = std::make_shared<Snapshot>();
    if (const MovieClip* clip = ClipOf(a.vm, a.Arg(0))) Collect(*clip, *snap);
    snap->selected.assign(snap->chars.size(), false);
    a.self.o->native = std::move(snap);
    return Value();
}

Value GetCount(CallArgs& a) {
    const Snapshot* s = SnapshotOf(a);
    if (!s || !a.args.empty()) return Value();
    return Value::Num(double(s->chars.size()));
}

// getText(start, end[, lineEndings]): the range is clamped to hold at
// least one character.
Value GetText(CallArgs& a) {
    const Snapshot* s = SnapshotOf(a);
    if (!s || a.args.size() < 2 || a.args.size() > 3) return Value();
    const double count = double(s->chars.size());
    if (count == 0) return Value::String(std::string());
    const double start = std::max(0.0, std::min(IndexArg(a, 0), count - 1));
    const double end = std::max(start + 1, std::min(IndexArg(a, 1), count));
    const bool lineEndings = a.args.size() > 2 && a.vm.ToBool(a.args[2]);
    std::u32string text;
    for (size_t i = size_t(start); i < size_t(end); ++i) {
        if (lineEndings && i > size_t(start) && s->lineStarts[i]) text.push_back(U'\n');
        text.push_back(s->chars[i]);
    }
    return Value::String(EncodeUtf8(text));
}

// findText(start, text, caseSensitive): the first index at or after start,
// else -1.
Value FindText(CallArgs& a) {
    const Snapshot* s = SnapshotOf(a);
    if (!s || a.args.size() != 3) return Value();
    const double start = IndexArg(a, 0);
    const std::u32string want = DecodeUtf8(a.vm.ToString(a.args[1]));
    const bool exact = a.vm.ToBool(a.args[2]);
    const size_t n = s->chars.size();
    if (want.empty() || start < 0 || start >= double(n)) return Value::Num(-1);
    for (size_t i = size_t(start); i + want.size() <= n; ++i) {
        size_t k = 0;
        while (k < want.size() &&
               (exact ? s->chars[i + k] == want[k] : Fold(s->chars[i + k]) == Fold(want[k])))
            ++k;
        if (k == want.size()) return Value::Num(double(i));
    }
    return Value::Num(-1);
}

// The range [start, end) of a snapshot's characters, clamped to them.
std::pair<size_t, size_t> RangeArgs(CallArgs& a, const Snapshot& s) {
    const double n = double(s.chars.size());
    const double start = std::clamp(IndexArg(a, 0), 0.0, n);
    const double end = std::clamp(IndexArg(a, 1), start, n);
    return {size_t(start), size_t(end)};
}

// getSelected(start, end): whether any character of the range is selected.
Value GetSelected(CallArgs& a) {
    const Snapshot* s = SnapshotOf(a);
    if (!s || a.args.size() != 2) return Value();
    const auto [start, end] = RangeArgs(a, *s);
    for (size_t i = start; i < end; ++i)
        if (s->selected[i]) return Value::Bool(true);
    return Value::Bool(false);
}

// setSelected(start, end, select).
Value SetSelected(CallArgs& a) {
    Snapshot* s = SnapshotOf(a);
    if (!s || a.args.size() != 3) return Value();
    const auto [start, end] = RangeArgs(a, *s);
    const bool on = a.vm.ToBool(a.args[2]);
    for (size_t i = start; i < end; ++i) s->selected[i] = on;
    return Value();
}

// getSelectedText([lineEndings]): the selected characters in order.
Value GetSelectedText(CallArgs& a) {
    const Snapshot* s = SnapshotOf(a);
    if (!s || a.args.size() > 1) return Value();
    const bool lineEndings = !a.args.empty() && a.vm.ToBool(a.args[0]);
    std::u32string text;
    for (size_t i = 0; i < s->chars.size(); ++i) {
        if (!s->selected[i]) continue;
        if (lineEndings && !text.empty() && s->lineStarts[i]) text.push_back(U'\n');
        text.push_back(s->chars[i]);
    }
    return Value::String(EncodeUtf8(text));
}

Value SetSelectColor(CallArgs& a) {
    Snapshot* s = SnapshotOf(a);
    if (!s || a.args.size() != 1) return Value();
    s->selectColor = uint32_t(avm1::ToInt32(a.vm.ToNumber(a.args[0]))) & 0xFFFFFF;
    return Value();
}

// hitTestTextNearPos(x, y[, maxDistance]): the character whose baseline
// origin is nearest the point (pixels in the clip), within maxDistance
// when given; -1 when none is.
Value HitTestTextNearPos(CallArgs& a) {
    const Snapshot* s = SnapshotOf(a);
    if (!s || a.args.size() < 2 || a.args.size() > 3) return Value();
    const double x = a.vm.ToNumber(a.args[0]) * kTwipsPerPixel, y = a.vm.ToNumber(a.args[1]) * kTwipsPerPixel;
    double best = a.args.size() > 2 ? a.vm.ToNumber(a.args[2]) * kTwipsPerPixel : INFINITY;
    double found = -1;
    for (size_t i = 0; i < s->places.size(); ++i) {
        const double d = std::hypot(s->places[i].origin.x - x, s->places[i].origin.y - y);
        if (d <= best) best = d, found = double(i);
    }
    return Value::Num(found);
}

// getTextRunInfo(start, end): one object per character of the range.
Value GetTextRunInfo(CallArgs& a) {
    const Snapshot* s = SnapshotOf(a);
    if (!s || a.args.size() != 2) return Value();
    const auto [start, end] = RangeArgs(a, *s);
    avm1::PinGuard pin(a.vm);
    std::vector<Value> out;
    for (size_t i = start; i < end; ++i) {
        const GlyphPlace& g = s->places[i];
        avm1::Object* o = a.vm.NewObject();
        const double em = g.height / kTwipsPerPixel / 1024;  // glyph units to pixels
        const std::pair<const char*, Value> fields[] = {
            {"indexInRun", Value::Num(double(i))}, {"selected", Value::Bool(s->selected[i])},
            {"font", Value::String(g.font)}, {"color", Value::Num(double(g.color))},
            {"height", Value::Num(g.height / kTwipsPerPixel)},
            {"matrix_a", Value::Num(g.matrix.a / double(kFixedOne) * em)},
            {"matrix_b", Value::Num(g.matrix.b / double(kFixedOne) * em)},
            {"matrix_c", Value::Num(g.matrix.c / double(kFixedOne) * em)},
            {"matrix_d", Value::Num(g.matrix.d / double(kFixedOne) * em)},
            {"matrix_tx", Value::Num(g.origin.x / kTwipsPerPixel)},
            {"matrix_ty", Value::Num(g.origin.y / kTwipsPerPixel)},
        };
        for (const auto& [name, v] : fields) a.vm.Put(o, name, v);
        out.push_back(Value::Obj(o));
    }
    return Value::Obj(a.vm.NewArray(std::move(out)));
}

Value GetTextSnapshot(CallArgs& a) {
    if (!ClipOf(a)) return Value();
    const Value ctor = a.vm.GetMember(Value::Obj(a.vm.global), "TextSnapshot");
    return a.vm.Construct(ctor, {a.self});
}

}  // namespace

void InstallTextSnapshot(avm1::Vm& vm) {
    avm1::Object* proto = vm.NewObject();
    vm.DefineClass("TextSnapshot", SnapshotCtor, proto);
    // Enumerable, and missing for SWF 5 movies (which still list them).
    const std::pair<const char*, avm1::NativeFn> methods[] = {
        {"getCount", GetCount}, {"setSelected", SetSelected}, {"getSelected", GetSelected},
        {"getText", GetText}, {"getSelectedText", GetSelectedText}, {"hitTestTextNearPos", HitTestTextNearPos},
        {"findText", FindText}, {"setSelectColor", SetSelectColor}, {"getTextRunInfo", GetTextRunInfo},
    };
    for (const auto& [name, fn] : methods) {
        avm1::Property& p = proto->Put(name, false);
        p.value = Value::Obj(vm.NewNative(fn));
        p.flags = avm1::kOnlySwf6Up;
    }
    vm.DefineNative(vm.clipProto, "getTextSnapshot", GetTextSnapshot);
}

}  // namespace swf::bind
