// What the hook logic must never do, whatever the block, the shared state or
// the window tree hold: leave a key or button down when the hooks go, send
// without a bound or to what is not a window, walk a parent loop for ever,
// or post more than one scroll's worth of messages for any count.
#include "actions.h"
#include "auto_scroll.h"
#include "button_functions.h"
#include "discovery.h"
#include "dispatcher.h"
#include "function_codes.h"
#include "lifecycle.h"
#include "modes.h"
#include "mouse_scene.h"
#include "scroll.h"
#include "scroll_primitives.h"
#include "scroll_test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <set>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

// InstallHook(0) ends the active mode, letting go of what it holds, before
// the hooks that would let it go are removed.
TEST(Hardening, RemovingTheHooksReleasesWhatTheActiveModeHolds) {
    struct Case {
        const char* name;
        uint32_t mode;
        int32_t shiftLocked, controlLocked;
        std::function<Log(const Scene&)> released;
        int32_t releaseAction = 45;
    };
    const Case cases[] = {
        {"Drag Lock: the primary button goes up", function::kDragLock, 0, 0,
         [](const Scene&) { return Log{Mouse(MOUSEEVENTF_LEFTUP, 0, ExtraInfo(MARK_PASS))}; }},
        {"Shift Lock", function::kShiftLock, -1, 0, [](const Scene&) { return Log{KeyUp(VK_SHIFT)}; }},
        {"Control Lock", function::kControlLock, 0, 1, [](const Scene&) { return Log{KeyUp(VK_CONTROL)}; }},
        {"task switch: Alt goes up", function::kTaskSwitch, 0, 0, [](const Scene&) { return Log{KeyUp(VK_MENU)}; }},
        {"zoom: the magnifier is told", function::kUniversalZoom, 0, 0,
         [](const Scene& s) { return Log{Send(s.agent, UM_ZOOMEND, 0, 0)}; }},
        {"agent auto scroll: the held middle button goes up", function::kAutoScroll, 0, 0,
         [](const Scene&) { return Log{Mouse(MOUSEEVENTF_MIDDLEUP, 0, ExtraInfo(MARK_PASS))}; }},
        {"a lock flag left without its mode", 0, 1, 1,
         [](const Scene&) { return Log{KeyUp(VK_SHIFT), KeyUp(VK_CONTROL)}; }},
        {"Horizontal Wheel holds nothing", function::kHorizontalWheel, 0, 0, [](const Scene&) { return Log{}; }},
        // The user's release of button 4 or 5 went by unseen (a menu was open).
        {"the X button 1 press made for button 4", 0, 0, 0,
         [](const Scene&) { return Log{Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)}; }, 72},
        {"the X button 2 press made for button 5, in a mode", function::kHorizontalWheel, 0, 0,
         [](const Scene&) { return Log{Mouse(MOUSEEVENTF_XUP, XBUTTON2, 0)}; }, 73},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        s.h.shared.Mode = c.mode;
        s.h.shared.ShiftLocked = c.shiftLocked;
        s.h.shared.ControlLocked = c.controlLocked;
        s.h.shared.ReleaseAction = c.releaseAction;
        s.h.shared.MenuActive = 1;
        s.h.hooks.MouseHook = 0x5550;
        EXPECT_EQ(InstallHooks(s.ctx(), 0), 0);
        Log expected = c.released(s);
        expected.push_back(Unhook(ToHhook(0x5550)));
        EXPECT_EQ(s.log(), expected);
        EXPECT_EQ(s.h.shared.Mode, 0u);
        EXPECT_EQ(s.h.shared.ShiftLocked | s.h.shared.ControlLocked | s.h.shared.ReleaseAction, 0);
        EXPECT_EQ(s.h.shared.MenuActive, 0);
        EXPECT_EQ(HookStatus(s.h.hooks), 0u);
    }
}

TEST(Hardening, HookStatusNamesEachHookHeld) {
    FakeHook h;
    h.SetOs(OS_WINXP);
    EXPECT_EQ(HookStatus(h.hooks), 0u);
    InstallHooks(h.ctx, 1);
    EXPECT_EQ(HookStatus(h.hooks), HOOK_STATUS_MOUSE | HOOK_STATUS_MSGFILTER | HOOK_STATUS_XBUTTON);
    h.desk.FailHook(WH_MOUSE);
    InstallHooks(h.ctx, 0);
    InstallHooks(h.ctx, 1);
    EXPECT_EQ(HookStatus(h.hooks), HOOK_STATUS_MSGFILTER | HOOK_STATUS_XBUTTON);
}

// The handles come from the block, which any program can write.
TEST(Hardening, NotificationsGoOnlyToWindowsAndSendsAreBounded) {
    struct Case {
        const char* name;
        uint32_t agentWindow;  // 0: the scene's real windows
        uint32_t zoomWindow;
    };
    const Case cases[] = {
        {"the agent's windows", 0, 0},
        {"HWND_BROADCAST as the agent: no zoom at all", 0xFFFF, 0},
        {"a handle that names no window as the agent", 0x7770, 0},
        {"HWND_BROADCAST as the zoom window", 0, 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        if (c.agentWindow) s.h.block.AgentWindow = c.agentWindow;
        if (c.zoomWindow) s.h.block.ZoomWindow = c.zoomWindow;
        const bool agentOk = c.agentWindow == 0;
        const bool zoomOk = c.zoomWindow == 0;
        // Zoom: sent start, sent wheel, sent end; browser launch: posted.
        EXPECT_EQ(RunFunction(s.ctx(), s.child, 0, 0, function::kUniversalZoom), agentOk ? 1 : 0);
        s.h.ctx.wheel.Delta = 120;
        Dispatch(s.ctx(), s.child, WM_MOUSEWHEEL, 0, 0, MARK_NONE, 0);
        Dispatch(s.ctx(), s.child, WM_LBUTTONDOWN, 0, 0, MARK_NONE, 0);
        RunFunction(s.ctx(), s.child, 0, 0, function::kLaunchBrowser);
        Log expected;
        if (agentOk) expected.push_back(Send(s.agent, UM_ZOOMSTART, 0, 0));
        if (agentOk && zoomOk) expected.push_back(Send(s.zoom, UM_ZOOMWHEEL, 0, 120));
        if (agentOk) expected.push_back(Send(s.agent, UM_ZOOMEND, 0, 0));
        if (agentOk) expected.push_back(Post(s.agent, UM_LAUNCHBROWSER, 0, 0));
        EXPECT_EQ(s.log(), expected);
        EXPECT_EQ(s.h.shared.Mode, 0u);
        if (agentOk) {
            EXPECT_EQ(s.h.desk.LastSendFlags(), static_cast<UINT>(SMTO_NORMAL | SMTO_ABORTIFHUNG));
            EXPECT_EQ(s.h.desk.LastSendTimeout(), kSendTimeoutMs);
        }
    }
}

// A window whose parent chain loops back on itself: every walk ends.
TEST(Hardening, ParentWalksEndOnALoop) {
    Scene s;
    HWND a = s.h.desk.AddWindow("SysListView32", WS_VISIBLE | WS_CHILD | WS_VSCROLL, {0, 0, 50, 50});
    HWND b = s.h.desk.AddWindow("Frame", WS_VISIBLE | WS_CHILD, {0, 0, 50, 50}, a);
    s.h.desk.WindowOf(a).parent = b;

    uint32_t code = 0;
    EXPECT_EQ(ClassifyWindow(s.ctx(), a, code), 1);  // the desktop test walks to the top
    EXPECT_EQ(code, static_cast<uint32_t>(SCROLL_V_WINDOW | SCROLL_H_NONE));
    s.h.process.ProcessKind = PROCESS_WORD;
    HWND recipient = WheelRecipient(s.ctx(), a);
    EXPECT_TRUE(recipient == a || recipient == b);
    // Close Application finds "its top-level window".
    EXPECT_EQ(RunFunction(s.ctx(), a, 0, 0, function::kCloseApplication), 1);
    s.h.desk.ClearLog();
    s.h.block.ButtonFunction[0] = function::kEnter;
    EXPECT_EQ(Dispatch(s.ctx(), a, WM_MBUTTONDOWN, 0, 0, MARK_NONE, 0), 1);  // the press raises "the top"
    EXPECT_EQ(s.log().size(), 2u);
}

// Every method holds a count to 0..273: one scroll never posts more than
// 274 messages (273 steps and the end), or 273 keystrokes.
TEST(Hardening, AutoScrollCountsAreBoundedOnEveryMethod) {
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
        Scene s;
        s.h.shared.ScrollTarget = FromHwnd(s.child);
        s.h.shared.ScrollKind = static_cast<int32_t>(c.kind);
        EXPECT_EQ(c.scroll(s.ctx(), c.count), 1);
        EXPECT_EQ(s.log().size(), c.posts);
    }
}

// A target that went away, or a remembered handle that never was a window.
TEST(Hardening, ScrollsToAVanishedTargetPostNothing) {
    for (uint32_t kind : {uint32_t(SCROLL_V_WINDOW | SCROLL_H_KEYS), uint32_t(SCROLL_V_WHEEL | SCROLL_H_WINDOW),
                          uint32_t(SCROLL_V_KEYS | SCROLL_H_BARCONTROL)}) {
        SCOPED_TRACE(kind);
        Scene s;
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

namespace {

// The records the stress run judges by: a post to what is no window of the
// desktop is counted, and injected keys and buttons are held until let go.
TEST(Hardening, FakeDesktopRecordsWhatTheStressRunChecks) {
    struct Case {
        const char* name;
        std::function<void(FakeDesktop&, HWND window, HWND gone)> act;
        int misdirected;
        std::set<BYTE> keys;
        unsigned buttons;
    };
    const Case cases[] = {
        {"a post to a window", [](FakeDesktop& d, HWND w, HWND) { d.PostMessageA(w, WM_VSCROLL, 0, 0); }, 0, {}, 0},
        {"a post to a window that went away",
         [](FakeDesktop& d, HWND, HWND gone) { d.PostMessageA(gone, WM_VSCROLL, 0, 0); }, 1, {}, 0},
        {"a send to null",
         [](FakeDesktop& d, HWND, HWND) { d.SendMessageTimeoutA(nullptr, UM_ZOOMEND, 0, 0, 0, 1, nullptr); }, 1, {}, 0},
        {"a post to HWND_BROADCAST", [](FakeDesktop& d, HWND, HWND) { d.PostMessageA(HWND_BROADCAST, WM_CLOSE, 0, 0); },
         1, {}, 0},
        {"Shift down stays down", [](FakeDesktop& d, HWND, HWND) { d.keybd_event(VK_SHIFT, 0, 0, 0); }, 0, {VK_SHIFT}, 0},
        {"a chord leaves nothing down",
         [](FakeDesktop& d, HWND, HWND) {
             d.keybd_event(VK_CONTROL, 0, 0, 0);
             d.keybd_event('C', 0, 0, 0);
             d.keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
             d.keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
         },
         0, {}, 0},
        {"buttons down, one let go by the user",
         [](FakeDesktop& d, HWND, HWND) {
             d.mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MIDDLEDOWN, 0, 0, 0, 0);
             d.mouse_event(MOUSEEVENTF_XDOWN, 0, 0, XBUTTON2, 0);
             d.ButtonsWentUp(HELD_MIDDLE);
         },
         0, {}, HELD_LEFT | HELD_X2},
        {"X button 1 down and up", [](FakeDesktop& d, HWND, HWND) {
             d.mouse_event(MOUSEEVENTF_XDOWN, 0, 0, XBUTTON1, 0);
             d.mouse_event(MOUSEEVENTF_XUP, 0, 0, XBUTTON1, 0);
         },
         0, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDesktop desk;
        HWND window = desk.AddWindow("Pane");
        HWND gone = desk.AddWindow("Gone");
        desk.RemoveWindow(gone);
        c.act(desk, window, gone);
        EXPECT_EQ(desk.MisdirectedCount(), c.misdirected);
        EXPECT_EQ(desk.HeldKeys(), c.keys);
        EXPECT_EQ(desk.HeldButtons(), c.buttons);
        desk.ClearLog();  // the records of one call go; what is held stays
        EXPECT_TRUE(desk.Deliveries().empty() && desk.Injections().empty() && desk.KeyEvents().empty());
        EXPECT_EQ(desk.HeldKeys(), c.keys);
    }
}

}  // namespace
