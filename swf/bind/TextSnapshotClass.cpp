// TextSnapshot: the characters of a clip's static texts, read once when the
// snapshot is made, for scripts to read and search. MovieClip's
// getTextSnapshot makes one through whatever _global.TextSnapshot is then.
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

struct Snapshot : avm1::NativeData {
    std::u32string chars;
    std::vector<bool> lineStarts;  // a character that begins a new line of text
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

Value GetTextSnapshot(CallArgs& a) {
    if (!ClipOf(a)) return Value();
    const Value ctor = a.vm.GetMember(Value::Obj(a.vm.global), "TextSnapshot");
    return a.vm.Construct(ctor, {a.self});
}

}  // namespace

void InstallTextSnapshot(avm1::Vm& vm) {
    avm1::Object* proto = vm.NewObject();
    vm.DefineClass("TextSnapshot", SnapshotCtor, proto);
    vm.DefineNative(proto, "getCount", GetCount);
    vm.DefineNative(proto, "getText", GetText);
    vm.DefineNative(proto, "findText", FindText);
    vm.DefineNative(vm.clipProto, "getTextSnapshot", GetTextSnapshot);
}

}  // namespace swf::bind
