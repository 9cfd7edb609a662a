#include "swf/display/TextObjects.h"

#include "swf/text/FontLibrary.h"

namespace swf {

namespace {

bool InsideBounds(const Rect& bounds, const Matrix& m, Point point) {
    Matrix inverse;
    if (!m.Invert(&inverse)) return false;
    const Point p = inverse.Apply(point);
    return p.x >= bounds.xMin && p.x < bounds.xMax && p.y >= bounds.yMin && p.y < bounds.yMax;
}

}  // namespace

StaticTextObject::StaticTextObject(PlayContext& ctx, const MovieAssets& from, uint16_t id,
                                   const StaticTextCharacter& def)
    : DisplayObject(DisplayKind::StaticText, ctx.nextSerial++, id, &def),
      def_(def),
      drawing_(from.fonts->StaticTextDrawing(def)),
      drawingKey_(from.fonts->StaticTextKey(def)) {}

void StaticTextObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    if (!drawing_.layers.empty()) rc.backend.DrawCachedShape(drawing_, drawingKey_, m.Concat(def_.text.matrix), cx);
}

// Text drawn with the advanced renderer is hit anywhere in the box around its
// placed bounds; other text only where its glyphs are inked.
bool StaticTextObject::HitTest(const Matrix& m, Point point) const {
    const Matrix toTarget = m.Concat(def_.text.matrix);
    const TextRenderSettings& settings = def_.text.settings;
    if (settings.present && settings.useFlashType != 0) {
        const Rect box = TransformRect(toTarget, def_.text.bounds);
        return point.x >= box.xMin && point.x <= box.xMax && point.y >= box.yMin && point.y <= box.yMax;
    }
    return !drawing_.layers.empty() && ShapeHitTest(drawing_, toTarget, point);
}

void StaticTextObject::AddBounds(const Matrix& m, Rect& box, bool& any) const {
    AddRect(m.Concat(def_.text.matrix), def_.text.bounds, box, any);
}

EditTextObject::EditTextObject(PlayContext& ctx, const MovieAssets& from, uint16_t id, const EditTextCharacter& def)
    : DisplayObject(DisplayKind::EditText, ctx.nextSerial++, id, &def),
      ctx_(ctx),
      field_(def.field, *from.movie, *from.fonts, from.movie->header.version) {
    ctx_.scriptables[serial] = this;
}

EditTextObject::EditTextObject(PlayContext& ctx, std::unique_ptr<EditTextCharacter> owned)
    : DisplayObject(DisplayKind::EditText, ctx.nextSerial++, 0, owned.get()),
      ctx_(ctx),
      owned_(std::move(owned)),
      field_(owned_->field, ctx.movie, *ctx.fonts, ctx.movie.header.version) {
    ctx_.scriptables[serial] = this;
}

EditTextObject::~EditTextObject() {
    ctx_.scriptables.erase(serial);
    ++ctx_.treeEdits;
}

void EditTextObject::Render(RenderContext& rc, const Matrix& m, const ColorTransform& cx) const {
    const Shape& drawing = field_.Drawing();
    if (!drawing.layers.empty()) rc.backend.DrawCachedShape(drawing, field_.DrawingKey(), m, cx);
    if (field_.Border())
        rc.backend.DrawShape(FieldBorderShape(field_.Layout().bounds, field_.BorderColor(), m, !field_.Settings().embedFonts),
                             Matrix(), cx);
}

bool EditTextObject::HitTest(const Matrix& m, Point point) const {
    return InsideBounds(field_.Layout().bounds, m, point);
}

void EditTextObject::AddBounds(const Matrix& m, Rect& box, bool& any) const {
    AddRect(m, field_.Layout().bounds, box, any);
}

}  // namespace swf
