#include "fake_desktop.h"
#include "scroll.h"
#include "scroll_primitives.h"
#include "scroll_test_support.h"

#include <gtest/gtest.h>

using namespace ptr;
using namespace ptr::fake;

namespace {

// The scene, in creation order: a top-level frame with a child pane (the
// target), and scroll-bar controls with and without a parent.
const HWND kFrame = Handle(0x1000);
const HWND kTarget = Handle(0x1010);
const HWND kBarOwner = Handle(0x1020);
const HWND kBar = Handle(0x1030);
const HWND kOrphanBar = Handle(0x1040);
const LPARAM kBarLp = 0x1030;
const LPARAM kOrphanBarLp = 0x1040;

// The cursor of every vertical call: x 291 (0x123), y 69 (0x45).
constexpr int kX = 291;
constexpr int kY = 69;
constexpr LPARAM kCursorLp = 0x00450123;
constexpr UINT kRollMessage = 0xC0DE;

struct Scene {
    FakeHook h;
    Scene(int32_t os = OS_WINXP, int32_t processKind = PROCESS_OTHER) {
        h.SetOs(os);
        h.process.ProcessKind = processKind;
        h.process.RollMessage = os == OS_WIN95 ? kRollMessage : 0;
        HWND frame = h.desk.AddWindow("Frame");
        HWND target = h.desk.AddWindow("Pane", WS_VISIBLE | WS_CHILD, {0, 0, 100, 100}, frame);
        HWND owner = h.desk.AddWindow("Owner");
        HWND bar = h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_VERT, {90, 0, 100, 100}, owner);
        HWND orphan = h.desk.AddWindow("ScrollBar", WS_VISIBLE | SBS_VERT);
        EXPECT_EQ(frame, kFrame);
        EXPECT_EQ(target, kTarget);
        EXPECT_EQ(owner, kBarOwner);
        EXPECT_EQ(bar, kBar);
        EXPECT_EQ(orphan, kOrphanBar);
    }
};

struct VerticalCase {
    const char* name;
    bool up;
    uint32_t code;
    int count;
    int page;
    std::vector<Step> expected;
    HWND bar = nullptr;
    int32_t os = OS_WINXP;
    HWND target = kTarget;
};

void ExpectVertical(const VerticalCase& c) {
    SCOPED_TRACE(c.name);
    Scene s(c.os);
    int result = c.up ? ScrollUp(s.h.ctx, c.target, kX, kY, c.code, c.count, c.bar, c.page)
                      : ScrollDown(s.h.ctx, c.target, kX, kY, c.code, c.count, c.bar, c.page);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(s.h.desk.log(), Expand(c.expected));
}

constexpr bool kUp = true;
constexpr bool kDown = false;

std::string VScroll(HWND to, WPARAM code, LPARAM bar = 0) { return Post(to, WM_VSCROLL, code, bar); }
std::string HScroll(HWND to, WPARAM code, LPARAM bar = 0) { return Post(to, WM_HSCROLL, code, bar); }
std::string Wheel(HWND to, WPARAM wParam) { return Post(to, WM_MOUSEWHEEL, wParam, kCursorLp); }
std::string Roll(HWND to, WPARAM wParam) { return Post(to, kRollMessage, wParam, kCursorLp); }

TEST(ScrollPrimitives, PostKeyStrokeSetsScanRepeatExtendedAndReleaseBits) {
    Scene s;
    PostKeyStroke(s.h.ctx, kTarget, VK_UP);
    PostKeyStroke(s.h.ctx, kTarget, VK_NEXT);
    EXPECT_EQ(s.h.desk.log(), (Log{Post(kTarget, WM_KEYDOWN, VK_UP, 0x01A60001), Post(kTarget, WM_KEYUP, VK_UP, 0xC1A60001),
                                   Post(kTarget, WM_KEYDOWN, VK_NEXT, 0x01A20001),
                                   Post(kTarget, WM_KEYUP, VK_NEXT, 0xC1A20001)}));
}

TEST(ScrollPrimitives, WindowMethodPostsLinesOrOnePageThenTheEnd) {
    const VerticalCase cases[] = {
        {"up, count 0", kUp, SCROLL_V_WINDOW, 0, 0, {Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"up, count 1", kUp, SCROLL_V_WINDOW, 1, 0, {Once(VScroll(kTarget, SB_LINEUP)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"up, count 3", kUp, SCROLL_V_WINDOW, 3, 0, {Times(3, VScroll(kTarget, SB_LINEUP)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"up, count 273", kUp, SCROLL_V_WINDOW, 273, 0,
         {Times(273, VScroll(kTarget, SB_LINEUP)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"up, page, count 3", kUp, SCROLL_V_WINDOW, 3, -1, {Once(VScroll(kTarget, SB_PAGEUP)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"up, page, count 0", kUp, SCROLL_V_WINDOW, 0, 1, {Once(VScroll(kTarget, SB_PAGEUP)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"down, count 0", kDown, SCROLL_V_WINDOW, 0, 0, {Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"down, count 1", kDown, SCROLL_V_WINDOW, 1, 0, {Once(VScroll(kTarget, SB_LINEDOWN)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"down, count 3", kDown, SCROLL_V_WINDOW, 3, 0,
         {Times(3, VScroll(kTarget, SB_LINEDOWN)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"down, count 273", kDown, SCROLL_V_WINDOW, 273, 0,
         {Times(273, VScroll(kTarget, SB_LINEDOWN)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"down, page, count 273", kDown, SCROLL_V_WINDOW, 273, -1,
         {Once(VScroll(kTarget, SB_PAGEDOWN)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"negative count: only the end", kUp, SCROLL_V_WINDOW, -4, 0, {Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"horizontal word ignored", kDown, SCROLL_V_WINDOW | SCROLL_H_KEYS, 1, 0,
         {Once(VScroll(kTarget, SB_LINEDOWN)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
        {"a bar passed along is the lParam", kUp, SCROLL_V_WINDOW, 1, 0,
         {Once(VScroll(kTarget, SB_LINEUP, kBarLp)), Once(VScroll(kTarget, SB_ENDSCROLL, kBarLp))}, kBar},
        {"same on Windows 95", kDown, SCROLL_V_WINDOW, 3, 0,
         {Times(3, VScroll(kTarget, SB_LINEDOWN)), Once(VScroll(kTarget, SB_ENDSCROLL))}, nullptr, OS_WIN95},
    };
    for (const auto& c : cases) ExpectVertical(c);
}

TEST(ScrollPrimitives, BarControlMethodPostsToTheBarsParent) {
    const VerticalCase cases[] = {
        {"up 3 via a bar with a parent", kUp, SCROLL_V_BARCONTROL, 3, 0,
         {Times(3, VScroll(kBarOwner, SB_LINEUP, kBarLp)), Once(VScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar},
        {"down 1 via a bar with a parent", kDown, SCROLL_V_BARCONTROL, 1, 0,
         {Once(VScroll(kBarOwner, SB_LINEDOWN, kBarLp)), Once(VScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar},
        {"count 0", kDown, SCROLL_V_BARCONTROL, 0, 0, {Once(VScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar},
        {"count 273", kUp, SCROLL_V_BARCONTROL, 273, 0,
         {Times(273, VScroll(kBarOwner, SB_LINEUP, kBarLp)), Once(VScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar},
        {"page down", kDown, SCROLL_V_BARCONTROL, 3, -1,
         {Once(VScroll(kBarOwner, SB_PAGEDOWN, kBarLp)), Once(VScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar},
        {"page up", kUp, SCROLL_V_BARCONTROL, 3, -1,
         {Once(VScroll(kBarOwner, SB_PAGEUP, kBarLp)), Once(VScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar},
        {"a bar without a parent leaves the target", kUp, SCROLL_V_BARCONTROL, 2, 0,
         {Times(2, VScroll(kTarget, SB_LINEUP, kOrphanBarLp)), Once(VScroll(kTarget, SB_ENDSCROLL, kOrphanBarLp))},
         kOrphanBar},
        {"no bar: the target with lParam 0", kDown, SCROLL_V_BARCONTROL, 2, 0,
         {Times(2, VScroll(kTarget, SB_LINEDOWN)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
    };
    for (const auto& c : cases) ExpectVertical(c);
}

TEST(ScrollPrimitives, WheelMethodPostsOneWheelMessageOrAPageKey) {
    const VerticalCase cases[] = {
        {"up, count 0: delta 0", kUp, SCROLL_V_WHEEL, 0, 0, {Once(Wheel(kTarget, 0x00000000))}},
        {"up, count 1", kUp, SCROLL_V_WHEEL, 1, 0, {Once(Wheel(kTarget, 0x00780000))}},
        {"up, count 3", kUp, SCROLL_V_WHEEL, 3, 0, {Once(Wheel(kTarget, 0x01680000))}},
        {"up, count 273: delta 32760", kUp, SCROLL_V_WHEEL, 273, 0, {Once(Wheel(kTarget, 0x7FF80000))}},
        {"down, count 0", kDown, SCROLL_V_WHEEL, 0, 0, {Once(Wheel(kTarget, 0x00000000))}},
        {"down, count 1", kDown, SCROLL_V_WHEEL, 1, 0, {Once(Wheel(kTarget, 0xFF880000))}},
        {"down, count 3", kDown, SCROLL_V_WHEEL, 3, 0, {Once(Wheel(kTarget, 0xFE980000))}},
        {"down, count 273: delta -32760", kDown, SCROLL_V_WHEEL, 273, 0, {Once(Wheel(kTarget, 0x80080000))}},
        {"page up: one page key", kUp, SCROLL_V_WHEEL, 3, -1, {Strokes(1, kTarget, VK_PRIOR)}},
        {"page down: one page key", kDown, SCROLL_V_WHEEL, 0, -1, {Strokes(1, kTarget, VK_NEXT)}},
        // An outside caller's count beyond 273 would wrap the 16-bit delta
        // into the opposite direction; it is held at 273 notches' worth.
        {"up, count 274 held at 32760", kUp, SCROLL_V_WHEEL, 274, 0, {Once(Wheel(kTarget, 0x7FF80000))}},
        {"down, count 1000 held at -32760", kDown, SCROLL_V_WHEEL, 1000, 0, {Once(Wheel(kTarget, 0x80080000))}},
        {"up, negative count: delta 0, never down", kUp, SCROLL_V_WHEEL, -2, 0, {Once(Wheel(kTarget, 0x00000000))}},
        {"Windows 95 up, count 3", kUp, SCROLL_V_WHEEL, 3, 0, {Once(Roll(kTarget, 0x168))}, nullptr, OS_WIN95},
        {"Windows 95 down, count 3: -360", kDown, SCROLL_V_WHEEL, 3, 0, {Once(Roll(kTarget, 0xFFFFFE98))}, nullptr, OS_WIN95},
        {"Windows 95 down, count 1", kDown, SCROLL_V_WHEEL, 1, 0, {Once(Roll(kTarget, 0xFFFFFF88))}, nullptr, OS_WIN95},
        {"Windows 95 up, count 0", kUp, SCROLL_V_WHEEL, 0, 0, {Once(Roll(kTarget, 0))}, nullptr, OS_WIN95},
        {"Windows 95 up, count 273", kUp, SCROLL_V_WHEEL, 273, 0, {Once(Roll(kTarget, 0x7FF8))}, nullptr, OS_WIN95},
        {"Windows 95 down, count 273", kDown, SCROLL_V_WHEEL, 273, 0, {Once(Roll(kTarget, 0xFFFF8008))}, nullptr, OS_WIN95},
        {"Windows 95 page down: the page key", kDown, SCROLL_V_WHEEL, 3, -1, {Strokes(1, kTarget, VK_NEXT)}, nullptr, OS_WIN95},
    };
    for (const auto& c : cases) ExpectVertical(c);
}

TEST(ScrollPrimitives, KeysMethodPostsArrowsOrOnePageKey) {
    const VerticalCase cases[] = {
        {"up, count 0: nothing", kUp, SCROLL_V_KEYS, 0, 0, {}},
        {"up, count 1", kUp, SCROLL_V_KEYS, 1, 0, {Strokes(1, kTarget, VK_UP)}},
        {"up, count 3", kUp, SCROLL_V_KEYS, 3, 0, {Strokes(3, kTarget, VK_UP)}},
        {"up, count 273", kUp, SCROLL_V_KEYS, 273, 0, {Strokes(273, kTarget, VK_UP)}},
        {"down, count 0: nothing", kDown, SCROLL_V_KEYS, 0, 0, {}},
        {"down, count 1", kDown, SCROLL_V_KEYS, 1, 0, {Strokes(1, kTarget, VK_DOWN)}},
        {"down, count 3", kDown, SCROLL_V_KEYS, 3, 0, {Strokes(3, kTarget, VK_DOWN)}},
        {"down, count 273", kDown, SCROLL_V_KEYS, 273, 0, {Strokes(273, kTarget, VK_DOWN)}},
        {"page up", kUp, SCROLL_V_KEYS, 3, -1, {Strokes(1, kTarget, VK_PRIOR)}},
        {"page down", kDown, SCROLL_V_KEYS, 273, -1, {Strokes(1, kTarget, VK_NEXT)}},
        {"negative count: nothing", kDown, SCROLL_V_KEYS, -3, 0, {}},
    };
    for (const auto& c : cases) ExpectVertical(c);
}

TEST(ScrollPrimitives, NoMethodAndUnknownMethodsPostNothing) {
    const VerticalCase cases[] = {
        {"SCROLL_V_NONE up", kUp, SCROLL_V_NONE, 3, 0, {}},
        {"SCROLL_V_NONE down, page", kDown, SCROLL_V_NONE | SCROLL_H_NONE, 3, -1, {}},
        {"code 0", kUp, 0, 3, 0, {}},
        {"horizontal word only", kDown, SCROLL_H_WINDOW, 3, 0, {}},
        {"two methods at once is no method", kUp, SCROLL_V_WINDOW | SCROLL_V_KEYS, 3, 0, {}},
        {"unknown value 32", kDown, 32, 3, 0, {}},
    };
    for (const auto& c : cases) ExpectVertical(c);
}

TEST(ScrollPrimitives, NullTargetPostsNothing) {
    // A null window would turn every post into a message to the calling thread.
    const VerticalCase cases[] = {
        {"window", kUp, SCROLL_V_WINDOW, 3, 0, {}, nullptr, OS_WINXP, nullptr},
        {"wheel", kDown, SCROLL_V_WHEEL, 3, 0, {}, nullptr, OS_WINXP, nullptr},
        {"keys", kDown, SCROLL_V_KEYS, 3, 0, {}, nullptr, OS_WINXP, nullptr},
        {"keys, page", kUp, SCROLL_V_KEYS, 3, -1, {}, nullptr, OS_WINXP, nullptr},
        {"Windows 95 wheel", kUp, SCROLL_V_WHEEL, 3, 0, {}, nullptr, OS_WIN95, nullptr},
        {"bar with a parent still reaches the bar's parent", kUp, SCROLL_V_BARCONTROL, 1, 0,
         {Once(VScroll(kBarOwner, SB_LINEUP, kBarLp)), Once(VScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar, OS_WINXP,
         nullptr},
    };
    for (const auto& c : cases) ExpectVertical(c);
}

struct ModifierCase {
    const char* name;
    int32_t os;
    bool controlDown;
    bool shiftDown;
    bool controlLocked;
    bool shiftLocked;
    bool up;
    uint32_t code;
    int count;
    int page;
    std::vector<Step> expected;
};

TEST(ScrollPrimitives, ModifiersTurnAnyVerticalScrollIntoOneModifiedNotch) {
    const ModifierCase cases[] = {
        {"XP Control, keys, up", OS_WINXP, true, false, false, false, kUp, SCROLL_V_KEYS, 3, 0,
         {Once(Wheel(kTarget, 0x00780008))}},
        {"XP Control, keys, down", OS_WINXP, true, false, false, false, kDown, SCROLL_V_KEYS, 3, 0,
         {Once(Wheel(kTarget, 0xFF880008))}},
        {"XP Shift, window, up", OS_WINXP, false, true, false, false, kUp, SCROLL_V_WINDOW, 3, 0,
         {Once(Wheel(kTarget, 0x00780004))}},
        {"XP Shift, window, down", OS_WINXP, false, true, false, false, kDown, SCROLL_V_WINDOW, 3, 0,
         {Once(Wheel(kTarget, 0xFF880004))}},
        {"XP both held: Control only", OS_WINXP, true, true, false, false, kUp, SCROLL_V_WHEEL, 3, 0,
         {Once(Wheel(kTarget, 0x00780008))}},
        {"2000 both held, count 273: Control only, one notch", OS_WIN2000, true, true, false, false, kDown,
         SCROLL_V_WHEEL, 273, 0, {Once(Wheel(kTarget, 0xFF880008))}},
        {"2000 Control Lock, page mode ignored", OS_WIN2000, false, false, true, false, kUp, SCROLL_V_WINDOW, 3, -1,
         {Once(Wheel(kTarget, 0x00780008))}},
        {"2000 Shift Lock", OS_WIN2000, false, false, false, true, kDown, SCROLL_V_BARCONTROL, 3, 0,
         {Once(Wheel(kTarget, 0xFF880004))}},
        {"XP Shift Lock, keys", OS_WINXP, false, false, false, true, kUp, SCROLL_V_KEYS, 3, 0,
         {Once(Wheel(kTarget, 0x00780004))}},
        {"XP both locks: Control", OS_WINXP, false, false, true, true, kDown, SCROLL_V_KEYS, 1, 0,
         {Once(Wheel(kTarget, 0xFF880008))}},
        {"XP Shift held and Control Lock: Control", OS_WINXP, false, true, true, false, kUp, SCROLL_V_KEYS, 1, 0,
         {Once(Wheel(kTarget, 0x00780008))}},
        {"XP Control, count 0", OS_WINXP, true, false, false, false, kUp, SCROLL_V_WINDOW, 0, 0,
         {Once(Wheel(kTarget, 0x00780008))}},
        {"unknown method still gets the notch", OS_WINXP, true, false, false, false, kUp, 0, 3, 0,
         {Once(Wheel(kTarget, 0x00780008))}},
        {"95 Control: the roll message, +120", OS_WIN95, true, false, false, false, kUp, SCROLL_V_KEYS, 3, 0,
         {Once(Roll(kTarget, 0x78))}},
        {"95 Shift: the roll message, -120", OS_WIN95, false, true, false, false, kDown, SCROLL_V_WINDOW, 3, 0,
         {Once(Roll(kTarget, 0xFFFFFF88))}},
        {"95 both held", OS_WIN95, true, true, false, false, kUp, SCROLL_V_WHEEL, 3, 0, {Once(Roll(kTarget, 0x78))}},
        {"95 Control Lock", OS_WIN95, false, false, true, false, kDown, SCROLL_V_KEYS, 3, -1,
         {Once(Roll(kTarget, 0xFFFFFF88))}},
        {"95 Shift Lock", OS_WIN95, false, false, false, true, kUp, SCROLL_V_BARCONTROL, 3, 0,
         {Once(Roll(kTarget, 0x78))}},
        {"SCROLL_V_NONE with Control: nothing", OS_WINXP, true, false, false, false, kUp, SCROLL_V_NONE, 3, 0, {}},
        {"SCROLL_V_NONE with Shift Lock on 95: nothing", OS_WIN95, false, false, false, true, kDown, SCROLL_V_NONE, 3, 0,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s(c.os);
        s.h.desk.SetKeyDown(VK_CONTROL, c.controlDown);
        s.h.desk.SetKeyDown(VK_SHIFT, c.shiftDown);
        s.h.shared.ControlLocked = c.controlLocked ? -1 : 0;
        s.h.shared.ShiftLocked = c.shiftLocked ? -1 : 0;
        int result = c.up ? ScrollUp(s.h.ctx, kTarget, kX, kY, c.code, c.count, kBar, c.page)
                          : ScrollDown(s.h.ctx, kTarget, kX, kY, c.code, c.count, kBar, c.page);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(s.h.desk.log(), Expand(c.expected));
    }
}

TEST(ScrollPrimitives, KeyStateIsDownWhenTheHighByteIsNonZero) {
    struct {
        const char* name;
        SHORT state;
        std::vector<Step> expected;
    } const cases[] = {
        {"0x8000 down", static_cast<SHORT>(0x8000), {Once(Wheel(kTarget, 0x00780008))}},
        {"0x0100 counts as down", 0x0100, {Once(Wheel(kTarget, 0x00780008))}},
        {"0x0001 toggled only: up", 0x0001, {Strokes(1, kTarget, VK_UP)}},
        {"0x00FF: up", 0x00FF, {Strokes(1, kTarget, VK_UP)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        s.h.desk.SetKeyState(VK_CONTROL, c.state);
        ScrollUp(s.h.ctx, kTarget, kX, kY, SCROLL_V_KEYS, 1, nullptr, 0);
        EXPECT_EQ(s.h.desk.log(), Expand(c.expected));
    }
}

TEST(ScrollPrimitives, WordProcessSendsWheelMessagesToTheTopLevelWindow) {
    struct {
        const char* name;
        bool up;
        uint32_t code;
        int page;
        bool controlDown;
        std::vector<Step> expected;
    } const cases[] = {
        {"wheel method, line mode", kUp, SCROLL_V_WHEEL, 0, false, {Once(Wheel(kFrame, 0x01680000))}},
        {"wheel method, page mode: key to the child", kDown, SCROLL_V_WHEEL, -1, false, {Strokes(1, kTarget, VK_NEXT)}},
        {"modified notch", kDown, SCROLL_V_KEYS, 0, true, {Once(Wheel(kFrame, 0xFF880008))}},
        {"keys stay with the child", kDown, SCROLL_V_KEYS, 0, false, {Strokes(3, kTarget, VK_DOWN)}},
        {"scroll messages stay with the child", kUp, SCROLL_V_WINDOW, 0, false,
         {Times(3, VScroll(kTarget, SB_LINEUP)), Once(VScroll(kTarget, SB_ENDSCROLL))}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s(OS_WINXP, PROCESS_WORD);
        s.h.desk.SetKeyDown(VK_CONTROL, c.controlDown);
        c.up ? ScrollUp(s.h.ctx, kTarget, kX, kY, c.code, 3, nullptr, c.page)
             : ScrollDown(s.h.ctx, kTarget, kX, kY, c.code, 3, nullptr, c.page);
        EXPECT_EQ(s.h.desk.log(), Expand(c.expected));
    }
}

TEST(ScrollPrimitives, WheelRecipientWalksToTheTopOnlyInWord) {
    struct {
        const char* name;
        int32_t processKind;
        int window;  // 0 the deepest child, 1 its parent, 2 the top, -1 none
        int expected;
    } const cases[] = {
        {"Word, grandchild", PROCESS_WORD, 0, 2}, {"Word, child", PROCESS_WORD, 1, 2},
        {"Word, top itself", PROCESS_WORD, 2, 2},  {"Word, no window", PROCESS_WORD, -1, -1},
        {"Excel, grandchild", PROCESS_EXCEL, 0, 0}, {"other, child", PROCESS_OTHER, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHook h;
        h.process.ProcessKind = c.processKind;
        HWND top = h.desk.AddWindow("OpusApp");
        HWND middle = h.desk.AddWindow("_WwF", WS_VISIBLE | WS_CHILD, {0, 0, 100, 100}, top);
        HWND deep = h.desk.AddWindow("_WwG", WS_VISIBLE | WS_CHILD, {0, 0, 100, 100}, middle);
        const HWND chain[] = {deep, middle, top};
        HWND window = c.window < 0 ? nullptr : chain[c.window];
        HWND expected = c.expected < 0 ? nullptr : chain[c.expected];
        EXPECT_EQ(WheelRecipient(h.ctx, window), expected);
        EXPECT_TRUE(h.desk.log().empty());
    }
}

struct HorizontalCase {
    const char* name;
    bool left;
    uint32_t code;
    int count;
    int page;
    std::vector<Step> expected;
    HWND bar = nullptr;
};

constexpr bool kLeft = true;
constexpr bool kRight = false;

TEST(ScrollPrimitives, HorizontalMethodsInEachDirection) {
    const HorizontalCase cases[] = {
        {"window left 0", kLeft, SCROLL_H_WINDOW, 0, 0, {Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window left 1", kLeft, SCROLL_H_WINDOW, 1, 0, {Once(HScroll(kTarget, SB_LINELEFT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window left 3", kLeft, SCROLL_H_WINDOW, 3, 0,
         {Times(3, HScroll(kTarget, SB_LINELEFT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window left 273", kLeft, SCROLL_H_WINDOW, 273, 0,
         {Times(273, HScroll(kTarget, SB_LINELEFT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window page left", kLeft, SCROLL_H_WINDOW, 3, -1,
         {Once(HScroll(kTarget, SB_PAGELEFT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window right 0", kRight, SCROLL_H_WINDOW, 0, 0, {Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window right 1", kRight, SCROLL_H_WINDOW, 1, 0,
         {Once(HScroll(kTarget, SB_LINERIGHT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window right 3", kRight, SCROLL_H_WINDOW, 3, 0,
         {Times(3, HScroll(kTarget, SB_LINERIGHT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window right 273", kRight, SCROLL_H_WINDOW, 273, 0,
         {Times(273, HScroll(kTarget, SB_LINERIGHT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"window page right", kRight, SCROLL_H_WINDOW, 0, -1,
         {Once(HScroll(kTarget, SB_PAGERIGHT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"bar with a parent, left 3", kLeft, SCROLL_H_BARCONTROL, 3, 0,
         {Times(3, HScroll(kBarOwner, SB_LINELEFT, kBarLp)), Once(HScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar},
        {"bar with a parent, page right", kRight, SCROLL_H_BARCONTROL, 3, -1,
         {Once(HScroll(kBarOwner, SB_PAGERIGHT, kBarLp)), Once(HScroll(kBarOwner, SB_ENDSCROLL, kBarLp))}, kBar},
        {"bar with a parent, right 0", kRight, SCROLL_H_BARCONTROL, 0, 0, {Once(HScroll(kBarOwner, SB_ENDSCROLL, kBarLp))},
         kBar},
        {"bar without a parent", kRight, SCROLL_H_BARCONTROL, 1, 0,
         {Once(HScroll(kTarget, SB_LINERIGHT, kOrphanBarLp)), Once(HScroll(kTarget, SB_ENDSCROLL, kOrphanBarLp))},
         kOrphanBar},
        {"no bar", kLeft, SCROLL_H_BARCONTROL, 1, 0, {Once(HScroll(kTarget, SB_LINELEFT)), Once(HScroll(kTarget, SB_ENDSCROLL))}},
        {"keys left 0", kLeft, SCROLL_H_KEYS, 0, 0, {}},
        {"keys left 1", kLeft, SCROLL_H_KEYS, 1, 0, {Strokes(1, kTarget, VK_LEFT)}},
        {"keys left 3", kLeft, SCROLL_H_KEYS, 3, 0, {Strokes(3, kTarget, VK_LEFT)}},
        {"keys left 273", kLeft, SCROLL_H_KEYS, 273, 0, {Strokes(273, kTarget, VK_LEFT)}},
        {"keys page left: ten arrows", kLeft, SCROLL_H_KEYS, 3, -1, {Strokes(10, kTarget, VK_LEFT)}},
        {"keys right 0", kRight, SCROLL_H_KEYS, 0, 0, {}},
        {"keys right 1", kRight, SCROLL_H_KEYS, 1, 0, {Strokes(1, kTarget, VK_RIGHT)}},
        {"keys right 3", kRight, SCROLL_H_KEYS, 3, 0, {Strokes(3, kTarget, VK_RIGHT)}},
        {"keys right 273", kRight, SCROLL_H_KEYS, 273, 0, {Strokes(273, kTarget, VK_RIGHT)}},
        {"keys page right: ten arrows", kRight, SCROLL_H_KEYS, 273, -1, {Strokes(10, kTarget, VK_RIGHT)}},
        {"vertical word ignored", kRight, SCROLL_H_KEYS | SCROLL_V_WINDOW, 1, 0, {Strokes(1, kTarget, VK_RIGHT)}},
        {"SCROLL_H_NONE", kLeft, SCROLL_H_NONE, 3, 0, {}},
        {"method 0 (no high word)", kRight, SCROLL_V_KEYS, 3, 0, {}},
        {"unknown value", kLeft, 0x30000, 3, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        int result = c.left ? ScrollLeft(s.h.ctx, kTarget, c.code, c.count, c.bar, c.page)
                            : ScrollRight(s.h.ctx, kTarget, c.code, c.count, c.bar, c.page);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(s.h.desk.log(), Expand(c.expected));
    }
}

TEST(ScrollPrimitives, HorizontalScrollIgnoresModifiers) {
    Scene s;
    s.h.desk.SetKeyDown(VK_CONTROL, true);
    s.h.shared.ShiftLocked = -1;
    EXPECT_EQ(ScrollLeft(s.h.ctx, kTarget, SCROLL_H_KEYS, 2, nullptr, 0), 1);
    EXPECT_EQ(s.h.desk.log(), Expand({Strokes(2, kTarget, VK_LEFT)}));
}

}  // namespace
