// The mouse hook's gate and normalisation, observed end to end: what the
// dispatcher and the router are handed shows in what they do, and what the
// hook passes on must be the untouched original.
#include "function_codes.h"
#include "lifecycle.h"
#include "mouse_scene.h"

#include <gtest/gtest.h>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

constexpr int16_t kUntouched = 0x1234;

// Each of these would be acted upon if it got past the gate: a middle press
// runs a keystroke function, and the task switch swallows every message.
TEST(MouseGate, PassesOnWithoutLookingAtTheMessage) {
    struct Case {
        const char* name;
        int code;
        UINT message;
        uint32_t mode;
        int32_t menuActive;
    };
    const Case cases[] = {
        {"NegativeCode", -1, WM_MBUTTONDOWN, 0, 0},
        {"VeryNegativeCode", -1000, WM_MOUSEWHEEL, 151, 0},
        {"NoRemove", HC_NOREMOVE, WM_MBUTTONDOWN, 0, 0},
        {"NoRemoveWheel", HC_NOREMOVE, WM_MOUSEWHEEL, 151, 0},
        {"NoRemoveDuringUniversalScroll", HC_NOREMOVE, WM_MOUSEMOVE, 100, 0},
        {"MoveDuringTaskSwitch", HC_ACTION, WM_MOUSEMOVE, 151, 0},
        {"NonClientMoveDuringTaskSwitch", HC_ACTION, WM_NCMOUSEMOVE, 151, 0},
        {"MoveDuringDragLock", HC_ACTION, WM_MOUSEMOVE, 56, 0},
        {"MoveWhenIdle", HC_ACTION, WM_MOUSEMOVE, 0, 0},
        {"MenuOpenPress", HC_ACTION, WM_MBUTTONDOWN, 0, 1},
        {"MenuOpenWheel", HC_ACTION, WM_MOUSEWHEEL, 151, -1},
        {"MenuOpenMoveDuringUniversalScroll", HC_ACTION, WM_MOUSEMOVE, 100, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.h.block.ButtonFunction[0] = function::kEnter;
        scene.h.shared.Mode = c.mode;
        scene.h.shared.MenuActive = c.menuActive;
        scene.h.desk.SetInMenuLoop(c.menuActive != 0);
        scene.h.shared.ScreenBounds = {0, 0, 1023, 767};  // the move below touches the edge
        scene.h.ctx.wheel.Delta = kUntouched;
        Event event = {c.message, 0, 0x00780000, {0, 100}};
        EXPECT_FALSE(scene.Hook(event, c.code));
        EXPECT_EQ(scene.log(), Log{});
        EXPECT_EQ(scene.h.shared.Mode, c.mode);
        EXPECT_EQ(scene.h.ctx.wheel.Delta, kUntouched);
        EXPECT_EQ(scene.h.shared.PendingFunction, 0u);
    }
}

// The flag stays set after a menu has closed: the filter never sees the
// loop end. Input outside a menu loop clears it and is handled.
TEST(MouseGate, MenuFlagLeftByAClosedMenuIsCleared) {
    Scene scene;
    scene.h.block.ButtonFunction[0] = function::kEnter;
    scene.h.shared.MenuActive = 1;
    scene.h.desk.SetInMenuLoop(false);
    EXPECT_TRUE(scene.Hook(Press()));
    EXPECT_EQ(scene.h.shared.MenuActive, 0);
    EXPECT_EQ(scene.h.shared.PendingFunction, 13u);
}

TEST(MouseGate, HandsTheNextHooksResultBack) {
    Scene scene;
    scene.h.desk.SetNextHookResult(0x77);
    MOUSEHOOKSTRUCTEX data = {};
    EXPECT_EQ(MouseHook(scene.ctx(), HC_ACTION, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(&data)), 0x77);
    EXPECT_EQ(MouseHook(scene.ctx(), -1, WM_MBUTTONDOWN, reinterpret_cast<LPARAM>(&data)), 0x77);
    EXPECT_EQ(scene.h.desk.CallNextCount(), 2);
}

TEST(MouseGate, MissingStructureIsPassedOn) {
    Scene scene;
    scene.h.block.ButtonFunction[0] = function::kEnter;
    EXPECT_EQ(MouseHook(scene.ctx(), HC_ACTION, WM_MBUTTONDOWN, 0), 0);
    EXPECT_EQ(scene.h.desk.CallNextCount(), 1);
    EXPECT_EQ(scene.log(), Log{});
}

// During universal scroll cursor moves do reach the dispatcher: a move onto
// the screen edge puts the cursor back on the anchor and is swallowed.
TEST(MouseGate, MovesReachUniversalScroll) {
    for (UINT message : {WM_MOUSEMOVE, WM_NCMOUSEMOVE}) {
        SCOPED_TRACE(MessageName(message));
        Scene scene;
        scene.h.shared.Mode = function::kUniversalScroll;
        scene.h.shared.ScreenBounds = {0, 0, 1023, 767};
        scene.h.shared.Anchor = scene.h.shared.LastPos = {500, 400};
        EXPECT_TRUE(scene.Hook({message, 0, 0, {0, 100}}));
        EXPECT_EQ(scene.log(), Log{CursorTo(500, 400)});
    }
}

// Non-client button messages reach the dispatcher as their client-area
// counterparts; the application still gets the original.
TEST(MouseNormalisation, ClientCounterparts) {
    struct Case {
        UINT incoming;
        UINT handedOn;
    };
    const Case cases[] = {
        {WM_NCLBUTTONDOWN, WM_LBUTTONDOWN},     {WM_NCLBUTTONUP, WM_LBUTTONUP},
        {WM_NCRBUTTONDOWN, WM_RBUTTONDOWN},     {WM_NCRBUTTONUP, WM_RBUTTONUP},
        {WM_NCMBUTTONDOWN, WM_MBUTTONDOWN},     {WM_NCMBUTTONUP, WM_MBUTTONUP},
        {WM_NCXBUTTONDOWN, WM_XBUTTONDOWN},     {WM_NCXBUTTONUP, WM_XBUTTONUP},
        {WM_NCLBUTTONDBLCLK, WM_NCLBUTTONDBLCLK}, {WM_NCRBUTTONDBLCLK, WM_NCRBUTTONDBLCLK},
        {WM_NCMBUTTONDBLCLK, WM_NCMBUTTONDBLCLK}, {WM_NCXBUTTONDBLCLK, WM_NCXBUTTONDBLCLK},
        {WM_NCMOUSEMOVE, WM_NCMOUSEMOVE},       {WM_LBUTTONDBLCLK, WM_LBUTTONDBLCLK},
        {WM_MBUTTONDBLCLK, WM_MBUTTONDBLCLK},   {WM_MBUTTONDOWN, WM_MBUTTONDOWN},
        {WM_MOUSEWHEEL, WM_MOUSEWHEEL},         {WM_KEYDOWN, WM_KEYDOWN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(MessageName(c.incoming));
        EXPECT_EQ(ClientMessageOf(c.incoming), c.handedOn);
    }
}

// The same, seen through what the dispatcher does with the mapped message.
TEST(MouseNormalisation, NonClientButtonsActLikeClientButtons) {
    struct Case {
        const char* name;
        uint32_t mode;
        int32_t releaseAction;
        UINT message;
        bool swallowed;
        Log (*entries)(const Scene&);
        uint32_t modeAfter;
    };
    const Case cases[] = {
        {"TitleBarMiddlePressRunsTheFunction", 0, 0, WM_NCMBUTTONDOWN, true,
         [](const Scene& s) { return Log{Foreground(s.top), Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0x00010000)}; }, 0},
        {"TitleBarMiddleReleaseGivesTheXButtonRelease", 0, 72, WM_NCMBUTTONUP, true,
         [](const Scene&) { return Log{Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)}; }, 0},
        {"TitleBarMiddleReleaseCompletesTheClick", 0, 45, WM_NCMBUTTONUP, false,
         [](const Scene&) { return Log{}; }, 0},
        {"TitleBarLeftPressEndsDragLock", 56, 0, WM_NCLBUTTONDOWN, true,
         [](const Scene& s) { return Log{Post(s.agent, UM_MODEEND, 0, 0), Mouse(MOUSEEVENTF_LEFTUP, 0, 0)}; }, 0},
        {"TitleBarRightPressEndsDragLock", 56, 0, WM_NCRBUTTONDOWN, true,
         [](const Scene& s) { return Log{Post(s.agent, UM_MODEEND, 0, 0), Mouse(MOUSEEVENTF_LEFTUP, 0, 0)}; }, 0},
        {"TitleBarXPressEndsDragLock", 56, 0, WM_NCXBUTTONDOWN, true,
         [](const Scene& s) { return Log{Post(s.agent, UM_MODEEND, 0, 0), Mouse(MOUSEEVENTF_LEFTUP, 0, 0)}; }, 0},
        {"TitleBarMiddlePressEndsHorizontalWheel", 62, 0, WM_NCMBUTTONDOWN, true,
         [](const Scene& s) { return Log{Post(s.agent, UM_MODEEND, 0, 0)}; }, 0},
        {"TitleBarLeftPressDoesNotEndHorizontalWheel", 62, 0, WM_NCLBUTTONDOWN, false,
         [](const Scene&) { return Log{}; }, 62},
        // A quick second click is still a press for a mode: the first may be the one that started it.
        {"TitleBarDoubleClickEndsDragLock", 56, 0, WM_NCLBUTTONDBLCLK, true,
         [](const Scene& s) { return Log{Post(s.agent, UM_MODEEND, 0, 0), Mouse(MOUSEEVENTF_LEFTUP, 0, 0)}; }, 0},
        {"MiddleDoubleClickEndsHorizontalWheel", 62, 0, WM_MBUTTONDBLCLK, true,
         [](const Scene& s) { return Log{Post(s.agent, UM_MODEEND, 0, 0)}; }, 0},
        {"MiddleDoubleClickIsNoPress", 0, 0, WM_MBUTTONDBLCLK, false, [](const Scene&) { return Log{}; }, 0},
        {"TitleBarMiddleDoubleClickIsNoPress", 0, 0, WM_NCMBUTTONDBLCLK, false, [](const Scene&) { return Log{}; }, 0},
        {"TitleBarReleasesMeanNothingWhenIdle", 0, 72, WM_NCLBUTTONUP, false, [](const Scene&) { return Log{}; }, 0},
        // The task switch answers only the mapped middle release, with Alt up.
        {"TitleBarMiddleReleaseEndsTaskSwitch", 151, 0, WM_NCMBUTTONUP, true,
         [](const Scene&) { return Log{KeyUp(VK_MENU)}; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.h.block.ButtonFunction[0] = function::kEnter;
        scene.h.shared.Mode = c.mode;
        scene.h.shared.ReleaseAction = c.releaseAction;
        scene.h.desk.SetForegroundWindowState(scene.top);
        EXPECT_EQ(scene.Hook(Button(c.message)), c.swallowed);
        EXPECT_EQ(scene.log(), c.entries(scene));
        EXPECT_EQ(scene.h.shared.Mode, c.modeAfter);
    }
}

// What Universal Zoom sends the zoom window for a wheel message of this
// normalised delta: the whole notches of the vertical wheel, in one message;
// nothing for a part, a zero or the horizontal wheel.
Log ZoomSends(const Scene& scene, int16_t delta) {
    int32_t size = delta < 0 ? -delta : delta;
    if (delta == HWHEEL_LEFT || delta == HWHEEL_RIGHT || size < WHEEL_NOTCH) return {};
    int32_t notches = size / WHEEL_NOTCH > 273 ? 273 : size / WHEEL_NOTCH;
    return {Send(scene.zoom, UM_ZOOMWHEEL, 0, (delta < 0 ? -1 : 1) * notches * WHEEL_NOTCH)};
}

// Where the wheel delta comes from on each Windows version. Universal Zoom
// hands the notches of the delta it was given to the zoom window, so they
// show there.
TEST(MouseNormalisation, WheelDeltaSource) {
    struct Case {
        const char* name;
        int32_t os;
        UINT message;
        uint64_t extra;
        DWORD mouseData;
        int16_t delta;
    };
    const Case cases[] = {
        {"Win95MarkedMiddleRelease", OS_WIN95, WM_MBUTTONUP, 0x4001FF88, 0x00780000, -120},
        {"Win95MarkedTitleBarMiddleRelease", OS_WIN95, WM_NCMBUTTONUP, 0x40010168, 0, 360},
        {"Win95WheelMessage", OS_WIN95, WM_MOUSEWHEEL, 0x0000FF10, 0x00780000, -240},
        {"Win98", OS_WIN98, WM_MOUSEWHEEL, 0x0000FF10, 0x00780000, -240},
        {"WinMe", OS_WINME, WM_MOUSEWHEEL, 0x00000078, 0xFF880000, 120},
        {"Nt4ThroughTheWheelHook", OS_NT4, WM_MOUSEWHEEL, 0x4001FF10, 0x00780000, -240},
        {"Nt4WithoutTheWheelHook", OS_NT4, WM_MOUSEWHEEL, 0, 0x00780000, 0},
        {"UnknownSystem", OS_OTHER, WM_MOUSEWHEEL, 0x0000FF10, 0x00780000, -240},
        {"Win2000", OS_WIN2000, WM_MOUSEWHEEL, 0x0000FF10, 0x00780000, 120},
        {"WinXp", OS_WINXP, WM_MOUSEWHEEL, 0x0000FF10, 0xFF880000, -120},
        {"WinXpLowWordOfMouseDataIgnored", OS_WINXP, WM_MOUSEWHEEL, 0, 0x0078FFFF, 120},
        // Only the low 32 bits of the extra information count.
        {"Win98ExtraInfoHighBitsIgnored", OS_WIN98, WM_MOUSEWHEEL, 0xABCD12340000FF10ull, 0, -240},
        {"Win95ExtraInfoHighBitsIgnored", OS_WIN95, WM_MBUTTONUP, 0xFFFFFFFF4001FF88ull, 0, -120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (sizeof(ULONG_PTR) < sizeof(c.extra) && (c.extra >> 32) != 0) continue;
        Scene scene(c.os);
        scene.h.shared.Mode = function::kUniversalZoom;
        EXPECT_TRUE(scene.Hook({c.message, c.extra, c.mouseData}));
        EXPECT_EQ(scene.log(), ZoomSends(scene, c.delta));
        EXPECT_EQ(scene.h.ctx.wheel.Delta, c.delta);
    }
}

// Messages that are not wheel notches leave WheelDelta alone and do not
// reach the zoom window.
TEST(MouseNormalisation, NotAWheelNotch) {
    struct Case {
        const char* name;
        int32_t os;
        UINT message;
        uint32_t extra;
    };
    const Case cases[] = {
        {"Win95UnmarkedMiddleRelease", OS_WIN95, WM_MBUTTONUP, 0x0000FF88},
        {"Win95OtherMarkerOnMiddleRelease", OS_WIN95, WM_MBUTTONUP, 0x0004FF88},
        {"Win95MarkedRightRelease", OS_WIN95, WM_RBUTTONUP, 0x4001FF88},
        {"Win95MarkedLeftRelease", OS_WIN95, WM_LBUTTONUP, 0x4001FF88},
        {"Win98MarkedMiddleRelease", OS_WIN98, WM_MBUTTONUP, 0x4001FF88},
        {"XpMarkedMiddleRelease", OS_WINXP, WM_MBUTTONUP, 0x4001FF88},
        {"XpMarkedTitleBarMiddleRelease", OS_WINXP, WM_NCMBUTTONUP, 0x4001FF88},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene(c.os);
        scene.h.shared.Mode = function::kUniversalZoom;
        scene.h.ctx.wheel.Delta = kUntouched;
        EXPECT_FALSE(scene.Hook(Button(c.message, c.extra)));
        EXPECT_EQ(scene.log(), Log{});
        EXPECT_EQ(scene.h.ctx.wheel.Delta, kUntouched);
        EXPECT_EQ(scene.h.shared.Mode, static_cast<uint32_t>(function::kUniversalZoom));
    }
}

// One rule: ReverseWheel negates the vertical wheel's delta, ReverseHWheel
// a horizontal notch (+840 or -840), each alone and whatever WheelCount says.
TEST(MouseNormalisation, ReverseFlags) {
    struct Case {
        uint16_t wheelCount;
        int32_t reverseWheel;
        int32_t reverseHWheel;
        int16_t incoming;
        int16_t delta;
    };
    const Case cases[] = {
        {1, 0, 0, -120, -120},   {1, -1, 0, -120, 120},   {1, 0, -1, -120, -120},  {1, -1, -1, 120, -120},
        {1, 0, -1, 840, -840},   {1, -1, -1, 840, -840},  {1, -1, 0, -840, -840},  {0, 0, -1, 840, -840},
        {0, 0, -1, -840, 840},   {0, -1, -1, -840, 840},  {0, -1, 0, 120, -120},   {2, 0, 0, 840, 840},
        {2, 0, -1, 840, -840},   {2, 0, -1, -840, 840},   {2, -1, 0, 840, 840},    {2, -1, -1, 840, -840},
        {2, -1, -1, -840, 840},  {2, 0, -1, -120, -120},  {2, -1, -1, -120, 120},  {2, 0, -1, 720, 720},
        {2, 0, 1, 840, -840},    {3, 0, -1, -840, 840},   {2, -1, 0, -32768, -32768}, {2, -1, -1, 0, 0},
        {2, -1, -1, -720, 720},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("WheelCount " + std::to_string(c.wheelCount) + " reverse " + std::to_string(c.reverseWheel) +
                     "/" + std::to_string(c.reverseHWheel) + " delta " + std::to_string(c.incoming));
        Scene scene(OS_WINXP);
        scene.h.block.WheelCount = c.wheelCount;
        scene.h.block.ReverseWheel = c.reverseWheel;
        scene.h.block.ReverseHWheel = c.reverseHWheel;
        scene.h.shared.Mode = function::kUniversalZoom;
        EXPECT_TRUE(scene.Hook(Wheel(OS_WINXP, c.incoming)));
        EXPECT_EQ(scene.log(), ZoomSends(scene, c.delta));
        EXPECT_EQ(scene.h.ctx.wheel.Delta, c.delta);
    }
}

// Whatever the hook worked out, the application receives the message and
// structure as they came: Scene::Hook checks the identifier, the structure
// pointer, the code and the bytes of every message that is passed on.
TEST(MouseNormalisation, PassedOnMessageIsTheOriginal) {
    struct Case {
        const char* name;
        int32_t os;
        uint32_t mode;
        int32_t reverseWheel;
        int32_t releaseAction;
        Event event;
        int16_t delta;  // what the hook worked with
    };
    const Case cases[] = {
        {"ReversedWheelOnXp", OS_WINXP, 0, -1, 0, Wheel(OS_WINXP, -120), 120},
        {"HorizontalWheelModeOnXp", OS_WINXP, function::kHorizontalWheel, 0, 0, Wheel(OS_WINXP, 120), HWHEEL_LEFT},
        {"Win95WheelRelease", OS_WIN95, 0, -1, 0, Wheel(OS_WIN95, 240), -240},
        {"Win98Wheel", OS_WIN98, function::kHorizontalWheel, 0, 0, Wheel(OS_WIN98, -360), HWHEEL_RIGHT},
        {"TitleBarMiddleRelease", OS_WINXP, 0, 0, 45, Button(WM_NCMBUTTONUP, 2), kUntouched},
        {"TitleBarLeftPress", OS_WINXP, 0, 0, 0, Button(WM_NCLBUTTONDOWN), kUntouched},
        {"TitleBarDoubleClick", OS_WINXP, 0, 0, 0, Button(WM_NCLBUTTONDBLCLK), kUntouched},
        {"MarkedPassPress", OS_WINXP, 0, 0, 0, Button(WM_MBUTTONDOWN, 0x00030000), kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene(c.os);
        scene.h.block.EnhanceMode = 0;
        scene.h.block.ReverseWheel = c.reverseWheel;
        scene.h.block.ButtonFunction[0] = function::kEnter;
        scene.h.shared.Mode = c.mode;
        scene.h.shared.ReleaseAction = c.releaseAction;
        scene.h.ctx.wheel.Delta = kUntouched;
        EXPECT_FALSE(scene.Hook(c.event));
        EXPECT_EQ(scene.h.desk.CallNextCount(), 1);
        EXPECT_EQ(scene.log(), Log{});
        EXPECT_EQ(scene.h.ctx.wheel.Delta, c.delta);
    }
}

// The router comes second: a wheel message the dispatcher took never reaches
// it, one the dispatcher left does.
TEST(MouseRouting, RouterSeesOnlyWheelMessagesTheDispatcherLeft) {
    for (uint32_t mode : {0u, 102u}) {
        SCOPED_TRACE(mode);
        Scene scene(OS_WINXP);
        scene.h.shared.Mode = mode;
        Event wheel = Wheel(OS_WINXP, -120);
        wheel.pt = {100, 100};  // over the edit child, in enhanced mode
        EXPECT_TRUE(scene.Hook(wheel));
        if (mode == function::kUniversalZoom) {
            EXPECT_EQ(scene.log(), Log{Send(scene.zoom, UM_ZOOMWHEEL, 0, -120)});
        } else {
            // The router scrolled the edit child; the dispatcher did nothing of its own.
            EXPECT_FALSE(scene.log().empty());
            for (const std::string& entry : scene.log()) {
                SCOPED_TRACE(entry);
                EXPECT_EQ(entry.find("send"), std::string::npos);
                EXPECT_EQ(entry.find("mouse"), std::string::npos);
            }
        }
    }
}

TEST(MouseRouting, ButtonMessagesNeverReachTheRouter) {
    Scene scene(OS_WINXP);
    for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONUP, WM_XBUTTONDOWN, WM_NCLBUTTONDOWN}) {
        SCOPED_TRACE(MessageName(message));
        Event event = Button(message);
        event.pt = {100, 100};
        EXPECT_FALSE(scene.Hook(event));
    }
    EXPECT_EQ(scene.log(), Log{});
}

// Windows calls a global hook of one bitness for the programs of the other
// in the thread that installed it, while the other bitness's own library
// handles the same message in its program. There such a call passes on at
// once and changes nothing, and only there does the hook ask whose window
// the message is for. Wine never makes these calls: this table is their test.
TEST(OtherBitness, ACallInTheInstallingThreadForAnotherProcessPassesOnUntouched) {
    constexpr DWORD kOtherProcess = 0x200;
    constexpr DWORD kOtherThread = 0x108;
    struct Case {
        const char* name;
        bool installer;  // this process installed the hooks
        DWORD thread;    // the calling thread
        DWORD owner;     // the process of the window the message is for
        Event event;
        uint32_t mode;
        bool untouched;
        int systemCalls;  // GetCurrentThreadId and GetWindowThreadProcessId
    };
    const Event move = {WM_MOUSEMOVE, 0, 0, {30, 40}};
    const Event click = {WM_LBUTTONDOWN, 0, 0, {30, 40}};
    const Event notch = {WM_MOUSEWHEEL, 0, 0xFF880000, {30, 40}};
    const Case cases[] = {
        {"a notch for a program of the other bitness", true, kFakeOwnThread, kOtherProcess, notch, 0, true, 2},
        {"its middle press", true, kFakeOwnThread, kOtherProcess, Press(), 0, true, 2},
        {"its move in universal scroll", true, kFakeOwnThread, kOtherProcess, move, function::kUniversalScroll, true, 2},
        {"its click that ends Shift Lock", true, kFakeOwnThread, kOtherProcess, click, function::kShiftLock, true, 2},
        {"a press for the installer's own window", true, kFakeOwnThread, kFakeOwnProcess, Press(), 0, false, 2},
        {"a press in another thread of the installer", true, kOtherThread, kOtherProcess, Press(), 0, false, 1},
        {"a press in a program that installed nothing", false, kFakeOwnThread, kOtherProcess, Press(), 0, false, 0},
        {"a move there", false, kFakeOwnThread, kOtherProcess, move, 0, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        scene.h.block.ButtonFunction[0] = function::kEnter;
        scene.h.shared.Mode = c.mode;
        scene.h.shared.ShiftLocked = c.mode == function::kShiftLock ? -1 : 0;
        scene.h.process.ProcessId = kFakeOwnProcess;
        scene.h.process.HookThread = c.installer ? kFakeOwnThread : 0;
        scene.h.desk.SetCurrentThread(c.thread);
        scene.h.desk.SetWindowOwner(scene.child, c.owner, kOtherThread);
        const HookSharedState before = scene.h.shared;
        const bool swallowed = scene.Hook(c.event);
        const int calls = scene.h.desk.Calls("GetCurrentThreadId") + scene.h.desk.Calls("GetWindowThreadProcessId");
        EXPECT_EQ(calls, c.systemCalls);
        const bool changed = swallowed || !scene.log().empty() || std::memcmp(&before, &scene.h.shared, sizeof before);
        EXPECT_EQ(!changed, c.untouched) << ::testing::PrintToString(scene.log());
    }
}

TEST(OtherBitness, TheMenuFilterLeavesTheMenuFlagToTheOtherLibrary) {
    Scene scene;
    scene.h.process.ProcessId = kFakeOwnProcess;
    scene.h.process.HookThread = kFakeOwnThread;
    scene.h.hooks.MsgFilterHook = 0x6660;
    MSG message = {};
    message.hwnd = scene.child;
    message.message = WM_LBUTTONDOWN;
    for (DWORD owner : {0x200ul, static_cast<unsigned long>(kFakeOwnProcess)}) {
        scene.h.desk.SetWindowOwner(scene.child, owner, kFakeOwnThread);
        scene.h.shared.MenuActive = 0;
        SysMsgFilter(scene.ctx(), MSGF_MENU, 0, reinterpret_cast<LPARAM>(&message));
        EXPECT_EQ(scene.h.shared.MenuActive, owner == kFakeOwnProcess ? 1 : 0) << owner;
        EXPECT_EQ(scene.h.desk.LastCallNext().hook, ToHhook(0x6660));
    }
}

}  // namespace
