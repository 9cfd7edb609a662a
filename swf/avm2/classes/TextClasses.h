// Native kinds of flash.text: a TextFormat is a set of properties, each
// set or null, that the player reads when a script applies it to a field.
#pragma once

#include "swf/avm2/classes/Builtins.h"

namespace swf::avm2 {

enum TextFormatProp : int {
    kTfAlign, kTfBlockIndent, kTfBold, kTfBullet, kTfColor, kTfDisplay, kTfFont, kTfIndent, kTfItalic,
    kTfKerning, kTfLeading, kTfLeftMargin, kTfLetterSpacing, kTfRightMargin, kTfSize, kTfTabStops,
    kTfTarget, kTfUnderline, kTfUrl, kTfCount
};

class TextFormatObject : public Object {
public:
    TextFormatObject(ClassObject* cls, Object* proto) : Object(ObjKind::Plain, cls, proto) {
        for (Value& v : props) v = Value::Null();
    }
    // Null: not set. Numbers, booleans and strings as their setters left
    // them; tab stops an Array.
    Value props[kTfCount];
    void Trace(Tracer& t) override;
};

// The TextFormat `v` is, or null.
TextFormatObject* AsTextFormat(Machine& m, const Value& v);
// A fresh TextFormat with nothing set.
TextFormatObject* NewTextFormat(Machine& m);
void InstallTextFormat(Machine& m);

// What a StyleSheet's transform makes of the style for `selector`, or null
// when the sheet has none.
Value StyleSheetFormat(Machine& m, const Value& sheet, const std::string& selector);
void InstallStyleSheet(Machine& m);
void InstallTextEngine(Machine& m);  // flash.text.engine's formats and elements

}  // namespace swf::avm2
