// Keys reach the movie once the user has clicked into it: a button's
// key-press conditions hear printable keys by character and arrows by code.
#include <gtest/gtest.h>

#include "tests/win/common/WinTestUtil.h"
#include "tests/win/player/PlayerTestUtil.h"
#include "tools/swfmake/ShapeBuilder.h"
#include "tools/swfmake/SwfWriter.h"

namespace {

constexpr int kSize = 100;  // stage and player, pixels
constexpr uint16_t kSquare = 1;
constexpr uint16_t kButton = 2;

// A button off in a corner whose key conditions send the key's name.
std::vector<uint8_t> KeyButtonMovie() {
    swfmake::SwfWriter movie(8, {0, kSize * 20, 0, kSize * 20}, 12);
    swfmake::TagList& t = movie.Tags();
    swfmake::ShapeBuilder square;
    square.FillRect({0, 200, 0, 200}, square.AddSolidFill({200, 0, 0, 255}));
    t.DefineShape(kSquare, square.Build());
    auto on = [](int key, const char* name) {
        swfmake::ButtonCondAction a;
        a.conditions = static_cast<uint16_t>(key << swf::kCondKeyShift);
        a.actions.FsCommand(name, "");
        return a;
    };
    t.DefineButton2(kButton,
                    {{swf::kButtonUp | swf::kButtonHit, kSquare, 1, {}, {}}},
                    {on('a', "a"), on(swf::kButtonKeyLeft, "left")});
    t.PlaceObject2(swfmake::NewPlacement(1, kButton));
    t.ShowFrame();
    return movie.Write(false);
}

// The pump's TranslateMessage adds the character, as for a real key.
void PostKey(HWND hwnd, UINT vk) {
    wintest::PostKeyDown(hwnd, vk);
    ::PostMessageA(hwnd, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
}

std::vector<std::string> Heard(const playertest::PlayerHost& host) {
    std::vector<std::string> heard;
    for (const auto& e : host.Events()) heard.push_back(e.strings.empty() ? "" : e.strings[0]);
    return heard;
}

TEST(KeyInputTest, KeysReachTheMovieOnlyOnceItHasTheFocus) {
    wintest::TempFolder folder;
    std::string path = folder.File("keys.swf");
    ASSERT_TRUE(wintest::WriteBytes(path, KeyButtonMovie()));
    playertest::PlayerHost host;
    CShockwaveFlash& player = host.AddPlayer(0, 0, kSize, kSize);
    player.SetMovie(path.c_str());
    ASSERT_EQ(player.GetTotalFrames(), 1);
    ::SetFocus(host.Window());
    PostKey(player, 'A');
    wintest::Drain(player);
    wintest::PumpMessages();
    EXPECT_TRUE(Heard(host).empty()) << "a movie without the focus heard a key";

    // A click away from the button gives it the keyboard.
    LPARAM away = MAKELPARAM(kSize - 5, kSize - 5);
    ::SendMessageA(player, WM_LBUTTONDOWN, MK_LBUTTON, away);
    ::SendMessageA(player, WM_LBUTTONUP, 0, away);
    EXPECT_EQ(::GetFocus(), player.m_hWnd);
    PostKey(player, 'A');
    PostKey(player, VK_LEFT);
    PostKey(player, 'B');
    EXPECT_TRUE(wintest::PollUntil([&] { return Heard(host).size() >= 2; }));
    wintest::Drain(player);
    EXPECT_EQ(Heard(host), (std::vector<std::string>{"a", "left"}));
}

}  // namespace
