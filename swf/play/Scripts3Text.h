// flash.text in the player: TextField over the engine's edit text fields,
// Font over the movie's embedded fonts, TextLineMetrics and StyleSheet.
#pragma once

#include <string>

#include "swf/avm2/classes/Display.h"
#include "swf/avm2/classes/TextClasses.h"
#include "swf/display/TextObjects.h"
#include "swf/text/FormatPatch.h"

namespace swf {

// A TextField's script object: what scripts set that the engine field
// does not keep.
class TextFieldObject : public avm2::DispatcherObject {
public:
    TextFieldObject(avm2::ClassObject* cls, avm2::Object* proto) : DispatcherObject(cls, proto) {}
    avm2::Value styleSheet = avm2::Value::Null();
    // Text set while a style sheet was on: read back as set, and parsed
    // again when a sheet is assigned.
    std::string styledSource;
    bool hasStyledSource = false;
    bool alwaysShowSelection = false;
    bool useRichTextClipboard = false;
    std::string antiAliasType = "normal";
    std::string gridFitType = "pixel";
    double sharpness = 0, thickness = 0;
    void Trace(avm2::Tracer& t) override;
};

// The engine field behind a TextField, or null (no player, or gone).
EditTextObject* FieldOf(avm2::Machine& m, const avm2::Value& self);
// Like FieldOf, and TextFieldObject's extras; both may be null.
TextFieldObject* TextFieldOf(avm2::Machine& m, const avm2::Value& self);

// Between a script TextFormat (pixels, nulls) and the engine's patch (twips).
FormatPatch PatchOf(avm2::Machine& m, const avm2::TextFormatObject& t);
avm2::Value FormatValue(avm2::Machine& m, const FormatPatch& p);

// One installer per file: the TextField class with its properties, its
// methods over ranges and lines, and Font with the other text classes.
void InstallTextFieldProperties(avm2::Machine& m);
void InstallTextFieldMethods(avm2::Machine& m);
void InstallFonts(avm2::Machine& m);
inline void InstallScriptText(avm2::Machine& m) {
    avm2::InstallTextFormat(m);
    avm2::InstallStyleSheet(m);
    avm2::InstallTextEngine(m);
    InstallTextFieldProperties(m);
    InstallTextFieldMethods(m);
    InstallFonts(m);
}

}  // namespace swf
