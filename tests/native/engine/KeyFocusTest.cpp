// The Key object's state and Tab focus: order, wrapping, and the focus
// rectangle a user sees.
#include <gtest/gtest.h>

#include <cstring>

#include "swf/render/RasterBackend.h"
#include "swf/classes/FocusOrder.h"
#include "swf/classes/KeyState.h"

namespace swf {
namespace {

TEST(KeyFocusTest, KeysGoDownAndUpAndLocksToggleOncePerPress) {
    KeyState k;
    k.Down(65, 'a');
    k.Down(16, 0);
    EXPECT_TRUE(k.IsDown(65));
    EXPECT_TRUE(k.IsDown(16));
    EXPECT_EQ(k.Code(), 16);
    k.Up(65, 'a');
    EXPECT_FALSE(k.IsDown(65));
    EXPECT_EQ(k.Code(), 65);  // the key released is the last key
    EXPECT_EQ(k.Ascii(), 'a');

    k.Down(KeyState::kCapsLock, 0);
    k.Down(KeyState::kCapsLock, 0);  // auto-repeat
    EXPECT_TRUE(k.IsToggled(KeyState::kCapsLock));
    k.Up(KeyState::kCapsLock, 0);
    k.Down(KeyState::kCapsLock, 0);
    EXPECT_FALSE(k.IsToggled(KeyState::kCapsLock));
    EXPECT_FALSE(k.IsToggled(65));

    k.Down(100000, 0);  // nonsense codes are remembered, never down
    EXPECT_EQ(k.Code(), 100000);
    EXPECT_FALSE(k.IsDown(100000));
    EXPECT_FALSE(k.IsDown(-1));
    k.ReleaseAll();
    EXPECT_FALSE(k.IsDown(16));
}

TEST(KeyFocusTest, KeyConstantsHaveTheirCodes) {
    const std::pair<const char*, int> expected[] = {{"BACKSPACE", 8}, {"ENTER", 13}, {"SPACE", 32},
                                                    {"LEFT", 37},     {"DOWN", 40},  {"DELETEKEY", 46},
                                                    {"CAPSLOCK", 20}, {"PGDN", 34}};
    for (const auto& [name, code] : expected) {
        int found = -1;
        for (const KeyConstant* c = kKeyConstants; c->name; ++c)
            if (std::strcmp(c->name, name) == 0) found = c->code;
        EXPECT_EQ(found, code) << name;
    }
}

Focusable Obj(int id, FocusKind kind, int x, int y) {
    Focusable o;
    o.id = id;
    o.kind = kind;
    o.bounds = {x * 20, x * 20 + 200, y * 20, y * 20 + 200};
    return o;
}

TEST(KeyFocusTest, TabVisitsInReadingOrderUnlessIndicesAreGiven) {
    std::vector<Focusable> objs = {
        Obj(1, FocusKind::Button, 100, 50), Obj(2, FocusKind::InputText, 10, 50),
        Obj(3, FocusKind::Button, 300, 10), Obj(4, FocusKind::Clip, 0, 0),  // plain clip: skipped
        Obj(5, FocusKind::Clip, 0, 80),     Obj(6, FocusKind::Button, 0, 90),
    };
    objs[4].hasButtonHandlers = true;
    objs[5].reachable = false;
    EXPECT_EQ(TabOrder(objs), (std::vector<int>{3, 2, 1, 5}));
    objs[0].tabEnabled = false;
    objs[3].tabEnabled = true;
    EXPECT_EQ(TabOrder(objs), (std::vector<int>{4, 3, 2, 5}));

    objs[2].tabIndex = 2;  // from now on only indexed objects count
    objs[4].tabIndex = 1;
    objs[3].tabIndex = 2;
    EXPECT_EQ(TabOrder(objs), (std::vector<int>{5, 4, 3}));

    const std::vector<int> order = {5, 4, 3};
    EXPECT_EQ(NextInTabOrder(order, 4, false), 3);
    EXPECT_EQ(NextInTabOrder(order, 3, false), 5);
    EXPECT_EQ(NextInTabOrder(order, 5, true), 3);
    EXPECT_EQ(NextInTabOrder(order, 99, false), 5);
    EXPECT_EQ(NextInTabOrder(order, 99, true), 3);
    EXPECT_EQ(NextInTabOrder({}, 1, false), -1);

    // Of objects at one place Tab reaches only the first.
    const std::vector<Focusable> stacked = {Obj(1, FocusKind::Button, 5, 5), Obj(2, FocusKind::Button, 5, 5),
                                            Obj(3, FocusKind::Button, 9, 5)};
    EXPECT_EQ(TabOrder(stacked), (std::vector<int>{1, 3}));
}

TEST(KeyFocusTest, FocusRectangleIsAYellowFrameInsideTheBounds) {
    const uint32_t yellow = 0xFFFFFF00u, white = 0xFFFFFFFFu;
    // Pixels 2..8 framed 3 px deep; bounds off whole pixels round to them.
    for (const int32_t off : {0, 9, -9}) {
        FrameBuffer fb(12, 12);
        RasterBackend backend(fb);
        backend.BeginFrame({255, 255, 255, 255});
        backend.DrawShape(FocusRectShape({2 * 20 + off, 9 * 20 - off, 2 * 20 + off, 9 * 20 + off}), Matrix{},
                          ColorTransform{});
        EXPECT_EQ(fb.At(2, 5), yellow) << off;
        EXPECT_EQ(fb.At(4, 5), yellow) << off;
        EXPECT_EQ(fb.At(8, 5), yellow) << off;
        EXPECT_EQ(fb.At(2, 2), yellow) << off;
        EXPECT_EQ(fb.At(5, 5), white) << off;  // the hole
        EXPECT_EQ(fb.At(1, 5), white) << off;
        EXPECT_EQ(fb.At(9, 5), white) << off;
        EXPECT_EQ(fb.At(5, 9), white) << off;
    }
    // Too small for a hole: all of it.
    FrameBuffer fb(6, 6);
    RasterBackend backend(fb);
    backend.BeginFrame({255, 255, 255, 255});
    backend.DrawShape(FocusRectShape({20, 5 * 20, 20, 5 * 20}), Matrix{}, ColorTransform{});
    EXPECT_EQ(fb.At(2, 2), yellow);
    EXPECT_EQ(fb.At(5, 2), white);
}

TEST(KeyFocusTest, PointerEventsHideTheFocusRectangleByVersion) {
    struct Case {
        int version;
        bool press;
        MouseButton button;
        bool hides;
    } cases[] = {
        {8, false, MouseButton::Left, true},    {8, true, MouseButton::Left, true},
        {8, true, MouseButton::Right, true},    {8, true, MouseButton::Middle, false},
        {8, false, MouseButton::Middle, false}, {9, false, MouseButton::Left, false},
        {9, true, MouseButton::Left, true},     {9, true, MouseButton::Right, false},
        {10, true, MouseButton::Middle, false}, {5, false, MouseButton::Left, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PointerHidesFocusRect(c.version, c.press, c.button), c.hides)
            << c.version << " " << c.press << " " << int(c.button);
}

}  // namespace
}  // namespace swf
