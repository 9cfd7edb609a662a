// Shared by the engine tests: a recording backend and small movie helpers.
// Every fixture movie is written in code with swfmake, beside its test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "swf/Player.h"
#include "swf/render/RenderBackend.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

namespace enginetest {

constexpr swf::Rect kStage{0, 4000, 0, 3000};  // 200 x 150 pixels

// One DrawShape call. Shapes are told apart by their bounds, which every
// fixture makes unique.
struct DrawCall {
    swf::Rect shape;
    swf::Matrix matrix;
    swf::ColorTransform cxform;
    bool operator==(const DrawCall& o) const {
        return shape == o.shape && matrix == o.matrix && cxform == o.cxform;
    }
};

inline std::ostream& operator<<(std::ostream& os, const DrawCall& c) {
    return os << "{shape " << c.shape.xMin << ".." << c.shape.xMax << " x " << c.shape.yMin << ".."
              << c.shape.yMax << " at " << c.matrix.tx << "," << c.matrix.ty << " a=" << c.matrix.a
              << " d=" << c.matrix.d << " aMul=" << c.cxform.aMul << "}";
}

class RecordingBackend : public swf::RenderBackend {
public:
    void BeginFrame(swf::Rgba background) override {
        calls.clear();
        this->background = background;
        ++frames;
    }
    void DrawShape(const swf::Shape& shape, const swf::Matrix& m, const swf::ColorTransform& c) override {
        if (!definingMask) calls.push_back({shape.bounds, m, c});
    }
    void EndFrame() override {}
    // Masks only define coverage: their shapes are not drawn.
    void PushMask() override { definingMask = true; }
    void ActivateMask() override { definingMask = false; }

    std::vector<DrawCall> calls;
    swf::Rgba background;
    int frames = 0;
    bool definingMask = false;
};

// A filled square of `size` twips at the origin; its size tells it apart.
inline swf::Shape Square(int32_t size, swf::Rgba color = {200, 0, 0, 255}) {
    swfmake::ShapeBuilder b;
    b.FillRect({0, size, 0, size}, b.AddSolidFill(color));
    return b.Build();
}

inline swf::Rect SquareBounds(int32_t size) { return {0, size, 0, size}; }

// Draws at native size (1 target twip per stage twip) so matrices read as
// the movie's own.
inline std::vector<DrawCall> Draw(swf::Player& p) {
    RecordingBackend b;
    p.SetScaleMode(swf::kNoScale);
    p.SetAlignMode(swf::kAlignLeft | swf::kAlignTop);
    p.RenderTo(b, kStage.Width() / swf::kTwipsPerPixel, kStage.Height() / swf::kTwipsPerPixel);
    return b.calls;
}

inline bool Load(swf::Player& p, const swfmake::SwfWriter& w, bool compressed = false) {
    bool ok = p.LoadBytes(w.Write(compressed));
    for (const std::string& e : p.Errors()) ADD_FAILURE() << "load error: " << e;
    return ok;
}

}  // namespace enginetest
