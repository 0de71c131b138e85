// What each function code does, run by the marked release of a press: one
// row per code on Windows XP, and the functions whose action depends on the
// system or on the windows around.
#include "button_functions.h"

#include "actions.h"
#include "dispatch_scene.h"
#include "function_codes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

struct FunctionCase {
    const char* name;
    int32_t code;
    int result;        // of the marked release
    Entries entries;   // logged by the marked release
    uint32_t modeAfter;
    int32_t releaseAfter;
    int32_t os;
    Arrange arrange;
};

FunctionCase Row(const char* name, int32_t code, int result, Entries entries, uint32_t modeAfter = 0,
                 int32_t releaseAfter = 0) {
    return {name, code, result, std::move(entries), modeAfter, releaseAfter, OS_WINXP, nullptr};
}

// One row per function code, for the middle button on Windows XP; the cursor
// is over an edit child of a top-level frame that does not have the focus.
std::vector<FunctionCase> AllFunctionCodes() {
    return {
        Row("SystemDefault", function::kSystemDefault, 1, [](const Desk&) { return MiddleClickEntries(); }, 0,
            kReleasePassThrough),
        Row("F1", function::kF1, 1, KeyPress(VK_F1)),
        Row("F2", function::kF2, 1, KeyPress(VK_F2)),
        Row("F3", function::kF3, 1, KeyPress(VK_F3)),
        Row("F4", function::kF4, 1, KeyPress(VK_F4)),
        Row("F5", function::kF5, 1, KeyPress(VK_F5)),
        Row("F6", function::kF6, 1, KeyPress(VK_F6)),
        Row("F7", function::kF7, 1, KeyPress(VK_F7)),
        Row("F8", function::kF8, 1, KeyPress(VK_F8)),
        Row("F9", function::kF9, 1, KeyPress(VK_F9)),
        Row("F10", function::kF10, 1, KeyPress(VK_F10)),
        Row("Esc", function::kEscape, 1, KeyPress(VK_ESCAPE)),
        Row("Backspace", function::kBackspace, 1, KeyPress(VK_BACK)),
        Row("Enter", function::kEnter, 1, KeyPress(VK_RETURN)),
        Row("Space", function::kSpace, 1, KeyPress(VK_SPACE)),
        Row("Delete", function::kDelete, 1, KeyPress(VK_DELETE)),
        Row("PageUp", function::kPageUp, 1, KeyPress(VK_PRIOR)),
        Row("PageDown", function::kPageDown, 1, KeyPress(VK_NEXT)),
        Row("Tab", function::kTab, 1, KeyPress(VK_TAB)),
        Row("Home", function::kHome, 1, KeyPress(VK_HOME)),
        Row("End", function::kEnd, 1, KeyPress(VK_END)),
        Row("Up", function::kUp, 1, KeyPress(VK_UP)),
        Row("Down", function::kDown, 1, KeyPress(VK_DOWN)),
        Row("Left", function::kLeft, 1, KeyPress(VK_LEFT)),
        Row("Right", function::kRight, 1, KeyPress(VK_RIGHT)),
        Row("Undo", function::kUndo, 1, CtrlKey('Z')),
        Row("Redo", function::kRedo, 1, CtrlKey('Y')),
        Row("Cut", function::kCut, 1, CtrlKey('X')),
        Row("Copy", function::kCopy, 1, CtrlKey('C')),
        Row("Paste", function::kPaste, 1, CtrlKey('V')),
        Row("CycleTask", function::kCycleTask, 1,
            [](const Desk&) { return Cat({{KeyDown(VK_MENU)}, Tap(VK_TAB), {KeyUp(VK_MENU)}}); }),
        Row("Explorer", function::kExplorer, 1, WinKey(0, 'E')),
        Row("FindComputer", function::kFindComputer, 1, WinKey(VK_CONTROL, 'F')),
        Row("FindFile", function::kFindFile, 1, WinKey(0, 'F')),
        Row("SystemHelp", function::kSystemHelp, 1, WinKey(0, VK_F1)),
        Row("MiddleButton", function::kMiddleButton, 1, [](const Desk&) { return MiddleClickEntries(); }, 0,
            kReleasePassThrough),
        Row("MinimizeAllWindows", function::kMinimizeAllWindows, 1, WinKey(0, 'M')),
        Row("Run", function::kRun, 1, WinKey(0, 'R')),
        Row("StartMenu", function::kStartMenu, 1,
            [](const Desk&) {
                return Log{Key(VK_LWIN, KEYEVENTF_EXTENDEDKEY), Key(VK_LWIN, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP)};
            }),
        Row("SystemProperty", function::kSystemProperties, 1,
            Entry([](const Desk&) { return Exec("rundll32.exe shell32.dll,Control_RunDLL sysdm.cpl,,0", SW_SHOW); })),
        Row("UndoMinimizeAllWindows", function::kUndoMinimizeAllWindows, 1, WinKey(VK_SHIFT, 'M')),
        Row("ControlPanel", function::kControlPanel, 1,
            Entry([](const Desk&) { return Exec("Control.exe", SW_SHOWNORMAL); })),
        Row("CloseApplication", function::kCloseApplication, 1,
            Entry([](const Desk& d) { return Post(d.top, WM_SYSCOMMAND, SC_CLOSE, 0); })),
        Row("DoubleClick", function::kDoubleClick, 1,
            [](const Desk&) {
                return Log{Mouse(MOUSEEVENTF_LEFTDOWN, 0, kPassExtra), Mouse(MOUSEEVENTF_LEFTUP, 0, kPassExtra),
                           Mouse(MOUSEEVENTF_LEFTDOWN, 0, kPassExtra), Mouse(MOUSEEVENTF_LEFTUP, 0, kPassExtra)};
            }),
        Row("MaximizeWindow", function::kMaximizeWindow, 1,
            Entry([](const Desk& d) { return Post(d.top, WM_SYSCOMMAND, SC_MAXIMIZE, 0); })),
        Row("MinimizeWindow", function::kMinimizeWindow, 1,
            Entry([](const Desk& d) { return Post(d.top, WM_SYSCOMMAND, SC_MINIMIZE, 0); })),
        Row("DragLock", function::kDragLock, 1,
            [](const Desk& d) {
                return Log{Mouse(MOUSEEVENTF_LEFTDOWN, 0, kPassExtra),
                           Post(d.agent, UM_MODESTATE, function::kDragLock, 0)};
            },
            function::kDragLock),
        Row("ShiftLock", function::kShiftLock, 1,
            [](const Desk& d) { return Log{Post(d.agent, UM_MODESTATE, function::kShiftLock, 0), KeyDown(VK_SHIFT)}; },
            function::kShiftLock),
        Row("ControlLock", function::kControlLock, 1,
            [](const Desk& d) {
                return Log{Post(d.agent, UM_MODESTATE, function::kControlLock, 0), KeyDown(VK_CONTROL)};
            },
            function::kControlLock),
        Row("HorizontalWheel", function::kHorizontalWheel, 1,
            Entry([](const Desk& d) { return Post(d.agent, UM_MODESTATE, function::kHorizontalWheel, 0); }),
            function::kHorizontalWheel),
        Row("LaunchBrowser", function::kLaunchBrowser, 1,
            Entry([](const Desk& d) { return Post(d.agent, UM_LAUNCHBROWSER, 0, 0); })),
        Row("LaunchMail", function::kLaunchMail, 1,
            Entry([](const Desk& d) { return Post(d.agent, UM_LAUNCHMAIL, 0, 0); })),
        Row("BrowserBack", function::kBrowserBack, 1,
            Entry([](const Desk& d) {
                return Post(d.target, WM_APPCOMMAND, reinterpret_cast<WPARAM>(d.target), 0x10010000);
            })),
        Row("BrowserForward", function::kBrowserForward, 1,
            Entry([](const Desk& d) {
                return Post(d.target, WM_APPCOMMAND, reinterpret_cast<WPARAM>(d.target), 0x10020000);
            })),
        Row("UniversalScroll", function::kUniversalScroll, 1,
            Entry([](const Desk& d) { return Post(d.agent, UM_MODESTATE, function::kUniversalScroll, 0); }),
            function::kUniversalScroll),
        Row("AutoScrollWithoutWindow", function::kAutoScroll, 0, Nothing()),
        Row("UniversalZoom", function::kUniversalZoom, 1,
            Entry([](const Desk& d) { return Send(d.agent, UM_ZOOMSTART, 0, 0); }), function::kUniversalZoom),
        Row("ConnectToInternet", function::kConnectToInternet, 1,
            Entry([](const Desk& d) { return Post(d.agent, UM_CONNECTINTERNET, 0, 0); })),
        Row("TaskSwitch", function::kTaskSwitch, 1,
            Entry([](const Desk&) { return Mouse(MOUSEEVENTF_MIDDLEUP, 0, 0x00040000); }), function::kTaskSwitch),
        // Codes outside the table do nothing and let the marked release through.
        Row("Unknown30", 30, 0, Nothing()),
        Row("Unknown39", 39, 0, Nothing()),
        Row("Unknown57", 57, 0, Nothing()),
        Row("Unknown59", 59, 0, Nothing()),
        Row("Unknown63", 63, 0, Nothing()),
        Row("Unknown69", 69, 0, Nothing()),
        Row("Unknown74", 74, 0, Nothing()),
        Row("Unknown99", 99, 0, Nothing()),
        Row("Unknown104", 104, 0, Nothing()),
        Row("Unknown150", 150, 0, Nothing()),
        Row("Unknown152", 152, 0, Nothing()),
        Row("UnknownNegative", -1, 0, Nothing()),
    };
}

FunctionCase Variant(const char* name, int32_t code, int32_t os, Arrange arrange, Entries entries,
                     int result = 1, uint32_t modeAfter = 0) {
    return {name, code, result, std::move(entries), modeAfter, 0, os, std::move(arrange)};
}

HWND Add(Desk& d, const char* className, LONG style, HWND parent) {
    return d.h.desk.AddWindow(className, style | WS_VISIBLE, {0, 0, 50, 50}, parent);
}

// The functions whose action depends on the system or on the windows around.
std::vector<FunctionCase> FunctionVariants() {
    const Arrange none = nullptr;
    return {
        Variant("KeystrokeIntoFocusedWindowSetsNoFocus", function::kEnter, OS_WINXP,
                [](Desk& d) { d.h.desk.SetFocusWindow(d.child); }, [](const Desk&) { return Tap(VK_RETURN); }),
        Variant("CopyFocusesEvenTheFocusedWindow", function::kCopy, OS_WINXP,
                [](Desk& d) { d.h.desk.SetFocusWindow(d.child); },
                CtrlKey('C')),
        Variant("CloseOnTheDesktopIconView", function::kCloseApplication, OS_WINXP,
                [](Desk& d) {
                    d.made[0] = Add(d, "Progman", 0, nullptr);
                    d.made[1] = Add(d, "SHELLDLL_DefView", WS_CHILD, d.made[0]);
                    d.target = Add(d, "SysListView32", WS_CHILD, d.made[1]);
                    d.raised = d.made[0];
                },
                Entry([](const Desk& d) { return Post(d.made[0], WM_CLOSE, 0, 0); })),
        Variant("CloseListViewInAnApplication", function::kCloseApplication, OS_WINXP,
                [](Desk& d) { d.target = Add(d, "syslistview32", WS_CHILD, d.top); },
                Entry([](const Desk& d) { return Post(d.top, WM_SYSCOMMAND, SC_CLOSE, 0); })),
        Variant("CloseProgmanItself", function::kCloseApplication, OS_WINXP,
                [](Desk& d) { d.target = d.raised = d.made[0] = Add(d, "Progman", 0, nullptr); },
                Entry([](const Desk& d) { return Post(d.made[0], WM_SYSCOMMAND, SC_CLOSE, 0); })),
        Variant("CloseAWindowThatIsGone", function::kCloseApplication, OS_WINXP,
                [](Desk& d) { d.target = d.raised = reinterpret_cast<HWND>(0xDEAD0); },
                Nothing()),
        Variant("MaximizeAlreadyMaximized", function::kMaximizeWindow, OS_WINXP,
                [](Desk& d) { d.h.desk.WindowOf(d.top).zoomed = true; },
                Nothing()),
        Variant("MinimizeAlreadyMinimized", function::kMinimizeWindow, OS_WINXP,
                [](Desk& d) { d.h.desk.WindowOf(d.top).iconic = true; },
                Nothing()),
        Variant("MaximizeSkipsTheShellFolderView", function::kMaximizeWindow, OS_WINXP,
                [](Desk& d) { d.target = Add(d, "SHELLDLL_DefView", WS_CHILD | WS_MAXIMIZEBOX | WS_SYSMENU, d.top); },
                Entry([](const Desk& d) { return Post(d.top, WM_SYSCOMMAND, SC_MAXIMIZE, 0); })),
        Variant("MinimizeSkipsTheShellFolderView", function::kMinimizeWindow, OS_WINXP,
                [](Desk& d) { d.target = Add(d, "shelldll_defview", WS_CHILD | WS_MINIMIZEBOX | WS_SYSMENU, d.top); },
                Entry([](const Desk& d) { return Post(d.top, WM_SYSCOMMAND, SC_MINIMIZE, 0); })),
        Variant("MaximizeTheNearestWindowWithBothBoxes", function::kMaximizeWindow, OS_WINXP,
                [](Desk& d) {
                    d.made[0] = Add(d, "MDIClient", WS_CHILD, d.top);
                    d.made[1] = Add(d, "DocFrame", WS_CHILD | WS_MAXIMIZEBOX | WS_SYSMENU, d.made[0]);
                    d.target = Add(d, "Edit", WS_CHILD | WS_MAXIMIZEBOX, d.made[1]);
                },
                Entry([](const Desk& d) { return Post(d.made[1], WM_SYSCOMMAND, SC_MAXIMIZE, 0); })),
        Variant("MaximizeNeedsTheSystemMenuToo", function::kMaximizeWindow, OS_WINXP,
                [](Desk& d) {
                    d.made[0] = d.h.desk.AddWindow("Tool", WS_VISIBLE | WS_MAXIMIZEBOX, {0, 0, 50, 50});
                    d.target = Add(d, "Edit", WS_CHILD, d.made[0]);
                    d.raised = d.made[0];
                },
                Nothing()),
        Variant("MinimizeWithoutMinimizeBox", function::kMinimizeWindow, OS_WINXP,
                [](Desk& d) {
                    d.made[0] = d.h.desk.AddWindow("Dialog", WS_VISIBLE | WS_SYSMENU | WS_MAXIMIZEBOX, {0, 0, 50, 50});
                    d.target = Add(d, "Button", WS_CHILD, d.made[0]);
                    d.raised = d.made[0];
                },
                Nothing()),
        Variant("BrowserBackOnWindows98", function::kBrowserBack, OS_WIN98, none,
                [](const Desk& d) { return Cat({{Focus(d.top), KeyDown(VK_MENU)}, Tap(VK_LEFT), {KeyUp(VK_MENU)}}); }),
        Variant("BrowserForwardOnNt4", function::kBrowserForward, OS_NT4, none,
                [](const Desk& d) { return Cat({{Focus(d.top), KeyDown(VK_MENU)}, Tap(VK_RIGHT), {KeyUp(VK_MENU)}}); }),
        Variant("BrowserBackOnUnknownSystem", function::kBrowserBack, OS_OTHER, none,
                [](const Desk& d) { return Cat({{Focus(d.top), KeyDown(VK_MENU)}, Tap(VK_LEFT), {KeyUp(VK_MENU)}}); }),
        Variant("BrowserForwardOnMe", function::kBrowserForward, OS_WINME, none,
                Entry([](const Desk& d) {
                    return Post(d.target, WM_APPCOMMAND, reinterpret_cast<WPARAM>(d.target), 0x10020000);
                })),
        Variant("BrowserBackOn2000", function::kBrowserBack, OS_WIN2000, none,
                Entry([](const Desk& d) {
                    return Post(d.target, WM_APPCOMMAND, reinterpret_cast<WPARAM>(d.target), 0x10010000);
                })),
        Variant("DoubleClickWithSwappedButtons", function::kDoubleClick, OS_WINXP,
                [](Desk& d) { d.h.desk.SetButtonsSwapped(true); },
                [](const Desk&) {
                    return Log{Mouse(MOUSEEVENTF_RIGHTDOWN, 0, kPassExtra), Mouse(MOUSEEVENTF_RIGHTUP, 0, kPassExtra),
                               Mouse(MOUSEEVENTF_RIGHTDOWN, 0, kPassExtra), Mouse(MOUSEEVENTF_RIGHTUP, 0, kPassExtra)};
                }),
        Variant("ZoomWithoutAgent", function::kUniversalZoom, OS_WINXP, [](Desk& d) { d.h.block.AgentWindow = 0; },
                Nothing(), 0),
        Variant("LaunchBrowserWithoutAgent", function::kLaunchBrowser, OS_WINXP,
                [](Desk& d) { d.h.block.AgentWindow = 0; }, Nothing()),
        Variant("AutoScrollWithAgentWindow", function::kAutoScroll, OS_WINXP,
                [](Desk& d) { d.h.block.AutoScrollWindow = FromHwnd(d.elsewhere); },
                [](const Desk& d) { return Log{Send(d.agent, UM_AUTOSCROLLSTART, 0, 0), Foreground(d.elsewhere)}; },
                1, function::kAutoScroll),
    };
}

class FunctionCodeTest : public ::testing::TestWithParam<FunctionCase> {};

// Press, then the marked release that runs the function: the whole log of both.
TEST_P(FunctionCodeTest, PressThenMarkedRelease) {
    const FunctionCase& c = GetParam();
    Desk d(c.os);
    d.h.block.ButtonFunction[0] = c.code;
    if (c.arrange) c.arrange(d);

    // A plain middle click passes its press on; the marked release still runs
    // the function when one comes (after a press of button 4 or 5 that the
    // system reported as a double click).
    const bool plainMiddleClick = c.code == function::kSystemDefault || c.code == function::kMiddleButton;
    EXPECT_EQ(DispatchTo(d, WM_MBUTTONDOWN), plainMiddleClick ? 0 : 1);
    Log pressLog = d.log();
    d.h.desk.ClearLog();
    EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_RUN), c.result);

    Log expectedPress = {Foreground(d.raised)};
    if (!plainMiddleClick) expectedPress.push_back(Mouse(MOUSEEVENTF_MIDDLEUP, 0, kRunExtra));
    EXPECT_EQ(pressLog, expectedPress);
    EXPECT_EQ(d.log(), c.entries(d));
    // A press passed on runs nothing and leaves the pending function as it was (0 here).
    EXPECT_EQ(d.h.shared.PendingFunction, plainMiddleClick ? 0u : static_cast<uint32_t>(c.code));
    EXPECT_EQ(d.h.shared.Mode, c.modeAfter);
    EXPECT_EQ(d.h.shared.ReleaseAction, c.releaseAfter);
}

std::string CaseName(const ::testing::TestParamInfo<FunctionCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(EveryCode, FunctionCodeTest, ::testing::ValuesIn(AllFunctionCodes()), CaseName);
INSTANTIATE_TEST_SUITE_P(Variants, FunctionCodeTest, ::testing::ValuesIn(FunctionVariants()), CaseName);

TEST(Dispatcher, ConnectToInternetNamesThePendingButton) {
    struct Case {
        uint16_t buttonCount;
        uint16_t index;
        WPARAM button;
    };
    const Case cases[] = {{5, 0, 0}, {5, 1, 1}, {5, 2, 2}, {3, 2, 0}, {200, 9, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("index " + std::to_string(c.index));
        Desk d;
        d.h.block.ButtonCount = c.buttonCount;
        for (int32_t& code : d.h.block.ButtonFunction) code = function::kConnectToInternet;
        DispatchTo(d, WM_MBUTTONDOWN, MARK_NONE, c.index);
        d.h.desk.ClearLog();
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_RUN), 1);
        EXPECT_EQ(d.log(), Log{Post(d.agent, UM_CONNECTINTERNET, c.button, 0)});
    }
}

}  // namespace
