// The modes' whole lives, driven through the mouse hook: the press that
// chooses the function, the marked release that starts the mode, the
// messages during the mode, the event that ends it and every notification.
#include "function_codes.h"
#include "mouse_scene.h"

#include <gtest/gtest.h>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

constexpr uint32_t kIdle = 0;

std::string RunMarker() { return Mouse(MOUSEEVENTF_MIDDLEUP, 0, ExtraInfo(MARK_RUN)); }

// The press of the middle button: swallowed, frame raised, marked release injected.
Step PressStep(const Scene& s, uint16_t index = 0) {
    return {Press(index), true, {Foreground(s.top), RunMarker()}, kIdle};
}

Log TabTaps(int count, bool pause = false) {
    Log entries;
    for (int i = 0; i < count; ++i) {
        entries.push_back(KeyDown(VK_TAB));
        if (pause) entries.push_back(fake::Sleep(50));
        entries.push_back(KeyUp(VK_TAB));
    }
    return entries;
}

Log Join(Log a, const Log& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Step> DragLockEndedByRightClick(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), true,
         {Mouse(MOUSEEVENTF_LEFTDOWN, 0, ExtraInfo(MARK_PASS)),
          Post(s.agent, UM_MODESTATE, function::kDragLock, 0)}, function::kDragLock},
        // The primary press it injected does not end the lock.
        {Button(WM_LBUTTONDOWN, ExtraInfo(MARK_PASS)), false, {}, function::kDragLock},
        {UserRelease(), false, {}, function::kDragLock},
        {Wheel(OS_WINXP, -120), false, {}, function::kDragLock, -120},
        {Button(WM_LBUTTONUP), false, {}, function::kDragLock},
        {Button(WM_RBUTTONDOWN), true, {Post(s.agent, UM_MODEEND, 0, 0), Mouse(MOUSEEVENTF_LEFTUP, 0, 0)}, kIdle},
        {Button(WM_RBUTTONUP), false, {}, kIdle},
        {Button(WM_LBUTTONUP), false, {}, kIdle},
    };
}

std::vector<Step> DragLockEndedByMiddlePress(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), true,
         {Mouse(MOUSEEVENTF_LEFTDOWN, 0, ExtraInfo(MARK_PASS)),
          Post(s.agent, UM_MODESTATE, function::kDragLock, 0)}, function::kDragLock},
        {UserRelease(), false, {}, function::kDragLock},
        // The press ends the lock only; it chooses no function.
        {Press(), true, {Post(s.agent, UM_MODEEND, 0, 0), Mouse(MOUSEEVENTF_LEFTUP, 0, 0)}, kIdle},
        {UserRelease(), true, {}, kIdle},
    };
}

std::vector<Step> ShiftLockEndedByLeftClick(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), true, {Post(s.agent, UM_MODESTATE, function::kShiftLock, 0), KeyDown(VK_SHIFT)},
         function::kShiftLock},
        {UserRelease(), false, {}, function::kShiftLock},
        {Wheel(OS_WINXP, 120), false, {}, function::kShiftLock, 120},
        {Button(WM_LBUTTONDOWN), true, {KeyUp(VK_SHIFT), Post(s.agent, UM_MODEEND, 0, 0)}, kIdle},
        {Button(WM_LBUTTONUP), false, {}, kIdle},
    };
}

std::vector<Step> ControlLockEndedByXButton(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), true, {Post(s.agent, UM_MODESTATE, function::kControlLock, 0), KeyDown(VK_CONTROL)},
         function::kControlLock},
        {Button(WM_RBUTTONUP), false, {}, function::kControlLock},
        {Button(WM_NCXBUTTONDOWN), true, {KeyUp(VK_CONTROL), Post(s.agent, UM_MODEEND, 0, 0)}, kIdle},
    };
}

std::vector<Step> HorizontalWheelEndedByMiddlePress(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), true, {Post(s.agent, UM_MODESTATE, function::kHorizontalWheel, 0)}, function::kHorizontalWheel},
        {UserRelease(), false, {}, function::kHorizontalWheel},
        {Wheel(OS_WINXP, 0), false, {}, function::kHorizontalWheel, HWHEEL_RIGHT},
        {Wheel(OS_WINXP, 1), false, {}, function::kHorizontalWheel, HWHEEL_LEFT},
        {Wheel(OS_WINXP, -360), false, {}, function::kHorizontalWheel, HWHEEL_RIGHT},
        {Wheel(OS_WINXP, 240), false, {}, function::kHorizontalWheel, HWHEEL_LEFT},
        {Button(WM_LBUTTONDOWN), false, {}, function::kHorizontalWheel},
        {Button(WM_RBUTTONDOWN), false, {}, function::kHorizontalWheel},
        {Button(WM_XBUTTONDOWN), false, {}, function::kHorizontalWheel},
        // Button 4 on Windows XP arrives as a middle press with index 1.
        {Press(1), true, {Post(s.agent, UM_MODEEND, 0, 0)}, kIdle},
        {Button(WM_MBUTTONUP, 1), true, {}, kIdle},
        {Wheel(OS_WINXP, -120), false, {}, kIdle, -120},
    };
}

std::vector<Step> ZoomWithAgent(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), true, {Send(s.agent, UM_ZOOMSTART, 0, 0)}, function::kUniversalZoom},
        {UserRelease(), false, {}, function::kUniversalZoom},
        {Wheel(OS_WINXP, -120), true, {Send(s.zoom, UM_ZOOMWHEEL, 0, -120)}, function::kUniversalZoom, -120},
        {Wheel(OS_WINXP, 240), true, {Send(s.zoom, UM_ZOOMWHEEL, 0, 240)}, function::kUniversalZoom, 240},
        {Button(WM_LBUTTONUP), false, {}, function::kUniversalZoom},
        {Button(WM_RBUTTONDOWN), true, {Send(s.agent, UM_ZOOMEND, 0, 0)}, kIdle},
        {Button(WM_RBUTTONUP), false, {}, kIdle},
    };
}

std::vector<Step> ZoomEndedByLeftPress(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), true, {Send(s.agent, UM_ZOOMSTART, 0, 0)}, function::kUniversalZoom},
        {Button(WM_NCLBUTTONDOWN), true, {Send(s.agent, UM_ZOOMEND, 0, 0)}, kIdle},
    };
}

// Without the tray agent nothing starts; the marked release reaches the
// application and the user's own release is swallowed.
std::vector<Step> ZoomWithoutAgent(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), false, {}, kIdle},
        {UserRelease(), true, {}, kIdle},
        {Wheel(OS_WINXP, 120), false, {}, kIdle, 120},
    };
}

std::vector<Step> TaskSwitchStart(const Scene& s) {
    return {
        PressStep(s),
        {RunRelease(), true, {Mouse(MOUSEEVENTF_MIDDLEUP, 0, ExtraInfo(MARK_SELF))}, function::kTaskSwitch},
        {Button(WM_MBUTTONUP, ExtraInfo(MARK_SELF)), true, {KeyDown(VK_MENU), KeyDown(VK_TAB), KeyUp(VK_TAB)},
         function::kTaskSwitch},
    };
}

std::vector<Step> TaskSwitchXp(const Scene& s) {
    std::vector<Step> steps = TaskSwitchStart(s);
    std::vector<Step> rest = {
        {Wheel(OS_WINXP, -120), true, TabTaps(1), function::kTaskSwitch},
        {Wheel(OS_WINXP, 120), true, TabTaps(1), function::kTaskSwitch},
        {Button(WM_LBUTTONDOWN), true, {}, function::kTaskSwitch},
        {Button(WM_LBUTTONUP), true, {}, function::kTaskSwitch},
        {Wheel(OS_WINXP, -120), true, TabTaps(1), function::kTaskSwitch},
        {UserRelease(), true, {KeyUp(VK_MENU)}, kIdle},
        {Button(WM_LBUTTONDOWN), false, {}, kIdle},
    };
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

std::vector<Step> TaskSwitch98(const Scene& s) {
    std::vector<Step> steps = TaskSwitchStart(s);
    std::vector<Step> rest = {
        {Wheel(OS_WIN98, -120), true, TabTaps(1), function::kTaskSwitch},
        {Wheel(OS_WIN98, -120), true, TabTaps(1), function::kTaskSwitch},
        {UserRelease(), true, Join(Join({KeyUp(VK_MENU), KeyDown(VK_MENU)}, TabTaps(3)), {KeyUp(VK_MENU)}), kIdle},
    };
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

// A long switch through many windows: no more Tabs are counted than one
// scroll has steps, so the replay at the end stays bounded.
std::vector<Step> TaskSwitch98ThroughManyWindows(const Scene& s) {
    std::vector<Step> steps = TaskSwitchStart(s);
    for (int notch = 0; notch < 280; ++notch)
        steps.push_back({Wheel(OS_WIN98, -120), true, TabTaps(1), function::kTaskSwitch});
    steps.push_back(
        {UserRelease(), true, Join(Join({KeyUp(VK_MENU), KeyDown(VK_MENU)}, TabTaps(273)), {KeyUp(VK_MENU)}), kIdle});
    return steps;
}

std::vector<Step> TaskSwitchMe(const Scene& s) {
    std::vector<Step> steps = TaskSwitchStart(s);
    steps.push_back({Wheel(OS_WINME, 120), true, TabTaps(1), function::kTaskSwitch});
    steps.push_back(
        {UserRelease(), true, Join(Join({KeyUp(VK_MENU), KeyDown(VK_MENU)}, TabTaps(2)), {KeyUp(VK_MENU)}), kIdle});
    return steps;
}

// Windows 95: each notch presses one Tab more than the one before, and the
// release replays the selection with 50 ms between each Tab's down and up.
std::vector<Step> TaskSwitch95(const Scene& s) {
    std::vector<Step> steps = TaskSwitchStart(s);
    std::vector<Step> rest = {
        {Wheel(OS_WIN95, -120), true, TabTaps(2), function::kTaskSwitch},
        {Wheel(OS_WIN95, 120), true, TabTaps(3), function::kTaskSwitch},
        {Wheel(OS_WIN95, -120), true, TabTaps(4), function::kTaskSwitch},
        {UserRelease(), true, Join(Join({KeyUp(VK_MENU), KeyDown(VK_MENU)}, TabTaps(4, true)), {KeyUp(VK_MENU)}), kIdle},
    };
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

// Through many windows on Windows 95: the replay's pauses hold the hooked
// thread, so it presses no more than twenty Tabs, a second of pauses.
std::vector<Step> TaskSwitch95ThroughManyWindows(const Scene& s) {
    std::vector<Step> steps = TaskSwitchStart(s);
    for (int notch = 1; notch <= 30; ++notch)
        steps.push_back({Wheel(OS_WIN95, -120), true, TabTaps(notch + 1), function::kTaskSwitch});
    steps.push_back(
        {UserRelease(), true, Join(Join({KeyUp(VK_MENU), KeyDown(VK_MENU)}, TabTaps(20, true)), {KeyUp(VK_MENU)}), kIdle});
    return steps;
}

std::vector<Step> TaskSwitchNt4(const Scene& s) {
    std::vector<Step> steps = TaskSwitchStart(s);
    steps.push_back({Wheel(OS_NT4, -120), true, TabTaps(1), function::kTaskSwitch});
    steps.push_back({UserRelease(), true, {KeyUp(VK_MENU)}, kIdle});
    return steps;
}

struct ModeLife {
    const char* name;
    int32_t os;
    int32_t function;
    bool agent;
    std::vector<Step> (*script)(const Scene&);
};

const ModeLife kModeLives[] = {
    {"DragLockEndedByRightClick", OS_WINXP, function::kDragLock, true, DragLockEndedByRightClick},
    {"DragLockEndedByMiddlePress", OS_WINXP, function::kDragLock, true, DragLockEndedByMiddlePress},
    {"ShiftLockEndedByLeftClick", OS_WINXP, function::kShiftLock, true, ShiftLockEndedByLeftClick},
    {"ControlLockEndedByXButton", OS_WINXP, function::kControlLock, true, ControlLockEndedByXButton},
    {"HorizontalWheelEndedByMiddlePress", OS_WINXP, function::kHorizontalWheel, true,
     HorizontalWheelEndedByMiddlePress},
    {"ZoomWithAgent", OS_WINXP, function::kUniversalZoom, true, ZoomWithAgent},
    {"ZoomEndedByLeftPress", OS_WINXP, function::kUniversalZoom, true, ZoomEndedByLeftPress},
    {"ZoomWithoutAgent", OS_WINXP, function::kUniversalZoom, false, ZoomWithoutAgent},
    {"TaskSwitchXp", OS_WINXP, function::kTaskSwitch, true, TaskSwitchXp},
    {"TaskSwitch98", OS_WIN98, function::kTaskSwitch, true, TaskSwitch98},
    {"TaskSwitch98ThroughManyWindows", OS_WIN98, function::kTaskSwitch, true, TaskSwitch98ThroughManyWindows},
    {"TaskSwitchMe", OS_WINME, function::kTaskSwitch, true, TaskSwitchMe},
    {"TaskSwitch95", OS_WIN95, function::kTaskSwitch, true, TaskSwitch95},
    {"TaskSwitch95ThroughManyWindows", OS_WIN95, function::kTaskSwitch, true, TaskSwitch95ThroughManyWindows},
    {"TaskSwitchNt4", OS_NT4, function::kTaskSwitch, true, TaskSwitchNt4},
};

class ModeLifeTest : public ::testing::TestWithParam<ModeLife> {};

TEST_P(ModeLifeTest, WholeSequence) {
    const ModeLife& life = GetParam();
    Scene scene(life.os);
    scene.h.block.ButtonCount = 5;
    scene.h.block.ButtonFunction[0] = life.function;
    scene.h.block.ButtonFunction[1] = life.function;
    if (!life.agent) scene.h.block.AgentWindow = 0;
    ExpectSteps(scene, life.script(scene));
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeLifeTest, ::testing::ValuesIn(kModeLives),
                         [](const ::testing::TestParamInfo<ModeLife>& info) { return std::string(info.param.name); });

TEST(KeyLocks, FlagIsSetForTheLifeOfTheLockOnly) {
    for (uint32_t mode : {function::kShiftLock, function::kControlLock}) {
        SCOPED_TRACE(mode);
        Scene scene;
        scene.h.block.ButtonFunction[0] = static_cast<int32_t>(mode);
        scene.Hook(Press());
        scene.Hook(RunRelease());
        int32_t& flag = mode == function::kShiftLock ? scene.h.shared.ShiftLocked : scene.h.shared.ControlLocked;
        int32_t& other = mode == function::kShiftLock ? scene.h.shared.ControlLocked : scene.h.shared.ShiftLocked;
        EXPECT_EQ(flag, 1);
        EXPECT_EQ(other, 0);
        scene.Hook(Button(WM_RBUTTONDOWN));
        EXPECT_EQ(flag, 0);
        EXPECT_EQ(other, 0);
    }
}

// Whatever the mode, input the suite injected for applications is passed on
// untouched: it never ends a mode and is never taken by a handler.
TEST(Modes, MarkedPassInputIsNeverDispatched) {
    const uint32_t modes[] = {function::kDragLock,         function::kShiftLock,       function::kControlLock,
                              function::kHorizontalWheel, function::kUniversalScroll, function::kAutoScroll,
                              function::kUniversalZoom,   function::kTaskSwitch};
    const UINT messages[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_XBUTTONDOWN,
                             WM_MBUTTONUP,   WM_LBUTTONUP,   WM_MOUSEWHEEL,  WM_NCLBUTTONDOWN};
    for (uint32_t mode : modes) {
        for (UINT message : messages) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " " + MessageName(message));
            Scene scene;
            scene.h.shared.Mode = mode;
            scene.h.shared.ShiftLocked = mode == function::kShiftLock;
            scene.h.shared.ControlLocked = mode == function::kControlLock;
            scene.h.block.AutoScrollWindow = FromHwnd(scene.elsewhere);
            EXPECT_FALSE(scene.Hook(Button(message, ExtraInfo(MARK_PASS))));
            EXPECT_EQ(scene.log(), Log{});
            EXPECT_EQ(scene.h.shared.Mode, mode);
        }
    }
}

// EndMode gives the focus to the message's window only when no window is in
// the foreground.
TEST(Modes, EndingWithoutForegroundFocusesTheWindow) {
    struct Case {
        const char* name;
        int32_t function;
        Event end;
        bool foreground;
        Log (*expected)(const Scene&);
    };
    const Case cases[] = {
        {"DragLockForeground", function::kDragLock, Button(WM_LBUTTONDOWN), true,
         [](const Scene& s) { return Log{Post(s.agent, UM_MODEEND, 0, 0), Mouse(MOUSEEVENTF_LEFTUP, 0, 0)}; }},
        {"DragLockNoForeground", function::kDragLock, Button(WM_LBUTTONDOWN), false,
         [](const Scene& s) {
             return Log{Post(s.agent, UM_MODEEND, 0, 0), Focus(s.child), Mouse(MOUSEEVENTF_LEFTUP, 0, 0)};
         }},
        {"ShiftLockNoForeground", function::kShiftLock, Button(WM_RBUTTONDOWN), false,
         [](const Scene& s) { return Log{KeyUp(VK_SHIFT), Post(s.agent, UM_MODEEND, 0, 0), Focus(s.child)}; }},
        {"HorizontalWheelNoForeground", function::kHorizontalWheel, Press(), false,
         [](const Scene& s) { return Log{Post(s.agent, UM_MODEEND, 0, 0), Focus(s.child)}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.h.block.ButtonFunction[0] = c.function;
        scene.Hook(Press());
        scene.Hook(RunRelease());
        if (!c.foreground) scene.h.desk.SetForegroundWindowState(nullptr);
        scene.h.desk.ClearLog();
        EXPECT_TRUE(scene.Hook(c.end));
        EXPECT_EQ(scene.log(), c.expected(scene));
        EXPECT_EQ(scene.h.shared.Mode, 0u);
    }
}

// Drag Lock presses and releases the user's primary button, which is the
// right button when the buttons are swapped; the swap state is left as found.
TEST(Modes, DragLockUsesThePrimaryButtonOfASwappedMouse) {
    Scene scene;
    scene.h.desk.SetButtonsSwapped(true);
    scene.h.block.ButtonFunction[0] = function::kDragLock;
    const std::vector<Step> steps = {
        {Press(), true, {Foreground(scene.top), RunMarker()}, 0},
        {RunRelease(), true,
         {Mouse(MOUSEEVENTF_RIGHTDOWN, 0, ExtraInfo(MARK_PASS)),
          Post(scene.agent, UM_MODESTATE, function::kDragLock, 0)}, function::kDragLock},
        {Button(WM_RBUTTONDOWN, ExtraInfo(MARK_PASS)), false, {}, function::kDragLock},
        {Button(WM_LBUTTONDOWN), true, {Post(scene.agent, UM_MODEEND, 0, 0), Mouse(MOUSEEVENTF_RIGHTUP, 0, 0)}, 0},
    };
    ExpectSteps(scene, steps);
    EXPECT_TRUE(scene.h.desk.ButtonsSwapped());
}

// A mode notification goes only to an existing tray agent window; without one
// the lock still works.
TEST(Modes, NoNotificationWithoutAgentWindow) {
    Scene scene;
    scene.h.block.AgentWindow = 0;
    scene.h.block.ButtonFunction[0] = function::kControlLock;
    const std::vector<Step> steps = {
        {Press(), true, {Foreground(scene.top), RunMarker()}, 0},
        {RunRelease(), true, {KeyDown(VK_CONTROL)}, function::kControlLock},
        {Button(WM_LBUTTONDOWN), true, {KeyUp(VK_CONTROL)}, 0},
    };
    ExpectSteps(scene, steps);
}

}  // namespace
