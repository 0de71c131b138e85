#include "auto_scroll.h"
#include "dispatcher.h"
#include "fake_desktop.h"
#include "function_codes.h"
#include "markers.h"
#include "scroll.h"
#include "scroll_test_support.h"
#include "universal_scroll.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <climits>

using namespace ptr;
using namespace ptr::fake;

namespace {

// The desktop: the tray agent's window, a target with both standard scroll
// bars, the agent's auto-scroll window, another window, and the foreground
// frame. Universal scroll starts at (500, 400).
const HWND kAgent = Handle(0x1000);
const HWND kTarget = Handle(0x1010);
const HWND kAutoWindow = Handle(0x1020);
const HWND kOther = Handle(0x1030);
const HWND kFrame = Handle(0x1040);
constexpr int kAnchorX = 500;
constexpr int kAnchorY = 400;

struct Desk {
    FakeHook h;
    explicit Desk(int32_t os = OS_WINXP) {
        h.UseDefaultBlock();
        h.SetOs(os);
        EXPECT_EQ(h.desk.AddWindow("AgentWindow"), kAgent);
        EXPECT_EQ(h.desk.AddWindow("Edit", WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, {0, 0, 1000, 700}), kTarget);
        EXPECT_EQ(h.desk.AddWindow("AutoScrollWindow"), kAutoWindow);
        EXPECT_EQ(h.desk.AddWindow("Other"), kOther);
        EXPECT_EQ(h.desk.AddWindow("Frame"), kFrame);
        h.block.AgentWindow = FromHwnd(kAgent);
        h.block.AutoScrollWindow = FromHwnd(kAutoWindow);
        h.desk.SetForegroundWindowState(kFrame);
    }

    void StartUniversal() {
        EXPECT_EQ(StartUniversalScroll(h.ctx, kTarget, kAnchorX, kAnchorY), 1);
        h.desk.ClearLog();
    }
    int Move(int x, int y, UINT message = WM_MOUSEMOVE) { return UniversalScrollHandler(h.ctx, kTarget, message, x, y); }
};

std::string V(WPARAM code) { return Post(kTarget, WM_VSCROLL, code, 0); }
std::string H(WPARAM code) { return Post(kTarget, WM_HSCROLL, code, 0); }
std::vector<Step> Lines(int count, WPARAM code) { return {Times(count, V(code)), Once(V(SB_ENDSCROLL))}; }
std::vector<Step> Columns(int count, WPARAM code) { return {Times(count, H(code)), Once(H(SB_ENDSCROLL))}; }

// ---- Universal scroll ----

TEST(UniversalScroll, StartRemembersTheTargetAndAnnouncesTheMode) {
    Desk d;
    HWND bar = d.h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_VERT, {0, 0, 10, 10}, kOther);
    EXPECT_EQ(StartUniversalScroll(d.h.ctx, kOther, 120, 130), 1);
    EXPECT_EQ(d.h.desk.log(), (Log{Post(kAgent, UM_MODESTATE, function::kUniversalScroll, 0)}));
    EXPECT_EQ(d.h.shared.Mode, static_cast<uint32_t>(function::kUniversalScroll));
    EXPECT_EQ(d.h.shared.ScrollTarget, FromHwnd(kOther));
    EXPECT_EQ(static_cast<uint32_t>(d.h.shared.ScrollKind), SCROLL_V_BARCONTROL | SCROLL_H_KEYS);
    EXPECT_EQ(d.h.shared.VBarControl, FromHwnd(bar));
    EXPECT_EQ(d.h.shared.HBarControl, 0u);
    EXPECT_EQ(d.h.shared.Anchor.x, 120);
    EXPECT_EQ(d.h.shared.Anchor.y, 130);
    EXPECT_EQ(d.h.shared.LastPos.x, 120);
    EXPECT_EQ(d.h.shared.LastPos.y, 130);
}

TEST(UniversalScroll, MovesScrollTheRememberedWindowThroughItsBar) {
    Desk d;
    HWND bar = d.h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_VERT, {0, 0, 10, 10}, kOther);
    ASSERT_EQ(StartUniversalScroll(d.h.ctx, kOther, kAnchorX, kAnchorY), 1);
    d.h.desk.ClearLog();
    // Speed 5: 12 pixels for 10 lines.
    EXPECT_EQ(UniversalScrollHandler(d.h.ctx, kOther, WM_MOUSEMOVE, kAnchorX, kAnchorY + 12), 0);
    LPARAM barLp = reinterpret_cast<LPARAM>(bar);
    EXPECT_EQ(d.h.desk.log(), Expand({Times(10, Post(kOther, WM_VSCROLL, SB_LINEDOWN, barLp)),
                                      Once(Post(kOther, WM_VSCROLL, SB_ENDSCROLL, barLp))}));
}

struct SpeedCase {
    int32_t speed;
    int threshold;  // pixels of travel for one step
    int step;       // lines or columns per step
};

TEST(UniversalScroll, VerticalThresholdAndStepForEverySpeed) {
    const SpeedCase cases[] = {
        {1, 20, 2},  {2, 18, 4},  {3, 16, 6},  {4, 14, 8},  {5, 12, 10}, {6, 10, 12}, {7, 8, 14},
        {8, 6, 16},  {9, 4, 18},  {10, 2, 20},
        // Outside the settings' range the nearest speed is used; an unfilled block reads speed 0.
        {0, 20, 2},  {-7, 20, 2}, {11, 2, 20}, {400, 2, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "vertical speed " << c.speed);
        Desk d;
        d.h.block.UScrollVSpeed = c.speed;
        d.StartUniversal();
        EXPECT_EQ(d.Move(kAnchorX, kAnchorY + c.threshold - 1), 0);
        EXPECT_TRUE(d.h.desk.log().empty());
        EXPECT_EQ(d.Move(kAnchorX, kAnchorY + c.threshold), 0);
        EXPECT_EQ(d.h.desk.log(), Expand(Lines(c.step, SB_LINEDOWN)));
        d.h.desk.ClearLog();
        // Measured from the position of the last step.
        EXPECT_EQ(d.Move(kAnchorX, kAnchorY + 1), 0);
        EXPECT_TRUE(d.h.desk.log().empty());
        EXPECT_EQ(d.Move(kAnchorX, kAnchorY), 0);
        EXPECT_EQ(d.h.desk.log(), Expand(Lines(c.step, SB_LINEUP)));
    }
}

TEST(UniversalScroll, HorizontalThresholdAndStepForEverySpeed) {
    const SpeedCase cases[] = {
        {1, 10, 2}, {2, 8, 4}, {3, 6, 6}, {4, 4, 8}, {5, 2, 10}, {0, 10, 2}, {6, 2, 10}, {-1, 10, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "horizontal speed " << c.speed);
        Desk d;
        d.h.block.UScrollHSpeed = c.speed;
        d.StartUniversal();
        EXPECT_EQ(d.Move(kAnchorX + c.threshold - 1, kAnchorY), 0);
        EXPECT_TRUE(d.h.desk.log().empty());
        EXPECT_EQ(d.Move(kAnchorX + c.threshold, kAnchorY), 0);
        EXPECT_EQ(d.h.desk.log(), Expand(Columns(c.step, SB_LINERIGHT)));
        d.h.desk.ClearLog();
        EXPECT_EQ(d.Move(kAnchorX + 1, kAnchorY), 0);
        EXPECT_TRUE(d.h.desk.log().empty());
        EXPECT_EQ(d.Move(kAnchorX, kAnchorY), 0);
        EXPECT_EQ(d.h.desk.log(), Expand(Columns(c.step, SB_LINELEFT)));
    }
}

TEST(UniversalScroll, DirectionsAxesAndReverse) {
    // Vertical speed 5 (12 pixels, 10 lines), horizontal speed 3 (6 pixels, 6 columns).
    struct {
        const char* name;
        bool reverse;
        bool vertical;
        bool horizontal;
        int64_t dx;
        int64_t dy;
        std::vector<Step> expected;
        POINT anchor = {kAnchorX, kAnchorY};
    } const cases[] = {
        {"down", false, true, true, 0, 12, Lines(10, SB_LINEDOWN)},
        {"up", false, true, true, 0, -12, Lines(10, SB_LINEUP)},
        {"right", false, true, true, 6, 0, Columns(6, SB_LINERIGHT)},
        {"left", false, true, true, -6, 0, Columns(6, SB_LINELEFT)},
        {"diagonal: columns first, then lines", false, true, true, 7, 13,
         {Times(6, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL)), Times(10, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))}},
        {"reverse: moving down scrolls up", true, true, true, 0, 12, Lines(10, SB_LINEUP)},
        {"reverse: moving up scrolls down", true, true, true, 0, -12, Lines(10, SB_LINEDOWN)},
        {"reverse: moving right scrolls left", true, true, true, 6, 0, Columns(6, SB_LINELEFT)},
        {"reverse: moving left scrolls right", true, true, true, -6, 0, Columns(6, SB_LINERIGHT)},
        {"vertical off", false, false, true, 6, 12, Columns(6, SB_LINERIGHT)},
        {"horizontal off", false, true, false, 6, 12, Lines(10, SB_LINEDOWN)},
        {"both off", false, false, false, 60, 120, {}},
        {"below both thresholds", false, true, true, 5, -11, {}},
        // The start message may name any point: the travel from it does not wrap around.
        {"anchor far left of the screen: moving right scrolls right", false, true, true, 1000 - (INT_MIN + 100LL), 12,
         {Times(6, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL)), Times(10, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))},
         {INT_MIN + 100, kAnchorY}},
        {"anchor far left, reverse: moving right scrolls left", true, true, true, 1000 - (INT_MIN + 100LL), 0,
         Columns(6, SB_LINELEFT), {INT_MIN + 100, kAnchorY}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d;
        d.h.block.UScrollReverse = c.reverse ? -1 : 0;
        d.h.block.UScrollVertical = c.vertical ? -1 : 0;
        d.h.block.UScrollHorizontal = c.horizontal ? -1 : 0;
        EXPECT_EQ(StartUniversalScroll(d.h.ctx, kTarget, c.anchor.x, c.anchor.y), 1);
        d.h.desk.ClearLog();
        EXPECT_EQ(d.Move(static_cast<int>(c.anchor.x + c.dx), static_cast<int>(c.anchor.y + c.dy)), 0);
        EXPECT_EQ(d.h.desk.log(), Expand(c.expected));
        EXPECT_EQ(d.h.shared.Mode, static_cast<uint32_t>(function::kUniversalScroll));
    }
}

TEST(UniversalScroll, EachAxisKeepsItsOwnLastPosition) {
    Desk d;
    d.StartUniversal();
    // Slow sideways drift while moving down: the columns accumulate.
    const struct {
        int x;
        int y;
        std::vector<Step> expected;
    } moves[] = {
        {502, 412, Lines(10, SB_LINEDOWN)},
        {504, 420, {}},
        {506, 424, {Times(6, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL)), Times(10, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))}},
        {508, 430, {}},
        {511, 435, {}},
        {512, 436, {Times(6, H(SB_LINERIGHT)), Once(H(SB_ENDSCROLL)), Times(10, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL))}},
    };
    for (const auto& m : moves) {
        SCOPED_TRACE(testing::Message() << "to " << m.x << "," << m.y);
        d.h.desk.ClearLog();
        EXPECT_EQ(d.Move(m.x, m.y), 0);
        EXPECT_EQ(d.h.desk.log(), Expand(m.expected));
    }
}

TEST(UniversalScroll, NonClientMovesScrollToo) {
    Desk d;
    d.StartUniversal();
    EXPECT_EQ(d.Move(kAnchorX, kAnchorY - 12, WM_NCMOUSEMOVE), 0);
    EXPECT_EQ(d.h.desk.log(), Expand(Lines(10, SB_LINEUP)));
}

struct Screen {
    int x, y, cx, cy;  // SM_XVIRTUALSCREEN ... SM_CYVIRTUALSCREEN
};

TEST(UniversalScroll, SnapBackAtEachEdgeOfTheRightScreen) {
    // A monitor left of the primary (1024 x 768) and one above it: the virtual
    // screen runs from (-1280, -768) to (1023, 767).
    const Screen twoMonitors = {-1280, -768, 2304, 1536};
    const Screen single = {0, 0, 1024, 768};
    struct {
        const char* name;
        int32_t os;
        Screen screen;
        POINT point;
        bool snaps;
    } const cases[] = {
        {"XP virtual: left edge", OS_WINXP, twoMonitors, {-1280, 0}, true},
        {"XP virtual: just inside the left edge", OS_WINXP, twoMonitors, {-1279, 0}, false},
        {"XP virtual: right edge", OS_WINXP, twoMonitors, {1023, 0}, true},
        {"XP virtual: just inside the right edge", OS_WINXP, twoMonitors, {1022, 0}, false},
        {"XP virtual: top edge", OS_WINXP, twoMonitors, {0, -768}, true},
        {"XP virtual: just inside the top edge", OS_WINXP, twoMonitors, {0, -767}, false},
        {"XP virtual: bottom edge", OS_WINXP, twoMonitors, {0, 767}, true},
        {"XP virtual: just inside the bottom edge", OS_WINXP, twoMonitors, {0, 766}, false},
        {"XP virtual: beyond the corner", OS_WINXP, twoMonitors, {-2000, 900}, true},
        {"98 virtual: on the left monitor", OS_WIN98, twoMonitors, {-5, 400}, false},
        {"Me virtual: on the upper monitor", OS_WINME, twoMonitors, {500, -5}, false},
        {"2000 virtual: left edge", OS_WIN2000, twoMonitors, {-1280, 400}, true},
        {"unknown system: virtual", OS_OTHER, twoMonitors, {-5, 400}, false},
        {"95 primary: left edge at 0", OS_WIN95, twoMonitors, {0, 400}, true},
        {"95 primary: on the left monitor", OS_WIN95, twoMonitors, {-5, 400}, true},
        {"95 primary: just inside the left edge", OS_WIN95, twoMonitors, {1, 400}, false},
        {"95 primary: right edge", OS_WIN95, twoMonitors, {1023, 400}, true},
        {"95 primary: top edge", OS_WIN95, twoMonitors, {500, 0}, true},
        {"95 primary: bottom edge", OS_WIN95, twoMonitors, {500, 767}, true},
        {"95 primary: just inside the bottom edge", OS_WIN95, twoMonitors, {500, 766}, false},
        {"NT 4 primary: on the upper monitor", OS_NT4, twoMonitors, {500, -5}, true},
        {"NT 4 primary: just inside the right edge", OS_NT4, twoMonitors, {1022, 400}, false},
        {"XP single screen: right edge", OS_WINXP, single, {1023, 400}, true},
        {"XP single screen: left edge", OS_WINXP, single, {0, 400}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d(c.os);
        d.h.desk.SetMetric(SM_XVIRTUALSCREEN, c.screen.x);
        d.h.desk.SetMetric(SM_YVIRTUALSCREEN, c.screen.y);
        d.h.desk.SetMetric(SM_CXVIRTUALSCREEN, c.screen.cx);
        d.h.desk.SetMetric(SM_CYVIRTUALSCREEN, c.screen.cy);
        // Both axes off: only the snap-back shows.
        d.h.block.UScrollVertical = 0;
        d.h.block.UScrollHorizontal = 0;
        d.StartUniversal();
        EXPECT_EQ(d.Move(c.point.x, c.point.y), c.snaps ? 1 : 0);
        EXPECT_EQ(d.h.desk.log(), c.snaps ? Log{CursorTo(kAnchorX, kAnchorY)} : Log{});
        EXPECT_EQ(d.h.shared.Mode, static_cast<uint32_t>(function::kUniversalScroll));
    }
}

TEST(UniversalScroll, SnapBackRestartsTravelFromTheAnchor) {
    Desk d;
    d.StartUniversal();
    EXPECT_EQ(d.Move(kAnchorX, kAnchorY + 12), 0);  // one step; the last position is now y 412
    EXPECT_EQ(d.Move(kAnchorX, 767), 1);            // the bottom edge
    d.h.desk.ClearLog();
    EXPECT_EQ(d.Move(kAnchorX, kAnchorY + 12), 0);  // 12 pixels from the anchor again
    EXPECT_EQ(d.h.desk.log(), Expand(Lines(10, SB_LINEDOWN)));
}

TEST(UniversalScroll, EachWayItEnds) {
    struct {
        const char* name;
        UINT message;
        bool noForeground;
        int result;
        Log expected;
        uint32_t modeAfter;
    } const cases[] = {
        {"left press: the click goes through", WM_LBUTTONDOWN, false, 0, {Post(kAgent, UM_MODEEND, 0, 0)}, 0},
        {"right press", WM_RBUTTONDOWN, false, 0, {Post(kAgent, UM_MODEEND, 0, 0)}, 0},
        {"X button press", WM_XBUTTONDOWN, false, 0, {Post(kAgent, UM_MODEEND, 0, 0)}, 0},
        {"middle press: swallowed, cursor back to the anchor", WM_MBUTTONDOWN, false, 1,
         {Post(kAgent, UM_MODEEND, 0, 0), CursorTo(kAnchorX, kAnchorY)}, 0},
        {"left press without a foreground window", WM_LBUTTONDOWN, true, 0,
         {Post(kAgent, UM_MODEEND, 0, 0), Focus(kOther)}, 0},
        {"a release does not end it", WM_LBUTTONUP, false, 0, {}, function::kUniversalScroll},
        {"the wheel does not end it", WM_MOUSEWHEEL, false, 0, {}, function::kUniversalScroll},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d;
        d.StartUniversal();
        // The cursor has wandered, with a step on the way.
        EXPECT_EQ(d.Move(kAnchorX + 30, kAnchorY + 40), 0);
        d.h.desk.ClearLog();
        if (c.noForeground) d.h.desk.SetForegroundWindowState(nullptr);
        EXPECT_EQ(UniversalScrollHandler(d.h.ctx, kOther, c.message, kAnchorX + 30, kAnchorY + 40), c.result);
        EXPECT_EQ(d.h.desk.log(), c.expected);
        EXPECT_EQ(d.h.shared.Mode, c.modeAfter);
    }
}

// ---- Auto scroll ----

TEST(AutoScroll, StartByKindOfWindow) {
    struct {
        const char* name;
        const char* windowClass;
        int32_t processKind;
        bool autoScrollWindow;
        int result;
        Log expected;
        uint32_t mode;
        bool browserFlag;
        int32_t releaseActionAfter;
        bool releaseWentBy = false;  // the user's release came before the marked one
    } const cases[] = {
        {"browser view: the browser's own auto scroll", "Internet Explorer_Server", PROCESS_OTHER, true, 1,
         {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0x00030000)}, function::kAutoScroll, true, 45},
        {"old browser view, any case", "html_internet explorer", PROCESS_OTHER, true, 1,
         {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0x00030000)}, function::kAutoScroll, true, 45},
        {"browser view needs no auto-scroll window", "Internet Explorer_Server", PROCESS_OTHER, false, 1,
         {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0x00030000)}, function::kAutoScroll, true, 45},
        // A quick click on a busy browser: its press must not stay down.
        {"browser view, the user's release went by: a whole click", "Internet Explorer_Server", PROCESS_OTHER, true,
         1, {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0x00030000),
             Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0x00030000)}, function::kAutoScroll, true, 0,
         true},
        {"no auto-scroll window: nothing", "Edit", PROCESS_OTHER, false, 0, {}, 0, false, 0},
        {"the agent's auto-scroll window", "Edit", PROCESS_OTHER, true, 1,
         {Send(kAgent, UM_AUTOSCROLLSTART, 0, 0), Foreground(kAutoWindow)}, function::kAutoScroll, false, 0},
        {"the agent's, in NETSCP6", "MozillaWindowClass", PROCESS_NETSCP6, true, 1,
         {Send(kAgent, UM_AUTOSCROLLSTART, 0, 0), Foreground(kAutoWindow)}, function::kAutoScroll, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d;
        d.h.process.ProcessKind = c.processKind;
        if (!c.autoScrollWindow) d.h.block.AutoScrollWindow = 0;
        // The press waits for the user's release, until that release goes by.
        d.h.shared.ReleasePending = c.releaseWentBy ? 0 : 1;
        HWND window = d.h.desk.AddWindow(c.windowClass, WS_VISIBLE | WS_CHILD, {0, 0, 10, 10}, kFrame);
        EXPECT_EQ(StartAutoScroll(d.h.ctx, window), c.result);
        EXPECT_EQ(d.h.desk.log(), c.expected);
        EXPECT_EQ(d.h.shared.Mode, c.mode);
        EXPECT_EQ(d.h.process.BrowserAutoScroll, c.browserFlag);
        EXPECT_EQ(d.h.shared.ReleaseAction, c.releaseActionAfter);
    }
}

TEST(AutoScroll, AgentStartRemembersTheTarget) {
    struct {
        const char* name;
        int32_t processKind;
        uint32_t scrollKind;
        bool barsKept;
    } const cases[] = {
        {"discovered methods and bars", PROCESS_OTHER, SCROLL_V_BARCONTROL | SCROLL_H_BARCONTROL, true},
        {"NETSCP6: arrow keys both ways, no bars", PROCESS_NETSCP6, SCROLL_V_KEYS | SCROLL_H_KEYS, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d;
        d.h.process.ProcessKind = c.processKind;
        HWND vbar = d.h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_VERT, {0, 0, 10, 10}, kOther);
        HWND hbar = d.h.desk.AddWindow("ScrollBar", WS_VISIBLE | WS_CHILD | SBS_HORZ, {0, 0, 10, 10}, kOther);
        d.h.shared.VBarControl = 0x7777;  // left from an earlier run
        d.h.desk.SetCursor(321, 654);
        ASSERT_EQ(StartAutoScroll(d.h.ctx, kOther), 1);
        EXPECT_EQ(d.h.shared.ScrollTarget, FromHwnd(kOther));
        EXPECT_EQ(static_cast<uint32_t>(d.h.shared.ScrollKind), c.scrollKind);
        EXPECT_EQ(d.h.shared.VBarControl, c.barsKept ? FromHwnd(vbar) : 0u);
        EXPECT_EQ(d.h.shared.HBarControl, c.barsKept ? FromHwnd(hbar) : 0u);
        EXPECT_EQ(d.h.shared.Anchor.x, 321);
        EXPECT_EQ(d.h.shared.Anchor.y, 654);
        EXPECT_EQ(d.h.shared.SavedForeground, FromHwnd(kFrame));
    }
}

TEST(AutoScroll, InNetscp6TheAgentScrollsByArrowKeys) {
    Desk d;
    d.h.process.ProcessKind = PROCESS_NETSCP6;
    ASSERT_EQ(StartAutoScroll(d.h.ctx, kTarget), 1);
    d.h.desk.ClearLog();
    AutoDown(d.h.ctx, 2);
    AutoLeft(d.h.ctx, 1);
    EXPECT_EQ(d.h.desk.log(), Expand({Strokes(2, kTarget, VK_DOWN), Strokes(1, kTarget, VK_LEFT)}));
}

TEST(AutoScroll, BrowserBranchEndsAtTheNextMessageButTheRelease) {
    struct {
        const char* name;
        UINT message;
        uint32_t modeAfter;
        bool flagAfter;
        int32_t releaseActionAfter;
        int32_t releaseActionBefore = 0;  // 0: the release of the press made for the browser has gone by
        int result = 0;
        Log expected = {};  // the tray agent is never involved
    } const cases[] = {
        {"the release passes and changes nothing", WM_MBUTTONUP, function::kAutoScroll, true, 0},
        // In the system the user's own release may come before the press made
        // for the browser: it is made again after that press.
        {"the release the browser's press waits for is made again", WM_MBUTTONUP, function::kAutoScroll, true, 0, 45, 1,
         {Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0x00030000)}},
        {"a middle press ends it; its release will pass", WM_MBUTTONDOWN, 0, false, 45},
        // Ended before the user's release came: the browser's press goes up now, in its turn.
        {"a left press ends it while the browser's press waits: that press goes up", WM_LBUTTONDOWN, 0, false, 0, 45,
         0, {Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0x00030000)}},
        {"the wheel ends it while the browser's press waits: that press goes up", WM_MOUSEWHEEL, 0, false, 0, 45, 0,
         {Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0x00030000)}},
        {"a left press ends it", WM_LBUTTONDOWN, 0, false, 0},
        {"a right press ends it", WM_RBUTTONDOWN, 0, false, 0},
        {"the wheel ends it", WM_MOUSEWHEEL, 0, false, 0},
        {"a move ends it", WM_MOUSEMOVE, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d;
        HWND view = d.h.desk.AddWindow("Internet Explorer_Server", WS_VISIBLE | WS_CHILD, {0, 0, 10, 10}, kFrame);
        ASSERT_EQ(StartAutoScroll(d.h.ctx, view), 1);
        d.h.desk.ClearLog();
        d.h.shared.ReleaseAction = c.releaseActionBefore;
        EXPECT_EQ(AutoScrollHandler(d.h.ctx, view, c.message, MARK_NONE), c.result);
        EXPECT_EQ(d.h.desk.log(), c.expected);
        EXPECT_EQ(d.h.shared.Mode, c.modeAfter);
        EXPECT_EQ(d.h.process.BrowserAutoScroll, c.flagAfter);
        EXPECT_EQ(d.h.shared.ReleaseAction, c.releaseActionAfter);
    }
}

TEST(AutoScroll, BrowserBranchEndedInAnotherProcessRaisesNoEarlierWindow) {
    Desk d;
    // An earlier agent run left its foreground window behind.
    ASSERT_EQ(StartAutoScroll(d.h.ctx, kTarget), 1);
    ASSERT_EQ(AutoScrollHandler(d.h.ctx, kOther, WM_LBUTTONDOWN, MARK_NONE), 1);
    d.h.desk.SetForegroundWindowState(kOther);

    HWND view = d.h.desk.AddWindow("Internet Explorer_Server", WS_VISIBLE | WS_CHILD, {0, 0, 10, 10}, kOther);
    ASSERT_EQ(StartAutoScroll(d.h.ctx, view), 1);
    d.h.desk.ClearLog();
    ProcessState otherProcess;
    HookContext other{d.h.desk, d.h.block, d.h.shared, d.h.hooks, otherProcess};
    EXPECT_EQ(AutoScrollHandler(other, kTarget, WM_LBUTTONDOWN, MARK_NONE), 1);
    EXPECT_EQ(d.h.desk.log(), (Log{Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}));
    EXPECT_EQ(d.h.shared.Mode, 0u);
}

TEST(AutoScroll, AgentStartInAProcessWithAStaleBrowserFlag) {
    Desk d;
    d.h.process.BrowserAutoScroll = true;  // a browser run that another process ended
    ASSERT_EQ(StartAutoScroll(d.h.ctx, kTarget), 1);
    d.h.desk.ClearLog();
    EXPECT_EQ(AutoScrollHandler(d.h.ctx, kOther, WM_LBUTTONDOWN, MARK_NONE), 1);
    EXPECT_EQ(d.h.desk.log(),
              (Log{Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kFrame), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}));
}

TEST(AutoScroll, AgentBranchHandlesEachMessage) {
    struct {
        const char* name;
        int32_t os;
        HWND window;
        UINT message;
        uint16_t marker;
        int result;
        Log expected;
        uint32_t modeAfter;
        bool releasedOverItFirst = false;  // the run already holds the middle button down
        bool staleBrowserFlag = false;     // this process ran a browser's auto scroll that another one ended
    } const cases[] = {
        // Another window's message ends it: the middle button goes up with it.
        {"a move over another window ends it", OS_WINXP, kOther, WM_MOUSEMOVE, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kFrame), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}, 0},
        {"the release over another window ends it", OS_WINXP, kOther, WM_MBUTTONUP, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kFrame), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}, 0},
        {"a click on another window ends it", OS_WIN2000, kTarget, WM_LBUTTONDOWN, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kFrame), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}, 0},
        {"the wheel ends it and lets the middle button go", OS_WINXP, kAutoWindow, WM_MOUSEWHEEL, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kFrame), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}, 0},
        // A notch turned right after the release may come before the held press.
        {"Windows 95: the wheel ends it and lets the middle button go too", OS_WIN95, kAutoWindow, WM_MOUSEWHEEL,
         MARK_NONE, 1, {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kFrame), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)},
         0},
        {"the release over it holds the button and captures", OS_WINXP, kAutoWindow, WM_MBUTTONUP, MARK_NONE, 1,
         {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0x00040000), Capture(kAutoWindow)}, function::kAutoScroll},
        {"the press it injected itself", OS_WINXP, kAutoWindow, WM_MBUTTONDOWN, MARK_SELF, 1, {},
         function::kAutoScroll},
        {"any press marked as its own", OS_WINXP, kAutoWindow, WM_LBUTTONDOWN, MARK_SELF, 1, {}, function::kAutoScroll},
        {"a left click ends it", OS_WINXP, kAutoWindow, WM_LBUTTONDOWN, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), ReleaseCaptureEntry(), Foreground(kFrame),
          Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)},
         0},
        {"a middle click ends it", OS_WINXP, kAutoWindow, WM_MBUTTONDOWN, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), ReleaseCaptureEntry(), Foreground(kFrame),
          Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)},
         0},
        {"a right click ends it", OS_WIN95, kAutoWindow, WM_RBUTTONDOWN, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), ReleaseCaptureEntry(), Foreground(kFrame),
          Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)},
         0},
        {"an X button click ends it", OS_WINXP, kAutoWindow, WM_XBUTTONDOWN, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), ReleaseCaptureEntry(), Foreground(kFrame),
          Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)},
         0},
        {"after the release over it, another window's message lets the held button go", OS_WINXP, kOther,
         WM_XBUTTONDOWN, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kFrame), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}, 0, true},
        {"a process with an earlier browser run's flag ends it as any other: the agent is told", OS_WINXP, kOther,
         WM_LBUTTONDOWN, MARK_NONE, 1,
         {Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kFrame), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}, 0, true, true},
        {"moves over it are the agent's", OS_WINXP, kAutoWindow, WM_MOUSEMOVE, MARK_NONE, 0, {}, function::kAutoScroll},
        {"other releases pass", OS_WINXP, kAutoWindow, WM_LBUTTONUP, MARK_NONE, 0, {}, function::kAutoScroll},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d(c.os);
        ASSERT_EQ(StartAutoScroll(d.h.ctx, kTarget), 1);
        if (c.releasedOverItFirst) {
            ASSERT_EQ(AutoScrollHandler(d.h.ctx, kAutoWindow, WM_MBUTTONUP, MARK_NONE), 1);
        }
        d.h.process.BrowserAutoScroll = c.staleBrowserFlag;
        d.h.desk.ClearLog();
        EXPECT_EQ(AutoScrollHandler(d.h.ctx, c.window, c.message, c.marker), c.result);
        EXPECT_EQ(d.h.desk.log(), c.expected);
        EXPECT_EQ(d.h.shared.Mode, c.modeAfter);
        EXPECT_FALSE(d.h.process.BrowserAutoScroll);
    }
}

// The click that starts auto scroll, with its release queued before or after
// the start and for the window under the cursor or the auto-scroll window:
// the release never ends auto scroll; the next message elsewhere does.
TEST(AutoScroll, TheStartingClicksReleaseNeverEndsIt) {
    const struct {
        const char* name;
        bool releaseBeforeStart;
        HWND releasedOver;
        Log atRelease;
    } cases[] = {
        {"release handled before the start", true, kTarget, {}},
        {"release queued for the window under the cursor", false, kTarget,
         {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0x00040000), Capture(kAutoWindow)}},
        {"release over the auto-scroll window", false, kAutoWindow,
         {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0x00040000), Capture(kAutoWindow)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d;
        d.h.block.ButtonFunction[0] = function::kAutoScroll;
        EXPECT_EQ(Dispatch(d.h.ctx, kTarget, WM_MBUTTONDOWN, 10, 10, MARK_NONE, 0), 1);
        if (c.releaseBeforeStart) {
            EXPECT_EQ(Dispatch(d.h.ctx, kTarget, WM_MBUTTONUP, 10, 10, MARK_NONE, 0), 1);
        }
        EXPECT_EQ(Dispatch(d.h.ctx, kTarget, WM_MBUTTONUP, 10, 10, MARK_RUN, 0), 1);
        ASSERT_EQ(d.h.shared.Mode, 101u);
        d.h.desk.ClearLog();
        if (!c.releaseBeforeStart) {
            EXPECT_EQ(Dispatch(d.h.ctx, c.releasedOver, WM_MBUTTONUP, 10, 10, MARK_NONE, 0), 1);
            EXPECT_EQ(d.h.desk.log(), c.atRelease);
            EXPECT_EQ(d.h.shared.Mode, static_cast<uint32_t>(function::kAutoScroll));
        }
        // A later release elsewhere (the tray agent's own end, say) ends it.
        d.h.desk.ClearLog();
        EXPECT_EQ(Dispatch(d.h.ctx, kOther, WM_MBUTTONUP, 10, 10, MARK_SELF, 0), 1);
        EXPECT_EQ(d.h.shared.Mode, 0u);
        EXPECT_EQ(d.h.desk.log(), (Log{Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Foreground(kTarget),
                                       Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}));
    }
}

// A click that overtakes the press auto scroll injected to hold the button:
// the click ends auto scroll, and the late press runs no button function.
TEST(AutoScroll, AHoldThatArrivesAfterTheEndIsLetGo) {
    Desk d;
    d.h.block.ButtonFunction[0] = function::kAutoScroll;
    ASSERT_EQ(StartAutoScroll(d.h.ctx, kTarget), 1);
    EXPECT_EQ(Dispatch(d.h.ctx, kAutoWindow, WM_LBUTTONDOWN, 10, 10, MARK_NONE, 0), 1);
    ASSERT_EQ(d.h.shared.Mode, 0u);
    d.h.desk.ClearLog();
    EXPECT_EQ(Dispatch(d.h.ctx, kTarget, WM_MBUTTONDOWN, 10, 10, MARK_SELF, 0), 1);
    EXPECT_EQ(d.h.desk.log(), (Log{Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0x00040000)}));
    EXPECT_EQ(Dispatch(d.h.ctx, kTarget, WM_MBUTTONUP, 10, 10, MARK_SELF, 0), 1);
    EXPECT_EQ(d.h.shared.Mode, 0u);
    EXPECT_EQ(d.h.shared.PendingFunction, 0u);
}

// Button 5's X button, held for the application until the user's release,
// when button 4 starts auto scroll: the X button goes up, or nothing would
// ever let it go.
TEST(AutoScroll, AStartLetsGoOfAnXButtonAnEarlierPressHolds) {
    for (const char* windowClass : {"Edit", "Internet Explorer_Server"}) {
        SCOPED_TRACE(windowClass);
        Desk d;
        d.h.shared.ReleaseAction = 73;
        d.h.shared.ReleasePending = 1;
        HWND window = d.h.desk.AddWindow(windowClass, WS_VISIBLE | WS_CHILD, {0, 0, 10, 10}, kFrame);
        ASSERT_EQ(StartAutoScroll(d.h.ctx, window), 1);
        const Log& log = d.h.desk.log();
        EXPECT_EQ(std::count(log.begin(), log.end(), Mouse(MOUSEEVENTF_XUP, XBUTTON2, 0)), 1);
        EXPECT_NE(d.h.shared.ReleaseAction, 73);
    }
}

TEST(AutoScroll, AgentBranchWholeLife) {
    Desk d;
    d.h.desk.SetCursor(300, 200);
    EXPECT_EQ(StartAutoScroll(d.h.ctx, kTarget), 1);
    EXPECT_EQ(AutoScrollHandler(d.h.ctx, kAutoWindow, WM_MBUTTONUP, MARK_NONE), 1);
    EXPECT_EQ(AutoScrollHandler(d.h.ctx, kAutoWindow, WM_MBUTTONDOWN, MARK_SELF), 1);
    EXPECT_EQ(AutoScrollHandler(d.h.ctx, kAutoWindow, WM_MOUSEMOVE, MARK_NONE), 0);
    EXPECT_EQ(AutoDown(d.h.ctx, 2), 1);  // the tray agent scrolls
    EXPECT_EQ(AutoRight(d.h.ctx, 1), 1);
    EXPECT_EQ(AutoScrollHandler(d.h.ctx, kAutoWindow, WM_LBUTTONDOWN, MARK_NONE), 1);
    EXPECT_EQ(d.h.desk.log(), Expand({Once(Send(kAgent, UM_AUTOSCROLLSTART, 0, 0)), Once(Foreground(kAutoWindow)),
                                      Once(Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 0x00040000)), Once(Capture(kAutoWindow)),
                                      Times(2, V(SB_LINEDOWN)), Once(V(SB_ENDSCROLL)), Once(H(SB_LINERIGHT)),
                                      Once(H(SB_ENDSCROLL)), Once(Send(kAgent, UM_AUTOSCROLLEND, 0, 0)),
                                      Once(ReleaseCaptureEntry()), Once(Foreground(kFrame)),
                                      Once(Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0))}));
    EXPECT_EQ(d.h.shared.Mode, 0u);
}

TEST(AutoScroll, EndWithoutAnEarlierForegroundRaisesNothing) {
    Desk d;
    d.h.desk.SetForegroundWindowState(nullptr);
    ASSERT_EQ(StartAutoScroll(d.h.ctx, kTarget), 1);
    d.h.desk.ClearLog();
    EXPECT_EQ(AutoScrollHandler(d.h.ctx, kOther, WM_LBUTTONDOWN, MARK_NONE), 1);
    EXPECT_EQ(d.h.desk.log(), (Log{Send(kAgent, UM_AUTOSCROLLEND, 0, 0), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0)}));
}

}  // namespace
