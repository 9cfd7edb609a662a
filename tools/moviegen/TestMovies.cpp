#include "tools/moviegen/TestMovies.h"

#include "tools/moviegen/Movies.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/TextTags.h"

namespace moviegen {

namespace {

constexpr double kTestFps = 12.0;

swf::Rect StageRect(int widthPx, int heightPx) {
    return {0, widthPx * kTwips, 0, heightPx * kTwips};
}

swf::Rect PixelRect(int x0, int y0, int x1, int y1) {
    return {x0 * kTwips, x1 * kTwips, y0 * kTwips, y1 * kTwips};
}

}  // namespace

swfmake::SwfWriter StageMovie(int widthPx, int heightPx) {
    constexpr swf::Rgba kBackground{255, 255, 255, 255};
    constexpr swf::Rgba kBox{60, 90, 160, 255};
    constexpr int kInset = 4;  // box is the middle half of the stage
    swfmake::SwfWriter movie(kSwfVersion, StageRect(widthPx, heightPx), kTestFps);
    swfmake::ShapeBuilder box;
    box.FillRect(PixelRect(widthPx / kInset, heightPx / kInset, widthPx - widthPx / kInset,
                           heightPx - heightPx / kInset),
                 box.AddSolidFill(kBox));
    uint16_t id = movie.NextId();
    movie.Tags().SetBackgroundColor(kBackground);
    movie.Tags().DefineShape(id, box.Build());
    movie.Tags().PlaceObject2(swfmake::NewPlacement(1, id));
    movie.Tags().ShowFrame();
    return movie;
}

swfmake::SwfWriter PatternMovie() {
    using F = PatternFacts;
    swfmake::SwfWriter movie(kSwfVersion, StageRect(F::kWidth, F::kHeight), kTestFps);
    const int cx = F::kWidth / 2, cy = F::kHeight / 2, half = F::kSquareSize / 2;
    swfmake::ShapeBuilder quads;
    quads.FillRect(PixelRect(0, 0, cx, cy), quads.AddSolidFill(F::kTopLeft));
    quads.FillRect(PixelRect(cx, 0, F::kWidth, cy), quads.AddSolidFill(F::kTopRight));
    quads.FillRect(PixelRect(0, cy, cx, F::kHeight), quads.AddSolidFill(F::kBottomLeft));
    quads.FillRect(PixelRect(cx, cy, F::kWidth, F::kHeight), quads.AddSolidFill(F::kBottomRight));
    swfmake::ShapeBuilder square;
    square.FillRect(PixelRect(cx - half, cy - half, cx + half, cy + half),
                    square.AddSolidFill(F::kSquare));
    uint16_t quadsId = movie.NextId();
    uint16_t squareId = movie.NextId();
    swfmake::TagList& t = movie.Tags();
    t.SetBackgroundColor(F::kBackground);
    t.DefineShape(quadsId, quads.Build());
    t.DefineShape(squareId, square.Build());
    t.PlaceObject2(swfmake::NewPlacement(1, quadsId));
    t.PlaceObject2(swfmake::NewPlacement(2, squareId));
    for (int i = 0; i < F::kFrames; ++i) t.ShowFrame();
    return movie;
}

swfmake::SwfWriter Frames100Movie() {
    using F = Frames100Facts;
    swfmake::SwfWriter movie(kSwfVersion, StageRect(F::kWidth, F::kHeight), kTestFps);
    swfmake::TagList& t = movie.Tags();
    t.SetBackgroundColor(F::kBackground);
    constexpr uint16_t kBarDepth = 1;
    for (int frame = 1; frame <= F::kFrames; ++frame) {
        swfmake::ShapeBuilder bar;
        bar.FillRect(PixelRect(0, F::kBarTop, frame * F::kBarStep, F::kBarTop + F::kBarHeight),
                     bar.AddSolidFill(F::kBar));
        uint16_t id = movie.NextId();
        t.DefineShape(id, bar.Build());
        swfmake::Placement p;
        p.depth = kBarDepth;
        p.characterId = id;
        p.move = frame > 1;  // replace the previous frame's bar
        t.PlaceObject2(p);
        t.FrameLabel("f" + std::to_string(frame));
        t.ShowFrame();
    }
    return movie;
}

swfmake::SwfWriter TextFieldMovie() {
    using F = TextFieldFacts;
    constexpr int kTw = swf::kTwipsPerPixel;
    swfmake::SwfWriter movie(kSwfVersion, StageRect(F::kWidth, F::kHeight), kTestFps);
    swf::EditTextData field;
    field.bounds = {0, F::kBoxWidth * kTw, 0, F::kBoxHeight * kTw};
    field.fontClass = "_sans";
    field.height = F::kSize * kTw;
    field.hasColor = true;
    field.color = F::kText;
    field.readOnly = true;
    field.initialText = "Happy birthday, Grandma! Many happy returns of the day";
    const uint16_t id = movie.NextId();
    swfmake::TagList& t = movie.Tags();
    t.SetBackgroundColor(F::kBackground);
    swfmake::DefineEditText(t, id, field);
    t.PlaceObject2(swfmake::NewPlacement(1, id, swf::Matrix::Translate(F::kLeft * kTw, F::kTop * kTw)));
    t.ShowFrame();
    return movie;
}

}  // namespace moviegen
