// What scripts ask of the window around the movie: a movie that does not
// scale hears the control's resizes (Stage.onResize, with the new size),
// clips with press handlers show the hand, and Mouse.hide hides the cursor.
#include <gtest/gtest.h>

#include "tests/win/common/WinTestUtil.h"
#include "tests/win/player/PlayerTestUtil.h"
#include "tools/swfmake/ActionAsm.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

constexpr int kSize = 100;  // stage and player, pixels
constexpr uint16_t kSquare = 1, kSprite = 2;

// A 20 px clip "b" in the corner whose press hides the pointer; the stage
// does not scale, is pinned top left, and sends its size on resizes.
std::vector<uint8_t> StageMovie() {
    swfmake::SwfWriter movie(8, {0, kSize * 20, 0, kSize * 20}, 12);
    swfmake::TagList& t = movie.Tags();
    swfmake::ShapeBuilder square;
    square.FillRect({0, 400, 0, 400}, square.AddSolidFill({200, 0, 0, 255}));
    t.DefineShape(kSquare, square.Build());
    swfmake::TagList sprite;
    sprite.PlaceObject(kSquare, 1);
    sprite.ShowFrame();
    t.DefineSprite(kSprite, sprite);
    swfmake::Placement b = swfmake::NewPlacement(1, kSprite);
    b.name = "b";
    t.PlaceObject2(b);
    t.DoAction(swfmake::Actions().Raw(swfmake::Assemble(
        "push 'Stage'; getvariable; push 'scaleMode'; push 'noScale'; setmember\n"
        "push 'Stage'; getvariable; push 'align'; push 'TL'; setmember\n"
        "push 'o'; push 0; initobject; setvariable\n"
        "push 'o'; getvariable; push 'onResize'; definefunction -() r; push 'FSCommand:resize'; "
        "push 'Stage'; getvariable; push 'width'; getmember; push 'x'; add2; "
        "push 'Stage'; getvariable; push 'height'; getmember; add2; geturl2 0; r:; setmember\n"
        "push 'o'; getvariable; push 1; push 'Stage'; getvariable; push 'addListener'; callmethod; pop\n"
        "push 'b'; getvariable; push 'onPress'; definefunction -() p; "
        "push 0; push 'Mouse'; getvariable; push 'hide'; callmethod; pop; p:; setmember\n")));
    t.ShowFrame();
    return movie.Write(false);
}

HCURSOR CursorAfterSetCursor(HWND player) {
    ::SendMessageA(player, WM_SETCURSOR, reinterpret_cast<WPARAM>(player), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
}

TEST(StageCursorTest, ResizesReachMoviesThatDoNotScaleAndScriptsPickTheCursor) {
    wintest::TempFolder folder;
    std::string path = folder.File("stage.swf");
    ASSERT_TRUE(wintest::WriteBytes(path, StageMovie()));
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, kSize, kSize);
    player.SetMovie(path.c_str());
    ASSERT_EQ(player.GetTotalFrames(), 1);

    ::SetWindowPos(player, nullptr, 0, 0, 150, 120, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_TRUE(wintest::PollUntil([&] { return !host.Events().empty(); }));
    wintest::Drain(player);
    ASSERT_EQ(host.Events().size(), 1u);
    EXPECT_EQ(host.Events()[0].strings, (std::vector<std::string>{"resize", "150x120"}));

    LPARAM onClip = MAKELPARAM(5, 5), away = MAKELPARAM(60, 60);
    ::SendMessageA(player, WM_MOUSEMOVE, 0, away);
    EXPECT_EQ(CursorAfterSetCursor(player), ::LoadCursor(nullptr, IDC_ARROW));
    ::SendMessageA(player, WM_MOUSEMOVE, 0, onClip);
    EXPECT_EQ(CursorAfterSetCursor(player), ::LoadCursor(nullptr, IDC_HAND));
    ::SendMessageA(player, WM_LBUTTONDOWN, MK_LBUTTON, onClip);
    ::SendMessageA(player, WM_LBUTTONUP, 0, onClip);
    EXPECT_EQ(CursorAfterSetCursor(player), nullptr) << "Mouse.hide left the cursor showing";
}

}  // namespace
