#include "swf/display/ClipProperties.h"

#include <algorithm>
#include <cmath>

#include "swf/display/TextObjects.h"
#include "swf/classes/ClipTransform.h"
#include "swf/classes/Geom.h"

namespace swf {

namespace {

// The object's kept transform, in step with its matrix.
ClipTransform& TransformOf(const DisplayObject& obj) {
    if (!obj.scriptTransform) obj.scriptTransform = std::make_shared<ClipTransform>();
    ClipTransform& t = *obj.scriptTransform;
    if (t.GetMatrix() != obj.matrix) t.SetMatrix(obj.matrix);
    return t;
}

Rect ParentBox(const DisplayObject& obj) {
    Rect box;
    bool any = false;
    obj.AddBounds(obj.matrix, box, any);
    return any ? box : Rect{};
}

// A text field's _width and _height size the field itself, in its own
// units: its scale stays and still applies, so a field at 200% set to 20
// reads 40 back.
void ResizeField(EditTextObject& obj, int property, double v) {
    if (!std::isfinite(v)) return;
    EditTextField& field = obj.Field();
    Rect b = field.Bounds();
    const bool wide = property == kPropWidth;
    // Cut to whole twips, as positions are.
    const int32_t twips = std::clamp(PixelsToTwips(std::max(v, 0.0)), 0, 100000000);
    if (wide) b.xMax = b.xMin + twips;
    else b.yMax = b.yMin + twips;
    field.SetBounds(b);
    obj.scripted = true;
}

}  // namespace

bool LocalBounds(const DisplayObject& obj, Rect* out) {
    bool any = false;
    *out = {};
    obj.AddBounds(Matrix{}, *out, any);
    return any;
}

// A field's position is its box's top-left corner, not its origin: a field
// whose box starts at (6, 7) reads _x 6 and _y 7 where it was placed, and
// one that autosize grows to the left reads further left.
Point FieldCorner(const DisplayObject& obj) {
    const EditTextObject* field = obj.AsEditText();
    if (!field) return {0, 0};
    // Laying out only fills the field's cache.
    const Rect& b = const_cast<EditTextObject*>(field)->Field().Layout().bounds;
    return {b.xMin, b.yMin};
}

std::optional<double> GetTransformProperty(const DisplayObject& obj, int property) {
    switch (property) {
    // Whole twips first, then pixels: one division, as positions read.
    case kPropX: return (int64_t(TransformOf(obj).GetMatrix().tx) + FieldCorner(obj).x) / double(kTwipsPerPixel);
    case kPropY: return (int64_t(TransformOf(obj).GetMatrix().ty) + FieldCorner(obj).y) / double(kTwipsPerPixel);
    case kPropXScale: return TransformOf(obj).XScale();
    case kPropYScale: return TransformOf(obj).YScale();
    case kPropRotation: return TransformOf(obj).Rotation();
    case kPropAlpha: return obj.cxform.aMul * 100.0 / 256;
    case kPropWidth: return ParentBox(obj).Width() / double(kTwipsPerPixel);
    case kPropHeight: return ParentBox(obj).Height() / double(kTwipsPerPixel);
    default: return std::nullopt;
    }
}

bool SetTransformProperty(DisplayObject& obj, int property, double v) {
    if (property == kPropAlpha) {
        // An infinite alpha comes out as none.
        if (!std::isnan(v)) {
            obj.cxform.aMul = std::isinf(v) ? 0 : static_cast<int16_t>(std::clamp(std::trunc(v * 256 / 100), -32768.0, 32767.0));
            obj.scripted = true;
        }
        return true;
    }
    EditTextObject* field = obj.AsEditText();
    if ((property == kPropWidth || property == kPropHeight) && field) {
        ResizeField(*field, property, v);
        return true;
    }
    ClipTransform& t = TransformOf(obj);
    Rect local;
    switch (property) {
    case kPropX: t.SetX(v - FieldCorner(obj).x / double(kTwipsPerPixel)); break;
    case kPropY: t.SetY(v - FieldCorner(obj).y / double(kTwipsPerPixel)); break;
    case kPropXScale: t.SetXScale(v); break;
    case kPropYScale: t.SetYScale(v); break;
    case kPropRotation: t.SetRotation(v); break;
    case kPropWidth: if (LocalBounds(obj, &local)) t.SetWidth(v, local); break;
    case kPropHeight: if (LocalBounds(obj, &local)) t.SetHeight(v, local); break;
    default: return false;
    }
    if (!std::isnan(v)) obj.scripted = true;
    obj.matrix = t.GetMatrix();
    return true;
}

}  // namespace swf
