#include "auto_scroll.h"
#include "fake_desktop.h"
#include "mouse_scene.h"
#include "scroll.h"
#include "scroll_test_support.h"

#include <gtest/gtest.h>

#include <climits>

using namespace ptr;
using namespace ptr::fake;

namespace {

// The remembered target 0x1010 inside 0x1000, with its own bar controls
// 0x1020 (vertical) and 0x1030 (horizontal); the anchor at (-10, 20), left
// of the primary screen.
const HWND kOwner = Handle(0x1000);
const HWND kTarget = Handle(0x1010);
const HWND kVBar = Handle(0x1020);
const HWND kHBar = Handle(0x1030);
constexpr LPARAM kAnchorLp = 0x0014FFF6;

enum Direction { UP, DOWN, LEFT, RIGHT };

int AutoScroll(HookContext& ctx, Direction direction, int count) {
    switch (direction) {
    case UP: return AutoUp(ctx, count);
    case DOWN: return AutoDown(ctx, count);
    case LEFT: return AutoLeft(ctx, count);
    case RIGHT: return AutoRight(ctx, count);
    }
    return -1;
}

struct AutoCase {
    const char* name;
    uint32_t scrollKind;
    Direction direction;
    int count;
    std::vector<Step> expected;
    bool controlDown = false;
};

struct AutoScene {
    FakeHook h;
    AutoScene() {
        h.UseDefaultBlock();
        h.SetOs(OS_WINXP);
        EXPECT_EQ(h.desk.AddWindow("Owner"), kOwner);
        EXPECT_EQ(h.desk.AddWindow("Pane", WS_VISIBLE | WS_CHILD, {0, 0, 100, 100}, kOwner), kTarget);
        EXPECT_EQ(h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_VERT, {0, 0, 10, 100}, kOwner), kVBar);
        EXPECT_EQ(h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_HORZ, {0, 0, 100, 10}, kOwner), kHBar);
    }
    void Remember(uint32_t scrollKind) {
        h.shared.ScrollTarget = FromHwnd(kTarget);
        h.shared.ScrollKind = static_cast<int32_t>(scrollKind);
        h.shared.VBarControl = FromHwnd(kVBar);
        h.shared.HBarControl = FromHwnd(kHBar);
        h.shared.Anchor = {-10, 20};
    }
};

TEST(AutoScroll, ScrollsTheRememberedTargetByLines) {
    const AutoCase cases[] = {
        {"up 0 by window messages: only the end", SCROLL_V_WINDOW | SCROLL_H_WINDOW, UP, 0,
         {Once(Post(kTarget, WM_VSCROLL, SB_ENDSCROLL, 0x1020))}},
        {"down 2 by window messages, with the vertical bar as lParam", SCROLL_V_WINDOW, DOWN, 2,
         {Times(2, Post(kTarget, WM_VSCROLL, SB_LINEDOWN, 0x1020)), Once(Post(kTarget, WM_VSCROLL, SB_ENDSCROLL, 0x1020))}},
        {"left 5 by keys", 0x80010, LEFT, 5, {Strokes(5, kTarget, VK_LEFT)}},
        {"right 1 by keys", 0x80010, RIGHT, 1, {Strokes(1, kTarget, VK_RIGHT)}},
        {"up 3 by keys: lines, never a page", 0x80010, UP, 3, {Strokes(3, kTarget, VK_UP)}},
        {"down 3 by the vertical bar control", SCROLL_V_BARCONTROL | SCROLL_H_BARCONTROL, DOWN, 3,
         {Times(3, Post(kOwner, WM_VSCROLL, SB_LINEDOWN, 0x1020)), Once(Post(kOwner, WM_VSCROLL, SB_ENDSCROLL, 0x1020))}},
        {"right 2 by the horizontal bar control", SCROLL_V_BARCONTROL | SCROLL_H_BARCONTROL, RIGHT, 2,
         {Times(2, Post(kOwner, WM_HSCROLL, SB_LINERIGHT, 0x1030)), Once(Post(kOwner, WM_HSCROLL, SB_ENDSCROLL, 0x1030))}},
        {"left 4 by window messages, with the horizontal bar as lParam", SCROLL_H_WINDOW | SCROLL_V_NONE, LEFT, 4,
         {Times(4, Post(kTarget, WM_HSCROLL, SB_LINELEFT, 0x1030)), Once(Post(kTarget, WM_HSCROLL, SB_ENDSCROLL, 0x1030))}},
        {"up 3 by the wheel, at the anchor", SCROLL_V_WHEEL | SCROLL_H_KEYS, UP, 3,
         {Once(Post(kTarget, WM_MOUSEWHEEL, 0x01680000, kAnchorLp))}},
        {"down 300 by the wheel: held at -32760", SCROLL_V_WHEEL, DOWN, 300,
         {Once(Post(kTarget, WM_MOUSEWHEEL, 0x80080000, kAnchorLp))}},
        {"down 2 with Control held: one Control notch", SCROLL_V_WINDOW, DOWN, 2,
         {Once(Post(kTarget, WM_MOUSEWHEEL, 0xFF880008, kAnchorLp))}, true},
        {"right with Control held: no modifier test", 0x80010, RIGHT, 2, {Strokes(2, kTarget, VK_RIGHT)}, true},
        {"vertical nothing", SCROLL_V_NONE | SCROLL_H_NONE, DOWN, 3, {}},
        {"horizontal nothing", SCROLL_V_NONE | SCROLL_H_NONE, LEFT, 3, {}},
        {"horizontal method 0", SCROLL_V_WINDOW, RIGHT, 3, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AutoScene s;
        s.Remember(c.scrollKind);
        s.h.block.WheelPageScroll = -1;  // the wheel's page setting never applies here
        s.h.block.HWheelPageScroll = -1;
        s.h.desk.SetKeyDown(VK_CONTROL, c.controlDown);
        EXPECT_EQ(AutoScroll(s.h.ctx, c.direction, c.count), 1);
        EXPECT_EQ(s.h.desk.log(), Expand(c.expected));
    }
}

TEST(AutoScroll, BeforeAnyStartNothingIsPosted) {
    // All fields zero: no target, ScrollKind 0. Even a held modifier posts
    // nothing, since there is no window to post to.
    for (bool control : {false, true}) {
        for (Direction direction : {UP, DOWN, LEFT, RIGHT}) {
            SCOPED_TRACE(testing::Message() << "direction " << direction << (control ? " with Control" : ""));
            AutoScene s;
            s.h.desk.SetKeyDown(VK_CONTROL, control);
            EXPECT_EQ(AutoScroll(s.h.ctx, direction, 3), 1);
            EXPECT_TRUE(s.h.desk.log().empty());
        }
    }
}

// ---- The legacy wheel window ----

LRESULT CALLBACK SomeWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

std::string RegisterEntry() { return "registerclass MouseZ size=" + std::to_string(sizeof(WNDCLASSEXA)) + " style=0"; }

TEST(LegacyWheelWindow, CreatedOnlyOnWindows95) {
    const struct {
        const char* name;
        int32_t os;
        bool created;
    } cases[] = {
        {"Windows 95", OS_WIN95, true},        {"Windows 98", OS_WIN98, false}, {"NT 4", OS_NT4, false},
        {"Windows 2000", OS_WIN2000, false}, {"Me", OS_WINME, false},         {"XP", OS_WINXP, false},
        {"unknown", OS_OTHER, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHook h;
        h.SetOs(c.os);
        HWND parent = h.desk.AddWindow("AgentFrame");
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(0x400000);
        HWND window = CreateLegacyWheelWindow(h.ctx, instance, parent, SomeWindowProc);
        if (!c.created) {
            EXPECT_EQ(window, nullptr);
            EXPECT_TRUE(h.desk.log().empty());
            continue;
        }
        EXPECT_EQ(window, Handle(0x1010));
        EXPECT_EQ(h.desk.log(),
                  (Log{RegisterEntry(), "createwindow MouseZ \"Magellan MSWHEEL\" ex=0x0 style=0x84000000 "
                                        "-2147483648,0,-2147483648,0 parent=0x1000"}));
        EXPECT_EQ(h.desk.RegisteredWindowProc(), SomeWindowProc);
        EXPECT_EQ(h.desk.WindowOf(window).style & WS_VISIBLE, 0);
    }
}

TEST(LegacyWheelWindow, SecondCreationFailsAtTheClass) {
    FakeHook h;
    h.SetOs(OS_WIN95);
    ASSERT_NE(CreateLegacyWheelWindow(h.ctx, nullptr, nullptr, SomeWindowProc), nullptr);
    h.desk.ClearLog();
    EXPECT_EQ(CreateLegacyWheelWindow(h.ctx, nullptr, nullptr, SomeWindowProc), nullptr);
    EXPECT_EQ(h.desk.log(), (Log{RegisterEntry()}));
}

TEST(LegacyWheelWindow, Answers) {
    constexpr UINT kSupport = 0xC001;
    constexpr UINT kLines = 0xC002;
    const struct {
        const char* name;
        bool windows95;  // the query messages are registered only there
        UINT message;
        int32_t pageScroll;
        int32_t lines;
        LRESULT result;
        Log expected;
    } cases[] = {
        {"wheel support", true, kSupport, 0, 3, 1, {}},
        {"scroll lines, page mode: -1", true, kLines, -1, 3, -1, {}},
        {"scroll lines, line mode: 1", true, kLines, 0, 3, 1, {}},
        {"scroll lines: 1 whatever the lines", true, kLines, 0, 10, 1, {}},
        {"WM_CLOSE ends the thread's loop", true, WM_CLOSE, 0, 3, 0, {Quit(0)}},
        {"other messages: the default procedure", true, WM_PAINT, 0, 3, 0x0DEF, {}},
        {"not registered: message 0 is not a query", false, 0, 0, 3, 0x0DEF, {}},
        {"not registered: the would-be query number", false, kSupport, -1, 3, 0x0DEF, {}},
        {"not registered: WM_CLOSE", false, WM_CLOSE, 0, 3, 0, {Quit(0)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHook h;
        h.SetOs(c.windows95 ? OS_WIN95 : OS_WINXP);
        h.process.WheelSupportMessage = c.windows95 ? kSupport : 0;
        h.process.ScrollLinesMessage = c.windows95 ? kLines : 0;
        h.block.WheelPageScroll = c.pageScroll;
        h.block.WheelLines = c.lines;
        EXPECT_EQ(LegacyWheelWindowProc(h.ctx, Handle(0x2000), c.message, 0, 0), c.result);
        EXPECT_EQ(h.desk.log(), c.expected);
    }
}

// Every method holds a count to 0..273: one scroll never posts more than
// 274 messages (273 steps and the end), or 273 keystrokes.
TEST(AutoScroll, CountsAreBoundedOnEveryMethod) {
    struct Case {
        const char* name;
        uint32_t kind;
        int (*scroll)(HookContext&, int);
        int count;
        size_t posts;
    };
    const Case cases[] = {
        {"window messages, up", SCROLL_V_WINDOW, AutoUp, INT_MAX, 274},
        {"bar control, down", SCROLL_V_BARCONTROL, AutoDown, 100000, 274},
        {"keys, down", SCROLL_V_KEYS, AutoDown, INT_MAX, 2 * 273},
        {"wheel, up", SCROLL_V_WHEEL, AutoUp, INT_MAX, 1},
        {"window messages, left", SCROLL_H_WINDOW, AutoLeft, INT_MAX, 274},
        {"bar control, right", SCROLL_H_BARCONTROL, AutoRight, 5000, 274},
        {"keys, right", SCROLL_H_KEYS, AutoRight, INT_MAX, 2 * 273},
        {"a negative count scrolls nothing, the end still goes", SCROLL_V_WINDOW, AutoDown, INT_MIN, 1},
        {"a negative count posts no keys", SCROLL_H_KEYS, AutoLeft, -5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scene::Scene s;
        s.h.shared.ScrollTarget = FromHwnd(s.child);
        s.h.shared.ScrollKind = static_cast<int32_t>(c.kind);
        EXPECT_EQ(c.scroll(s.ctx(), c.count), 1);
        EXPECT_EQ(s.log().size(), c.posts);
    }
}

// A target that went away, or a remembered handle that never was a window.
TEST(AutoScroll, ScrollsToAVanishedTargetPostNothing) {
    for (uint32_t kind : {uint32_t(SCROLL_V_WINDOW | SCROLL_H_KEYS), uint32_t(SCROLL_V_WHEEL | SCROLL_H_WINDOW),
                          uint32_t(SCROLL_V_KEYS | SCROLL_H_BARCONTROL)}) {
        SCOPED_TRACE(kind);
        scene::Scene s;
        HWND gone = s.h.desk.AddWindow("Pane", WS_VISIBLE | WS_CHILD, {0, 0, 10, 10}, s.top);
        s.h.desk.RemoveWindow(gone);
        s.h.shared.ScrollTarget = FromHwnd(gone);
        s.h.shared.ScrollKind = static_cast<int32_t>(kind);
        AutoUp(s.ctx(), 3);
        AutoRight(s.ctx(), 3);
        s.h.shared.ScrollTarget = 0xFFFF;
        AutoDown(s.ctx(), 3);
        AutoLeft(s.ctx(), 3);
        EXPECT_EQ(s.log(), Log{});
    }
}

}  // namespace
