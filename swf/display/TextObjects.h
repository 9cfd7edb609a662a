// Text placed on a timeline: static text (DefineText, DefineText2), its
// glyphs drawn as one shape through the text's own matrix, and edit text
// fields (DefineEditText).
#pragma once

#include "swf/display/DisplayObject.h"
#include "swf/text/EditText.h"

namespace swf {

class StaticTextObject : public DisplayObject {
public:
    StaticTextObject(PlayContext& ctx, const MovieAssets& from, uint16_t id, const StaticTextCharacter& def);

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    // Anywhere inside the text's bounds.
    bool HitTest(const Matrix& m, Point point) const override;
    void AddBounds(const Matrix& m, Rect& box, bool& any) const override;

private:
    const StaticTextCharacter& def_;
    const Shape& drawing_;  // shared by every instance, owned by the font library
    uint64_t drawingKey_;
};

// An edit text field placed on a timeline (DefineEditText). Field() is the
// engine interface to its text and formats (see swf/text/EditText.h).
class EditTextObject : public DisplayObject {
public:
    EditTextObject(PlayContext& ctx, const MovieAssets& from, uint16_t id, const EditTextCharacter& def);
    // A field made by script: it owns its definition.
    EditTextObject(PlayContext& ctx, std::unique_ptr<EditTextCharacter> owned);
    ~EditTextObject() override;

    EditTextObject* AsEditText() override { return this; }
    const EditTextObject* AsEditText() const override { return this; }

    EditTextField& Field() { return field_; }
    const EditTextField& Field() const { return field_; }

    void Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const override;
    bool HitTest(const Matrix& m, Point point) const override;
    // The field's box, text or none: an empty field still has its size.
    void AddBounds(const Matrix& m, Rect& box, bool& any) const override;

private:
    PlayContext& ctx_;
    std::unique_ptr<EditTextCharacter> owned_;  // before field_, which refers to it
    mutable EditTextField field_;  // lays out lazily when drawn
};

}  // namespace swf
