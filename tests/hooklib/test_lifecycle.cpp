// Windows version and process kind, hook installation and removal, the menu
// filter and the two low-level mouse procedures.
#include "fake_desktop.h"
#include "function_codes.h"
#include "lifecycle.h"
#include "markers.h"
#include "mouse_scene.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

struct VersionRow {
    DWORD platform, major, minor;
    int32_t kind;
};

const VersionRow kVersionTable[] = {
    {VER_PLATFORM_WIN32_WINDOWS, 4, 0, OS_WIN95},  {VER_PLATFORM_WIN32_WINDOWS, 4, 10, OS_WIN98},
    {VER_PLATFORM_WIN32_WINDOWS, 4, 90, OS_WINME}, {VER_PLATFORM_WIN32_WINDOWS, 4, 3, OS_OTHER},
    {VER_PLATFORM_WIN32_WINDOWS, 5, 0, OS_OTHER},  {VER_PLATFORM_WIN32_WINDOWS, 3, 10, OS_OTHER},
    {VER_PLATFORM_WIN32_NT, 3, 51, OS_NT4},        {VER_PLATFORM_WIN32_NT, 4, 0, OS_NT4},
    {VER_PLATFORM_WIN32_NT, 5, 0, OS_WIN2000},     {VER_PLATFORM_WIN32_NT, 5, 1, OS_WINXP},
    // Every later NT system is served as XP: XP x64 and Server 2003, Vista, 7, 10.
    {VER_PLATFORM_WIN32_NT, 5, 2, OS_WINXP},       {VER_PLATFORM_WIN32_NT, 6, 0, OS_WINXP},
    {VER_PLATFORM_WIN32_NT, 6, 1, OS_WINXP},       {VER_PLATFORM_WIN32_NT, 10, 0, OS_WINXP},
    {VER_PLATFORM_WIN32s, 3, 1, OS_OTHER},         {3, 10, 0, OS_OTHER},
};

TEST(OsDetection, EveryRowOfTheVersionTable) {
    for (const VersionRow& row : kVersionTable) {
        SCOPED_TRACE(testing::Message() << row.platform << " " << row.major << "." << row.minor);
        FakeDesktop desk;
        desk.SetVersion(row.platform, row.major, row.minor);
        EXPECT_EQ(DetectOsKind(desk), row.kind);
        EXPECT_EQ(desk.VersionQuerySizes(), std::vector<DWORD>{sizeof(OSVERSIONINFOEXA)});
    }
}

TEST(OsDetection, FailedExtendedQueryFallsBackToThePlainOne) {
    FakeDesktop desk;
    desk.SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    desk.FailVersionQueries(1);
    EXPECT_EQ(DetectOsKind(desk), OS_WIN98);
    EXPECT_EQ(desk.VersionQuerySizes(), (std::vector<DWORD>{156, 148}));
}

TEST(OsDetection, BothQueriesFailingGiveOther) {
    FakeDesktop desk;
    desk.FailVersionQueries(2);
    EXPECT_EQ(DetectOsKind(desk), OS_OTHER);
    EXPECT_EQ(desk.VersionQuerySizes(), (std::vector<DWORD>{156, 148}));
}

TEST(ProcessKind, FromFullPaths) {
    const struct {
        const char* path;
        int32_t kind;
    } rows[] = {
        {"C:\\OFFICE\\WINWORD.EXE", PROCESS_WORD},   {"excel.exe", PROCESS_EXCEL},
        {"C:\\EXCEL\\APP.EXE", PROCESS_OTHER},       {"c:\\Program Files\\Netscape\\netscp6.exe", PROCESS_NETSCP6},
        {"C:\\WINDOWS\\RunDll32.exe", PROCESS_RUNDLL32}, {"C:\\WINWORD\\WINWORD", PROCESS_WORD},
        {"C:\\OFFICE\\WINWORD2.EXE", PROCESS_OTHER}, {"C:\\OFFICE\\MY.WINWORD.EXE", PROCESS_OTHER},
        {"D:WINWORD.EXE", PROCESS_WORD},             {"", PROCESS_OTHER},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(ProcessKindFromPath(row.path), row.kind);
        FakeDesktop desk;
        desk.SetExePath(row.path);
        EXPECT_EQ(DetectProcessKind(desk), row.kind);
    }
}

TEST(ProcessAttach, DetectsOnceAndRegistersTheWheelMessagesOnlyOnWindows95) {
    FakeHook h;
    h.desk.SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 0);
    h.desk.SetExePath("C:\\MSOFFICE\\EXCEL.EXE");
    AttachProcess(h.desk, h.shared, h.process);
    EXPECT_EQ(h.shared.OsKind, OS_WIN95);
    EXPECT_EQ(h.process.ProcessKind, PROCESS_EXCEL);
    auto registered = h.desk.RegisteredMessages();
    EXPECT_EQ(h.process.RollMessage, registered.at("MSWHEEL_ROLLMSG"));
    EXPECT_EQ(h.process.WheelSupportMessage, registered.at("MSH_WHEELSUPPORT_MSG"));
    EXPECT_EQ(h.process.ScrollLinesMessage, registered.at("MSH_SCROLL_LINES_MSG"));

    // A second process on the same desktop does not ask again.
    ProcessState other;
    h.desk.SetVersion(VER_PLATFORM_WIN32_NT, 5, 1);
    AttachProcess(h.desk, h.shared, other);
    EXPECT_EQ(h.shared.OsKind, OS_WIN95);
    EXPECT_EQ(h.desk.VersionQuerySizes().size(), 1u);
}

TEST(ProcessAttach, UnknownVersionIsDetectedAgainAtTheNextAttach) {
    FakeHook h;
    h.desk.SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 3);
    AttachProcess(h.desk, h.shared, h.process);
    EXPECT_EQ(h.shared.OsKind, OS_OTHER);
    EXPECT_EQ(h.process.RollMessage, 0u);
    EXPECT_TRUE(h.desk.RegisteredMessages().empty());
    h.desk.SetVersion(VER_PLATFORM_WIN32_NT, 5, 0);
    ProcessState other;
    AttachProcess(h.desk, h.shared, other);
    EXPECT_EQ(h.shared.OsKind, OS_WIN2000);
}

TEST(SharedState, StartValues) {
    HookSharedState s = kInitialSharedState;
    EXPECT_EQ(s.VThreshold, 1);
    EXPECT_EQ(s.HThreshold, 1);
    EXPECT_EQ(s.VStep, 1);
    EXPECT_EQ(s.HStep, 1);
    const int32_t* words = reinterpret_cast<const int32_t*>(&s);
    int nonzero = 0;
    for (size_t i = 0; i < sizeof s / 4; ++i) nonzero += words[i] != 0;
    EXPECT_EQ(nonzero, 4);
}

// Every copy of either library prepares the desktop state at attach, with
// no lock: whatever a creator has written so far, a copy that maps it then
// reads the start values, and a copy that attaches later changes nothing.
TEST(DesktopState, EachCopyPreparesItAndNoneOverwritesALiveValue) {
    DesktopState live{};
    ASSERT_TRUE(PrepareDesktopState(live));
    live.State.Mode = function::kShiftLock;
    live.State.ShiftLocked = -1;
    live.State.VThreshold = 6;
    live.State.OsKind = OS_WINXP;
    DesktopState creatorHalfWay{};  // its header words, one start value, not its Size yet
    creatorHalfWay.Header.Version = kDesktopStateVersion;
    creatorHalfWay.Header.StateSize = sizeof(HookSharedState);
    creatorHalfWay.State.VThreshold = 1;
    DesktopState otherLayout{};
    otherLayout.Header.Size = kDesktopStateSize + 4;
    otherLayout.Header.Version = 2;
    struct Case {
        const char* name;
        DesktopState mapped;
        bool usable;
        HookSharedState expected;
    };
    const Case cases[] = {
        {"a fresh mapping, zero-filled", DesktopState{}, true, kInitialSharedState},
        {"mapped while its creator prepares it", creatorHalfWay, true, kInitialSharedState},
        {"mapped while a mode runs", live, true, live.State},
        {"of another layout", otherLayout, false, otherLayout.State},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DesktopState mapped = c.mapped;
        EXPECT_EQ(PrepareDesktopState(mapped), c.usable);
        EXPECT_EQ(std::memcmp(&mapped.State, &c.expected, sizeof c.expected), 0);
        if (c.usable) {
            EXPECT_EQ(mapped.Header.Size, kDesktopStateSize);
            EXPECT_TRUE(PrepareDesktopState(mapped));
            EXPECT_EQ(std::memcmp(&mapped.State, &c.expected, sizeof c.expected), 0);
        }
    }
}

// The 64-bit host's hooks beside the 32-bit agent's low-level ones: no
// low-level hook, and a removal that leaves the mode (and the key it holds)
// to the agent.
TEST(InstallHostHook, TheProgramHooksOnlyAndARemovalThatLeavesTheMode) {
    FakeHook h;
    h.SetOs(OS_WINXP);
    EXPECT_EQ(InstallHostHooks(h.ctx, 1), static_cast<int32_t>(HOOK_STATUS_MOUSE | HOOK_STATUS_MSGFILTER));
    EXPECT_EQ(h.desk.log(), (Log{Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter)}));
    EXPECT_EQ(h.process.HookThread, kFakeOwnThread);
    const LibraryHooks installed = h.hooks;
    h.shared.Mode = function::kShiftLock;
    h.shared.ShiftLocked = -1;
    h.desk.ClearLog();
    EXPECT_EQ(InstallHostHooks(h.ctx, 0), 0);
    EXPECT_EQ(h.desk.log(), (Log{Unhook(ToHhook(installed.MouseHook)), Unhook(ToHhook(installed.MsgFilterHook))}));
    EXPECT_EQ(h.shared.Mode, static_cast<uint32_t>(function::kShiftLock));
    EXPECT_EQ(h.shared.ShiftLocked, -1);
    EXPECT_EQ(h.process.HookThread, 0u);
}

struct InstallRow {
    const char* name;
    int32_t os;
    int32_t lowLevelWheel;
    Log hooks;
    bool returnsXHook;
};

TEST(InstallHook, OnEachKindOfWindows) {
    const InstallRow rows[] = {
        {"95", OS_WIN95, -1, {Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter)}, false},
        {"98", OS_WIN98, -1, {Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter)}, false},
        {"Me", OS_WINME, 0, {Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter)}, false},
        {"NT4 without wheel hook", OS_NT4, 0,
         {Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter)}, false},
        {"NT4 with wheel hook", OS_NT4, -1,
         {Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter),
          Hook(WH_MOUSE_LL, HookProcId::LowLevelWheel)}, false},
        {"2000", OS_WIN2000, -1,
         {Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter),
          Hook(WH_MOUSE_LL, HookProcId::LowLevelXButton)}, true},
        {"XP", OS_WINXP, 0,
         {Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter),
          Hook(WH_MOUSE_LL, HookProcId::LowLevelXButton)}, true},
        {"other", OS_OTHER, -1, {Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_SYSMSGFILTER, HookProcId::SysMsgFilter)}, false},
    };
    for (const InstallRow& row : rows) {
        SCOPED_TRACE(row.name);
        FakeHook h;
        h.SetOs(row.os);
        h.block.LowLevelWheelHook = row.lowLevelWheel;
        int32_t result = InstallHooks(h.ctx, 1);
        EXPECT_EQ(h.desk.log(), row.hooks);
        EXPECT_NE(h.hooks.MouseHook, 0u);
        EXPECT_NE(h.hooks.MsgFilterHook, 0u);
        if (row.returnsXHook) {
            EXPECT_NE(h.hooks.XButtonHook, 0u);
            EXPECT_EQ(result, static_cast<int32_t>(h.hooks.XButtonHook));
        } else {
            EXPECT_EQ(h.hooks.XButtonHook, 0u);
            EXPECT_EQ(result, row.os);
        }

        // A second install installs nothing and answers the kind of Windows.
        h.desk.ClearLog();
        EXPECT_EQ(InstallHooks(h.ctx, 1), row.os);
        EXPECT_TRUE(h.desk.log().empty());

        // Removal unhooks every hook set, in order, and clears the fields.
        LibraryHooks before = h.hooks;
        EXPECT_EQ(InstallHooks(h.ctx, 0), row.returnsXHook ? 1 : 0);
        Log expected;
        for (uint32_t field : {before.MouseHook, before.MsgFilterHook, before.Nt4WheelHook, before.XButtonHook})
            if (field) expected.push_back(Unhook(ToHhook(field)));
        EXPECT_EQ(h.desk.log(), expected);
        EXPECT_EQ(h.hooks.MouseHook | h.hooks.MsgFilterHook | h.hooks.Nt4WheelHook | h.hooks.XButtonHook, 0u);
    }
}

TEST(InstallHook, RemoveWithoutInstallReturnsZeroAndChangesNothing) {
    FakeHook h;
    h.SetOs(OS_WINXP);
    HookSharedState before = h.shared;
    EXPECT_EQ(InstallHooks(h.ctx, 0), 0);
    EXPECT_TRUE(h.desk.log().empty());
    EXPECT_EQ(memcmp(&before, &h.shared, sizeof before), 0);
}

TEST(InstallHook, FailedHookLeavesItsFieldZeroAndALaterCallRetries) {
    FakeHook h;
    h.SetOs(OS_WINXP);
    h.desk.FailHook(WH_MOUSE_LL);
    h.desk.FailHook(WH_MOUSE);
    EXPECT_EQ(InstallHooks(h.ctx, 1), 0);
    EXPECT_EQ(h.hooks.MouseHook, 0u);
    EXPECT_NE(h.hooks.MsgFilterHook, 0u);
    EXPECT_EQ(h.hooks.XButtonHook, 0u);

    h.desk.FailHook(WH_MOUSE_LL, false);
    h.desk.FailHook(WH_MOUSE, false);
    h.desk.ClearLog();
    int32_t result = InstallHooks(h.ctx, 1);
    EXPECT_EQ(h.desk.log(), (Log{Hook(WH_MOUSE, HookProcId::Mouse), Hook(WH_MOUSE_LL, HookProcId::LowLevelXButton)}));
    EXPECT_NE(h.hooks.XButtonHook, 0u);
    EXPECT_EQ(result, static_cast<int32_t>(h.hooks.XButtonHook));
}

TEST(InstallHook, HandlesAreStoredAs32BitValuesAndWidenBySignExtension) {
    EXPECT_EQ(FromHhook(ToHhook(0x80001234u)), 0x80001234u);
    EXPECT_EQ(reinterpret_cast<intptr_t>(ToHwnd(0xFFFF0010u)), static_cast<intptr_t>(static_cast<int32_t>(0xFFFF0010u)));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(ToHwnd(0x00012345u)), 0x12345u);
}

TEST(SysMsgHook, MenuStateFollowsTheMenuLoop) {
    const struct {
        int code;
        UINT message;
        int32_t before, after;
    } rows[] = {
        {MSGF_MENU, WM_MOUSEMOVE, 0, 1},   {MSGF_MENU, WM_LBUTTONDOWN, 0, 1}, {MSGF_MENU, WM_MENUSELECT, 1, 0},
        {MSGF_MENU, WM_KEYDOWN, 0, 1},     {MSGF_DIALOGBOX, WM_MOUSEMOVE, 0, 0}, {MSGF_DIALOGBOX, WM_MENUSELECT, 1, 1},
        {MSGF_SCROLLBAR, WM_LBUTTONDOWN, 1, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.code << " " << row.message);
        FakeHook h;
        h.shared.MenuActive = row.before;
        h.desk.SetNextHookResult(77);
        MSG msg{};
        msg.message = row.message;
        EXPECT_EQ(SysMsgFilter(h.ctx, row.code, 0, reinterpret_cast<LPARAM>(&msg)), 77);
        EXPECT_EQ(h.shared.MenuActive, row.after);
        EXPECT_EQ(h.desk.CallNextCount(), 1);
        EXPECT_TRUE(h.desk.log().empty());
    }
}

MSLLHOOKSTRUCT LowLevelEvent(int x, int y, DWORD mouseData, DWORD flags, ULONG_PTR extra) {
    MSLLHOOKSTRUCT e{};
    e.pt = {x, y};
    e.mouseData = mouseData;
    e.flags = flags;
    e.dwExtraInfo = extra;
    return e;
}

struct LowLevelRow {
    const char* name;
    int code;
    WPARAM message;
    MSLLHOOKSTRUCT event;
    LRESULT result;
    Log injected;
};

void ExpectLowLevelRows(const std::vector<LowLevelRow>& rows, LRESULT (*proc)(HookContext&, int, WPARAM, LPARAM)) {
    for (const LowLevelRow& row : rows) {
        SCOPED_TRACE(row.name);
        FakeHook h;
        h.desk.SetNextHookResult(55);
        MSLLHOOKSTRUCT event = row.event;
        EXPECT_EQ(proc(h.ctx, row.code, row.message, reinterpret_cast<LPARAM>(&event)), row.result);
        EXPECT_EQ(h.desk.log(), row.injected);
        EXPECT_EQ(h.desk.CallNextCount(), row.result == 55 ? 1 : 0);
    }
}

TEST(LowLevelWheelHook, ReinjectsWheelInputWithTheDeltaInTheMarkedExtraInfo) {
    ExpectLowLevelRows(
        {
            {"notch up", HC_ACTION, WM_MOUSEWHEEL, LowLevelEvent(10, 20, 0x00780000, 0, 0), 1,
             {Mouse(MOUSEEVENTF_WHEEL, 0x78, 0x40010078, 10, 20)}},
            {"notch down", HC_ACTION, WM_MOUSEWHEEL, LowLevelEvent(-5, 7, 0xFF880000, 0, 0), 1,
             {Mouse(MOUSEEVENTF_WHEEL, 0xFF88, 0x4001FF88, -5, 7)}},
            {"upper bits of a 64-bit extra info do not count", HC_ACTION, WM_MOUSEWHEEL,
             LowLevelEvent(1, 2, 0x00F00000, 0, static_cast<ULONG_PTR>(0x1234567800000000ull)), 1,
             {Mouse(MOUSEEVENTF_WHEEL, 0xF0, 0x400100F0, 1, 2)}},
            {"already marked: passed on", HC_ACTION, WM_MOUSEWHEEL, LowLevelEvent(1, 2, 0x00780000, 1, 0x40010078), 55, {}},
            {"other marker: passed on", HC_ACTION, WM_MOUSEWHEEL, LowLevelEvent(1, 2, 0x00780000, 0, 0x00030000), 55, {}},
            {"negative code", -1, WM_MOUSEWHEEL, LowLevelEvent(1, 2, 0x00780000, 0, 0), 55, {}},
            {"middle press", HC_ACTION, WM_MBUTTONDOWN, LowLevelEvent(1, 2, 0, 0, 0), 55, {}},
            {"move", HC_ACTION, WM_MOUSEMOVE, LowLevelEvent(1, 2, 0, 0, 0), 55, {}},
        },
        LowLevelWheel);
}

TEST(LowLevelXButtonHook, TurnsXButtonsIntoMiddleButtonInputCarryingTheIndex) {
    ExpectLowLevelRows(
        {
            {"X1 press", HC_ACTION, WM_XBUTTONDOWN, LowLevelEvent(30, 40, 0x00010000, 0, 0), 1,
             {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 1, 30, 40)}},
            {"X1 release", HC_ACTION, WM_XBUTTONUP, LowLevelEvent(30, 40, 0x00010000, 0, 0), 1,
             {Mouse(MOUSEEVENTF_MIDDLEUP, 0, 1, 30, 40)}},
            {"X2 press", HC_ACTION, WM_XBUTTONDOWN, LowLevelEvent(5, 6, 0x00020000, 0, 0), 1,
             {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 2, 5, 6)}},
            {"X2 release", HC_ACTION, WM_XBUTTONUP, LowLevelEvent(5, 6, 0x00020000, 0, 0), 1,
             {Mouse(MOUSEEVENTF_MIDDLEUP, 0, 2, 5, 6)}},
            {"lower-integrity injected flag alone is not 'injected'", HC_ACTION, WM_XBUTTONDOWN,
             LowLevelEvent(5, 6, 0x00010000, LLMHF_INJECTED | 2, 0), 1, {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, 1, 5, 6)}},
            {"injected X press passes", HC_ACTION, WM_XBUTTONDOWN, LowLevelEvent(5, 6, 0x00010000, LLMHF_INJECTED, 0), 55, {}},
            {"injected X release passes", HC_ACTION, WM_XBUTTONUP, LowLevelEvent(5, 6, 0x00020000, LLMHF_INJECTED, 0), 55, {}},
            {"negative code", -1, WM_XBUTTONDOWN, LowLevelEvent(5, 6, 0x00010000, 0, 0), 55, {}},
            {"middle press", HC_ACTION, WM_MBUTTONDOWN, LowLevelEvent(5, 6, 0, 0, 0), 55, {}},
            {"wheel", HC_ACTION, WM_MOUSEWHEEL, LowLevelEvent(5, 6, 0x00780000, 0, 0), 55, {}},
        },
        LowLevelXButton);
}

// InstallHook(0) ends the active mode, letting go of what it holds, before
// the hooks that would let it go are removed.
TEST(InstallHook, RemovingTheHooksReleasesWhatTheActiveModeHolds) {
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

TEST(InstallHook, HookStatusNamesEachHookHeld) {
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

}  // namespace
