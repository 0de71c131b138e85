// The button-function dispatcher: the idle press/release cycle, every
// function code, the choice of the button's function, the user's release,
// and the operations the functions share.
#include "actions.h"
#include "dispatcher.h"
#include "function_codes.h"
#include "mouse_scene.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ptr;
using namespace ptr::fake;
using namespace ptr::scene;

namespace {

// The scene plus the window the dispatcher is handed and any windows a case adds.
struct Desk : Scene {
    explicit Desk(int32_t os = OS_WINXP) : Scene(os), target(child), raised(top) {}
    HWND target;
    HWND raised;  // the top-level window a press on target brings forward
    HWND made[3] = {};
};

using Entries = std::function<Log(const Desk&)>;
using Arrange = std::function<void(Desk&)>;

constexpr uint32_t kRunExtra = 0x00010000;
constexpr uint32_t kPassExtra = 0x00030000;
constexpr int kX = 120;
constexpr int kY = 80;

int DispatchTo(Desk& d, UINT message, uint16_t marker = MARK_NONE, uint16_t index = 0) {
    return Dispatch(d.ctx(), d.target, message, kX, kY, marker, index);
}

Log PressEntries(const Desk& d) { return {Foreground(d.top), Mouse(MOUSEEVENTF_MIDDLEUP, 0, kRunExtra)}; }

Log Tap(BYTE vk) { return {KeyDown(vk), KeyUp(vk)}; }

Log Cat(std::initializer_list<Log> parts) {
    Log all;
    for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Entries KeyPress(BYTE vk) {
    return [vk](const Desk& d) { return Cat({{Focus(d.target)}, Tap(vk)}); };
}

Entries CtrlKey(BYTE vk) {
    return [vk](const Desk& d) { return Cat({{Focus(d.target), KeyDown(VK_CONTROL)}, Tap(vk), {KeyUp(VK_CONTROL)}}); };
}

Entries WinKey(BYTE modifier, BYTE vk) {
    return [modifier, vk](const Desk&) {
        Log down = {Key(VK_LWIN, KEYEVENTF_EXTENDEDKEY)};
        if (modifier) down.push_back(KeyDown(modifier));
        Log up;
        if (modifier) up.push_back(KeyUp(modifier));
        up.push_back(Key(VK_LWIN, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP));
        return Cat({down, Tap(vk), up});
    };
}

Entries Nothing() {
    return [](const Desk&) { return Log{}; };
}

Entries Entry(std::function<std::string(const Desk&)> entry) {
    return [entry](const Desk& d) { return Log{entry(d)}; };
}

// A middle click the suite makes at a marked release: whole, press and release.
Log MiddleClickEntries() {
    return {Mouse(MOUSEEVENTF_MIDDLEDOWN, 0, kPassExtra), Mouse(MOUSEEVENTF_MIDDLEUP, 0, kPassExtra)};
}

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

// The whole cycle of one button: the press, the marked release, the user's
// own release. What the application receives is what the log shows.
struct CycleCase {
    const char* name;
    int32_t os;
    int32_t code;
    uint16_t index;  // 0 button 3, 1 button 4, 2 button 5
    int runResult;
    Log runEntries;
    int releaseResult;
    Log releaseEntries;
    bool pressPasses = false;  // a plain middle click: the press goes on as it came, nothing is run
};

std::vector<CycleCase> CycleCases() {
    const Log x1Press = {Mouse(MOUSEEVENTF_XDOWN, XBUTTON1, 0)};
    const Log x2Press = {Mouse(MOUSEEVENTF_XDOWN, XBUTTON2, 0)};
    const Log x1Release = {Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)};
    const Log x2Release = {Mouse(MOUSEEVENTF_XUP, XBUTTON2, 0)};
    return {
        // The application sees the keystroke only: press and release are swallowed.
        {"KeystrokeOnXp", OS_WINXP, function::kF1, 0, 1, {KeyDown(VK_F1), KeyUp(VK_F1)}, 1, {}},
        {"KeystrokeFromButton5On98", OS_WIN98, function::kEnter, 2, 1, {KeyDown(VK_RETURN), KeyUp(VK_RETURN)}, 1, {}},
        // An ordinary middle click: the user's own press and release reach the application.
        {"MiddleButtonOnXp", OS_WINXP, function::kMiddleButton, 0, 0, {}, 0, {}, true},
        {"MiddleButtonFromButton4OnXp", OS_WINXP, function::kMiddleButton, 1, 0, {}, 0, {}, true},
        {"SystemDefaultButton3On98", OS_WIN98, function::kSystemDefault, 0, 0, {}, 0, {}, true},
        {"SystemDefaultButton4On98", OS_WIN98, function::kSystemDefault, 1, 0, {}, 0, {}, true},
        {"SystemDefaultButton5On98", OS_WIN98, function::kSystemDefault, 2, 0, {}, 0, {}, true},
        {"SystemDefaultButton4OnNt4", OS_NT4, function::kSystemDefault, 1, 0, {}, 0, {}, true},
        {"SystemDefaultButton3OnXp", OS_WINXP, function::kSystemDefault, 0, 0, {}, 0, {}, true},
        // X button press now, X button release at the user's release.
        {"SystemDefaultButton4OnXp", OS_WINXP, function::kSystemDefault, 1, 1, x1Press, 1, x1Release},
        {"SystemDefaultButton5OnXp", OS_WINXP, function::kSystemDefault, 2, 1, x2Press, 1, x2Release},
        {"SystemDefaultButton4On2000", OS_WIN2000, function::kSystemDefault, 1, 1, x1Press, 1, x1Release},
        {"SystemDefaultButton5OnMe", OS_WINME, function::kSystemDefault, 2, 1, x2Press, 1, x2Release},
        // Unknown code: the marked release reaches the application, the user's is swallowed.
        {"UnknownCode", OS_WINXP, 77, 0, 0, {}, 1, {}},
    };
}

class CycleTest : public ::testing::TestWithParam<CycleCase> {};

TEST_P(CycleTest, PressMarkedReleaseUserRelease) {
    const CycleCase& c = GetParam();
    Desk d(c.os);
    d.h.block.ButtonCount = 5;
    d.h.block.ButtonFunction[c.index] = c.code;
    d.h.desk.SetFocusWindow(d.child);

    EXPECT_EQ(DispatchTo(d, WM_MBUTTONDOWN, MARK_NONE, c.index), c.pressPasses ? 0 : 1);
    EXPECT_EQ(d.log(), c.pressPasses ? Log{Foreground(d.top)} : PressEntries(d));
    d.h.desk.ClearLog();
    if (!c.pressPasses) {
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_RUN), c.runResult);
        EXPECT_EQ(d.log(), c.runEntries);
        d.h.desk.ClearLog();
    }
    EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_NONE, c.index), c.releaseResult);
    EXPECT_EQ(d.log(), c.releaseEntries);
    EXPECT_EQ(d.h.shared.ReleaseAction, 0);
    EXPECT_EQ(d.h.shared.Mode, 0u);
}

INSTANTIATE_TEST_SUITE_P(Dispatcher, CycleTest, ::testing::ValuesIn(CycleCases()),
                         [](const ::testing::TestParamInfo<CycleCase>& info) { return std::string(info.param.name); });

// Sequences of presses and releases as the system reports them: a real
// quick second middle click, the press the low-level hook made for button 4
// or 5 right after a middle press (which the system counts as that click's
// second), a release that comes before the marked one, and two buttons held
// at once.
struct ClickStep {
    UINT message;
    uint16_t marker;
    uint16_t index;
    int result;
    Entries entries;
};

struct DoubleClickCase {
    const char* name;
    int32_t middleFunction;
    int32_t button4Function;
    uint32_t mode;
    std::vector<ClickStep> steps;
};

std::vector<DoubleClickCase> DoubleClickCases() {
    const Entries none = Nothing();
    const Entries press = [](const Desk& d) { return PressEntries(d); };
    const Entries raise = [](const Desk& d) { return Log{Foreground(d.top)}; };
    return {
        // The application receives all four messages, as without the suite.
        {"PlainMiddleDoubleClickIsWhole", function::kSystemDefault, function::kEnter, 0,
         {{WM_MBUTTONDOWN, MARK_NONE, 0, 0, raise}, {WM_MBUTTONUP, MARK_NONE, 0, 0, none},
          {WM_MBUTTONDBLCLK, MARK_NONE, 0, 0, none}, {WM_MBUTTONUP, MARK_NONE, 0, 0, none}}},
        // A function on the middle button: the double click reaches the
        // application, its release is swallowed.
        {"CopyThenSecondQuickClick", function::kCopy, function::kEnter, 0,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 0, 0, none}, {WM_MBUTTONUP, MARK_NONE, 0, 1, none}}},
        // Button 4 after a middle click: its press, reported as a double
        // click, runs button 4's function and never reaches the application.
        {"Button4AfterMiddleClickRunsItsFunction", function::kSystemDefault, function::kEnter, 0,
         {{WM_MBUTTONDOWN, MARK_NONE, 0, 0, raise}, {WM_MBUTTONUP, MARK_NONE, 0, 0, none},
          {WM_MBUTTONDBLCLK, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return Tap(VK_RETURN); }},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none}}},
        // Made a middle click again by the suite, not passed on as a double
        // click; the user's release is swallowed, the click being whole.
        {"Button4AsMiddleButtonAfterDoubleClickGetsAClick", function::kSystemDefault, function::kMiddleButton, 0,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return MiddleClickEntries(); }},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none}}},
        // It is a press for a mode too: it ends Horizontal Wheel.
        {"Button4DoubleClickEndsHorizontalWheel", function::kSystemDefault, function::kEnter, function::kHorizontalWheel,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 1, 1,
           [](const Desk& d) { return Log{Post(d.agent, UM_MODEEND, 0, 0), Focus(d.target)}; }}}},
        // Only the indexes of X buttons 1 and 2 are translated presses.
        {"OtherIndexIsAnOrdinaryDoubleClick", function::kSystemDefault, function::kEnter, 0,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 3, 0, none}, {WM_MBUTTONUP, MARK_NONE, 3, 0, none}}},
        // A quick click on a busy program: the user's release comes before the
        // marked one. Nothing the suite makes may stay down.
        {"Button4AsMiddleButtonReleasedBeforeItsRunGetsAClick", function::kSystemDefault, function::kMiddleButton, 0,
         {{WM_MBUTTONDBLCLK, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return MiddleClickEntries(); }}}},
        {"SystemDefaultButton4ReleasedBeforeItsRunGetsAWholeClick", function::kSystemDefault, function::kSystemDefault,
         0,
         {{WM_MBUTTONDOWN, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none},
          {WM_MBUTTONUP, MARK_RUN, 0, 1,
           [](const Desk&) { return Log{Mouse(MOUSEEVENTF_XDOWN, XBUTTON1, 0), Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)}; }}}},
        // Button 4's press waits for its marked release while a quick middle
        // click passes on: the marked release still runs button 4's function.
        {"Button4ThenAQuickMiddleClickRunsButton4sFunction", function::kSystemDefault, function::kEnter, 0,
         {{WM_MBUTTONDOWN, MARK_NONE, 1, 1, press},
          {WM_MBUTTONDOWN, MARK_NONE, 0, 0, raise},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return Tap(VK_RETURN); }},
          {WM_MBUTTONUP, MARK_NONE, 0, 0, none},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none}}},
        // Button 4 held down as X button 1 while the middle button clicks: the
        // middle click takes ReleaseAction over, so X button 1 goes up first.
        {"Button4HeldThroughAMiddleClickIsLetGo", function::kSystemDefault, function::kSystemDefault, 0,
         {{WM_MBUTTONDOWN, MARK_NONE, 1, 1, press},
          {WM_MBUTTONUP, MARK_RUN, 0, 1, [](const Desk&) { return Log{Mouse(MOUSEEVENTF_XDOWN, XBUTTON1, 0)}; }},
          {WM_MBUTTONDOWN, MARK_NONE, 0, 0,
           [](const Desk& d) { return Log{Foreground(d.top), Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)}; }},
          {WM_MBUTTONUP, MARK_NONE, 0, 0, none},
          {WM_MBUTTONUP, MARK_NONE, 1, 1, none}}},
    };
}

class DoubleClickTest : public ::testing::TestWithParam<DoubleClickCase> {};

TEST_P(DoubleClickTest, EachMessageAsTheApplicationGetsIt) {
    const DoubleClickCase& c = GetParam();
    Desk d;
    d.h.block.ButtonCount = 5;
    d.h.block.ButtonFunction[0] = c.middleFunction;
    d.h.block.ButtonFunction[1] = c.button4Function;
    d.h.shared.Mode = c.mode;
    d.h.desk.SetFocusWindow(d.child);
    for (size_t i = 0; i < c.steps.size(); ++i) {
        const ClickStep& step = c.steps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        d.h.desk.ClearLog();
        EXPECT_EQ(DispatchTo(d, step.message, step.marker, step.index), step.result);
        EXPECT_EQ(d.log(), step.entries(d));
    }
    EXPECT_EQ(d.h.shared.ReleaseAction, 0);
    EXPECT_EQ(d.h.shared.Mode, 0u);
}

INSTANTIATE_TEST_SUITE_P(Dispatcher, DoubleClickTest, ::testing::ValuesIn(DoubleClickCases()),
                         [](const ::testing::TestParamInfo<DoubleClickCase>& info) { return std::string(info.param.name); });

// Which element of ButtonFunction a press chooses. The index comes from the
// event's extra information, which any program can set.
TEST(Dispatcher, ButtonIndexIsHonouredOnlyWithinButtonCountAndTheTable) {
    struct Case {
        uint16_t buttonCount;
        uint16_t index;
        uint32_t chosen;
    };
    const Case cases[] = {
        {3, 0, 0},      {3, 1, 0},    {3, 2, 0},    {4, 1, 1},       {4, 2, 0},      {5, 1, 1},
        {5, 2, 2},      {5, 3, 0},    {6, 3, 3},    {6, 4, 0},       {7, 4, 4},      {0, 0, 0},
        {2, 0, 0},      {200, 4, 4},  {200, 5, 0},  {200, 7, 0},     {200, 0xFFFF, 0}, {0xFFFF, 0xFFFD, 0},
        {0xFFFF, 0xFFFF, 0},
    };
    // F1 to F5 tell the elements apart.
    const BYTE keys[] = {VK_F1, VK_F2, VK_F3, VK_F4, VK_F5};
    for (const Case& c : cases) {
        SCOPED_TRACE("ButtonCount " + std::to_string(c.buttonCount) + " index " + std::to_string(c.index));
        Desk d;
        d.h.desk.SetFocusWindow(d.child);
        d.h.block.ButtonCount = c.buttonCount;
        for (int i = 0; i < 5; ++i) d.h.block.ButtonFunction[i] = i + 1;
        d.h.shared.PendingButton = 9;
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONDOWN, MARK_NONE, c.index), 1);
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_RUN), 1);
        EXPECT_EQ(d.log(), Cat({PressEntries(d), Tap(keys[c.chosen])}));
        EXPECT_EQ(d.h.shared.PendingButton, c.chosen);
        EXPECT_EQ(d.h.shared.PendingFunction, c.chosen + 1);
    }
}

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

// The user's own middle release, by ReleaseAction.
TEST(Dispatcher, UserReleaseFollowsReleaseAction) {
    struct Case {
        int32_t action;
        uint16_t marker;
        int result;
        Log entries;
        int32_t actionAfter;
    };
    const Case cases[] = {
        {0, MARK_NONE, 1, {}, 0},
        {45, MARK_NONE, 0, {}, 0},
        {72, MARK_NONE, 1, {Mouse(MOUSEEVENTF_XUP, XBUTTON1, 0)}, 0},
        {73, MARK_NONE, 1, {Mouse(MOUSEEVENTF_XUP, XBUTTON2, 0)}, 0},
        {99, MARK_NONE, 0, {}, 99},
        {-1, MARK_NONE, 0, {}, -1},
        // Markers other than MARK_RUN and MARK_PASS make no difference to a release.
        {0, MARK_SELF, 1, {}, 0},
        {45, MARK_WHEEL, 0, {}, 0},
        // MARK_PASS input is never interpreted, whatever ReleaseAction says.
        {72, MARK_PASS, 0, {}, 72},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("ReleaseAction " + std::to_string(c.action) + " marker " + std::to_string(c.marker));
        Desk d;
        d.h.shared.ReleaseAction = c.action;
        EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, c.marker), c.result);
        EXPECT_EQ(d.log(), c.entries);
        EXPECT_EQ(d.h.shared.ReleaseAction, c.actionAfter);
    }
}

// Without a mode only the middle press and release are handled.
TEST(Dispatcher, IdleIgnoresEveryOtherMessage) {
    const UINT messages[] = {WM_LBUTTONDOWN, WM_LBUTTONUP,     WM_RBUTTONDOWN, WM_RBUTTONUP,
                             WM_XBUTTONDOWN, WM_XBUTTONUP,     WM_MOUSEWHEEL,  WM_MOUSEMOVE,
                             WM_MBUTTONDBLCLK, WM_LBUTTONDBLCLK, WM_NCMBUTTONDBLCLK, 0x7FFF};
    for (UINT message : messages) {
        SCOPED_TRACE(MessageName(message));
        Desk d;
        d.h.block.ButtonFunction[0] = function::kEnter;
        d.h.shared.ReleaseAction = 72;
        EXPECT_EQ(DispatchTo(d, message), 0);
        EXPECT_EQ(d.log(), Log{});
        EXPECT_EQ(d.h.shared.PendingFunction, 0u);
        EXPECT_EQ(d.h.shared.ReleaseAction, 72);
    }
}

TEST(Dispatcher, MarkedPassPressIsNotAButtonPress) {
    Desk d;
    d.h.block.ButtonFunction[0] = function::kEnter;
    EXPECT_EQ(DispatchTo(d, WM_MBUTTONDOWN, MARK_PASS), 0);
    EXPECT_EQ(DispatchTo(d, WM_MBUTTONUP, MARK_PASS), 0);
    EXPECT_EQ(d.log(), Log{});
}

// A press raises the top-level window of whatever window the cursor is over.
TEST(Dispatcher, PressRaisesTheTopLevelWindow) {
    Desk d;
    d.h.block.ButtonFunction[0] = function::kEnter;
    HWND grandchild = d.h.desk.AddWindow("Static", WS_VISIBLE | WS_CHILD, {0, 0, 5, 5}, d.child);
    const std::pair<HWND, HWND> cases[] = {{grandchild, d.top}, {d.child, d.top}, {d.top, d.top},
                                           {d.elsewhere, d.elsewhere}};
    for (const auto& [window, top] : cases) {
        d.h.desk.ClearLog();
        EXPECT_EQ(Dispatch(d.ctx(), window, WM_MBUTTONDOWN, 1, 2, MARK_NONE, 0), 1);
        EXPECT_EQ(d.log(), (Log{Foreground(top), Mouse(MOUSEEVENTF_MIDDLEUP, 0, kRunExtra)}));
    }
}

// The primary button is the right one while the buttons are swapped; the
// swap state is put back as it was.
TEST(Dispatcher, InjectButtonActsOnThePrimaryButton) {
    struct Case {
        bool swapped;
        DWORD flags;
        DWORD injected;
    };
    const Case cases[] = {
        {false, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTDOWN},
        {false, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_RIGHTUP},
        {true, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN},
        {true, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTUP},
        {true, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_LEFTDOWN},
        {true, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_LEFTUP},
        {true, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP},
        {true, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEDOWN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.swapped) + " " + std::to_string(c.flags));
        Desk d;
        d.h.desk.SetButtonsSwapped(c.swapped);
        InjectButton(d.ctx(), c.flags, 0x00030000);
        EXPECT_EQ(d.log(), Log{Mouse(c.injected, 0, 0x00030000)});
        EXPECT_EQ(d.h.desk.ButtonsSwapped(), c.swapped);
    }
}

TEST(Dispatcher, ClassIsComparesTheFirst39CharactersIgnoringCase) {
    struct Case {
        const char* className;
        const char* name;
        bool same;
    };
    const std::string long40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";  // 40 characters
    const std::string first39 = long40.substr(0, 39);
    const Case cases[] = {
        {"Progman", "Progman", true},
        {"PROGMAN", "progman", true},
        {"Internet Explorer_Server", "internet explorer_server", true},
        {"Progman", "Progma", false},
        {"Progma", "Progman", false},
        {"Progman", "", false},
        {"Edit", "Edit ", false},
        {long40.c_str(), first39.c_str(), true},
        {long40.c_str(), long40.c_str(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.className) + " / " + c.name);
        Desk d;
        HWND window = d.h.desk.AddWindow(c.className);
        EXPECT_EQ(ClassIs(d.ctx(), window, c.name), c.same);
    }
    Desk d;
    EXPECT_FALSE(ClassIs(d.ctx(), reinterpret_cast<HWND>(0xDEAD0), "Edit"));
}

}  // namespace
